#pragma once
// A summary of one decomposition run, gathered by watching what the driver tells the
// user: the statistics block that closes every stage, the lines and messages of its
// checks, and the time between them. Written out as JSON.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/kernel/matrix.h"
#include "platform/presentation.h"

struct Workspace;

struct StageRecord {
    std::string name;
    double seconds = 0.0;
    // From the statistics block that ended the stage; the reduction and the closing
    // checks have none.
    bool hasStatistics = false;
    int gateCount = 0;
    std::vector<int> gatesByControls;  // [k] = number of gates with k controls
};

enum class CheckState { notRun, passed, failed };

struct RunSummary {
    int endStage = -1;  // item index of the end-stage box at the start of the run
    int qubitCount = 0;
    bool started = false;          // the driver logged its first line
    bool reachedSynthesis = false;  // the circuit belongs to this run
    std::vector<StageRecord> stages;
    CheckState inputUnitary = CheckState::notRun;
    CheckState reduction = CheckState::notRun;
    CheckState reconstruction = CheckState::notRun;
    CheckState finalCircuit = CheckState::notRun;
    CheckState gateUnitarity = CheckState::notRun;
    int gateCount = 0;
    int cnotCount = 0;
    // Largest entry modulus of (matrix of the circuit - input); empty when no circuit was built.
    std::optional<double> maxEntryDifference;
    int problemLines = 0;  // log lines of failed self-checks ("!..." or ":((...")
    int messages = 0;      // modal messages shown during the run
    double totalSeconds = 0.0;
};

// A presentation that forwards every call to `inner` and records the run from the
// log lines and messages passing through. The clock returns seconds.
class RunRecorder final : public Presentation {
public:
    using Clock = std::function<double()>;

    explicit RunRecorder(Presentation& inner, Clock clock = {});

    // Closes the run after decompose: the time since the last stage, the gate and CNOT
    // counts and the largest difference between the composed circuit and `input`,
    // which is `composedDifference` when the run's final check found it already.
    void finish(const Workspace& ws, const TMATICA1& input, std::optional<double> composedDifference = {});
    const RunSummary& summary() const { return summary_; }

    void appendLog(std::string_view line) override;
    void showMessage(std::string_view text, MessageStyle style) override;
    void showDetailedMessage(std::string_view text, std::string_view detail, MessageStyle style) override;
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
    void showUserGuide() override { inner_.showUserGuide(); }
    void showAbout() override { inner_.showAbout(); }
    void quit() override { inner_.quit(); }

private:
    void closeStage(std::string name, double now);
    void countMessage(std::string_view text);

    Presentation& inner_;
    Clock clock_;
    RunSummary summary_;
    double startTime_ = 0.0;
    double lastMark_ = 0.0;
    bool inStatistics_ = false;
    StageRecord statistics_;
    int statisticsBlocks_ = 0;
};

// Runs decompose on ws.matrixA through a RunRecorder around `ui` and returns the
// finished summary.
RunSummary decomposeRecorded(Workspace& ws, Presentation& ui);

// The summary as a JSON object (UTF-8, ending with a newline); checks not run are null.
std::string runSummaryJson(const RunSummary& summary);

// Writes runSummaryJson to `path`; on a file error shows it as an error message and returns false.
bool saveRunSummary(const RunSummary& summary, const std::string& path, Presentation& ui);
