#include "support/oracle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "engine/synthesis/circuit.h"
#include "platform/headlesspresentation.h"
#include "workspace/workspace.h"

namespace {

// m^dagger * m against the identity, computed here rather than by the code under test.
double unitarityError(const TMATICA1& m, int n)
{
    double worst = 0.0;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c) {
            Complex sum{};
            for (int k = 1; k <= n; ++k)
                sum = sum + conjugate(m(k, r)) * m(k, c);
            const Complex expected = r == c ? Complex{1.0, 0.0} : Complex{};
            worst = std::max(worst, modulus(sum - expected));
        }
    return worst;
}

int zeroCount(const TMATICA1& m, int n)
{
    int zeros = 0;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            zeros += m(r, c).re == 0.0 && m(r, c).im == 0.0;
    return zeros;
}

}  // namespace

TEST(Oracle, BuildersGiveUnitariesOfTheirKind)
{
    for (int qubits = 2; qubits <= 5; ++qubits) {
        const int n = 1 << qubits;
        for (const NamedUnitary& named : awkwardUnitaries(qubits)) {
            const double tolerance = named.name == "perturbed random" ? 1e-8 : 1e-13;
            EXPECT_LT(unitarityError(named.matrix, n), tolerance) << named.name << " on " << qubits << " qubits";
        }
        EXPECT_LT(unitarityError(seededRandomUnitary(qubits, 3), n), 1e-13);
        EXPECT_EQ(zeroCount(permutationUnitary(qubits, 4), n), n * n - n);
        EXPECT_EQ(zeroCount(sparseUnitary(qubits, 5), n), n * n - 2 * n);
        EXPECT_EQ(maxDifference(seededRandomUnitary(qubits, 9), seededRandomUnitary(qubits, 9), n), 0.0);
        EXPECT_GT(maxDifference(seededRandomUnitary(qubits, 9), seededRandomUnitary(qubits, 10), n), 0.1);
    }
}

TEST(Oracle, CompositionErrorMeasuresTheCircuitAgainstAMatrix)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    ws->qubitCount = 3;
    ws->matrixSize = 8;
    ws->pocetb1 = 0;
    const TMATICA2 notGate{{0.0, 0.0}, {1.0, 0.0}, {1.0, 0.0}, {0.0, 0.0}};
    ASSERT_TRUE(appendGate(*ws, ui));
    ws->gates[1].u = notGate;
    ws->gates[1].type = 2;
    ws->gates[1].target = 2;
    ws->gates[1].controls = {0, 1, 3, 0, 0};
    EXPECT_EQ(maxControlCount(*ws), 2);
    EXPECT_EQ(compositionError(*ws, ui, fullyControlledGate(3, 2, notGate)), 0.0);
    EXPECT_EQ(compositionError(*ws, ui, identityUnitary(3)), 1.0);
    TMATICA1 shifted = fullyControlledGate(3, 2, notGate);
    shifted(1, 1).im = 1e-3;
    EXPECT_DOUBLE_EQ(compositionError(*ws, ui, shifted), 1e-3);
    EXPECT_TRUE(ui.messages.empty());
}
