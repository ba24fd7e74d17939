// What decompose reports of a run: checks, stage statistics and times, what the user saw.
#include "workspace/driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>

#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/driversentences.h"
#include "workspace/workspace.h"

namespace {

class RunReportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ws_ = createWorkspace(ui_).release(); }
    static void TearDownTestSuite()
    {
        delete ws_;
        ws_ = nullptr;
    }
    static inline HeadlessPresentation ui_;
    static inline Workspace* ws_ = nullptr;
};

// Every gate's matrix negated once the last stage's statistics are logged: the
// gates stay unitary, but the circuit no longer equals the input.
void spoilCircuitAfterStatistics(HeadlessPresentation& ui, Workspace& ws, int block)
{
    ui.onLog = [&ws, block, seen = 0](const std::string& line) mutable {
        if (line != driverText::statisticsEnd || ++seen != block)
            return;
        for (int g = 1; g <= ws.pocetb1; ++g) {
            TMATICA2& u = ws.gates[g].u;
            u = {-u.u11, -u.u12, -u.u21, -u.u22};
        }
    };
}

}  // namespace

TEST_F(RunReportTest, StagesAreTimedByTheClockAndCountedAsTheLogShowsThem)
{
    HeadlessPresentation ui;
    ui.endStageIndex = 1;
    loadUnitary(*ws_, seededRandomUnitary(3, 5), 3);
    double now = 10.0;
    const RunSummary summary = decompose(*ws_, ui, [&now] { return now += 0.5; });

    // One reading at the start, one at the end of each of the four stages.
    ASSERT_EQ(summary.stages.size(), 4u);
    const char* names[] = {"reduction", "Generalized Toffoli gates", "L1(U) gates", "final checks and drawing"};
    const bool statistics[] = {false, true, true, false};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(summary.stages[k].name, names[k]);
        EXPECT_DOUBLE_EQ(summary.stages[k].seconds, 0.5);
        EXPECT_EQ(summary.stages[k].hasStatistics, statistics[k]);
    }
    EXPECT_DOUBLE_EQ(summary.totalSeconds, 2.0);
    const StageRecord& l1 = summary.stages[2];
    EXPECT_EQ(l1.gatesByControls.size(), 3u);
    EXPECT_EQ(std::accumulate(l1.gatesByControls.begin(), l1.gatesByControls.end(), 0), ws_->pocetb1);
    EXPECT_EQ(l1.gatesByControls[2], 0);
    const std::string countLine = std::string(driverText::gateCountPrefix) + std::to_string(l1.gateCount);
    EXPECT_TRUE(ui.logContains(countLine));
    EXPECT_EQ(summary.finalCircuit, CheckState::passed);
    EXPECT_EQ(summary.problemLines, 0);
    EXPECT_EQ(summary.messages, 0);
}

TEST_F(RunReportTest, RealRunsAtEveryEndStageAgreeWithTheCircuit)
{
    const std::size_t statisticsBlocks[] = {3, 3, 2, 1};  // end stage -1, 0, 1, 2
    for (int endStage = -1; endStage <= 2; ++endStage) {
        SCOPED_TRACE("end stage " + std::to_string(endStage));
        HeadlessPresentation ui;
        ui.endStageIndex = endStage;
        const auto input = std::make_unique<TMATICA1>(seededRandomUnitary(3, 5));
        loadUnitary(*ws_, *input, 3);
        const RunSummary summary = decomposeRecorded(*ws_, ui);

        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(summary.endStage, endStage);
        EXPECT_EQ(summary.qubitCount, 3);
        EXPECT_TRUE(summary.circuitBuilt);
        ASSERT_EQ(summary.stages.size(), statisticsBlocks[endStage + 1] + 2);
        const StageRecord& last = summary.stages[summary.stages.size() - 2];
        EXPECT_EQ(last.gateCount, ws_->pocetb1);
        EXPECT_EQ(std::accumulate(last.gatesByControls.begin(), last.gatesByControls.end(), 0), ws_->pocetb1);
        EXPECT_EQ(summary.gateCount, ws_->pocetb1);
        int cnots = 0;
        for (int g = 1; g <= ws_->pocetb1; ++g)
            cnots += ws_->gates[g].type == 1 && ws_->gates[g].u.u12.re > 0.9999999 && ws_->gates[g].u.u21.re > 0.9999999;
        EXPECT_EQ(summary.cnotCount, cnots);
        if (endStage <= 0) {
            EXPECT_EQ(summary.cnotCount, last.gatesByControls[1]);  // every L1(U) gate is a CNOT there
        }
        ASSERT_TRUE(summary.maxEntryDifference.has_value());
        EXPECT_DOUBLE_EQ(*summary.maxEntryDifference, compositionError(*ws_, ui, *input));
        EXPECT_LT(*summary.maxEntryDifference, 1e-6);
        EXPECT_EQ(summary.inputUnitary, CheckState::passed);
        EXPECT_EQ(summary.reduction, CheckState::passed);
        EXPECT_EQ(summary.reconstruction, CheckState::passed);
        EXPECT_EQ(summary.gateUnitarity, CheckState::passed);
        EXPECT_EQ(summary.finalCircuit, endStage == 0 || endStage == 1 ? CheckState::passed : CheckState::notRun);
        double stageTotal = 0.0;
        for (const StageRecord& stage : summary.stages) {
            EXPECT_GE(stage.seconds, 0.0) << stage.name;
            stageTotal += stage.seconds;
        }
        EXPECT_NEAR(stageTotal, summary.totalSeconds, 1e-9);
    }
}

