#include "interchange/runsummary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numeric>
#include <sstream>

#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/workspace.h"

namespace {

// A clock the test moves by hand.
struct ManualClock {
    double now = 100.0;
    RunRecorder::Clock reader()
    {
        return [this] { return now; };
    }
};

void logStatistics(Presentation& ui, int total, std::initializer_list<int> byControls)
{
    ui.appendLog("Statistics of the circuit:--------");
    ui.appendLog("Overall number of gates: " + std::to_string(total));
    int k = 0;
    for (int count : byControls)
        ui.appendLog("Number of L" + std::to_string(k++) + "(U) gates:   " + std::to_string(count));
    ui.appendLog("------------------------------------");
}

class RunSummaryTest : public ::testing::Test {
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

}  // namespace

TEST_F(RunSummaryTest, RecorderTimesEachStageAndReadsItsStatisticsFromTheLog)
{
    HeadlessPresentation inner;
    inner.endStageIndex = 1;
    ManualClock clock;
    RunRecorder recorder(inner, clock.reader());
    recorder.appendLog("a line from an earlier command");
    recorder.appendLog("Decomposition have began.");
    clock.now += 0.5;
    recorder.appendLog("Matrix Decomposition was successful.");
    recorder.appendLog("The decomposition of Tpq into Quantum logic circuit has begun.");
    clock.now += 2.0;
    logStatistics(recorder, 12, {2, 0, 10});
    clock.now += 0.25;
    recorder.appendLog("!!!Exchange of gates: Programator's mistake +-1");
    logStatistics(recorder, 30, {6, 24, 0});
    recorder.appendLog("Circuit from L1(U) gates correspond to input unitary matrix.");
    clock.now += 1.0;
    const auto input = std::make_unique<TMATICA1>(identityUnitary(3));
    loadUnitary(*ws_, *input, 3);
    ws_->pocetb1 = 0;
    recorder.finish(*ws_, *input);

    const RunSummary& summary = recorder.summary();
    EXPECT_TRUE(summary.started);
    EXPECT_TRUE(summary.reachedSynthesis);
    EXPECT_EQ(summary.endStage, 1);
    ASSERT_EQ(summary.stages.size(), 4u);
    EXPECT_EQ(summary.stages[0].name, "reduction");
    EXPECT_DOUBLE_EQ(summary.stages[0].seconds, 0.5);
    EXPECT_FALSE(summary.stages[0].hasStatistics);
    EXPECT_EQ(summary.stages[1].name, "Generalized Toffoli gates");
    EXPECT_DOUBLE_EQ(summary.stages[1].seconds, 2.0);
    EXPECT_EQ(summary.stages[1].gateCount, 12);
    EXPECT_EQ(summary.stages[1].gatesByControls, (std::vector<int>{2, 0, 10}));
    EXPECT_EQ(summary.stages[2].name, "L1(U) gates");
    EXPECT_DOUBLE_EQ(summary.stages[2].seconds, 0.25);
    EXPECT_EQ(summary.stages[2].gateCount, 30);
    EXPECT_EQ(summary.stages[2].gatesByControls, (std::vector<int>{6, 24, 0}));
    EXPECT_EQ(summary.stages[3].name, "final checks and drawing");
    EXPECT_DOUBLE_EQ(summary.stages[3].seconds, 1.0);
    EXPECT_FALSE(summary.stages[3].hasStatistics);
    EXPECT_DOUBLE_EQ(summary.totalSeconds, 3.75);
    EXPECT_EQ(summary.inputUnitary, CheckState::passed);
    EXPECT_EQ(summary.reduction, CheckState::passed);
    EXPECT_EQ(summary.reconstruction, CheckState::passed);
    EXPECT_EQ(summary.finalCircuit, CheckState::passed);
    EXPECT_EQ(summary.gateUnitarity, CheckState::passed);
    EXPECT_EQ(summary.problemLines, 1);
    // The empty circuit is the identity, composed without kompozicia's range messages.
    ASSERT_TRUE(summary.maxEntryDifference.has_value());
    EXPECT_EQ(*summary.maxEntryDifference, 0.0);
    EXPECT_EQ(inner.log.size(), 18u);
    EXPECT_TRUE(inner.messages.empty());
}

TEST_F(RunSummaryTest, RecorderReportsEachFailedCheck)
{
    struct Script {
        const char* name;
        std::vector<std::string> lines;
        std::string message;
        CheckState RunSummary::*check;
        bool circuitBuilt;
    };
    const std::vector<Script> scripts = {
        {"input not unitary",
         {"Matrix for decomposition is not unitary. Program can not work further with such matrix.!!!"},
         "",
         &RunSummary::inputUnitary,
         false},
        {"reduction cancelled",
         {"!! After the reduction, not all off-diagonal elements are zero.",
          ":(( reduction was not correct, so the decomposition is cancelled."},
         "",
         &RunSummary::reduction,
         false},
        {"reconstruction differs",
         {":(( Matrix Decomposition was unsuccessful.",
          "The decomposition of Tpq into Quantum logic circuit has begun."},
         "",
         &RunSummary::reconstruction,
         true},
        {"L1(U) circuit differs",
         {"Matrix Decomposition was successful.", "The decomposition of Tpq into Quantum logic circuit has begun."},
         "!!!!!Circuit from L1(U) gates does not correspond to the input unitary matrix.",
         &RunSummary::finalCircuit,
         true},
        {"basic circuit differs",
         {"Matrix Decomposition was successful.", "The decomposition of Tpq into Quantum logic circuit has begun."},
         "!!!!! Circuit from Basic gates does not correspond to input unitary matrix!!!",
         &RunSummary::finalCircuit,
         true},
        {"gate not unitary",
         {"Matrix Decomposition was successful.", "The decomposition of Tpq into Quantum logic circuit has begun."},
         "2x2 matrix in definition of gate number:7 is not unitary.",
         &RunSummary::gateUnitarity,
         true},
    };
    const auto input = std::make_unique<TMATICA1>(identityUnitary(2));
    loadUnitary(*ws_, *input, 2);
    ws_->pocetb1 = 0;
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        HeadlessPresentation inner;
        RunRecorder recorder(inner);
        recorder.appendLog("Decomposition have began.");
        for (const std::string& line : script.lines)
            recorder.appendLog(line);
        if (!script.message.empty())
            recorder.showMessage(script.message, MessageStyle::information);
        recorder.finish(*ws_, *input);
        const RunSummary& summary = recorder.summary();
        EXPECT_EQ(summary.*script.check, CheckState::failed);
        EXPECT_EQ(summary.reachedSynthesis, script.circuitBuilt);
        EXPECT_EQ(summary.maxEntryDifference.has_value(), script.circuitBuilt);
        EXPECT_EQ(summary.messages, script.message.empty() ? 0 : 1);
        EXPECT_EQ(inner.messages.size(), script.message.empty() ? 0u : 1u);
        if (!script.circuitBuilt) {
            ASSERT_EQ(summary.stages.size(), 1u);
            EXPECT_EQ(summary.stages[0].name, "reduction");
            EXPECT_EQ(summary.gateUnitarity, CheckState::notRun);
        }
    }
}

