#include "ui/commands.h"
#include "workspace/driversentences.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "engine/kernel/errors.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "support/qasmreader.h"
#include "support/xmlcheck.h"
#include "ui/edit1change.h"
#include "workspace/workspace.h"

namespace {

class Commands : public ::testing::Test {
protected:
    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws = createWorkspace(ui);

    void SetUp() override
    {
        startUpWindow(*ws, ui);
        ui.clearRecords();
    }

    int countEvents(EventKind kind) const
    {
        return static_cast<int>(std::count_if(ui.events.begin(), ui.events.end(),
                                              [&](const Event& e) { return e.kind == kind; }));
    }

    // Clears the grid cells so a command that refills them can be seen doing it.
    void blankGrid() { ui.gridCells.clear(); }

    std::filesystem::path scratchFile(const std::string& name) const
    {
        return std::filesystem::temp_directory_path() /
               (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" + name);
    }
};

// A presentation whose log fails, standing in for an error deep inside a command.
class FailingLogPresentation : public HeadlessPresentation {
public:
    void appendLog(std::string_view line) override
    {
        HeadlessPresentation::appendLog(line);
        throw ConversionError("'x' is not a valid complex number");
    }
};

TEST_F(Commands, StartUpShowsTheDefaultMatrixInAFiveByFiveGridWithoutDrawing)
{
    HeadlessPresentation fresh;
    auto freshWs = createWorkspace(fresh);
    startUpWindow(*freshWs, fresh);

    EXPECT_EQ(fresh.gridColumns, 5);
    EXPECT_EQ(fresh.gridRows, 5);
    EXPECT_TRUE(fresh.gridVisible);
    EXPECT_FALSE(fresh.drawingVisible);
    EXPECT_EQ(fresh.zoomSliderPos, 125);
    EXPECT_DOUBLE_EQ(freshWs->zoom, 1.25);
    EXPECT_TRUE(fresh.recordingCanvas.ops.empty()) << "putting the zoom slider at 125 draws nothing";
    EXPECT_EQ(fresh.gridCell(4, 1), "-1.00i");
    EXPECT_EQ(fresh.gridCell(1, 4), "1.00i");
    EXPECT_EQ(fresh.gridCell(1, 1), "");
    EXPECT_EQ(fresh.gridCell(0, 3), "10");
    EXPECT_EQ(fresh.gridCell(4, 0), "11");
}

TEST_F(Commands, ButtonAHidesAndShowsTheGridRefillingItEachTime)
{
    blankGrid();
    Button1Click(*ws, ui);
    EXPECT_FALSE(ui.gridVisible);
    EXPECT_EQ(ui.gridCell(3, 2), "-1.00i");

    blankGrid();
    Button1Click(*ws, ui);
    EXPECT_TRUE(ui.gridVisible);
    EXPECT_EQ(ui.gridCell(3, 2), "-1.00i");
    EXPECT_EQ(ui.gridCell(0, 1), "00");
}

TEST_F(Commands, ARefusedMatrixSaysInTheStatusBarHowFarItIsFromUnitary)
{
    ws->matrixA(1, 1) = Complex{2.0, 0.0};
    Button3Click(*ws, ui);
    ASSERT_EQ(ui.statusNotes.size(), 1u);
    EXPECT_EQ(ui.statusNotes[0], "The largest entry of |A^dagger A - I| is 4; the tolerance is 1e-07.");
    EXPECT_EQ(ui.log.back(), driverText::inputNotUnitary) << "the log keeps the driver's own line last";
}

TEST_F(Commands, DecompositionButtonIsEnabledAgainAfterARunAndAfterAnError)
{
    Button3Click(*ws, ui);
    ASSERT_GE(countEvents(EventKind::decompositionEnabled), 2);
    EXPECT_EQ(ui.events.front().kind, EventKind::decompositionEnabled);
    EXPECT_EQ(ui.events.front().a, 0) << "disabled before the run starts";
    EXPECT_TRUE(ui.decompositionOn);

    FailingLogPresentation failing;
    auto failingWs = createWorkspace(failing);
    const bool finished = runCommand(failing, [&] { Button3Click(*failingWs, failing); });
    EXPECT_FALSE(finished);
    EXPECT_TRUE(failing.decompositionOn);
    ASSERT_EQ(failing.messages.size(), 1u);
    EXPECT_EQ(failing.messages[0].style, MessageStyle::error);
    EXPECT_EQ(failing.messages[0].text, "'x' is not a valid complex number");
}

// The numerical route's instantiation, cancelled while it runs, leaves the
// previous circuit, the matrix and the log as they were, and logs one line.
TEST_F(Commands, ACancelledNumericalRunLeavesEverythingAsItWasAndLogsOneLine)
{
    ws->qubitCount = 5;
    ws->matrixSize = 32;
    ws->matrixA = seededRandomUnitary(5, 3);
    ui.endStageIndex = 0;
    Button3Click(*ws, ui);
    ASSERT_GT(ws->pocetb1, 0);
    const std::vector<TGATE1> circuitBefore(ws->gates.begin() + 1, ws->gates.begin() + 1 + ws->pocetb1);
    const TMATICA1 matrixBefore = ws->matrixA;
    const std::vector<std::string> logBefore = ui.log;

    int asked = 0;
    ui.cancelWhen = [&] { return ++asked >= 2; };
    ui.endStageIndex = 4;
    EXPECT_TRUE(runCommand(ui, [&] { Button3Click(*ws, ui); }));
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(ui.log.size(), logBefore.size() + 1);
    EXPECT_TRUE(std::equal(logBefore.begin(), logBefore.end(), ui.log.begin()));
    EXPECT_EQ(ui.log.back(), driverText::runCancelled);
    ASSERT_EQ(ws->pocetb1, static_cast<int>(circuitBefore.size()));
    for (int g = 1; g <= ws->pocetb1; ++g)
        ASSERT_EQ(ws->gates[g].u.u11.re, circuitBefore[static_cast<std::size_t>(g - 1)].u.u11.re) << g;
    EXPECT_EQ(maxDifference(ws->matrixA, matrixBefore, 32), 0.0);
    EXPECT_FALSE(ui.cancelVisible);
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_TRUE(ui.decompositionOn);
}

TEST_F(Commands, RunCommandShowsConversionAndFileErrorsAndGoesOn)
{
    EXPECT_TRUE(runCommand(ui, [] {}));
    EXPECT_FALSE(runCommand(ui, [] { throw FileError("Cannot open file"); }));
    EXPECT_FALSE(runCommand(ui, [] { throw ConversionError("'1+' is not a valid complex number"); }));
    EXPECT_FALSE(runCommand(ui, [] { throw ConversionError("Unexpected characters [1<?>x]", "Row 2, column 3"); }));
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0].text, "Cannot open file");
    EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
    EXPECT_EQ(ui.messages[1].text, "'1+' is not a valid complex number");
    EXPECT_EQ(ui.messages[2].text, "Unexpected characters [1<?>x]");
    EXPECT_EQ(ui.messages[2].detail, "Row 2, column 3") << "the position goes to the box's detail";
}

