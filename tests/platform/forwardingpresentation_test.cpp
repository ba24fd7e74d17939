#include "platform/forwardingpresentation.h"

#include <gtest/gtest.h>

#include "platform/headlesspresentation.h"

TEST(ForwardingPresentation, PassesEveryCallToThePresentationItWraps)
{
    HeadlessPresentation direct;
    HeadlessPresentation wrapped;
    ForwardingPresentation forwarder(wrapped);
    direct.questionAnswers = {false};
    wrapped.questionAnswers = {false};
    direct.saveFileAnswer = wrapped.saveFileAnswer = "out.mat";
    direct.openFileAnswer = wrapped.openFileAnswer = "in.mat";
    direct.endStageIndex = wrapped.endStageIndex = 2;
    // The same calls through the forwarder and straight to a presentation record the same events.
    auto script = [](Presentation& ui) {
        ui.appendLog("line");
        ui.showMessage("message", MessageStyle::error);
        ui.showDetailedMessage("text", "detail", MessageStyle::information);
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
    script(forwarder);
    ASSERT_EQ(wrapped.events.size(), direct.events.size());
    for (std::size_t k = 0; k < direct.events.size(); ++k) {
        EXPECT_EQ(wrapped.events[k].kind, direct.events[k].kind) << k;
        EXPECT_EQ(wrapped.events[k].text, direct.events[k].text) << k;
        EXPECT_EQ(wrapped.events[k].a, direct.events[k].a) << k;
        EXPECT_EQ(wrapped.events[k].b, direct.events[k].b) << k;
    }
    EXPECT_EQ(wrapped.messages.size(), 2u);
    EXPECT_EQ(wrapped.messages[1].detail, "detail");
    EXPECT_EQ(wrapped.recordingCanvas.ops.size(), 1u);
    EXPECT_TRUE(wrapped.quitRequested);
}
