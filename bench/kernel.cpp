// Timings of the kernel's hot spots at five qubits (N = 32).
#include <benchmark/benchmark.h>

#include <memory>
#include <random>

#include "engine/kernel/matrix.h"
#include "engine/kernel/randomunitary.h"
#include "engine/reduction/tpq.h"
#include "platform/headlesspresentation.h"
#include "workspace/workspace.h"

namespace {

constexpr int blockSize = 32;

void fillRandom(TMATICA1& m, std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> part(-1.0, 1.0);
    for (int r = 1; r <= blockSize; ++r)
        for (int c = 1; c <= blockSize; ++c)
            m(r, c) = {part(rng), part(rng)};
}

void matMul32(benchmark::State& state)
{
    auto x = std::make_unique<TMATICA1>();
    auto y = std::make_unique<TMATICA1>();
    auto result = std::make_unique<TMATICA1>();
    std::mt19937_64 rng(1);
    fillRandom(*x, rng);
    fillRandom(*y, rng);
    for (auto _ : state) {
        matMul(*x, *y, *result, blockSize);
        benchmark::DoNotOptimize(result->e[0][0]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(matMul32)->Unit(benchmark::kMicrosecond);

void isUnitary32(benchmark::State& state)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    ws->qubitCount = 5;
    ws->matrixSize = blockSize;
    ws->random.fixSeed(7);
    randomUnitary(*ws, ui, ws->matrixA, 100);
    for (auto _ : state) {
        bool unitary = isUnitary(ws->matrixA, blockSize, ws->tolerance);
        benchmark::DoNotOptimize(unitary);
    }
}
BENCHMARK(isUnitary32)->Unit(benchmark::kMicrosecond);

void randomUnitary32(benchmark::State& state)
{
    HeadlessPresentation ui;
    ui.recordEvents = false;
    auto ws = createWorkspace(ui);
    ws->qubitCount = 5;
    ws->matrixSize = blockSize;
    for (auto _ : state) {
        randomUnitary(*ws, ui, ws->matrixA, 100);
        benchmark::ClobberMemory();
        ui.clearRecords();
    }
}
BENCHMARK(randomUnitary32)->Unit(benchmark::kMillisecond);

}  // namespace
