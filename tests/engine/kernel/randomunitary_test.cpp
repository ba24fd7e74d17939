#include "engine/kernel/randomunitary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numbers>

#include "engine/reduction/tpq.h"
#include "platform/headlesspresentation.h"
#include "workspace/workspace.h"

namespace {

constexpr double pi = std::numbers::pi;

bool sameBlockBits(const TMATICA1& a, const TMATICA1& b, int n)
{
    for (int r = 1; r <= n; ++r)
        if (std::memcmp(&a(r, 1), &b(r, 1), sizeof(Complex) * static_cast<std::size_t>(n)) != 0)
            return false;
    return true;
}

// Replays the documented draw order on a copy of the generator and multiplies
// the factors with the plain triple loop.
std::unique_ptr<TMATICA1> replay(RandomGenerator random, int n, int count)
{
    auto m = std::make_unique<TMATICA1>();
    auto t = std::make_unique<TMATICA1>();
    auto next = std::make_unique<TMATICA1>();
    HeadlessPresentation quiet;
    setIdentity(*m, n);
    for (int step = 0; step < count; ++step) {
        int a = 1 + random.drawInteger(n);
        int b = 1 + random.drawInteger(n);
        if (a == b && a > 1)
            b = a - 1;
        else if (a == b)
            a = 2;
        const int kind = random.drawInteger(3);
        if (kind == 0) {
            for (int r = 1; r <= n; ++r)
                for (int c = 1; c <= n; ++c)
                    (*t)(r, c) = {};
            for (int j = 1; j <= n; ++j) {
                const double phase = (2 * random.drawReal() - 1) * pi;
                (*t)(j, j) = {std::cos(phase), std::sin(phase)};
            }
        } else {
            const double omega = 2 * pi * random.drawReal();
            const double fi = 2 * pi * random.drawReal();
            if (kind == 1)
                makeTpq(std::max(a, b), std::min(a, b), omega, fi, *t, n, quiet);
            else
                makeTpqAdjoint(std::max(a, b), std::min(a, b), omega, fi, *t, n, quiet);
        }
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) {
                Complex s{};
                for (int k = 1; k <= n; ++k)
                    s = s + (*m)(i, k) * (*t)(k, j);
                (*next)(i, j) = s;
            }
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                (*m)(i, j) = (*next)(i, j);
    }
    return m;
}

void setQubits(Workspace& ws, int qubits)
{
    ws.qubitCount = qubits;
    ws.matrixSize = 1 << qubits;
}

}  // namespace

TEST(RandomUnitary, GivesAUnitaryMatrixAndSaysSo)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    for (const int qubits : {2, 3, 5}) {
        setQubits(*ws, qubits);
        ws->random.fixSeed(20u + static_cast<unsigned>(qubits));
        ui.clearRecords();
        randomUnitary(*ws, ui, ws->matrixA, 100);
        EXPECT_TRUE(isUnitary(ws->matrixA, ws->matrixSize, 1e-7));
        ASSERT_EQ(ui.log.size(), 1u) << "no line about bad Tpq levels may appear";
        EXPECT_EQ(ui.log[0], "The unitary matrix was randomly generated.");
        // The matrix is not just a permutation or a diagonal. 100 two-level factors
        // fill 4 x 4 and 8 x 8 but not 32 x 32: over a thousand seeds at least 383
        // of its 1024 entries were nonzero, so more than a third is the bound.
        int nonzero = 0;
        for (int r = 1; r <= ws->matrixSize; ++r)
            for (int c = 1; c <= ws->matrixSize; ++c)
                nonzero += modulus(ws->matrixA(r, c)) > 1e-9;
        EXPECT_GT(nonzero, ws->matrixSize * ws->matrixSize / 3) << qubits;
    }
}

TEST(RandomUnitary, DrawsFactorsInAFixedOrder)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    for (const int qubits : {1, 2, 3, 5}) {
        setQubits(*ws, qubits);
        ws->random.fixSeed(1234u + static_cast<unsigned>(qubits));
        const RandomGenerator before = ws->random;
        randomUnitary(*ws, ui, ws->matrixA, 100);
        const auto expected = replay(before, ws->matrixSize, 100);
        for (int r = 1; r <= ws->matrixSize; ++r)
            for (int c = 1; c <= ws->matrixSize; ++c)
                ASSERT_EQ(std::memcmp(&ws->matrixA(r, c), &(*expected)(r, c), sizeof(Complex)), 0)
                    << qubits << " qubits, entry " << r << "," << c;
    }
}

