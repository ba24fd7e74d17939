#include "python/circuitexports.h"

#include <algorithm>
#include <memory>
#include <sstream>

#include "engine/shannon/circuitproduct.h"
#include "platform/svgcanvas.h"
#include "python/quietpresentation.h"
#include "python/refusal.h"
#include "ui/circuitpicture.h"
#include "ui/commands.h"
#include "workspace/circuitmatrix.h"
#include "workspace/matrixfile.h"
#include "workspace/workspace.h"

namespace {

void requireCircuit(const CircuitResult& circuit)
{
    if (!circuit.circuitBuilt)
        throw Refusal(std::string(noCircuitToExportMessage));
}

// The picture and the .mat file are the workspace's: five qubits at most.
void requireWorkspace(const CircuitResult& circuit, const char* what)
{
    if (!circuit.workspace)
        throw Refusal(std::string("The ") + what + " holds circuits of 2 to 5 qubits; this one has " +
                      std::to_string(circuit.qubits) + ".");
}

constexpr int noteHeight = 28;

}  // namespace

SquareMatrix circuitMatrix(const CircuitResult& circuit)
{
    requireCircuit(circuit);
    if (!circuit.workspace) {
        DenseMatrix product = circuitProduct(circuitGates(circuit), circuit.qubits);
        return {product.size, std::move(product.entries)};
    }
    HeadlessPresentation ui;
    keepLogOnly(ui);
    const std::shared_ptr<const Workspace> held = workspaceOf(circuit);
    const Workspace& ws = *held;
    auto composed = std::make_unique<TMATICA1>();
    composeCircuit(ws, *composed, ui);
    SquareMatrix matrix;
    matrix.size = ws.matrixSize;
    for (int row = 1; row <= ws.matrixSize; ++row)
        for (int column = 1; column <= ws.matrixSize; ++column)
            matrix.entries.push_back((*composed)(row, column));
    return matrix;
}

std::string circuitQasm(const CircuitResult& circuit, QasmVersion version)
{
    requireCircuit(circuit);
    const std::vector<TGATE1> list = circuitGates(circuit);
    const QasmCircuit gates{list, circuit.qubits};
    QasmExport text = version == QasmVersion::v3 ? qasm3Text(gates) : qasm2Text(gates);
    if (!text.ok())
        throw Refusal(text.refusal);
    return std::move(text.text);
}

std::string circuitSvg(const CircuitResult& circuit, int shownGates)
{
    requireCircuit(circuit);
    requireWorkspace(circuit, "picture");
    HeadlessPresentation ui;
    keepLogOnly(ui);
    const std::shared_ptr<const Workspace> held = workspaceOf(circuit);
    const Workspace& ws = *held;
    const int count = std::clamp(shownGates, 0, ws.pocetb1);
    const auto layout = circuitPictureLayout(windowDrawingView(ws, ui), ws.gates, count);
    if (!layout)
        throw Refusal(std::string(pictureTooLargeMessage));

    const int leftOut = ws.pocetb1 - count;
    std::ostringstream out;
    {
        SvgCanvas svg(out, layout->width, layout->height + (leftOut > 0 ? noteHeight : 0));
        drawCircuitPicture(svg, *layout, ws.gates, count);
        if (leftOut > 0) {
            svg.setBrushColor(white);
            svg.fillRect(0, layout->height, layout->width, layout->height + noteHeight);
            svg.setFontColor(black);
            svg.setFontHeight(14);
            svg.textOut(10, layout->height + 6,
                        "The first " + std::to_string(count) + " of " + std::to_string(ws.pocetb1) + " gates; " +
                            std::to_string(leftOut) + " more are left out (svg() draws them all).");
        }
    }
    return out.str();
}

void saveCircuitMatFile(const CircuitResult& circuit, const std::string& path)
{
    requireWorkspace(circuit, ".mat file");
    HeadlessPresentation ui;
    keepLogOnly(ui);
    saveMatrixFile(*workspaceOf(circuit), ui, path);
}
