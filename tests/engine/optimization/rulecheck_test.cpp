#include "engine/optimization/rulecheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "gatefactory.h"
#include "platform/headlesspresentation.h"

namespace {

// The self-tests compare a pair's products on the pair's own qubits; the
// verdict must be the one the full matrices give, for right and wrong rewrites.
TEST(RuleCheckFrame, ComparingOnThePairsQubitsGivesTheFullMatricesVerdict)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    auto full = std::make_unique<RuleCheckMatrices>();
    auto framed = std::make_unique<RuleCheckMatrices>();
    std::mt19937_64 rng(31);
    int differing = 0;
    for (int qubits = 2; qubits <= 5; ++qubits) {
        const int n = 1 << qubits;
        for (int trial = 0; trial < 400; ++trial) {
            const TGATE1 b1 = randomGate(rng, qubits, qubits - 1);
            const TGATE1 b2 = relatedGate(rng, b1, qubits);
            // A rewrite that is right (the pair itself) or slightly or grossly wrong.
            TGATE1 c1 = b1;
            TGATE1 c2 = b2;
            const double error = trial % 3 == 0 ? 0.0 : (trial % 3 == 1 ? 5e-8 : 3e-7);
            c2.u.u11 = c2.u.u11 + Complex{error, 0.0};
            SCOPED_TRACE(std::to_string(qubits) + " qubits, trial " + std::to_string(trial));

            pairMatrix(b1, b2, full->before, qubits, ui);
            pairMatrix(c1, c2, full->after, qubits, ui);
            const bool fullSame = matEqual(full->before, full->after, n, ws->tolerance);

            framed->frame = pairFrame(b1, b2, qubits);
            EXPECT_LE(framed->frame.qubitCount, qubits);
            composeInFrame(framed->frame, {&b1, &b2}, framed->before, ui);
            composeInFrame(framed->frame, {&c1, &c2}, framed->after, ui);
            const int m = 1 << framed->frame.qubitCount;
            EXPECT_EQ(matEqual(framed->before, framed->after, m, ws->tolerance), fullSame);
            if (!fullSame)
                ++differing;
        }
    }
    EXPECT_GT(differing, 300);
    EXPECT_TRUE(ui.messages.empty());
}

TEST(RuleCheckFrame, GateOutsideTheCircuitKeepsTheFullNumberingAndIsReported)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    auto check = std::make_unique<RuleCheckMatrices>();
    const TGATE1 inside = makeGate(1, {}, pauliX2());
    const TGATE1 outside = makeGate(4, {1}, pauliX2());
    check->frame = pairFrame(inside, outside, 3);
    EXPECT_FALSE(check->frame.renumbered);
    EXPECT_EQ(check->frame.qubitCount, 3);
    composeInFrame(check->frame, {&inside, &outside}, check->before, ui);
    EXPECT_FALSE(ui.messages.empty());

    // Two gates on qubits 2 and 5 of five compare on two qubits.
    check->frame = pairFrame(makeGate(5, {}, pauliX2()), makeGate(2, {5}, pauliX2()), 5);
    EXPECT_TRUE(check->frame.renumbered);
    EXPECT_EQ(check->frame.qubitCount, 2);
}

}  // namespace
