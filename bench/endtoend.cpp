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

struct CircuitCounts {
    int gates = 0;
    int cnots = 0;
};

CircuitCounts countGates(const Workspace& ws)
{
    CircuitCounts counts{ws.pocetb1, 0};
    for (int g = 1; g <= ws.pocetb1; ++g)
        if (ws.gates[g].type == 1 && matEqual2(ws.gates[g].u, ws.pauliX, 1e-7))
            ++counts.cnots;
    return counts;
}

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
    for (auto _ : state) {
        state.PauseTiming();
        ws->matrixA = *input;
        ui.log.clear();
        ui.messages.clear();
        state.ResumeTiming();

        decompose(*ws, ui);

        state.PauseTiming();
        bool found = false;
        for (const std::string& line : ui.log)
            found = found || line == "Circuit from Basic gates correspond to input unitary matrix.";
        matched = matched && found;
        state.ResumeTiming();
    }
    const CircuitCounts counts = countGates(*ws);
    state.counters["gates"] = counts.gates;
    state.counters["cnots"] = counts.cnots;
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
