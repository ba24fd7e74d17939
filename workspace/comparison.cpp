#include "workspace/comparison.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "engine/endstage.h"
#include "engine/numerical/cnottemplate.h"
#include "engine/synthesis/circuitdepth.h"
#include "interchange/jsontext.h"
#include "platform/headlesspresentation.h"
#include "platform/presentation.h"
#include "workspace/driver.h"
#include "workspace/numericalrun.h"
#include "workspace/workspace.h"

namespace {

RouteRun runRoute(const TMATICA1& matrix, int qubitCount, int endStage, const ComparisonSettings& settings)
{
    HeadlessPresentation quiet;
    quiet.recordEvents = false;
    quiet.recordingCanvas.recording = false;
    quiet.endStageIndex = endStage;
    quiet.roboptim = settings.optimize;
    quiet.Kontrolptimkrok1 = settings.selfCheck;
    quiet.cancelWhen = settings.cancelled;
    const auto ws = createWorkspace(quiet);
    ws->qubitCount = qubitCount;
    ws->matrixSize = 1 << qubitCount;
    ws->matrixA = matrix;
    RouteRun run;
    run.summary = decomposeRecorded(*ws, quiet);
    if (run.summary.circuitBuilt)
        run.gates.assign(ws->gates.begin() + 1, ws->gates.begin() + 1 + ws->pocetb1);
    run.log = std::move(quiet.log);
    run.tpqFactors.assign(ws->tpqTable.begin() + 1, ws->tpqTable.begin() + 1 + ws->tpqCount);
    run.dAngles.assign(ws->dAngles.begin(), ws->dAngles.end());
    run.figures = routeFigures(run.summary, run.gates);
    return run;
}

std::string fixed(double x, const char* format)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, format, x);
    return buffer;
}

const char* headers[] = {"end stage", "gates", "CNOTs", "one-qubit gates", "depth", "CNOT depth", "error", "checks",
                         "seconds"};
constexpr std::size_t columnCount = std::size(headers);

}  // namespace

std::vector<std::string> comparisonHeaders() { return {std::begin(headers), std::end(headers)}; }

std::vector<std::string> comparisonRowCells(const RouteFigures& f)
{
    return {std::string(endStageOfBox(f.endStage).itemText),
            std::to_string(f.gateCount),
            std::to_string(f.cnotCount),
            std::to_string(f.oneQubitGateCount),
            std::to_string(f.depth),
            std::to_string(f.cnotDepth),
            f.maxEntryDifference ? fixed(*f.maxEntryDifference, "%.2e") : std::string("-"),
            f.checksPassed ? "passed" : "failed",
            fixed(f.seconds, "%.3f")};
}

namespace {

std::vector<std::string> boundCells(const Comparison& c)
{
    std::vector<std::string> cells(columnCount);
    cells[0] = "lower bound (" + std::to_string(c.qubitCount) + " qubits)";
    cells[2] = std::to_string(c.lowerBound);
    return cells;
}

std::vector<std::vector<std::string>> tableCells(const Comparison& c)
{
    std::vector<std::vector<std::string>> rows{std::vector<std::string>(std::begin(headers), std::end(headers))};
    for (const RouteRun& route : c.routes)
        rows.push_back(comparisonRowCells(route.figures));
    rows.push_back(boundCells(c));
    return rows;
}

}  // namespace

RouteFigures routeFigures(const RunSummary& summary, std::span<const TGATE1> gates)
{
    RouteFigures f;
    f.endStage = summary.endStage;
    f.gateCount = static_cast<int>(gates.size());
    f.cnotCount = cnotCount(gates);
    f.oneQubitGateCount = static_cast<int>(std::count_if(gates.begin(), gates.end(), [](const TGATE1& g) { return g.type == 0; }));
    f.depth = circuitDepth(gates);
    f.cnotDepth = cnotDepth(gates);
    f.maxEntryDifference = summary.maxEntryDifference;
    f.checksPassed = summary.finalCircuit == CheckState::passed && !anyCheckFailed(summary);
    f.seconds = summary.totalSeconds;
    return f;
}

