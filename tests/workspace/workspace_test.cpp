#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/reduction/tpq.h"
#include "platform/headlesspresentation.h"

namespace {

bool sameBits(Complex a, Complex b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameBits(const TMATICA2& a, const TMATICA2& b)
{
    return sameBits(a.u11, b.u11) && sameBits(a.u12, b.u12) && sameBits(a.u21, b.u21) && sameBits(a.u22, b.u22);
}

}  // namespace

TEST(Workspace, StartsWithTwoQubitsAndTheStartUpViewAndTolerance)
{
    HeadlessPresentation ui;
    const auto ws = createWorkspace(ui);
    EXPECT_EQ(ws->qubitCount, 2);
    EXPECT_EQ(ws->matrixSize, 4);
    EXPECT_EQ(ws->tolerance, 1e-7);
    EXPECT_EQ(ws->zoom, 1.25);
    EXPECT_EQ(ws->drawArea.Left, 10);
    EXPECT_EQ(ws->drawArea.Top, 10);
    EXPECT_EQ(ws->drawArea.Right, 1000);
    EXPECT_EQ(ws->drawArea.Bottom, 750);
    EXPECT_EQ(ws->firstShownGate, 1);
    EXPECT_EQ(ws->selectedGate, 0);
    EXPECT_EQ(ws->pocetb1, 0);
    EXPECT_EQ(ws->tpqCount, 0);
}

TEST(Workspace, ConstantMatricesAreExactlyTheirValues)
{
    HeadlessPresentation ui;
    const auto ws = createWorkspace(ui);
    const Complex zero{0.0, 0.0};
    const Complex one{1.0, 0.0};
    EXPECT_TRUE(sameBits(ws->pauliX, TMATICA2{zero, one, one, zero}));
    EXPECT_TRUE(sameBits(ws->pauliZ, TMATICA2{one, zero, zero, {-1.0, 0.0}}));
    EXPECT_TRUE(sameBits(ws->identity2, TMATICA2{one, zero, zero, one}));
    EXPECT_TRUE(isUnitary2(ws->pauliX, ws->tolerance));
    EXPECT_FALSE(isDiagonal2(ws->pauliX));
    EXPECT_TRUE(isDiagonal2(ws->pauliZ));
}

TEST(Workspace, DefaultMatrixIsFourCopiesOfKOnTheDiagonalAndZeroElsewhere)
{
    HeadlessPresentation ui;
    const auto ws = createWorkspace(ui);
    const Complex i{0.0, 1.0};
    const Complex minusI{0.0, -1.0};
    for (int r = 1; r <= 64; ++r)
        for (int c = 1; c <= 64; ++c) {
            Complex expected{};
            const bool sameBlock = r <= 16 && c <= 16 && (r - 1) / 4 == (c - 1) / 4;
            const int br = (r - 1) % 4 + 1;
            const int bc = (c - 1) % 4 + 1;
            if (sameBlock && br + bc == 5)
                expected = br <= 2 ? minusI : i;
            ASSERT_TRUE(sameBits(ws->matrixA(r, c), expected)) << r << "," << c;
        }
    // K is unitary, and so is every block size the user can choose.
    for (int n : {4, 8, 16})
        EXPECT_TRUE(isUnitary(ws->matrixA, n, 1e-12)) << n;
}

TEST(Workspace, ResultsOfADecompositionStartEmpty)
{
    HeadlessPresentation ui;
    const auto ws = createWorkspace(ui);
    for (const TGATE1& gate : ws->gates) {
        ASSERT_EQ(gate.type, 0);
        ASSERT_EQ(gate.removed, 0);
        ASSERT_EQ(gate.target, 0);
        ASSERT_TRUE(sameBits(gate.u, TMATICA2{}));
        for (const auto control : gate.controls)
            ASSERT_EQ(control, 0);
    }
    for (const TpqEntry& entry : ws->tpqTable) {
        EXPECT_EQ(entry.p, 0);
        EXPECT_EQ(entry.q, 0);
        EXPECT_EQ(entry.omega, 0.0);
        EXPECT_EQ(entry.fi, 0.0);
    }
    for (const double a : ws->dAngles)
        EXPECT_EQ(a, 0.0);
}

TEST(Workspace, StartUpClearsOnlyTheShowOptimizationStepsMark)
{
    HeadlessPresentation ui;
    ui.Zobroptimkroky = true;
    ui.Kontrolptimkrok1 = true;
    ui.roboptim = false;
    const auto ws = createWorkspace(ui);
    EXPECT_FALSE(ui.isChecked(Setting::Zobroptimkroky));
    EXPECT_TRUE(ui.isChecked(Setting::Kontrolptimkrok1));
    EXPECT_FALSE(ui.isChecked(Setting::roboptim));
    // Nothing is shown or logged by the workspace itself.
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(ui.gridCells.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST(Workspace, TwoGenerationsOfTheSameWorkspaceDrawDifferentStreams)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    ws->random.beginGeneration();
    const int first = ws->random.drawInteger(1 << 30);
    const double firstReal = ws->random.drawReal();
    ws->random.beginGeneration();
    const int second = ws->random.drawInteger(1 << 30);
    const double secondReal = ws->random.drawReal();
    EXPECT_FALSE(first == second && firstReal == secondReal);
}
