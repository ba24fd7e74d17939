#include "workspace/largedecomposition.h"

#include <bit>
#include <cmath>

#include "engine/shannon/circuitproduct.h"
#include "engine/shannon/denseunitary.h"
#include "engine/shannon/fewestcnots.h"
#include "workspace/driversentences.h"
#include "workspace/runwatch.h"
#include "workspace/stagetimer.h"

namespace {

// As the workspace: the input's tolerance of unitarity, and the defect below
// which the matrix is decomposed as it is.
constexpr double unitaryTolerance = 1e-7;
constexpr double roundingDefect = 1e-12;

int qubitsOfSize(int size)
{
    return size > 0 && std::has_single_bit(static_cast<unsigned>(size)) ? std::countr_zero(static_cast<unsigned>(size))
                                                                        : 0;
}

bool gatesAreUnitary(const GateList& gates, Presentation& ui)
{
    for (std::size_t g = 0; g < gates.size(); ++g)
        if (!isUnitary2(gates[g].u, unitaryTolerance)) {
            ui.showMessage(std::string(driverText::gateNotUnitaryStart) + std::to_string(g + 1) +
                               std::string(driverText::gateNotUnitaryEnd),
                           MessageStyle::information);
            return false;
        }
    return true;
}

void run(const DenseMatrix& input, const EndStage& stage, Presentation& ui, LargeRun& result, StageTimer& timer)
{
    RunSummary& summary = result.summary;
    const int qubits = qubitsOfSize(input.size);
    if (stage.route != Route::fewestCnots || !takesQubits(stage, qubits)) {
        ui.showMessage(sizeRefusal(stage, input.size), MessageStyle::error);
        return;
    }
    const double defect = unitarityDefect(input);
    if (!(defect <= unitaryTolerance)) {
        ui.appendLog(driverText::inputNotUnitary);
        summary.inputUnitary = CheckState::failed;
        summary.inputDefect = defect;
        summary.inputTolerance = unitaryTolerance;
        return;
    }
    summary.inputUnitary = CheckState::passed;
    ui.appendLog(driverText::fewestCnotsStart);
    summary.circuitBuilt = true;
    result.gates = fewestCnotsCircuit(defect > roundingDefect ? nearestUnitary(input) : input);
    timer.close(summary, circuitStatistics(result.gates, qubits, ui), "basic gates, fewest CNOTs");

    if (!stage.finalCheck)
        return;
    summary.maxEntryDifference = largestEntryDifference(circuitProduct(result.gates, qubits), input);
    const bool passed = *summary.maxEntryDifference <= unitaryTolerance;
    if (passed)
        ui.appendLog(driverText::basicCircuitPassed);
    else
        ui.showMessage(driverText::basicCircuitFailed, MessageStyle::information);
    summary.finalCircuit = passed ? CheckState::passed : CheckState::failed;
    summary.gateUnitarity = gatesAreUnitary(result.gates, ui) ? CheckState::passed : CheckState::failed;
}

}  // namespace

LargeRun decomposeLarge(const DenseMatrix& input, const EndStage& stage, Presentation& ui, const StageClock& clock)
{
    RunWatch watch(ui);
    watch.appendLog(driverText::runStart);
    LargeRun result;
    StageTimer timer(clock ? clock : StageClock(steadySeconds));
    result.summary.endStage = stage.boxIndex;
    run(input, stage, watch, result, timer);
    if (result.summary.circuitBuilt) {
        result.summary.gateCount = static_cast<int>(result.gates.size());
        result.summary.cnotCount = cnotCount(result.gates);
    }
    timer.close(result.summary, {}, result.summary.circuitBuilt ? "final checks and drawing" : "reduction");
    result.summary.qubitCount = qubitsOfSize(input.size);
    result.summary.problemLines = watch.problemLines;
    result.summary.messages = watch.messages;
    return result;
}
