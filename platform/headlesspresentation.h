#pragma once
// The presentation without a window: every call is recorded in order, the
// controls and settings are plain fields, questions are answered from a script.
// Tests and the command line use it.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/presentation.h"
#include "platform/recordingcanvas.h"

enum class EventKind {
    log, message, question,
    progressMaximum, progressPosition, progressStep, progressStepIt, progressVisible,
    gridSize, gridCell, gridVisible, drawingVisible,
    gateSliderPosition, gateSliderMaximum, gateSliderTickFrequency, gateSliderEnabled,
    zoomSliderPosition, zoomSliderEnabled,
    gateSelectorPosition, gateSelectorMaximum, gateSelectorEnabled,
    label, decompositionEnabled, qubitFieldText, settingChanged,
    openDialog, saveDialog, gateMatrixDialog, userGuide, about, quit,
};

struct Event {
    EventKind kind;
    std::string text;
    int a = 0;
    int b = 0;
};

struct RecordedMessage {
    std::string text;
    MessageStyle style;
    std::string detail;  // empty for a message without one
};

class HeadlessPresentation : public Presentation {
public:
    // Everything in call order. `recordEvents` = false keeps only the lists
    // below (the command line uses that to save memory on long runs).
    std::vector<Event> events;
    bool recordEvents = true;

    std::vector<std::string> log;
    std::vector<RecordedMessage> messages;
    std::vector<std::string> questions;
    // Answers to questions, taken from the front; OK once the script is empty.
    std::deque<bool> questionAnswers;

    // Optional observers, called as each line or message arrives.
    std::function<void(const std::string&)> onLog;
    std::function<void(const RecordedMessage&)> onMessage;
    std::function<void(const std::string&)> onQuestion;

    // Control state.
    int progressMaximum = 100;
    int progressPosition = 0;
    int progressStepSize = 1;
    bool progressVisible = false;
    int gridColumns = 0;
    int gridRows = 0;
    std::map<std::pair<int, int>, std::string> gridCells;  // (column, row) -> text
    bool gridVisible = true;
    bool drawingVisible = false;
    int gateSliderPos = 1;
    int gateSliderMax = 50;
    int gateSliderTicks = 2;
    bool gateSliderOn = false;
    int zoomSliderPos = 125;
    bool zoomSliderOn = false;
    int gateSelectorPos = 0;
    int gateSelectorMax = 0;
    bool gateSelectorOn = false;
    std::map<Label, std::string> labels;
    bool decompositionOn = true;
    std::string qubitField = "2";

    // Settings at their start-up values.
    bool roboptim = true;
    bool Kontrolptimkrok1 = false;
    bool Zobroptimkroky = false;
    bool Zuzeniezobrazenia1 = true;
    int endStageIndex = -1;

    // Scripted dialog answers.
    std::optional<std::string> openFileAnswer;
    std::optional<std::string> saveFileAnswer;
    bool gateDialogAnswer = true;
    GateDialogFields gateDialogFields;  // what the dialog would return
    // Answers of the dialog's next openings, taken before the two above;
    // an empty optional is a cancel.
    std::deque<std::optional<GateDialogFields>> gateDialogAnswers;
    bool quitRequested = false;
    std::vector<std::string> statusNotes;  // status bar notes, kept apart from `events`
    // Asked by cancelRequested: the user's Cancel, or Ctrl-C in Python.
    std::function<bool()> cancelWhen;
    bool cancelVisible = false;
    int comparisonShown = 0;  // times the comparison window was brought up to date

    RecordingCanvas recordingCanvas;

    void appendLog(std::string_view line) override;
    void showMessage(std::string_view text, MessageStyle style) override;
    void showDetailedMessage(std::string_view text, std::string_view detail, MessageStyle style) override;
    bool askOkCancel(std::string_view text) override;

    void setProgressMaximum(int maximum) override;
    void setProgressPosition(int position) override;
    void setProgressStep(int step) override;
    void stepProgress() override;
    void setProgressVisible(bool visible) override;

    void setGridSize(int columns, int rows) override;
    void setGridCell(int column, int row, std::string_view text) override;
    void setGridVisible(bool visible) override;
    bool isGridVisible() const override { return gridVisible; }

    Canvas& canvas() override { return recordingCanvas; }
    void setDrawingVisible(bool visible) override;

    int gateSliderPosition() const override { return gateSliderPos; }
    void setGateSliderPosition(int position) override;
    void setGateSliderMaximum(int maximum) override;
    void setGateSliderTickFrequency(int frequency) override;
    void setGateSliderEnabled(bool enabled) override;

    int zoomSliderPosition() const override { return zoomSliderPos; }
    void setZoomSliderPosition(int position) override;
    void setZoomSliderEnabled(bool enabled) override;

    int gateSelectorPosition() const override { return gateSelectorPos; }
    void setGateSelectorPosition(int position) override;
    void setGateSelectorMaximum(int maximum) override;
    void setGateSelectorEnabled(bool enabled) override;

    void setLabelText(Label label, std::string_view text) override;
    void setDecompositionEnabled(bool enabled) override;

    std::string qubitFieldText() const override { return qubitField; }
    void setQubitFieldText(std::string_view text) override;

    bool isChecked(Setting setting) const override;
    void setChecked(Setting setting, bool checked) override;
    int endStage() const override { return endStageIndex; }

    std::optional<std::string> chooseOpenFile(std::string_view title, std::string_view filter) override;
    std::optional<std::string> chooseSaveFile(std::string_view title, std::string_view filter,
                                              std::string_view proposedName) override;
    bool runGateMatrixDialog(GateDialogFields& fields) override;
    void showStatus(std::string_view text) override;
    void setCancelVisible(bool visible) override { cancelVisible = visible; }
    bool cancelRequested() override { return cancelWhen && cancelWhen(); }
    void comparisonChanged() override { ++comparisonShown; }
    void showUserGuide() override;
    void showAbout() override;
    void quit() override;

    // Convenience for tests.
    std::string gridCell(int column, int row) const;
    std::string labelText(Label label) const;
    bool logContains(std::string_view line) const;
    void clearRecords();

private:
    void record(EventKind kind, std::string text = {}, int a = 0, int b = 0);
};
