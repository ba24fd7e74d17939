#pragma once
// Generalized Toffoli gates into L1(U) gates (Barenco et al. 1995): a gate with
// k controls becomes 2^k - 1 singly controlled roots interleaved with CNOTs that
// carry Gray-code parities of the controls.

#include <array>

#include "engine/synthesis/gate.h"

class Presentation;
struct Workspace;

// The gates produced for one generalized Toffoli gate: n1[1..producedCount]
// in circuit order (slot 0 unused; at most 29 are ever produced).
struct ToffoliScratch {
    std::array<TGATE1, 229> n1{};
    int producedCount = 0;
};

// Replaces every gate with two or more controls by singly controlled gates.
// Sets ws.tolerance to 1e-5. A result that would need more than maxGates slots
// stops with a message and keeps the rewritten head plus the unread tail.
void DoL1U(Workspace& ws, Presentation& ui);

// The construction in canonical numbering (controls 1..k, target k + 1) for
// matrix u, into scratch.n1[1..producedCount]; k < 2 is refused with a message.
void easytoffoli(Workspace& ws, Presentation& ui, ToffoliScratch& scratch, const TMATICA2& u, int k);

// The L1(U) gates replacing `gate` (type >= 2) in the gate's own qubits.
void decomposeMultiControlled(Workspace& ws, Presentation& ui, ToffoliScratch& scratch, TGATE1 gate);