TEST_F(Commands, GenerateShowsTheGridWithANewRandomMatrix)
{
    ui.setGridVisible(false);
    const Complex before = ws->matrixA(1, 4);
    Button5Click(*ws, ui);
    EXPECT_TRUE(ui.gridVisible);
    EXPECT_TRUE(ui.logContains("The unitary matrix was randomly generated."));
    EXPECT_FALSE(fuzzyEqual(ws->matrixA(1, 4), before) && fuzzyEqual(ws->matrixA(1, 1), Complex{}))
        << "the start-up matrix was replaced";
    EXPECT_EQ(ui.gridCell(2, 3), complexToText(ws->matrixA(3, 2), 2));
    EXPECT_EQ(ui.gridColumns, 5) << "Generate keeps the size";
}

TEST_F(Commands, SaveAsksWithItsTitleFilterAndNameAndWritesTheFile)
{
    Uloi1Click(*ws, ui);  // cancelled: no answer scripted
    ASSERT_EQ(countEvents(EventKind::saveDialog), 1);
    EXPECT_EQ(ui.events.back().text, "Save matrix A|Matrices|*.mat|matica1.mat");
    EXPECT_FALSE(ui.logContains("Matrix was saved into the file."));

    const auto file = scratchFile("saved.mat");
    std::filesystem::remove(file);
    ui.saveFileAnswer = file.string();
    Uloi1Click(*ws, ui);
    std::ifstream in(file);
    std::string firstLine;
    std::getline(in, firstLine);
    EXPECT_EQ(firstLine.substr(0, 1), "4");
    EXPECT_TRUE(ui.logContains("Matrix was saved into the file."));
    std::filesystem::remove(file);
}

