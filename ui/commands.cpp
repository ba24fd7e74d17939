#include "ui/commands.h"
#include "platform/replacefile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <exception>
#include <memory>
#include <sstream>
#include <string>

#include "engine/kernel/errors.h"
#include "engine/kernel/randomunitary.h"
#include "engine/synthesis/circuit.h"
#include "platform/filename.h"
#include "platform/nullcanvas.h"
#include "platform/presentation.h"
#include "ui/circuitdrawing.h"
#include "ui/gatehittest.h"
#include "ui/matrixgrid.h"
#include "workspace/driver.h"
#include "workspace/driversentences.h"
#include "workspace/matrixfile.h"
#include "workspace/numericalrun.h"
#include "interchange/npyfile.h"
#include "interchange/qasm/exporter.h"
#include "interchange/qasm/importer.h"
#include "interchange/wholenumber.h"
#include "ui/edit1change.h"
#include "workspace/matriximport.h"
#include "workspace/workspace.h"

namespace {

// The value of the leading (optionally signed) number after blanks, 0 when there is none.
long long leadingInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    // Saturates: any such value is refused.
    const auto value = static_cast<long long>(readDigits(text.substr(i), 1'000'000'000).value);
    return negative ? -value : value;
}

bool isQubitOf(long long qubit, int qubitCount) { return qubit >= 1 && qubit <= qubitCount; }

void redrawFromFirstShownGate(const Workspace& ws, Presentation& ui)
{
    drawCircuit(ws, ui, ws.gates, ws.firstShownGate, ws.pocetb1);
}

// Exports write the circuit; with no gates there is nothing worth a file, nor
// worth asking for its name.
bool refuseEmptyCircuit(const Workspace& ws, Presentation& ui)
{
    if (ws.pocetb1 > 0)
        return false;
    ui.showMessage(noCircuitToExportMessage, MessageStyle::error);
    return true;
}

void noteExport(const Workspace& ws, Presentation& ui, const std::string& fileName, std::string_view how)
{
    ui.showStatus("Wrote " + fileName + ": the circuit of " + std::to_string(ws.pocetb1) + " gates " +
                  std::string(how) + ".");
}

std::string notOpenedText(const std::string& fileName) { return "The file \"" + fileName + "\" was not opened: "; }

// Runs a reader of `fileName`; an error that does not name the file is given its name.
template <typename Reader>
auto naming(const std::string& fileName, Reader read)
{
    try {
        return read();
    } catch (const ConversionError& error) {
        throw ConversionError(notOpenedText(fileName) + error.what(), error.detail());
    } catch (const FileError& error) {
        if (std::string_view(error.what()).find(fileName) != std::string_view::npos)
            throw;
        throw FileError(notOpenedText(fileName) + error.what());
    }
}

// Runs a step that may empty the circuit (a new qubit count); when it did, the
// window stops showing the old one, also when the step ends in an error.
template <typename Step>
void emptyingCircuit(Workspace& ws, Presentation& ui, Step step)
{
    const int gatesBefore = ws.pocetb1;
    const auto showIfEmptied = [&] {
        if (gatesBefore > 0 && ws.pocetb1 == 0)
            showNoCircuit(ws, ui);
    };
    try {
        step();
    } catch (...) {
        showIfEmptied();
        throw;
    }
    showIfEmptied();
}

}  // namespace

void startUpWindow(Workspace& ws, Presentation& ui)
{
    ui.setGridSize(ws.matrixSize + 1, ws.matrixSize + 1);
    ui.setZoomSliderPosition(125);
    ui.setDrawingVisible(false);
    ui.setGridVisible(true);
    showMatrixInGrid(ws, ui, ws.matrixA);
}

bool runCommand(Presentation& ui, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const ConversionError& error) {
        ui.showDetailedMessage(error.what(), error.detail(), MessageStyle::error);
    } catch (const FileError& error) {
        ui.showMessage(error.what(), MessageStyle::error);
    } catch (const std::exception& error) {
        // Nothing else should escape a command; if it does, the user's work survives.
        ui.showMessage(error.what(), MessageStyle::error);
    }
    return false;
}

