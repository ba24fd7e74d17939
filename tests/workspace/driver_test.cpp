#include "workspace/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/synthesis/circuit.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/workspace.h"
#include "workspace/driversentences.h"

namespace {

const std::string began(driverText::runStart);
const std::string success(driverText::reconstructionPassed);
const std::string synthesisBegun(driverText::synthesisStart);
const char* const optimizationBegun = "The optimization algorithm has begun.";
const std::string l1Correct(driverText::l1CircuitPassed);
const std::string basicCorrect(driverText::basicCircuitPassed);

bool isProblemLine(const std::string& line) { return line.starts_with("!") || line.starts_with(":(("); }

bool sameDoubles(const TMATICA1& x, const TMATICA1& y, int n)
{
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            if (x(r, c).re != y(r, c).re || x(r, c).im != y(r, c).im)
                return false;
    return true;
}

int countLines(const HeadlessPresentation& ui, std::string_view line)
{
    return static_cast<int>(std::count(ui.log.begin(), ui.log.end(), line));
}

std::vector<std::string> statisticsBlock(int total, const std::vector<int>& byControls)
{
    std::vector<std::string> lines{std::string(driverText::statisticsStart), std::string(driverText::gateCountPrefix) + std::to_string(total)};
    for (std::size_t k = 0; k < byControls.size(); ++k)
        lines.push_back("Number of L" + std::to_string(k) + "(U) gates:   " + std::to_string(byControls[k]));
    lines.push_back(std::string(driverText::statisticsEnd));
    return lines;
}

struct DriverFixture : ::testing::Test {
    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws = createWorkspace(ui);

    void run(const TMATICA1& u, int qubits, int endStage, bool optimize)
    {
        ui.clearRecords();
        ui.endStageIndex = endStage;
        ui.roboptim = optimize;
        loadUnitary(*ws, u, qubits);
        decompose(*ws, ui);
    }

    void expectCleanRun(const std::string& what)
    {
        for (const std::string& line : ui.log)
            EXPECT_FALSE(isProblemLine(line)) << what << ": " << line;
        for (const RecordedMessage& message : ui.messages)
            ADD_FAILURE() << what << ": message " << message.text;
    }
};

using Driver = DriverFixture;

}  // namespace

TEST_F(Driver, ToffoliStageReproducesRandomAndAwkwardUnitaries)
{
    for (int qubits = 2; qubits <= 5; ++qubits) {
        std::vector<NamedUnitary> inputs = awkwardUnitaries(qubits);
        for (std::uint64_t seed = 1; seed <= (qubits == 5 ? 2u : 4u); ++seed)
            inputs.push_back({"random " + std::to_string(seed), seededRandomUnitary(qubits, seed)});
        for (const NamedUnitary& input : inputs) {
            const std::string what = input.name + " on " + std::to_string(qubits) + " qubits";
            run(input.matrix, qubits, 2, false);
            ASSERT_GE(ui.log.size(), 4u) << what;
            EXPECT_EQ(ui.log[0], began);
            // A matrix unitary only within the tolerance says that its nearest unitary one is decomposed.
            const std::size_t said = ui.log[1].starts_with("The matrix is unitary only within the tolerance") ? 1 : 0;
            EXPECT_EQ(said == 1, input.name.starts_with("perturbed")) << what;
            EXPECT_EQ(ui.log[1 + said], success) << what;
            EXPECT_EQ(ui.log[2 + said], synthesisBegun);
            // One statistics block; an empty circuit adds the drawing's line about it.
            EXPECT_EQ(ui.log.size(), said + 3u + 2u + qubits + 1u + (ws->pocetb1 == 0)) << what;
            EXPECT_LE(compositionError(*ws, ui, input.matrix), ws->tolerance) << what;
            EXPECT_LE(maxControlCount(*ws), qubits - 1) << what;
            EXPECT_LE(maxDifference(ws->matrixA, input.matrix, ws->matrixSize), ws->tolerance) << what;
            expectCleanRun(what);
        }
    }
}

TEST_F(Driver, StatisticsCountGatesByControls)
{
    ws->qubitCount = 3;
    ws->pocetb1 = 0;
    for (int type : {0, 2, 0, 1, 2, 2}) {
        ASSERT_TRUE(appendGate(*ws, ui));
        ws->gates[ws->pocetb1].type = static_cast<std::uint8_t>(type);
    }
    circuitStatistics(*ws, ui);
    EXPECT_EQ(ui.log, statisticsBlock(6, {2, 1, 3}));

    // -I on two qubits: D has angle pi everywhere; one pair needs NOTs around its gate.
    run(scalarUnitary(2, {-1.0, 0.0}), 2, 2, false);
    const std::vector<std::string> tail(ui.log.end() - 5, ui.log.end());
    EXPECT_EQ(tail, statisticsBlock(4, {2, 2}));
}

