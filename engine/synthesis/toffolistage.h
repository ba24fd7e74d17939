#pragma once
// Generalized Toffoli gates into L1(U) gates (Barenco et al. 1995).

class Presentation;
struct Workspace;

// Replaces every gate with two or more controls by singly controlled gates.
void DoL1U(Workspace& ws, Presentation& ui);