void Button1Click(Workspace& ws, Presentation& ui)
{
    const bool hidingGrid = ui.isGridVisible();
    ui.setGridVisible(!hidingGrid);
    showMatrixInGrid(ws, ui, ws.matrixA);
    // The gate tool hid the drawing under its grid; with the grid gone the
    // circuit must show again, not an empty panel.
    if (hidingGrid && ws.pocetb1 > 0) {
        ui.setDrawingVisible(true);
        redrawFromFirstShownGate(ws, ui);
    }
}

void Button3Click(Workspace& ws, Presentation& ui)
{
    // The optimization steps frame the gates they move by selecting them; the
    // user's selection (the selector, "Selected Gate:", "U:") is what stays.
    const int selectedByUser = ws.selectedGate;
    const auto restoreSelection = [&] {
        if (ws.selectedGate == selectedByUser)
            return;
        ws.selectedGate = selectedByUser;
        if (ws.pocetb1 > 0)
            drawCircuit(ws, ui, ws.gates, 1, ws.pocetb1);
    };
    ui.setDecompositionEnabled(false);
    try {
        const RunSummary summary = decompose(ws, ui);
        // The log keeps the driver's own line; how far from unitary goes under it in the status bar.
        if (summary.inputDefect)
            ui.showStatus(driverText::unitarityDistance(*summary.inputDefect, summary.inputTolerance));
    } catch (const RunCancelled&) {
        // Cancelled before the run changed anything: only the log says so.
        ui.appendLog(driverText::runCancelled);
    } catch (...) {
        restoreSelection();
        ui.setDecompositionEnabled(true);
        throw;
    }
    restoreSelection();
    ui.setDecompositionEnabled(true);
}

void Button5Click(Workspace& ws, Presentation& ui)
{
    ui.setGridVisible(true);
    randomUnitary(ws, ui, ws.matrixA, 100);
    showMatrixInGrid(ws, ui, ws.matrixA);
}

void openMatrixFile(Workspace& ws, Presentation& ui, const std::string& fileName)
{
    bool loaded = false;
    emptyingCircuit(ws, ui, [&] { loaded = naming(fileName, [&] { return loadMatrixFile(ws, ui, fileName); }); });
    if (!loaded) {
        ui.showMessage(notOpenedText(fileName) + "its matrix size is not 4, 8, 16 or 32 (2 to 5 qubits).",
                       MessageStyle::error);
        return;
    }
    showMatrixInGrid(ws, ui, ws.matrixA);
    ui.appendLog(matrixLoadedLine);
}

namespace {

void importQasm(Workspace& ws, Presentation& ui, const std::string& fileName);
void importNpy(Workspace& ws, Presentation& ui, const std::string& fileName);

// A .npy or OpenQASM file by its extension, read as its import reads it; true
// when the name had one of those extensions.
bool importByExtension(Workspace& ws, Presentation& ui, const std::string& fileName)
{
    if (hasExtension(fileName, ".npy")) {
        importNpy(ws, ui, fileName);
        return true;
    }
    if (hasExtension(fileName, ".qasm")) {
        importQasm(ws, ui, fileName);
        return true;
    }
    return false;
}

}  // namespace

void Otvori1Click(Workspace& ws, Presentation& ui)
{
    const auto fileName = ui.chooseOpenFile(openDialogTitle, matrixFileFilter);
    if (!fileName || fileName->empty())
        return;
    if (!importByExtension(ws, ui, *fileName))
        openMatrixFile(ws, ui, *fileName);
}

void Uloi1Click(Workspace& ws, Presentation& ui)
{
    const auto fileName = ui.chooseSaveFile(saveDialogTitle, matrixFileFilter, proposedMatrixFileName);
    if (!fileName || fileName->empty())
        return;
    saveMatrixFile(ws, ui, *fileName);
}