TEST_F(Commands, OpenLoadsASavedMatrixShowsItAndLogsTheSuccess)
{
    Otvori1Click(*ws, ui);  // cancelled
    ASSERT_EQ(countEvents(EventKind::openDialog), 1);
    EXPECT_EQ(ui.events.back().text, "Open the file with matrix|Matrices|*.mat");
    EXPECT_FALSE(ui.logContains(matrixLoadedLine));

    const auto file = scratchFile("roundtrip.mat");
    ui.saveFileAnswer = file.string();
    Uloi1Click(*ws, ui);
    ws->matrixA(1, 4) = Complex{0.5, 0.0};
    blankGrid();

    ui.openFileAnswer = file.string();
    Otvori1Click(*ws, ui);
    EXPECT_TRUE(fuzzyEqual(ws->matrixA(1, 4), Complex{0.0, -1.0}));
    EXPECT_EQ(ui.gridCell(4, 1), "-1.00i");
    EXPECT_EQ(ui.log.back(), matrixLoadedLine);
    std::filesystem::remove(file);
}

TEST_F(Commands, OpenReadsANumpyFileOrACircuitByItsExtensionAsTheImportsDo)
{
    const auto npy = std::filesystem::path(UDECOMP_SOURCE_DIR) / "tests/data/npy/c16-c.npy";
    ui.openFileAnswer = npy.string();
    Otvori1Click(*ws, ui);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
    EXPECT_EQ(ui.log.back(), "The matrix was imported from the numpy file.");

    const auto qasm = scratchFile("open.qasm");
    std::ofstream(qasm) << "OPENQASM 3;\ninclude \"stdgates.inc\";\nqubit[3] q;\nx q[0];\n";
    ui.openFileAnswer = qasm.string();
    Otvori1Click(*ws, ui);
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front().text;
    EXPECT_EQ(ws->qubitCount, 3);
    EXPECT_EQ(ui.log.back(), "The matrix was imported from the circuit in the file.");
    EXPECT_TRUE(fuzzyEqual(ws->matrixA(5, 1), Complex{1.0, 0.0}));
    std::filesystem::remove(qasm);
}

TEST_F(Commands, HidingTheGridAfterTheGateToolShowsTheCircuitAgain)
{
    Button3Click(*ws, ui);
    ASSERT_GT(ws->pocetb1, 0);
    ui.gateDialogFields = GateDialogFields{};
    Optimalizova1Click(*ws, ui);
    ASSERT_TRUE(ui.gridVisible);
    ASSERT_FALSE(ui.drawingVisible);
    ui.recordingCanvas.ops.clear();
    Button1Click(*ws, ui);
    EXPECT_FALSE(ui.gridVisible);
    EXPECT_TRUE(ui.drawingVisible);
    EXPECT_FALSE(ui.recordingCanvas.ops.empty()) << "the circuit is drawn again";
    Button1Click(*ws, ui);
    EXPECT_TRUE(ui.gridVisible) << "A still shows the grid again";
}

