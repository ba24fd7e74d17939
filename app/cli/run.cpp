#include "app/cli/run.h"

#include <algorithm>
#include <ostream>
#include <string>

#include "app/cli/options.h"
#include "engine/kernel/errors.h"
#include "platform/headlesspresentation.h"
#include "workspace/driver.h"
#include "workspace/matrixfile.h"
#include "workspace/qubitcount.h"
#include "workspace/workspace.h"

namespace {

// The driver's refusal of a matrix that is not unitary.
constexpr std::string_view notUnitaryLine =
    "Matrix for decomposition is not unitary. Program can not work further with such matrix.!!!";

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// Messages may hold line breaks; standard error gets one line per message.
std::string oneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// What the run said that decides the exit status.
struct RunOutcome {
    bool problem = false;
    bool notUnitary = false;
};

void connectOutput(HeadlessPresentation& ui, RunOutcome& outcome, std::ostream& out, std::ostream& err)
{
    ui.onLog = [&](const std::string& line) {
        out << line << '\n';
        if (startsWith(line, "!") || startsWith(line, ":(("))
            outcome.problem = true;
        if (line == notUnitaryLine)
            outcome.notUnitary = true;
    };
    ui.onMessage = [&](const RecordedMessage& message) {
        out.flush();
        err << (message.style == MessageStyle::error ? "error: " : "info: ") << oneLine(message.text) << std::endl;
        outcome.problem = true;
    };
    ui.onQuestion = [&](const std::string& question) {
        out.flush();
        err << "question: " << oneLine(question) << std::endl;
    };
}

// Loads the file or generates the random matrix; false (with a line on `err`) when the input is refused.
bool setUpMatrix(Workspace& ws, HeadlessPresentation& ui, const CliOptions& options, std::ostream& out,
                 std::ostream& err)
{
    if (options.randomQubits) {
        ui.setQubitFieldText(std::to_string(*options.randomQubits));
        Edit1Change(ws, ui);
        return ws.qubitCount == *options.randomQubits;
    }
    if (!options.inputFile)
        return true;
    const std::string& file = *options.inputFile;
    try {
        if (!loadMatrixFile(ws, ui, file)) {
            out.flush();
            err << "error: " << file << ": no matrix was read (its size must be 4, 8, 16 or 32)" << std::endl;
            return false;
        }
    } catch (const std::exception& e) {
        out.flush();
        err << "error: " << file << ": " << oneLine(e.what()) << std::endl;
        return false;
    }
    ui.appendLog("The matrix was successfully loaded from the file.");
    return true;
}

}  // namespace

int runCli(const CliOptions& options, std::ostream& out, std::ostream& err)
{
    HeadlessPresentation ui;
    // Only the log, the messages and the questions are needed; a long run would
    // otherwise keep every event and canvas operation.
    ui.recordEvents = false;
    ui.recordingCanvas.recording = false;
    RunOutcome outcome;
    connectOutput(ui, outcome, out, err);

    auto ws = createWorkspace(ui);
    ui.endStageIndex = options.endStage;
    ui.roboptim = options.optimize;
    ui.Kontrolptimkrok1 = options.selfCheck;
    ui.Zobroptimkroky = options.showSteps;
    if (options.seed)
        ws->random.fixSeed(*options.seed);

    if (!setUpMatrix(*ws, ui, options, out, err)) {
        out.flush();
        return exitRefused;
    }

    try {
        decompose(*ws, ui);
    } catch (const std::exception& e) {
        out.flush();
        err << "error: " << oneLine(e.what()) << std::endl;
        outcome.problem = true;
    }

    if (options.saveFile) {
        try {
            saveMatrixFile(*ws, ui, *options.saveFile);
        } catch (const std::exception& e) {
            out.flush();
            err << "error: " << *options.saveFile << ": " << oneLine(e.what()) << std::endl;
            outcome.problem = true;
        }
    }
    out.flush();

    if (outcome.notUnitary) {
        err << "error: the matrix is not unitary, so it was not decomposed" << std::endl;
        return exitRefused;
    }
    return outcome.problem ? exitProblem : exitOk;
}