namespace {

// The text is made before the file dialog, so a circuit the format cannot
// hold is refused before the user picks a name for it.
void exportQasmText(Workspace& ws, Presentation& ui, const QasmExport& text, std::string_view title,
                    std::string_view filter, std::string_view how)
{
    if (!text.ok()) {
        ui.showMessage(text.refusal, MessageStyle::error);
        return;
    }
    const auto fileName = ui.chooseSaveFile(title, filter, proposedQasmFileName);
    if (!fileName || fileName->empty())
        return;
    if (writeTextFile(*fileName, text.text, ui))
        noteExport(ws, ui, *fileName, how);
}

void importQasm(Workspace& ws, Presentation& ui, const std::string& fileName)
{
    emptyingCircuit(ws, ui, [&] { naming(fileName, [&] { importQasmFile(ws, ui, fileName); }); });
    showMatrixInGrid(ws, ui, ws.matrixA);
}

void importNpy(Workspace& ws, Presentation& ui, const std::string& fileName)
{
    emptyingCircuit(ws, ui, [&] { naming(fileName, [&] { importNpyFile(ws, ui, fileName); }); });
    showMatrixInGrid(ws, ui, ws.matrixA);
}

}  // namespace

void ExportQasm3Click(Workspace& ws, Presentation& ui)
{
    if (refuseEmptyCircuit(ws, ui))
        return;
    exportQasmText(ws, ui, qasm3Text(ws), exportQasm3DialogTitle, qasm3FileFilter, "as OpenQASM 3");
}

void ExportQasm2Click(Workspace& ws, Presentation& ui)
{
    if (refuseEmptyCircuit(ws, ui))
        return;
    exportQasmText(ws, ui, qasm2Text(ws), exportQasm2DialogTitle, qasm2FileFilter, "as OpenQASM 2.0");
}

void ImportQasmClick(Workspace& ws, Presentation& ui)
{
    const auto fileName = ui.chooseOpenFile(importQasmDialogTitle, qasmFileFilter);
    if (!fileName || fileName->empty())
        return;
    importQasm(ws, ui, *fileName);
}

void ImportNpyClick(Workspace& ws, Presentation& ui)
{
    const auto fileName = ui.chooseOpenFile(importNpyDialogTitle, npyFileFilter);
    if (!fileName || fileName->empty())
        return;
    importNpy(ws, ui, *fileName);
}

void DropFile(Workspace& ws, Presentation& ui, const std::string& fileName)
{
    if (hasExtension(fileName, ".mat")) {
        openMatrixFile(ws, ui, fileName);
        return;
    }
    if (importByExtension(ws, ui, fileName))
        return;
    ui.showMessage(notOpenedText(fileName) + "a dropped file has to be " + std::string(droppedFileKinds) + ".",
                   MessageStyle::error);
}

void QubitFieldChange(Workspace& ws, Presentation& ui)
{
    emptyingCircuit(ws, ui, [&] { Edit1Change(ws, ui); });
}

void ContractionToggled(Workspace& ws, Presentation& ui)
{
    if (ws.pocetb1 > 0)
        redrawFromFirstShownGate(ws, ui);
}

void showNoCircuit(Workspace& ws, Presentation& ui)
{
    ws.selectedGate = 0;
    ws.firstShownGate = 1;
    Canvas& canvas = ui.canvas();
    canvas.setBrushColor(white);
    canvas.fillRect(0, 0, ws.drawArea.Right + ws.drawArea.Left, ws.drawArea.Bottom + ws.drawArea.Top);
    ui.setLabelText(Label::Label3, "0");
    ui.setLabelText(Label::Label5, "0");
    ui.setLabelText(Label::Label11, "0");
    ui.setLabelText(Label::Label8, "0");
    for (Label label : {Label::Label12, Label::Label13, Label::Label14, Label::Label15})
        ui.setLabelText(label, "");
    ui.setGateSelectorPosition(0);
    ui.setGateSelectorMaximum(0);
    ui.setGateSliderPosition(1);
    ui.setGateSliderEnabled(false);
    ui.setZoomSliderEnabled(false);
    ui.setGateSelectorEnabled(false);
}

bool exportPictureSvg(const Workspace& ws, Presentation& ui, const std::string& path)
{
    // Laid out in memory first so a picture that does not fit leaves no file behind.
    std::ostringstream text;
    if (!writeCircuitPicture(ws, ui, text)) {
        ui.showMessage(pictureTooLargeMessage, MessageStyle::error);
        return false;
    }
    const std::string picture = text.str();
    return writeTextFile(path, picture, ui);
}

