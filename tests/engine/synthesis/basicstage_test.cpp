#include "engine/synthesis/basicstage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "support/unitary2samples.h"
#include "synthesisoracle.h"
#include "workspace/workspace.h"

namespace {

constexpr double pi = std::numbers::pi;

class BasicStage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws = createWorkspace(ui);
        ws->qubitCount = 3;
        ws->matrixSize = 8;
        ws->tolerance = 1e-6;
    }

    bool isBasic(const TGATE1& g) const
    {
        return g.type == 0 || (g.type == 1 && matEqual2(g.u, ws->pauliX, 0.0));
    }

    // Decomposes u controlled by qubit 1 on qubit 3 and checks the shape of the result.
    double decomposeAndCompare(const TMATICA2& u, Presentation& local)
    {
        const TGATE1 gate = makeGate(u, 3, {1});
        Rozloz1U(*ws, local, *scratch, gate);
        EXPECT_TRUE(scratch->n1Ready);
        if (!scratch->n1Ready)
            return 1.0;
        EXPECT_EQ(scratch->n1First, 1);
        EXPECT_GE(scratch->n1Last, 1);
        EXPECT_LE(scratch->n1Last, 6);
        for (int i = 1; i <= scratch->n1Last; ++i) {
            const TGATE1& g = scratch->n1[i];
            EXPECT_TRUE(isBasic(g)) << "gate " << i;
            EXPECT_EQ(g.removed, 0);
            // Only the first gate may sit on the control (the split-off phase).
            EXPECT_EQ(g.target, i == 1 && g.type == 0 && g.target == 1 ? 1 : 3) << "gate " << i;
            if (g.type == 1) {
                EXPECT_EQ(g.controls[1], 1);
            }
        }
        return sequenceError(scratch->n1, scratch->n1Last, gate, 3, local);
    }

    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<BasicScratch> scratch = std::make_unique<BasicScratch>();
};

TMATICA2 diag2(Complex a, Complex b) { return {a, Complex{}, Complex{}, b}; }

}  // namespace

TEST_F(BasicStage, RandomUnitariesBecomeBasicGatesComposingToTheControlledGate)
{
    std::mt19937_64 engine(31);
    for (int trial = 0; trial < 500; ++trial) {
        HeadlessPresentation local;
        const TMATICA2 u = randomUnitary2(engine);
        EXPECT_LT(decomposeAndCompare(u, local), 1e-9) << "trial " << trial;
        EXPECT_TRUE(local.messages.empty()) << local.messages.front().text;
    }
}

TEST_F(BasicStage, AwkwardUnitariesComposeToTheControlledGate)
{
    // Entries below the tolerance must not be dropped: a circuit of many such
    // gates would add their sizes up.
    for (const double tiny : {1e-7, 1e-10, 1e-13, 0.0}) {
        for (const NamedUnitary2& sample : awkwardUnitaries2(tiny)) {
            // Only the identity itself is refused ("near identity" is within the
            // tolerance of it at tiny 1e-7, within rounding at 1e-13, and is
            // decomposed); pauliX is a CNOT already.
            if (sample.name == "identity" || (sample.name == "near identity" && tiny == 0.0) ||
                sample.name == "pauliX")
                continue;
            HeadlessPresentation local;
            EXPECT_LT(decomposeAndCompare(sample.u, local), 1e-12) << sample.name << ", tiny " << tiny;
            EXPECT_TRUE(local.messages.empty()) << sample.name << ": " << local.messages.front().text;
        }
    }
}

TEST_F(BasicStage, EveryDispatcherClassGivesItsSequenceLength)
{
    const double s = 1.0 / std::sqrt(2.0);
    const Complex one{1.0, 0.0};
    const Complex zero{};
    const Complex i{0.0, 1.0};
    struct Case {
        const char* name;
        TMATICA2 u;
        int length;
        double phase;  // angle of the phase gate on the control; NAN when there is none
    };
    const Case cases[] = {
        {"minus identity", diag2({-1.0, 0.0}, {-1.0, 0.0}), 1, pi},
        {"i identity", diag2(i, i), 1, pi / 2},
        {"pauliZ", diag2(one, {-1.0, 0.0}), 3, NAN},
        {"hadamard", {{s, 0.0}, {s, 0.0}, {s, 0.0}, {-s, 0.0}}, 3, NAN},
        {"pauliY", {zero, -i, i, zero}, 3, NAN},
        {"real antidiagonal", {zero, one, {-1.0, 0.0}, zero}, 4, -pi / 2},
        {"diagonal rotation", diag2(fromPolar(1.0, 0.3), fromPolar(1.0, -0.3)), 4, NAN},
        {"phase i", diag2(one, i), 5, pi / 4},
        {"real rotation", realRotation2(1.0), 4, NAN},
        {"general det 1", {{0.6, 0.0}, {0.0, 0.8}, {0.0, 0.8}, {0.6, 0.0}}, 5, NAN},
        {"general det i", {{0.5, 0.5}, {0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}}, 6, pi / 4},
    };
    for (const Case& c : cases) {
        HeadlessPresentation local;
        EXPECT_LT(decomposeAndCompare(c.u, local), 1e-12) << c.name;
        EXPECT_EQ(scratch->n1Last, c.length) << c.name;
        const TGATE1& first = scratch->n1[1];
        const bool phaseFirst = first.type == 0 && first.target == 1;
        EXPECT_EQ(phaseFirst, !std::isnan(c.phase)) << c.name;
        if (phaseFirst) {
            EXPECT_TRUE(matEqual2(first.u, diag2(one, fromPolar(1.0, c.phase)), 1e-12)) << c.name;
        }
    }
}

