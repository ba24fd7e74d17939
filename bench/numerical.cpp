// The numerical route: a whole circuit of 3, 4 and 5 qubits (with its CNOTs,
// starts and evaluations per block as counters), and the pieces of one
// Levenberg-Marquardt evaluation, to see where the time goes.
#include <benchmark/benchmark.h>

#include <Eigen/Cholesky>

#include "engine/kernel/randomgenerator.h"
#include "engine/numerical/instantiation.h"
#include "engine/numerical/numericalroute.h"
#include "engine/shannon/haarrandom.h"

namespace {

DenseMatrix haar(int qubits, std::uint64_t seed)
{
    RandomGenerator random;
    random.fixSeed(seed);
    return haarRandomUnitary(1 << qubits, random);
}

// A different matrix on each iteration, seeds 1, 2, ...: the time includes
// the matrices that need more than one start.
void BM_NumericalCircuit(benchmark::State& state)
{
    const int qubits = static_cast<int>(state.range(0));
    std::uint64_t seed = 0;
    double evaluations = 0, starts = 0, blocks = 0, cnots = 0;
    for (auto _ : state) {
        const DenseMatrix u = haar(qubits, ++seed);
        const NumericalCircuit circuit = numericalCircuit(u);
        benchmark::DoNotOptimize(circuit.gates.data());
        cnots += cnotCount(circuit.gates);
        for (const BlockReport& block : circuit.blocks) {
            evaluations += block.evaluations;
            starts += block.starts;
            ++blocks;
        }
    }
    state.counters["CNOTs"] = benchmark::Counter(cnots, benchmark::Counter::kAvgIterations);
    state.counters["evaluations/block"] = blocks > 0 ? evaluations / blocks : 0.0;
    state.counters["starts/block"] = blocks > 0 ? starts / blocks : 0.0;
}
BENCHMARK(BM_NumericalCircuit)->Arg(3)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NumericalCircuit)->Arg(4)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NumericalCircuit)->Arg(5)->Iterations(2)->Unit(benchmark::kMillisecond);

struct EvaluationInput {
    CnotTemplate shape;
    CMat u;
    Parameters x;
};

EvaluationInput evaluationInput(int qubits)
{
    EvaluationInput input{cyclingTemplate(qubits, cnotLowerBound(qubits)), toCMat(haar(qubits, 1)), {}};
    RandomGenerator random;
    random.fixSeed(2);
    input.x.resize(parameterCount(input.shape));
    for (int j = 0; j < input.x.size(); ++j)
        input.x(j) = 6.0 * random.drawReal() - 3.0;
    return input;
}

void BM_ResidualAndJacobian(benchmark::State& state)
{
    const EvaluationInput input = evaluationInput(static_cast<int>(state.range(0)));
    Eigen::VectorXd r;
    Eigen::MatrixXd jacobian;
    for (auto _ : state) {
        residualAndJacobian(input.shape, input.x, input.u, r, jacobian);
        benchmark::DoNotOptimize(jacobian.data());
    }
}
BENCHMARK(BM_ResidualAndJacobian)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

void BM_ResidualOnly(benchmark::State& state)
{
    const EvaluationInput input = evaluationInput(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(templateMatrix(input.shape, input.x).data());
}
BENCHMARK(BM_ResidualOnly)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

// The normal equations and their damped solve: what an accepted step adds.
void BM_NormalEquationsAndSolve(benchmark::State& state)
{
    const EvaluationInput input = evaluationInput(static_cast<int>(state.range(0)));
    Eigen::VectorXd r;
    Eigen::MatrixXd jacobian;
    residualAndJacobian(input.shape, input.x, input.u, r, jacobian);
    for (auto _ : state) {
        Eigen::MatrixXd normal = Eigen::MatrixXd::Zero(jacobian.cols(), jacobian.cols());
        normal.selfadjointView<Eigen::Lower>().rankUpdate(jacobian.transpose());
        const Eigen::VectorXd gradient = jacobian.transpose() * r;
        normal.diagonal().array() += 1e-3;
        const Eigen::VectorXd step = normal.selfadjointView<Eigen::Lower>().ldlt().solve(-gradient);
        benchmark::DoNotOptimize(step.data());
    }
}
BENCHMARK(BM_NormalEquationsAndSolve)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace
