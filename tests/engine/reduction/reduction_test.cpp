#include "engine/reduction/reduction.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "engine/reduction/tpq.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/workspace.h"

namespace {

struct ReductionFixture : ::testing::Test {
    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws = createWorkspace(ui);

    // Resets the table and runs every stage from N down to 2 on matrixA.
    void reduceAll(const TMATICA1& u, int qubits)
    {
        loadUnitary(*ws, u, qubits);
        ws->tolerance = 1e-7;
        resetReduction(*ws);
        for (int n = ws->matrixSize; n >= 2; --n)
            reduceStage(*ws, ui, ws->matrixA, n);
    }

    // u * T(entry 1) * ... * T(entry tpqCount), the factorization's left side.
    TMATICA1 productWithFactors(const TMATICA1& u)
    {
        TMATICA1 product = u;
        TMATICA1 factor;
        for (int k = 1; k <= ws->tpqCount; ++k) {
            const TpqEntry& e = ws->tpqTable[k];
            makeTpq(e.p, e.q, e.omega, e.fi, factor, ws->matrixSize, ui);
            matMul(product, factor, product, ws->matrixSize);
        }
        return product;
    }

    double offDiagonalLargest(const TMATICA1& m)
    {
        double worst = 0.0;
        for (int r = 1; r <= ws->matrixSize; ++r)
            for (int c = 1; c <= ws->matrixSize; ++c)
                worst = std::max(worst, r == c ? std::fabs(modulus(m(r, c)) - 1.0) : modulus(m(r, c)));
        return worst;
    }
};

using Reduction = ReductionFixture;

}  // namespace

TEST_F(Reduction, IdentityNeedsNoFactors)
{
    for (int qubits = 1; qubits <= 5; ++qubits) {
        reduceAll(identityUnitary(qubits), qubits);
        EXPECT_EQ(ws->tpqCount, 0);
        EXPECT_EQ(maxDifference(ws->matrixA, identityUnitary(qubits), ws->matrixSize), 0.0);
    }
    const TMATICA1 phases = diagonalPhases(3, 5);
    reduceAll(phases, 3);
    EXPECT_EQ(ws->tpqCount, 0);
    EXPECT_EQ(maxDifference(ws->matrixA, phases, 8), 0.0);
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Reduction, RandomUnitariesFactorIntoAFullTableAndADiagonal)
{
    for (int qubits = 1; qubits <= 5; ++qubits)
        for (std::uint64_t seed = 1; seed <= 3; ++seed) {
            const TMATICA1 u = seededRandomUnitary(qubits, seed);
            reduceAll(u, qubits);
            const int n = ws->matrixSize;
            ASSERT_EQ(ws->tpqCount, n * (n - 1) / 2);
            // Stage n's entries come in the order p = n, q = n - 1 .. 1.
            int k = 0;
            for (int p = n; p >= 2; --p)
                for (int q = p - 1; q >= 1; --q) {
                    ++k;
                    EXPECT_EQ(ws->tpqTable[k].p, p);
                    EXPECT_EQ(ws->tpqTable[k].q, q);
                    EXPECT_GE(ws->tpqTable[k].omega, 0.0);
                    EXPECT_LE(ws->tpqTable[k].omega, std::numbers::pi / 2);
                }
            EXPECT_LT(offDiagonalLargest(ws->matrixA), 1e-12) << qubits << " qubits, seed " << seed;
            // The stored factors really take the input to the diagonal left in A.
            EXPECT_LT(maxDifference(productWithFactors(u), ws->matrixA, n), 1e-12);
        }
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Reduction, AwkwardUnitariesReduceWithoutComplaint)
{
    for (int qubits = 2; qubits <= 5; ++qubits)
        for (const NamedUnitary& named : awkwardUnitaries(qubits)) {
            reduceAll(named.matrix, qubits);
            EXPECT_LT(offDiagonalLargest(ws->matrixA), 1e-7) << named.name << " on " << qubits << " qubits";
            EXPECT_LT(maxDifference(productWithFactors(named.matrix), ws->matrixA, ws->matrixSize), 1e-7)
                << named.name;
            EXPECT_LE(ws->tpqCount, ws->matrixSize * (ws->matrixSize - 1) / 2);
        }
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Reduction, OneTwoLevelFactorIsUndoneByOneEntry)
{
    // Near 0 and pi/2 an arccos of cos(2 omega) would lose half the digits of omega.
    for (double omega : {0.4, 1e-9, 2e-7, std::numbers::pi / 2 - 1e-9}) {
        TMATICA1 u;
        loadUnitary(*ws, u, 1);
        makeTpq(2, 1, omega, 1.1, u, 2, ui);
        reduceAll(u, 1);
        ASSERT_EQ(ws->tpqCount, 1);
        EXPECT_EQ(ws->tpqTable[1].p, 2);
        EXPECT_EQ(ws->tpqTable[1].q, 1);
        EXPECT_NEAR(ws->tpqTable[1].omega, omega, 1e-15 * omega) << omega;
        EXPECT_LT(modulus(ws->matrixA(1, 2)), 1e-15) << omega;
        EXPECT_LT(modulus(ws->matrixA(2, 1)), 1e-15) << omega;
    }
}

