#include "app/cli/run.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <optional>
#include <ostream>
#include <string>

#include "app/cli/options.h"
#include "engine/endstage.h"
#include "engine/kernel/densematrix.h"
#include "engine/kernel/errors.h"
#include "engine/shannon/haarrandom.h"
#include "platform/filename.h"
#include "platform/headlesspresentation.h"
#include "platform/replacefile.h"
#include "ui/commands.h"
#include "workspace/comparison.h"
#include "workspace/driver.h"
#include "workspace/driversentences.h"
#include "workspace/largedecomposition.h"
#include "workspace/matrixfile.h"
#include "interchange/npyfile.h"
#include "interchange/matrixcontent.h"
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

// A matrix larger than the workspace holds, when the input is one.
using LargeInput = std::optional<DenseMatrix>;

DenseMatrix denseMatrix(const MatrixFileContent& content)
{
    DenseMatrix m(content.size);
    m.entries = content.entries;
    return m;
}

// Loads the file or generates the random matrix, into the workspace or, beyond
// five qubits, into `large`; false (with a line on `err`) when the input is refused.
bool setUpMatrix(Workspace& ws, HeadlessPresentation& ui, const CliOptions& options, LargeInput& large,
                 std::ostream& out, std::ostream& err)
{
    if (options.randomQubits && *options.randomQubits > maxQubits) {
        large = haarRandomUnitary(1 << *options.randomQubits, ws.random);
        ui.appendLog("The unitary matrix was randomly generated.");
        return true;
    }
    if (options.randomQubits) {
        ui.setQubitFieldText(std::to_string(*options.randomQubits));
        Edit1Change(ws, ui);
        return ws.qubitCount == *options.randomQubits;
    }
    if (options.qasmInputFile || (options.inputFile && hasExtension(*options.inputFile, ".npy"))) {
        const std::string& file = options.qasmInputFile ? *options.qasmInputFile : *options.inputFile;
        try {
            const bool qasm = options.qasmInputFile.has_value();
            const MatrixFileContent content =
                qasm ? readQasmMatrix(file, largestQasmQubits, ui) : readNpyMatrix(file, largestNpySize);
            if (content.size <= (1 << maxQubits)) {
                if (qasm)
                    applyQasmMatrix(ws, ui, content);
                else
                    applyNpyMatrix(ws, ui, content);
                return true;
            }
            const EndStage& stage = endStageOfBox(options.endStage);
            if (!takesQubits(stage, std::countr_zero(static_cast<unsigned>(content.size)))) {
                out.flush();
                err << "error: " << file << ": " << sizeRefusal(stage, content.size) << std::endl;
                return false;
            }
            large = denseMatrix(content);
            ui.appendLog(std::string(qasm ? qasmImportedLine : npyImportedLine));
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
bool writeExports(const Workspace& ws, const LargeRun* large, HeadlessPresentation& ui, const CliOptions& options,
                  const std::optional<RunSummary>& summary, const std::optional<std::string>& comparisonText,
                  std::ostream& err)
{
    bool written = true;
    if (options.jsonFile) {
        if (comparisonText)
            written = writeTextFile(*options.jsonFile, *comparisonText, ui) && written;
        else if (summary)
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
    const std::optional<QasmCircuit> largeCircuit =
        large ? std::optional<QasmCircuit>(QasmCircuit{large->gates, large->summary.qubitCount}) : std::nullopt;
    auto qasm = [&](QasmVersion version) {
        return [&, version](const std::string& file) {
            const QasmCircuit circuit = largeCircuit ? *largeCircuit : qasmCircuitOf(ws);
            if (!options.basis)
                return exportQasm(circuit, version, file, ui);
            try {
                const BasisCircuit inSet = basisCircuit(circuit.gates, circuit.qubitCount, *options.basis);
                return writeTextFile(file, basisQasmText(inSet, circuit.qubitCount, version), ui);
            } catch (const std::invalid_argument& e) {
                err << "error: " << file << ": not written: " << e.what() << std::endl;
                return false;
            }
        };
    };
    circuitExport(options.qasmFile, qasm(QasmVersion::v3));
    circuitExport(options.qasm2File, qasm(QasmVersion::v2));
    circuitExport(options.svgFile, [&](const std::string& file) {
        if (!large)
            return exportPictureSvg(ws, ui, file);
        err << "error: " << file << ": not written, the picture draws circuits of 2 to 5 qubits" << std::endl;
        return false;
    });
    return written;
}

// Every route on the workspace's matrix; the table goes to `out` and the circuit
// with the fewest CNOTs into the workspace, for the exports. Returns the JSON
// of the comparison; nothing for a matrix the routes refused.
std::optional<std::string> runComparison(Workspace& ws, const CliOptions& options, std::ostream& out, bool& routeFailed,
                          std::optional<RunSummary>& keptSummary)
{
    ComparisonSettings settings;
    settings.optimize = options.optimize;
    settings.selfCheck = options.selfCheck;
    const Comparison comparison = compareRoutes(ws.matrixA, ws.qubitCount, settings);
    if (comparison.routes.front().summary.inputUnitary == CheckState::failed) {
        keptSummary = comparison.routes.front().summary;  // refused: the exit status says so
        return std::nullopt;
    }
    out << comparisonTable(comparison);
    routeFailed = std::any_of(comparison.routes.begin(), comparison.routes.end(),
                              [](const RouteRun& route) { return !route.figures.checksPassed; });
    const RouteRun& kept = fewestCnotRoute(comparison);
    keptSummary = kept.summary;
    ws.pocetb1 = static_cast<int>(kept.gates.size());
    std::copy(kept.gates.begin(), kept.gates.end(), ws.gates.begin() + 1);
    return comparisonJson(comparison, runSummaryJson(kept.summary));
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

    LargeInput largeInput;
    if (!setUpMatrix(*ws, ui, options, largeInput, out, err)) {
        out.flush();
        return exitRefused;
    }

    std::optional<RunSummary> summary;
    std::optional<LargeRun> large;
    std::optional<std::string> comparisonText;
    bool routeFailed = false;
    if (options.compare && largeInput) {
        out.flush();
        err << "error: --compare takes matrices of 2 to 5 qubits; this one has "
            << std::countr_zero(static_cast<unsigned>(largeInput->size)) << std::endl;
        return exitRefused;
    }
    try {
        if (options.compare) {
            comparisonText = runComparison(*ws, options, out, routeFailed, summary);
        } else if (largeInput) {
            large = decomposeLarge(*largeInput, endStageOfBox(options.endStage), ui);
            summary = large->summary;
        } else {
            summary = decomposeRecorded(*ws, ui);
        }
    } catch (const std::exception& e) {
        out.flush();
        err << "error: " << oneLine(e.what()) << std::endl;
        outcome.problem = true;
    }

    // The log so far goes out first: a save to standard output follows it.
    out.flush();
    if (options.saveFile && largeInput) {
        err << "error: " << *options.saveFile << ": not written, a .mat file holds matrices of 2 to 5 qubits"
            << std::endl;
        outcome.problem = true;
    } else if (options.saveFile) {
        try {
            saveMatrixFile(*ws, ui, *options.saveFile);
        } catch (const std::exception& e) {
            out.flush();
            err << "error: " << *options.saveFile << ": " << oneLine(e.what()) << std::endl;
            outcome.problem = true;
        }
    }
    out.flush();
    if (!writeExports(*ws, large ? &*large : nullptr, ui, options, summary, comparisonText, err))
        outcome.problem = true;
    if (routeFailed)
        outcome.problem = true;
    out.flush();

    const int status = exitStatus(summary, outcome.problem);
    if (status == exitRefused) {
        err << "error: the matrix is not unitary, so it was not decomposed" << std::endl;
        if (summary && summary->inputDefect)
            err << "error: " << driverText::unitarityDistance(*summary->inputDefect, summary->inputTolerance)
                << std::endl;
    }
    return status;
}

int exitStatus(const std::optional<RunSummary>& summary, bool otherProblem)
{
    if (summary && summary->inputUnitary == CheckState::failed)
        return exitRefused;
    if (otherProblem || !summary)
        return exitProblem;
    return anyCheckFailed(*summary) ? exitProblem : exitOk;
}
