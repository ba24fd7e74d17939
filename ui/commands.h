#pragma once
// The main window's commands, written against the presentation so that they
// run and are tested without a window. The window only wires controls to them.

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "engine/synthesis/gate.h"
#include "ui/circuitpicture.h"

class Presentation;
struct Workspace;
struct GateDialogFields;

// Texts of the commands that tests and the window share.
inline constexpr std::string_view openDialogTitle = "Open the file with matrix";
inline constexpr std::string_view saveDialogTitle = "Save matrix A";
inline constexpr std::string_view matrixFileFilter = "Matrices|*.mat";
inline constexpr std::string_view proposedMatrixFileName = "matica1.mat";
inline constexpr std::string_view exportQasm3DialogTitle = "Export the circuit as OpenQASM 3";
inline constexpr std::string_view exportQasm2DialogTitle = "Export the circuit as OpenQASM 2.0";
inline constexpr std::string_view exportPictureDialogTitle = "Export the picture of the circuit";
inline constexpr std::string_view qasm3FileFilter = "OpenQASM 3|*.qasm";
inline constexpr std::string_view qasm2FileFilter = "OpenQASM 2.0|*.qasm";
inline constexpr std::string_view svgPictureFilter = "SVG picture|*.svg";
inline constexpr std::string_view svgOrPngPictureFilter = "SVG picture|*.svg|PNG picture|*.png";
inline constexpr std::string_view proposedQasmFileName = "circuit.qasm";
inline constexpr std::string_view importQasmDialogTitle = "Import the circuit of an OpenQASM file";
inline constexpr std::string_view importNpyDialogTitle = "Import the matrix of a numpy file";
inline constexpr std::string_view qasmFileFilter = "OpenQASM|*.qasm";
inline constexpr std::string_view npyFileFilter = "numpy arrays|*.npy";
inline constexpr std::string_view proposedPictureFileName = "circuit.svg";
inline constexpr std::string_view pictureTooLargeMessage =
    "The circuit cannot be laid out as one picture at this zoom.";
// Follows the file-error text of a PNG picture: a long circuit may not fit one image.
inline constexpr std::string_view pngTooLargeHint =
    " (a very long circuit may be too large for one image: export it as SVG)";
inline constexpr std::string_view noCircuitToExportMessage =
    "There is no circuit to export yet: run a decomposition first.";
inline constexpr std::string_view exportShownPictureDialogTitle = "Export the picture of the gates shown";
inline constexpr std::string_view proposedShownPictureFileName = "circuit-shown.svg";
inline constexpr std::string_view droppedFileKinds = "a matrix (.mat), a numpy matrix (.npy) or an OpenQASM circuit (.qasm)";
inline constexpr std::string_view matrixLoadedLine = "The matrix was successfully loaded from the file.";
inline constexpr std::string_view badGateParametersMessage =
    "Problem: badly entered parameters for creating the matrix of the gate!!!";
inline constexpr std::string_view gateMatrixShownMessage = "You are asking for the matrix of this gate:";

// Completes the window's start-up on a fresh workspace: grid size, zoom slider
// at 125, drawing hidden, grid shown with matrixA.
void startUpWindow(Workspace& ws, Presentation& ui);

// Runs one command; a conversion or file error that ends it early is shown in
// an error box and the program goes on. Returns false when the command ended so.
bool runCommand(Presentation& ui, const std::function<void()>& command);

// "A": toggles the grid, then refills it from matrixA.
void Button1Click(Workspace& ws, Presentation& ui);
// "Decomposition": the button is disabled while the decomposition runs and
// enabled again however it ends (errors pass on to the caller).
void Button3Click(Workspace& ws, Presentation& ui);
// "Generate": shows the grid with a new random matrixA.
void Button5Click(Workspace& ws, Presentation& ui);
// File > Open: asks for a *.mat file and loads it into matrixA.
void Otvori1Click(Workspace& ws, Presentation& ui);
// File > Save: asks for a file name and saves matrixA with the report.
void Uloi1Click(Workspace& ws, Presentation& ui);
// File > Export OpenQASM 3... and Export OpenQASM 2.0...: ask for a file name
// and write the circuit; a refusal or a file error is shown in an error box.
// Every export refuses an empty circuit in an error box, writing nothing, and
// notes a written file in the status bar.
void ExportQasm3Click(Workspace& ws, Presentation& ui);
void ExportQasm2Click(Workspace& ws, Presentation& ui);
// File > Import circuit (OpenQASM)... and Import matrix (.npy)...: ask for a file and
// put its matrix into matrixA and the grid; a refusal is thrown as a FileError.
void ImportQasmClick(Workspace& ws, Presentation& ui);
void ImportNpyClick(Workspace& ws, Presentation& ui);

