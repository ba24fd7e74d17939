#include "engine/synthesis/toffolistage.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "engine/kernel/unitaryroot2.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "support/unitary2samples.h"
#include "synthesisoracle.h"
#include "workspace/workspace.h"

namespace {

// What a produced gate is, for comparing the order of the construction.
enum class Role { V, W, X };

struct Step {
    Role role;
    int control;
    int target;
};

class ToffoliStage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws = createWorkspace(ui);
        ws->qubitCount = 5;
        ws->matrixSize = 32;
        ws->tolerance = 1e-5;
    }

    Role roleOf(const TGATE1& g, const TMATICA2& v) const
    {
        if (matEqual2(g.u, v, 1e-12))
            return Role::V;
        if (matEqual2(g.u, adjoint2(v), 1e-12))
            return Role::W;
        EXPECT_TRUE(matEqual2(g.u, ws->pauliX, 0.0));
        return Role::X;
    }

    void expectSteps(const ToffoliScratch& s, const TMATICA2& v, const std::vector<Step>& steps) const
    {
        ASSERT_EQ(s.producedCount, static_cast<int>(steps.size()));
        for (int i = 1; i <= s.producedCount; ++i) {
            const TGATE1& g = s.n1[i];
            EXPECT_EQ(g.type, 1) << "gate " << i;
            EXPECT_EQ(g.removed, 0) << "gate " << i;
            EXPECT_EQ(roleOf(g, v), steps[i - 1].role) << "gate " << i;
            EXPECT_EQ(g.controls[1], steps[i - 1].control) << "gate " << i;
            EXPECT_EQ(g.target, steps[i - 1].target) << "gate " << i;
        }
    }

    TMATICA2 rootOf(const TMATICA2& u, int n)
    {
        TMATICA2 v = u;
        unitaryRoot2(v, n, 1e-5, ui);
        return v;
    }

    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<ToffoliScratch> scratch = std::make_unique<ToffoliScratch>();
};

}  // namespace

TEST_F(ToffoliStage, TwoAndThreeControlsFollowTheGrayCodeOrder)
{
    std::mt19937_64 engine(7);
    const TMATICA2 u = randomUnitary2(engine);
    easytoffoli(*ws, ui, *scratch, u, 2);
    expectSteps(*scratch, rootOf(u, 2),
                {{Role::V, 2, 3}, {Role::X, 2, 1}, {Role::W, 1, 3}, {Role::X, 2, 1}, {Role::V, 1, 3}});

    easytoffoli(*ws, ui, *scratch, u, 3);
    expectSteps(*scratch, rootOf(u, 4),
                {{Role::V, 3, 4}, {Role::X, 3, 2}, {Role::W, 2, 4}, {Role::X, 3, 2}, {Role::V, 2, 4},
                 {Role::X, 2, 1}, {Role::W, 1, 4}, {Role::X, 3, 1}, {Role::V, 1, 4}, {Role::X, 2, 1},
                 {Role::W, 1, 4}, {Role::X, 3, 1}, {Role::V, 1, 4}});
}

TEST_F(ToffoliStage, FourControlsGiveTwentyNineGatesBetweenTwoRootGates)
{
    std::mt19937_64 engine(8);
    const TMATICA2 u = randomUnitary2(engine);
    easytoffoli(*ws, ui, *scratch, u, 4);
    ASSERT_EQ(scratch->producedCount, 29);
    const TMATICA2 v = rootOf(u, 8);
    int roots = 0;
    int adjoints = 0;
    for (int i = 1; i <= 29; ++i) {
        const Role role = roleOf(scratch->n1[i], v);
        // Odd places hold the controlled roots on the target, even places the CNOTs.
        EXPECT_EQ(role == Role::X, i % 2 == 0) << "gate " << i;
        EXPECT_EQ(scratch->n1[i].target == 5, role != Role::X) << "gate " << i;
        roots += role == Role::V;
        adjoints += role == Role::W;
    }
    EXPECT_EQ(roots, 8);
    EXPECT_EQ(adjoints, 7);
    EXPECT_EQ(scratch->n1[1].controls[1], 4);
    EXPECT_EQ(scratch->n1[29].controls[1], 1);
}

