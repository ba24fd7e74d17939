#include "workspace/driver.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include "engine/endstage.h"
#include "engine/kernel/densematrix.h"
#include "engine/kernel/nearestunitary.h"
#include "engine/optimization/optimizer.h"
#include "engine/reduction/reduction.h"
#include "engine/reduction/tpq.h"
#include "engine/shannon/fewestcnots.h"
#include "engine/synthesis/basicstage.h"
#include "engine/synthesis/circuit.h"
#include "engine/synthesis/toffolistage.h"
#include "engine/synthesis/tpqsynthesis.h"
#include "platform/forwardingpresentation.h"
#include "platform/headlesspresentation.h"
#include "ui/circuitdrawing.h"
#include "workspace/circuitmatrix.h"
#include "workspace/driversentences.h"
#include "workspace/numericalrun.h"
#include "workspace/runwatch.h"
#include "workspace/stagetimer.h"
#include "workspace/workspace.h"

namespace {

// The whole run's record, filled where the driver logs each step.
struct RunRecord {
    RunSummary summary;
    StageTimer timer;
    std::optional<NumericalCircuit> instantiated;  // the numerical route's circuit, made before the run
};

// The workspace holds at most 64 x 64 and its circuit list five qubits; the
// end stage may take fewer.
bool sizeSupported(const Workspace& ws, const EndStage& stage)
{
    return takesQubits(stage, ws.qubitCount) && ws.qubitCount <= maxQubits && ws.matrixSize == (1 << ws.qubitCount);
}

// Off-diagonal entries zero and diagonal entries of modulus 1, one log line per failing entry.
bool reductionReachedDiagonal(const Workspace& ws, Presentation& ui)
{
    const TMATICA1& a = ws.matrixA;
    bool ok = true;
    for (int i = 1; i <= ws.matrixSize; ++i)
        for (int j = 1; j <= ws.matrixSize; ++j) {
            if (j != i && modulus(a(i, j)) > ws.tolerance) {
                ui.appendLog(driverText::offDiagonalLeft);
                ok = false;
            }
            if (j == i && std::fabs(modulus(a(i, i)) - 1.0) > ws.tolerance) {
                ui.appendLog(driverText::diagonalModulus);
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
// restores the input.
void finalCheck(Workspace& ws, Presentation& ui, const TMATICA1& inputCopy, std::string_view success,
                std::string_view failure, RunSummary& summary)
{
    composeCircuit(ws, ws.matrixA, ui);
    summary.maxEntryDifference = largestEntryDifference(ws.matrixA, inputCopy, ws.matrixSize);
    const bool passed = matEqual(ws.matrixA, inputCopy, ws.matrixSize, ws.tolerance);
    if (passed)
        ui.appendLog(success);
    else
        ui.showMessage(failure, MessageStyle::information);
    summary.finalCircuit = passed ? CheckState::passed : CheckState::failed;
    ws.matrixA = inputCopy;
}

void optimizeIfChosen(Workspace& ws, Presentation& ui)
{
    if (ui.isChecked(Setting::roboptim))
        optimizeCircuit(ws, ui);
}

// The stages after the Tpq synthesis, down to the end stage's gates; each is
// followed by the statistics of the circuit.
void runEndStages(Workspace& ws, Presentation& ui, const EndStage& stage, const TMATICA1& inputCopy, RunRecord& run)
{
    optimizeIfChosen(ws, ui);
    run.timer.close(run.summary, circuitStatistics(ws, ui), "Generalized Toffoli gates");
    if (stage.depth == Depth::toffoliGates)
        return;

    DoL1U(ws, ui);
    optimizeIfChosen(ws, ui);
    run.timer.close(run.summary, circuitStatistics(ws, ui), "L1(U) gates");
    if (stage.depth == Depth::l1Gates) {
        if (stage.finalCheck)
            finalCheck(ws, ui, inputCopy, driverText::l1CircuitPassed, driverText::l1CircuitFailed, run.summary);
        return;
    }

    Doelementarnych(ws, ui);
    // The basic-gate stage leaves many cancelling neighbours, so it is always optimized.
    optimizeCircuit(ws, ui);
    run.timer.close(run.summary, circuitStatistics(ws, ui), "basic gates");
    if (stage.finalCheck)
        finalCheck(ws, ui, inputCopy, driverText::basicCircuitPassed, driverText::basicCircuitFailed, run.summary);
}

// Every gate's 2 x 2 matrix must be unitary; names the first one that is not.
bool gatesAreUnitary(const Workspace& ws, Presentation& ui)
{
    for (int g = 1; g <= ws.pocetb1; ++g)
        if (!isUnitary2(ws.gates[g].u, ws.tolerance)) {
            ui.showMessage(std::string(driverText::gateNotUnitaryStart) + std::to_string(g) +
                               std::string(driverText::gateNotUnitaryEnd),
                           MessageStyle::information);
            return false;
        }
    return true;
}

// The reduction clears each row exactly, so a matrix's defect from unitarity
// would be dropped whole with the columns it leaves behind. A matrix unitary
// within the tolerance is replaced by its nearest unitary matrix, which spreads
// the defect over the entries; the checks still compare with the input itself.
// A matrix off by more (accepted under a looser tolerance) is left to fail.
// Returns the defect of a matrix it replaced.
std::optional<double> useNearestUnitaryWithinTolerance(TMATICA1& a, int size, double tolerance)
{
    constexpr double roundingDefect = 1e-12;
    const double defect = unitarityDefect(a, size);
    if (!(defect > roundingDefect && defect <= tolerance))
        return std::nullopt;
    replaceByNearestUnitary(a, size);
    return defect;
}

// The tolerance of every check once the input was accepted.
constexpr double runTolerance = 1e-7;

}  // namespace

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

namespace {

int cnotCount(const Workspace& ws) { return cnotCount(std::span(ws.gates).subspan(1, ws.pocetb1)); }

void checkGatesAndShow(Workspace& ws, Presentation& ui, RunSummary& summary)
{
    const bool unitaryGates = gatesAreUnitary(ws, ui);
    summary.gateUnitarity = unitaryGates ? CheckState::passed : CheckState::failed;
    if (unitaryGates)
        showCircuit(ws, ui);
}

// Few nonzero entries: at most two per row on average, as in permutations,
// controlled gates and diagonal matrices. The two-level route often needs fewer
// CNOTs there, and it is quick; on denser matrices it is neither.
bool isSparse(const Workspace& ws)
{
    constexpr double zeroEntry = 1e-12;
    int nonzero = 0;
    for (int i = 1; i <= ws.matrixSize; ++i)
        for (int j = 1; j <= ws.matrixSize; ++j)
            nonzero += modulus(ws.matrixA(i, j)) > zeroEntry ? 1 : 0;
    return nonzero <= 2 * ws.matrixSize;
}

// A scratch workspace holding ws's matrix, decomposed by the two-level route
// to the end stage of `boxIndex` with optimization and nothing shown.
struct QuietRun {
    std::unique_ptr<Workspace> ws;
    RunSummary summary;
};

QuietRun quietTwoLevelRun(const Workspace& ws, int boxIndex)
{
    HeadlessPresentation quiet;
    quiet.recordEvents = false;
    quiet.recordingCanvas.recording = false;
    quiet.endStageIndex = boxIndex;
    quiet.roboptim = true;
    QuietRun run{createWorkspace(quiet), {}};
    run.ws->qubitCount = ws.qubitCount;
    run.ws->matrixSize = ws.matrixSize;
    run.ws->matrixA = ws.matrixA;
    run.ws->tolerance = ws.tolerance;
    run.summary = decompose(*run.ws, quiet);
    return run;
}

int gatesWithTwoOrMoreControls(const Workspace& ws)
{
    const auto gates = std::span(ws.gates).subspan(1, ws.pocetb1);
    return static_cast<int>(std::count_if(gates.begin(), gates.end(), [](const TGATE1& g) { return g.type >= 2; }));
}

// Runs the two-level route to optimized basic gates on matrixA in a scratch
// workspace; when its circuit is exact and needs fewer CNOTs than the circuit
// in ws, that circuit takes its place. Logs which is kept.
//
// The whole run costs a hundred times the block-ZXZ one at five qubits, so the
// Generalized Toffoli stage (a twentieth of it) decides first whether it can
// win: every gate with two or more controls there costs at least the 6 CNOTs
// of a Toffoli gate, and over permutations, controlled gates and two-level
// matrices of 3 to 5 qubits the final circuit had 6 to 38 CNOTs for each of
// them. A circuit with as many such gates as the block-ZXZ one has CNOTs is
// not run to the end.
void keepFewerCnots(Workspace& ws, Presentation& ui)
{
    const int blockZxzCnots = cnotCount(ws);
    const auto keptLine = [&](const std::string& against) {
        ui.appendLog(std::string(driverText::fewestCnotsKept) + std::to_string(blockZxzCnots) + " CNOTs against " +
                     against + ".");
    };
    const QuietRun toffoli = quietTwoLevelRun(ws, endStageOfWord("toffoli")->boxIndex);
    const int multiControlled = gatesWithTwoOrMoreControls(*toffoli.ws);
    if (multiControlled >= blockZxzCnots) {
        keptLine("a circuit of " + std::to_string(multiControlled) + " gates with two or more controls");
        return;
    }

    const QuietRun basic = quietTwoLevelRun(ws, endStages.front().boxIndex);  // basic gates, with the final check
    const RunSummary& twoLevel = basic.summary;
    const bool exact = twoLevel.finalCircuit == CheckState::passed && twoLevel.gateUnitarity == CheckState::passed &&
                       twoLevel.messages == 0 && twoLevel.problemLines == 0 && twoLevel.maxEntryDifference &&
                       *twoLevel.maxEntryDifference <= exactCircuitBound;
    if (!exact || twoLevel.cnotCount >= blockZxzCnots) {
        keptLine(exact ? std::to_string(twoLevel.cnotCount) : std::string("an inexact circuit"));
        return;
    }
    ui.appendLog(std::string(driverText::twoLevelKept) + std::to_string(twoLevel.cnotCount) + " CNOTs against " +
                 std::to_string(blockZxzCnots) + ".");
    ws.pocetb1 = basic.ws->pocetb1;
    for (int g = 1; g <= ws.pocetb1; ++g)
        ws.gates[g] = basic.ws->gates[g];
}

// The optimizer compares gates within the tolerance, so it could drop a
// rotation smaller than that and the circuit would no longer be exact. Its
// result is kept only while the circuit still equals matrixA within exactCircuitBound.
void optimizeKeepingExact(Workspace& ws, Presentation& ui)
{
    const std::vector<TGATE1> before(ws.gates.begin() + 1, ws.gates.begin() + 1 + ws.pocetb1);
    optimizeCircuit(ws, ui);
    auto composed = std::make_unique<TMATICA1>();
    composeCircuit(ws, *composed, ui);
    if (largestEntryDifference(*composed, ws.matrixA, ws.matrixSize) <= exactCircuitBound)
        return;
    ui.appendLog(driverText::optimizationUndone);
    ws.pocetb1 = static_cast<int>(before.size());
    std::copy(before.begin(), before.end(), ws.gates.begin() + 1);
}

// Basic gates straight from the matrix (block-ZXZ), in place of the reduction,
// the Tpq synthesis and the end stages: no Tpq factors, no D angles.
void runFewestCnots(Workspace& ws, Presentation& ui, const TMATICA1& inputCopy, RunRecord& run)
{
    RunSummary& summary = run.summary;
    ui.setGridVisible(false);
    ui.setDrawingVisible(true);
    ui.appendLog(driverText::fewestCnotsStart);
    if (ui.isChecked(Setting::roboptim) && ui.isChecked(Setting::Zobroptimkroky))
        ui.setChecked(Setting::Zuzeniezobrazenia1, false);
    summary.circuitBuilt = true;
    const GateList circuit = fewestCnotsCircuit(denseMatrix(ws.matrixA, ws.matrixSize));
    ws.pocetb1 = static_cast<int>(circuit.size());
    std::copy(circuit.begin(), circuit.end(), ws.gates.begin() + 1);
    if (isSparse(ws)) {
        ui.appendLog(driverText::twoLevelComparison);
        keepFewerCnots(ws, ui);
    }
    run.timer.close(summary, circuitStatistics(ws, ui), "basic gates, fewest CNOTs");
    if (ui.isChecked(Setting::roboptim)) {
        optimizeKeepingExact(ws, ui);
        run.timer.close(summary, circuitStatistics(ws, ui), "optimization");
    }
    finalCheck(ws, ui, inputCopy, driverText::basicCircuitPassed, driverText::basicCircuitFailed, summary);
}

// The numerical route's circuit (made before the run started) in place of the
// reduction and the synthesis; a sparse matrix still gets the two-level
// comparison, and where the fewest-CNOT circuit was kept, its optimization.
void runNumerical(Workspace& ws, Presentation& ui, const TMATICA1& inputCopy, RunRecord& run)
{
    RunSummary& summary = run.summary;
    const NumericalCircuit& found = *run.instantiated;
    ui.setGridVisible(false);
    ui.setDrawingVisible(true);
    ui.appendLog(driverText::numericalStart);
    for (const std::string& line : numericalReportLines(found))
        ui.appendLog(line);
    summary.circuitBuilt = true;
    ws.pocetb1 = static_cast<int>(found.gates.size());
    std::copy(found.gates.begin(), found.gates.end(), ws.gates.begin() + 1);
    if (isSparse(ws)) {
        ui.appendLog(driverText::twoLevelComparison);
        keepFewerCnots(ws, ui);
    }
    const bool optimizing = found.fewestCnotsKept && ui.isChecked(Setting::roboptim);
    if (optimizing && ui.isChecked(Setting::Zobroptimkroky))
        ui.setChecked(Setting::Zuzeniezobrazenia1, false);
    run.timer.close(summary, circuitStatistics(ws, ui), "basic gates, fewest CNOTs, numerical");
    if (optimizing) {
        optimizeKeepingExact(ws, ui);
        run.timer.close(summary, circuitStatistics(ws, ui), "optimization");
    }
    finalCheck(ws, ui, inputCopy, driverText::basicCircuitPassed, driverText::basicCircuitFailed, summary);
}

// The run after the input was checked and copied: the route of the end stage,
// its checks and the drawing.
void runOnInput(Workspace& ws, Presentation& ui, const EndStage& stage, const TMATICA1& inputCopy, RunRecord& run)
{
    RunSummary& summary = run.summary;
    const int n = ws.matrixSize;
    run.summary.nearestUnitaryDefect = useNearestUnitaryWithinTolerance(ws.matrixA, n, ws.tolerance);
    if (run.summary.nearestUnitaryDefect)
        ui.appendLog(driverText::nearestUnitaryUsed(*run.summary.nearestUnitaryDefect));
    resetReduction(ws);
    if (stage.route == Route::fewestCnots) {
        runFewestCnots(ws, ui, inputCopy, run);
        checkGatesAndShow(ws, ui, summary);
        return;
    }
    if (stage.route == Route::numerical && run.instantiated) {
        runNumerical(ws, ui, inputCopy, run);
        checkGatesAndShow(ws, ui, summary);
        return;
    }

    ui.setProgressMaximum(n);
    ui.setProgressPosition(0);
    ui.setProgressStep(1);
    ui.setProgressVisible(true);
    if (ui.isChecked(Setting::Zobroptimkroky))
        ui.setChecked(Setting::Zuzeniezobrazenia1, false);

    for (int level = n; level >= 2; --level) {
        ui.stepProgress();
        reduceStage(ws, ui, ws.matrixA, level);
    }
    if (!reductionReachedDiagonal(ws, ui)) {
        ui.appendLog(driverText::reductionCancelled);
        summary.reduction = CheckState::failed;
        return;
    }
    summary.reduction = CheckState::passed;
    for (int i = 1; i <= n; ++i)
        ws.dAngles[i] = -angle(ws.matrixA(i, i));

    rebuildFromFactors(ws, ui);
    if (!isUnitary(ws.matrixA, n, ws.tolerance))
        ui.appendLog(driverText::reconstructionNotUnitary);
    const bool reconstructed = matEqual(ws.matrixA, inputCopy, n, ws.tolerance);
    ui.appendLog(reconstructed ? driverText::reconstructionPassed : driverText::reconstructionFailed);
    summary.reconstruction = reconstructed ? CheckState::passed : CheckState::failed;

    ui.setGridVisible(false);
    ui.setDrawingVisible(true);
    ui.appendLog(driverText::synthesisStart);
    summary.circuitBuilt = true;
    run.timer.close(summary, {}, "reduction");
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
        ui.appendLog(driverText::circuitListFull);
        return;
    }

    runEndStages(ws, ui, stage, inputCopy, run);
    checkGatesAndShow(ws, ui, summary);
}

// The run from its first check to the drawing; every return leaves the record
// as far as the run got.
void runDecomposition(Workspace& ws, Presentation& ui, RunRecord& run)
{
    RunSummary& summary = run.summary;
    const EndStage& stage = endStageOfBox(ui.endStage());
    if (!sizeSupported(ws, stage)) {
        ui.showMessage(sizeRefusal(stage, ws.matrixSize), MessageStyle::error);
        return;
    }
    const int n = ws.matrixSize;
    if (!isUnitary(ws.matrixA, n, ws.tolerance)) {
        ui.appendLog(driverText::inputNotUnitary);
        summary.inputUnitary = CheckState::failed;
        summary.inputDefect = unitarityDefect(ws.matrixA, n);
        summary.inputTolerance = ws.tolerance;
        return;
    }
    summary.inputUnitary = CheckState::passed;
    ws.tolerance = runTolerance;
    const TMATICA1 inputCopy = ws.matrixA;
    runOnInput(ws, ui, stage, inputCopy, run);
    // Whatever the stages left in matrixA (the reconstruction when no final
    // check ran, a half-reduced matrix when a check stopped the run), the
    // matrix of the workspace stays the one given: a save writes it as it was.
    ws.matrixA = inputCopy;
}

// The numerical route's circuit for a matrix the run will accept, made before
// the run shows or changes anything, so that a cancel leaves all as it was.
std::optional<NumericalCircuit> instantiateFirst(const Workspace& ws, Presentation& ui)
{
    const EndStage& stage = endStageOfBox(ui.endStage());
    const int n = ws.matrixSize;
    if (stage.route != Route::numerical || !sizeSupported(ws, stage) || !isUnitary(ws.matrixA, n, ws.tolerance))
        return std::nullopt;
    const auto polished = std::make_unique<TMATICA1>(ws.matrixA);
    useNearestUnitaryWithinTolerance(*polished, n, runTolerance);
    return numericalCircuitBeside(denseMatrix(*polished, n), ui);
}

}  // namespace

RunSummary decompose(Workspace& ws, Presentation& ui, const StageClock& clock)
{
    RunWatch watch(ui);
    RunRecord run{RunSummary{}, StageTimer(clock ? clock : StageClock(steadySeconds)), {}};
    run.instantiated = instantiateFirst(ws, watch);
    watch.appendLog(driverText::runStart);
    RunSummary& summary = run.summary;
    summary.endStage = ui.endStage();

    runDecomposition(ws, watch, run);
    // Counted inside the run's time: the count is part of what the run reports.
    if (summary.circuitBuilt) {
        summary.gateCount = ws.pocetb1;
        summary.cnotCount = cnotCount(ws);
    }

    run.timer.close(summary, {}, summary.circuitBuilt ? "final checks and drawing" : "reduction");
    summary.qubitCount = ws.qubitCount;
    summary.problemLines = watch.problemLines;
    summary.messages = watch.messages;
    return summary;
}

RunSummary decomposeRecorded(Workspace& ws, Presentation& ui)
{
    const auto input = std::make_unique<TMATICA1>(ws.matrixA);
    RunSummary summary = decompose(ws, ui);
    if (!summary.circuitBuilt || summary.maxEntryDifference)
        return summary;
    // Composed quietly: the composition's own messages belong to no stage of the run.
    HeadlessPresentation quiet;
    quiet.recordEvents = false;
    auto composed = std::make_unique<TMATICA1>();
    composeCircuit(ws, *composed, quiet);
    summary.maxEntryDifference = largestEntryDifference(*composed, *input, ws.matrixSize);
    return summary;
}

StageRecord circuitStatistics(std::span<const TGATE1> gates, int qubitCount, Presentation& ui)
{
    std::vector<int> count(static_cast<std::size_t>(std::max(qubitCount, 0)), 0);
    for (const TGATE1& g : gates)
        if (g.type < count.size())
            ++count[g.type];
    StageRecord statistics;
    statistics.hasStatistics = true;
    statistics.gateCount = static_cast<int>(gates.size());
    ui.appendLog(driverText::statisticsStart);
    ui.appendLog(std::string(driverText::gateCountPrefix) + std::to_string(gates.size()));
    for (std::size_t k = 0; k < count.size(); ++k) {
        ui.appendLog("Number of L" + std::to_string(k) + "(U) gates:   " + std::to_string(count[k]));
        statistics.gatesByControls.push_back(count[k]);
    }
    ui.appendLog(driverText::statisticsEnd);
    return statistics;
}

StageRecord circuitStatistics(const Workspace& ws, Presentation& ui)
{
    const int count = std::clamp(ws.pocetb1, 0, maxGates);
    return circuitStatistics(std::span(ws.gates).subspan(1, static_cast<std::size_t>(count)),
                             std::min(ws.qubitCount, maxQubits), ui);
}
