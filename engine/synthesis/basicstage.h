#pragma once
// L1(U) gates into one-qubit gates and CNOTs (Barenco et al. 1995).

class Presentation;
struct Workspace;

// Replaces every singly controlled gate that is not a CNOT by basic gates.
void Doelementarnych(Workspace& ws, Presentation& ui);
