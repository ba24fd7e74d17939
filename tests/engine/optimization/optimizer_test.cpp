#include "engine/optimization/optimizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/optimization/exchange.h"
#include "engine/optimization/gateshape.h"
#include "engine/optimization/optimizationrun.h"
#include "gatefactory.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"

namespace {

constexpr char beganLine[] = "The optimization algorithm has begun.";
constexpr char stepsOffLine[] =
    "Showing of optimization steps is turned off, because of number of gates in the circuit.";

class Optimizer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ws = createWorkspace(ui);
        useQubits(3);
        ui.clearRecords();
    }

    void useQubits(int qubits)
    {
        ws->qubitCount = qubits;
        ws->matrixSize = 1 << qubits;
    }

    void load(const std::vector<TGATE1>& circuit)
    {
        ws->pocetb1 = 0;
        for (const TGATE1& g : circuit)
            ws->gates[++ws->pocetb1] = g;
    }

    std::vector<TGATE1> circuit() const
    {
        return std::vector<TGATE1>(ws->gates.begin() + 1, ws->gates.begin() + 1 + ws->pocetb1);
    }

    void compose(TMATICA1& m)
    {
        if (ws->pocetb1 == 0)
            setIdentity(m, ws->matrixSize);
        else
            kompozicia(ws->gates, ws->pocetb1, 1, ws->pocetb1, m, ws->qubitCount, ui);
    }

    int passes() const
    {
        return static_cast<int>(std::count_if(ui.events.begin(), ui.events.end(),
                                              [](const Event& e) { return e.kind == EventKind::progressMaximum; }));
    }

    bool logHas(std::string_view part) const
    {
        return std::any_of(ui.log.begin(), ui.log.end(),
                           [&](const std::string& line) { return line.find(part) != std::string::npos; });
    }

    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws;
    TMATICA1 before;
    TMATICA1 after;
};

bool sameCircuit(const std::vector<TGATE1>& a, const std::vector<TGATE1>& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), sameGate);
}

TEST_F(Optimizer, EmptyCircuitIsLeftWithoutASingleCall)
{
    ws->pocetb1 = 0;
    optimizeCircuit(*ws, ui);
    EXPECT_TRUE(ui.events.empty());
    EXPECT_EQ(ws->pocetb1, 0);
}

TEST_F(Optimizer, AdjacentInverseGatesVanishWithoutComplaint)
{
    std::mt19937_64 rng(1);
    const TMATICA2 u = randomUnitary2(rng);
    load({makeGate(1, {}, u), makeGate(1, {}, adjoint2(u))});
    optimizeCircuit(*ws, ui);
    EXPECT_EQ(ws->pocetb1, 0);
    // The pass after the one that emptied the circuit has no gate to start from.
    EXPECT_EQ(ui.log, std::vector<std::string>{beganLine});

    load({makeGate(2, {3}, u), makeGate(1, {}, u), makeGate(1, {}, adjoint2(u))});
    const std::vector<TGATE1> first = circuit();
    optimizeCircuit(*ws, ui);
    ASSERT_EQ(ws->pocetb1, 1);
    EXPECT_TRUE(sameGate(ws->gates[1], first[0]));
    EXPECT_FALSE(logHas("BAD"));
}