std::vector<int> comparedEndStages(int qubitCount)
{
    std::vector<int> stages;
    for (const EndStage& stage : endStages)
        if (stage.boxIndex >= 0 && stage.depth == Depth::basicGates && stage.finalCheck && takesQubits(stage, qubitCount))
            stages.push_back(stage.boxIndex);
    return stages;
}

Comparison compareRoutes(const TMATICA1& matrix, int qubitCount, const ComparisonSettings& settings)
{
    Comparison comparison{qubitCount, cnotLowerBound(qubitCount), {}};
    for (const int stage : comparedEndStages(qubitCount)) {
        if (settings.cancelled && settings.cancelled())
            throw RunCancelled();
        comparison.routes.push_back(runRoute(matrix, qubitCount, stage, settings));
        if (settings.routeDone)
            settings.routeDone(comparison.routes.back());
    }
    return comparison;
}

void showComparedRoute(Workspace& ws, Presentation& ui, const RouteRun& route)
{
    ws.pocetb1 = static_cast<int>(route.gates.size());
    std::copy(route.gates.begin(), route.gates.end(), ws.gates.begin() + 1);
    ws.tpqCount = static_cast<int>(route.tpqFactors.size());
    std::copy(route.tpqFactors.begin(), route.tpqFactors.end(), ws.tpqTable.begin() + 1);
    std::copy(route.dAngles.begin(), route.dAngles.end(), ws.dAngles.begin());
    ws.selectedGate = 0;
    for (const std::string& line : route.log)
        ui.appendLog(line);
    ui.setGridVisible(false);
    ui.setDrawingVisible(true);
    showCircuit(ws, ui);
}

const RouteRun& fewestCnotRoute(const Comparison& comparison)
{
    const RouteRun* best = nullptr;
    for (const RouteRun& route : comparison.routes)
        if (route.figures.checksPassed && (!best || route.figures.cnotCount < best->figures.cnotCount))
            best = &route;
    return best ? *best : comparison.routes.front();
}

std::string comparisonTable(const Comparison& comparison)
{
    const auto rows = tableCells(comparison);
    std::vector<std::size_t> width(columnCount, 0);
    for (const auto& row : rows)
        for (std::size_t k = 0; k < columnCount; ++k)
            width[k] = std::max(width[k], row[k].size());
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t k = 0; k < columnCount; ++k) {
            // The names to the left, the numbers to the right of their columns.
            const std::string pad(width[k] - row[k].size(), ' ');
            line += k == 0 ? row[k] + pad : "  " + pad + row[k];
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}

std::string comparisonCells(const Comparison& comparison, char separator)
{
    std::string text;
    for (const auto& row : tableCells(comparison)) {
        for (std::size_t k = 0; k < columnCount; ++k) {
            const bool quoted = separator == ',' && row[k].find(',') != std::string::npos;
            text += (k > 0 ? std::string(1, separator) : std::string()) + (quoted ? "\"" + row[k] + "\"" : row[k]);
        }
        text += "\n";
    }
    return text;
}

std::string comparisonJson(const Comparison& comparison, const std::string& summaryJson)
{
    std::string json = summaryJson.substr(0, summaryJson.rfind('}'));
    json.erase(json.find_last_not_of(" \n") + 1);
    json += ",\n  \"lowerBound\": " + std::to_string(comparison.lowerBound) + ",\n  \"routes\": [";
    for (std::size_t k = 0; k < comparison.routes.size(); ++k) {
        const RouteFigures& f = comparison.routes[k].figures;
        json += std::string(k > 0 ? "," : "") + "\n    {\"endStage\": " + jsonString(endStageOfBox(f.endStage).jsonText) +
                ", \"gateCount\": " + std::to_string(f.gateCount) + ", \"cnotCount\": " + std::to_string(f.cnotCount) +
                ", \"oneQubitGateCount\": " + std::to_string(f.oneQubitGateCount) +
                ", \"depth\": " + std::to_string(f.depth) + ", \"cnotDepth\": " + std::to_string(f.cnotDepth) +
                ", \"maxEntryDifference\": " +
                (f.maxEntryDifference ? jsonNumber(*f.maxEntryDifference, "%.17g") : std::string("null")) +
                ", \"checksPassed\": " + (f.checksPassed ? "true" : "false") +
                ", \"seconds\": " + jsonSeconds(f.seconds) + "}";
    }
    return json + "\n  ]\n}\n";
}