TEST_F(BasicStage, GatesThatCannotBeDecomposedAreReported)
{
    struct Case {
        TGATE1 gate;
        const char* message;
        bool ready;
    };
    const Case cases[] = {
        {makeGate(ws->pauliX, 3, {1, 2}), "Procedure Rozloz1U: The gate to be decomposed is not L1(U)!", false},
        {makeGate(ws->identity2, 3, {1}), "Procedure Rozloz1U: The gate to be decomposed is identity!", false},
        {makeGate(ws->pauliX, 3, {1}), "Procedure Rozloz1U: The gate to be decomposed is basic already!", true},
        {makeGate(diag2({2.0, 0.0}, {1.0, 0.0}), 3, {1}),
         "Procedure Rozloz1U: The gate to be decomposed has determinant with modul<>1!!!", false},
        // Determinant 1 but m11 small and no earlier class fits (not unitary).
        {makeGate({{0.0, 0.0}, {0.0, 1.0}, {2.0, 1.0}, {1.0, 0.5}}, 3, {1}),
         "Procedure Rozloz1U: The gate to be decomposed has determinant with modul<>1!!!", false},
    };
    for (const Case& c : cases) {
        HeadlessPresentation local;
        scratch->n1Ready = !c.ready;
        Rozloz1U(*ws, local, *scratch, c.gate);
        ASSERT_EQ(local.messages.size(), 1u) << c.message;
        EXPECT_EQ(local.messages[0].text, c.message);
        EXPECT_EQ(scratch->n1Ready, c.ready) << c.message;
    }
}

TEST_F(BasicStage, StageRewritesTheWorkedExampleIntoSevenGates)
{
    ws->qubitCount = 2;
    ws->matrixSize = 4;
    const TMATICA2 a = realRotation2(0.4);
    ws->gates[1] = makeGate(a, 1, {});
    ws->gates[2] = makeGate(diag2({1.0, 0.0}, {0.0, 1.0}), 2, {1});
    ws->gates[3] = makeGate(ws->pauliX, 2, {1});
    ws->pocetb1 = 3;
    const auto expected = std::make_unique<TMATICA1>();
    kompozicia(ws->gates, 3, 1, 3, *expected, 2, ui);

    Doelementarnych(*ws, ui);

    ASSERT_EQ(ws->pocetb1, 7);
    EXPECT_EQ(ws->tolerance, 1e-6);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(ui.log[0], "The decomposition of L1(U) gates into basic gates has begun");
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(matEqual2(ws->gates[1].u, a, 0.0));
    EXPECT_TRUE(matEqual2(ws->gates[2].u, diag2({1.0, 0.0}, fromPolar(1.0, pi / 4)), 1e-12));
    EXPECT_EQ(ws->gates[2].target, 1);
    for (const int g : {3, 5, 7}) {
        EXPECT_EQ(ws->gates[g].type, 1);
        EXPECT_TRUE(matEqual2(ws->gates[g].u, ws->pauliX, 0.0));
    }
    EXPECT_TRUE(matEqual2(ws->gates[4].u, phaseRotation2(pi / 4), 1e-12));
    EXPECT_TRUE(matEqual2(ws->gates[6].u, phaseRotation2(-pi / 4), 1e-12));
    EXPECT_LT(compositionError(*ws, ui, *expected), 1e-12);
}