// Draws a laid-out whole-circuit picture into a PNG file; false when the image
// could not be made, a FileError when the file could not be written.
using PngPictureWriter = std::function<bool(const CircuitPictureLayout& layout, std::span<const TGATE1> list,
                                            int count, const std::string& path)>;

// Writes the whole circuit as the window draws it to an SVG file; a picture that
// cannot be laid out or a file error is shown in an error box and gives false.
bool exportPictureSvg(const Workspace& ws, Presentation& ui, const std::string& path);

// File > Export picture...: asks for a file name and writes the whole circuit as
// SVG or, when `writePng` is given and the name ends in ".png", as PNG through it.
void ExportPictureClick(Workspace& ws, Presentation& ui, const PngPictureWriter& writePng = {});

// The whole-circuit picture refused before any file dialog: an empty circuit,
// one that cannot be laid out, or one taller than largestSensiblePictureHeight.
// Shows the reason and returns true when refused.
bool refuseWholePicture(const Workspace& ws, Presentation& ui);

// File > Export picture of the gates shown...: writes what the drawing shows
// (the first gate shown, the zoom, as many gates as its bands hold) as SVG, or
// as PNG through `writePng` when the name ends in ".png".
void ExportShownPictureClick(Workspace& ws, Presentation& ui, const PngPictureWriter& writePng = {});

// Opens a *.mat file as File > Open does once the name is chosen. A refused
// file is named with the reason in an error box; everything stays as it was.
void openMatrixFile(Workspace& ws, Presentation& ui, const std::string& fileName);

// A file dropped on the window: a .mat file is opened, a .npy or .qasm file
// imported, as their menu commands do; any other file is refused in an error box.
void DropFile(Workspace& ws, Presentation& ui, const std::string& fileName);

// The qubit field changed (Edit1Change). When that empties a circuit, the
// picture, the gate count and the selection say there is none.
void QubitFieldChange(Workspace& ws, Presentation& ui);

// "Contraction of the circuit representation" toggled: the picture is drawn
// again in the layout that clicks on it now use.
void ContractionToggled(Workspace& ws, Presentation& ui);

// The window after its circuit was emptied: a blank drawing, no gates, no
// selection, the browsing controls disabled.
void showNoCircuit(Workspace& ws, Presentation& ui);

// File > Exit.
void Koniec1Click(Presentation& ui);
// Help > User Guide and Help > About.
void Nvod2Click(Presentation& ui);
void Nvod1Click(Presentation& ui);

// Gate slider moved: its position becomes the first gate shown and the selected gate.
void TrackBar1Change(Workspace& ws, Presentation& ui);
// Zoom slider moved: zoom := position / 100, then redraw.
void TrackBar2Change(Workspace& ws, Presentation& ui);
// An arrow of the gate selector pressed (step +1 up, -1 down): the selector
// moves within 0..its maximum and the gate it then shows is selected.
void UpDown1Changing(Workspace& ws, Presentation& ui, int step);

// A click at (x, y) on the drawing: the gate drawn there is selected as the
// gate selector would select it (selector, "Selected Gate:" number, "U:"
// labels, the frame); a click beside every gate changes nothing.
void Image1Click(Workspace& ws, Presentation& ui, int x, int y);

// Tools > Matrix of the gate: asks for a gate and shows its full matrix. The
// circuit is left untouched: the gate is drawn from a list of its own.
void Optimalizova1Click(Workspace& ws, Presentation& ui);

// The gate the tool's texts describe; false (and the gate unspecified) when the
// type is outside 0..4 or a target or control lies outside 1..qubitCount.
// The matrix texts are not read here.
bool gateFromDialogFields(const GateDialogFields& fields, int qubitCount, TGATE1& gate);