TEST_F(Driver, IdentityGivesAnEmptyCircuit)
{
    ws->pocetb1 = 17;
    run(identityUnitary(3), 3, 2, false);
    EXPECT_EQ(ws->tpqCount, 0);
    EXPECT_EQ(ws->pocetb1, 0);
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(ws->dAngles[i], 0.0);
    std::vector<std::string> expected{began, success, synthesisBegun};
    for (const std::string& line : statisticsBlock(0, {0, 0, 0}))
        expected.push_back(line);
    expected.push_back("Procedure is asking for drawing of the non-existing gate, so I stop drawing the circuit.");
    EXPECT_EQ(ui.log, expected);
    EXPECT_EQ(ui.labelText(Label::Label11), "0");
    EXPECT_TRUE(ui.messages.empty());

    // Every end stage copes with the empty circuit without a complaint.
    for (int endStage : {-1, 0, 1}) {
        run(identityUnitary(2), 2, endStage, true);
        expectCleanRun("identity, end stage " + std::to_string(endStage));
    }
}

TEST_F(Driver, NonUnitaryInputIsRefusedAndTheOldCircuitStays)
{
    run(seededRandomUnitary(2, 3), 2, 2, false);
    const int gatesBefore = ws->pocetb1;
    const TGATE1 firstGate = ws->gates[1];
    TMATICA1 broken = seededRandomUnitary(2, 4);
    broken(2, 3).re += 1e-3;
    run(broken, 2, 2, false);
    const std::vector<std::string> expected{
        began, std::string(driverText::inputNotUnitary)};
    EXPECT_EQ(ui.log, expected);
    EXPECT_EQ(ws->pocetb1, gatesBefore);
    EXPECT_EQ(ws->gates[1].target, firstGate.target);
    EXPECT_TRUE(sameDoubles(ws->matrixA, broken, 4));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(ui.recordingCanvas.ops.empty());
}

TEST_F(Driver, MoreThanFiveQubitsAreRefusedBeforeAnythingChanges)
{
    run(seededRandomUnitary(2, 3), 2, 2, false);
    const int gatesBefore = ws->pocetb1;
    const int tpqBefore = ws->tpqCount;
    ui.clearRecords();
    ws->qubitCount = 6;
    ws->matrixSize = 64;
    for (int r = 1; r <= 64; ++r)
        for (int c = 1; c <= 64; ++c)
            ws->matrixA(r, c) = r == c ? Complex{0.0, 1.0} : Complex{};
    const TMATICA1 before = ws->matrixA;
    decompose(*ws, ui);
    EXPECT_EQ(ui.log, std::vector<std::string>{began});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
    EXPECT_NE(ui.messages[0].text.find("64"), std::string::npos);
    EXPECT_EQ(ws->pocetb1, gatesBefore);
    EXPECT_EQ(ws->tpqCount, tpqBefore);
    EXPECT_TRUE(sameDoubles(ws->matrixA, before, 64));
}

TEST_F(Driver, ReductionFailureCancelsTheRun)
{
    // Accepted under the loose tolerance a previous command left, then
    // checked at 1e-7: the last diagonal entry has modulus 1.001.
    run(seededRandomUnitary(2, 5), 2, 2, false);
    const int gatesBefore = ws->pocetb1;
    TMATICA1 almost = identityUnitary(2);
    almost(4, 4) = {1.001, 0.0};
    ui.clearRecords();
    loadUnitary(*ws, almost, 2);
    ws->tolerance = 1e-2;
    decompose(*ws, ui);
    const std::vector<std::string> expected{
        began,
        "In reduction of matrix of the size 4 zeros were everywhere in a[n,.] and a[.,n], except for a[n,n], which "
        "does not have modul 1 => BIG PROBLEM",
        std::string(driverText::diagonalModulus),
        std::string(driverText::reductionCancelled),
    };
    EXPECT_EQ(ui.log, expected);
    EXPECT_EQ(ws->tolerance, 1e-7);
    EXPECT_EQ(ws->pocetb1, gatesBefore);
    EXPECT_TRUE(ui.progressVisible);
    EXPECT_TRUE(ui.recordingCanvas.ops.empty());
}

