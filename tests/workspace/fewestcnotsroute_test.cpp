// The fewest-CNOT end stage through the driver: exact circuits of basic gates,
// the CNOT counts of the route, never more CNOTs than the two-level route, the
// run's log and its report.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "engine/kernel/nearestunitary.h"
#include "engine/synthesis/gate.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/driver.h"
#include "workspace/driversentences.h"
#include "workspace/workspace.h"

namespace {

constexpr int fewestCnotsStage = 3;
constexpr int basicGatesStage = 0;
constexpr double exactBound = 1e-12;

// CNOTs of a Haar-random matrix, by qubit count.
int randomCnotBound(int qubits)
{
    constexpr int bounds[] = {0, 0, 3, 19, 95, 423};
    return bounds[qubits];
}

TMATICA1 product(const TMATICA1& x, const TMATICA1& y, int qubits)
{
    TMATICA1 result;
    matMul(x, y, result, 1 << qubits);
    return result;
}

TMATICA1 adjointOf(const TMATICA1& m, int qubits)
{
    TMATICA1 result;
    const int n = 1 << qubits;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            result(i, j) = conjugate(m(j, i));
    return result;
}

TMATICA1 quantumFourierTransform(int qubits)
{
    const int n = 1 << qubits;
    TMATICA1 m;
    for (int j = 1; j <= n; ++j)
        for (int k = 1; k <= n; ++k)
            m(j, k) = fromPolar(1.0 / std::sqrt(double(n)), 2.0 * std::numbers::pi * (j - 1) * (k - 1) / n);
    return m;
}

// Q diag(e^(i eps k)) Q*: dense, within about eps of the identity.
TMATICA1 nearIdentity(int qubits, double eps, std::uint64_t seed)
{
    const TMATICA1 q = seededRandomUnitary(qubits, seed);
    TMATICA1 phases = identityUnitary(qubits);
    for (int k = 1; k <= (1 << qubits); ++k)
        phases(k, k) = fromPolar(1.0, eps * k);
    return product(product(q, phases, qubits), adjointOf(q, qubits), qubits);
}

// A different one-qubit gate on every qubit: a product of one-qubit gates.
TMATICA1 tensorOfOneQubitGates(int qubits)
{
    TMATICA1 m{};
    m(1, 1) = {1.0, 0.0};
    int size = 1;
    for (int q = 1; q <= qubits; ++q) {
        // e^(i p) [[a, -conjugate(b)], [b, conjugate(a)]] with |a|^2 + |b|^2 = 1.
        const Complex a = fromPolar(std::cos(0.3 * q), 0.1 * q);
        const Complex b = fromPolar(std::sin(0.3 * q), -0.4 * q);
        const Complex phase = fromPolar(1.0, 0.2 * q);
        const Complex g[2][2] = {{phase * a, phase * (-conjugate(b))}, {phase * b, phase * conjugate(a)}};
        TMATICA1 next{};
        for (int i = 0; i < size; ++i)
            for (int j = 0; j < size; ++j)
                for (int r = 0; r < 2; ++r)
                    for (int c = 0; c < 2; ++c)
                        next(2 * i + r + 1, 2 * j + c + 1) = m(i + 1, j + 1) * g[r][c];
        m = next;
        size *= 2;
    }
    return m;
}

// [[cos a, -i sin a], [-i sin a, cos a]] on the levels p < q, the identity elsewhere.
TMATICA1 twoLevelRotation(int qubits, int p, int q, double a)
{
    TMATICA1 m = identityUnitary(qubits);
    m(p, p) = m(q, q) = {std::cos(a), 0.0};
    m(p, q) = m(q, p) = {0.0, -std::sin(a)};
    return m;
}

// The matrices where structure should save CNOTs, and where the two-level route is strong.
std::vector<NamedUnitary> structuredFamilies(int qubits)
{
    std::vector<NamedUnitary> list = awkwardUnitaries(qubits);
    const TMATICA2 hadamard{{M_SQRT1_2, 0.0}, {M_SQRT1_2, 0.0}, {M_SQRT1_2, 0.0}, {-M_SQRT1_2, 0.0}};
    list.push_back({"controlled Hadamard", fullyControlledGate(qubits, 2, hadamard)});
    list.push_back({"permutation times rotation", permutationTimesRotation(qubits, 31, 0.4)});
    list.push_back({"permutation times tiny rotation", permutationTimesRotation(qubits, 32, 1e-9)});
    list.push_back({"two-level rotation on levels 1, 2", twoLevelRotation(qubits, 1, 2, 0.7)});
    list.push_back({"QFT", quantumFourierTransform(qubits)});
    list.push_back({"near identity 1e-3", nearIdentity(qubits, 1e-3, 33)});
    list.push_back({"near identity 1e-9", nearIdentity(qubits, 1e-9, 34)});
    list.push_back({"one-qubit gates", tensorOfOneQubitGates(qubits)});
    return list;
}

struct RouteRun {
    RunSummary summary;
    std::vector<std::string> log;
    int messages = 0;
    int cnots = 0;
    int tpqCount = -1;
    double error = 0.0;  // against the matrix actually decomposed
};

int countCnots(const Workspace& ws)
{
    int cnots = 0;
    for (int g = 1; g <= ws.pocetb1; ++g)
        cnots += ws.gates[g].type > 0 ? 1 : 0;
    return cnots;
}

// The matrix the driver decomposes: the nearest unitary one when the input is
// unitary only within the tolerance.
TMATICA1 decomposedMatrix(const TMATICA1& input, int qubits)
{
    TMATICA1 m = input;
    const int n = 1 << qubits;
    if (unitarityDefect(m, n) > 1e-12)
        replaceByNearestUnitary(m, n);
    return m;
}

class FewestCnotsRoute : public ::testing::Test {
protected:
    FewestCnotsRoute()
    {
        ui.recordEvents = false;
        ui.recordingCanvas.recording = false;
        ws = createWorkspace(ui);
    }

