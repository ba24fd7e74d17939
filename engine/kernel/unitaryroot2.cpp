#include "engine/kernel/unitaryroot2.h"

#include <cmath>
#include <optional>

#include "platform/presentation.h"

namespace {

// a / b by the same formula as operator/, but never throwing: a zero divisor
// (only possible for a matrix that is not unitary) yields inf/NaN, which the
// later checks of unitaryRoot2 reject.
Complex quotient(Complex a, Complex b)
{
    const double d = b.re * b.re + b.im * b.im;
    return {(a.re * b.re + a.im * b.im) / d, (a.im * b.re - a.re * b.im) / d};
}

// Unit eigenvector of u for `lambda`, from the heavier row (a, b) of u - lambda I.
// Empty when both chosen entries are exactly zero.
std::optional<TMATICA2> eigenvectorColumn(const TMATICA2& u, Complex lambda)
{
    const Complex m11 = u.u11 - lambda;
    const Complex m12 = u.u12;
    const Complex m21 = u.u21;
    const Complex m22 = u.u22 - lambda;
    const double s1 = modulus(m11) + modulus(m12);
    const double s2 = modulus(m21) + modulus(m22);
    Complex a = m11;
    Complex b = m12;
    if (s1 < s2) {
        a = m21;
        b = m22;
    }
    if (modulus(a) + modulus(b) == 0.0)
        return std::nullopt;
    // Near-equal eigenvalues leave a tiny row; scaling keeps its direction and
    // keeps the divisor below well away from zero.
    while (modulus(a) + modulus(b) < 1e-4) {
        a = timesReal(a, 10000.0);
        b = timesReal(b, 10000.0);
    }
    Complex x1{1.0, 0.0};
    Complex x2{1.0, 0.0};
    if (modulus(b) >= modulus(a))
        x2 = -quotient(a, b);
    else
        x1 = -quotient(b, a);
    const double s = 1.0 / std::sqrt(absSqr(x1) + absSqr(x2));
    // Returned as the first column: u11 = x1, u21 = x2.
    return TMATICA2{timesReal(x1, s), Complex{}, timesReal(x2, s), Complex{}};
}

TMATICA2 diagonal2(Complex d1, Complex d2) { return {d1, Complex{}, Complex{}, d2}; }

// Roots of a x^2 + b x + c given the root r of the discriminant.
QuadraticRoots rootsWithDiscriminantRoot(Complex a, Complex b, Complex c, Complex r)
{
    const double g = 2.0 * (conjugate(b) * r).re;
    const double sign = g >= 0.0 ? 1.0 : -1.0;
    const Complex q = timesReal(b + timesReal(r, sign), -0.5);
    return {quotient(q, a), quotient(c, q)};
}

}  // namespace

QuadraticRoots quadraticRoots(Complex a, Complex b, Complex c)
{
    const Complex disc = complexSqr(b) - timesReal(a * c, 4.0);
    return rootsWithDiscriminantRoot(a, b, c, complexSqrt(disc));
}

void unitaryRoot2(TMATICA2& u, int n, double tolerance, Presentation& ui)
{
    if (n < 2) {
        ui.appendLog("!!!SQRT: Asking for (k<2) - square-root!");
        return;
    }
    const Complex det = u.u11 * u.u22 - u.u12 * u.u21;
    const Complex minusTrace = -u.u11 - u.u22;
    // trace^2 - 4 det written as (u11 - u22)^2 + 4 u12 u21: for a nearly scalar
    // matrix the first form cancels to rounding noise (and complexSqrt would keep
    // that noise as its own root), which sent such matrices into the diagonal
    // case with their off-diagonal entries dropped.
    const Complex disc = complexSqr(u.u11 - u.u22) + timesReal(u.u12 * u.u21, 4.0);
    const QuadraticRoots eigen = rootsWithDiscriminantRoot(Complex{1.0, 0.0}, minusTrace, det, principalSqrt(disc));
    const Complex lambda1 = eigen.x1;
    const Complex lambda2 = eigen.x2;

    if ((fuzzyEqual(u.u12, Complex{}) && fuzzyEqual(u.u21, Complex{})) || fuzzyEqual(lambda1, lambda2)) {
        if (std::fabs(modulus(u.u11) - 1.0) > tolerance || std::fabs(modulus(u.u22) - 1.0) > tolerance)
            ui.appendLog("!!!SQRT: matrix A had strange eigenvalues");
        u = diagonal2(fromPolar(1.0, angle(u.u11) / n), fromPolar(1.0, angle(u.u22) / n));
        return;
    }

    const double theta1 = angle(lambda1) / n;
    const double theta2 = angle(lambda2) / n;
    const std::optional<TMATICA2> x = eigenvectorColumn(u, lambda1);
    if (!x) {
        ui.appendLog("!!!SQRT: Two zeros in preparation of eigen vector!!!");
        return;
    }
    // The eigenvector of lambda2 is orthogonal to that of lambda1 (u is unitary).
    // Taking it as the complement keeps v unitary to rounding; solving for it
    // separately gave two columns each off by rounding / |lambda1 - lambda2|,
    // a non-unitary v and a root wrong by that much for nearly scalar u.
    const TMATICA2 v{x->u11, -conjugate(x->u21), x->u21, conjugate(x->u11)};

    const TMATICA2 d = diagonal2(lambda1, lambda2);
    if (!matEqual2(d, matMul2(matMul2(adjoint2(v), u), v), tolerance)) {
        ui.appendLog("!!!SQRT: Diagonalization did not work!");
        return;
    }
    const TMATICA2 root =
        matMul2(matMul2(v, diagonal2(fromPolar(1.0, theta1), fromPolar(1.0, theta2))), adjoint2(v));
    TMATICA2 power = root;
    for (int i = 1; i < n; ++i)
        power = matMul2(root, power);
    if (!matEqual2(u, power, tolerance)) {
        ui.appendLog("!!!SQRT: Final chcek unsuccessful!");
        return;
    }
    u = root;
}
