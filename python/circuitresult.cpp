#include "python/circuitresult.h"

#include <algorithm>

#include "interchange/runsummary.h"
#include "platform/headlesspresentation.h"
#include "python/workspacepool.h"
#include "workspace/workspace.h"

namespace {

std::optional<bool> checkPassed(CheckState state)
{
    if (state == CheckState::notRun)
        return std::nullopt;
    return state == CheckState::passed;
}

CircuitResult circuitResultOfSummary(const HeadlessPresentation& ui, const RunSummary& summary)
{
    CircuitResult result;
    result.summary = std::make_shared<const RunSummary>(summary);
    result.qubits = summary.qubitCount;
    result.endStage = summary.endStage;
    result.circuitBuilt = summary.circuitBuilt;
    result.gateCount = summary.circuitBuilt ? summary.gateCount : 0;
    result.cnotCount = summary.cnotCount;
    result.maxEntryDifference = summary.maxEntryDifference;
    result.nearestUnitaryDefect = summary.nearestUnitaryDefect;
    result.checks = {
        {"inputUnitary", checkPassed(summary.inputUnitary)},
        {"reduction", checkPassed(summary.reduction)},
        {"reconstruction", checkPassed(summary.reconstruction)},
        {"finalCircuit", checkPassed(summary.finalCircuit)},
        {"gateUnitarity", checkPassed(summary.gateUnitarity)},
    };
    for (const StageRecord& stage : summary.stages)
        result.stages.push_back(
            {stage.name, stage.seconds, stage.hasStatistics, stage.gateCount, stage.gatesByControls});
    result.log = ui.log;
    for (const RecordedMessage& message : ui.messages)
        result.messages.push_back(
            {message.text, message.detail, message.style == MessageStyle::error ? "error" : "information"});

    // The statistics block that closed the last stage counted the final circuit;
    // counting 137,009 gates again would read their 10 MB once more.
    result.countsByControls.assign(static_cast<std::size_t>(std::max(result.qubits, 0)), 0);
    const auto last = std::find_if(summary.stages.rbegin(), summary.stages.rend(),
                                   [](const StageRecord& stage) { return stage.hasStatistics; });
    if (result.circuitBuilt && last != summary.stages.rend())
        for (std::size_t k = 0; k < result.countsByControls.size() && k < last->gatesByControls.size(); ++k)
            result.countsByControls[k] = last->gatesByControls[k];
    return result;
}

}  // namespace

CircuitResult circuitResultOfRun(const Workspace& ws, const HeadlessPresentation& ui, const RunSummary& summary)
{
    CircuitResult result = circuitResultOfSummary(ui, summary);
    result.qubits = ws.qubitCount;
    result.circuit = compactCircuit(std::span<const TGATE1>(ws.gates).subspan(1, static_cast<std::size_t>(result.gateCount)));
    WorkspaceRecord record;
    record.matrixSize = ws.matrixSize;
    for (int row = 1; row <= ws.matrixSize; ++row)
        for (int column = 1; column <= ws.matrixSize; ++column)
            record.matrix.push_back(ws.matrixA(row, column));
    record.tpqFactors.assign(ws.tpqTable.begin() + 1, ws.tpqTable.begin() + 1 + ws.tpqCount);
    record.dAngles.assign(ws.dAngles.begin(), ws.dAngles.end());
    record.zoom = ws.zoom;
    record.drawArea = ws.drawArea;
    record.firstShownGate = ws.firstShownGate;
    record.selectedGate = ws.selectedGate;
    result.workspace = std::move(record);
    return result;
}

CircuitResult circuitResultOfLargeRun(std::vector<TGATE1> gates, const HeadlessPresentation& ui,
                                      const RunSummary& summary)
{
    CircuitResult result = circuitResultOfSummary(ui, summary);
    gates.resize(std::min(gates.size(), static_cast<std::size_t>(std::max(result.gateCount, 0))));
    result.circuit = compactCircuit(gates);
    return result;
}

std::vector<TGATE1> circuitGates(const CircuitResult& result) { return expandedGates(result.circuit); }

std::shared_ptr<Workspace> workspaceOf(const CircuitResult& result)
{
    HeadlessPresentation quiet;
    quiet.recordEvents = false;
    std::shared_ptr<Workspace> ws = borrowWorkspace(quiet);
    const WorkspaceRecord& record = *result.workspace;
    const std::vector<TGATE1> gates = circuitGates(result);
    ws->pocetb1 = static_cast<int>(gates.size());
    std::copy(gates.begin(), gates.end(), ws->gates.begin() + 1);
    ws->qubitCount = result.qubits;
    ws->matrixSize = record.matrixSize;
    for (int row = 1; row <= record.matrixSize; ++row)
        for (int column = 1; column <= record.matrixSize; ++column)
            ws->matrixA(row, column) = record.matrix[static_cast<std::size_t>((row - 1) * record.matrixSize + column - 1)];
    ws->tpqCount = static_cast<int>(record.tpqFactors.size());
    std::copy(record.tpqFactors.begin(), record.tpqFactors.end(), ws->tpqTable.begin() + 1);
    std::copy(record.dAngles.begin(), record.dAngles.end(), ws->dAngles.begin());
    ws->zoom = record.zoom;
    ws->drawArea = record.drawArea;
    ws->firstShownGate = record.firstShownGate;
    ws->selectedGate = record.selectedGate;
    return ws;
}

std::optional<bool> checkState(const CircuitResult& result, std::string_view name)
{
    for (const CheckResult& check : result.checks)
        if (check.name == name)
            return check.passed;
    return std::nullopt;
}
