#include "workspace/driver.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "engine/kernel/nearestunitary.h"
#include "engine/optimization/optimizer.h"
#include "engine/reduction/reduction.h"
#include "engine/reduction/tpq.h"
#include "engine/synthesis/basicstage.h"
#include "engine/synthesis/circuit.h"
#include "engine/synthesis/toffolistage.h"
#include "engine/synthesis/tpqsynthesis.h"
#include "platform/presentation.h"
#include "ui/circuitdrawing.h"
#include "workspace/circuitcomposition.h"
#include "workspace/workspace.h"

namespace {

// Item indices of the end-stage box.
constexpr int basicGatesStage = 0;
constexpr int l1GatesStage = 1;
constexpr int toffoliGatesStage = 2;

// The gate record and its bit arrays hold at most five qubits.
bool sizeSupported(const Workspace& ws)
{
    return ws.qubitCount >= 1 && ws.qubitCount <= maxQubits && ws.matrixSize == (1 << ws.qubitCount);
}

// Off-diagonal entries zero and diagonal entries of modulus 1, one log line per failing entry.
bool reductionReachedDiagonal(const Workspace& ws, Presentation& ui)
{
    const TMATICA1& a = ws.matrixA;
    bool ok = true;
    for (int i = 1; i <= ws.matrixSize; ++i)
        for (int j = 1; j <= ws.matrixSize; ++j) {
            if (j != i && modulus(a(i, j)) > ws.tolerance) {
                ui.appendLog("!! After the reduction, not all off-diagonal elements are zero.");
                ok = false;
            }
            if (j == i && std::fabs(modulus(a(i, i)) - 1.0) > ws.tolerance) {
                ui.appendLog("!! After the reduction, one of the diagonal elements has modul different from 1.");
                ok = false;
            }
        }
    return ok;
}

// a := a * t for a two-level t on the levels q < p. Only columns q and p
// change; each new entry is 0 + (term of column q) + (term of column p), the
// dense product's nonzero terms in its order, so the doubles are those of matMul.
void multiplyByTwoLevel(TMATICA1& a, const TMATICA1& t, int p, int q, int n)
{
    const Complex zero{};
    for (int i = 1; i <= n; ++i) {
        const Complex x = a(i, q);
        const Complex y = a(i, p);
        a(i, q) = zero + x * t(q, q) + y * t(p, q);
        a(i, p) = zero + x * t(q, p) + y * t(p, p);
    }
}

// matrixA := D * adjoint(T[tpqCount]) * ... * adjoint(T[1]), D from the angles.
void rebuildFromFactors(Workspace& ws, Presentation& ui)
{
    const int n = ws.matrixSize;
    TMATICA1& a = ws.matrixA;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            a(i, j) = i == j ? fromPolar(1.0, -ws.dAngles[i]) : Complex{};
    TMATICA1 factor;
    for (int k = ws.tpqCount; k >= 1; --k) {
        const TpqEntry& e = ws.tpqTable[k];
        makeTpqAdjoint(e.p, e.q, e.omega, e.fi, factor, n, ui);
        // Bad levels leave the identity, which changes nothing.
        if (e.q >= 1 && e.q < e.p && e.p <= n)
            multiplyByTwoLevel(a, factor, e.p, e.q, n);
    }
}

// Composes the whole circuit into matrixA, compares it with the input, and
// restores the input. Returns the largest entry difference it found.
double finalCheck(Workspace& ws, Presentation& ui, const TMATICA1& inputCopy, const char* success,
                  const char* failure)
{
    composeCircuit(ws, ws.matrixA, ui);
    const double difference = largestEntryDifference(ws.matrixA, inputCopy, ws.matrixSize);
    if (matEqual(ws.matrixA, inputCopy, ws.matrixSize, ws.tolerance))
        ui.appendLog(success);
    else
        ui.showMessage(failure, MessageStyle::information);
    ws.matrixA = inputCopy;
    return difference;
}

void optimizeIfChosen(Workspace& ws, Presentation& ui)
{
    if (ui.isChecked(Setting::roboptim))
        optimizeCircuit(ws, ui);
}

// The stages after the Tpq synthesis, as the end-stage box asks; each is
// followed by the statistics of the circuit. Returns the final check's
// difference when one ran.
std::optional<double> runEndStages(Workspace& ws, Presentation& ui, const TMATICA1& inputCopy)
{
    std::optional<double> difference;
    optimizeIfChosen(ws, ui);
    circuitStatistics(ws, ui);

    if (ui.endStage() < toffoliGatesStage) {
        DoL1U(ws, ui);
        optimizeIfChosen(ws, ui);
        circuitStatistics(ws, ui);
    }
    if (ui.endStage() == l1GatesStage)
        difference = finalCheck(ws, ui, inputCopy, "Circuit from L1(U) gates correspond to input unitary matrix.",
                   "!!!!!Circuit from L1(U) gates does not correspond to the input unitary matrix.");

    if (ui.endStage() < l1GatesStage) {
        Doelementarnych(ws, ui);
        // The basic-gate stage leaves many cancelling neighbours, so it is
        // always optimized.
        optimizeCircuit(ws, ui);
        circuitStatistics(ws, ui);
    }
    if (ui.endStage() == basicGatesStage)
        difference = finalCheck(ws, ui, inputCopy, "Circuit from Basic gates correspond to input unitary matrix.",
                                "!!!!! Circuit from Basic gates does not correspond to input unitary matrix!!!");
    return difference;
}

// Every gate's 2 x 2 matrix must be unitary; names the first one that is not.
bool gatesAreUnitary(const Workspace& ws, Presentation& ui)
{
    for (int g = 1; g <= ws.pocetb1; ++g)
        if (!isUnitary2(ws.gates[g].u, ws.tolerance)) {
            ui.showMessage("2x2 matrix in definition of gate number:" + std::to_string(g) + " is not unitary.",
                           MessageStyle::information);
            return false;
        }
    return true;
}

// The reduction clears each row exactly, so a matrix's defect from unitarity
// stays in the columns it leaves behind and is dropped whole with them: a
// stray entry of 1e-7 put the circuit 1e-7 from the input. A matrix unitary
// within the tolerance is replaced by its nearest unitary matrix, which spreads
// the defect over the entries; the checks still compare with the input itself.
// A matrix off by more (accepted under a looser tolerance) is left to fail.
void useNearestUnitaryWithinTolerance(Workspace& ws)
{
    constexpr double roundingDefect = 1e-12;
    const double defect = unitarityDefect(ws.matrixA, ws.matrixSize);
    if (!(defect > roundingDefect && defect <= ws.tolerance))
        return;
    replaceByNearestUnitary(ws.matrixA, ws.matrixSize);
}

void showCircuit(Workspace& ws, Presentation& ui)
{
    ui.setGateSliderTickFrequency(ws.pocetb1 / 50);
    ui.setGateSliderMaximum(ws.pocetb1);
    if (ws.pocetb1 < 5000)
        ui.setGateSelectorMaximum(ws.pocetb1);
    ui.setLabelText(Label::Label11, std::to_string(ws.pocetb1));
    ui.setProgressPosition(0);
    ui.setProgressVisible(false);
    drawCircuit(ws, ui, ws.gates, 1, ws.pocetb1);
    ui.setGateSliderEnabled(true);
    ui.setZoomSliderEnabled(true);
    ui.setGateSelectorEnabled(true);
}

}  // namespace

