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
#include "platform/presentation.h"
#include "ui/circuitdrawing.h"
#include "ui/gatehittest.h"
#include "ui/matrixgrid.h"
#include "workspace/driver.h"
#include "workspace/matrixfile.h"
#include "interchange/npyfile.h"
#include "workspace/matriximport.h"
#include "interchange/qasm/importer.h"
#include "interchange/qasm/exporter.h"
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
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), 1'000'000'000LL);  // saturates: any such value is refused
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
    ui.setGridVisible(!ui.isGridVisible());
    showMatrixInGrid(ws, ui, ws.matrixA);
}

void Button3Click(Workspace& ws, Presentation& ui)
{
    ui.setDecompositionEnabled(false);
    try {
        decompose(ws, ui);
    } catch (...) {
        ui.setDecompositionEnabled(true);
        throw;
    }
    ui.setDecompositionEnabled(true);
}

void Button5Click(Workspace& ws, Presentation& ui)
{
    ui.setGridVisible(true);
    randomUnitary(ws, ui, ws.matrixA, 100);
    showMatrixInGrid(ws, ui, ws.matrixA);
}

void Otvori1Click(Workspace& ws, Presentation& ui)
{
    const auto fileName = ui.chooseOpenFile(openDialogTitle, matrixFileFilter);
    if (!fileName || fileName->empty())
        return;
    if (!loadMatrixFile(ws, ui, *fileName))
        return;
    showMatrixInGrid(ws, ui, ws.matrixA);
    ui.appendLog(matrixLoadedLine);
}

void Uloi1Click(Workspace& ws, Presentation& ui)
{
    const auto fileName = ui.chooseSaveFile(saveDialogTitle, matrixFileFilter, proposedMatrixFileName);
    if (!fileName || fileName->empty())
        return;
    saveMatrixFile(ws, ui, *fileName);
}

void ExportQasm3Click(Workspace& ws, Presentation& ui)
{
    if (refuseEmptyCircuit(ws, ui))
        return;
    const auto fileName = ui.chooseSaveFile(exportQasm3DialogTitle, qasm3FileFilter, proposedQasmFileName);
    if (!fileName || fileName->empty())
        return;
    if (exportQasm(ws, QasmVersion::v3, *fileName, ui))
        noteExport(ws, ui, *fileName, "as OpenQASM 3");
}

void ExportQasm2Click(Workspace& ws, Presentation& ui)
{
    if (refuseEmptyCircuit(ws, ui))
        return;
    const auto fileName = ui.chooseSaveFile(exportQasm2DialogTitle, qasm2FileFilter, proposedQasmFileName);
    if (!fileName || fileName->empty())
        return;
    if (exportQasm(ws, QasmVersion::v2, *fileName, ui))
        noteExport(ws, ui, *fileName, "as OpenQASM 2.0");
}

void ImportQasmClick(Workspace& ws, Presentation& ui)
{
    const auto fileName = ui.chooseOpenFile(importQasmDialogTitle, qasmFileFilter);
    if (!fileName || fileName->empty())
        return;
    importQasmFile(ws, ui, *fileName);
    showMatrixInGrid(ws, ui, ws.matrixA);
}

void ImportNpyClick(Workspace& ws, Presentation& ui)
{
    const auto fileName = ui.chooseOpenFile(importNpyDialogTitle, npyFileFilter);
    if (!fileName || fileName->empty())
        return;
    importNpyFile(ws, ui, *fileName);
    showMatrixInGrid(ws, ui, ws.matrixA);
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

void ExportPictureClick(Workspace& ws, Presentation& ui, const PngPictureWriter& writePng)
{
    if (refuseEmptyCircuit(ws, ui))
        return;
    const auto filter = writePng ? svgOrPngPictureFilter : svgPictureFilter;
    const auto fileName = ui.chooseSaveFile(exportPictureDialogTitle, filter, proposedPictureFileName);
    if (!fileName || fileName->empty())
        return;
    if (!writePng || !hasExtension(*fileName, ".png")) {
        if (exportPictureSvg(ws, ui, *fileName))
            noteExport(ws, ui, *fileName, "as an SVG picture");
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
    noteExport(ws, ui, *fileName, "as a PNG picture");
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
    GateDialogFields fields;
    if (!ui.runGateMatrixDialog(fields))
        return;

    std::array<TGATE1, 2> toolList{};  // slot 0 unused, the tool's gate in slot 1
    TGATE1& gate = toolList[1];
    if (!gateFromDialogFields(fields, ws.qubitCount, gate)) {
        ui.showMessage(badGateParametersMessage, MessageStyle::error);
        return;
    }
    gate.u = {toComplex(fields.u11), toComplex(fields.u12), toComplex(fields.u21), toComplex(fields.u22)};

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
