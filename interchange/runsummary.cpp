#include "interchange/runsummary.h"

#include "engine/endstage.h"
#include "platform/replacefile.h"

#include <cmath>
#include <cstdio>

namespace {

std::string jsonNumber(double x, const char* format)
{
    if (!std::isfinite(x))
        return "null";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, format, x);
    return buffer;
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (static_cast<unsigned char>(ch) < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(ch));
            out += buffer;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

// Seconds to the microsecond: finer digits are timer noise.
std::string jsonSeconds(double seconds) { return jsonNumber(std::round(seconds * 1e6) / 1e6, "%.9g"); }

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
