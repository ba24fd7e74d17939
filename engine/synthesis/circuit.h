#pragma once
// The circuit list: appending gates, basis-state bits, the full matrix of a
// gate and the matrix of a run of gates.

#include <span>

#include "engine/synthesis/gate.h"

class Presentation;
struct Workspace;

// Opens gate pocetb1 + 1 (removed = 0) and returns true; at exactly 400000
// gates shows the capacity message. Returns false, opening nothing, when the list is full.
bool appendGate(Workspace& ws, Presentation& ui);

// Basis state number (1..2^qubitCount) to the bits of qubits 1..qubitCount.
void tobin(int number, QubitBits& bits, int qubitCount, Presentation& ui);

// Bits of qubits 1..qubitCount to the basis state number (1..2^qubitCount).
int todec(const QubitBits& bits, int qubitCount, Presentation& ui);

// The full 2^qubitCount square matrix of one gate.
void gateMatrix(const TGATE1& gate, TMATICA1& m, int qubitCount, Presentation& ui);

// m := G(pkon) * ... * G(pzac) over gates[pzac..pkon] (gates[0] is slot 0);
// `count` is the number of gates in the list. A range outside 1..count is
// repaired with a message for each repair; an empty list gives the identity
// after its three messages.
void kompozicia(std::span<const TGATE1> gates, int count, int pzac, int pkon, TMATICA1& m, int qubitCount,
                Presentation& ui);

// m := the matrix of gates[1..count] (kompozicia over the whole list); an empty
// list gives the identity without kompozicia's messages about its range.
void composeGateList(std::span<const TGATE1> gates, int count, TMATICA1& m, int qubitCount, Presentation& ui);