TEST_F(ToffoliStage, TheParityCnotsAloneLeaveEveryControlUnchanged)
{
    std::mt19937_64 engine(9);
    for (const int k : {2, 3, 4}) {
        easytoffoli(*ws, ui, *scratch, randomUnitary2(engine), k);
        std::vector<TGATE1> cnots(1);
        for (int i = 1; i <= scratch->producedCount; ++i)
            if (scratch->n1[i].target != k + 1)
                cnots.push_back(scratch->n1[i]);
        const int count = static_cast<int>(cnots.size()) - 1;
        EXPECT_EQ(count, (1 << k) - 2);
        const auto composed = std::make_unique<TMATICA1>();
        kompozicia(cnots, count, 1, count, *composed, k + 1, ui);
        EXPECT_EQ(maxDifference(*composed, identityUnitary(k + 1), 1 << (k + 1)), 0.0) << "k = " << k;
    }
}

TEST_F(ToffoliStage, GatesComposeToTheReplacedGateOnTheirOwnQubits)
{
    std::mt19937_64 engine(10);
    std::vector<NamedUnitary2> samples = awkwardUnitaries2(1e-7);
    for (int i = 0; i < 40; ++i)
        samples.push_back({"random " + std::to_string(i), randomUnitary2(engine)});
    // Controls in any order and the target anywhere among the five qubits.
    const std::vector<std::pair<int, std::vector<int>>> placements = {
        {3, {1, 2}}, {1, {2, 3}}, {5, {4, 1}}, {2, {5, 3, 1}}, {4, {1, 2, 3}}, {3, {5, 1, 4, 2}}, {1, {2, 3, 4, 5}}};
    for (const NamedUnitary2& sample : samples) {
        for (const auto& [target, controls] : placements) {
            HeadlessPresentation local;
            const TGATE1 gate = makeGate(sample.u, target, controls);
            decomposeMultiControlled(*ws, local, *scratch, gate);
            EXPECT_EQ(scratch->producedCount, (1 << (gate.type + 1)) - 3);
            EXPECT_LT(sequenceError(scratch->n1, scratch->producedCount, gate, 5, local), 1e-9)
                << sample.name << ", target " << target << ", k = " << int(gate.type);
            EXPECT_TRUE(local.log.empty()) << sample.name << ": " << local.log.front();
            EXPECT_TRUE(local.messages.empty()) << local.messages.front().text;
        }
    }
}

TEST_F(ToffoliStage, MappingPutsCanonicalQubitsOntoTheGatesOwn)
{
    const TMATICA2 u = ws->pauliX;
    decomposeMultiControlled(*ws, ui, *scratch, makeGate(u, 1, {2, 3}));
    const TMATICA2 v = rootOf(u, 2);
    // The Toffoli root is the half-sum matrix and its adjoint the conjugate one.
    EXPECT_TRUE(matEqual2(v, {{0.5, 0.5}, {0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}}, 1e-15));
    expectSteps(*scratch, v, {{Role::V, 3, 1}, {Role::X, 3, 2}, {Role::W, 2, 1}, {Role::X, 3, 2}, {Role::V, 2, 1}});
}

TEST_F(ToffoliStage, FewerThanTwoControlsAreRefused)
{
    scratch->producedCount = 17;
    easytoffoli(*ws, ui, *scratch, ws->pauliX, 1);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Procedure easytoffoli: The given gate can be decomposed by less complicated means!!!");
    EXPECT_EQ(scratch->producedCount, 17);
}

