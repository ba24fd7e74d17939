#include "engine/reduction/tpq.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <numbers>
#include <random>

#include "platform/headlesspresentation.h"

namespace {

constexpr double pi = std::numbers::pi;

// A matrix whose every entry is distinct and far from 0 and 1, so untouched
// entries and misplaced writes both show.
TMATICA1 patterned()
{
    TMATICA1 m;
    for (int r = 1; r <= 64; ++r)
        for (int c = 1; c <= 64; ++c)
            m(r, c) = {100.0 + r, -200.0 - c};
    return m;
}

bool sameBits(Complex a, Complex b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void expectOutsideUnchanged(const TMATICA1& m, int n)
{
    const TMATICA1 reference = patterned();
    for (int r = 1; r <= 64; ++r)
        for (int c = 1; c <= 64; ++c)
            if (r > n || c > n) {
                ASSERT_TRUE(sameBits(m(r, c), reference(r, c))) << "entry " << r << "," << c;
            }
}

void expectIdentityExcept(const TMATICA1& m, int n, int p, int q)
{
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c) {
            if ((r == p || r == q) && (c == p || c == q))
                continue;
            const Complex expected = r == c ? Complex{1.0, 0.0} : Complex{};
            EXPECT_TRUE(sameBits(m(r, c), expected)) << "entry " << r << "," << c;
        }
}

// A random unitary of size n built from Tpq factors and diagonal phases.
TMATICA1 randomProduct(int n, std::mt19937_64& rng, HeadlessPresentation& ui)
{
    std::uniform_real_distribution<double> angle(0.0, 2 * pi);
    std::uniform_int_distribution<int> level(1, n);
    TMATICA1 m;
    setIdentity(m, n);
    TMATICA1 t;
    for (int step = 0; step < 60; ++step) {
        int p = level(rng);
        int q = level(rng);
        if (p == q)
            continue;
        if (p < q)
            std::swap(p, q);
        makeTpq(p, q, angle(rng), angle(rng), t, n, ui);
        matMul(m, t, m, n);
    }
    return m;
}

}  // namespace

TEST(Tpq, PlacesThePhaseOnTheSmallerLevelAndTheRealRowOnTheLarger)
{
    HeadlessPresentation ui;
    const double omega = 0.7;
    const double fi = -2.1;
    TMATICA1 m = patterned();
    makeTpq(5, 2, omega, fi, m, 8, ui);
    const double s = std::sin(omega);
    const double c = std::cos(omega);
    EXPECT_TRUE(sameBits(m(2, 2), fromPolar(s, fi)));
    EXPECT_TRUE(sameBits(m(2, 5), fromPolar(c, fi)));
    EXPECT_TRUE(sameBits(m(5, 2), Complex{c, 0.0}));
    EXPECT_TRUE(sameBits(m(5, 5), Complex{-s, 0.0}));
    expectIdentityExcept(m, 8, 5, 2);
    expectOutsideUnchanged(m, 8);
    EXPECT_TRUE(ui.log.empty());
}

TEST(Tpq, AdjointConjugatesThePhaseAndSwapsTheOffDiagonalPlaces)
{
    HeadlessPresentation ui;
    const double omega = 1.1;
    const double fi = 0.4;
    TMATICA1 m = patterned();
    makeTpqAdjoint(4, 1, omega, fi, m, 4, ui);
    EXPECT_TRUE(sameBits(m(1, 1), fromPolar(std::sin(omega), -fi)));
    EXPECT_TRUE(sameBits(m(4, 1), fromPolar(std::cos(omega), -fi)));
    EXPECT_TRUE(sameBits(m(1, 4), Complex{std::cos(omega), 0.0}));
    EXPECT_TRUE(sameBits(m(4, 4), Complex{-std::sin(omega), 0.0}));
    expectIdentityExcept(m, 4, 4, 1);
    expectOutsideUnchanged(m, 4);

    // It is the conjugate transpose of makeTpq with the same parameters.
    TMATICA1 t;
    makeTpq(4, 1, omega, fi, t, 4, ui);
    adjointInPlace(t, 4);
    for (int r = 1; r <= 4; ++r)
        for (int c = 1; c <= 4; ++c)
            EXPECT_TRUE(fuzzyEqual(t(r, c), m(r, c))) << r << "," << c;
}

TEST(Tpq, ExtremeAnglesExchangeLevelsOrKeepFloatingPointCosines)
{
    HeadlessPresentation ui;
    TMATICA1 m;
    makeTpq(2, 1, 0.0, pi / 3, m, 2, ui);
    EXPECT_TRUE(sameBits(m(1, 1), Complex{0.0, 0.0}));
    EXPECT_TRUE(sameBits(m(2, 2), Complex{-0.0, 0.0}));
    EXPECT_TRUE(fuzzyEqual(m(1, 2), fromPolar(1.0, pi / 3)));
    EXPECT_TRUE(sameBits(m(2, 1), Complex{1.0, 0.0}));

    makeTpq(2, 1, pi / 2, 0.0, m, 2, ui);
    EXPECT_TRUE(fuzzyEqual(m(1, 1), Complex{1.0, 0.0}));
    EXPECT_EQ(m(2, 2).re, -1.0);
    EXPECT_NE(m(1, 2).re, 0.0);  // cos(pi/2) in floating point, not an exact zero
    EXPECT_LT(std::fabs(m(2, 1).re), 1e-16);
}

