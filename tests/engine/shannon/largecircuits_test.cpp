// The fewest-CNOT route beyond the workspace (6 to 10 qubits) and the
// composition that checks its circuits there.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "engine/kernel/randomgenerator.h"
#include "engine/shannon/circuitproduct.h"
#include "engine/shannon/denseunitary.h"
#include "engine/shannon/fewestcnots.h"
#include "engine/shannon/haarrandom.h"
#include "routecheck.h"

namespace {

DenseMatrix haar(int qubits, std::uint64_t seed)
{
    RandomGenerator random;
    random.fixSeed(seed);
    return haarRandomUnitary(1 << qubits, random);
}

TEST(CircuitProduct, AgreesWithTheGateByGateCompositionOnEveryShape)
{
    // Long circuits (the route's), and short ones that never split a qubit off;
    // gates with several controls and controls below or above the target.
    for (int qubits = 2; qubits <= 5; ++qubits) {
        const GateList route = fewestCnotsCircuit(denseMatrix(seededRandomUnitary(qubits, 40 + qubits), 1 << qubits));
        GateList mixed;
        for (int k = 0; k < 12; ++k) {
            TGATE1 g = oneQubitGate(1 + k % qubits, {{0.6, 0.0}, {0.0, 0.8}, {0.0, 0.8}, {0.6, 0.0}});
            g.type = static_cast<std::uint8_t>(k % qubits);
            for (int c = 1; c <= g.type; ++c)
                g.controls[c] = static_cast<std::uint8_t>(1 + (g.target + c - 1) % qubits);
            mixed.push_back(g);
        }
        for (const GateList& gates : {route, mixed}) {
            const DenseMatrix product = circuitProduct(gates, qubits);
            const TMATICA1 expected = composed(gates, qubits);
            EXPECT_LE(largestEntryDifference(product, denseMatrix(expected, 1 << qubits)), 1e-13) << qubits;
        }
    }
}

TEST(CircuitProduct, RefusesAGateOutsideItsQubits)
{
    const GateList gates{cnotGate(1, 3)};
    EXPECT_THROW(circuitProduct(gates, 2), std::invalid_argument);
    EXPECT_NO_THROW(circuitProduct(gates, 3));
}

TEST(FewestCnotsLarge, RandomMatricesMeetTheFormulaAndComposeToTheirInput)
{
    EXPECT_EQ(fewestCnotsGenericCount(2), 3);
    EXPECT_EQ(fewestCnotsGenericCount(5), 423);
    EXPECT_EQ(fewestCnotsGenericCount(10), 479063);
    for (int qubits = 6; qubits <= 7; ++qubits)
        for (std::uint64_t seed = 1; seed <= 3; ++seed) {
            const DenseMatrix input = haar(qubits, seed);
            ASSERT_LE(unitarityDefect(input), 1e-13);
            const GateList gates = fewestCnotsCircuit(input);
            EXPECT_EQ(cnotCount(gates), fewestCnotsGenericCount(qubits)) << qubits << " qubits, seed " << seed;
            EXPECT_LE(largestEntryDifference(circuitProduct(gates, qubits), input), 1e-11)
                << qubits << " qubits, seed " << seed;
        }
}

TEST(FewestCnotsLarge, StructureStillSavesCnotsAtSixQubits)
{
    // I (x) u: the first qubit splits off, the rest is a generic 5-qubit matrix.
    const DenseMatrix rest = haar(5, 9);
    DenseMatrix input(64);
    for (int r = 0; r < 32; ++r)
        for (int c = 0; c < 32; ++c) {
            input(r, c) = rest(r, c);
            input(r + 32, c + 32) = rest(r, c);
        }
    const GateList gates = fewestCnotsCircuit(input);
    EXPECT_EQ(cnotCount(gates), fewestCnotsGenericCount(5));
    EXPECT_LE(largestEntryDifference(circuitProduct(gates, 6), input), 1e-12);
}

TEST(FewestCnotsLarge, RefusesASizeItDoesNotTake)
{
    EXPECT_THROW(fewestCnotsCircuit(DenseMatrix(2)), std::invalid_argument);
    EXPECT_THROW(fewestCnotsCircuit(DenseMatrix(48)), std::invalid_argument);
    EXPECT_THROW(fewestCnotsCircuit(DenseMatrix(2048)), std::invalid_argument);
}

TEST(HaarRandom, IsUnitaryAndFollowsItsSeed)
{
    const DenseMatrix a = haar(6, 5);
    EXPECT_LE(unitarityDefect(a), 1e-13);
    EXPECT_EQ(largestEntryDifference(a, haar(6, 5)), 0.0);
    EXPECT_GT(largestEntryDifference(a, haar(6, 6)), 0.1);
}

TEST(NearestUnitary, MovesAMatrixOffUnitaryByAboutItsDefect)
{
    DenseMatrix a = haar(6, 2);
    a(3, 4) = a(3, 4) + Complex{1e-9, 0.0};
    const DenseMatrix u = nearestUnitary(a);
    EXPECT_LE(unitarityDefect(u), 1e-13);
    EXPECT_LE(largestEntryDifference(u, a), 1e-9);
}

}  // namespace

namespace {

TEST(FewestCnotsLarge, SideBySideGivesTheSameCircuitGateForGate)
{
    const DenseMatrix input = haar(7, 21);
    FewestCnotsOptions alone;
    alone.sideBySide = false;
    const GateList expected = fewestCnotsCircuit(input, alone);
    const GateList gates = fewestCnotsCircuit(input);
    ASSERT_EQ(gates.size(), expected.size());
    for (std::size_t g = 0; g < gates.size(); ++g) {
        ASSERT_EQ(gates[g].target, expected[g].target) << g;
        ASSERT_EQ(gates[g].type, expected[g].type) << g;
        ASSERT_EQ(gates[g].controls, expected[g].controls) << g;
        ASSERT_EQ(std::memcmp(&gates[g].u, &expected[g].u, sizeof(TMATICA2)), 0) << g;
    }
}

}  // namespace
