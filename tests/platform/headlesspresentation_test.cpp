#include "platform/headlesspresentation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(HeadlessPresentation, RecordsEveryCallInOrderWithItsArguments)
{
    HeadlessPresentation ui;
    Presentation& p = ui;
    p.appendLog("The optimization algorithm has begun.");
    p.showMessage("Procedure kompozicia: pzac<1 was sent!!!", MessageStyle::error);
    p.setProgressMaximum(7);
    p.setGridCell(3, 2, "0.50i");
    p.setLabelText(Label::Label11, "12");
    p.setChecked(Setting::Kontrolptimkrok1, true);

    ASSERT_EQ(ui.events.size(), 6u);
    EXPECT_EQ(ui.events[0].kind, EventKind::log);
    EXPECT_EQ(ui.events[0].text, "The optimization algorithm has begun.");
    EXPECT_EQ(ui.events[1].kind, EventKind::message);
    EXPECT_EQ(ui.events[1].a, static_cast<int>(MessageStyle::error));
    EXPECT_EQ(ui.events[2].kind, EventKind::progressMaximum);
    EXPECT_EQ(ui.events[2].a, 7);
    EXPECT_EQ(ui.events[3].kind, EventKind::gridCell);
    EXPECT_EQ(ui.events[3].a, 3);
    EXPECT_EQ(ui.events[3].b, 2);
    EXPECT_EQ(ui.events[4].text, "12");
    EXPECT_EQ(ui.events[5].kind, EventKind::settingChanged);

    EXPECT_EQ(ui.log, std::vector<std::string>{"The optimization algorithm has begun."});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
    EXPECT_EQ(ui.gridCell(3, 2), "0.50i");
    EXPECT_EQ(ui.gridCell(2, 3), "");
    EXPECT_EQ(ui.labelText(Label::Label11), "12");
    EXPECT_EQ(ui.labelText(Label::Label12), "");
    EXPECT_TRUE(ui.logContains("The optimization algorithm has begun."));
    EXPECT_FALSE(ui.logContains("The optimization algorithm has"));
}

TEST(HeadlessPresentation, AnswersQuestionsFromTheScriptThenWithOk)
{
    HeadlessPresentation ui;
    ui.questionAnswers = {false, true, false};
    std::vector<bool> answers;
    for (int i = 0; i < 5; ++i)
        answers.push_back(ui.askOkCancel("Continue?"));
    EXPECT_EQ(answers, (std::vector<bool>{false, true, false, true, true}));
    EXPECT_EQ(ui.questions.size(), 5u);
    EXPECT_EQ(ui.events[0].a, 0);
    EXPECT_EQ(ui.events[4].a, 1);
}

TEST(HeadlessPresentation, SettingsStartAtTheirDefaultsAndAreReadLive)
{
    HeadlessPresentation ui;
    const Presentation& p = ui;
    EXPECT_TRUE(p.isChecked(Setting::roboptim));
    EXPECT_FALSE(p.isChecked(Setting::Kontrolptimkrok1));
    EXPECT_FALSE(p.isChecked(Setting::Zobroptimkroky));
    EXPECT_TRUE(p.isChecked(Setting::Zuzeniezobrazenia1));
    EXPECT_EQ(p.endStage(), -1);
    ui.roboptim = false;
    ui.endStageIndex = 1;
    EXPECT_FALSE(p.isChecked(Setting::roboptim));
    EXPECT_EQ(p.endStage(), 1);
    ui.setChecked(Setting::Zuzeniezobrazenia1, false);
    EXPECT_FALSE(ui.Zuzeniezobrazenia1);
    EXPECT_TRUE(ui.roboptim == false && ui.Kontrolptimkrok1 == false && ui.Zobroptimkroky == false);
}

TEST(HeadlessPresentation, ControlsKeepTheirPositionsInsideTheirRanges)
{
    HeadlessPresentation ui;
    ui.setGateSliderMaximum(10);
    ui.setGateSliderPosition(25);
    EXPECT_EQ(ui.gateSliderPosition(), 10);
    ui.setGateSliderPosition(-3);
    EXPECT_EQ(ui.gateSliderPosition(), 1);
    ui.setGateSliderPosition(8);
    ui.setGateSliderMaximum(5);
    EXPECT_EQ(ui.gateSliderPosition(), 5);

    ui.setZoomSliderPosition(300);
    EXPECT_EQ(ui.zoomSliderPosition(), 200);
    ui.setZoomSliderPosition(10);
    EXPECT_EQ(ui.zoomSliderPosition(), 45);

    ui.setGateSelectorMaximum(4);
    ui.setGateSelectorPosition(9);
    EXPECT_EQ(ui.gateSelectorPosition(), 4);
    ui.setGateSelectorMaximum(0);
    EXPECT_EQ(ui.gateSelectorPosition(), 0);
}

