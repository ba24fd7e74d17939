#include "ui/comparisoncommands.h"

#include <atomic>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/numerical/cnottemplate.h"
#include "platform/presentation.h"
#include "platform/replacefile.h"
#include "workspace/besidecaller.h"
#include "workspace/comparison.h"
#include "workspace/numericalrun.h"
#include "workspace/workspace.h"

namespace {

const char* const comparedLine = "The routes were compared: the table is in the window \"Compare routes\".";
const char* const cancelledLine = "The comparison of the routes was cancelled; the routes done stay in its table.";

}  // namespace

void CompareRoutesClick(Workspace& ws, Presentation& ui)
{
    if (ws.qubitCount < 2 || ws.qubitCount > maxQubits || ws.matrixSize != 1 << ws.qubitCount) {
        ui.showMessage("The routes are compared on matrices of 2 to 5 qubits.", MessageStyle::error);
        return;
    }
    const int stages = static_cast<int>(comparedEndStages(ws.qubitCount).size());
    auto comparison = std::make_shared<Comparison>();
    comparison->qubitCount = ws.qubitCount;
    comparison->lowerBound = cnotLowerBound(ws.qubitCount);
    ws.comparison = comparison;
    ui.comparisonChanged();

    // The routes run on a thread of their own; their rows come over as each ends.
    std::mutex finishedLock;
    std::vector<RouteRun> finished;
    std::atomic<bool> stop = false;
    ComparisonSettings settings;
    settings.optimize = ui.isChecked(Setting::roboptim);
    settings.selfCheck = ui.isChecked(Setting::Kontrolptimkrok1);
    settings.cancelled = [&] { return stop.load(); };
    settings.routeDone = [&](const RouteRun& route) {
        const std::lock_guard<std::mutex> held(finishedLock);
        finished.push_back(route);
    };
    const TMATICA1 matrix = ws.matrixA;
    const int qubits = ws.qubitCount;
    std::future<Comparison> work =
        std::async(std::launch::async, [&] { return compareRoutes(matrix, qubits, settings); });
    // The routes that ended since the last look go into the table.
    const auto takeFinished = [&] {
        const std::lock_guard<std::mutex> held(finishedLock);
        if (!finished.empty()) {
            for (RouteRun& route : finished)
                comparison->routes.push_back(std::move(route));
            finished.clear();
            ui.comparisonChanged();
        }
        return static_cast<int>(comparison->routes.size());
    };
    try {
        waitBeside(work, ui, stages, stop, takeFinished);
    } catch (const RunCancelled&) {
        ui.appendLog(cancelledLine);
        return;
    }
    ui.appendLog(comparedLine);
}

void CompareRowChosen(Workspace& ws, Presentation& ui, int index)
{
    if (!ws.comparison || index < 0 || index >= static_cast<int>(ws.comparison->routes.size()))
        return;
    showComparedRoute(ws, ui, ws.comparison->routes[static_cast<std::size_t>(index)]);
}

void ExportComparisonCsvClick(Workspace& ws, Presentation& ui)
{
    if (!ws.comparison || ws.comparison->routes.empty()) {
        ui.showMessage("There is no comparison of the routes to export yet.", MessageStyle::error);
        return;
    }
    const auto file = ui.chooseSaveFile("Export the comparison as CSV", "CSV table|*.csv", "comparison.csv");
    if (!file)
        return;
    if (writeTextFile(*file, comparisonCells(*ws.comparison, ','), ui))
        ui.showStatus("The comparison was written to " + *file + ".");
}

std::string comparisonClipboardText(const Workspace& ws)
{
    return ws.comparison ? comparisonCells(*ws.comparison, '\t') : std::string();
}
