#pragma once
// State of one run of the optimizer, created by optimizeCircuit and dropped
// when it returns, and the routines a drag is made of.

#include <array>

#include "engine/optimization/exchange.h"
#include "engine/optimization/rulesettings.h"
#include "engine/synthesis/gate.h"

class Presentation;
struct Workspace;

// A drag records at most maxRewrittenGates - 1 rewritten stationary gates.
inline constexpr int maxRewrittenGates = 5000;
// Circuits longer than this are not shown step by step.
inline constexpr int stepListCapacity = 1000;

struct OptimizationRun {
    int movingPos = 0;
    int partnerPos = 0;
    // [0]: the moving gate's matrix when its turn began; [1..rewrittenCount]:
    // the matrices of the rewritten stationary gates before their rewrite;
    // [rewrittenCount + 1]: the partner's matrix before the current exchange.
    std::array<TMATICA2, maxRewrittenGates + 1> savedMatrices{};
    std::array<int, maxRewrittenGates + 1> rewrittenGates{};  // [1..rewrittenCount]
    int rewrittenCount = 0;
    bool mergedInLeftDrag = false;
    bool dragDone = false;
    JumpSlot jump;
    int passStartCount = 0;
    // The Settings marks as last read (once per pass and after every step dialog).
    RuleSettings rules;
    bool showingSteps = false;
    // Entries 1..c as drawn; one spare entry so that a full display of
    // stepListCapacity gates can still show a pending jump gate.
    std::array<TGATE1, stepListCapacity + 2> stepList{};
};

// Moves pos to the nearest present gate on its left; false when there is none
// (pos then rests on gate 1) and for a pos outside 1..pocetb1, which is logged.
bool najblvlavo(const Workspace& ws, Presentation& ui, int& pos);

// Moves pos to the nearest present gate on its right; false when there is none
// and for a pos outside 1..pocetb1, which is logged.
bool najblvpravo(const Workspace& ws, Presentation& ui, int& pos);

// Ends the drag and gives the moving gate and every stationary gate it
// rewrote their saved matrices back; a pending jump gate is dropped.
void restoreDrag(Workspace& ws, OptimizationRun& run);