TEST(HeadlessPresentation, ProgressStepsByItsStepAndStartsOverPastTheMaximum)
{
    HeadlessPresentation ui;
    ui.setProgressMaximum(3);
    ui.setProgressPosition(0);
    ui.setProgressStep(2);
    ui.stepProgress();
    EXPECT_EQ(ui.progressPosition, 2);
    ui.stepProgress();
    EXPECT_EQ(ui.progressPosition, 0);
    ui.setProgressStep(1);
    for (int i = 0; i < 3; ++i)
        ui.stepProgress();
    EXPECT_EQ(ui.progressPosition, 3);
}

TEST(HeadlessPresentation, ResizingTheGridDropsCellsOutsideIt)
{
    HeadlessPresentation ui;
    ui.setGridSize(9, 9);
    ui.setGridCell(8, 8, "x");
    ui.setGridCell(4, 4, "y");
    ui.setGridCell(0, 4, "11");
    ui.setGridSize(5, 5);
    EXPECT_EQ(ui.gridCell(8, 8), "");
    EXPECT_EQ(ui.gridCell(4, 4), "y");
    EXPECT_EQ(ui.gridCell(0, 4), "11");
    EXPECT_EQ(ui.gridCells.size(), 2u);
}

TEST(HeadlessPresentation, ObserversSeeEachLineAndMayLogAgain)
{
    HeadlessPresentation ui;
    std::vector<std::string> seen;
    ui.onLog = [&](const std::string& line) {
        if (line == "first")
            for (int i = 0; i < 100; ++i)  // forces the list to grow while the observer runs
                ui.appendLog("echo");
        seen.push_back(line);  // read after the list has moved
    };
    ui.appendLog("first");
    EXPECT_EQ(seen.back(), "first");
    EXPECT_EQ(seen.size(), 101u);
    EXPECT_EQ(ui.log.size(), 101u);

    // Logging a line the presentation already holds copies it first.
    HeadlessPresentation plain;
    plain.appendLog("a line long enough to live outside any small-string buffer");
    for (int i = 0; i < 40; ++i)
        plain.appendLog(plain.log[0]);
    EXPECT_EQ(plain.log.back(), plain.log.front());
    EXPECT_EQ(plain.events.back().text, plain.log.front());

    std::vector<std::string> messages;
    plain.onMessage = [&](const RecordedMessage& m) { messages.push_back(m.text); };
    plain.showMessage("Problem", MessageStyle::information);
    EXPECT_EQ(messages, std::vector<std::string>{"Problem"});
}

TEST(HeadlessPresentation, CanKeepListsWithoutTheEventRecord)
{
    HeadlessPresentation ui;
    ui.recordEvents = false;
    ui.appendLog("line");
    ui.setGridCell(1, 1, "1.00");
    EXPECT_TRUE(ui.events.empty());
    EXPECT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(ui.gridCell(1, 1), "1.00");

    ui.recordEvents = true;
    ui.appendLog("again");
    ui.canvas().textOut(1, 2, "U");
    ui.clearRecords();
    EXPECT_TRUE(ui.events.empty());
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(ui.recordingCanvas.ops.empty());
    EXPECT_EQ(ui.gridCell(1, 1), "1.00") << "control state is not a record";
}

TEST(HeadlessPresentation, DialogsReturnTheirScriptedAnswers)
{
    HeadlessPresentation ui;
    EXPECT_FALSE(ui.chooseOpenFile("Open", "*.mat").has_value());
    ui.saveFileAnswer = "out.mat";
    EXPECT_EQ(ui.chooseSaveFile("Save", "*.mat", "a.mat").value(), "out.mat");
    EXPECT_EQ(ui.events.back().text, "Save|*.mat|a.mat");

    GateDialogFields fields;
    ui.gateDialogFields.u11 = "1+0i";
    EXPECT_TRUE(ui.runGateMatrixDialog(fields));
    EXPECT_EQ(fields.u11, "1+0i");
    ui.gateDialogAnswer = false;
    fields.u11 = "kept";
    EXPECT_FALSE(ui.runGateMatrixDialog(fields));
    EXPECT_EQ(fields.u11, "kept");
    ui.quit();
    EXPECT_TRUE(ui.quitRequested);
}
