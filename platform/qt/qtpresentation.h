#pragma once
// The presentation carried out with the main window's widgets. Commands run on
// the one user-interface thread; modal boxes wait inside them.

#include <QDialog>

#include <functional>

#include "platform/presentation.h"

class MainWindow;
class QElapsedTimer;

class QtPresentation : public Presentation {
public:
    explicit QtPresentation(MainWindow& window);
    ~QtPresentation() override;

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
    void showUserGuide() override;
    void showAbout() override;
    void quit() override;

    // "Matrices|*.mat" as a file dialog's name filter, "Matrices (*.mat)".
    static QString nameFilter(std::string_view filter);

private:
    int execModal(QDialog& dialog);
    std::optional<std::string> chooseFile(bool saving, std::string_view title, std::string_view filter,
                                          std::string_view proposedName);
    void progressChanged();
    void applyGateSliderTicks();

    MainWindow& window_;
    int progressStep_ = 1;
    int gateSliderTickFrequency_ = 2;
    std::unique_ptr<QElapsedTimer> logRepaintClock_;
};
