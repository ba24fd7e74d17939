#include "engine/optimization/optimizer.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string_view>

#include "engine/optimization/exchange.h"
#include "engine/optimization/merge.h"
#include "engine/optimization/optimizationrun.h"
#include "engine/optimization/stepdisplay.h"
#include "platform/presentation.h"
#include "workspace/workspace.h"

namespace {

// The marks are read once per pass and again after every step dialog, where
// the user may turn the steps off; nothing else changes them during a pass.
void readSettings(const Presentation& ui, OptimizationRun& run)
{
    const RuleSettings rules = readRuleSettings(ui);
    // Failed drags remembered under other rules say nothing about these.
    if (rules.optimize != run.rules.optimize || rules.selfCheck != run.rules.selfCheck) {
        ++run.changeClock;
        for (SlotHistory& slot : run.history)
            slot.changed = run.changeClock;
    }
    run.rules = rules;
    run.showingSteps = ui.isChecked(Setting::Zobroptimkroky);
}

void leftStep(Workspace& ws, Presentation& ui, OptimizationRun& run, std::string_view text)
{
    showLeftStep(ws, ui, run, text);
    readSettings(ui, run);
}

void rightStep(Workspace& ws, Presentation& ui, OptimizationRun& run, std::string_view text)
{
    showRightStep(ws, ui, run, text);
    readSettings(ui, run);
}

// Failed drags leave nothing to see only while no step is shown and no rule
// checks itself, and the settings they met then are the settings of every pass.
bool dragsMayBeSkipped(const OptimizationRun& run) { return !run.showingSteps && !run.rules.selfCheck; }

// A successful drag changed slots lo..hi (records rewritten, merged, removed, shifted, inserted).
void markChanged(OptimizationRun& run, int lo, int hi)
{
    ++run.changeClock;
    for (int p = lo; p <= hi; ++p)
        run.history[p].changed = run.changeClock;
}

// Remembers how the moving gate's drag failed; a drag that jumped (its jump
// rule may log) or overflowed its record is not remembered.
void rememberFailure(OptimizationRun& run, FailedDrag& drag, bool reachedEnd)
{
    drag = {};
    if (dragsMayBeSkipped(run) && !run.jump.jumpPending)
        drag = {run.changeClock, run.partnersMet, reachedEnd};
}

// True when the moving gate's last drag to that side failed and neither the
// gate nor any slot up to where the drag ended has changed since: the drag
// would meet the same records in the same order and fail again.
bool wouldFailAgain(const Workspace& ws, const OptimizationRun& run, const FailedDrag& drag, int step)
{
    if (drag.time == 0 || !dragsMayBeSkipped(run) || run.history[run.movingPos].changed > drag.time)
        return false;
    std::uint32_t met = 0;
    for (int pos = run.movingPos + step; pos >= 1 && pos <= ws.pocetb1; pos += step) {
        if (run.history[pos].changed > drag.time)
            return false;
        if (ws.gates[pos].removed != 0)
            continue;
        ++met;
        if (met == drag.partners && !drag.reachedEnd)
            return true;
        if (met > drag.partners)
            return false;
    }
    return drag.reachedEnd && met == drag.partners;
}

// Records the partner as rewritten; the rewrite that would overflow the record
// is taken back and the drag undone. False when the drag has ended.
bool recordRewrite(Workspace& ws, OptimizationRun& run)
{
    if (run.rewrittenCount == maxRewrittenGates - 1) {
        ws.gates[run.partnerPos].u = run.savedMatrices[maxRewrittenGates];
        restoreDrag(ws, run);
        return false;
    }
    ++run.rewrittenCount;
    run.rewrittenGates[run.rewrittenCount] = run.partnerPos;
    return true;
}

void leftDrag(Workspace& ws, Presentation& ui, OptimizationRun& run)
{
    TGATES1& gates = ws.gates;
    FailedDrag& failure = run.history[run.movingPos].left;
    run.dragDone = false;
    run.partnersMet = 0;
    while (!run.dragDone) {
        ++run.partnersMet;
        if (run.showingSteps)
            leftStep(ws, ui, run, "Trying to merge ");
        const MergeResult merged = spravid(ws, ui, run.partnerPos, run.movingPos, run.rules);
        if (merged != MergeResult::mergeNone) {
            run.dragDone = true;
            run.mergedInLeftDrag = true;
            if (merged == MergeResult::mergeIntoB2) {
                gates[run.partnerPos] = gates[run.movingPos];
                gates[run.partnerPos].removed = 0;
                gates[run.movingPos].removed = 1;
            }
            if (run.showingSteps)
                leftStep(ws, ui, run, "Gates were merged into ");
            if (run.jump.jumpPending) {
                // The moving gate's slot is free now: shift the gates after the
                // jumped-over one right by one to make room for the jump gate.
                for (int p = run.movingPos; p >= run.jump.jumpPosition + 2; --p)
                    gates[p] = gates[p - 1];
                gates[run.jump.jumpPosition + 1] = run.jump.jumpGate;
                run.jump.jumpPending = false;
            }
            markChanged(run, run.partnerPos, run.movingPos);
            return;
        }
        if (run.showingSteps)
            leftStep(ws, ui, run, "Trying to exchange ");
        run.savedMatrices[run.rewrittenCount + 1] = gates[run.partnerPos].u;
        const ExchangeResult exchanged =
            prehodbrany(ws, ui, run.jump, run.partnerPos, run.movingPos, dragLeft, run.rules);
        if (exchanged == ExchangeResult::exchangeRefused) {
            restoreDrag(ws, run);
            rememberFailure(run, failure, false);
            return;
        }
        if (exchanged == ExchangeResult::exchangeChangedB1 && !recordRewrite(ws, run)) {
            failure = {};
            return;
        }
        if (!najblvlavo(ws, ui, run.partnerPos)) {
            restoreDrag(ws, run);
            rememberFailure(run, failure, true);
        }
    }
}

void rightDrag(Workspace& ws, Presentation& ui, OptimizationRun& run)
{
    TGATES1& gates = ws.gates;
    FailedDrag& failure = run.history[run.movingPos].right;
    run.dragDone = false;
    run.jump.jumpPending = false;
    run.partnersMet = 0;
    while (!run.dragDone) {
        ++run.partnersMet;
        if (run.showingSteps)
            rightStep(ws, ui, run, "Trying to merge ");
        const MergeResult merged = spravid(ws, ui, run.movingPos, run.partnerPos, run.rules);
        if (merged != MergeResult::mergeNone) {
            run.dragDone = true;
            if (merged == MergeResult::mergeIntoB1) {
                gates[run.partnerPos] = gates[run.movingPos];
                gates[run.partnerPos].removed = 0;
                gates[run.movingPos].removed = 1;
            }
            if (run.showingSteps)
                rightStep(ws, ui, run, "Gates were merged into ");
            if (run.jump.jumpPending) {
                // The moving gate's slot is free now: shift the gates up to the
                // jumped-over one left by one; the jump gate goes right after it.
                for (int p = run.movingPos; p <= run.jump.jumpPosition - 1; ++p)
                    gates[p] = gates[p + 1];
                gates[run.jump.jumpPosition] = run.jump.jumpGate;
                run.jump.jumpPending = false;
            }
            markChanged(run, run.movingPos, run.partnerPos);
            return;
        }
        if (run.showingSteps)
            rightStep(ws, ui, run, "Trying to exchange ");
        run.savedMatrices[run.rewrittenCount + 1] = gates[run.partnerPos].u;
        const ExchangeResult exchanged =
            prehodbrany(ws, ui, run.jump, run.movingPos, run.partnerPos, dragRight, run.rules);
        if (exchanged == ExchangeResult::exchangeRefused) {
            restoreDrag(ws, run);
            rememberFailure(run, failure, false);
            return;
        }
        if (exchanged == ExchangeResult::exchangeChangedB2 && !recordRewrite(ws, run)) {
            failure = {};
            return;
        }
        if (!najblvpravo(ws, ui, run.partnerPos)) {
            restoreDrag(ws, run);
            rememberFailure(run, failure, true);
        }
    }
}

// One sweep over the circuit and its compaction; returns the new gate count.
int runPass(Workspace& ws, Presentation& ui, OptimizationRun& run)
{
    run.passStartCount = ws.pocetb1;
    readSettings(ui, run);
    for (int g = 1; g <= ws.pocetb1; ++g)
        ws.gates[g].removed = 0;
    ui.setProgressMaximum(ws.pocetb1);
    ui.setProgressPosition(0);
    ui.setProgressStep(1);
    ui.setProgressVisible(!run.showingSteps);

    run.movingPos = 1;
    do {
        ui.setProgressPosition(run.movingPos);
        run.partnerPos = run.movingPos;
        run.savedMatrices[0] = ws.gates[run.movingPos].u;
        run.rewrittenCount = 0;
        run.mergedInLeftDrag = false;
        run.jump.jumpPending = false;
        const SlotHistory& moving = run.history[run.movingPos];
        if (najblvlavo(ws, ui, run.partnerPos) && !wouldFailAgain(ws, run, moving.left, -1))
            leftDrag(ws, ui, run);
        run.partnerPos = run.movingPos;
        run.rewrittenCount = 0;
        if (!run.mergedInLeftDrag && najblvpravo(ws, ui, run.partnerPos) &&
            !wouldFailAgain(ws, run, moving.right, 1))
            rightDrag(ws, ui, run);
    } while (najblvpravo(ws, ui, run.movingPos));

    // A removed gate leaves the list: its neighbours count as changed, since
    // a drag that passed it will meet other gates now.
    int kept = 0;
    std::uint32_t removedChange = 0;
    for (int g = 1; g <= ws.pocetb1; ++g) {
        if (ws.gates[g].removed != 0) {
            const std::uint32_t changed = run.history[g].changed;
            if (kept > 0)
                run.history[kept].changed = std::max(run.history[kept].changed, changed);
            removedChange = std::max(removedChange, changed);
            continue;
        }
        ++kept;
        ws.gates[kept] = ws.gates[g];
        run.history[kept] = run.history[g];
        run.history[kept].changed = std::max(run.history[kept].changed, removedChange);
        removedChange = 0;
    }
    ws.pocetb1 = kept;
    return kept;
}

}  // namespace

