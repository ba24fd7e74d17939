#pragma once
// L1(U) gates into one-qubit gates and CNOTs (Barenco et al. 1995): a controlled
// U is split into a phase gate on the control and a controlled M of a class
// (det -1 with real diagonal, det 1 with real off-diagonal, general det 1),
// each realized with two CNOTs or fewer between rotations on the target.

#include <array>
#include <optional>

#include "engine/synthesis/gate.h"

class Presentation;
struct Workspace;

// The gates produced for one L1(U) gate: n1[n1First..n1Last] in circuit order,
// valid when n1Ready (n1First is always 1; slot 0 unused).
struct BasicScratch {
    std::array<TGATE1, 3001> n1{};
    bool n1Ready = false;
    int n1First = 0;
    int n1Last = 0;
};

// Replaces every singly controlled gate that is not a CNOT by basic gates.
// Sets ws.tolerance to 1e-6. A result that would need more than maxGates slots
// stops with a message and keeps the rewritten head plus the unread tail.
void Doelementarnych(Workspace& ws, Presentation& ui);

// Decomposes one L1(U) gate into scratch (or reports, with n1Ready false, why not).
void Rozloz1U(Workspace& ws, Presentation& ui, BasicScratch& scratch, TGATE1 gate);

// The class routines: write the optional phase gate, then the sequence for the
// controlled m with target t and control c, to scratch.n1[1..].
// m with det -1 and a real diagonal: 3 gates.
void decomposeHermitian(Workspace& ws, Presentation& ui, BasicScratch& scratch, const TMATICA2& m, int t, int c,
                        const std::optional<TGATE1>& phase);
// m with det 1 and real off-diagonal entries: 4 gates.
void decomposeRealOffDiagonal(Workspace& ws, Presentation& ui, BasicScratch& scratch, const TMATICA2& m, int t,
                              int c, const std::optional<TGATE1>& phase);
// m with det 1 whose entries m11 and m12 are not small: 5 gates.
void decomposeGeneral(Workspace& ws, Presentation& ui, BasicScratch& scratch, const TMATICA2& m, int t, int c,
                      const std::optional<TGATE1>& phase);
