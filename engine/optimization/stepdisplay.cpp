#include "engine/optimization/stepdisplay.h"

#include <span>
#include <string>

#include "engine/optimization/optimizationrun.h"
#include "platform/presentation.h"
#include "ui/circuitdrawing.h"
#include "workspace/workspace.h"

namespace {

// The drawn list, numbered from 1 like the circuit list.
class StepList {
public:
    explicit StepList(OptimizationRun& run) : entries_(run.stepList) {}

    void append(const TGATE1& gate)
    {
        if (count_ + 1 < static_cast<int>(entries_.size()))
            entries_[++count_] = gate;
    }
    int count() const { return count_; }
    std::span<const TGATE1> gates() const { return std::span<const TGATE1>(entries_.data(), count_ + 1); }

private:
    std::array<TGATE1, stepListCapacity + 2>& entries_;
    int count_ = 0;
};

bool isPresent(const Workspace& ws, int g) { return ws.gates[g].removed == 0; }

void appendWithJumpGate(const Workspace& ws, const OptimizationRun& run, StepList& list, int g)
{
    if (isPresent(ws, g) && g != run.movingPos)
        list.append(ws.gates[g]);
    if (run.jump.jumpPending && g == run.jump.jumpPosition)
        list.append(run.jump.jumpGate);
}

void drawAndAsk(Workspace& ws, Presentation& ui, const StepList& list, std::string_view heading,
                const std::string& line)
{
    drawCircuit(ws, ui, list.gates(), ws.firstShownGate, list.count());
    const std::string text = std::string(heading) + "\r\r" + line + "\r\r" +
                             " Do you want to continue showing optimization steps?";
    if (!ui.askOkCancel(text))
        ui.setChecked(Setting::Zobroptimkroky, false);
}

}  // namespace

void showLeftStep(Workspace& ws, Presentation& ui, OptimizationRun& run, std::string_view text)
{
    StepList list(run);
    for (int g = 1; g <= run.partnerPos; ++g)
        if (isPresent(ws, g))
            list.append(ws.gates[g]);
    const int pPartner = list.count();
    const bool movingPresent = isPresent(ws, run.movingPos);
    int pMoving = 0;
    if (movingPresent) {
        list.append(ws.gates[run.movingPos]);
        pMoving = list.count();
        ws.selectedGate = pMoving;
    } else {
        ws.selectedGate = isPresent(ws, run.partnerPos) ? pPartner : 0;
    }
    for (int g = run.partnerPos + 1; g <= ws.pocetb1; ++g)
        appendWithJumpGate(ws, run, list, g);

    std::string line(text);
    line += ws.selectedGate != 0 ? "gate " + std::to_string(pPartner) : std::string("identity");
    if (movingPresent)
        line += " with gate " + std::to_string(pMoving) + ".";
    drawAndAsk(ws, ui, list, "Optimization: Dragging left:", line);
}

void showRightStep(Workspace& ws, Presentation& ui, OptimizationRun& run, std::string_view text)
{
    StepList list(run);
    for (int g = 1; g <= run.partnerPos - 1; ++g)
        appendWithJumpGate(ws, run, list, g);
    const bool movingPresent = isPresent(ws, run.movingPos);
    int pMoving = 0;
    if (movingPresent) {
        list.append(ws.gates[run.movingPos]);
        pMoving = list.count();
        ws.selectedGate = pMoving;
    } else {
        ws.selectedGate = isPresent(ws, run.partnerPos) ? list.count() + 1 : 0;
    }
    const int pPartner = list.count() + 1;
    for (int g = run.partnerPos; g <= ws.pocetb1; ++g)
        if (isPresent(ws, g))
            list.append(ws.gates[g]);

    std::string line(text);
    if (ws.selectedGate != 0)
        line += "gate " + std::to_string(movingPresent ? pMoving : pPartner);
    else
        line += "identity";
    if (movingPresent)
        line += " with gate " + std::to_string(pPartner) + ".";
    drawAndAsk(ws, ui, list, "Optimization: Dragging right:", line);
}
