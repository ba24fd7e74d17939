#include "engine/kernel/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <numbers>
#include <random>

namespace {

constexpr double pi = std::numbers::pi;

// Random entries in the n x n block, a recognisable pattern everywhere else.
void fillRandom(TMATICA1& m, int n, std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> part(-1.0, 1.0);
    for (int r = 1; r <= 64; ++r)
        for (int c = 1; c <= 64; ++c)
            m(r, c) = r <= n && c <= n ? Complex{part(rng), part(rng)} : Complex{1000.0 + r, -1000.0 - c};
}

// The product as its definition states it: for each entry, k increasing, s := s + x*y from 0.
void plainProduct(const TMATICA1& x, const TMATICA1& y, TMATICA1& result, int n)
{
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            Complex s{};
            for (int k = 1; k <= n; ++k)
                s = s + x(i, k) * y(k, j);
            result(i, j) = s;
        }
}

bool sameBits(const TMATICA1& a, const TMATICA1& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Operands {
    TMATICA1 x;
    TMATICA1 y;
    TMATICA1 expected;
    TMATICA1 result;
};

}  // namespace

TEST(MatMul, EqualsThePlainTripleLoopBitForBit)
{
    auto m = std::make_unique<Operands>();
    std::mt19937_64 rng(1);
    for (const int n : {2, 3, 4, 8, 16, 32, 32, 32, 64}) {
        fillRandom(m->x, n, rng);
        fillRandom(m->y, n, rng);
        fillRandom(m->result, n, rng);
        m->expected = m->result;  // same pattern outside the block
        plainProduct(m->x, m->y, m->expected, n);
        matMul(m->x, m->y, m->result, n);
        EXPECT_TRUE(sameBits(m->result, m->expected)) << "n = " << n;
    }
}

TEST(MatMul, GivesTheSameBitsWhenTheResultIsAnOperand)
{
    auto m = std::make_unique<Operands>();
    std::mt19937_64 rng(2);
    const int n = 32;
    for (int round = 0; round < 3; ++round) {
        fillRandom(m->x, n, rng);
        fillRandom(m->y, n, rng);

        // A := A * T
        plainProduct(m->x, m->y, m->expected = m->x, n);
        m->result = m->x;
        matMul(m->result, m->y, m->result, n);
        EXPECT_TRUE(sameBits(m->result, m->expected)) << "A := A * T";

        // A := T * A
        plainProduct(m->y, m->x, m->expected = m->x, n);
        m->result = m->x;
        matMul(m->y, m->result, m->result, n);
        EXPECT_TRUE(sameBits(m->result, m->expected)) << "A := T * A";

        // A := A * A
        plainProduct(m->x, m->x, m->expected = m->x, n);
        m->result = m->x;
        matMul(m->result, m->result, m->result, n);
        EXPECT_TRUE(sameBits(m->result, m->expected)) << "A := A * A";
    }
}

TEST(MatMul, KeepsTheOrderOfTheFactorsAndLeavesTheRestUntouched)
{
    auto m = std::make_unique<Operands>();
    std::mt19937_64 rng(4);
    fillRandom(m->x, 4, rng);
    setIdentity(m->y, 4);
    fillRandom(m->result, 4, rng);
    const TMATICA1 before = m->result;
    matMul(m->x, m->y, m->result, 4);
    for (int r = 1; r <= 64; ++r)
        for (int c = 1; c <= 64; ++c) {
            const Complex expected = r <= 4 && c <= 4 ? m->x(r, c) : before(r, c);
            EXPECT_EQ(m->result(r, c).re, expected.re) << r << "," << c;
            EXPECT_EQ(m->result(r, c).im, expected.im) << r << "," << c;
        }

    // A permutation on the right permutes columns, on the left rows.
    setIdentity(m->y, 4);
    m->y(1, 1) = {};
    m->y(2, 2) = {};
    m->y(1, 2) = {1.0, 0.0};
    m->y(2, 1) = {1.0, 0.0};
    matMul(m->x, m->y, m->result, 4);
    EXPECT_EQ(m->result(3, 1).re, m->x(3, 2).re);
    matMul(m->y, m->x, m->result, 4);
    EXPECT_EQ(m->result(1, 3).re, m->x(2, 3).re);
}

TEST(MatEqual, AcceptsADifferenceEqualToTheToleranceAndNothingMore)
{
    auto m = std::make_unique<Operands>();
    std::mt19937_64 rng(5);
    fillRandom(m->x, 8, rng);
    m->x(3, 6) = {};
    m->y = m->x;
    EXPECT_TRUE(matEqual(m->x, m->y, 8, 1e-7));
    m->y(3, 6) = {1e-7, 0.0};
    EXPECT_TRUE(matEqual(m->x, m->y, 8, 1e-7));
    m->y(3, 6) = {1.0000001e-7, 0.0};
    EXPECT_FALSE(matEqual(m->x, m->y, 8, 1e-7));
    // The modulus counts, not the parts one by one.
    m->y(3, 6) = {0.8e-7, 0.8e-7};
    EXPECT_FALSE(matEqual(m->x, m->y, 8, 1e-7));
    EXPECT_TRUE(matEqual(m->x, m->y, 8, 1.2e-7));
    // Only the block is compared.
    m->y = m->x;
    m->y(9, 1) = {5.0, 5.0};
    m->y(1, 9) = {5.0, 5.0};
    EXPECT_TRUE(matEqual(m->x, m->y, 8, 1e-7));
    EXPECT_FALSE(matEqual(m->x, m->y, 9, 1e-7));
    // A tolerance of zero accepts only equal entries; a negative one nothing.
    m->y = m->x;
    EXPECT_TRUE(matEqual(m->x, m->y, 8, 0.0));
    m->y(2, 7).re = std::nextafter(m->y(2, 7).re, 2.0);
    EXPECT_FALSE(matEqual(m->x, m->y, 8, 0.0));
    EXPECT_FALSE(matEqual(m->x, m->x, 8, -1.0));
    // A difference in the last entry of the block is found.
    m->y = m->x;
    m->y(8, 8).im += 1e-3;
    EXPECT_FALSE(matEqual(m->x, m->y, 8, 1e-7));
}