TEST_F(Optimizer, RandomCircuitsKeepTheirMatrixAndNeverGrow)
{
    ui.Kontrolptimkrok1 = true;
    std::mt19937_64 rng(2026);
    int removedTotal = 0;
    for (int trial = 0; trial < 120; ++trial) {
        const int qubits = 2 + trial % 3;
        useQubits(qubits);
        std::vector<TGATE1> gates;
        const int length = 4 + trial % 20;
        for (int k = 0; k < length; ++k)
            gates.push_back(k > 0 && k % 3 == 0 ? relatedGate(rng, gates.back(), qubits)
                                                : randomGate(rng, qubits, qubits - 1));
        if (trial % 2 == 0)  // followed by its inverse: plenty to cancel
            for (int k = length - 1; k >= 0; --k) {
                TGATE1 inverse = gates[k];
                inverse.u = adjoint2(gates[k].u);
                gates.push_back(inverse);
            }
        load(gates);
        compose(before);
        optimizeCircuit(*ws, ui);
        SCOPED_TRACE("trial " + std::to_string(trial));
        EXPECT_LE(ws->pocetb1, static_cast<int>(gates.size()));
        if (trial % 2 == 0) {
            EXPECT_LE(ws->pocetb1, static_cast<int>(gates.size()) - 2);
        }
        removedTotal += static_cast<int>(gates.size()) - ws->pocetb1;
        for (int g = 1; g <= ws->pocetb1; ++g)
            EXPECT_EQ(ws->gates[g].removed, 0);
        compose(after);
        EXPECT_LT(maxDifference(before, after, ws->matrixSize), 1e-6);
    }
    EXPECT_GT(removedTotal, 1000);
    for (const std::string& line : ui.log) {
        const bool allowed = line == beganLine || line.find("my algorithm:FALSEMatrices:TRUE") != std::string::npos;
        EXPECT_TRUE(allowed) << line;
    }
    EXPECT_TRUE(ui.messages.empty());
}

// Without the self-tests a drag that failed before is skipped while nothing it
// passed has changed; with them every drag runs. Both must give the same circuit.
TEST_F(Optimizer, SkippingRepeatedFailedDragsLeavesTheSameCircuit)
{
    // Long random circuits of three qubits; in those of seeds 18 and 92 a pass
    // meets drags whose last partner was merged away with its neighbour.
    for (const int seed : {3, 11, 18, 92}) {
        std::mt19937_64 rng(1000 + seed);
        useQubits(3);
        std::vector<TGATE1> gates;
        for (int k = 0; k < 1200 + 2 * seed; ++k)
            gates.push_back(k % 3 == 2 ? relatedGate(rng, gates.back(), 3) : randomGate(rng, 3, 2));
        std::vector<TGATE1> results[2];
        for (bool selfCheck : {true, false}) {
            HeadlessPresentation run;
            run.recordEvents = false;
            run.Kontrolptimkrok1 = selfCheck;
            load(gates);
            optimizeCircuit(*ws, run);
            results[selfCheck] = circuit();
        }
        EXPECT_LT(results[0].size(), gates.size());
        EXPECT_TRUE(sameCircuit(results[0], results[1])) << "seed " << seed;
    }
}

// The moving gate passes S (rewriting S) and then meets a CNOT it can neither
// merge with nor pass: every matrix must be back as it was.
TEST_F(Optimizer, DragOverNearlyCommutingGatesAddsNoErrorToTheCircuit)
{
    // A controlled rotation and its inverse with 400 gates between them that
    // commute with it within the tolerance (1.5e-8 each), parted by X gates on
    // their control so that they neither merge nor pass one another. Passing
    // them as they are cost the circuit 1.4e-8, far above rounding.
    std::vector<TGATE1> gates{makeGate(1, {2}, realRotation2(1.1))};
    for (int k = 0; k < 400; ++k) {
        gates.push_back(makeGate(1, {3}, nearlyRealRotation(0.4 + 0.001 * k, 1e-8)));
        gates.push_back(makeGate(3, {}, pauliX2()));
    }
    gates.push_back(makeGate(1, {2}, realRotation2(-1.1)));
    load(gates);
    TMATICA1 before;
    TMATICA1 after;
    compose(before);
    optimizeCircuit(*ws, ui);
    compose(after);
    // Rounding over 800 gates stays far below a single pass's error.
    EXPECT_LE(maxDifference(before, after, ws->matrixSize), 1e-10);
    EXPECT_LE(ws->pocetb1, static_cast<int>(gates.size()));
}

TEST_F(Optimizer, BlockedDragRestoresEveryMatrixBitForBit)
{
    std::mt19937_64 rng(3);
    const TGATE1 cnot = makeGate(1, {3}, pauliX2());
    const TGATE1 s = makeGate(1, {2}, randomUnitary2(rng));
    const TGATE1 m = makeGate(1, {}, randomUnitary2(rng));
    load({s, m});
    JumpSlot jump;
    ASSERT_EQ(prehodbrany(*ws, ui, jump, 1, 2, dragLeft), ExchangeResult::exchangeChangedB1);

    load({cnot, s, m});
    const std::vector<TGATE1> original = circuit();
    optimizeCircuit(*ws, ui);
    EXPECT_TRUE(sameCircuit(circuit(), original));
    EXPECT_EQ(passes(), 1);
}