TEST_F(ToffoliStage, StageRewritesOnlyMultiControlledGatesAndKeepsTheCircuit)
{
    std::mt19937_64 engine(11);
    ws->tolerance = 1e-7;
    const std::vector<std::pair<int, std::vector<int>>> shapes = {
        {2, {}}, {3, {1, 2}}, {1, {5}}, {4, {1, 2, 3, 5}}, {5, {2, 3, 4}}, {2, {1}}, {3, {}}, {1, {3, 4}}};
    std::vector<TGATE1> input(1);
    for (int round = 0; round < 3; ++round)
        for (const auto& [target, controls] : shapes)
            input.push_back(makeGate(randomUnitary2(engine), target, controls));
    // The identity to rounding does nothing and is left out; 2e-9 away from it
    // is still a gate to decompose.
    const TMATICA2 roundingIdentity{{1.0, 1e-14}, {-1e-14, 0.0}, {1e-14, 0.0}, {1.0, 0.0}};
    input.insert(input.begin() + 5, makeGate(roundingIdentity, 3, {1, 2}));
    input.insert(input.begin() + 9, makeGate(ws->identity2, 1, {2, 3, 4}));
    input.push_back(makeGate(realRotation2(2e-9), 4, {1, 5}));
    const auto producedFor = [this](const TGATE1& g) {
        if (g.type < 2)
            return 1;
        return matEqual2(g.u, ws->identity2, 1e-12) ? 0 : (1 << (g.type + 1)) - 3;
    };
    ws->pocetb1 = static_cast<int>(input.size()) - 1;
    int expectedCount = 0;
    for (int g = 1; g <= ws->pocetb1; ++g) {
        ws->gates[g] = input[g];
        expectedCount += producedFor(input[g]);
    }
    const auto expected = std::make_unique<TMATICA1>();
    kompozicia(ws->gates, ws->pocetb1, 1, ws->pocetb1, *expected, 5, ui);

    DoL1U(*ws, ui);

    EXPECT_EQ(ws->tolerance, 1e-5);
    ASSERT_EQ(ws->pocetb1, expectedCount);
    EXPECT_LE(maxControlCount(*ws), 1);
    EXPECT_LT(compositionError(*ws, ui, *expected), 1e-9);
    // The one-qubit and singly controlled gates come through unchanged, in order.
    int next = 1;
    for (int g = 1; g < static_cast<int>(input.size()); ++g) {
        if (input[g].type < 2) {
            EXPECT_TRUE(matEqual2(ws->gates[next].u, input[g].u, 0.0));
            EXPECT_EQ(ws->gates[next].target, input[g].target);
            next += 1;
        } else {
            next += producedFor(input[g]);
        }
    }
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_EQ(ui.progressMaximum, static_cast<int>(input.size()) - 1);
    EXPECT_TRUE(ui.log.empty());
}

TEST_F(ToffoliStage, EmptyCircuitStaysEmpty)
{
    DoL1U(*ws, ui);
    EXPECT_EQ(ws->pocetb1, 0);
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(ToffoliStage, OverflowKeepsTheRewrittenHeadAndTheUnreadTail)
{
    // 399,990 gates leave 10 free slots: two Toffoli gates grow by 4 each and fit,
    // the third does not.
    ws->qubitCount = 3;
    ws->matrixSize = 8;
    std::mt19937_64 engine(12);
    const int count = 399990;
    for (int g = 1; g <= 3; ++g)
        ws->gates[g] = makeGate(randomUnitary2(engine), g, g == 1 ? std::vector<int>{2, 3}
                                                          : g == 2 ? std::vector<int>{1, 3}
                                                                   : std::vector<int>{1, 2});
    for (int g = 4; g <= count; ++g)
        ws->gates[g] = makeGate(randomUnitary2(engine), 1 + g % 3, {});
    ws->pocetb1 = count;
    const auto input = std::make_unique<TGATES1>(ws->gates);

    DoL1U(*ws, ui);

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "!!!!In procedure DoL1(U) the array n1 is not long enough");
    ASSERT_EQ(ws->pocetb1, count + 8);
    for (int g = 1; g <= 10; ++g)
        EXPECT_EQ(ws->gates[g].type, 1) << "gate " << g;
    EXPECT_LT(sequenceError(ws->gates, 5, (*input)[1], 3, ui), 1e-9);
    EXPECT_LT(sequenceError(std::span<const TGATE1>(ws->gates).subspan(5), 5, (*input)[2], 3, ui), 1e-9);
    bool tailIntact = true;
    for (int g = 3; g <= count; ++g) {
        const TGATE1& now = ws->gates[g + 8];
        const TGATE1& was = (*input)[g];
        tailIntact = tailIntact && now.type == was.type && now.target == was.target &&
                     now.controls == was.controls && matEqual2(now.u, was.u, 0.0);
    }
    EXPECT_TRUE(tailIntact);
}
