#include "engine/shannon/twoqubit.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "engine/shannon/blockcircuit.h"
#include "routecheck.h"

namespace {

constexpr double pi = std::numbers::pi;

Mat4 kron(const Mat2& x, const Mat2& y)
{
    Mat4 m;
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            m.block<2, 2>(2 * i, 2 * j) = x(i, j) * y;
    return m;
}

Mat2 randomOneQubit(std::uint64_t seed) { return toCMat(seededRandomUnitary(1, seed), 2); }
Mat4 randomLocal(std::uint64_t seed) { return kron(randomOneQubit(seed), randomOneQubit(seed + 1)); }

// l * core * r with random one-qubit gates around and a phase.
Mat4 dressed(const Mat4& core, std::uint64_t seed)
{
    return std::polar(1.0, 0.37 * static_cast<double>(seed)) * randomLocal(seed) * core * randomLocal(seed + 2);
}

Mat4 fromRows(std::initializer_list<double> entries)
{
    Mat4 m;
    auto it = entries.begin();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m(r, c) = *it++;
    return m;
}

TMATICA1 toTmatica1(const Mat4& m)
{
    TMATICA1 t;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            t.e[r][c] = {m(r, c).real(), m(r, c).imag()};
    return t;
}

double circuitError(const GateList& gates, const Mat4& expected)
{
    TMATICA1 m;
    setIdentity(m, 4);
    if (!gates.empty())
        composeGates(gates, m, 2);
    return maxDifference(m, toTmatica1(expected), 4);
}

struct ClassCase {
    std::string name;
    Mat4 u;
    int cnots;
};

std::vector<ClassCase> classCases()
{
    const Mat4 cnot = fromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0});
    const Mat4 reversedCnot = fromRows({1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0});
    const Mat4 swap = fromRows({1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1});
    Mat4 cz = Mat4::Identity();
    cz(3, 3) = -1.0;
    Mat4 controlledPhase = Mat4::Identity();
    controlledPhase(3, 3) = std::polar(1.0, 0.4);
    return {
        {"identity", Mat4::Identity(), 0},
        {"minus identity", -Mat4::Identity(), 0},
        {"one-qubit gates with a phase", dressed(Mat4::Identity(), 1), 0},
        {"a shift by pi/2 is local", canonicalGate(pi / 2.0, 0.0, -pi / 2.0), 0},
        {"CNOT", cnot, 1},
        {"reversed CNOT", reversedCnot, 1},
        {"CZ", cz, 1},
        {"dressed CNOT", dressed(cnot, 3), 1},
        {"XX quarter", canonicalGate(pi / 4.0, 0.0, 0.0), 1},
        {"YY quarter", canonicalGate(0.0, pi / 4.0, 0.0), 1},
        {"ZZ minus quarter", canonicalGate(0.0, 0.0, -pi / 4.0), 1},
        {"controlled phase", controlledPhase, 2},
        {"iSWAP class", dressed(canonicalGate(pi / 4.0, pi / 4.0, 0.0), 5), 2},
        {"b = 0", dressed(canonicalGate(0.3, 0.0, -0.2), 7), 2},
        {"a = 0", dressed(canonicalGate(0.0, 0.5, 0.1), 9), 2},
        {"c = 0", dressed(canonicalGate(0.6, -0.25, 0.0), 11), 2},
        {"c = pi/2", dressed(canonicalGate(0.6, -0.25, pi / 2.0), 13), 2},
        {"single coordinate", dressed(canonicalGate(0.0, 0.0, 0.3), 15), 2},
        {"SWAP", swap, 3},
        {"generic canonical", dressed(canonicalGate(0.3, 0.2, 0.1), 17), 3},
        {"random", toCMat(seededRandomUnitary(2, 19), 4), 3},
        {"near identity", toCMat(nearIdentity(2, 1e-9, 21), 4), 3},
    };
}

TEST(TwoQubit, EveryClassReachesItsCountExactly)
{
    for (const ClassCase& c : classCases()) {
        EXPECT_EQ(twoQubitCnotCount(c.u), c.cnots) << c.name;
        GateList gates;
        EXPECT_EQ(appendTwoQubitCircuit(gates, c.u, 1, 2), c.cnots) << c.name;
        EXPECT_EQ(cnotCount(gates), c.cnots) << c.name;
        EXPECT_LE(circuitError(gates, c.u), 1e-14) << c.name;
    }
}

// The canonical gate is what its name says: exp(i (a XX + b YY + c ZZ)).
TEST(TwoQubit, CanonicalGateIsTheExponentialOfPauliProducts)
{
    const Mat2 x = (Mat2() << 0, 1, 1, 0).finished();
    const Mat2 y = (Mat2() << 0, Scalar(0, -1), Scalar(0, 1), 0).finished();
    const Mat2 z = (Mat2() << 1, 0, 0, -1).finished();
    const double a = 0.3, b = -0.7, c = 1.1;
    // The three products commute, so the exponential is the product of three
    // exponentials, each cos t I + i sin t P for P^2 = I.
    auto expOf = [](double t, const Mat4& p) { return Mat4(std::cos(t) * Mat4::Identity() + Scalar(0, std::sin(t)) * p); };
    const Mat4 expected = expOf(a, kron(x, x)) * expOf(b, kron(y, y)) * expOf(c, kron(z, z));
    EXPECT_LE(largestDifference(canonicalGate(a, b, c), expected), 1e-15);
}