TEST_F(Optimizer, RestoreDragPutsBackTheMovingAndEveryRecordedMatrix)
{
    std::mt19937_64 rng(31);
    std::vector<TGATE1> gates;
    for (int k = 0; k < 6; ++k)
        gates.push_back(makeGate(1 + k % 3, {}, randomUnitary2(rng)));
    load(gates);
    auto run = std::make_unique<OptimizationRun>();
    run->movingPos = 6;
    run->savedMatrices[0] = gates[5].u;
    run->rewrittenCount = 2;
    run->rewrittenGates[1] = 4;
    run->savedMatrices[1] = gates[3].u;
    run->rewrittenGates[2] = 2;
    run->savedMatrices[2] = gates[1].u;
    for (int g : {2, 4, 6})
        ws->gates[g].u = randomUnitary2(rng);
    restoreDrag(*ws, *run);
    EXPECT_TRUE(run->dragDone);
    EXPECT_TRUE(sameCircuit(circuit(), gates));
}

// P can merge with M only by a drag over n stationary gates that each take a
// rewrite; the record holds 4999 of them.
TEST_F(Optimizer, DragThatWouldOverflowItsRewriteRecordIsUndone)
{
    std::mt19937_64 rng(5);
    const TMATICA2 u = randomUnitary2(rng);
    for (int n : {4999, 5000}) {
        std::vector<TGATE1> gates{makeGate(1, {}, u)};
        for (int k = 0; k < n; ++k)  // alternate controls so that neighbours neither merge nor pass
            gates.push_back(makeGate(1, {k % 2 == 0 ? 2 : 3}, randomUnitary2(rng)));
        gates.push_back(makeGate(1, {}, adjoint2(u)));
        load(gates);
        compose(before);
        optimizeCircuit(*ws, ui);
        SCOPED_TRACE("n " + std::to_string(n));
        if (n == 4999) {
            EXPECT_EQ(ws->pocetb1, n);
            compose(after);
            EXPECT_LT(maxDifference(before, after, ws->matrixSize), 1e-6);
        } else {
            EXPECT_TRUE(sameCircuit(circuit(), gates));
        }
    }
}

TEST_F(Optimizer, WithOptimizationOffOnePassTouchesOnlyUncontrolledGates)
{
    const TMATICA2 h = awkwardUnitaries2(1e-9)[11].u;
    const TGATE1 z3 = makeGate(3, {}, awkwardUnitaries2(1e-9)[6].u);  // phase i on qubit 3
    std::vector<TGATE1> gates{z3,
                              makeGate(2, {1}, pauliX2()),
                              makeGate(3, {}, adjoint2(z3.u)),
                              makeGate(1, {}, h),
                              makeGate(1, {}, h),
                              makeGate(2, {1}, h),
                              makeGate(2, {1}, h)};
    load(gates);
    ui.roboptim = false;
    optimizeCircuit(*ws, ui);
    EXPECT_EQ(passes(), 1);
    // Only the two uncontrolled Hadamards went; the phases could cancel only past the CNOT.
    EXPECT_TRUE(sameCircuit(circuit(), {gates[0], gates[1], gates[2], gates[5], gates[6]}));

    load(gates);
    ui.clearRecords();
    ui.roboptim = true;
    optimizeCircuit(*ws, ui);
    EXPECT_EQ(ws->pocetb1, 1);
    EXPECT_GE(passes(), 2);
}