TEST_F(Driver, FinishedRunSetsUpTheBrowsingControls)
{
    ui.Zobroptimkroky = true;
    ui.gateSelectorMax = 77;
    run(seededRandomUnitary(3, 6), 3, 2, false);
    EXPECT_FALSE(ui.Zuzeniezobrazenia1);
    EXPECT_EQ(ui.gateSliderMax, ws->pocetb1);
    EXPECT_EQ(ui.gateSliderTicks, ws->pocetb1 / 50);
    EXPECT_EQ(ui.gateSelectorMax, ws->pocetb1);
    EXPECT_EQ(ui.labelText(Label::Label11), std::to_string(ws->pocetb1));
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_EQ(ui.progressPosition, 0);
    EXPECT_FALSE(ui.gridVisible);
    EXPECT_TRUE(ui.drawingVisible);
    EXPECT_TRUE(ui.gateSliderOn && ui.zoomSliderOn && ui.gateSelectorOn);
    EXPECT_FALSE(ui.recordingCanvas.ops.empty());

    // 5000 gates or more leave the selector's range as it was.
    ui.Zobroptimkroky = false;
    ui.gateSelectorMax = 77;
    run(seededRandomUnitary(5, 6), 5, 2, false);
    ASSERT_GE(ws->pocetb1, 5000);
    EXPECT_EQ(ui.gateSelectorMax, 77);
    EXPECT_EQ(ui.gateSliderMax, ws->pocetb1);
}

TEST_F(Driver, EndStagesFollowTheChosenStage)
{
    struct Case {
        int endStage;
        int statisticsBlocks;
        std::string_view finalCheck;  // empty when no final check is logged
        int maxControls;
    };
    const Case cases[] = {{-1, 3, {}, 1}, {0, 3, basicCorrect, 1}, {1, 2, l1Correct, 1}, {2, 1, {}, 2}};
    const TMATICA1 u = seededRandomUnitary(3, 21);
    for (const Case& c : cases)
        for (bool optimize : {false, true}) {
            const std::string what =
                "end stage " + std::to_string(c.endStage) + (optimize ? " optimized" : " not optimized");
            run(u, 3, c.endStage, optimize);
            EXPECT_EQ(countLines(ui, driverText::statisticsStart), c.statisticsBlocks) << what;
            EXPECT_EQ(countLines(ui, basicCorrect), c.finalCheck == basicCorrect ? 1 : 0) << what;
            EXPECT_EQ(countLines(ui, l1Correct), c.finalCheck == l1Correct ? 1 : 0) << what;
            EXPECT_LE(maxControlCount(*ws), c.maxControls) << what;
            // The basic-gate stage is optimized even when the check is clear.
            const int optimizations = (optimize ? (c.endStage < 2 ? 2 : 1) : 0) + (c.endStage < 1 ? 1 : 0);
            EXPECT_EQ(countLines(ui, optimizationBegun), optimizations) << what;
            if (!c.finalCheck.empty()) {
                EXPECT_TRUE(sameDoubles(ws->matrixA, u, 8)) << what << ": matrixA restored exactly";
            }
            EXPECT_LE(compositionError(*ws, ui, u), 1e-6) << what;
            expectCleanRun(what);
        }
}

TEST_F(Driver, BasicGatesAreOneQubitGatesAndCnots)
{
    for (int qubits = 2; qubits <= 4; ++qubits) {
        const TMATICA1 u = seededRandomUnitary(qubits, 40 + qubits);
        run(u, qubits, 0, false);
        for (int g = 1; g <= ws->pocetb1; ++g) {
            const TGATE1& gate = ws->gates[g];
            ASSERT_TRUE(gate.type == 0 || (gate.type == 1 && matEqual2(gate.u, ws->pauliX, ws->tolerance)))
                << "gate " << g << " on " << qubits << " qubits";
        }
        EXPECT_TRUE(ui.logContains(basicCorrect));
        expectCleanRun(std::to_string(qubits) + " qubits to basic gates");
    }
}

TEST_F(Driver, L1FinalCheckUsesTheToleranceOfTheL1Stage)
{
    run(seededRandomUnitary(3, 9), 3, 1, false);
    EXPECT_EQ(ws->tolerance, 1e-5);
    EXPECT_TRUE(ui.logContains(l1Correct));
    run(seededRandomUnitary(3, 9), 3, 1, true);
    EXPECT_EQ(ws->tolerance, 1e-7);
    EXPECT_TRUE(ui.logContains(l1Correct));
}