bool refuseWholePicture(const Workspace& ws, Presentation& ui)
{
    if (refuseEmptyCircuit(ws, ui))
        return true;
    const auto layout = circuitPictureLayout(windowDrawingView(ws, ui), ws.gates, ws.pocetb1);
    if (!layout) {
        ui.showMessage(pictureTooLargeMessage, MessageStyle::error);
        return true;
    }
    if (layout->height <= largestSensiblePictureHeight)
        return false;
    ui.showMessage("The whole circuit of " + std::to_string(ws.pocetb1) + " gates makes a picture " +
                       std::to_string(layout->width) + " x " + std::to_string(layout->height) +
                       " pixels, too large to look at. Export the gates shown instead (File > Export "
                       "picture of the gates shown...).",
                   MessageStyle::error);
    return true;
}

void ExportShownPictureClick(Workspace& ws, Presentation& ui, const PngPictureWriter& writePng)
{
    if (refuseEmptyCircuit(ws, ui))
        return;
    const CircuitPictureLayout layout = shownGatesPictureLayout(windowDrawingView(ws, ui), ws.firstShownGate);
    NullCanvas counter;
    const DrawResult shown = drawGatesOn(counter, layout.view, ws.gates, layout.firstGate, ws.pocetb1);
    if (shown.outcome != DrawOutcome::drawn) {
        ui.showMessage(pictureTooLargeMessage, MessageStyle::error);
        return;
    }
    const auto filter = writePng ? svgOrPngPictureFilter : svgPictureFilter;
    const auto fileName = ui.chooseSaveFile(exportShownPictureDialogTitle, filter, proposedShownPictureFileName);
    if (!fileName || fileName->empty())
        return;
    const std::string gatesShown = "gates " + std::to_string(layout.firstGate) + " to " +
                                   std::to_string(shown.lastDrawn) + " of " + std::to_string(ws.pocetb1) +
                                   " as shown (zoom " + std::to_string(ui.zoomSliderPosition()) + " %)";
    if (writePng && hasExtension(*fileName, ".png")) {
        if (!writePng(layout, ws.gates, ws.pocetb1, *fileName)) {
            ui.showMessage("Cannot write the file " + *fileName, MessageStyle::error);
            return;
        }
        ui.showStatus("Wrote " + *fileName + ": " + gatesShown + " as a PNG picture.");
        return;
    }
    std::ostringstream text;
    writeCircuitPicture(layout, ws.gates, ws.pocetb1, text);
    if (writeTextFile(*fileName, text.str(), ui))
        ui.showStatus("Wrote " + *fileName + ": " + gatesShown + " as an SVG picture.");
}

void ExportPictureClick(Workspace& ws, Presentation& ui, const PngPictureWriter& writePng)
{
    if (refuseWholePicture(ws, ui))
        return;
    const auto filter = writePng ? svgOrPngPictureFilter : svgPictureFilter;
    const auto fileName = ui.chooseSaveFile(exportPictureDialogTitle, filter, proposedPictureFileName);
    if (!fileName || fileName->empty())
        return;
    if (!writePng || !hasExtension(*fileName, ".png")) {
        if (exportPictureSvg(ws, ui, *fileName))
            noteExport(ws, ui, *fileName, "as an SVG picture of the whole circuit");
        return;
    }
    const auto layout = circuitPictureLayout(windowDrawingView(ws, ui), ws.gates, ws.pocetb1);
    if (!layout) {
        ui.showMessage(pictureTooLargeMessage, MessageStyle::error);
        return;
    }
    if (!writePng(*layout, ws.gates, ws.pocetb1, *fileName)) {
        ui.showMessage("Cannot write the file " + *fileName + std::string(pngTooLargeHint), MessageStyle::error);
        return;
    }
    noteExport(ws, ui, *fileName, "as a PNG picture of the whole circuit");
}

void Koniec1Click(Presentation& ui) { ui.quit(); }
void Nvod2Click(Presentation& ui) { ui.showUserGuide(); }
void Nvod1Click(Presentation& ui) { ui.showAbout(); }

void TrackBar1Change(Workspace& ws, Presentation& ui)
{
    const int position = ui.gateSliderPosition();
    ws.selectedGate = position;
    if (position >= -32768 && position <= 32767)
        ui.setGateSelectorPosition(position);
    ui.setLabelText(Label::Label8, std::to_string(position));
    ws.firstShownGate = position;
    redrawFromFirstShownGate(ws, ui);
}

