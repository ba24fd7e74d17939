#include "app/cli/run.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <ostream>
#include <string>

#include "app/cli/options.h"
#include "engine/kernel/errors.h"
#include "platform/filename.h"
#include "platform/headlesspresentation.h"
#include "ui/commands.h"
#include "workspace/driver.h"
#include "workspace/matrixfile.h"
#include "interchange/npyfile.h"
#include "workspace/matriximport.h"
#include "interchange/qasm/importer.h"
#include "interchange/qasm/exporter.h"
#include "ui/edit1change.h"
#include "interchange/runsummary.h"
#include "workspace/workspace.h"

namespace {

// Messages may hold line breaks; standard error gets one line per message.
std::string oneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// A message the command line showed (the input's, the run's, a save's or an export's).
struct RunOutcome {
    bool problem = false;
};

void connectOutput(HeadlessPresentation& ui, RunOutcome& outcome, std::ostream& out, std::ostream& err)
{
    ui.onLog = [&](const std::string& line) { out << line << '\n'; };
    ui.onMessage = [&](const RecordedMessage& message) {
        out.flush();
        const char* prefix = message.style == MessageStyle::error ? "error: " : "info: ";
        err << prefix << oneLine(message.text) << std::endl;
        if (!message.detail.empty())
            err << prefix << oneLine(message.detail) << std::endl;
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
    if (options.qasmInputFile || (options.inputFile && hasExtension(*options.inputFile, ".npy"))) {
        const std::string& file = options.qasmInputFile ? *options.qasmInputFile : *options.inputFile;
        try {
            if (options.qasmInputFile)
                importQasmFile(ws, ui, file);
            else
                importNpyFile(ws, ui, file);
        } catch (const std::exception& e) {
            out.flush();
            err << "error: " << file << ": " << oneLine(e.what()) << std::endl;
            return false;
        }
        return true;
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
    } catch (const ConversionError& e) {
        out.flush();
        err << "error: " << file << ": " << oneLine(e.what()) << std::endl;
        if (!e.detail().empty())
            err << "error: " << file << ": " << oneLine(e.detail()) << std::endl;
        return false;
    } catch (const std::exception& e) {
        out.flush();
        err << "error: " << file << ": " << oneLine(e.what()) << std::endl;
        return false;
    }
    ui.appendLog("The matrix was successfully loaded from the file.");
    return true;
}

// Writes the exports the options ask for; false when one of them failed (its
// reason is already on `err` through the presentation's messages).
bool writeExports(const Workspace& ws, HeadlessPresentation& ui, const CliOptions& options,
                  const std::optional<RunSummary>& summary, std::ostream& err)
{
    bool written = true;
    if (options.jsonFile) {
        if (summary)
            written = saveRunSummary(*summary, *options.jsonFile, ui) && written;
        else {
            err << "error: " << *options.jsonFile << ": not written, the run ended early" << std::endl;
            written = false;
        }
    }
    // A circuit left from nothing (a refused matrix, no synthesis stage) is not this run's.
    const bool circuitBuilt = summary && summary->circuitBuilt;
    auto circuitExport = [&](const std::optional<std::string>& file, auto write) {
        if (!file)
            return;
        if (!circuitBuilt) {
            err << "error: " << *file << ": not written, the run built no circuit" << std::endl;
            written = false;
            return;
        }
        written = write(*file) && written;
    };
    circuitExport(options.qasmFile, [&](const std::string& file) { return exportQasm(ws, QasmVersion::v3, file, ui); });
    circuitExport(options.qasm2File, [&](const std::string& file) { return exportQasm(ws, QasmVersion::v2, file, ui); });
    circuitExport(options.svgFile, [&](const std::string& file) { return exportPictureSvg(ws, ui, file); });
    return written;
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

    std::optional<RunSummary> summary;
    try {
        summary = decomposeRecorded(*ws, ui);
    } catch (const std::exception& e) {
        out.flush();
        err << "error: " << oneLine(e.what()) << std::endl;
        outcome.problem = true;
    }

    // The log so far goes out first: a save to standard output follows it.
    out.flush();
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
    if (!writeExports(*ws, ui, options, summary, err))
        outcome.problem = true;
    out.flush();

    const int status = exitStatus(summary, outcome.problem);
    if (status == exitRefused)
        err << "error: the matrix is not unitary, so it was not decomposed" << std::endl;
    return status;
}

int exitStatus(const std::optional<RunSummary>& summary, bool otherProblem)
{
    if (summary && summary->inputUnitary == CheckState::failed)
        return exitRefused;
    if (otherProblem || !summary)
        return exitProblem;
    const CheckState checks[] = {summary->reduction, summary->reconstruction, summary->finalCircuit,
                                 summary->gateUnitarity};
    for (CheckState check : checks)
        if (check == CheckState::failed)
            return exitProblem;
    return summary->problemLines > 0 || summary->messages > 0 ? exitProblem : exitOk;
}
