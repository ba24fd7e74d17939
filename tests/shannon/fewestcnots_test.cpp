// The fewest-CNOT route as a whole: composition equals the input to 1e-12,
// global phase included, with the CNOT counts of the field's best analytic method.
#include "engine/shannon/fewestcnots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/kernel/randomunitary.h"
#include "engine/shannon/gatelist.h"
#include "engine/synthesis/composition.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/workspace.h"

namespace {

struct RouteResult {
    double error = 0.0;
    int cnots = 0;
    int gates = 0;
    bool wellFormed = true;  // CNOTs exact pauliX with one control, other gates one-qubit unitaries
    bool oneGatePerWire = true;
};

// Runs the route and measures it with the program's own composition.
RouteResult runRoute(const TMATICA1& input, int qubits)
{
    auto gates = std::make_unique<TGATES1>();
    RouteResult result;
    result.gates = fewestCnotsCircuit(input, qubits, *gates);
    const std::span<const TGATE1> circuit(gates->data() + 1, static_cast<std::size_t>(result.gates));
    auto composed = std::make_unique<TMATICA1>();
    composeGates(circuit, *composed, qubits);
    result.error = maxDifference(*composed, input, 1 << qubits);
    result.cnots = cnotCount(circuit);
    std::array<int, maxQubits + 1> sinceCnot{};
    for (const TGATE1& g : circuit) {
        if (g.type == 1) {
            result.wellFormed = result.wellFormed && isExactCnot(g) && g.controls[1] != g.target;
            sinceCnot[g.target] = 0;
            sinceCnot[g.controls[1]] = 0;
        } else {
            result.wellFormed = result.wellFormed && g.type == 0 && isUnitary2(g.u, 1e-13);
            result.oneGatePerWire = result.oneGatePerWire && ++sinceCnot[g.target] <= 1;
        }
    }
    return result;
}

// The matrix the window generates (and `--random N --seed S`).
TMATICA1 programRandomUnitary(int qubits, std::uint64_t seed)
{
    HeadlessPresentation ui;
    ui.recordEvents = false;
    auto ws = createWorkspace(ui);
    loadUnitary(*ws, identityUnitary(qubits), qubits);
    ws->random.fixSeed(seed);
    TMATICA1 m;
    randomUnitary(*ws, ui, m, 100);
    return m;
}

constexpr std::array<int, 6> genericCnots{0, 0, 3, 19, 95, 423};

TEST(FewestCnots, RandomMatricesAreExactWithinTheGenericCounts)
{
    for (int qubits = 2; qubits <= 5; ++qubits) {
        std::map<int, int> histogram;
        double worst = 0.0;
        const int samples = qubits == 5 ? 10 : 30;
        for (int k = 0; k < samples; ++k) {
            const TMATICA1 input =
                k % 2 == 0 ? seededRandomUnitary(qubits, 100 + k) : programRandomUnitary(qubits, 100 + k);
            const RouteResult r = runRoute(input, qubits);
            EXPECT_LE(r.error, 1e-12) << qubits << " qubits, sample " << k;
            EXPECT_LE(r.cnots, genericCnots[qubits]) << qubits << " qubits, sample " << k;
            EXPECT_TRUE(r.wellFormed) << qubits << " qubits, sample " << k;
            EXPECT_TRUE(r.oneGatePerWire) << qubits << " qubits, sample " << k;
            ++histogram[r.cnots];
            worst = std::max(worst, r.error);
        }
        std::cout << "[ counts   ] " << qubits << " qubits:";
        for (const auto& [cnots, times] : histogram)
            std::cout << ' ' << cnots << " x" << times;
        std::cout << "; worst error " << worst << '\n';
    }
}

}  // namespace
