// What a command-line run of a random unitary costs, N = 2..5, end stage basic
// gates, every check: the whole run as `udecomp --random N --seed 1` makes it
// (start-up, the random matrix, the decomposition and its summary), and beside
// it the time of the final circuit's composition alone and of the
// optimizations inside the run.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <string>

#include "engine/synthesis/circuit.h"
#include "platform/headlesspresentation.h"
#include "ui/edit1change.h"
#include "workspace/driver.h"
#include "workspace/driversentences.h"
#include "workspace/workspace.h"

namespace {

// Processor time of this process: on a shared machine it counts only our own work.
double seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// state.range(0): qubits; state.range(1): 1 with "Check after each stage of decomposition".
// Counters, in processor time: composition_ms, one composition of the final circuit;
// optimization_ms, the optimizations of one run (from their first log line to the
// statistics after them).
void wholeRun(benchmark::State& state)
{
    const int qubits = static_cast<int>(state.range(0));
    double optimizationSeconds = 0.0;
    double optimizationStart = -1.0;
    std::unique_ptr<Workspace> last;
    for (auto _ : state) {
        HeadlessPresentation ui;
        ui.recordEvents = false;
        ui.recordingCanvas.recording = false;
        ui.onLog = [&](const std::string& line) {
            if (line == "The optimization algorithm has begun.") {
                optimizationStart = seconds();
            } else if (line == driverText::statisticsStart && optimizationStart >= 0.0) {
                optimizationSeconds += seconds() - optimizationStart;
                optimizationStart = -1.0;
            }
        };
        auto ws = createWorkspace(ui);
        ui.endStageIndex = 0;
        ui.Kontrolptimkrok1 = state.range(1) != 0;
        ws->random.fixSeed(1);
        ui.setQubitFieldText(std::to_string(qubits));
        Edit1Change(*ws, ui);
        const RunSummary summary = decomposeRecorded(*ws, ui);
        benchmark::DoNotOptimize(summary.maxEntryDifference);
        state.PauseTiming();
        last = std::move(ws);
        state.ResumeTiming();
    }
    const int iterations = static_cast<int>(state.iterations());
    state.counters["optimization_ms"] = 1e3 * optimizationSeconds / iterations;
    state.counters["gates"] = last->pocetb1;

    HeadlessPresentation quiet;
    quiet.recordEvents = false;
    const auto m = std::make_unique<TMATICA1>();
    int repeats = 0;
    const double start = seconds();
    while (repeats < 5 || seconds() - start < 0.05) {
        kompozicia(last->gates, last->pocetb1, 1, last->pocetb1, *m, last->qubitCount, quiet);
        benchmark::DoNotOptimize(m->e[0][0]);
        ++repeats;
    }
    state.counters["composition_ms"] = 1e3 * (seconds() - start) / repeats;
}

}  // namespace

BENCHMARK(wholeRun)
    ->ArgNames({"qubits", "checks"})
    ->Args({2, 0})
    ->Args({3, 0})
    ->Args({4, 0})
    ->Args({5, 0})
    ->Args({5, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.5)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
