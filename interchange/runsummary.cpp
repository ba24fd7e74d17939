#include "interchange/runsummary.h"
#include "platform/replacefile.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/headlesspresentation.h"
#include "workspace/circuitcomposition.h"
#include "workspace/driver.h"
#include "workspace/workspace.h"

namespace {

// The driver's own texts that mark the road of a run.
constexpr std::string_view runStart = "Decomposition have began.";
constexpr std::string_view inputRefused =
    "Matrix for decomposition is not unitary. Program can not work further with such matrix.!!!";
constexpr std::string_view reductionCancelled = ":(( reduction was not correct, so the decomposition is cancelled.";
constexpr std::string_view reconstructionPassed = "Matrix Decomposition was successful.";
constexpr std::string_view reconstructionFailed = ":(( Matrix Decomposition was unsuccessful.";
constexpr std::string_view synthesisStart = "The decomposition of Tpq into Quantum logic circuit has begun.";
constexpr std::string_view statisticsStart = "Statistics of the circuit:--------";
constexpr std::string_view statisticsEnd = "------------------------------------";
constexpr std::string_view gateCountPrefix = "Overall number of gates: ";
constexpr std::string_view controlCountPrefix = "Number of L";
constexpr std::string_view l1Passed = "Circuit from L1(U) gates correspond to input unitary matrix.";
constexpr std::string_view basicPassed = "Circuit from Basic gates correspond to input unitary matrix.";
constexpr std::string_view l1Failed = "!!!!!Circuit from L1(U) gates does not correspond to the input unitary matrix.";
constexpr std::string_view basicFailed = "!!!!! Circuit from Basic gates does not correspond to input unitary matrix!!!";
constexpr std::string_view gateNotUnitary = "2x2 matrix in definition of gate number:";

// Statistics blocks follow the stages in this order.
constexpr const char* stageNames[] = {"Generalized Toffoli gates", "L1(U) gates", "basic gates"};

double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Reads the decimal number at the start of `text`; -1 when there is none.
int leadingNumber(std::string_view text)
{
    int value = 0;
    std::size_t k = 0;
    for (; k < text.size() && text[k] >= '0' && text[k] <= '9' && value < 100000000; ++k)
        value = 10 * value + (text[k] - '0');
    return k == 0 ? -1 : value;
}

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

const char* endStageText(int endStage)
{
    switch (endStage) {
    case 1:
        return "L1(U) gates";
    case 2:
        return "Generalized Toffoli gates";
    default:
        return "basic gates";  // also what the box shows while nothing is chosen
    }
}

}  // namespace

RunRecorder::RunRecorder(Presentation& inner, Clock clock)
    : inner_(inner), clock_(clock ? std::move(clock) : Clock(steadySeconds))
{
}

void RunRecorder::closeStage(std::string name, double now)
{
    StageRecord stage = inStatistics_ ? statistics_ : StageRecord{};
    stage.name = std::move(name);
    stage.seconds = now - lastMark_;
    lastMark_ = now;
    summary_.stages.push_back(std::move(stage));
}

