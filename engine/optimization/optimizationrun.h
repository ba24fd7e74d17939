#pragma once
// State of one run of the optimizer, created by optimizeCircuit and dropped
// when it returns, and the routines a drag is made of.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/optimization/exchange.h"
#include "engine/optimization/rulesettings.h"
#include "engine/synthesis/gate.h"

class Presentation;
struct Workspace;

// A drag records at most maxRewrittenGates - 1 rewritten stationary gates.
inline constexpr int maxRewrittenGates = 5000;
// Circuits longer than this are not shown step by step.
inline constexpr int stepListCapacity = 1000;

// A drag that ended without a merge and left the circuit as it was: when its
// gate and every slot it passed are unchanged since, the same drag would end
// the same way again.
struct FailedDrag {
    std::uint32_t time = 0;      // change clock when it ended; 0: no such drag
    std::uint32_t partners = 0;  // present gates it met
    bool reachedEnd = false;     // it ended for want of a further partner, not at a refusal
};

// What the passes know of each slot, moved along with its gate record.
struct SlotHistory {
    std::uint32_t changed = 0;  // change clock when the slot's record or its neighbours last changed
    FailedDrag left;
    FailedDrag right;
};

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
    // Failed drags are remembered, and skipped when they would only fail again,
    // while nothing of them is shown or checked; slots 1..pocetb1.
    std::vector<SlotHistory> history;
    std::uint32_t changeClock = 1;
    std::uint32_t partnersMet = 0;  // by the current drag
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
