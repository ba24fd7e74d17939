#pragma once
// The matrix of the whole circuit, and how far it lies from another matrix.

class Presentation;
struct TMATICA1;
struct Workspace;

// m := the matrix of gates 1..pocetb1 (composeGateList: the identity when empty).
void composeCircuit(const Workspace& ws, TMATICA1& m, Presentation& ui);

// Largest entry modulus of x - y over the n x n block; NaN when an entry's is.
double largestEntryDifference(const TMATICA1& x, const TMATICA1& y, int n);
