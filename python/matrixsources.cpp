#include "python/matrixsources.h"

#include "engine/endstage.h"
#include "engine/kernel/errors.h"
#include "engine/shannon/haarrandom.h"
#include "interchange/qasm/importer.h"
#include "interchange/qasm/lexer.h"
#include "python/quietpresentation.h"
#include "python/refusal.h"
#include "python/workspacepool.h"
#include "ui/edit1change.h"
#include "workspace/matrixfile.h"
#include "workspace/workspace.h"

namespace {

SquareMatrix leadingBlock(const Workspace& ws)
{
    SquareMatrix matrix;
    matrix.size = ws.matrixSize;
    for (int row = 1; row <= ws.matrixSize; ++row)
        for (int column = 1; column <= ws.matrixSize; ++column)
            matrix.entries.push_back(ws.matrixA(row, column));
    return matrix;
}

}  // namespace

SquareMatrix randomMatrix(long long qubits, std::optional<std::uint64_t> seed)
{
    // Counts below 2 get the qubit field's own message.
    if (qubits > mostQubitsOfAnyEndStage)
        throw Refusal("The number of qubits has to be from 2 to " + std::to_string(mostQubitsOfAnyEndStage) + ", not " +
                      std::to_string(qubits) + ".");
    if (qubits > maxQubits) {
        // Beyond the qubit field: the same matrix as the command line's --random.
        RandomGenerator random;
        if (seed)
            random.fixSeed(*seed);
        DenseMatrix m = haarRandomUnitary(1 << qubits, random);
        return {m.size, std::move(m.entries)};
    }
    HeadlessPresentation ui;
    keepLogOnly(ui);
    const std::shared_ptr<Workspace> borrowed = borrowWorkspace(ui);
    Workspace& ws = *borrowed;
    if (seed)
        ws.random.fixSeed(*seed);
    ui.setQubitFieldText(std::to_string(qubits));
    Edit1Change(ws, ui);
    if (!ui.messages.empty())
        throw Refusal(ui.messages.front().text);
    return leadingBlock(ws);
}

SquareMatrix qasmMatrix(std::string_view text)
{
    HeadlessPresentation ui;
    keepLogOnly(ui);
    MatrixFileContent content;
    try {
        content = qasmUnitary(text, ui, maxQasmCircuitGates, largestQasmQubits);
    } catch (const QasmImportError& e) {
        const std::string where = e.line > 0 ? "line " + std::to_string(e.line) + ": " : std::string();
        throw Refusal("The circuit cannot be imported: " + where + e.what() + ".");
    }
    return {content.size, std::move(content.entries)};
}

SquareMatrix matFileMatrix(const std::string& path)
{
    HeadlessPresentation ui;
    keepLogOnly(ui);
    const std::shared_ptr<Workspace> borrowed = borrowWorkspace(ui);
    Workspace& ws = *borrowed;
    bool read = false;
    try {
        read = loadMatrixFile(ws, ui, path);
    } catch (const ConversionError& e) {
        const std::string what = e.detail().empty() ? std::string(e.what()) : std::string(e.what()) + " " + e.detail();
        throw Refusal("\"" + path + "\": " + what);
    } catch (const FileError& e) {
        // A file that opened but holds no matrix is a value problem; one that did not open stays an OSError.
        if (e.errorNumber() != 0 || std::string_view(e.what()).starts_with("Cannot "))
            throw;
        throw Refusal("\"" + path + "\": " + e.what());
    }
    if (!read) {
        std::string why = "No matrix was read from \"" + path + "\": its size must be 4, 8, 16 or 32.";
        if (!ui.log.empty())
            why = ui.log.size() == 1 ? ui.log.front() : ui.log[ui.log.size() - 2] + " " + ui.log.back();
        throw Refusal(why);
    }
    return leadingBlock(ws);
}
