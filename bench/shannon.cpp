// The two routes to basic gates side by side on the program's random matrix:
// the fewest-CNOT route and the two-level route with optimization (time and CNOTs).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/shannon/fewestcnots.h"
#include "platform/headlesspresentation.h"
#include "workspace/driver.h"
#include "ui/edit1change.h"
#include "workspace/workspace.h"

namespace {

int cnotsOf(const TGATES1& gates, int count)
{
    int cnots = 0;
    for (int g = 1; g <= count; ++g)
        cnots += gates[g].type > 0 ? 1 : 0;
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
    state.counters["cnots"] = cnotsOf(*gates, count);
    state.counters["gates"] = count;
}
BENCHMARK(fewestCnotsRoute)
    ->DenseRange(2, 5)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The whole run of the end stage "basic gates, fewest CNOTs" with optimization:
// synthesis, statistics, final check, gate check and drawing, the same matrices.
void fewestCnotsEndStage(benchmark::State& state)
{
    const int qubits = static_cast<int>(state.range(0));
    RandomInput input(qubits);
    input.ui.endStageIndex = 3;
    input.ui.roboptim = true;
    const auto matrix = std::make_unique<TMATICA1>(input.ws->matrixA);
    bool succeeded = true;
    for (auto _ : state) {
        input.ws->matrixA = *matrix;
        input.ui.log.clear();
        decompose(*input.ws, input.ui);
        succeeded = succeeded && input.ui.logContains("Circuit from Basic gates correspond to input unitary matrix.");
    }
    state.counters["cnots"] = cnotsOf(input.ws->gates, input.ws->pocetb1);
    state.counters["gates"] = input.ws->pocetb1;
    if (!succeeded || !input.ui.messages.empty())
        state.SkipWithError("the decomposition reported a problem");
}
BENCHMARK(fewestCnotsEndStage)
    ->DenseRange(2, 5)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// End stage "Basic gates" with optimization, the same matrices.
void twoLevelRoute(benchmark::State& state)
{
    const int qubits = static_cast<int>(state.range(0));
    RandomInput input(qubits);
    input.ui.endStageIndex = 0;
    input.ui.roboptim = true;
    const auto matrix = std::make_unique<TMATICA1>(input.ws->matrixA);
    bool succeeded = true;
    for (auto _ : state) {
        input.ws->matrixA = *matrix;
        input.ui.log.clear();
        decompose(*input.ws, input.ui);
        succeeded = succeeded && input.ui.logContains("Matrix Decomposition was successful.");
    }
    state.counters["cnots"] = cnotsOf(input.ws->gates, input.ws->pocetb1);
    state.counters["gates"] = input.ws->pocetb1;
    if (!succeeded || !input.ui.messages.empty())
        state.SkipWithError("the decomposition reported a problem");
}
BENCHMARK(twoLevelRoute)
    ->DenseRange(2, 5)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