TEST(MatEqual, TreatsNotANumberAsUnequal)
{
    auto m = std::make_unique<Operands>();
    std::mt19937_64 rng(6);
    fillRandom(m->x, 4, rng);
    m->y = m->x;
    for (const double bad : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        m->y(2, 2).re = bad;
        EXPECT_FALSE(matEqual(m->x, m->y, 4, 1e-7));
        EXPECT_FALSE(matEqual(m->y, m->y, 4, 1e-7));
        m->y(2, 2) = m->x(2, 2);
    }
    const TMATICA2 u = realRotation2(0.3);
    TMATICA2 v = u;
    v.u21.im = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(matEqual2(u, v, 1e-7));
    EXPECT_FALSE(matEqual2(v, v, 1e-7));
    EXPECT_FALSE(isUnitary2(v, 1e-7));
}

TEST(Matrix2, ProductAgreesWithTheSquareProductOfSizeTwo)
{
    auto m = std::make_unique<Operands>();
    std::mt19937_64 rng(7);
    for (int round = 0; round < 100; ++round) {
        fillRandom(m->x, 2, rng);
        fillRandom(m->y, 2, rng);
        matMul(m->x, m->y, m->result, 2);
        const TMATICA2 x{m->x(1, 1), m->x(1, 2), m->x(2, 1), m->x(2, 2)};
        const TMATICA2 y{m->y(1, 1), m->y(1, 2), m->y(2, 1), m->y(2, 2)};
        const TMATICA2 p = matMul2(x, y);
        const TMATICA2 expected{m->result(1, 1), m->result(1, 2), m->result(2, 1), m->result(2, 2)};
        ASSERT_EQ(std::memcmp(&p, &expected, sizeof p), 0);
    }
    // X is on the left: pauliX * diag(1, -1) = [[0, -1], [1, 0]].
    const TMATICA2 pauliX{{0, 0}, {1, 0}, {1, 0}, {0, 0}};
    const TMATICA2 pauliZ{{1, 0}, {0, 0}, {0, 0}, {-1, 0}};
    const TMATICA2 xz = matMul2(pauliX, pauliZ);
    EXPECT_EQ(xz.u12.re, -1.0);
    EXPECT_EQ(xz.u21.re, 1.0);
}

TEST(Matrix2, AdjointConjugatesAndSwapsTheOffDiagonal)
{
    const TMATICA2 u{{1, 2}, {3, 4}, {5, 6}, {7, 8}};
    const TMATICA2 a = adjoint2(u);
    EXPECT_TRUE(fuzzyEqual(a.u11, {1, -2}));
    EXPECT_TRUE(fuzzyEqual(a.u12, {5, -6}));
    EXPECT_TRUE(fuzzyEqual(a.u21, {3, -4}));
    EXPECT_TRUE(fuzzyEqual(a.u22, {7, -8}));
}

TEST(Matrix2, DiagonalTestUsesFuzzyEqualityNotTheTolerance)
{
    EXPECT_TRUE(isDiagonal2(identityMatrix2()));
    EXPECT_FALSE(isDiagonal2({{0, 0}, {1, 0}, {1, 0}, {0, 0}}));
    EXPECT_FALSE(isDiagonal2({{1, 0}, {1e-10, 0}, {0, 0}, {1, 0}}));
    EXPECT_FALSE(isDiagonal2({{1, 0}, {0, 0}, {0, -1e-10}, {1, 0}}));
    EXPECT_TRUE(isDiagonal2({{1, 0}, {1e-13, 0}, {0, -1e-13}, {1, 0}}));
}

TEST(Matrix2, RotationsAreUnitaryForEveryAngle)
{
    for (double x = -4 * pi; x <= 4 * pi; x += 0.01) {
        EXPECT_TRUE(isUnitary2(realRotation2(x), 1e-7)) << x;
        EXPECT_TRUE(isUnitary2(phaseRotation2(x), 1e-7)) << x;
    }
    const TMATICA2 notUnitary{{1, 0}, {1e-6, 0}, {0, 0}, {1, 0}};
    EXPECT_FALSE(isUnitary2(notUnitary, 1e-7));
    EXPECT_TRUE(isUnitary2(notUnitary, 1e-5));
}

TEST(Matrix2, RotationEntriesFollowTheHalfAngle)
{
    const TMATICA2 r = realRotation2(pi);
    EXPECT_NE(r.u11.re, 0.0);
    EXPECT_LT(std::fabs(r.u11.re), 1e-16);
    EXPECT_EQ(r.u12.re, 1.0);
    EXPECT_EQ(r.u21.re, -1.0);
    EXPECT_EQ(r.u12.im, 0.0);
    const TMATICA2 half = realRotation2(pi / 3);
    EXPECT_DOUBLE_EQ(half.u11.re, std::cos(pi / 6));
    EXPECT_DOUBLE_EQ(half.u12.re, 0.5);
    EXPECT_DOUBLE_EQ(half.u21.re, -0.5);

    const TMATICA2 p = phaseRotation2(pi);
    EXPECT_TRUE(fuzzyEqual(p.u11, {0.0, 1.0}));
    EXPECT_TRUE(fuzzyEqual(p.u22, {0.0, -1.0}));
    EXPECT_EQ(p.u12.re, 0.0);
    EXPECT_EQ(p.u21.im, 0.0);
}
