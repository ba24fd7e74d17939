// The two routes to basic gates side by side on the program's random matrix:
// the fewest-CNOT route and the two-level route with optimization (time and CNOTs).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/shannon/fewestcnots.h"
#include "engine/synthesis/gate.h"
#include "interchange/runsummary.h"
#include "platform/headlesspresentation.h"
#include "ui/edit1change.h"
#include "workspace/driver.h"
#include "workspace/workspace.h"

namespace {

int cnotsOf(const TGATES1& gates, int count, const TMATICA2& pauliX)
{
    int cnots = 0;
    for (int g = 1; g <= count; ++g)
        cnots += isCnot(gates[g], pauliX, 0.0) ? 1 : 0;
    return cnots;
}

// The matrix the window generates for `qubits` with a fixed seed.
struct RandomInput {
    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws;

    explicit RandomInput(int qubits)
    {
        ui.recordEvents = false;
        ui.recordingCanvas.recording = false;
        ws = createWorkspace(ui);
        ws->random.fixSeed(20261208);
        ui.setQubitFieldText(std::to_string(qubits));
        Edit1Change(*ws, ui);
    }
};

// state.range(0): qubits.
void fewestCnotsRoute(benchmark::State& state)
{
    const int qubits = static_cast<int>(state.range(0));
    RandomInput input(qubits);
    auto gates = std::make_unique<TGATES1>();
    int count = 0;
    for (auto _ : state) {
        count = fewestCnotsCircuit(input.ws->matrixA, qubits, *gates);
        benchmark::DoNotOptimize(count);
    }
    state.counters["cnots"] = cnotsOf(*gates, count, input.ws->pauliX);
    state.counters["gates"] = count;
}
BENCHMARK(fewestCnotsRoute)
    ->DenseRange(2, 5)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// A whole run of `endStage` with optimization on the same matrices: synthesis,
// statistics, final check, gate check and drawing.
void wholeRun(benchmark::State& state, int endStage)
{
    const int qubits = static_cast<int>(state.range(0));
    RandomInput input(qubits);
    input.ui.endStageIndex = endStage;
    input.ui.roboptim = true;
    const auto matrix = std::make_unique<TMATICA1>(input.ws->matrixA);
    RunSummary report;
    bool succeeded = true;
    for (auto _ : state) {
        input.ws->matrixA = *matrix;
        report = decompose(*input.ws, input.ui);
        succeeded = succeeded && report.finalCircuit == CheckState::passed && report.messages == 0;
    }
    state.counters["cnots"] = report.cnotCount;
    state.counters["gates"] = report.gateCount;
    if (!succeeded)
        state.SkipWithError("the decomposition reported a problem");
}

// End stage "basic gates, fewest CNOTs".
void fewestCnotsEndStage(benchmark::State& state) { wholeRun(state, 3); }
BENCHMARK(fewestCnotsEndStage)
    ->DenseRange(2, 5)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// End stage "basic gates" (the two-level route).
void twoLevelRoute(benchmark::State& state) { wholeRun(state, 0); }
BENCHMARK(twoLevelRoute)
    ->DenseRange(2, 5)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
