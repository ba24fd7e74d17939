// The optimizer on the circuits it meets: the generalized-Toffoli circuit of a
// random 5-qubit unitary, and a long circuit of one-qubit gates and CNOTs.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "engine/optimization/optimizer.h"
#include "platform/headlesspresentation.h"
#include "workspace/driver.h"
#include "ui/edit1change.h"
#include "workspace/workspace.h"

namespace {

// Counts the passes: each one starts by setting the progress maximum.
class PassCounter : public HeadlessPresentation {
public:
    int passes = 0;
    void setProgressMaximum(int maximum) override
    {
        ++passes;
        HeadlessPresentation::setProgressMaximum(maximum);
    }
};

std::vector<TGATE1> toffoliStageCircuit(Workspace& ws, PassCounter& ui, int qubits)
{
    ws.random.fixSeed(20261208);
    ui.setQubitFieldText(std::to_string(qubits));
    Edit1Change(ws, ui);
    ui.endStageIndex = 2;
    ui.roboptim = false;
    decompose(ws, ui);
    ui.roboptim = true;
    return {ws.gates.begin() + 1, ws.gates.begin() + 1 + ws.pocetb1};
}

TMATICA2 randomUnitary2(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> angle(-std::numbers::pi, std::numbers::pi);
    const double t = angle(rng), a = angle(rng), b = angle(rng), g = angle(rng);
    const Complex x = fromPolar(std::cos(t), a);
    const Complex y = fromPolar(std::sin(t), b);
    const Complex phase = fromPolar(1.0, g);
    return {phase * x, phase * y, phase * -conjugate(y), phase * conjugate(x)};
}

std::vector<TGATE1> oneQubitGatesAndCnots(int count, int qubits)
{
    std::mt19937_64 rng(5);
    std::uniform_int_distribution<int> qubit(1, qubits);
    std::vector<TGATE1> gates(count);
    for (TGATE1& g : gates) {
        g.target = static_cast<std::uint8_t>(qubit(rng));
        if (rng() % 2 == 0) {
            g.u = randomUnitary2(rng);
            continue;
        }
        int control = qubit(rng);
        while (control == g.target)
            control = qubit(rng);
        g.type = 1;
        g.controls[1] = static_cast<std::uint8_t>(control);
        g.u = {{}, {1.0, 0.0}, {1.0, 0.0}, {}};
    }
    return gates;
}

void optimizeRepeatedly(benchmark::State& state, Workspace& ws, PassCounter& ui, const std::vector<TGATE1>& circuit)
{
    int passes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(circuit.begin(), circuit.end(), ws.gates.begin() + 1);
        ws.pocetb1 = static_cast<int>(circuit.size());
        ui.log.clear();
        ui.passes = 0;
        state.ResumeTiming();

        optimizeCircuit(ws, ui);

        passes = ui.passes;
    }
    state.counters["gatesBefore"] = static_cast<double>(circuit.size());
    state.counters["gatesAfter"] = ws.pocetb1;
    state.counters["removed"] = static_cast<double>(circuit.size()) - ws.pocetb1;
    state.counters["passes"] = passes;
}

void optimizeToffoliStageOfFiveQubits(benchmark::State& state)
{
    PassCounter ui;
    ui.recordEvents = false;
    ui.recordingCanvas.recording = false;
    auto ws = createWorkspace(ui);
    const std::vector<TGATE1> circuit = toffoliStageCircuit(*ws, ui, 5);
    optimizeRepeatedly(state, *ws, ui, circuit);
}

void optimizeLongBasicCircuit(benchmark::State& state)
{
    PassCounter ui;
    ui.recordEvents = false;
    auto ws = createWorkspace(ui);
    ws->qubitCount = 5;
    ws->matrixSize = 32;
    optimizeRepeatedly(state, *ws, ui, oneQubitGatesAndCnots(100000, 5));
}

}  // namespace

BENCHMARK(optimizeToffoliStageOfFiveQubits)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
BENCHMARK(optimizeLongBasicCircuit)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();