TEST_F(Commands, OpeningAMissingFileEndsInAnErrorBoxWithoutTheSuccessLine)
{
    ui.openFileAnswer = scratchFile("does-not-exist.mat").string();
    EXPECT_FALSE(runCommand(ui, [&] { Otvori1Click(*ws, ui); }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
    EXPECT_FALSE(ui.logContains(matrixLoadedLine));
    EXPECT_TRUE(fuzzyEqual(ws->matrixA(1, 4), Complex{0.0, -1.0}));
}

TEST_F(Commands, ImportsFillTheGridOrShowWhyTheFileWasRefused)
{
    const auto qasm = scratchFile("import.qasm");
    std::ofstream(qasm) << "OPENQASM 3;\ninclude \"stdgates.inc\";\nqubit[2] q;\nx q[1];\n";
    const auto broken = scratchFile("broken.qasm");
    std::ofstream(broken) << "OPENQASM 3;\nqubit[2] q;\nmeasure q[0];\n";
    ImportQasmClick(*ws, ui);  // cancelled
    EXPECT_EQ(ui.events.back().text, "Import the circuit of an OpenQASM file|OpenQASM|*.qasm");
    ui.openFileAnswer = broken.string();
    EXPECT_FALSE(runCommand(ui, [&] { ImportQasmClick(*ws, ui); }));
    ASSERT_EQ(ui.messages.size(), 1u);
    // A refused file is named with its reason.
    EXPECT_EQ(ui.messages[0].text, "The file \"" + broken.string() +
                                       "\" was not opened: The circuit cannot be imported: line 3: 'measure' is "
                                       "not supported: only unitary circuits can be imported.");
    EXPECT_TRUE(fuzzyEqual(ws->matrixA(1, 4), Complex{0.0, -1.0}));

    blankGrid();
    ui.openFileAnswer = qasm.string();
    EXPECT_TRUE(runCommand(ui, [&] { ImportQasmClick(*ws, ui); }));
    EXPECT_EQ(ui.gridCell(1, 2), "1.00");
    EXPECT_EQ(ui.log.back(), "The matrix was imported from the circuit in the file.");

    ui.openFileAnswer = std::string(UDECOMP_SOURCE_DIR) + "/tests/data/npy/f8-c.npy";
    EXPECT_TRUE(runCommand(ui, [&] { ImportNpyClick(*ws, ui); }));
    EXPECT_EQ(ui.gridCell(4, 1), "0.75");
    EXPECT_EQ(ui.log.back(), "The matrix was imported from the numpy file.");
    std::filesystem::remove(qasm);
    std::filesystem::remove(broken);
}

TEST_F(Commands, GateSliderSelectsAndShowsFromItsPosition)
{
    ui.setGateSelectorMaximum(100);
    ui.setGateSliderMaximum(100);
    ui.setGateSliderPosition(7);
    TrackBar1Change(*ws, ui);
    EXPECT_EQ(ws->selectedGate, 7);
    EXPECT_EQ(ws->firstShownGate, 7);
    EXPECT_EQ(ui.gateSelectorPos, 7);
    EXPECT_EQ(ui.labelText(Label::Label8), "7");

    // Beyond the selector's number range the selector stays where it was.
    ui.setGateSelectorMaximum(50000);
    ui.setGateSliderMaximum(50000);
    ui.setGateSliderPosition(40000);
    TrackBar1Change(*ws, ui);
    EXPECT_EQ(ws->selectedGate, 40000);
    EXPECT_EQ(ui.gateSelectorPos, 7);
    EXPECT_EQ(ui.labelText(Label::Label8), "40000");
}

TEST_F(Commands, ZoomSliderAt45SetsTheZoomAndRedraws)
{
    ws->pocetb1 = 1;
    ws->gates[1].target = 1;
    ws->gates[1].u = ws->pauliX;
    ui.setZoomSliderPosition(45);
    TrackBar2Change(*ws, ui);
    EXPECT_DOUBLE_EQ(ws->zoom, 0.45);
    EXPECT_FALSE(ui.recordingCanvas.ops.empty());
    EXPECT_EQ(ui.labelText(Label::Label7), "0.45");
}

TEST_F(Commands, GateSelectorSelectsTheGateItShowsAfterThePress)
{
    ui.setGateSelectorMaximum(3);
    ui.setGateSelectorPosition(1);

    UpDown1Changing(*ws, ui, +1);
    EXPECT_EQ(ui.gateSelectorPos, 2);
    EXPECT_EQ(ws->selectedGate, 2);
    EXPECT_EQ(ui.labelText(Label::Label8), "2");

    UpDown1Changing(*ws, ui, +1);
    UpDown1Changing(*ws, ui, +1);
    EXPECT_EQ(ws->selectedGate, 3) << "stops at the maximum";

    for (int press = 0; press < 5; ++press)
        UpDown1Changing(*ws, ui, -1);
    EXPECT_EQ(ui.gateSelectorPos, 0);
    EXPECT_EQ(ws->selectedGate, 0);
    EXPECT_EQ(ui.labelText(Label::Label8), "0");
}

TEST(GateDialogFieldsReading, ControlsAreDigitsEverySecondCharacterWithinTheQubits)
{
    TGATE1 gate;
    GateDialogFields fields;
    fields.type = "3";
    fields.target = " 1";
    fields.controls = "2,5x4";
    ASSERT_TRUE(gateFromDialogFields(fields, 5, gate));
    EXPECT_EQ(gate.type, 3);
    EXPECT_EQ(gate.target, 1);
    EXPECT_EQ(gate.controls[1], 2);
    EXPECT_EQ(gate.controls[2], 5);
    EXPECT_EQ(gate.controls[3], 4);
    EXPECT_EQ(gate.removed, 0);

    fields.type = "0";
    fields.target = "2abc";  // the leading number counts
    fields.controls = "";
    ASSERT_TRUE(gateFromDialogFields(fields, 2, gate));
    EXPECT_EQ(gate.target, 2);
}

TEST(GateDialogFieldsReading, RefusesTypesAndQubitsOutsideTheirRanges)
{
    TGATE1 gate;
    const auto refused = [&](const char* type, const char* target, const char* controls, int qubits) {
        GateDialogFields fields;
        fields.type = type;
        fields.target = target;
        fields.controls = controls;
        return !gateFromDialogFields(fields, qubits, gate);
    };
    EXPECT_TRUE(refused("5", "1", "2 3 4 5 6", 5)) << "more than four controls";
    EXPECT_TRUE(refused("-1", "1", "", 2)) << "negative type";
    EXPECT_TRUE(refused("1", "1", "", 2)) << "missing control";
    EXPECT_TRUE(refused("1", "1", "x", 2)) << "control not a digit";
    EXPECT_TRUE(refused("0", "", "", 2)) << "no target";
    EXPECT_TRUE(refused("0", "3", "", 2)) << "target above the qubit count";
    EXPECT_TRUE(refused("1", "1", "3", 2)) << "control above the qubit count";
    EXPECT_TRUE(refused("1", "9", "2", 5));
    EXPECT_TRUE(refused("0", "99999999999999", "", 5)) << "huge numbers do not wrap into range";
    EXPECT_FALSE(refused("4", "5", "1 2 3 4", 5));
}

TEST_F(Commands, GateToolWithItsInitialTextsShowsTheNotMatrixAndLeavesTheCircuitAlone)
{
    ws->pocetb1 = 2;
    ws->gates[1].type = 1;
    ws->gates[1].target = 2;
    ws->gates[1].controls[1] = 1;
    ws->gates[1].u = ws->pauliZ;
    const TGATE1 usersFirstGate = ws->gates[1];

    ui.gateDialogFields = GateDialogFields{};  // "0", "1", "2", X
    Optimalizova1Click(*ws, ui);

    EXPECT_EQ(ws->pocetb1, 2);
    EXPECT_EQ(ws->gates[1].type, usersFirstGate.type);
    EXPECT_EQ(ws->gates[1].target, usersFirstGate.target);
    EXPECT_TRUE(matEqual2(ws->gates[1].u, usersFirstGate.u, 0.0));

    // NOT on qubit 1 swaps 00 with 10 and 01 with 11.
    EXPECT_EQ(ui.gridCell(3, 1), "1.00");
    EXPECT_EQ(ui.gridCell(1, 3), "1.00");
    EXPECT_EQ(ui.gridCell(4, 2), "1.00");
    EXPECT_EQ(ui.gridCell(1, 1), "");
    EXPECT_EQ(ui.gridCell(0, 4), "11");

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, gateMatrixShownMessage);
    EXPECT_EQ(ui.messages[0].style, MessageStyle::information);
    EXPECT_TRUE(ui.gridVisible);
    EXPECT_FALSE(ui.drawingVisible);
    EXPECT_TRUE(ui.gateSliderOn);
    EXPECT_TRUE(ui.zoomSliderOn);
    EXPECT_FALSE(ui.gateSelectorOn);
    EXPECT_EQ(ui.labelText(Label::Label5), "1") << "the tool's one gate was drawn";

    // The drawing was on screen while the message was up.
    const auto message = std::find_if(ui.events.begin(), ui.events.end(),
                                      [](const Event& e) { return e.kind == EventKind::message; });
    const auto shown = std::find_if(ui.events.begin(), message, [](const Event& e) {
        return e.kind == EventKind::drawingVisible && e.a == 1;
    });
    EXPECT_NE(shown, message);
}

TEST_F(Commands, GateToolShowsAControlledGateAndRefusesBadQubitsWithItsMessage)
{
    ui.gateDialogFields.type = "1";
    ui.gateDialogFields.target = "1";
    ui.gateDialogFields.controls = "2";
    Optimalizova1Click(*ws, ui);
    EXPECT_EQ(ui.gridCell(1, 1), "1.00");
    EXPECT_EQ(ui.gridCell(4, 2), "1.00");
    EXPECT_EQ(ui.gridCell(3, 3), "1.00");
    EXPECT_EQ(ui.gridCell(2, 2), "");

    for (const char* controls : {"", "3", "0"}) {
        ui.clearRecords();
        blankGrid();
        ui.gateDialogFields.controls = controls;
        Optimalizova1Click(*ws, ui);
        ASSERT_EQ(ui.messages.size(), 1u) << "controls '" << controls << "'";
        EXPECT_EQ(ui.messages[0].text, badGateParametersMessage);
        EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
        EXPECT_TRUE(ui.gridCells.empty()) << "nothing shown after a refusal";
        EXPECT_TRUE(ui.recordingCanvas.ops.empty());
    }
}

TEST_F(Commands, GateToolAsksAgainAfterAMatrixTextThatIsNoNumberAndStopsOnCancel)
{
    GateDialogFields typo;
    typo.u12 = "one";
    ui.gateDialogAnswers = {typo, std::nullopt};
    EXPECT_TRUE(runCommand(ui, [&] { Optimalizova1Click(*ws, ui); }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
    EXPECT_EQ(ui.messages[0].detail.substr(0, 16), "in the field u12") << ui.messages[0].detail;
    EXPECT_TRUE(ui.gateDialogAnswers.empty()) << "the dialog opened again after the refusal";
    EXPECT_TRUE(ui.recordingCanvas.ops.empty());

    ui.clearRecords();
    ui.gateDialogAnswer = false;
    ui.gateDialogFields = GateDialogFields{};
    Optimalizova1Click(*ws, ui);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ui.gateSliderOn);

    // Corrected in the second opening, the gate's matrix is shown.
    ui.clearRecords();
    GateDialogFields corrected = typo;
    corrected.u12 = "1+0i";
    ui.gateDialogAnswers = {typo, corrected};
    EXPECT_TRUE(runCommand(ui, [&] { Optimalizova1Click(*ws, ui); }));
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, gateMatrixShownMessage);
    EXPECT_FALSE(ui.gridCells.empty());
}

}  // namespace

