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

}  // namespace

CircuitResult circuitResultOfRun(std::shared_ptr<const Workspace> ws, const HeadlessPresentation& ui,
                                 const RunSummary& summary)
{
    CircuitResult result;
    result.qubits = ws->qubitCount;
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
    result.workspace = std::move(ws);

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

std::span<const TGATE1> circuitGates(const CircuitResult& result)
{
    return std::span<const TGATE1>(result.workspace->gates).subspan(1, static_cast<std::size_t>(result.gateCount));
}

std::optional<bool> checkState(const CircuitResult& result, std::string_view name)
{
    for (const CheckResult& check : result.checks)
        if (check.name == name)
            return check.passed;
    return std::nullopt;
}