TEST_F(BasicStage, StageLeavesOnlyBasicGatesAndKeepsUndecomposableOnes)
{
    ws->qubitCount = 4;
    ws->matrixSize = 16;
    std::mt19937_64 engine(32);
    std::vector<TGATE1> input(1);
    for (int g = 0; g < 60; ++g) {
        const int target = 1 + g % 4;
        const int control = 1 + (g + 1 + g / 4) % 4;
        const int kind = g % 5;
        if (kind == 0)
            input.push_back(makeGate(randomUnitary2(engine), target, {}));
        else if (kind == 1)
            input.push_back(makeGate(ws->pauliX, target, {control == target ? 1 + target % 4 : control}));
        else
            input.push_back(makeGate(randomUnitary2(engine), target, {control == target ? 1 + target % 4 : control}));
    }
    // An identity gate cannot be decomposed and must stay where it was.
    input.push_back(makeGate(ws->identity2, 2, {4}));
    input.push_back(makeGate(randomUnitary2(engine), 3, {2}));
    ws->pocetb1 = static_cast<int>(input.size()) - 1;
    std::copy(input.begin() + 1, input.end(), ws->gates.begin() + 1);
    const auto expected = std::make_unique<TMATICA1>();
    kompozicia(ws->gates, ws->pocetb1, 1, ws->pocetb1, *expected, 4, ui);

    Doelementarnych(*ws, ui);

    int nonBasic = 0;
    for (int g = 1; g <= ws->pocetb1; ++g)
        nonBasic += isBasic(ws->gates[g]) ? 0 : 1;
    EXPECT_EQ(nonBasic, 1);
    EXPECT_LE(ws->pocetb1, 62 + 5 * 37);
    EXPECT_LT(compositionError(*ws, ui, *expected), 1e-9);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, "Procedure Rozloz1U: The gate to be decomposed is identity!");
    EXPECT_EQ(ui.messages[1].text,
              "!!!!Procedure Doelementarnych(U): There exist a gate for which the decomposition was not cerated.");
}

TEST_F(BasicStage, ManyNearlyDiagonalGatesDoNotAddUpToAnError)
{
    // Off-diagonal entries far below the tolerance, as left by earlier stages:
    // dropping them would cost about their size per gate.
    std::mt19937_64 engine(34);
    std::uniform_real_distribution<double> angleDraw(-pi, pi);
    const int count = 600;
    for (int g = 1; g <= count; ++g) {
        const double x = 3e-8;
        const Complex a = fromPolar(std::cos(x), angleDraw(engine));
        const Complex b = fromPolar(std::sin(x), angleDraw(engine));
        const TMATICA2 u = scaled2(fromPolar(1.0, angleDraw(engine)), {a, b, -conjugate(b), conjugate(a)});
        ws->gates[g] = makeGate(u, 1 + g % 3, {1 + (g + 1) % 3});
    }
    ws->pocetb1 = count;
    const auto expected = std::make_unique<TMATICA1>();
    kompozicia(ws->gates, count, 1, count, *expected, 3, ui);

    Doelementarnych(*ws, ui);

    for (int g = 1; g <= ws->pocetb1; ++g)
        ASSERT_TRUE(isBasic(ws->gates[g])) << "gate " << g;
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_LT(compositionError(*ws, ui, *expected), 1e-11);
}

TEST_F(BasicStage, OverflowKeepsTheRewrittenHeadAndTheUnreadTail)
{
    // 399,990 gates leave 10 free slots: diag(1, i) becomes five gates, so the
    // first two such gates fit (growth 8) and the third does not.
    std::mt19937_64 engine(33);
    const int count = 399990;
    const TMATICA2 phaseI = diag2({1.0, 0.0}, {0.0, 1.0});
    ws->gates[1] = makeGate(phaseI, 3, {1});
    ws->gates[2] = makeGate(phaseI, 1, {2});
    ws->gates[3] = makeGate(phaseI, 2, {3});
    for (int g = 4; g <= count; ++g)
        ws->gates[g] = makeGate(randomUnitary2(engine), 1 + g % 3, {});
    ws->pocetb1 = count;
    const auto input = std::make_unique<TGATES1>(ws->gates);

    Doelementarnych(*ws, ui);

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "!!!!Procedure Doelementarnych: The array n1 is not long enough");
    ASSERT_EQ(ws->pocetb1, count + 8);
    EXPECT_LT(sequenceError(ws->gates, 5, (*input)[1], 3, ui), 1e-12);
    EXPECT_LT(sequenceError(std::span<const TGATE1>(ws->gates).subspan(5), 5, (*input)[2], 3, ui), 1e-12);
    bool tailIntact = true;
    for (int g = 3; g <= count; ++g) {
        const TGATE1& now = ws->gates[g + 8];
        const TGATE1& was = (*input)[g];
        tailIntact = tailIntact && now.type == was.type && now.target == was.target &&
                     now.controls == was.controls && matEqual2(now.u, was.u, 0.0);
    }
    EXPECT_TRUE(tailIntact);

    // Run again on the kept list: the head passes through, the same gate is the
    // first that does not fit, and nothing is lost a second time.
    HeadlessPresentation second;
    Doelementarnych(*ws, second);
    ASSERT_EQ(second.messages.size(), 1u);
    EXPECT_EQ(ws->pocetb1, count + 8);
    EXPECT_TRUE(matEqual2(ws->gates[11].u, phaseI, 0.0));
    EXPECT_EQ(ws->gates[11].type, 1);
}
