#include "engine/kernel/unitaryroot2.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "platform/headlesspresentation.h"
#include "support/unitary2samples.h"

namespace {

TMATICA2 power2(const TMATICA2& r, int n)
{
    TMATICA2 p = r;
    for (int i = 1; i < n; ++i)
        p = matMul2(r, p);
    return p;
}

// Largest modulus of an entry of x - y.
double distance2(const TMATICA2& x, const TMATICA2& y)
{
    return std::max({modulus(x.u11 - y.u11), modulus(x.u12 - y.u12), modulus(x.u21 - y.u21),
                     modulus(x.u22 - y.u22)});
}

// Angles of the eigenvalues of r.
std::pair<double, double> eigenAngles(const TMATICA2& r)
{
    const Complex det = r.u11 * r.u22 - r.u12 * r.u21;
    const QuadraticRoots e = quadraticRoots({1.0, 0.0}, -r.u11 - r.u22, det);
    return {angle(e.x1), angle(e.x2)};
}

}  // namespace

TEST(QuadraticRoots, KeepsTheSmallRootAccurateWhenTheRootsDifferByManyOrders)
{
    // x^2 - (1e8 + 1e-8) x + 1: the textbook formula loses every digit of 1e-8.
    const QuadraticRoots r = quadraticRoots({1.0, 0.0}, {-(1e8 + 1e-8), 0.0}, {1.0, 0.0});
    EXPECT_NEAR(r.x1.re, 1e8, 1e-6);
    EXPECT_NEAR(r.x2.re, 1e-8, 1e-22);
    EXPECT_DOUBLE_EQ(r.x1.im, 0.0);
    EXPECT_DOUBLE_EQ(r.x2.im, 0.0);
}

TEST(QuadraticRoots, SolvesEquationsWithComplexCoefficients)
{
    const Complex a{0.5, -2.0};
    const Complex b{1.25, 3.0};
    const Complex c{-4.0, 0.75};
    const QuadraticRoots r = quadraticRoots(a, b, c);
    for (const Complex x : {r.x1, r.x2}) {
        const Complex value = a * x * x + b * x + c;
        EXPECT_LT(modulus(value), 1e-12);
    }
    EXPECT_LT(modulus(a * (r.x1 + r.x2) + b), 1e-12);
    EXPECT_FALSE(fuzzyEqual(r.x1, r.x2));
}

TEST(UnitaryRoot2, SquareRootOfPauliXIsTheHalfSumMatrix)
{
    HeadlessPresentation ui;
    TMATICA2 u{{0.0, 0.0}, {1.0, 0.0}, {1.0, 0.0}, {0.0, 0.0}};
    unitaryRoot2(u, 2, 1e-5, ui);
    const TMATICA2 expected{{0.5, 0.5}, {0.5, -0.5}, {0.5, -0.5}, {0.5, 0.5}};
    EXPECT_LT(distance2(u, expected), 1e-15);
    EXPECT_TRUE(ui.log.empty());
}

TEST(UnitaryRoot2, DiagonalAndScalarMatricesTakeThePrincipalAngle)
{
    const Complex one{1.0, 0.0};
    const Complex minusOne{-1.0, 0.0};  // -one would carry a -0 imaginary part, angle -pi
    const Complex zero{};
    const Complex i{0.0, 1.0};
    struct Case {
        TMATICA2 u;
        int n;
        TMATICA2 expected;
    };
    const Case cases[] = {
        {{one, zero, zero, minusOne}, 2, {one, zero, zero, i}},
        {identityMatrix2(), 4, identityMatrix2()},
        {{minusOne, zero, zero, minusOne}, 2, {i, zero, zero, i}},
        {{i, zero, zero, i}, 8, {fromPolar(1.0, std::numbers::pi / 16), zero, zero, fromPolar(1.0, std::numbers::pi / 16)}},
    };
    for (const Case& c : cases) {
        HeadlessPresentation ui;
        TMATICA2 u = c.u;
        unitaryRoot2(u, c.n, 1e-5, ui);
        EXPECT_LT(distance2(u, c.expected), 1e-15) << "n = " << c.n;
        EXPECT_TRUE(ui.log.empty());
    }
}

TEST(UnitaryRoot2, DegreeBelowTwoIsRefusedAndLeavesTheMatrix)
{
    HeadlessPresentation ui;
    const TMATICA2 original{{0.6, 0.0}, {0.0, 0.8}, {0.0, 0.8}, {0.6, 0.0}};
    for (const int n : {1, 0, -3}) {
        TMATICA2 u = original;
        unitaryRoot2(u, n, 1e-5, ui);
        EXPECT_EQ(distance2(u, original), 0.0);
    }
    ASSERT_EQ(ui.log.size(), 3u);
    EXPECT_EQ(ui.log[0], "!!!SQRT: Asking for (k<2) - square-root!");
}