    RouteRun run(const TMATICA1& input, int qubits, int endStage, bool optimize = true)
    {
        ui.log.clear();
        ui.messages.clear();
        ui.endStageIndex = endStage;
        ui.roboptim = optimize;
        loadUnitary(*ws, input, qubits);
        RouteRun r;
        r.summary = decompose(*ws, ui);
        r.log = ui.log;
        r.messages = static_cast<int>(ui.messages.size());
        r.cnots = countCnots(*ws);
        r.tpqCount = ws->tpqCount;
        r.error = compositionError(*ws, ui, decomposedMatrix(input, qubits));
        return r;
    }

    // Every check of a fewest-CNOT run that holds for any input.
    void expectExactRun(const RouteRun& r, const std::string& what)
    {
        EXPECT_EQ(r.messages, 0) << what;
        EXPECT_EQ(r.summary.problemLines, 0) << what;
        EXPECT_EQ(r.summary.finalCircuit, CheckState::passed) << what;
        EXPECT_EQ(r.summary.gateUnitarity, CheckState::passed) << what;
        EXPECT_LE(r.error, exactBound) << what;
        EXPECT_EQ(r.tpqCount, 0) << what;
        EXPECT_LE(maxControlCount(*ws), 1) << what;
        for (int g = 1; g <= ws->pocetb1; ++g)
            if (ws->gates[g].type == 1) {
                ASSERT_TRUE(isCnot(ws->gates[g], ws->pauliX, 1e-15)) << what << ": gate " << g;
            }
    }

    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws;
};

// One-qubit gates on `wire` between two CNOTs that touch it, at most.
int mostOneQubitGatesBetweenCnots(const Workspace& ws)
{
    int most = 0;
    for (int wire = 1; wire <= ws.qubitCount; ++wire) {
        int run = 0;
        for (int g = 1; g <= ws.pocetb1; ++g) {
            const TGATE1& gate = ws.gates[g];
            const bool touches = gate.target == wire || (gate.type == 1 && gate.controls[1] == wire);
            if (!touches)
                continue;
            if (gate.type == 1) {
                run = 0;
                continue;
            }
            most = std::max(most, ++run);
        }
    }
    return most;
}

TEST_F(FewestCnotsRoute, RandomMatricesAreExactWithinTheRouteCounts)
{
    const int perSize[] = {0, 0, 40, 30, 15, 6};
    for (int qubits = 2; qubits <= 5; ++qubits) {
        std::vector<int> cnots;
        double worst = 0.0;
        const auto start = std::chrono::steady_clock::now();
        for (int seed = 1; seed <= perSize[qubits]; ++seed) {
            const std::string what = std::to_string(qubits) + " qubits, seed " + std::to_string(seed);
            const RouteRun r = run(seededRandomUnitary(qubits, 7000 + seed), qubits, fewestCnotsStage);
            expectExactRun(r, what);
            EXPECT_EQ(r.summary.cnotCount, r.cnots) << what;
            EXPECT_LE(r.cnots, randomCnotBound(qubits)) << what;
            EXPECT_LE(mostOneQubitGatesBetweenCnots(*ws), 1) << what;
            cnots.push_back(r.cnots);
            worst = std::max(worst, r.error);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::cout << "[ route    ] " << qubits << " qubits: " << cnots.size() << " random runs in " << seconds
                  << " s, CNOTs " << *std::min_element(cnots.begin(), cnots.end()) << ".."
                  << *std::max_element(cnots.begin(), cnots.end()) << ", worst error " << worst << "\n";
    }
}

TEST_F(FewestCnotsRoute, StructuredMatricesNeverNeedMoreCnotsThanTheTwoLevelRoute)
{
    for (int qubits = 2; qubits <= 5; ++qubits)
        for (const NamedUnitary& input : structuredFamilies(qubits)) {
            const std::string what = input.name + ", " + std::to_string(qubits) + " qubits";
            const RouteRun fewest = run(input.matrix, qubits, fewestCnotsStage);
            expectExactRun(fewest, what);
            EXPECT_LE(fewest.cnots, randomCnotBound(qubits)) << what;
            const RouteRun twoLevel = run(input.matrix, qubits, basicGatesStage);
            EXPECT_LE(fewest.cnots, twoLevel.cnots) << what;
            std::cout << "[ route    ] " << what << ": " << fewest.cnots << " CNOTs, two-level " << twoLevel.cnots
                      << ", error " << fewest.error << "\n";
        }
}

TEST_F(FewestCnotsRoute, ProductsOfOneQubitGatesNeedNoCnot)
{
    for (int qubits = 2; qubits <= 5; ++qubits)
        for (const NamedUnitary& input :
             {NamedUnitary{"identity", identityUnitary(qubits)},
              NamedUnitary{"minus identity", scalarUnitary(qubits, {-1.0, 0.0})},
              NamedUnitary{"one-qubit gates", tensorOfOneQubitGates(qubits)}}) {
            const std::string what = input.name + ", " + std::to_string(qubits) + " qubits";
            const RouteRun r = run(input.matrix, qubits, fewestCnotsStage);
            expectExactRun(r, what);
            EXPECT_EQ(r.cnots, 0) << what;
        }
}

TEST_F(FewestCnotsRoute, SparseMatricesKeepTheTwoLevelCircuitWhenItIsSmaller)
{
    // A fully controlled rotation: the two-level route wins; a dense matrix never tries it.
    const TMATICA1 rotation = twoLevelRotation(5, 1, 2, 0.7);
    const RouteRun sparse = run(rotation, 5, fewestCnotsStage);
    expectExactRun(sparse, "rotation");
    EXPECT_NE(std::find(sparse.log.begin(), sparse.log.end(), driverText::twoLevelComparison), sparse.log.end());
    const bool twoLevelKept = std::any_of(sparse.log.begin(), sparse.log.end(), [](const std::string& line) {
        return line.starts_with(driverText::twoLevelKept);
    });
    const int keptCnots = sparse.cnots;
    const RouteRun twoLevel = run(rotation, 5, basicGatesStage);
    EXPECT_EQ(keptCnots, twoLevel.cnots);
    EXPECT_TRUE(twoLevelKept);

    const RouteRun dense = run(seededRandomUnitary(5, 1), 5, fewestCnotsStage);
    for (const std::string& line : dense.log)
        EXPECT_FALSE(line == driverText::twoLevelComparison || line.starts_with(driverText::twoLevelKept)) << line;
}

// A random permutation has hundreds of gates with two or more controls in the
// two-level route's Toffoli stage: that route cannot win, and it is not run to
// the end (at five qubits that run costs a hundred block-ZXZ runs).
TEST_F(FewestCnotsRoute, APermutationIsDecidedAtTheTwoLevelRoutesToffoliStage)
{
    for (int qubits = 4; qubits <= 5; ++qubits) {
        const std::string what = std::to_string(qubits) + " qubits";
        const RouteRun r = run(permutationUnitary(qubits, 3), qubits, fewestCnotsStage);
        expectExactRun(r, what);
        EXPECT_LE(r.cnots, qubits == 4 ? 95 : 423) << what;
        const auto kept = std::find_if(r.log.begin(), r.log.end(), [](const std::string& line) {
            return line.starts_with(driverText::fewestCnotsKept);
        });
        ASSERT_NE(kept, r.log.end()) << what;
        EXPECT_NE(kept->find("gates with two or more controls"), std::string::npos) << *kept;
    }
}

TEST_F(FewestCnotsRoute, LogsTheRouteInPlaceOfTheReductionWithOneBlockPerStage)
{
    for (bool optimize : {true, false}) {
        const RouteRun r = run(seededRandomUnitary(3, 9), 3, fewestCnotsStage, optimize);
        const std::string what = optimize ? "optimized" : "not optimized";
        expectExactRun(r, what);
        ASSERT_GE(r.log.size(), 3u) << what;
        EXPECT_EQ(r.log[0], driverText::runStart) << what;
        EXPECT_EQ(r.log[1], driverText::fewestCnotsStart) << what;
        EXPECT_EQ(r.log.back(), driverText::basicCircuitPassed) << what;
        EXPECT_EQ(std::count(r.log.begin(), r.log.end(), driverText::statisticsStart), optimize ? 2 : 1) << what;
        for (std::string_view absent : {driverText::reconstructionPassed, driverText::synthesisStart})
            EXPECT_EQ(std::find(r.log.begin(), r.log.end(), absent), r.log.end()) << what << ": " << absent;

        EXPECT_EQ(r.summary.endStage, fewestCnotsStage);
        EXPECT_TRUE(r.summary.circuitBuilt);
        EXPECT_EQ(r.summary.reduction, CheckState::notRun);
        EXPECT_EQ(r.summary.reconstruction, CheckState::notRun);
        ASSERT_EQ(r.summary.stages.size(), optimize ? 3u : 2u) << what;
        EXPECT_EQ(r.summary.stages[0].name, "basic gates, fewest CNOTs");
        EXPECT_EQ(r.summary.stages.back().name, "final checks and drawing");
        EXPECT_EQ(r.summary.gateCount, ws->pocetb1);
        EXPECT_EQ(r.summary.stages[r.summary.stages.size() - 2].gateCount, ws->pocetb1);
        // The drawing is set up for the new circuit.
        EXPECT_EQ(ui.gateSliderMax, ws->pocetb1);
        EXPECT_TRUE(ui.gateSliderOn);
        for (int k = 1; k <= 8; ++k)
            EXPECT_EQ(ws->dAngles[k], 0.0) << what;
    }
}

TEST_F(FewestCnotsRoute, MatricesUnitaryWithinTheToleranceBecomeTheirNearestUnitary)
{
    for (int qubits = 2; qubits <= 5; ++qubits) {
        const TMATICA1 noisy = perturbed(seededRandomUnitary(qubits, 40 + qubits), qubits, 1e-9, 50 + qubits);
        const RouteRun r = run(noisy, qubits, fewestCnotsStage);
        expectExactRun(r, std::to_string(qubits) + " qubits");
        // The input itself is off by the perturbation: the final check passes within the tolerance.
        ASSERT_TRUE(r.summary.maxEntryDifference.has_value());
        EXPECT_LE(*r.summary.maxEntryDifference, 1e-8);
        EXPECT_GT(*r.summary.maxEntryDifference, exactBound);
    }
}

TEST_F(FewestCnotsRoute, ANonUnitaryMatrixIsRefusedBeforeTheRoute)
{
    TMATICA1 m = identityUnitary(3);
    m(1, 1) = {2.0, 0.0};
    const RouteRun r = run(m, 3, fewestCnotsStage);
    EXPECT_EQ(r.summary.inputUnitary, CheckState::failed);
    EXPECT_FALSE(r.summary.circuitBuilt);
    EXPECT_EQ(std::find(r.log.begin(), r.log.end(), driverText::fewestCnotsStart), r.log.end());
}

}  // namespace