TEST(RunRecorder, ForwardsEveryCallToThePresentationItWraps)
{
    HeadlessPresentation direct;
    HeadlessPresentation wrapped;
    RunRecorder recorder(wrapped);
    direct.questionAnswers = {false};
    wrapped.questionAnswers = {false};
    direct.saveFileAnswer = wrapped.saveFileAnswer = "out.mat";
    direct.openFileAnswer = wrapped.openFileAnswer = "in.mat";
    direct.endStageIndex = wrapped.endStageIndex = 2;
    // The same calls through the recorder and straight to a presentation record the same events.
    auto script = [](Presentation& ui) {
        ui.appendLog("line");
        ui.showMessage("message", MessageStyle::error);
        EXPECT_FALSE(ui.askOkCancel("question"));
        ui.setProgressMaximum(7);
        ui.setProgressPosition(3);
        ui.setProgressStep(2);
        ui.stepProgress();
        ui.setProgressVisible(true);
        ui.setGridSize(4, 5);
        ui.setGridCell(1, 2, "cell");
        ui.setGridVisible(false);
        EXPECT_FALSE(ui.isGridVisible());
        ui.canvas().fillRect(1, 2, 3, 4);
        ui.setDrawingVisible(true);
        ui.setGateSliderPosition(9);
        ui.setGateSliderMaximum(90);
        ui.setGateSliderTickFrequency(3);
        ui.setGateSliderEnabled(true);
        EXPECT_EQ(ui.gateSliderPosition(), 9);
        ui.setZoomSliderPosition(140);
        ui.setZoomSliderEnabled(true);
        EXPECT_EQ(ui.zoomSliderPosition(), 140);
        ui.setGateSelectorMaximum(60);
        ui.setGateSelectorPosition(6);
        ui.setGateSelectorEnabled(true);
        EXPECT_EQ(ui.gateSelectorPosition(), 6);
        ui.setLabelText(Label::Label11, "42");
        ui.setDecompositionEnabled(false);
        ui.setQubitFieldText("4");
        EXPECT_EQ(ui.qubitFieldText(), "4");
        ui.setChecked(Setting::roboptim, false);
        EXPECT_FALSE(ui.isChecked(Setting::roboptim));
        EXPECT_EQ(ui.endStage(), 2);
        EXPECT_EQ(ui.chooseOpenFile("Open", "*.mat"), "in.mat");
        EXPECT_EQ(ui.chooseSaveFile("Save", "*.mat", "a.mat"), "out.mat");
        GateDialogFields fields;
        EXPECT_TRUE(ui.runGateMatrixDialog(fields));
        ui.showUserGuide();
        ui.showAbout();
        ui.quit();
    };
    script(direct);
    script(recorder);
    ASSERT_EQ(wrapped.events.size(), direct.events.size());
    for (std::size_t k = 0; k < direct.events.size(); ++k) {
        EXPECT_EQ(wrapped.events[k].kind, direct.events[k].kind) << k;
        EXPECT_EQ(wrapped.events[k].text, direct.events[k].text) << k;
        EXPECT_EQ(wrapped.events[k].a, direct.events[k].a) << k;
        EXPECT_EQ(wrapped.events[k].b, direct.events[k].b) << k;
    }
    EXPECT_EQ(wrapped.recordingCanvas.ops.size(), 1u);
    EXPECT_EQ(direct.recordingCanvas.ops.size(), 1u);
    EXPECT_TRUE(wrapped.quitRequested);
}