TEST_F(RunReportTest, EachFailedCheckIsReportedWithWhatTheUserSaw)
{
    // Refused input: nothing after the first check runs.
    HeadlessPresentation ui;
    ui.endStageIndex = 2;
    loadUnitary(*ws_, seededRandomUnitary(2, 8), 2);
    ASSERT_TRUE(decomposeRecorded(*ws_, ui).circuitBuilt);
    ASSERT_GT(ws_->pocetb1, 0);
    ws_->matrixA(1, 1) = Complex{3.0, 0.0};
    RunSummary summary = decomposeRecorded(*ws_, ui);
    EXPECT_EQ(summary.inputUnitary, CheckState::failed);
    EXPECT_EQ(summary.reduction, CheckState::notRun);
    EXPECT_FALSE(summary.circuitBuilt);
    EXPECT_EQ(summary.gateCount, 0);
    EXPECT_FALSE(summary.maxEntryDifference.has_value());
    ASSERT_EQ(summary.stages.size(), 1u);
    EXPECT_EQ(summary.stages[0].name, "reduction");

    // Reduction refused at 1e-7 after a loose tolerance let the input through.
    TMATICA1 almost = identityUnitary(2);
    almost(4, 4) = {1.001, 0.0};
    loadUnitary(*ws_, almost, 2);
    ws_->tolerance = 1e-2;
    summary = decompose(*ws_, ui);
    EXPECT_EQ(summary.inputUnitary, CheckState::passed);
    EXPECT_EQ(summary.reduction, CheckState::failed);
    EXPECT_EQ(summary.reconstruction, CheckState::notRun);
    EXPECT_FALSE(summary.circuitBuilt);
    EXPECT_EQ(summary.problemLines, 2);  // the diagonal line and the cancellation

    // Final check of either end stage after the circuit was spoilt.
    for (int endStage : {0, 1}) {
        SCOPED_TRACE("end stage " + std::to_string(endStage));
        HeadlessPresentation spoiling;
        spoiling.endStageIndex = endStage;
        spoilCircuitAfterStatistics(spoiling, *ws_, endStage == 0 ? 3 : 2);
        loadUnitary(*ws_, seededRandomUnitary(2, 9), 2);
        summary = decomposeRecorded(*ws_, spoiling);
        EXPECT_EQ(summary.reconstruction, CheckState::passed);
        EXPECT_EQ(summary.finalCircuit, CheckState::failed);
        EXPECT_EQ(summary.gateUnitarity, CheckState::passed);
        EXPECT_EQ(summary.messages, 1);
        ASSERT_EQ(spoiling.messages.size(), 1u);
        EXPECT_EQ(spoiling.messages[0].text,
                  endStage == 0 ? driverText::basicCircuitFailed : driverText::l1CircuitFailed);
        ASSERT_TRUE(summary.maxEntryDifference.has_value());
        EXPECT_GT(*summary.maxEntryDifference, 1e-3);
    }
}