void RunRecorder::appendLog(std::string_view line)
{
    inner_.appendLog(line);
    const double now = clock_();
    if (line == runStart) {
        summary_ = RunSummary{};
        summary_.started = true;
        summary_.endStage = inner_.endStage();
        startTime_ = now;
        lastMark_ = now;
        inStatistics_ = false;
        statisticsBlocks_ = 0;
        return;
    }
    if (!summary_.started)
        return;
    if (line.starts_with("!") || line.starts_with(":(("))
        ++summary_.problemLines;

    if (inStatistics_) {
        if (line.starts_with(gateCountPrefix)) {
            statistics_.gateCount = leadingNumber(line.substr(gateCountPrefix.size()));
        } else if (line.starts_with(controlCountPrefix)) {
            const std::string_view rest = line.substr(controlCountPrefix.size());
            const int controls = leadingNumber(rest);
            const std::size_t colon = rest.find(':');
            if (controls >= 0 && controls <= maxQubits && colon != std::string_view::npos) {
                std::string_view countText = rest.substr(colon + 1);
                countText.remove_prefix(std::min(countText.find_first_not_of(' '), countText.size()));
                if (statistics_.gatesByControls.size() <= static_cast<std::size_t>(controls))
                    statistics_.gatesByControls.resize(static_cast<std::size_t>(controls) + 1);
                statistics_.gatesByControls[static_cast<std::size_t>(controls)] = leadingNumber(countText);
            }
        } else if (line == statisticsEnd) {
            const int block = statisticsBlocks_++;
            closeStage(block < 3 ? stageNames[block] : "stage " + std::to_string(block + 1), now);
            inStatistics_ = false;
        }
        return;
    }

    if (line == statisticsStart) {
        inStatistics_ = true;
        statistics_ = StageRecord{};
        statistics_.hasStatistics = true;
    } else if (line == inputRefused) {
        summary_.inputUnitary = CheckState::failed;
    } else if (line == reductionCancelled) {
        summary_.reduction = CheckState::failed;
    } else if (line == reconstructionPassed || line == reconstructionFailed) {
        summary_.reduction = CheckState::passed;
        summary_.reconstruction = line == reconstructionPassed ? CheckState::passed : CheckState::failed;
    } else if (line == synthesisStart) {
        summary_.reachedSynthesis = true;
        closeStage("reduction", now);
    } else if (line == l1Passed || line == basicPassed) {
        summary_.finalCircuit = CheckState::passed;
    }
}

void RunRecorder::showMessage(std::string_view text, MessageStyle style)
{
    inner_.showMessage(text, style);
    countMessage(text);
}

void RunRecorder::showDetailedMessage(std::string_view text, std::string_view detail, MessageStyle style)
{
    inner_.showDetailedMessage(text, detail, style);
    countMessage(text);
}

void RunRecorder::countMessage(std::string_view text)
{
    if (!summary_.started)
        return;
    ++summary_.messages;
    if (text == l1Failed || text == basicFailed)
        summary_.finalCircuit = CheckState::failed;
    else if (text.starts_with(gateNotUnitary))
        summary_.gateUnitarity = CheckState::failed;
}

void RunRecorder::finish(const Workspace& ws, const TMATICA1& input, std::optional<double> composedDifference)
{
    if (!summary_.started)
        return;
    const double now = clock_();
    inStatistics_ = false;
    closeStage(summary_.reachedSynthesis ? "final checks and drawing" : "reduction", now);
    summary_.totalSeconds = now - startTime_;
    summary_.qubitCount = ws.qubitCount;
    if (summary_.inputUnitary == CheckState::notRun)
        summary_.inputUnitary = CheckState::passed;
    if (!summary_.reachedSynthesis)
        return;
    if (summary_.gateUnitarity == CheckState::notRun)
        summary_.gateUnitarity = CheckState::passed;

    summary_.gateCount = ws.pocetb1;
    summary_.cnotCount = 0;
    for (int g = 1; g <= ws.pocetb1; ++g) {
        const TGATE1& gate = ws.gates[g];
        if (gate.type == 1 && matEqual2(gate.u, ws.pauliX, ws.tolerance))
            ++summary_.cnotCount;
    }

    if (composedDifference) {
        summary_.maxEntryDifference = composedDifference;
        return;
    }
    // Composed quietly: the composition's own messages belong to no stage of the run.
    HeadlessPresentation quiet;
    quiet.recordEvents = false;
    auto composed = std::make_unique<TMATICA1>();
    composeCircuit(ws, *composed, quiet);
    summary_.maxEntryDifference = largestEntryDifference(*composed, input, ws.matrixSize);
}

RunSummary decomposeRecorded(Workspace& ws, Presentation& ui)
{
    const auto input = std::make_unique<TMATICA1>(ws.matrixA);
    RunRecorder recorder(ui);
    const DecompositionResult result = decompose(ws, recorder);
    recorder.finish(ws, *input, result.maxEntryDifference);
    return recorder.summary();
}

std::string runSummaryJson(const RunSummary& summary)
{
    std::string out = "{\n";
    out += "  \"endStage\": " + jsonString(endStageText(summary.endStage)) + ",\n";
    out += "  \"endStageIndex\": " + std::to_string(summary.endStage) + ",\n";
    out += "  \"qubitCount\": " + std::to_string(summary.qubitCount) + ",\n";
    out += "  \"circuitBuilt\": " + std::string(summary.reachedSynthesis ? "true" : "false") + ",\n";
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