TEST(RandomUnitary, RepeatsWithAFixedSeedAndDiffersOtherwise)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    auto first = std::make_unique<TMATICA1>();
    randomUnitary(*ws, ui, *first, 100);
    randomUnitary(*ws, ui, ws->matrixA, 100);
    EXPECT_FALSE(matEqual(*first, ws->matrixA, 4, 1e-3));

    ws->random.fixSeed(99);
    randomUnitary(*ws, ui, *first, 100);
    ws->random.fixSeed(99);
    randomUnitary(*ws, ui, ws->matrixA, 100);
    EXPECT_TRUE(sameBlockBits(*first, ws->matrixA, 4));
    // A fixed stream goes on: the next generation is a different matrix.
    randomUnitary(*ws, ui, ws->matrixA, 100);
    EXPECT_FALSE(matEqual(*first, ws->matrixA, 4, 1e-3));
}

TEST(RandomUnitary, StartsFromTheIdentityAndWritesOnlyTheBlock)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    setQubits(*ws, 3);
    auto m = std::make_unique<TMATICA1>();
    for (int r = 1; r <= 64; ++r)
        for (int c = 1; c <= 64; ++c)
            (*m)(r, c) = {3.0 * r, -5.0 * c};
    const TMATICA1 before = *m;
    randomUnitary(*ws, ui, *m, 0);
    for (int r = 1; r <= 64; ++r)
        for (int c = 1; c <= 64; ++c) {
            const Complex expected = r <= 8 && c <= 8 ? Complex{r == c ? 1.0 : 0.0, 0.0} : before(r, c);
            ASSERT_EQ(std::memcmp(&(*m)(r, c), &expected, sizeof(Complex)), 0) << r << "," << c;
        }
    EXPECT_EQ(ui.log.back(), "The unitary matrix was randomly generated.");

    randomUnitary(*ws, ui, *m, 50);
    for (int r = 1; r <= 64; ++r)
        for (int c = 1; c <= 64; ++c)
            if (r > 8 || c > 8) {
                ASSERT_EQ(std::memcmp(&(*m)(r, c), &before(r, c), sizeof(Complex)), 0) << r << "," << c;
            }
}

TEST(RandomUnitary, TwoLevelsOfTwoQubitsAreNeverRefused)
{
    // With n = 2 the two drawn levels coincide half of the time; they must be
    // mended into 2 and 1, never passed on as a bad pair.
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    setQubits(*ws, 1);
    for (int round = 0; round < 20; ++round)
        randomUnitary(*ws, ui, ws->matrixA, 100);
    EXPECT_EQ(std::count(ui.log.begin(), ui.log.end(), "The unitary matrix was randomly generated."), 20);
    EXPECT_EQ(ui.log.size(), 20u);
}

TEST(RandomUnitary, ShowsProgressAndTheResultInTheGrid)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    ui.clearRecords();
    randomUnitary(*ws, ui, ws->matrixA, 3);
    std::vector<EventKind> kinds;
    for (const Event& e : ui.events)
        if (e.kind != EventKind::gridCell)
            kinds.push_back(e.kind);
    const std::vector<EventKind> expected = {
        EventKind::progressMaximum, EventKind::progressPosition, EventKind::progressStep,
        EventKind::progressVisible, EventKind::progressStepIt, EventKind::progressStepIt,
        EventKind::progressStepIt, EventKind::log, EventKind::progressPosition, EventKind::progressVisible,
    };
    EXPECT_EQ(kinds, expected);
    EXPECT_EQ(ui.events[0].a, 3);
    EXPECT_EQ(ui.events[2].a, 1);
    EXPECT_EQ(ui.events[3].a, 1);
    EXPECT_EQ(ui.events.back().a, 0);
    EXPECT_FALSE(ui.progressVisible);
    EXPECT_EQ(ui.progressPosition, 0);
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c)
            EXPECT_EQ(ui.gridCell(c, r), complexToText(ws->matrixA(r, c), 2));
    EXPECT_EQ(ui.gridCell(0, 3), "10");
}
