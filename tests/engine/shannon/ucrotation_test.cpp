#include "engine/shannon/ucrotation.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "routecheck.h"

namespace {

// The definition: for each state j of the controls, Rz(theta_j) on the target.
TMATICA1 uniformlyControlledRzMatrix(int qubits, int target, const std::vector<int>& controls,
                                     const std::vector<double>& theta)
{
    const int n = 1 << qubits;
    TMATICA1 m;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            m.e[r][c] = Complex{};
    for (int state = 0; state < n; ++state) {
        int j = 0;
        for (int control : controls)
            j = 2 * j + ((state >> (qubits - control)) & 1);
        const int targetBit = (state >> (qubits - target)) & 1;
        m.e[state][state] = fromPolar(1.0, (targetBit == 0 ? -0.5 : 0.5) * theta[j]);
    }
    return m;
}

std::vector<double> randomAngles(int count, std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> angle(-4.0, 4.0);
    std::vector<double> theta(count);
    for (double& t : theta)
        t = angle(rng);
    return theta;
}

struct ChainCase {
    std::string name;
    int qubits;
    int target;
    std::vector<int> controls;
};

const std::vector<ChainCase> chainCases{
    {"one control", 2, 1, {2}},
    {"two controls below", 3, 1, {2, 3}},
    {"target in the middle", 3, 2, {3, 1}},
    {"four controls", 5, 3, {1, 5, 2, 4}},
};

TEST(UniformlyControlledRz, FullChainMatchesItsDefinition)
{
    for (const ChainCase& c : chainCases) {
        const std::vector<double> theta = randomAngles(1 << c.controls.size(), 51);
        GateList gates;
        appendUniformlyControlledRz(gates, c.target, c.controls, theta, ChainEnds::full);
        EXPECT_LE(maxDifference(composed(gates, c.qubits),
                                uniformlyControlledRzMatrix(c.qubits, c.target, c.controls, theta), 1 << c.qubits),
                  1e-14)
            << c.name;
        EXPECT_EQ(cnotCount(gates), 1 << c.controls.size()) << c.name;
    }
}

// Without its last CNOT the chain is CNOT * R, without its first R * CNOT,
// the CNOT from the first control.
TEST(UniformlyControlledRz, ShortChainsLeaveTheHandedOverCnot)
{
    for (const ChainCase& c : chainCases) {
        const std::vector<double> theta = randomAngles(1 << c.controls.size(), 52);
        const TMATICA1 rotation = uniformlyControlledRzMatrix(c.qubits, c.target, c.controls, theta);
        const TMATICA1 cnot = composed(GateList{cnotGate(c.controls[0], c.target)}, c.qubits);
        const int n = 1 << c.qubits;
        TMATICA1 cnotThenRotation, rotationThenCnot;
        matMul(cnot, rotation, cnotThenRotation, n);
        matMul(rotation, cnot, rotationThenCnot, n);

        GateList withoutLast, withoutFirst;
        appendUniformlyControlledRz(withoutLast, c.target, c.controls, theta, ChainEnds::withoutLast);
        appendUniformlyControlledRz(withoutFirst, c.target, c.controls, theta, ChainEnds::withoutFirst);
        EXPECT_LE(maxDifference(composed(withoutLast, c.qubits), cnotThenRotation, n), 1e-14) << c.name;
        EXPECT_LE(maxDifference(composed(withoutFirst, c.qubits), rotationThenCnot, n), 1e-14) << c.name;
        EXPECT_EQ(cnotCount(withoutLast), (1 << c.controls.size()) - 1) << c.name;
        EXPECT_EQ(cnotCount(withoutFirst), (1 << c.controls.size()) - 1) << c.name;
    }
}

// Angles that ignore a control need no CNOT from it; equal angles need none.
TEST(UniformlyControlledRz, ControlsTheAnglesIgnoreCostNothing)
{
    struct Case {
        std::string name;
        std::vector<double> theta;  // two controls: qubit 2 (high bit) and qubit 3
        int cnots;
    };
    const std::vector<Case> cases{
        {"all equal", {0.7, 0.7, 0.7, 0.7}, 0},
        {"all zero", {0.0, 0.0, 0.0, 0.0}, 0},
        {"only the first control", {0.3, 0.3, -1.1, -1.1}, 2},
        {"only the second control", {0.3, 2.0, 0.3, 2.0}, 2},
        {"both", {0.3, 2.0, -1.1, 0.5}, 4},
    };
    for (const Case& c : cases) {
        GateList gates;
        appendUniformlyControlledRz(gates, 1, std::vector<int>{2, 3}, c.theta, ChainEnds::full);
        EXPECT_EQ(cnotCount(gates), c.cnots) << c.name;
        EXPECT_LE(maxDifference(composed(gates, 3), uniformlyControlledRzMatrix(3, 1, {2, 3}, c.theta), 8), 1e-14)
            << c.name;
    }
}

}  // namespace