TEST(UnitaryRoot2, RandomUnitariesPowerBackToTheInputWithPrincipalEigenvalues)
{
    std::mt19937_64 engine(20260512);
    HeadlessPresentation ui;
    for (int trial = 0; trial < 300; ++trial) {
        const TMATICA2 u = randomUnitary2(engine);
        for (const int n : {2, 4, 8}) {
            TMATICA2 r = u;
            unitaryRoot2(r, n, 1e-5, ui);
            EXPECT_LT(distance2(power2(r, n), u), 1e-12) << "trial " << trial << ", n = " << n;
            EXPECT_TRUE(isUnitary2(r, 1e-12));
            const auto [a1, a2] = eigenAngles(r);
            const double bound = std::numbers::pi / n + 1e-9;
            EXPECT_LE(std::fabs(a1), bound);
            EXPECT_LE(std::fabs(a2), bound);
        }
    }
    EXPECT_TRUE(ui.log.empty()) << ui.log.front();
}

TEST(UnitaryRoot2, AwkwardUnitariesPowerBackWithinTheStageTolerance)
{
    for (const double tiny : {1e-5, 1e-6, 1e-7, 1e-9, 1e-13}) {
        for (const NamedUnitary2& sample : awkwardUnitaries2(tiny)) {
            for (const int n : {2, 4, 8}) {
                HeadlessPresentation ui;
                TMATICA2 r = sample.u;
                unitaryRoot2(r, n, 1e-5, ui);
                EXPECT_TRUE(matEqual2(power2(r, n), sample.u, 1e-12))
                    << sample.name << " (tiny " << tiny << "), n = " << n << ", error "
                    << distance2(power2(r, n), sample.u);
                EXPECT_TRUE(ui.log.empty()) << sample.name << ": " << ui.log.front();
            }
        }
    }
}

TEST(UnitaryRoot2, NearlyScalarMatricesKeepTheirSmallOffDiagonalEntries)
{
    // e^(i g) (cos x I + sin x K) with K = [[0, e^(i b)], [-e^(-i b), 0]]: the two
    // eigenvalues are only about 2x apart.
    for (const double x : {1e-4, 3e-6, 1e-6, 4e-7, 1e-7, 1e-9, 1e-11}) {
        for (const double g : {0.0, 1.3, -2.9, std::numbers::pi}) {
            const Complex phase = fromPolar(1.0, g);
            const TMATICA2 u{phase * toComplex(std::cos(x)), phase * fromPolar(std::sin(x), 0.8),
                             phase * fromPolar(-std::sin(x), -0.8), phase * toComplex(std::cos(x))};
            for (const int n : {2, 4, 8}) {
                HeadlessPresentation ui;
                TMATICA2 r = u;
                unitaryRoot2(r, n, 1e-5, ui);
                EXPECT_LT(distance2(power2(r, n), u), 1e-13) << "x = " << x << ", g = " << g << ", n = " << n;
                EXPECT_TRUE(ui.log.empty()) << "x = " << x << ": " << ui.log.front();
            }
        }
    }
}

TEST(UnitaryRoot2, FailedChecksLogTheirLineAndLeaveTheMatrix)
{
    struct Case {
        TMATICA2 u;
        const char* line;
    };
    const Case cases[] = {
        // Eigenvectors of a non-normal matrix are not orthogonal.
        {{{1.0, 0.0}, {2.0, 0.0}, {0.0, 0.0}, {3.0, 0.0}}, "!!!SQRT: Diagonalization did not work!"},
        // Diagonalises, but a root with eigenvalues on the unit circle cannot give 2 X.
        {{{0.0, 0.0}, {2.0, 0.0}, {2.0, 0.0}, {0.0, 0.0}}, "!!!SQRT: Final chcek unsuccessful!"},
        // Nilpotent: one eigenvalue comes out as 0/0; must be rejected, not thrown.
        {{{0.0, 0.0}, {1.0, 0.0}, {0.0, 0.0}, {0.0, 0.0}}, "!!!SQRT: Diagonalization did not work!"},
    };
    for (const Case& c : cases) {
        HeadlessPresentation ui;
        TMATICA2 u = c.u;
        EXPECT_NO_THROW(unitaryRoot2(u, 2, 1e-5, ui));
        EXPECT_EQ(distance2(u, c.u), 0.0) << c.line;
        ASSERT_EQ(ui.log.size(), 1u) << c.line;
        EXPECT_EQ(ui.log[0], c.line);
    }
}

TEST(UnitaryRoot2, DiagonalEntriesOffTheUnitCircleAreReportedButStillRooted)
{
    HeadlessPresentation ui;
    TMATICA2 u{{2.0, 0.0}, {}, {}, {0.0, -1.0}};
    unitaryRoot2(u, 2, 1e-5, ui);
    ASSERT_EQ(ui.log.size(), 1u);
    EXPECT_EQ(ui.log[0], "!!!SQRT: matrix A had strange eigenvalues");
    EXPECT_LT(distance2(u, {{1.0, 0.0}, {}, {}, fromPolar(1.0, -std::numbers::pi / 4)}), 1e-15);
}
