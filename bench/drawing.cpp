// Redrawing a long circuit: the drawing must stop at the last band that fits,
// so its cost does not grow with the circuit.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/headlesspresentation.h"
#include "ui/circuitdrawing.h"
#include "workspace/workspace.h"

namespace {

constexpr int circuitLength = 200000;

// A 5-qubit circuit mixing one-qubit gates, CNOTs, controlled Z and two-control gates.
void fillCircuit(Workspace& ws)
{
    ws.qubitCount = 5;
    ws.matrixSize = 32;
    const TMATICA2 letterBox{{0.6, 0}, {0, 0.8}, {0, 0.8}, {0.6, 0}};
    for (int g = 1; g <= circuitLength; ++g) {
        TGATE1& gate = ws.gates[static_cast<std::size_t>(g)];
        gate = TGATE1{};
        gate.target = static_cast<std::uint8_t>(1 + g % 5);
        switch (g % 4) {
        case 0: gate.u = letterBox; break;
        case 1:
            gate.u = ws.pauliX;
            gate.type = 1;
            gate.controls[1] = static_cast<std::uint8_t>(1 + (g + 2) % 5);
            break;
        case 2:
            gate.u = ws.pauliZ;
            gate.type = 1;
            gate.controls[1] = static_cast<std::uint8_t>(1 + (g + 1) % 5);
            break;
        default:
            gate.u = letterBox;
            gate.type = 2;
            gate.controls[1] = static_cast<std::uint8_t>(1 + (g + 1) % 5);
            gate.controls[2] = static_cast<std::uint8_t>(1 + (g + 3) % 5);
        }
    }
    ws.pocetb1 = circuitLength;
}

// Arguments: zoom in hundredths, contraction on (1) or off (0), canvas recording on (1) or off (0).
void BM_DrawLongCircuit(benchmark::State& state)
{
    HeadlessPresentation ui;
    ui.recordEvents = false;
    auto ws = createWorkspace(ui);
    fillCircuit(*ws);
    ws->zoom = static_cast<double>(state.range(0)) / 100.0;
    ui.Zuzeniezobrazenia1 = state.range(1) != 0;
    ui.recordingCanvas.recording = state.range(2) != 0;
    for (auto _ : state) {
        ui.recordingCanvas.ops.clear();
        drawCircuit(*ws, ui, ws->gates, 1, ws->pocetb1);
        benchmark::DoNotOptimize(ui.recordingCanvas.ops.data());
    }
    state.counters["gatesDrawn"] = std::stod(ui.labelText(Label::Label5));
}

}  // namespace

BENCHMARK(BM_DrawLongCircuit)
    ->ArgsProduct({{45, 125, 200}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);