TEST_F(RunSummaryTest, RealRunsAtEveryEndStageAgreeWithTheCircuit)
{
    const std::size_t statisticsBlocks[] = {3, 3, 2, 1};  // end stage -1, 0, 1, 2
    for (int endStage = -1; endStage <= 2; ++endStage) {
        SCOPED_TRACE("end stage " + std::to_string(endStage));
        HeadlessPresentation ui;
        ui.endStageIndex = endStage;
        const auto input = std::make_unique<TMATICA1>(seededRandomUnitary(3, 5));
        loadUnitary(*ws_, *input, 3);
        const RunSummary summary = decomposeRecorded(*ws_, ui);

        EXPECT_TRUE(ui.logContains("Decomposition have began."));
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(summary.endStage, endStage);
        EXPECT_EQ(summary.qubitCount, 3);
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

TEST_F(RunSummaryTest, ARefusedInputDoesNotReportTheCircuitOfAnEarlierRun)
{
    HeadlessPresentation ui;
    ui.endStageIndex = 2;
    loadUnitary(*ws_, seededRandomUnitary(2, 8), 2);
    ASSERT_TRUE(decomposeRecorded(*ws_, ui).reachedSynthesis);
    ASSERT_GT(ws_->pocetb1, 0);
    ws_->matrixA(1, 1) = Complex{3.0, 0.0};
    const RunSummary summary = decomposeRecorded(*ws_, ui);
    EXPECT_EQ(summary.inputUnitary, CheckState::failed);
    EXPECT_FALSE(summary.reachedSynthesis);
    EXPECT_EQ(summary.gateCount, 0);
    EXPECT_FALSE(summary.maxEntryDifference.has_value());
    EXPECT_EQ(summary.reduction, CheckState::notRun);
    const std::string json = runSummaryJson(summary);
    EXPECT_NE(json.find("\"inputUnitary\": false,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"maxEntryDifference\": null,"), std::string::npos) << json;
}

TEST(RunSummaryJson, WritesTheKnownText)
{
    RunSummary summary;
    summary.endStage = -1;
    summary.qubitCount = 2;
    summary.started = true;
    summary.reachedSynthesis = true;
    summary.stages.push_back({"reduction", 0.125, false, 0, {}});
    summary.stages.push_back({"Generalized Toffoli gates", 0.5, true, 6, {4, 2}});
    summary.stages.push_back({"odd \"name\"\n", 0.0, false, 0, {}});
    summary.inputUnitary = CheckState::passed;
    summary.reduction = CheckState::passed;
    summary.reconstruction = CheckState::failed;
    summary.gateUnitarity = CheckState::passed;
    summary.gateCount = 6;
    summary.cnotCount = 2;
    summary.maxEntryDifference = 1.5e-15;
    summary.problemLines = 1;
    summary.messages = 0;
    summary.totalSeconds = 0.6250004;
    EXPECT_EQ(runSummaryJson(summary),
              "{\n"
              "  \"endStage\": \"basic gates\",\n"
              "  \"endStageIndex\": -1,\n"
              "  \"qubitCount\": 2,\n"
              "  \"circuitBuilt\": true,\n"
              "  \"gateCount\": 6,\n"
              "  \"cnotCount\": 2,\n"
              "  \"maxEntryDifference\": 1.4999999999999999e-15,\n"
              "  \"checks\": {\n"
              "    \"inputUnitary\": true,\n"
              "    \"reduction\": true,\n"
              "    \"reconstruction\": false,\n"
              "    \"finalCircuit\": null,\n"
              "    \"gateUnitarity\": true\n"
              "  },\n"
              "  \"stages\": [\n"
              "    {\"name\": \"reduction\", \"seconds\": 0.125},\n"
              "    {\"name\": \"Generalized Toffoli gates\", \"seconds\": 0.5, \"gates\": 6, \"gatesByControls\": [4, 2]},\n"
              "    {\"name\": \"odd \\\"name\\\"\\u000a\", \"seconds\": 0}\n"
              "  ],\n"
              "  \"problemLines\": 1,\n"
              "  \"messages\": 0,\n"
              "  \"totalSeconds\": 0.625\n"
              "}\n");
    summary.maxEntryDifference = std::nan("");
    summary.stages.clear();
    const std::string json = runSummaryJson(summary);
    EXPECT_NE(json.find("\"maxEntryDifference\": null,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"stages\": [],"), std::string::npos) << json;
}

TEST(RunSummaryJson, SaveWritesTheFileOrShowsWhyNot)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "udecomp-run-summary-test";
    std::filesystem::create_directories(folder);
    RunSummary summary;
    summary.qubitCount = 3;
    HeadlessPresentation ui;
    const std::string path = (folder / "summary.json").string();
    ASSERT_TRUE(saveRunSummary(summary, path, ui));
    std::ifstream file(path, std::ios::binary);
    std::stringstream written;
    written << file.rdbuf();
    EXPECT_EQ(written.str(), runSummaryJson(summary));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(saveRunSummary(summary, (folder / "missing" / "summary.json").string(), ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
    std::filesystem::remove_all(folder);
}