TEST_F(Reduction, NearlyUnitaryStrayEntriesAreSkippedInTheColumnAndClearedInTheRow)
{
    // Accepted as unitary within 1e-7: a stray entry in column 4 leaves stage 4
    // nothing it could clear; one in row 4 (skipped until it was) is cleared to rounding.
    for (const auto& [row, column, entries] : {std::tuple{1, 4, 0}, std::tuple{4, 1, 3}}) {
        TMATICA1 u = identityUnitary(2);
        u(row, column) = {5e-8, 0.0};
        loadUnitary(*ws, u, 2);
        resetReduction(*ws);
        reduceStage(*ws, ui, ws->matrixA, 4);
        EXPECT_EQ(ws->tpqCount, entries) << row;
        EXPECT_LT(modulus(ws->matrixA(4, 1)), 1e-15) << row;
    }
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Reduction, RowStartingWithAnExactOneStopsEarly)
{
    // Row 4 is (1, 0, 0, 0): omega of column 1 comes out 0 and the column ends there.
    TMATICA1 u;
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c)
            u(r, c) = r + c == 5 ? Complex{1.0, 0.0} : Complex{};
    loadUnitary(*ws, u, 2);
    ws->tolerance = 1e-7;
    resetReduction(*ws);
    reduceStage(*ws, ui, ws->matrixA, 4);
    ASSERT_EQ(ws->tpqCount, 3);
    const TpqEntry& column1 = ws->tpqTable[3];
    EXPECT_EQ(column1.q, 1);
    EXPECT_EQ(column1.omega, 0.0);
    EXPECT_EQ(column1.fi, 0.0);
    EXPECT_EQ(ws->tpqTable[1].omega, 0.0);
    EXPECT_EQ(ws->tpqTable[2].omega, 0.0);
    EXPECT_EQ(ws->matrixA(4, 4).re, 1.0);
    EXPECT_LT(modulus(ws->matrixA(4, 4) - Complex{1.0, 0.0}), 1e-15);
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Reduction, ClearedRowWithAWrongDiagonalIsReportedAndSkipped)
{
    TMATICA1 u = identityUnitary(2);
    u(4, 4) = {0.5, 0.0};
    loadUnitary(*ws, u, 2);
    ws->tolerance = 1e-7;
    resetReduction(*ws);
    reduceStage(*ws, ui, ws->matrixA, 4);
    EXPECT_EQ(ws->tpqCount, 0);
    EXPECT_EQ(maxDifference(ws->matrixA, u, 4), 0.0);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(ui.log[0], "In reduction of matrix of the size 4 zeros were everywhere in a[n,.] and a[.,n], except "
                         "for a[n,n], which does not have modul 1 => BIG PROBLEM");
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Reduction, StageThatCannotClearItsRowReportsEverything)
{
    // Row 4 = (2, 0, 0, 0): the first omega's argument is 4, far outside [-1, 1].
    TMATICA1 u = identityUnitary(2);
    u(4, 4) = Complex{};
    u(4, 1) = {2.0, 0.0};
    loadUnitary(*ws, u, 2);
    ws->tolerance = 1e-7;
    resetReduction(*ws);
    reduceStage(*ws, ui, ws->matrixA, 4);
    EXPECT_EQ(ws->tpqCount, 3);
    const std::vector<std::string> expected{
        "Reduction n=4. In computation of omega 1 is the argument of arccos outside <-1,1> => BIG PROBLEM",
        "U*T is not unitary matrix.",
        "!!!! After reduction of matrix of the size 4 zeros were not everywhere in a[n,.] and a[.,n], or a[n,n] "
        "does not have modul 1",
        "!!!!! Not all omegas were finished.!!!!!!!!!!",
    };
    EXPECT_EQ(ui.log, expected);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "!!!! Reduction: Problem!!");
    EXPECT_EQ(ui.gridCell(4, 4), complexToText(ws->matrixA(4, 4), 2));
}

TEST_F(Reduction, EntriesOutsideTheBlockAreLeftAlone)
{
    TMATICA1 u = seededRandomUnitary(2, 8);
    u(5, 5) = {7.0, 7.0};
    u(1, 6) = {-2.0, 0.0};
    reduceAll(u, 2);
    EXPECT_EQ(ws->matrixA(5, 5).re, 7.0);
    EXPECT_EQ(ws->matrixA(1, 6).re, -2.0);
    EXPECT_EQ(ws->tpqTable[7].p, 0);
}

TEST_F(Reduction, ResetClearsTheWholeTable)
{
    reduceAll(seededRandomUnitary(3, 2), 3);
    ws->dAngles[64] = 1.0;
    ws->tpqTable[maxTpqEntries].omega = 1.0;
    resetReduction(*ws);
    EXPECT_EQ(ws->tpqCount, 0);
    for (int k = 1; k <= maxTpqEntries; ++k) {
        const TpqEntry& e = ws->tpqTable[k];
        ASSERT_TRUE(e.omega == 0.0 && e.fi == 0.0 && e.p == 0 && e.q == 0) << "entry " << k;
    }
    for (int i = 1; i <= 64; ++i)
        ASSERT_EQ(ws->dAngles[i], 0.0);
}

TEST_F(Reduction, StageThatWouldOverflowTheTableIsSkipped)
{
    const TMATICA1 u = seededRandomUnitary(2, 4);
    loadUnitary(*ws, u, 2);
    ws->tolerance = 1e-7;
    resetReduction(*ws);
    ws->tpqCount = maxTpqEntries - 2;
    reduceStage(*ws, ui, ws->matrixA, 4);
    EXPECT_EQ(ws->tpqCount, maxTpqEntries - 2);
    EXPECT_EQ(maxDifference(ws->matrixA, u, 4), 0.0);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(ui.log[0].rfind("!!!!", 0), 0u);
    reduceStage(*ws, ui, ws->matrixA, 2);
    EXPECT_EQ(ws->tpqCount, maxTpqEntries - 1);
}
