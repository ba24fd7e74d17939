#pragma once
// The presentation carried out with the main window's widgets. Commands run on
// the one user-interface thread; modal boxes wait inside them.
//
// Inside a command the engine reports every step; the window does not paint
// per call. The progress bar and the log are brought up to date and painted at
// most every paintIntervalMs, and always when the command ends or opens a modal
// box; input that arrives meanwhile is discarded (InputDiscarder).

#include <QDialog>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>

#include "platform/presentation.h"

class InputDiscarder;
class MainWindow;

class QtPresentation : public Presentation {
public:
    static constexpr int paintIntervalMs = 50;

    explicit QtPresentation(MainWindow& window);
    ~QtPresentation() override;

    // Runs one of the window's commands (through runCommand): input is
    // discarded while it runs, and the window is painted when it ends.
    // Commands started inside it run as part of it.
    bool runWindowCommand(const std::function<void()>& command);
    bool isRunningCommand() const { return commandDepth_ > 0; }

    // Runs `job` on a thread of its own while the status bar shows `text` beside
    // a busy bar and the window keeps painting; input stays discarded as in any
    // command. Returns the job's result; what it throws is thrown here.
    // For work of a second or more that reports no steps (encoding a picture).
    bool runBeside(std::string_view text, const std::function<bool()>& job);

    // When set, every modal box and window (messages, questions, file dialogs,
    // the gate dialog, About, User Guide) is handed to this instead of being
    // shown; its result stands for the user's answer. Tests answer through it.
    std::function<int(QDialog&)> modalHook;

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
    bool isGridVisible() const override;

    Canvas& canvas() override;
    void setDrawingVisible(bool visible) override;

    int gateSliderPosition() const override;
    void setGateSliderPosition(int position) override;
    void setGateSliderMaximum(int maximum) override;
    void setGateSliderTickFrequency(int frequency) override;
    void setGateSliderEnabled(bool enabled) override;

    int zoomSliderPosition() const override;
    void setZoomSliderPosition(int position) override;
    void setZoomSliderEnabled(bool enabled) override;

    int gateSelectorPosition() const override;
    void setGateSelectorPosition(int position) override;
    void setGateSelectorMaximum(int maximum) override;
    void setGateSelectorEnabled(bool enabled) override;

    void setLabelText(Label label, std::string_view text) override;
    void setDecompositionEnabled(bool enabled) override;

    std::string qubitFieldText() const override;
    void setQubitFieldText(std::string_view text) override;

    bool isChecked(Setting setting) const override;
    void setChecked(Setting setting, bool checked) override;
    int endStage() const override;

    std::optional<std::string> chooseOpenFile(std::string_view title, std::string_view filter) override;
    std::optional<std::string> chooseSaveFile(std::string_view title, std::string_view filter,
                                              std::string_view proposedName) override;
    bool runGateMatrixDialog(GateDialogFields& fields) override;
    void showStatus(std::string_view text) override;
    void setLowestLabel(int y, int fontHeight) override;
    void setCancelVisible(bool visible) override;
    void keepAnswering() override;
    bool cancelRequested() override { return cancelRequested_; }
    void comparisonChanged() override;
    void showUserGuide() override;
    void showAbout() override;
    void quit() override;

    // "Matrices|*.mat" as a file dialog's name filter, "Matrices (*.mat)".
    static QString nameFilter(std::string_view filter);

private:
    int execModal(QDialog& dialog);
    std::optional<std::string> chooseFile(bool saving, std::string_view title, std::string_view filter,
                                          std::string_view proposedName);
    void applyGateSliderTicks();
    // Brings the widgets up to what the engine last reported: at once outside
    // a command, when paintIntervalMs has passed inside one.
    void shownStateChanged();
    void updateWidgets();
    // Updates the widgets and processes pending events: paints, and drops input.
    void paintNow();

    MainWindow& window_;
    int gateSliderTickFrequency_ = 2;

    // The progress bar as last reported; the widget follows when painted.
    // A position of -1 is a bar reset to empty.
    int progressMaximum_ = 100;
    int progressPosition_ = -1;
    int progressStep_ = 1;
    bool progressVisible_ = false;
    QStringList pendingLogLines_;

    bool cancelRequested_ = false;  // Cancel pressed since the button was shown

    int commandDepth_ = 0;
    std::unique_ptr<InputDiscarder> inputDiscarder_;
    long long lastPaintMs_ = 0;
    bool busyCursor_ = false;

public:
    // Whether the busy cursor stands for a long command now.
    bool showsBusyCursor() const { return busyCursor_; }

    // The Settings check marks, kept in step with their menu entries: the
    // engine reads them at every step.
    std::array<bool, 4> checked_{};
};
