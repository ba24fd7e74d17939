// Whole decompositions of random unitaries down to basic gates, as the
// Decomposition button runs them: reduction, synthesis, every stage, the
// optimizations, the final check and the drawing.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/synthesis/gate.h"
#include "platform/headlesspresentation.h"
#include "workspace/driver.h"
#include "ui/edit1change.h"
#include "workspace/workspace.h"

namespace {

// state.range(0): qubits; state.range(1): 1 with "Check after each stage of decomposition".
void decomposeRandomToBasicGates(benchmark::State& state)
{
    const int qubits = static_cast<int>(state.range(0));
    HeadlessPresentation ui;
    ui.recordEvents = false;
    ui.recordingCanvas.recording = false;
    auto ws = createWorkspace(ui);
    ui.endStageIndex = 0;
    ui.roboptim = true;
    ui.Kontrolptimkrok1 = state.range(1) != 0;
    ws->random.fixSeed(20261208);
    ui.setQubitFieldText(std::to_string(qubits));
    Edit1Change(*ws, ui);
    const auto input = std::make_unique<TMATICA1>(ws->matrixA);

    bool matched = true;
    int gates = 0;
    int cnots = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ws->matrixA = *input;
        ui.log.clear();
        ui.messages.clear();
        state.ResumeTiming();

        const RunSummary summary = decompose(*ws, ui);

        state.PauseTiming();
        matched = matched && summary.finalCircuit == CheckState::passed;
        gates = summary.gateCount;
        cnots = summary.cnotCount;
        state.ResumeTiming();
    }
    state.counters["gates"] = gates;
    state.counters["cnots"] = cnots;
    if (!matched)
        state.SkipWithError("the final check did not pass");
}

}  // namespace

BENCHMARK(decomposeRandomToBasicGates)
    ->ArgNames({"qubits", "checks"})
    ->Args({2, 1})
    ->Args({3, 1})
    ->Args({4, 1})
    ->Args({3, 0})
    ->Args({4, 0})
    ->Args({5, 0})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// Five qubits with every check: one run per repetition, it takes long.
BENCHMARK(decomposeRandomToBasicGates)
    ->ArgNames({"qubits", "checks"})
    ->Args({5, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