bool najblvlavo(const Workspace& ws, Presentation& ui, int& pos)
{
    bool outside = false;
    if (pos > ws.pocetb1) {
        ui.appendLog("To procedure \"najblvlavo\" pos>pocetb1 was sent. That's BAD");
        outside = true;
    }
    if (pos < 1) {
        ui.appendLog("To procedure \"najblvlavo\" pos<1 was sent. That's BAD");
        outside = true;
    }
    if (outside || pos == 1)
        return false;
    do
        --pos;
    while (pos != 1 && ws.gates[pos].removed != 0);
    return ws.gates[pos].removed == 0;
}

bool najblvpravo(const Workspace& ws, Presentation& ui, int& pos)
{
    bool outside = false;
    if (pos > ws.pocetb1) {
        ui.appendLog("To procedure \"najblvpravo\" pos>pocetb1 was sent. That's BAD");
        outside = true;
    }
    if (pos < 1) {
        ui.appendLog("To procedure \"najblvpravo\" pos<1 was sent. That's BAD");
        outside = true;
    }
    if (outside || pos == ws.pocetb1)
        return false;
    do
        ++pos;
    while (pos != ws.pocetb1 && ws.gates[pos].removed != 0);
    return ws.gates[pos].removed == 0;
}

void restoreDrag(Workspace& ws, OptimizationRun& run)
{
    run.dragDone = true;
    ws.gates[run.movingPos].u = run.savedMatrices[0];
    for (int m = 1; m <= run.rewrittenCount; ++m)
        ws.gates[run.rewrittenGates[m]].u = run.savedMatrices[m];
}

void optimizeCircuit(Workspace& ws, Presentation& ui)
{
    if (ws.pocetb1 == 0)
        return;
    if (ws.pocetb1 > stepListCapacity) {
        ui.setChecked(Setting::Zobroptimkroky, false);
        ui.appendLog("Showing of optimization steps is turned off, because of number of gates in the circuit.");
    }
    ws.tolerance = 1e-7;
    ui.appendLog("The optimization algorithm has begun.");

    auto run = std::make_unique<OptimizationRun>();
    // The list never grows during the passes: a jump gate takes the slot of a merged one.
    run->history.assign(static_cast<std::size_t>(ws.pocetb1) + 1, SlotHistory{});
    for (;;) {
        const int kept = runPass(ws, ui, *run);
        // A pass over an empty circuit would have no first moving gate and
        // would send position 1 of an empty list to the neighbour searches.
        if (!ui.isChecked(Setting::roboptim) || kept == run->passStartCount || kept == 0)
            break;
    }
    ui.setProgressPosition(0);
    ui.setProgressVisible(false);
}
