#include "python/circuitresult.h"

#include <algorithm>

#include "interchange/runsummary.h"
#include "platform/headlesspresentation.h"
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

CircuitResult circuitResultOfRun(std::shared_ptr<const Workspace> ws, const HeadlessPresentation& ui,
                                 const RunSummary& summary)
{
    CircuitResult result = circuitResultOfSummary(ui, summary);
    result.qubits = ws->qubitCount;
    result.workspace = std::move(ws);
    return result;
}

CircuitResult circuitResultOfLargeRun(std::vector<TGATE1> gates, const HeadlessPresentation& ui,
                                      const RunSummary& summary)
{
    CircuitResult result = circuitResultOfSummary(ui, summary);
    result.gates = std::move(gates);
    return result;
}

std::span<const TGATE1> circuitGates(const CircuitResult& result)
{
    if (!result.workspace)
        return std::span<const TGATE1>(result.gates).first(static_cast<std::size_t>(result.gateCount));
    return std::span<const TGATE1>(result.workspace->gates).subspan(1, static_cast<std::size_t>(result.gateCount));
}

std::optional<bool> checkState(const CircuitResult& result, std::string_view name)
{
    for (const CheckResult& check : result.checks)
        if (check.name == name)
            return check.passed;
    return std::nullopt;
}
