#pragma once
// Every route to basic gates on one matrix, side by side: what each circuit
// costs, how exact it is and how long it took, beside the lower bound of CNOTs.

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "engine/kernel/matrix.h"
#include "engine/reduction/tpqentry.h"
#include "engine/synthesis/gate.h"
#include "interchange/runsummary.h"

class Presentation;
struct Workspace;

// What a row of the comparison says about one route's circuit.
struct RouteFigures {
    int endStage = -1;  // item index of the end-stage box
    int gateCount = 0;
    int cnotCount = 0;
    int oneQubitGateCount = 0;
    int depth = 0;
    int cnotDepth = 0;
    std::optional<double> maxEntryDifference;
    bool checksPassed = false;  // the final check ran and passed, and nothing failed or was reported
    double seconds = 0.0;
};

RouteFigures routeFigures(const RunSummary& summary, std::span<const TGATE1> gates);

// One route's run: its figures, and its circuit and log to show it again.
struct RouteRun {
    RouteFigures figures;
    RunSummary summary;
    std::vector<TGATE1> gates;
    std::vector<std::string> log;
    // The two-level route's factors and phases, for the report of a .mat file.
    std::vector<TpqEntry> tpqFactors;
    std::vector<double> dAngles;
};

struct Comparison {
    int qubitCount = 0;
    int lowerBound = 0;  // CNOTs a generic matrix of this size needs at least
    std::vector<RouteRun> routes;
};

// The end stages compared for a matrix of qubitCount qubits: those of the
// table that go to basic gates with the final check and take the size, in the
// table's order (two-level, fewest CNOTs, numerical).
std::vector<int> comparedEndStages(int qubitCount);

struct ComparisonSettings {
    bool optimize = true;   // "Perform an optimization", for the two-level route
    bool selfCheck = false; // "Check after each stage of decomposition"
    // Asked while the numerical route instantiates; true stops the comparison (RunCancelled).
    std::function<bool()> cancelled;
    // Told each route as it finishes, so that a table can fill row by row.
    std::function<void(const RouteRun&)> routeDone;
};

// Runs every compared route on `matrix` (the leading 2^qubitCount block, 2 to 5
// qubits), each in a workspace of its own, in turn. Throws RunCancelled when
// `cancelled` says so, before a route or while the numerical one instantiates.
Comparison compareRoutes(const TMATICA1& matrix, int qubitCount, const ComparisonSettings& settings);

// The route with the fewest CNOTs among those whose checks passed (the first
// such in the table's order), or the first route when none passed.
const RouteRun& fewestCnotRoute(const Comparison& comparison);

// The columns of the table and the cells of a route's row in them.
std::vector<std::string> comparisonHeaders();
std::vector<std::string> comparisonRowCells(const RouteFigures& figures);

// The route's circuit, factors and log in `ws` and on `ui`, as if it had just run.
void showComparedRoute(Workspace& ws, Presentation& ui, const RouteRun& route);

// The table as a person reads it: aligned columns, a header and a line for
// the lower bound.
std::string comparisonTable(const Comparison& comparison);
// The same with the cells separated by `separator` (a tab for a spreadsheet, a comma for CSV).
std::string comparisonCells(const Comparison& comparison, char separator);
// `summaryJson` (a run summary's JSON object) with "lowerBound" and "routes" added.
std::string comparisonJson(const Comparison& comparison, const std::string& summaryJson);