TEST(TwoQubit, DiagonalMakesAnyMatrixTwoCnot)
{
    for (std::uint64_t seed = 60; seed < 100; ++seed) {
        const Mat4 u = toCMat(seededRandomUnitary(2, seed), 4);
        const Mat4 reduced = zzPhase(twoCnotDiagonalAngle(u)) * u;
        EXPECT_LE(twoQubitCnotCount(reduced), 2) << seed;
    }
}

TEST(TwoQubit, TensorFactorsReproduceTheProduct)
{
    for (std::uint64_t seed = 70; seed < 75; ++seed) {
        const Mat4 m = Scalar(0.0, 1.0) * randomLocal(seed);
        const LocalPair pair = factorTensorProduct(m);
        EXPECT_LE(largestDifference(kron(pair.first, pair.second), m), 1e-15) << seed;
    }
}

// Blocks on qubits 2 and 3 of three, with gates between them.
struct HandOverCase {
    std::string name;
    std::vector<TGATE1> between;
    int cnots;  // of the whole circuit
};

TEST(DiagonalHandOver, WholeCircuitStaysExact)
{
    const TGATE1 rotationOnFirst = oneQubitGate(1, rzMatrix(0.4));
    const TGATE1 diagonalOnSecond = oneQubitGate(2, rzMatrix(-1.3));
    const TGATE1 hadamardOnThird = oneQubitGate(3, hadamardMatrix());
    const std::vector<HandOverCase> cases{
        {"nothing between", {}, 2 + 2 + 3},
        {"CNOTs from the block's qubits and a diagonal on them",
         {cnotGate(2, 1), rotationOnFirst, cnotGate(3, 1), diagonalOnSecond},
         2 + 2 + 2 + 3},
        {"a Hadamard on a block qubit stops it", {cnotGate(2, 1), hadamardOnThird}, 2 + 3 + 1 + 3},
        {"a CNOT into a block qubit stops it", {cnotGate(1, 2)}, 2 + 3 + 1 + 3},
    };
    for (const HandOverCase& c : cases) {
        BlockCircuit circuit;
        GateList reference;
        // The first block has a product of one-qubit gates in front of it; its
        // count is 0 and it gets no diagonal.
        const Mat4 first = toCMat(seededRandomUnitary(2, 81), 4);
        const Mat4 second = toCMat(seededRandomUnitary(2, 82), 4);
        const Mat4 third = toCMat(seededRandomUnitary(2, 83), 4);
        auto add = [&](const Mat4& u, int a, int b) {
            appendBlock(circuit, u, a, b);
            appendTwoQubitCircuit(reference, u, a, b);
        };
        add(first, 2, 3);
        add(second, 3, 2);
        for (const TGATE1& g : c.between) {
            appendGate(circuit, g);
            reference.push_back(g);
        }
        add(third, 2, 3);
        const GateList gates = synthesizeBlocks(circuit);

        TMATICA1 expected, actual;
        setIdentity(expected, 8);
        setIdentity(actual, 8);
        composeGates(reference, expected, 3);
        composeGates(gates, actual, 3);
        EXPECT_LE(maxDifference(actual, expected, 8), 1e-14) << c.name;
        EXPECT_EQ(cnotCount(gates), c.cnots) << c.name;
    }
}

// The route synthesizes into the caller's list sized by synthesizedGateBound:
// the longest block circuits (one CNOT reached through both swaps) must fit.
TEST(TwoQubit, SynthesisInPlaceFitsItsBoundAndComposesToTheBlock)
{
    struct BoundCase {
        std::string name;
        Mat4 u;
    };
    const std::vector<BoundCase> cases{
        {"XX quarter", dressed(canonicalGate(pi / 4, 0, 0), 91)},
        {"YY quarter", dressed(canonicalGate(0, pi / 4, 0), 92)},
        {"ZZ quarter", dressed(canonicalGate(0, 0, pi / 4), 93)},
        {"XX and YY", dressed(canonicalGate(0.3, 0.2, 0), 94)},
        {"YY and ZZ", dressed(canonicalGate(0, 0.3, 0.2), 95)},
        {"generic", dressed(canonicalGate(0.3, 0.2, 0.1), 96)},
        {"product", randomLocal(97)},
    };
    for (const BoundCase& c : cases) {
        BlockCircuit circuit;
        appendBlock(circuit, c.u, 1, 2);
        GateList unbounded;
        appendTwoQubitCircuit(unbounded, c.u, 1, 2);
        EXPECT_LE(unbounded.size(), synthesizedGateBound(circuit)) << c.name;

        // One gate past the bound carries a mark the synthesis must leave alone.
        GateList out(synthesizedGateBound(circuit) + 1);
        out.back().type = 7;
        const std::size_t written = synthesizeBlocks(circuit, std::span(out));
        EXPECT_EQ(written, unbounded.size()) << c.name;
        EXPECT_EQ(out.back().type, 7) << c.name << ": written past the bound";
        const std::span<const TGATE1> circuitGates = std::span(out).first(written);
        EXPECT_LE(maxDifference(composed(circuitGates, 2), toTmatica1(c.u), 4), 1e-13) << c.name;
    }
}

}  // namespace