namespace {

std::string fileText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Gate groups ("gate-<number>") in an SVG picture; -1 when it is not well-formed.
int gateGroupsIn(const std::string& svg)
{
    const XmlDocument doc = parseXml(svg);
    if (!doc.wellFormed())
        return -1;
    int groups = 0;
    for (const int g : doc.named("g")) {
        const auto& attributes = doc.elements[g].attributes;
        groups += attributes.count("id") && attributes.at("id").rfind("gate-", 0) == 0;
    }
    return groups;
}

}  // namespace

TEST_F(Commands, QasmExportsAskWithTheirTitlesAndWriteTheDecomposedCircuit)
{
    ui.endStageIndex = 0;
    Button3Click(*ws, ui);
    ASSERT_GT(ws->pocetb1, 0);
    ExportQasm3Click(*ws, ui);  // cancelled
    ExportQasm2Click(*ws, ui);
    ASSERT_EQ(countEvents(EventKind::saveDialog), 2);
    EXPECT_EQ(ui.events[ui.events.size() - 2].text,
              "Export the circuit as OpenQASM 3|OpenQASM 3|*.qasm|circuit.qasm");
    EXPECT_EQ(ui.events.back().text, "Export the circuit as OpenQASM 2.0|OpenQASM 2.0|*.qasm|circuit.qasm");

    const auto input = std::make_unique<TMATICA1>(ws->matrixA);
    const auto composed = std::make_unique<TMATICA1>();
    const auto file = scratchFile("circuit.qasm");
    for (const int version : {3, 2}) {
        SCOPED_TRACE(version);
        std::filesystem::remove(file);
        ui.saveFileAnswer = file.string();
        if (version == 3)
            ExportQasm3Click(*ws, ui);
        else
            ExportQasm2Click(*ws, ui);
        const ParsedQasm program = readQasm(fileText(file));
        EXPECT_EQ(program.version, version);
        EXPECT_EQ(program.gateCount(), ws->pocetb1);
        programMatrix(program, *composed, ui);
        if (version == 3) {
            EXPECT_LT(maxDifference(*composed, *input, ws->matrixSize), 1e-9);
        }
    }
    EXPECT_TRUE(ui.messages.empty());
    std::filesystem::remove(file);
}

