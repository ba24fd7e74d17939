#include "python/decomposition.h"

#include <bit>
#include <string>

#include "engine/endstage.h"
#include "python/quietpresentation.h"
#include "python/refusal.h"
#include "python/workspacepool.h"
#include "workspace/driver.h"
#include "workspace/largedecomposition.h"
#include "workspace/driversentences.h"
#include "workspace/workspace.h"

namespace {

// The driver's line and, under it, how far the matrix is from unitary.
std::string notUnitaryText(const RunSummary& summary)
{
    std::string text(driverText::inputNotUnitary);
    if (summary.inputDefect) {
        text += '\n';
        text += driverText::unitarityDistance(*summary.inputDefect, summary.inputTolerance);
    }
    return text;
}

// Beyond the workspace: the end stage's route with a gate list of its own.
CircuitResult decomposeLargeMatrix(const SquareMatrix& matrix, const DecompositionSettings& settings)
{
    const EndStage& stage = endStageOfBox(settings.endStage);
    const int qubits = std::countr_zero(static_cast<unsigned>(matrix.size));
    if (!takesQubits(stage, qubits))
        throw Refusal(sizeRefusal(stage, matrix.size));
    HeadlessPresentation ui;
    keepLogOnly(ui);
    DenseMatrix input(matrix.size);
    input.entries = matrix.entries;
    LargeRun run = decomposeLarge(input, stage, ui);
    if (run.summary.inputUnitary == CheckState::failed)
        throw Refusal(notUnitaryText(run.summary));
    return circuitResultOfLargeRun(std::move(run.gates), ui, run.summary);
}

}  // namespace

CircuitResult decomposeMatrix(const SquareMatrix& matrix, const DecompositionSettings& settings)
{
    if (matrix.size > (1 << maxQubits))
        return decomposeLargeMatrix(matrix, settings);
    HeadlessPresentation ui;
    keepLogOnly(ui);
    std::shared_ptr<Workspace> ws = borrowWorkspace(ui);
    ui.endStageIndex = settings.endStage;
    ui.roboptim = settings.optimize;
    ui.Kontrolptimkrok1 = settings.selfCheck;
    ui.cancelWhen = settings.interrupted;

    const int n = matrix.size;
    ws->matrixSize = n;
    ws->qubitCount = std::countr_zero(static_cast<unsigned>(n));
    ui.qubitField = std::to_string(ws->qubitCount);
    for (int row = 1; row <= n; ++row)
        for (int column = 1; column <= n; ++column)
            ws->matrixA(row, column) = matrix.entries[static_cast<std::size_t>((row - 1) * n + (column - 1))];

    const RunSummary summary = decomposeRecorded(*ws, ui);
    // The circuit keeps a compact copy; the workspace goes back to the pool at once.
    CircuitResult result = circuitResultOfRun(*ws, ui, summary);
    if (summary.inputUnitary == CheckState::failed)
        throw Refusal(notUnitaryText(summary));
    return result;
}
