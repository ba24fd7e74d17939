#include "python/workspacepool.h"

#include <mutex>
#include <vector>

#include "platform/headlesspresentation.h"
#include "workspace/workspace.h"

namespace {

// Idle workspaces beyond this many are freed.
constexpr std::size_t keptWorkspaces = 4;

std::mutex poolMutex;
std::vector<std::unique_ptr<Workspace>> idle;

// The start-up state that every borrowed workspace gets. Its circuit list is
// never written, so it costs address space only.
const Workspace& startUpState()
{
    static const std::unique_ptr<Workspace> fresh = [] {
        HeadlessPresentation quiet;
        quiet.recordEvents = false;
        return createWorkspace(quiet);
    }();
    return *fresh;
}

// Every field createWorkspace sets, and the results of the last run. Circuit
// slots past pocetb1 keep old gates: no routine reads a slot before writing it,
// as a second run in the window shows.
void resetToStartUp(Workspace& ws)
{
    const Workspace& fresh = startUpState();
    ws.pocetb1 = fresh.pocetb1;
    ws.zoom = fresh.zoom;
    ws.drawArea = fresh.drawArea;
    ws.firstShownGate = fresh.firstShownGate;
    ws.selectedGate = fresh.selectedGate;
    ws.pauliX = fresh.pauliX;
    ws.pauliZ = fresh.pauliZ;
    ws.identity2 = fresh.identity2;
    ws.tolerance = fresh.tolerance;
    ws.matrixA = fresh.matrixA;
    ws.tpqTable = fresh.tpqTable;
    ws.dAngles = fresh.dAngles;
    ws.matrixSize = fresh.matrixSize;
    ws.tpqCount = fresh.tpqCount;
    ws.qubitCount = fresh.qubitCount;
    ws.random = fresh.random;
}

void giveBack(Workspace* ws)
{
    std::unique_ptr<Workspace> owned(ws);
    const std::lock_guard lock(poolMutex);
    if (idle.size() < keptWorkspaces)
        idle.push_back(std::move(owned));
}

}  // namespace

std::shared_ptr<Workspace> borrowWorkspace(Presentation& ui)
{
    std::unique_ptr<Workspace> ws;
    {
        const std::lock_guard lock(poolMutex);
        if (!idle.empty()) {
            ws = std::move(idle.back());
            idle.pop_back();
        }
    }
    if (ws) {
        resetToStartUp(*ws);
        ui.setChecked(Setting::Zobroptimkroky, false);
    } else {
        ws = createWorkspace(ui);
    }
    return std::shared_ptr<Workspace>(ws.release(), giveBack);
}