TEST_F(Commands, QasmTwoOfAToffoliStageCircuitIsRefusedInAnErrorBoxWithoutAFile)
{
    ui.setQubitFieldText("3");
    Edit1Change(*ws, ui);  // a random matrix on three qubits needs doubly controlled gates
    ui.endStageIndex = 2;
    Button3Click(*ws, ui);
    ui.clearRecords();
    const auto file = scratchFile("toffoli.qasm");
    std::filesystem::remove(file);
    ui.saveFileAnswer = file.string();
    ExportQasm2Click(*ws, ui);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
    EXPECT_NE(ui.messages[0].text.find("OpenQASM 2.0 cannot express gate"), std::string::npos) << ui.messages[0].text;
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(Commands, PictureExportWritesSvgAndHandsPngNamesToTheWindowsWriter)
{
    ui.endStageIndex = 0;
    Button3Click(*ws, ui);
    ui.clearRecords();
    const auto svg = scratchFile("picture.svg");
    const auto png = scratchFile("picture.PNG");
    std::filesystem::remove(svg);
    std::filesystem::remove(png);

    // Without a PNG writer only SVG is offered, whatever the name.
    ui.saveFileAnswer = svg.string();
    ExportPictureClick(*ws, ui);
    EXPECT_EQ(ui.events.back().text, "Export the picture of the circuit|SVG picture|*.svg|circuit.svg");
    const std::string picture = fileText(svg);
    EXPECT_EQ(gateGroupsIn(picture), ws->pocetb1);

    int writerCalls = 0;
    CircuitPictureLayout seen;
    int seenCount = -1;
    std::string seenPath;
    bool writerSucceeds = true;
    const PngPictureWriter writer = [&](const CircuitPictureLayout& layout, std::span<const TGATE1>, int count,
                                        const std::string& path) {
        ++writerCalls;
        seen = layout;
        seenCount = count;
        seenPath = path;
        return writerSucceeds;
    };
    ui.saveFileAnswer = png.string();
    ExportPictureClick(*ws, ui, writer);
    EXPECT_EQ(ui.events.back().text,
              "Export the picture of the circuit|SVG picture|*.svg|PNG picture|*.png|circuit.svg");
    ASSERT_EQ(writerCalls, 1);
    EXPECT_EQ(seenPath, png.string());
    EXPECT_EQ(seenCount, ws->pocetb1);
    const XmlDocument doc = parseXml(picture);
    EXPECT_EQ(doc.elements.at(0).attributes.at("width"), std::to_string(seen.width)) << "PNG and SVG agree in size";
    EXPECT_EQ(doc.elements.at(0).attributes.at("height"), std::to_string(seen.height));

    ui.saveFileAnswer = svg.string();
    std::filesystem::remove(svg);
    ExportPictureClick(*ws, ui, writer);
    EXPECT_EQ(writerCalls, 1) << "an .svg name stays SVG";
    EXPECT_EQ(fileText(svg), picture);
    EXPECT_TRUE(ui.messages.empty());

    writerSucceeds = false;
    ui.saveFileAnswer = png.string();
    ExportPictureClick(*ws, ui, writer);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Cannot write the file " + png.string() + std::string(pngTooLargeHint));
    std::filesystem::remove(svg);
}

TEST_F(Commands, PictureExportRefusesAZoomWithoutAColumnAndAMissingFolder)
{
    ui.endStageIndex = 0;
    Button3Click(*ws, ui);
    ui.clearRecords();
    const auto svg = scratchFile("too-wide.svg");
    std::filesystem::remove(svg);
    ui.saveFileAnswer = svg.string();
    int writerCalls = 0;
    const PngPictureWriter writer = [&](const CircuitPictureLayout&, std::span<const TGATE1>, int,
                                        const std::string&) { return ++writerCalls > 0; };

    const double zoom = ws->zoom;
    ws->zoom = 30.0;  // one column is wider than the drawing area
    ExportPictureClick(*ws, ui, writer);
    ui.saveFileAnswer = scratchFile("too-wide.png").string();
    ExportPictureClick(*ws, ui, writer);
    EXPECT_EQ(writerCalls, 0);
    EXPECT_FALSE(std::filesystem::exists(svg)) << "no file is left behind";
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[0].text, pictureTooLargeMessage);
    EXPECT_EQ(ui.messages[1].text, pictureTooLargeMessage);

    ws->zoom = zoom;
    const auto missing = std::filesystem::temp_directory_path() / "udecomp-no-such-folder" / "c.svg";
    ui.saveFileAnswer = missing.string();
    ExportPictureClick(*ws, ui);
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].style, MessageStyle::error);
    EXPECT_EQ(ui.messages[2].text, "Cannot write the file " + missing.string() + ": No such file or directory");
}

