// The two routes to basic gates side by side on the program's random matrix:
// the fewest-CNOT route and the two-level route with optimization (time and
// CNOTs); the fewest-CNOT route alone and the composition that checks it up to
// ten qubits.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/kernel/randomgenerator.h"
#include "engine/shannon/circuitproduct.h"
#include "engine/shannon/fewestcnots.h"
#include "engine/shannon/haarrandom.h"
#include "engine/synthesis/gate.h"
#include "interchange/runsummary.h"
#include "platform/headlesspresentation.h"
#include "ui/edit1change.h"
#include "workspace/driver.h"
#include "workspace/workspace.h"

namespace {

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

// state.range(0): qubits. The route alone on a Haar-random matrix of any size.
void fewestCnotsRoute(benchmark::State& state)
{
    const int qubits = static_cast<int>(state.range(0));
    RandomGenerator random;
    random.fixSeed(20261208);
    const DenseMatrix input = haarRandomUnitary(1 << qubits, random);
    GateList gates;
    for (auto _ : state) {
        gates = fewestCnotsCircuit(input);
        benchmark::DoNotOptimize(gates.data());
    }
    state.counters["cnots"] = cnotCount(gates);
    state.counters["gates"] = static_cast<double>(gates.size());
}
BENCHMARK(fewestCnotsRoute)
    ->DenseRange(2, 8)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(fewestCnotsRoute)->DenseRange(9, 10)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

// The composition that checks a large circuit, on the route's own circuits.
void largeCircuitProduct(benchmark::State& state)
{
    const int qubits = static_cast<int>(state.range(0));
    RandomGenerator random;
    random.fixSeed(20261208);
    const GateList gates = fewestCnotsCircuit(haarRandomUnitary(1 << qubits, random));
    for (auto _ : state) {
        const DenseMatrix product = circuitProduct(gates, qubits);
        benchmark::DoNotOptimize(product.entries.data());
    }
}
BENCHMARK(largeCircuitProduct)->DenseRange(6, 10)->Unit(benchmark::kSecond)->Iterations(1)->Repetitions(3);

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
