#include "engine/optimization/merge.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <random>
#include <string>

#include "engine/optimization/gateshape.h"
#include "gatefactory.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"

namespace {

class MergeRules : public GatePairTest {
protected:
    MergeResult merge(const TGATE1& b1, const TGATE1& b2)
    {
        placePair(b1, b2);
        return spravid(*ws, ui, 1, 2);
    }
};

TEST_F(MergeRules, EveryMergeKeepsThePairsMatrixInTheSurvivingGate)
{
    std::mt19937_64 rng(4);
    std::array<int, 4> seen{};
    for (int qubits = 2; qubits <= 4; ++qubits) {
        useQubits(qubits);
        for (int trial = 0; trial < 4000; ++trial) {
            TGATE1 b1 = randomGate(rng, qubits, qubits - 1);
            TGATE1 b2 = relatedGate(rng, b1, qubits);
            if (trial % 2 == 1)
                std::swap(b1, b2);
            if (trial % 5 == 0)  // an inverse on the same qubits
                b2.u = adjoint2(b1.u);
            pairMatrix(b1, b2, before, qubits, ui);

            const MergeResult result = merge(b1, b2);
            const int r = static_cast<int>(result);
            ASSERT_LE(r, 3);
            ++seen[r];
            const TGATE1& n1 = ws->gates[1];
            const TGATE1& n2 = ws->gates[2];
            SCOPED_TRACE("qubits " + std::to_string(qubits) + " trial " + std::to_string(trial) + " result " +
                         std::to_string(r));
            EXPECT_TRUE(sameQubits(n1, b1));
            EXPECT_TRUE(sameQubits(n2, b2));
            EXPECT_EQ(n1.removed != 0, result == MergeResult::mergeIntoB2 || result == MergeResult::mergeIdentity);
            EXPECT_EQ(n2.removed != 0, result == MergeResult::mergeIntoB1 || result == MergeResult::mergeIdentity);
            switch (result) {
            case MergeResult::mergeNone:
                EXPECT_TRUE(sameGate(n1, b1));
                EXPECT_TRUE(sameGate(n2, b2));
                break;
            case MergeResult::mergeIntoB2:
                gateMatrix(n2, after, qubits, ui);
                EXPECT_LE(maxDifference(before, after, ws->matrixSize), 1e-13);
                // A CNOT never takes a phase factor from its neighbour's merge.
                if (isCnot(b2, ws->pauliX, ws->tolerance)) {
                    EXPECT_TRUE(b1.type != b2.type - 1 || !isUnitPhase2(b1.u));
                }
                break;
            case MergeResult::mergeIntoB1:
                gateMatrix(n1, after, qubits, ui);
                EXPECT_LE(maxDifference(before, after, ws->matrixSize), 1e-13);
                if (isCnot(b1, ws->pauliX, ws->tolerance)) {
                    EXPECT_TRUE(b2.type != b1.type - 1 || !isUnitPhase2(b2.u));
                }
                break;
            case MergeResult::mergeIdentity:
                setIdentity(after, ws->matrixSize);
                EXPECT_LE(maxDifference(before, after, ws->matrixSize), 1e-13);
                break;
            }
        }
    }
    for (int r = 0; r <= 3; ++r)
        EXPECT_GT(seen[r], 50) << "result " << r;
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MergeRules, UncontrolledGatesOnOneQubitMultiplyLaterOnTheLeft)
{
    std::mt19937_64 rng(9);
    const TMATICA2 u1 = randomUnitary2(rng);
    const TMATICA2 u2 = randomUnitary2(rng);
    EXPECT_EQ(merge(makeGate(2, {}, u1), makeGate(2, {}, adjoint2(u1))), MergeResult::mergeIdentity);
    EXPECT_EQ(merge(makeGate(2, {}, u1), makeGate(2, {}, u2)), MergeResult::mergeIntoB1);
    TGATE1 expected = makeGate(2, {}, matMul2(u2, u1));
    expected.removed = 0;
    EXPECT_TRUE(sameGate(ws->gates[1], expected));
    EXPECT_EQ(ws->gates[2].removed, 1);
}

TEST_F(MergeRules, ProductThatIsTheIdentityOnlyWithinTheToleranceIsKept)
{
    std::mt19937_64 rng(12);
    const TMATICA2 u = randomUnitary2(rng);
    // u^dagger followed by a z rotation by 2 tilt: the product is the identity
    // within 1e-7, or within fuzzyEqual's 1e-12, and still not to the last bits.
    for (const double tilt : {1e-8, 1e-13}) {
        const TMATICA2 almostInverse = matMul2(diagonal2(fromPolar(1.0, tilt), fromPolar(1.0, -tilt)), adjoint2(u));
        for (const TGATE1& b1 : {makeGate(2, {}, u), makeGate(2, {1, 3}, u)}) {
            TGATE1 b2 = b1;
            b2.u = almostInverse;
            pairMatrix(b1, b2, before, 3, ui);
            EXPECT_EQ(merge(b1, b2), MergeResult::mergeIntoB1) << tilt;
            gateMatrix(ws->gates[1], after, 3, ui);
            EXPECT_LE(maxDifference(before, after, 8), 1e-13);
        }
    }
    // Exactly inverse matrices still cancel.
    EXPECT_EQ(merge(makeGate(2, {1}, u), makeGate(2, {1}, adjoint2(u))), MergeResult::mergeIdentity);
}

TEST_F(MergeRules, GatesWhoseControlsAreNotEachOthersQubitsStayApart)
{
    std::mt19937_64 rng(10);
    const TMATICA2 u = randomUnitary2(rng);
    EXPECT_EQ(merge(makeGate(1, {2}, u), makeGate(1, {3}, adjoint2(u))), MergeResult::mergeNone);
    // Different targets, one control not shared: even two scalars stay.
    EXPECT_EQ(merge(makeGate(1, {3}, scalarMatrix2({0.0, 1.0})), makeGate(2, {}, scalarMatrix2({0.0, -1.0}))),
              MergeResult::mergeNone);
}

TEST_F(MergeRules, CnotRefusesThePhaseOfAUnitPhaseGateOnItsControl)
{
    const TGATE1 phase = makeGate(1, {}, unitPhaseMatrix2({0.0, 1.0}));
    const TGATE1 cnot = makeGate(2, {1}, pauliX2());
    EXPECT_EQ(merge(phase, cnot), MergeResult::mergeNone);
    EXPECT_EQ(merge(cnot, phase), MergeResult::mergeNone);
    // A controlled gate that is no CNOT takes it.
    EXPECT_EQ(merge(phase, makeGate(2, {1}, realRotation2(0.4))), MergeResult::mergeIntoB2);
}

TEST_F(MergeRules, UnitPhasesOnTheSameQubitsCancelWhateverTheirTargets)
{
    const Complex e = fromPolar(1.0, 0.7);
    EXPECT_EQ(merge(makeGate(1, {2, 3}, unitPhaseMatrix2(e)), makeGate(3, {1, 2}, unitPhaseMatrix2(conjugate(e)))),
              MergeResult::mergeIdentity);
    EXPECT_EQ(merge(makeGate(1, {2, 3}, unitPhaseMatrix2(e)), makeGate(3, {2, 1}, unitPhaseMatrix2(e))),
              MergeResult::mergeIntoB2);
}

TEST_F(MergeRules, OptimizationOffMergesOnlyUncontrolledGates)
{
    ui.roboptim = false;
    ui.Kontrolptimkrok1 = true;
    EXPECT_EQ(merge(makeGate(2, {1}, pauliX2()), makeGate(2, {1}, pauliX2())), MergeResult::mergeNone);
    EXPECT_EQ(merge(makeGate(2, {}, pauliX2()), makeGate(2, {}, pauliX2())), MergeResult::mergeIdentity);
    EXPECT_TRUE(ui.log.empty());
}

TEST_F(MergeRules, ArgumentsInTheWrongOrderShowAMessage)
{
    ws->gates[3] = makeGate(1, {}, pauliX2());
    ws->gates[4] = makeGate(1, {}, pauliX2());
    ws->pocetb1 = 4;
    EXPECT_EQ(spravid(*ws, ui, 4, 3), MergeResult::mergeNone);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Into procedure spravid pos1=4>=3=pos2 was sent!!!!");
    EXPECT_EQ(ws->gates[3].removed, 0);
}

TEST_F(MergeRules, SelfTestIsSilentOnWellFormedGates)
{
    ui.Kontrolptimkrok1 = true;
    std::mt19937_64 rng(11);
    for (int trial = 0; trial < 2000; ++trial) {
        const TGATE1 b1 = randomGate(rng, 3, 2);
        merge(b1, relatedGate(rng, b1, 3));
    }
    EXPECT_TRUE(ui.log.empty());
}

// A gate whose target is also its control acts as the identity, while the
// rules take its matrix at face value: the self-test must catch every such merge.
TEST_F(MergeRules, SelfTestReportsEachKindOfWrongRemoval)
{
    ui.Kontrolptimkrok1 = true;
    const Complex e = fromPolar(1.0, 1.1);
    TGATE1 broken = makeGate(1, {2, 1}, unitPhaseMatrix2(conjugate(e)));
    EXPECT_EQ(merge(makeGate(2, {1}, unitPhaseMatrix2(e)), broken), MergeResult::mergeIdentity);
    broken.u = realRotation2(0.5);
    EXPECT_EQ(merge(makeGate(2, {1}, unitPhaseMatrix2(e)), broken), MergeResult::mergeIntoB2);
    EXPECT_EQ(merge(makeGate(2, {1}, realRotation2(0.5)), makeGate(1, {2, 1}, unitPhaseMatrix2(e))),
              MergeResult::mergeIntoB1);
    ASSERT_EQ(ui.log.size(), 3u);
    EXPECT_EQ(ui.log[0], "The gates not forming the identity were removed!!! Gate numbers:1 , 2");
    EXPECT_EQ(ui.log[1], "The gate b1 was removed unequivalently!!! Gate numbers:1 , 2");
    EXPECT_EQ(ui.log[2], "The gate b2 was removed unequivalently!!! Gate numbers:1 , 2");
}

}  // namespace
