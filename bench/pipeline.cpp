// The composition of long circuits and the decomposition down to generalized
// Toffoli gates without optimization.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "engine/synthesis/circuit.h"
#include "platform/headlesspresentation.h"
#include "workspace/driver.h"
#include "ui/edit1change.h"
#include "workspace/workspace.h"

namespace {

// A random 2 x 2 unitary e^(i g) [[x, y], [-conj(y), conj(x)]].
TMATICA2 randomGateMatrix(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> angle(-3.14159, 3.14159);
    const double t = angle(rng), a = angle(rng), b = angle(rng), g = angle(rng);
    const Complex x = fromPolar(std::cos(t), a);
    const Complex y = fromPolar(std::sin(t), b);
    const Complex phase = fromPolar(1.0, g);
    return {phase * x, phase * y, phase * -conjugate(y), phase * conjugate(x)};
}

// Fills the workspace circuit with `count` gates of random type, target and controls.
void fillRandomCircuit(Workspace& ws, Presentation& ui, int count, int qubits)
{
    std::mt19937_64 rng(99);
    ws.qubitCount = qubits;
    ws.matrixSize = 1 << qubits;
    ws.pocetb1 = 0;
    for (int g = 0; g < count && appendGate(ws, ui); ++g) {
        TGATE1& gate = ws.gates[ws.pocetb1];
        int order[maxQubits] = {1, 2, 3, 4, 5};
        std::shuffle(order, order + qubits, rng);
        gate.type = static_cast<std::uint8_t>(rng() % qubits);
        gate.target = static_cast<std::uint8_t>(order[0]);
        for (int c = 1; c <= gate.type; ++c)
            gate.controls[c] = static_cast<std::uint8_t>(order[c]);
        gate.u = randomGateMatrix(rng);
    }
}

void kompoziciaOfRandomCircuit(benchmark::State& state)
{
    const int gates = static_cast<int>(state.range(0));
    HeadlessPresentation ui;
    ui.recordEvents = false;
    auto ws = createWorkspace(ui);
    fillRandomCircuit(*ws, ui, gates, 5);
    const auto m = std::make_unique<TMATICA1>();
    for (auto _ : state) {
        kompozicia(ws->gates, ws->pocetb1, 1, ws->pocetb1, *m, ws->qubitCount, ui);
        benchmark::DoNotOptimize(m->e[0][0]);
    }
    if (!ui.messages.empty())
        state.SkipWithError("kompozicia reported a problem");
}
BENCHMARK(kompoziciaOfRandomCircuit)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// state.range(0): qubits. End stage "Generalized Toffoli gates", no optimization.
void decomposeRandomToToffoliGates(benchmark::State& state)
{
    const int qubits = static_cast<int>(state.range(0));
    HeadlessPresentation ui;
    ui.recordEvents = false;
    ui.recordingCanvas.recording = false;
    auto ws = createWorkspace(ui);
    ui.endStageIndex = 2;
    ui.roboptim = false;
    ws->random.fixSeed(20261208);
    ui.setQubitFieldText(std::to_string(qubits));
    Edit1Change(*ws, ui);
    const auto input = std::make_unique<TMATICA1>(ws->matrixA);

    bool succeeded = true;
    for (auto _ : state) {
        ws->matrixA = *input;
        ui.log.clear();
        succeeded = succeeded && decompose(*ws, ui).reconstruction == CheckState::passed;
    }
    state.counters["gates"] = ws->pocetb1;
    if (!succeeded || !ui.messages.empty())
        state.SkipWithError("the decomposition reported a problem");
}
BENCHMARK(decomposeRandomToToffoliGates)
    ->DenseRange(2, 5)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