void TrackBar2Change(Workspace& ws, Presentation& ui)
{
    ws.zoom = ui.zoomSliderPosition() / 100.0;
    redrawFromFirstShownGate(ws, ui);
}

void UpDown1Changing(Workspace& ws, Presentation& ui, int step)
{
    // The press has not moved the selector yet: move it here, so the gate
    // selected is the one the selector shows afterwards.
    // The selector keeps its position within its range, so read back where it stopped.
    ui.setGateSelectorPosition(ui.gateSelectorPosition() + (step > 0 ? 1 : step < 0 ? -1 : 0));
    const int shown = ui.gateSelectorPosition();
    ui.setLabelText(Label::Label8, std::to_string(shown));
    ws.selectedGate = shown;
    redrawFromFirstShownGate(ws, ui);
}

void Image1Click(Workspace& ws, Presentation& ui, int x, int y)
{
    const int gate = gateAtPoint(windowDrawingView(ws, ui), ws.gates, ws.firstShownGate, ws.pocetb1, x, y);
    if (gate == 0)
        return;
    ui.setGateSelectorPosition(gate);
    ui.setLabelText(Label::Label8, std::to_string(gate));
    ws.selectedGate = gate;
    redrawFromFirstShownGate(ws, ui);
}

bool gateFromDialogFields(const GateDialogFields& fields, int qubitCount, TGATE1& gate)
{
    const long long type = leadingInteger(fields.type);
    const long long target = leadingInteger(fields.target);
    if (type < 0 || type > 4 || !isQubitOf(target, qubitCount))
        return false;
    gate = TGATE1{};
    gate.type = static_cast<std::uint8_t>(type);
    gate.target = static_cast<std::uint8_t>(target);
    // Controls are single digits, one every second character; a missing or
    // non-digit character reads as 0 and is refused with the rest.
    for (int j = 1; j <= type; ++j) {
        const std::size_t at = static_cast<std::size_t>(2 * j - 2);
        const char digit = at < fields.controls.size() ? fields.controls[at] : '\0';
        const int control = digit >= '0' && digit <= '9' ? digit - '0' : 0;
        if (!isQubitOf(control, qubitCount))
            return false;
        gate.controls[static_cast<std::size_t>(j)] = static_cast<std::uint8_t>(control);
    }
    return true;
}

void Optimalizova1Click(Workspace& ws, Presentation& ui)
{
    std::array<TGATE1, 2> toolList{};  // slot 0 unused, the tool's gate in slot 1
    TGATE1& gate = toolList[1];
    // A text that is no complex number gets its message, whose detail names
    // the field that holds it; then the dialog opens again with what was
    // typed, so that the user can correct it.
    auto entry = [](const std::string& text, const char* field) {
        try {
            return toComplex(text);
        } catch (const ConversionError& error) {
            const std::string where = std::string("in the field ") + field;
            throw ConversionError(error.what(), error.detail().empty() ? where : where + ", " + error.detail());
        }
    };
    GateDialogFields fields;
    for (;;) {
        if (!ui.runGateMatrixDialog(fields))
            return;
        if (!gateFromDialogFields(fields, ws.qubitCount, gate)) {
            ui.showMessage(badGateParametersMessage, MessageStyle::error);
            return;
        }
        try {
            gate.u = {entry(fields.u11, "u11"), entry(fields.u12, "u12"), entry(fields.u21, "u21"),
                      entry(fields.u22, "u22")};
            break;
        } catch (const ConversionError& error) {
            ui.showDetailedMessage(error.what(), error.detail(), MessageStyle::error);
        }
    }

    auto fullMatrix = std::make_unique<TMATICA1>();
    gateMatrix(gate, *fullMatrix, ws.qubitCount, ui);

    drawCircuit(ws, ui, toolList, 1, 1);
    ui.setGateSliderEnabled(true);
    ui.setZoomSliderEnabled(true);

    ui.setGridVisible(false);
    ui.setDrawingVisible(true);
    ui.showMessage(gateMatrixShownMessage, MessageStyle::information);
    ui.setDrawingVisible(false);
    ui.setGridVisible(true);
    showMatrixInGrid(ws, ui, *fullMatrix);
}