// S (uncontrolled X on qubit 1) stands between B and M. M, controlled by
// qubit 1, jumps S, passes B and merges into P; the jump gate lands right after S.
TEST_F(Optimizer, LeftDragJumpLeavesTheNewGateRightAfterTheJumpedGate)
{
    const TMATICA2 h = awkwardUnitaries2(1e-9)[11].u;
    const TGATE1 p = makeGate(3, {1, 2}, scalarMatrix2(fromPolar(1.0, 0.9)));
    const TGATE1 b = makeGate(2, {}, h);
    const TGATE1 s = makeGate(1, {}, pauliX2());
    const TGATE1 m = makeGate(2, {1}, h);
    load({p, b, s, m});
    compose(before);
    optimizeCircuit(*ws, ui);
    ASSERT_EQ(ws->pocetb1, 4);
    EXPECT_TRUE(sameQubits(ws->gates[1], m));
    EXPECT_TRUE(sameGate(ws->gates[2], b));
    EXPECT_TRUE(sameGate(ws->gates[3], s));
    EXPECT_TRUE(sameGate(ws->gates[4], makeGate(2, {}, h)));
    compose(after);
    EXPECT_LT(maxDifference(before, after, ws->matrixSize), 1e-9);
}

TEST_F(Optimizer, RightDragJumpShiftsThePassedGatesLeft)
{
    std::mt19937_64 rng(6);
    for (bool inverse : {false, true}) {
        const TMATICA2 v = randomUnitary2(rng);
        const TMATICA2 u = inverse ? v : randomUnitary2(rng);
        const TGATE1 cnot = makeGate(1, {2}, pauliX2());
        load({makeGate(3, {1, 2}, v), cnot, makeGate(3, {1, 2}, u)});
        compose(before);
        optimizeCircuit(*ws, ui);
        SCOPED_TRACE(inverse ? "inverse" : "other");
        // P jumps the CNOT and merges with M; the jump gate (P without its
        // control on the CNOT's target) follows the CNOT.
        ASSERT_EQ(ws->pocetb1, inverse ? 2 : 3);
        EXPECT_TRUE(sameGate(ws->gates[1], cnot));
        EXPECT_TRUE(sameGate(ws->gates[2], makeGate(3, {2}, v)));
        if (!inverse) {
            EXPECT_TRUE(sameQubits(ws->gates[3], makeGate(3, {1, 2}, u)));
        }
        compose(after);
        EXPECT_LT(maxDifference(before, after, ws->matrixSize), 1e-9);
    }
}

TEST_F(Optimizer, LongCircuitSwitchesTheStepDisplayOffFirst)
{
    ui.Zobroptimkroky = true;
    std::vector<TGATE1> gates;
    for (int k = 0; k < 1001; ++k)
        gates.push_back(makeGate(1 + k % 3, {1 + (k + 1) % 3}, pauliX2()));
    load(gates);
    optimizeCircuit(*ws, ui);
    EXPECT_FALSE(ui.Zobroptimkroky);
    ASSERT_GE(ui.log.size(), 2u);
    EXPECT_EQ(ui.log[0], stepsOffLine);
    EXPECT_EQ(ui.log[1], beganLine);
    EXPECT_TRUE(ui.questions.empty());

    // 1000 gates are still shown.
    ui.clearRecords();
    ui.log.clear();
    ui.Zobroptimkroky = true;
    ui.questionAnswers = {false};
    gates.pop_back();
    load(gates);
    optimizeCircuit(*ws, ui);
    EXPECT_EQ(ui.log.front(), beganLine);
    EXPECT_EQ(ui.questions.size(), 1u);
}

TEST_F(Optimizer, CancellingTheStepDisplayChangesNothingButTheCheck)
{
    std::mt19937_64 rng(7);
    std::vector<TGATE1> gates;
    for (int k = 0; k < 12; ++k)
        gates.push_back(k % 4 == 3 ? relatedGate(rng, gates.back(), 3) : randomGate(rng, 3, 2));
    load(gates);
    optimizeCircuit(*ws, ui);
    const std::vector<TGATE1> plain = circuit();

    for (bool cancel : {false, true}) {
        HeadlessPresentation shown;
        shown.Zobroptimkroky = true;
        if (cancel)
            shown.questionAnswers = {true, true, false};
        load(gates);
        optimizeCircuit(*ws, shown);
        EXPECT_TRUE(sameCircuit(circuit(), plain));
        if (cancel) {
            EXPECT_EQ(shown.questions.size(), 3u);
            EXPECT_FALSE(shown.Zobroptimkroky);
        } else {
            EXPECT_GT(shown.questions.size(), 3u);
            EXPECT_TRUE(shown.Zobroptimkroky);
        }
    }
}

