// The numerical route as a whole: counts at the bound, exactness checked by the
// program's composition, the fallbacks, the structured matrices and determinism.
#include <gtest/gtest.h>

#include "engine/kernel/randomgenerator.h"
#include "engine/numerical/instantiation.h"
#include "engine/numerical/numericalroute.h"
#include "engine/shannon/circuitproduct.h"
#include "engine/shannon/fewestcnots.h"
#include "engine/shannon/haarrandom.h"

namespace {

DenseMatrix haar(int qubits, std::uint64_t seed)
{
    RandomGenerator random;
    random.fixSeed(seed);
    return haarRandomUnitary(1 << qubits, random);
}

double compositionError(const GateList& gates, int qubits, const DenseMatrix& u)
{
    const DenseMatrix product = circuitProduct(gates, qubits);
    double largest = 0.0;
    for (std::size_t k = 0; k < u.entries.size(); ++k)
        largest = std::max(largest, modulus(product.entries[k] - u.entries[k]));
    return largest;
}

// a (x) b, a on the more significant qubits.
DenseMatrix kron(const DenseMatrix& a, const DenseMatrix& b)
{
    DenseMatrix k(a.size * b.size);
    for (int i = 0; i < a.size; ++i)
        for (int j = 0; j < a.size; ++j)
            for (int r = 0; r < b.size; ++r)
                for (int c = 0; c < b.size; ++c)
                    k(i * b.size + r, j * b.size + c) = a(i, j) * b(r, c);
    return k;
}

TEST(NumericalRoute, RandomMatricesGetTheBoundAtThreeQubitsAnd290AtFive)
{
    for (const auto& [qubits, seed, cnots] : {std::tuple{3, 1, 14}, std::tuple{3, 2, 14}, std::tuple{5, 1, 290}}) {
        const DenseMatrix u = haar(qubits, static_cast<std::uint64_t>(seed));
        const NumericalCircuit circuit = numericalCircuit(u);
        const std::string what = std::to_string(qubits) + " qubits, seed " + std::to_string(seed);
        EXPECT_EQ(cnotCount(circuit.gates), cnots) << what;
        EXPECT_LT(compositionError(circuit.gates, qubits, u), 1e-12) << what;
        EXPECT_FALSE(circuit.fewestCnotsKept) << what;
        ASSERT_EQ(static_cast<int>(circuit.blocks.size()), numericalBlockCount(qubits)) << what;
        for (const BlockReport& block : circuit.blocks) {
            EXPECT_TRUE(block.converged) << what;
            EXPECT_GE(block.starts, 1) << what;
            EXPECT_LE(block.error, 1e-12) << what;
        }
    }
}

TEST(NumericalRoute, TwoQubitsTakeTheTwoQubitCircuitWithoutBlocks)
{
    const DenseMatrix u = haar(2, 3);
    const NumericalCircuit circuit = numericalCircuit(u);
    EXPECT_TRUE(circuit.blocks.empty());
    EXPECT_EQ(cnotCount(circuit.gates), 3);
    EXPECT_LT(compositionError(circuit.gates, 2, u), 1e-12);
}

// One CNOT below the bound no start converges: the block keeps the fewest-CNOT circuit.
TEST(NumericalRoute, ABlockThatDoesNotConvergeFallsBackToTheFewestCnotCircuit)
{
    const DenseMatrix u = haar(3, 8);
    NumericalOptions belowBound;
    belowBound.cnotsPerBlock = cnotLowerBound(3) - 1;
    const NumericalCircuit circuit = numericalCircuit(u, {}, belowBound);
    ASSERT_EQ(circuit.blocks.size(), 1u);
    EXPECT_FALSE(circuit.blocks[0].converged);
    EXPECT_FALSE(circuit.blocks[0].structured);
    EXPECT_EQ(circuit.blocks[0].starts, 8);
    EXPECT_TRUE(circuit.fewestCnotsKept);
    EXPECT_EQ(cnotCount(circuit.gates), cnotCount(fewestCnotsCircuit(u)));
    EXPECT_LT(compositionError(circuit.gates, 3, u), 1e-12);
}

TEST(NumericalRoute, StructuredMatricesKeepTheirSmallerCircuits)
{
    // A two-qubit gate beside a one-qubit one needs 3 CNOTs; a product of one-qubit gates none.
    const DenseMatrix pair = kron(haar(2, 4), haar(1, 5));
    const DenseMatrix product = kron(kron(haar(1, 6), haar(1, 7)), kron(haar(1, 8), haar(1, 9)));
    for (const auto& [u, qubits, cnots] : {std::tuple{pair, 3, 3}, std::tuple{product, 4, 0}}) {
        const NumericalCircuit circuit = numericalCircuit(u);
        EXPECT_EQ(cnotCount(circuit.gates), cnots) << qubits;
        EXPECT_LT(compositionError(circuit.gates, qubits, u), 1e-12) << qubits;
        ASSERT_EQ(circuit.blocks.size(), 1u);
        EXPECT_TRUE(circuit.blocks[0].structured);
        EXPECT_EQ(circuit.blocks[0].starts, 0) << "no instantiation ran";
    }
}

TEST(NumericalRoute, TheSameMatrixGivesTheSameGatesToTheBit)
{
    const DenseMatrix u = haar(3, 10);
    const GateList first = numericalCircuit(u).gates;
    const GateList second = numericalCircuit(u).gates;
    ASSERT_EQ(first.size(), second.size());
    for (std::size_t k = 0; k < first.size(); ++k) {
        EXPECT_EQ(first[k].target, second[k].target) << k;
        EXPECT_EQ(first[k].type, second[k].type) << k;
        EXPECT_EQ(first[k].u.u11.re, second[k].u.u11.re) << k;
        EXPECT_EQ(first[k].u.u12.im, second[k].u.u12.im) << k;
        EXPECT_EQ(first[k].u.u22.re, second[k].u.u22.re) << k;
    }
}

TEST(NumericalRoute, ProgressCountsTheBlocksAndStopsTheRun)
{
    std::vector<int> seenDone;
    int toDo = 0;
    const auto stopInSecondBlock = [&](int done, int blocks) {
        toDo = blocks;
        if (seenDone.empty() || seenDone.back() != done)
            seenDone.push_back(done);
        return done < 1;
    };
    EXPECT_THROW(numericalCircuit(haar(5, 2), stopInSecondBlock), InstantiationCancelled);
    EXPECT_EQ(toDo, 4);
    EXPECT_EQ(seenDone, (std::vector<int>{0, 1}));
}

}  // namespace
