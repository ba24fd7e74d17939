#pragma once
// Square matrices up to 64 x 64 (TMATICA1) and 2 x 2 matrices (TMATICA2).

#include "engine/kernel/complex.h"

// TMATICA1: 64 x 64 complex entries. M(r, c) is row r, column c, both 1-based,
// stored row-major in e[r - 1][c - 1]. Every routine takes the size n of the
// leading n x n block it works on and never reads or writes outside it.
struct TMATICA1 {
    static constexpr int capacity = 64;
    Complex e[capacity][capacity];

    Complex& operator()(int r, int c) { return e[r - 1][c - 1]; }
    const Complex& operator()(int r, int c) const { return e[r - 1][c - 1]; }
};

// TMATICA2: a gate's 2 x 2 matrix, row by row: u11 u12 / u21 u22.
struct TMATICA2 {
    Complex u11;
    Complex u12;
    Complex u21;
    Complex u22;
};

// Sets the leading n x n block to the identity.
void setIdentity(TMATICA1& m, int n);

// result := x * y over the n x n block; each entry sums k = 1..n upwards from 0.
// result may be x or y.
void matMul(const TMATICA1& x, const TMATICA1& y, TMATICA1& result, int n);

// True when every entry pair of the n x n block differs by at most `tolerance`
// in modulus; a NaN difference counts as unequal.
bool matEqual(const TMATICA1& x, const TMATICA1& y, int n, double tolerance);

// x * y, each entry summed from 0 with the k = 1 term first.
inline TMATICA2 matMul2(const TMATICA2& x, const TMATICA2& y)
{
    const Complex zero{};
    return {zero + x.u11 * y.u11 + x.u12 * y.u21, zero + x.u11 * y.u12 + x.u12 * y.u22,
            zero + x.u21 * y.u11 + x.u22 * y.u21, zero + x.u21 * y.u12 + x.u22 * y.u22};
}

inline TMATICA2 adjoint2(const TMATICA2& u)
{
    return {conjugate(u.u11), conjugate(u.u21), conjugate(u.u12), conjugate(u.u22)};
}

inline TMATICA2 identityMatrix2() { return {{1.0, 0.0}, {0.0, 0.0}, {0.0, 0.0}, {1.0, 0.0}}; }

// Off-diagonal entries fuzzyEqual to 0 (not the tolerance: 1e-10 is off-diagonal).
inline bool isDiagonal2(const TMATICA2& u)
{
    return fuzzyEqual(u.u12, Complex{}) && fuzzyEqual(u.u21, Complex{});
}

// No entry is infinite or NaN.
inline bool hasFiniteEntries2(const TMATICA2& u)
{
    for (const Complex z : {u.u11, u.u12, u.u21, u.u22})
        if (!std::isfinite(z.re) || !std::isfinite(z.im))
            return false;
    return true;
}

// All four entry pairs within `tolerance` in modulus; NaN counts as unequal.
inline bool matEqual2(const TMATICA2& x, const TMATICA2& y, double tolerance)
{
    return modulus(x.u11 - y.u11) <= tolerance && modulus(x.u12 - y.u12) <= tolerance &&
           modulus(x.u21 - y.u21) <= tolerance && modulus(x.u22 - y.u22) <= tolerance;
}

// adjoint(u) * u equals the identity within `tolerance`.
inline bool isUnitary2(const TMATICA2& u, double tolerance)
{
    return matEqual2(matMul2(adjoint2(u), u), identityMatrix2(), tolerance);
}

// diag(e^(i x/2), e^(-i x/2)), x in radians.
inline TMATICA2 phaseRotation2(double x)
{
    return {fromPolar(1.0, x / 2.0), Complex{}, Complex{}, fromPolar(1.0, -x / 2.0)};
}

// [[cos(x/2), sin(x/2)], [-sin(x/2), cos(x/2)]], x in radians.
inline TMATICA2 realRotation2(double x)
{
    const double a = x / 2.0;
    return {toComplex(std::cos(a)), toComplex(std::sin(a)), toComplex(-std::sin(a)), toComplex(std::cos(a))};
}