TEST_F(Optimizer, StepQuestionsNameTheListEntriesOfThePair)
{
    std::mt19937_64 rng(8);
    const TMATICA2 u = randomUnitary2(rng);
    load({makeGate(3, {}, u), makeGate(2, {}, u), makeGate(2, {}, adjoint2(u))});
    ui.Zobroptimkroky = true;
    std::vector<std::string> lastDrawn;  // the drawing's "to:" caption when each question comes
    ui.onQuestion = [&](const std::string&) { lastDrawn.push_back(ui.labelText(Label::Label5)); };
    optimizeCircuit(*ws, ui);
    auto question = [](const std::string& heading, const std::string& line) {
        return heading + "\r\r" + line + "\r\r Do you want to continue showing optimization steps?";
    };
    const std::string right = "Optimization: Dragging right:";
    const std::string left = "Optimization: Dragging left:";
    const std::vector<std::string> expected{
        // gate 1 dragged right: merge, then exchange with gate 2 (other qubit), then merge with gate 3
        question(right, "Trying to merge gate 1 with gate 2."),
        question(right, "Trying to exchange gate 1 with gate 2."),
        question(right, "Trying to merge gate 2 with gate 3."),
        question(right, "Trying to exchange gate 2 with gate 3."),
        // gate 2 dragged left over gate 1, then right into its inverse
        question(left, "Trying to merge gate 1 with gate 2."),
        question(left, "Trying to exchange gate 1 with gate 2."),
        question(right, "Trying to merge gate 2 with gate 3."),
        question(right, "Gates were merged into identity"),
        // second pass on the one remaining gate asks nothing
    };
    EXPECT_EQ(ui.questions, expected);
    EXPECT_EQ(ws->pocetb1, 1);
    ASSERT_EQ(lastDrawn.size(), expected.size());
    EXPECT_EQ(lastDrawn.front(), "3");
    EXPECT_EQ(lastDrawn.back(), "1");  // the cancelled pair is no longer drawn

    // A merge into one gate names the entry that holds it.
    ui.questions.clear();
    load({makeGate(2, {}, u), makeGate(2, {}, u)});
    optimizeCircuit(*ws, ui);
    ASSERT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(ui.questions[1], question(right, "Gates were merged into gate 1"));
    EXPECT_EQ(ws->selectedGate, 1);
}

TEST_F(Optimizer, NeighbourSearchesSkipRemovedGatesAndReportBadPositions)
{
    load({makeGate(1, {}, pauliX2()), makeGate(1, {}, pauliX2()), makeGate(1, {}, pauliX2()),
          makeGate(1, {}, pauliX2())});
    ws->gates[2].removed = 1;
    ws->gates[3].removed = 1;
    int pos = 4;
    EXPECT_TRUE(najblvlavo(*ws, ui, pos));
    EXPECT_EQ(pos, 1);
    EXPECT_FALSE(najblvlavo(*ws, ui, pos));
    EXPECT_TRUE(najblvpravo(*ws, ui, pos));
    EXPECT_EQ(pos, 4);
    EXPECT_FALSE(najblvpravo(*ws, ui, pos));
    ws->gates[4].removed = 1;
    pos = 1;
    EXPECT_FALSE(najblvpravo(*ws, ui, pos));
    EXPECT_TRUE(ui.log.empty());

    pos = 5;
    EXPECT_FALSE(najblvlavo(*ws, ui, pos));
    pos = 0;
    EXPECT_FALSE(najblvpravo(*ws, ui, pos));
    EXPECT_EQ(ui.log, (std::vector<std::string>{"To procedure \"najblvlavo\" pos>pocetb1 was sent. That's BAD",
                                                "To procedure \"najblvpravo\" pos<1 was sent. That's BAD"}));
}

}  // namespace
