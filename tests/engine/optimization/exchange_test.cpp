#include "engine/optimization/exchange.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "engine/optimization/gateshape.h"
#include "gatefactory.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"

namespace {

class ExchangeRules : public GatePairTest {
protected:
    ExchangeResult exchange(std::uint8_t direction) { return prehodbrany(*ws, ui, jump, 1, 2, direction); }

    JumpSlot jump;
    TMATICA1 jumpMatrix;
};

// The pair in exchanged order, b2 first, with the jump gate where the optimizer puts it.
void exchangedMatrix(const Workspace& ws, const JumpSlot& jump, ExchangeResult result, std::uint8_t direction,
                     TMATICA1& after, TMATICA1& scratch, Presentation& ui)
{
    pairMatrix(ws.gates[2], ws.gates[1], after, ws.qubitCount, ui);
    if (result != ExchangeResult::exchangeJump)
        return;
    gateMatrix(jump.jumpGate, scratch, ws.qubitCount, ui);
    if (direction == dragLeft)
        matMul(scratch, after, after, ws.matrixSize);  // after the stationary gate, which now acts second
    else
        matMul(after, scratch, after, ws.matrixSize);
}

TEST_F(ExchangeRules, EveryReportedExchangeKeepsThePairsMatrixAndTouchesOnlyWhatItSays)
{
    std::mt19937_64 rng(20261208);
    std::array<int, 5> seen{};
    for (int qubits = 2; qubits <= 4; ++qubits) {
        useQubits(qubits);
        for (int trial = 0; trial < 3000; ++trial) {
            TGATE1 b1 = randomGate(rng, qubits, qubits - 1);
            TGATE1 b2 = relatedGate(rng, b1, qubits);
            if (trial % 2 == 1)
                std::swap(b1, b2);
            const std::uint8_t direction = trial % 4 < 2 ? dragLeft : dragRight;
            placePair(b1, b2);
            jump = JumpSlot{};
            pairMatrix(b1, b2, before, qubits, ui);

            const ExchangeResult result = exchange(direction);
            const int r = static_cast<int>(result);
            ASSERT_LE(r, 4);
            ++seen[r];
            const TGATE1& n1 = ws->gates[1];
            const TGATE1& n2 = ws->gates[2];
            SCOPED_TRACE("qubits " + std::to_string(qubits) + " trial " + std::to_string(trial) + " result " +
                         std::to_string(r));
            // A CNOT keeps its record whatever happens (the adjoint of X is X).
            if (isCnot(b1, ws->pauliX, ws->tolerance)) {
                EXPECT_TRUE(sameGate(n1, b1));
            }
            if (isCnot(b2, ws->pauliX, ws->tolerance)) {
                EXPECT_TRUE(sameGate(n2, b2));
            }
            // Qubits never change.
            EXPECT_TRUE(sameQubits(n1, b1));
            EXPECT_TRUE(sameQubits(n2, b2));

            switch (result) {
            case ExchangeResult::exchangeRefused:
            case ExchangeResult::exchangeUnchanged:
                EXPECT_TRUE(sameGate(n1, b1));
                EXPECT_TRUE(sameGate(n2, b2));
                EXPECT_FALSE(jump.jumpPending);
                break;
            case ExchangeResult::exchangeChangedB1:
                EXPECT_TRUE(sameGate(n2, b2));
                EXPECT_FALSE(jump.jumpPending);
                break;
            case ExchangeResult::exchangeChangedB2:
                EXPECT_TRUE(sameGate(n1, b1));
                EXPECT_FALSE(jump.jumpPending);
                break;
            case ExchangeResult::exchangeJump: {
                const TGATE1& moving = direction == dragLeft ? b2 : b1;
                const TGATE1& stationary = direction == dragLeft ? b1 : b2;
                const TGATE1& movedNow = direction == dragLeft ? n2 : n1;
                EXPECT_TRUE(sameGate(direction == dragLeft ? n1 : n2, stationary));
                EXPECT_TRUE(jump.jumpPending);
                EXPECT_EQ(jump.jumpPosition, direction == dragLeft ? 1 : 2);
                TGATE1 adjointMoving = moving;
                adjointMoving.u = adjoint2(moving.u);
                EXPECT_TRUE(sameGate(movedNow, adjointMoving));
                EXPECT_EQ(jump.jumpGate.target, moving.target);
                EXPECT_EQ(jump.jumpGate.type, moving.type - 1);
                EXPECT_FALSE(isControlOf(stationary.target, jump.jumpGate));
                EXPECT_TRUE(subsetControls(jump.jumpGate, moving));
                break;
            }
            }
            if (result == ExchangeResult::exchangeRefused)
                continue;
            exchangedMatrix(*ws, jump, result, direction, after, jumpMatrix, ui);
            // To rounding, not to the tolerance: the optimizer passes a gate over
            // thousands of neighbours, and every exchange adds its error.
            EXPECT_LE(maxDifference(before, after, ws->matrixSize), 1e-13);
        }
    }
    // Every kind of result came up, so every branch above was checked.
    for (int r = 0; r <= 4; ++r)
        EXPECT_GT(seen[r], 20) << "result " << r;
    EXPECT_TRUE(ui.log.empty());
}

TEST_F(ExchangeRules, GatesThatCommuteOnlyWithinTheTolerancePassOnlyByARewrite)
{
    // Commuting within the tolerance, or within fuzzyEqual's 1e-12, is not
    // commuting: no rewrite applies (neither gate's controls are the other's
    // qubits), so the pair is refused and untouched.
    for (const double tilt : {1e-9, 1e-14}) {
        const TMATICA2 slightlyOff = nearlyRealRotation(0.4, tilt);
        ASSERT_TRUE(matEqual2(matMul2(realRotation2(1.1), slightlyOff), matMul2(slightlyOff, realRotation2(1.1)),
                              ws->tolerance));
        const TGATE1 b1 = makeGate(1, {2}, realRotation2(1.1));
        const TGATE1 b2 = makeGate(1, {3}, slightlyOff);
        for (std::uint8_t direction : {dragLeft, dragRight}) {
            placePair(b1, b2);
            EXPECT_EQ(exchange(direction), ExchangeResult::exchangeRefused) << tilt;
            EXPECT_TRUE(sameGate(ws->gates[1], b1));
            EXPECT_TRUE(sameGate(ws->gates[2], b2));
        }
    }
    const TMATICA2 near = nearlyRealRotation(0.4);
    // With b1's controls among b2's qubits the moving b2 is conjugated, and the
    // exchanged pair keeps the pair's matrix to rounding.
    const TGATE1 c1 = makeGate(1, {}, realRotation2(1.1));
    const TGATE1 c2 = makeGate(1, {3}, near);
    placePair(c1, c2);
    pairMatrix(c1, c2, before, 3, ui);
    EXPECT_EQ(exchange(dragLeft), ExchangeResult::exchangeChangedB2);
    pairMatrix(ws->gates[2], ws->gates[1], after, 3, ui);
    EXPECT_LE(maxDifference(before, after, 8), 1e-13);
    // Matrices that commute exactly still pass as they are.
    placePair(makeGate(1, {2}, realRotation2(1.1)), makeGate(1, {3}, realRotation2(0.4)));
    EXPECT_EQ(exchange(dragLeft), ExchangeResult::exchangeUnchanged);
}

TEST_F(ExchangeRules, CnotBlocksTheRewriteThatWouldFallOnIt)
{
    const TMATICA2 h = awkwardUnitaries2(1e-9)[11].u;  // hadamard
    // Left drag: the moving CNOT would be conjugated, and b1 is not tried because W12 holds.
    placePair(makeGate(2, {}, h), makeGate(2, {1}, pauliX2()));
    EXPECT_EQ(exchange(dragLeft), ExchangeResult::exchangeRefused);
    // Right drag: the moving CNOT is b1 now.
    placePair(makeGate(2, {1}, pauliX2()), makeGate(2, {}, h));
    EXPECT_EQ(exchange(dragRight), ExchangeResult::exchangeRefused);
    // Rule B1 could conjugate b1 here (W21 holds), but a left drag that may not
    // rewrite its moving CNOT does not fall back to it while W12 holds.
    placePair(makeGate(2, {1}, h), makeGate(2, {1}, pauliX2()));
    EXPECT_EQ(exchange(dragLeft), ExchangeResult::exchangeRefused);
    // The same pair with a non-CNOT in the CNOT's place is exchanged.
    placePair(makeGate(2, {1}, realRotation2(1.0)), makeGate(2, {}, h));
    EXPECT_EQ(exchange(dragRight), ExchangeResult::exchangeChangedB1);
}

TEST_F(ExchangeRules, ControlledGateJumpsAnAntidiagonalGateOnItsControlOnce)
{
    const TMATICA2 u = awkwardUnitaries2(1e-9)[16].u;  // sqrt not
    const TGATE1 cnot = makeGate(1, {2}, pauliX2());
    const TGATE1 moving = makeGate(3, {1, 2}, u);
    placePair(cnot, moving);
    ASSERT_EQ(exchange(dragLeft), ExchangeResult::exchangeJump);
    EXPECT_TRUE(sameGate(ws->gates[2], makeGate(3, {1, 2}, adjoint2(u))));
    EXPECT_TRUE(sameGate(jump.jumpGate, makeGate(3, {2}, u)));
    EXPECT_EQ(jump.jumpPosition, 1);

    // While a jump gate waits, the same pair is refused.
    placePair(cnot, moving);
    EXPECT_EQ(exchange(dragLeft), ExchangeResult::exchangeRefused);
    EXPECT_TRUE(sameGate(ws->gates[2], moving));

    // Mirror: right drag, the moving gate first.
    jump = JumpSlot{};
    placePair(makeGate(3, {2, 1}, u), makeGate(1, {2}, pauliX2()));
    ASSERT_EQ(exchange(dragRight), ExchangeResult::exchangeJump);
    EXPECT_TRUE(sameGate(jump.jumpGate, makeGate(3, {2}, u)));
    EXPECT_EQ(jump.jumpPosition, 2);

    // Any other direction selects no jump.
    jump = JumpSlot{};
    placePair(cnot, moving);
    EXPECT_EQ(exchange(0), ExchangeResult::exchangeRefused);
    EXPECT_FALSE(jump.jumpPending);
}

TEST_F(ExchangeRules, WithOptimizationOffOnlyUncontrolledGatesAreExchanged)
{
    ui.roboptim = false;
    ui.Kontrolptimkrok1 = true;
    // Disjoint qubits commute, but one of them is controlled.
    placePair(makeGate(1, {}, pauliX2()), makeGate(3, {2}, pauliX2()));
    EXPECT_EQ(exchange(dragLeft), ExchangeResult::exchangeRefused);
    EXPECT_TRUE(ui.log.empty());  // no self-test line for a refusal of this kind
    placePair(makeGate(1, {}, pauliX2()), makeGate(3, {}, pauliX2()));
    EXPECT_EQ(exchange(dragLeft), ExchangeResult::exchangeUnchanged);
    EXPECT_TRUE(ui.log.empty());
}

TEST_F(ExchangeRules, ArgumentsInTheWrongOrderAreReportedAndRefused)
{
    placePair(makeGate(1, {}, pauliX2()), makeGate(2, {}, pauliX2()));
    EXPECT_EQ(prehodbrany(*ws, ui, jump, 2, 2, dragLeft), ExchangeResult::exchangeRefused);
    EXPECT_EQ(prehodbrany(*ws, ui, jump, 2, 1, dragLeft), ExchangeResult::exchangeRefused);
    ASSERT_EQ(ui.log.size(), 2u);
    EXPECT_EQ(ui.log[0], "To procedure \"prehodbrany\" parameter pos1>=pos2 was send!!! That's BAD.");
}

TEST_F(ExchangeRules, SelfTestReportsOnlyMissedExchangesOnWellFormedGates)
{
    ui.Kontrolptimkrok1 = true;
    std::mt19937_64 rng(77);
    for (int trial = 0; trial < 1500; ++trial) {
        TGATE1 b1 = randomGate(rng, 3, 2);
        const TGATE1 b2 = relatedGate(rng, b1, 3);
        placePair(b1, b2);
        jump = JumpSlot{};
        exchange(trial % 2 == 0 ? dragLeft : dragRight);
    }
    int missed = 0;
    for (const std::string& line : ui.log) {
        EXPECT_NE(line.find("my algorithm:FALSEMatrices:TRUE"), std::string::npos) << line;
        ++missed;
    }
    EXPECT_LT(missed, 1500);
}

TEST_F(ExchangeRules, SelfTestLinesNameThePairAndBothVerdicts)
{
    ui.Kontrolptimkrok1 = true;
    // b2 does nothing (identity matrix), yet its control 3 is no qubit of b1: a missed exchange.
    const TMATICA2 h = awkwardUnitaries2(1e-9)[11].u;
    placePair(makeGate(1, {}, h), makeGate(2, {1, 3}, identityMatrix2()));
    EXPECT_EQ(exchange(dragLeft), ExchangeResult::exchangeRefused);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(ui.log[0], "Different results for exchange of the gates:1,2. my algorithm:FALSEMatrices:TRUE");

    // A gate whose target is its own control acts as the identity, but the
    // rules still conjugate by its matrix: a wrong rewrite, and reported.
    ui.log.clear();
    ui.messages.clear();
    placePair(makeGate(1, {1}, h), makeGate(1, {}, ws->pauliZ));
    EXPECT_EQ(exchange(dragLeft), ExchangeResult::exchangeChangedB2);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(ui.log[0],
              "Different results for exchange of the gates:1,2. my algorithm:Changing the gate b2Matrices:FALSE");

    // Gates on unrelated qubits pass as they are; with a NaN entry their
    // products are not equal, and the self-test still composes and says so.
    ui.log.clear();
    TMATICA2 broken = h;
    broken.u12.re = std::nan("");
    placePair(makeGate(1, {}, broken), makeGate(2, {3}, ws->pauliZ));
    EXPECT_EQ(exchange(dragLeft), ExchangeResult::exchangeUnchanged);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(ui.log[0], "Different results for exchange of the gates:1,2. my algorithm:TRUEMatrices:FALSE");
}

}  // namespace
