#include "interchange/runsummary.h"

#include "engine/endstage.h"
#include "interchange/jsontext.h"
#include "platform/replacefile.h"

namespace {

const char* checkJson(CheckState state)
{
    switch (state) {
    case CheckState::passed:
        return "true";
    case CheckState::failed:
        return "false";
    case CheckState::notRun:
        break;
    }
    return "null";
}

}  // namespace

bool anyCheckFailed(const RunSummary& summary)
{
    const CheckState checks[] = {summary.inputUnitary, summary.reduction, summary.reconstruction,
                                 summary.finalCircuit, summary.gateUnitarity};
    for (CheckState check : checks)
        if (check == CheckState::failed)
            return true;
    return summary.problemLines > 0 || summary.messages > 0;
}

std::string runSummaryJson(const RunSummary& summary)
{
    std::string out = "{\n";
    out += "  \"endStage\": " + jsonString(endStageOfBox(summary.endStage).jsonText) + ",\n";
    out += "  \"endStageIndex\": " + std::to_string(summary.endStage) + ",\n";
    out += "  \"qubitCount\": " + std::to_string(summary.qubitCount) + ",\n";
    out += "  \"circuitBuilt\": " + std::string(summary.circuitBuilt ? "true" : "false") + ",\n";
    out += "  \"gateCount\": " + std::to_string(summary.gateCount) + ",\n";
    out += "  \"cnotCount\": " + std::to_string(summary.cnotCount) + ",\n";
    out += "  \"maxEntryDifference\": " +
           (summary.maxEntryDifference ? jsonNumber(*summary.maxEntryDifference, "%.17g") : std::string("null")) +
           ",\n";
    out += "  \"checks\": {\n";
    out += "    \"inputUnitary\": " + std::string(checkJson(summary.inputUnitary)) + ",\n";
    out += "    \"reduction\": " + std::string(checkJson(summary.reduction)) + ",\n";
    out += "    \"reconstruction\": " + std::string(checkJson(summary.reconstruction)) + ",\n";
    out += "    \"finalCircuit\": " + std::string(checkJson(summary.finalCircuit)) + ",\n";
    out += "    \"gateUnitarity\": " + std::string(checkJson(summary.gateUnitarity)) + "\n";
    out += "  },\n";
    out += "  \"stages\": [";
    for (std::size_t k = 0; k < summary.stages.size(); ++k) {
        const StageRecord& stage = summary.stages[k];
        out += k == 0 ? "\n" : ",\n";
        out += "    {\"name\": " + jsonString(stage.name) + ", \"seconds\": " + jsonSeconds(stage.seconds);
        if (stage.hasStatistics) {
            out += ", \"gates\": " + std::to_string(stage.gateCount) + ", \"gatesByControls\": [";
            for (std::size_t c = 0; c < stage.gatesByControls.size(); ++c)
                out += (c == 0 ? "" : ", ") + std::to_string(stage.gatesByControls[c]);
            out += "]";
        }
        out += "}";
    }
    out += summary.stages.empty() ? "],\n" : "\n  ],\n";
    out += "  \"problemLines\": " + std::to_string(summary.problemLines) + ",\n";
    out += "  \"messages\": " + std::to_string(summary.messages) + ",\n";
    out += "  \"totalSeconds\": " + jsonSeconds(summary.totalSeconds) + "\n";
    out += "}\n";
    return out;
}

bool saveRunSummary(const RunSummary& summary, const std::string& path, Presentation& ui)
{
    const std::string text = runSummaryJson(summary);
    return writeTextFile(path, text, ui);
}
