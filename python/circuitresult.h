#pragma once
// What a finished decomposition hands to Python: the run's checks, stages and
// messages, and the workspace the run left, which holds the circuit and what its
// exports and its .mat file need.

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/reduction/tpqentry.h"
#include "engine/synthesis/gate.h"
#include "python/compactcircuit.h"
#include "workspace/workspace.h"

class HeadlessPresentation;
struct RunSummary;
struct Workspace;

struct StageResult {
    std::string name;
    double seconds = 0.0;
    bool hasStatistics = false;  // the reduction and the closing checks have no gate counts
    int gates = 0;
    std::vector<int> gatesByControls;
};

struct CheckResult {
    std::string name;            // as in the JSON summary
    std::optional<bool> passed;  // empty: not run
};

struct MessageResult {
    std::string text;
    std::string detail;
    std::string style;  // "information" or "error"
};

// What the workspace held after the run beside its circuit, for the exports
// that read a workspace (the picture, the .mat file, the composition): a
// workspace is filled from it for the length of such a call.
struct WorkspaceRecord {
    int matrixSize = 0;
    std::vector<Complex> matrix;  // matrixA row by row
    std::vector<TpqEntry> tpqFactors;
    std::vector<double> dAngles;  // slots 0..64
    double zoom = 0.0;
    DrawArea drawArea;
    int firstShownGate = 0;
    int selectedGate = 0;
};

struct CircuitResult {
    CompactCircuit circuit;
    std::optional<WorkspaceRecord> workspace;  // empty beyond five qubits
    int qubits = 0;
    int endStage = -1;  // item index of the end-stage box
    bool circuitBuilt = false;
    int gateCount = 0;  // 0 when no circuit was built
    int cnotCount = 0;
    std::vector<int> countsByControls;  // [k] = gates with k controls, k = 0..qubits-1
    std::optional<double> maxEntryDifference;
    std::optional<double> nearestUnitaryDefect;  // set when the nearest unitary matrix was decomposed
    std::vector<CheckResult> checks;
    std::vector<StageResult> stages;
    std::vector<std::string> log;
    std::vector<MessageResult> messages;
    std::shared_ptr<const RunSummary> summary;  // the run's own, for what is derived from it
};

// The result of the run that just ended on `ws`, reported through `ui` and summed up
// in `summary`. The one place that reads a run's summary.
CircuitResult circuitResultOfRun(const Workspace& ws, const HeadlessPresentation& ui, const RunSummary& summary);

// The result of a run beyond five qubits, which kept its gates in a list of its own.
CircuitResult circuitResultOfLargeRun(std::vector<TGATE1> gates, const HeadlessPresentation& ui,
                                      const RunSummary& summary);

// Gates 1..gateCount (gate g in element g - 1).
std::vector<TGATE1> circuitGates(const CircuitResult& result);

// A workspace of the pool holding the circuit and the record, as the run left
// it; only for a result with a record.
std::shared_ptr<Workspace> workspaceOf(const CircuitResult& result);

// The state of the check of this JSON name; empty when it did not run or has no such name.
std::optional<bool> checkState(const CircuitResult& result, std::string_view name);