TEST(Tpq, BadLevelsLogTheirValuesAndLeaveTheIdentity)
{
    struct Case {
        int p;
        int q;
        const char* line;
    };
    const Case cases[] = {
        {3, 3, "Asking for Tpq, with bad parameters. p= 3 , q= 3 , identity matrix produced instead."},
        {2, 0, "Asking for Tpq, with bad parameters. p= 2 , q= 0 , identity matrix produced instead."},
        {1, 2, "Asking for Tpq, with bad parameters. p= 1 , q= 2 , identity matrix produced instead."},
        {5, 1, "Asking for Tpq, with bad parameters. p= 5 , q= 1 , identity matrix produced instead."},
        {-1, -3, "Asking for Tpq, with bad parameters. p= -1 , q= -3 , identity matrix produced instead."},
    };
    for (const Case& bad : cases) {
        for (const bool adjoint : {false, true}) {
            HeadlessPresentation ui;
            TMATICA1 m = patterned();
            if (adjoint)
                makeTpqAdjoint(bad.p, bad.q, 0.3, 0.2, m, 4, ui);
            else
                makeTpq(bad.p, bad.q, 0.3, 0.2, m, 4, ui);
            ASSERT_EQ(ui.log.size(), 1u);
            EXPECT_EQ(ui.log[0], bad.line);
            expectIdentityExcept(m, 4, 0, 0);
            expectOutsideUnchanged(m, 4);
        }
    }
}

TEST(Tpq, TimesItsAdjointIsTheIdentity)
{
    HeadlessPresentation ui;
    TMATICA1 t;
    TMATICA1 a;
    makeTpq(7, 3, 0.9, 2.5, t, 8, ui);
    makeTpqAdjoint(7, 3, 0.9, 2.5, a, 8, ui);
    matMul(t, a, t, 8);
    TMATICA1 identity;
    setIdentity(identity, 8);
    EXPECT_TRUE(matEqual(t, identity, 8, 1e-15));
}

TEST(AdjointInPlace, ConjugatesAndTransposesOnlyTheBlock)
{
    TMATICA1 m = patterned();
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            m(r, c) = {10.0 * r + c, -(10.0 * c + r) + 0.5};
    const TMATICA1 before = m;
    adjointInPlace(m, 3);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            EXPECT_TRUE(sameBits(m(r, c), conjugate(before(c, r)))) << r << "," << c;
    expectOutsideUnchanged(m, 3);
    adjointInPlace(m, 3);
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c)
            EXPECT_TRUE(sameBits(m(r, c), before(r, c)));
}

TEST(IsUnitary, AcceptsProductsOfTwoLevelMatricesOfEverySize)
{
    HeadlessPresentation ui;
    std::mt19937_64 rng(7);
    for (int n : {2, 4, 8, 16, 32, 64}) {
        const TMATICA1 m = randomProduct(n, rng, ui);
        const TMATICA1 copy = m;
        EXPECT_TRUE(isUnitary(m, n, 1e-7)) << n;
        EXPECT_EQ(std::memcmp(&m, &copy, sizeof m), 0) << "isUnitary changed its argument";
    }
}

TEST(IsUnitary, RefusesSmallDeviationsAndNotANumber)
{
    HeadlessPresentation ui;
    std::mt19937_64 rng(11);
    const TMATICA1 u = randomProduct(8, rng, ui);

    // Identity with one entry off by 2e-7: M^dagger M is off by about 4e-7 there.
    TMATICA1 m;
    setIdentity(m, 8);
    m(3, 3).re += 2e-7;
    EXPECT_FALSE(isUnitary(m, 8, 1e-7));

    TMATICA1 off = u;
    off(5, 2).im += 2e-7;
    EXPECT_TRUE(isUnitary(u, 8, 1e-7));
    EXPECT_FALSE(isUnitary(off, 8, 1e-7));

    for (const double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        TMATICA1 garbage = u;
        garbage(8, 8).re = bad;
        EXPECT_FALSE(isUnitary(garbage, 8, 1e-7)) << bad;
    }
}

TEST(IsUnitary, IgnoresEntriesOutsideTheBlock)
{
    TMATICA1 m = patterned();
    setIdentity(m, 4);
    EXPECT_TRUE(isUnitary(m, 4, 1e-7));
    EXPECT_FALSE(isUnitary(m, 5, 1e-7));
}

TEST(IsUnitary, DecidesLikeTheProductOfTheAdjointCopyAndTheMatrix)
{
    // Random unitaries disturbed to land near the tolerance: every verdict must
    // be the one of the plain definition (adjoint copy, matMul, matEqual).
    HeadlessPresentation ui;
    std::mt19937_64 rng(21);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    auto identity = std::make_unique<TMATICA1>();
    auto product = std::make_unique<TMATICA1>();
    int unitaryCount = 0;
    int total = 0;
    for (const int n : {2, 3, 8, 32}) {
        setIdentity(*identity, n);
        for (int round = 0; round < 150; ++round) {
            TMATICA1 m = randomProduct(n, rng, ui);
            const double size = std::pow(10.0, -8.0 + 2.0 * (unit(rng) + 1.0) / 2.0) / std::sqrt(n);
            for (int r = 1; r <= n; ++r)
                for (int c = 1; c <= n; ++c)
                    m(r, c) = m(r, c) + Complex{size * unit(rng), size * unit(rng)};
            *product = m;
            adjointInPlace(*product, n);
            matMul(*product, m, *product, n);
            const bool expected = matEqual(*product, *identity, n, 1e-7);
            ASSERT_EQ(isUnitary(m, n, 1e-7), expected) << "n = " << n << ", round " << round;
            unitaryCount += expected;
            ++total;
        }
    }
    // Both verdicts occur, so the comparison means something.
    EXPECT_GT(unitaryCount, total / 10);
    EXPECT_LT(unitaryCount, total - total / 10);
}
