#pragma once
// Everything the engine and the window's commands need from the user interface.
// The engine never talks to a window system directly: the headless
// implementation records calls (tests, command line), the Qt one shows widgets.

#include <optional>
#include <string>
#include <string_view>

#include "platform/canvas.h"

enum class MessageStyle { information, error };

// The four check marks of the Settings menu, named after their menu entries.
enum class Setting {
    roboptim,            // "Perform an optimization"
    Kontrolptimkrok1,    // "Check after each stage of decomposition"
    Zobroptimkroky,      // "Show optimization steps"
    Zuzeniezobrazenia1,  // "Contraction of the circuit representation"
};

// Labels of the main window that commands and the drawing write.
enum class Label {
    Label3,   // first gate drawn ("Gates from:")
    Label5,   // last gate drawn ("to:")
    Label7,   // zoom value
    Label8,   // selected gate number
    Label11,  // number of gates
    Label12,  // selected gate's u11
    Label13,  // u12
    Label14,  // u21
    Label15,  // u22
};

// Texts of the gate-matrix dialog; the dialog keeps them between uses.
struct GateDialogFields {
    std::string type = "0";
    std::string target = "1";
    std::string controls = "2";
    std::string u11 = "0+0i";
    std::string u12 = "1+0i";
    std::string u21 = "1+0i";
    std::string u22 = "0+0i";
};

class Presentation {
public:
    virtual ~Presentation() = default;

    // Message log (Memo1).
    virtual void appendLog(std::string_view line) = 0;

    // Modal message with an OK button; returns when the user has closed it.
    virtual void showMessage(std::string_view text, MessageStyle style) = 0;
    // The same with a detail the user can open (where a refused text stood);
    // presentations without such a place show the text alone.
    virtual void showDetailedMessage(std::string_view text, std::string_view /*detail*/, MessageStyle style)
    {
        showMessage(text, style);
    }
    // Modal message with OK and Cancel (information icon); true for OK.
    virtual bool askOkCancel(std::string_view text) = 0;

    // Progress bar (ProgressBar1).
    virtual void setProgressMaximum(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    virtual void setProgressStep(int step) = 0;
    virtual void stepProgress() = 0;
    virtual void setProgressVisible(bool visible) = 0;

    // Matrix grid (StringGrid1); column 0 and row 0 are the header cells.
    virtual void setGridSize(int columns, int rows) = 0;
    virtual void setGridCell(int column, int row, std::string_view text) = 0;
    virtual void setGridVisible(bool visible) = 0;
    // Presentations without a grid of their own (forwarders, recorders) report it shown.
    virtual bool isGridVisible() const { return true; }

    // Drawing surface (Image1).
    virtual Canvas& canvas() = 0;
    virtual void setDrawingVisible(bool visible) = 0;

    // Gate slider (TrackBar1).
    virtual int gateSliderPosition() const = 0;
    virtual void setGateSliderPosition(int position) = 0;
    virtual void setGateSliderMaximum(int maximum) = 0;
    virtual void setGateSliderTickFrequency(int frequency) = 0;
    virtual void setGateSliderEnabled(bool enabled) = 0;

    // Zoom slider (TrackBar2).
    virtual int zoomSliderPosition() const = 0;
    virtual void setZoomSliderPosition(int position) = 0;
    virtual void setZoomSliderEnabled(bool enabled) = 0;

    // Gate selector (UpDown1).
    virtual int gateSelectorPosition() const = 0;
    virtual void setGateSelectorPosition(int position) = 0;
    virtual void setGateSelectorMaximum(int maximum) = 0;
    virtual void setGateSelectorEnabled(bool enabled) = 0;

    virtual void setLabelText(Label label, std::string_view text) = 0;

    // The Decomposition button (Button3).
    virtual void setDecompositionEnabled(bool enabled) = 0;

    // Qubit-count field (Edit1). Setting the text does not run the change
    // handler: the caller runs Edit1Change itself when the text changed.
    virtual std::string qubitFieldText() const = 0;
    virtual void setQubitFieldText(std::string_view text) = 0;

    // Settings, read each time they are needed.
    virtual bool isChecked(Setting setting) const = 0;
    virtual void setChecked(Setting setting, bool checked) = 0;
    // Item index of the end-stage box: -1 none chosen, 0 basic gates,
    // 1 L1(U) gates, 2 Generalized Toffoli gates, 3 basic gates, fewest CNOTs.
    virtual int endStage() const = 0;

    // Dialogs of the window's commands; an empty result means cancelled.
    virtual std::optional<std::string> chooseOpenFile(std::string_view title, std::string_view filter) = 0;
    virtual std::optional<std::string> chooseSaveFile(std::string_view title, std::string_view filter,
                                                      std::string_view proposedName) = 0;
    // Shows the gate-matrix dialog modally; true when closed with OK.
    virtual bool runGateMatrixDialog(GateDialogFields& fields) = 0;
    // A passing note in the window's status bar, such as what a command wrote.
    virtual void showStatus(std::string_view /*text*/) {}
    // Where the lowest band label drawn stands (its row and font height), so
    // that a window keeps every band it counts within reach.
    virtual void setLowestLabel(int /*y*/, int /*fontHeight*/) {}

    // A long computation running beside the caller: the Cancel button is shown
    // while it runs, the caller lets the window answer between its looks at
    // the work, and asks whether the user wants it stopped.
    virtual void setCancelVisible(bool /*visible*/) {}
    virtual void keepAnswering() {}
    virtual bool cancelRequested() { return false; }

    // The workspace's comparison of the routes changed (a route finished, or a
    // new comparison began): its window shows it as it stands.
    virtual void comparisonChanged() {}

    virtual void showUserGuide() = 0;
    virtual void showAbout() = 0;
    virtual void quit() = 0;
};