DecompositionResult decompose(Workspace& ws, Presentation& ui)
{
    ui.appendLog("Decomposition have began.");
    if (!sizeSupported(ws)) {
        ui.showMessage("A matrix of size " + std::to_string(ws.matrixSize) +
                           " can not be decomposed: the decomposition works with 2 to 5 qubits"
                           " (matrices of size 4 to 32).",
                       MessageStyle::error);
        return {};
    }
    const int n = ws.matrixSize;
    if (!isUnitary(ws.matrixA, n, ws.tolerance)) {
        ui.appendLog("Matrix for decomposition is not unitary. Program can not work further with such matrix.!!!");
        return {};
    }
    ws.tolerance = 1e-7;
    const TMATICA1 inputCopy = ws.matrixA;
    useNearestUnitaryWithinTolerance(ws);
    resetReduction(ws);

    ui.setProgressMaximum(n);
    ui.setProgressPosition(0);
    ui.setProgressStep(1);
    ui.setProgressVisible(true);
    if (ui.isChecked(Setting::Zobroptimkroky))
        ui.setChecked(Setting::Zuzeniezobrazenia1, false);

    for (int stage = n; stage >= 2; --stage) {
        ui.stepProgress();
        reduceStage(ws, ui, ws.matrixA, stage);
    }
    if (!reductionReachedDiagonal(ws, ui)) {
        ui.appendLog(":(( reduction was not correct, so the decomposition is cancelled.");
        return {};
    }
    for (int i = 1; i <= n; ++i)
        ws.dAngles[i] = -angle(ws.matrixA(i, i));

    rebuildFromFactors(ws, ui);
    if (!isUnitary(ws.matrixA, n, ws.tolerance))
        ui.appendLog("Reconstruction is corrupted, since multiplication of unitary matrices yield non-unitary matrix.");
    if (matEqual(ws.matrixA, inputCopy, n, ws.tolerance))
        ui.appendLog("Matrix Decomposition was successful.");
    else
        ui.appendLog(":(( Matrix Decomposition was unsuccessful.");

    ui.setGridVisible(false);
    ui.setDrawingVisible(true);
    ui.appendLog("The decomposition of Tpq into Quantum logic circuit has begun.");
    ui.setProgressMaximum(ws.tpqCount);
    ui.setProgressPosition(0);
    ui.setProgressStep(1);
    ws.pocetb1 = 0;
    bool complete = true;
    for (int t = 1; t <= ws.tpqCount && complete; ++t) {
        ui.stepProgress();
        complete = synthesizeTpq(ws, ui, t);
    }
    if (!complete || !synthesizeD(ws, ui)) {
        ui.appendLog("!!! The circuit list is full, so the synthesis of the circuit was stopped.");
        return {};
    }

    const DecompositionResult result{runEndStages(ws, ui, inputCopy)};

    if (!gatesAreUnitary(ws, ui))
        return result;
    showCircuit(ws, ui);
    return result;
}

void circuitStatistics(const Workspace& ws, Presentation& ui)
{
    std::array<int, maxQubits + 1> count{};
    for (int g = 1; g <= ws.pocetb1; ++g)
        if (ws.gates[g].type < count.size())
            ++count[ws.gates[g].type];
    ui.appendLog("Statistics of the circuit:--------");
    ui.appendLog("Overall number of gates: " + std::to_string(ws.pocetb1));
    for (int k = 0; k <= ws.qubitCount - 1 && k < static_cast<int>(count.size()); ++k)
        ui.appendLog("Number of L" + std::to_string(k) + "(U) gates:   " + std::to_string(count[k]));
    ui.appendLog("------------------------------------");
}
