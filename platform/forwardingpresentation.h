#pragma once
// A presentation that passes every call on to another one; a class that
// watches some calls derives from it and overrides those alone.

#include <optional>
#include <string>
#include <string_view>

#include "platform/presentation.h"

class ForwardingPresentation : public Presentation {
public:
    explicit ForwardingPresentation(Presentation& inner) : inner_(inner) {}

    void appendLog(std::string_view line) override { inner_.appendLog(line); }
    void showMessage(std::string_view text, MessageStyle style) override { inner_.showMessage(text, style); }
    void showDetailedMessage(std::string_view text, std::string_view detail, MessageStyle style) override
    {
        inner_.showDetailedMessage(text, detail, style);
    }
    bool askOkCancel(std::string_view text) override { return inner_.askOkCancel(text); }

    void setProgressMaximum(int maximum) override { inner_.setProgressMaximum(maximum); }
    void setProgressPosition(int position) override { inner_.setProgressPosition(position); }
    void setProgressStep(int step) override { inner_.setProgressStep(step); }
    void stepProgress() override { inner_.stepProgress(); }
    void setProgressVisible(bool visible) override { inner_.setProgressVisible(visible); }

    void setGridSize(int columns, int rows) override { inner_.setGridSize(columns, rows); }
    void setGridCell(int column, int row, std::string_view text) override { inner_.setGridCell(column, row, text); }
    void setGridVisible(bool visible) override { inner_.setGridVisible(visible); }
    bool isGridVisible() const override { return inner_.isGridVisible(); }

    Canvas& canvas() override { return inner_.canvas(); }
    void setDrawingVisible(bool visible) override { inner_.setDrawingVisible(visible); }

    int gateSliderPosition() const override { return inner_.gateSliderPosition(); }
    void setGateSliderPosition(int position) override { inner_.setGateSliderPosition(position); }
    void setGateSliderMaximum(int maximum) override { inner_.setGateSliderMaximum(maximum); }
    void setGateSliderTickFrequency(int frequency) override { inner_.setGateSliderTickFrequency(frequency); }
    void setGateSliderEnabled(bool enabled) override { inner_.setGateSliderEnabled(enabled); }

    int zoomSliderPosition() const override { return inner_.zoomSliderPosition(); }
    void setZoomSliderPosition(int position) override { inner_.setZoomSliderPosition(position); }
    void setZoomSliderEnabled(bool enabled) override { inner_.setZoomSliderEnabled(enabled); }

    int gateSelectorPosition() const override { return inner_.gateSelectorPosition(); }
    void setGateSelectorPosition(int position) override { inner_.setGateSelectorPosition(position); }
    void setGateSelectorMaximum(int maximum) override { inner_.setGateSelectorMaximum(maximum); }
    void setGateSelectorEnabled(bool enabled) override { inner_.setGateSelectorEnabled(enabled); }

    void setLabelText(Label label, std::string_view text) override { inner_.setLabelText(label, text); }
    void setDecompositionEnabled(bool enabled) override { inner_.setDecompositionEnabled(enabled); }

    std::string qubitFieldText() const override { return inner_.qubitFieldText(); }
    void setQubitFieldText(std::string_view text) override { inner_.setQubitFieldText(text); }

    bool isChecked(Setting setting) const override { return inner_.isChecked(setting); }
    void setChecked(Setting setting, bool checked) override { inner_.setChecked(setting, checked); }
    int endStage() const override { return inner_.endStage(); }

    std::optional<std::string> chooseOpenFile(std::string_view title, std::string_view filter) override
    {
        return inner_.chooseOpenFile(title, filter);
    }
    std::optional<std::string> chooseSaveFile(std::string_view title, std::string_view filter,
                                              std::string_view proposedName) override
    {
        return inner_.chooseSaveFile(title, filter, proposedName);
    }
    bool runGateMatrixDialog(GateDialogFields& fields) override { return inner_.runGateMatrixDialog(fields); }
    void showStatus(std::string_view text) override { inner_.showStatus(text); }
    void setLowestLabel(int y, int fontHeight) override { inner_.setLowestLabel(y, fontHeight); }
    void setCancelVisible(bool visible) override { inner_.setCancelVisible(visible); }
    void keepAnswering() override { inner_.keepAnswering(); }
    bool cancelRequested() override { return inner_.cancelRequested(); }
    void comparisonChanged() override { inner_.comparisonChanged(); }
    void showUserGuide() override { inner_.showUserGuide(); }
    void showAbout() override { inner_.showAbout(); }
    void quit() override { inner_.quit(); }

private:
    Presentation& inner_;
};
