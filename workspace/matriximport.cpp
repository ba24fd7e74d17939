#include "workspace/matriximport.h"

#include "engine/kernel/errors.h"
#include "interchange/npyfile.h"
#include "interchange/qasm/importer.h"
#include "interchange/qasm/lexer.h"
#include "platform/forwardingpresentation.h"
#include "platform/presentation.h"
#include "platform/readfilebytes.h"
#include "workspace/matrixfile.h"

namespace {

// A new qubit count generates a random matrix, which an import overwrites at
// once: its log line would tell of a matrix the user never gets.
class ImportPresentation final : public ForwardingPresentation {
public:
    using ForwardingPresentation::ForwardingPresentation;

    void appendLog(std::string_view line) override
    {
        if (line != randomMatrixLine)
            ForwardingPresentation::appendLog(line);
    }

private:
    static constexpr std::string_view randomMatrixLine = "The unitary matrix was randomly generated.";
};

void applyImported(Workspace& ws, Presentation& ui, const MatrixFileContent& content, std::string_view importedLine)
{
    ImportPresentation importing(ui);
    applyMatrixContent(ws, importing, content);
    ui.appendLog(importedLine);
}

}  // namespace

MatrixFileContent readNpyMatrix(const std::string& fileName, int mostSize)
{
    return parseNpyFile(readFileBytes(fileName, maxNpyFileBytesFor(mostSize)), mostSize);
}

void applyNpyMatrix(Workspace& ws, Presentation& ui, const MatrixFileContent& content)
{
    applyImported(ws, ui, content, npyImportedLine);
}

void importNpyFile(Workspace& ws, Presentation& ui, const std::string& fileName)
{
    applyNpyMatrix(ws, ui, readNpyMatrix(fileName, workspaceNpySize));
}

MatrixFileContent readQasmMatrix(const std::string& fileName, int mostQubits, Presentation& ui)
{
    const std::string text = readFileBytes(fileName, maxQasmFileBytes);
    try {
        return qasmUnitary(text, ui, maxQasmCircuitGates, mostQubits);
    } catch (const QasmImportError& e) {
        const std::string where = e.line > 0 ? "line " + std::to_string(e.line) + ": " : std::string();
        throw FileError("The circuit cannot be imported: " + where + e.what() + ".");
    }
}

void applyQasmMatrix(Workspace& ws, Presentation& ui, const MatrixFileContent& content)
{
    applyImported(ws, ui, content, qasmImportedLine);
}

void importQasmFile(Workspace& ws, Presentation& ui, const std::string& fileName)
{
    applyQasmMatrix(ws, ui, readQasmMatrix(fileName, workspaceQasmQubits, ui));
}
