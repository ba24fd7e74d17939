// Reading back the OpenQASM export of a decomposition: lexing, gate expansion and
// composing the unitary of every gate.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "platform/headlesspresentation.h"
#include "workspace/driver.h"
#include "interchange/qasm/exporter.h"
#include "interchange/qasm/importer.h"
#include "ui/edit1change.h"
#include "workspace/workspace.h"

namespace {

// state.range(0): qubits; state.range(1): 3 for OpenQASM 3, 2 for OpenQASM 2.0.
void importExportedDecomposition(benchmark::State& state)
{
    const int qubits = static_cast<int>(state.range(0));
    HeadlessPresentation ui;
    ui.recordEvents = false;
    ui.recordingCanvas.recording = false;
    auto ws = createWorkspace(ui);
    ws->random.fixSeed(5);
    ui.setQubitFieldText(std::to_string(qubits));
    Edit1Change(*ws, ui);
    ui.endStageIndex = 0;
    decompose(*ws, ui);
    const std::string text = state.range(1) == 3 ? qasm3Text(*ws).text : qasm2Text(*ws).text;
    for (auto _ : state) {
        MatrixFileContent content = qasmUnitary(text, ui);
        benchmark::DoNotOptimize(content.entries.data());
    }
    state.counters["gates"] = ws->pocetb1;
    state.counters["bytes"] = static_cast<double>(text.size());
}

}  // namespace

BENCHMARK(importExportedDecomposition)->Args({3, 3})->Args({5, 3})->Args({5, 2})->Unit(benchmark::kMillisecond);