TEST_F(Commands, AClickOnAGateSelectsItAsTheSelectorWouldAndBesideEveryGateChangesNothing)
{
    // Zoom 1.25, two qubits, contraction on: gates 1 and 2 share column 1 (x 55,
    // wires at y 60 and 110); gate 3 spans both wires in column 2 (x 100).
    ws->pocetb1 = 3;
    ws->gates[1] = TGATE1{};
    ws->gates[1].target = 1;
    ws->gates[1].u = ws->pauliX;
    ws->gates[2] = TGATE1{};
    ws->gates[2].target = 2;
    ws->gates[2].u = {{0.6, 0.0}, {0.0, 0.8}, {0.0, 0.8}, {0.6, 0.0}};
    ws->gates[3] = TGATE1{};
    ws->gates[3].type = 1;
    ws->gates[3].target = 2;
    ws->gates[3].controls[1] = 1;
    ws->gates[3].u = ws->pauliX;
    ui.setGateSelectorMaximum(3);

    struct Click {
        int firstShown, x, y, gate;
    };
    for (const Click click : {Click{1, 55, 60, 1}, {1, 60, 118, 2}, {1, 100, 85, 3}, {1, 100, 53, 3}, {1, 300, 60, 0},
                              {1, 55, 160, 0}, {2, 55, 60, 0}, {2, 55, 110, 2}}) {
        SCOPED_TRACE(testing::Message() << click.firstShown << " " << click.x << "," << click.y);
        ws->firstShownGate = click.firstShown;
        ws->selectedGate = 0;
        ui.clearRecords();
        Image1Click(*ws, ui, click.x, click.y);
        EXPECT_EQ(ws->selectedGate, click.gate);
        if (click.gate == 0) {
            EXPECT_TRUE(ui.events.empty()) << "nothing is redrawn or relabelled";
            continue;
        }
        EXPECT_EQ(ui.gateSelectorPos, click.gate);
        EXPECT_EQ(ui.labelText(Label::Label8), std::to_string(click.gate));
        EXPECT_EQ(ui.labelText(Label::Label12), complexToText(ws->gates[click.gate].u.u11, 4));
        EXPECT_EQ(ui.labelText(Label::Label15), complexToText(ws->gates[click.gate].u.u22, 4));
        EXPECT_EQ(ui.labelText(Label::Label3), std::to_string(click.firstShown)) << "redrawn from the first shown gate";
    }
}

TEST_F(Commands, ExportsRefuseAnEmptyCircuitAndNoteAWrittenFile)
{
    const auto file = scratchFile("empty.svg");
    std::filesystem::remove(file);
    ui.saveFileAnswer = file.string();
    ExportPictureClick(*ws, ui);
    ExportQasm3Click(*ws, ui);
    ASSERT_EQ(ui.messages.size(), 2u);
    for (const auto& message : ui.messages) {
        EXPECT_EQ(message.text, noCircuitToExportMessage);
        EXPECT_EQ(message.style, MessageStyle::error);
    }
    EXPECT_EQ(countEvents(EventKind::saveDialog), 0) << "no file name is asked for";
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_TRUE(ui.statusNotes.empty());

    ui.endStageIndex = 0;
    Button3Click(*ws, ui);
    ExportQasm2Click(*ws, ui);
    ASSERT_EQ(ui.statusNotes.size(), 1u);
    EXPECT_EQ(ui.statusNotes[0],
              "Wrote " + file.string() + ": the circuit of " + std::to_string(ws->pocetb1) + " gates as OpenQASM 2.0.");
    std::filesystem::remove(file);
}
