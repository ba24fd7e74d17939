#pragma once
// Complex values in double precision, their fuzzy equality and text forms.

#include <cmath>
#include <string>
#include <string_view>

#include "engine/kernel/errors.h"

struct Complex {
    double re = 0.0;
    double im = 0.0;
};

inline Complex operator+(Complex a, Complex b) { return {a.re + b.re, a.im + b.im}; }
inline Complex operator-(Complex a, Complex b) { return {a.re - b.re, a.im - b.im}; }
inline Complex operator-(Complex a) { return {-a.re, -a.im}; }
inline Complex operator*(Complex a, Complex b)
{
    return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re};
}

// Throws ConversionError when |b|^2 <= 1e-12 (modulus at most 1e-6).
Complex operator/(Complex a, Complex b);

inline double absSqr(Complex z) { return z.re * z.re + z.im * z.im; }
inline double modulus(Complex z) { return std::sqrt(z.re * z.re + z.im * z.im); }
// atan2(im, re) in (-pi, pi]; the angle of 0 is 0. A negative zero imaginary
// part (from negating a real) would give -pi, so it counts as +0.
inline double angle(Complex z)
{
    if (z.re == 0.0 && z.im == 0.0)
        return 0.0;
    return std::atan2(z.im == 0.0 ? 0.0 : z.im, z.re);
}
inline Complex conjugate(Complex z) { return {z.re, -z.im}; }
inline Complex fromPolar(double r, double theta) { return {r * std::cos(theta), r * std::sin(theta)}; }
inline Complex timesI(Complex z) { return {-z.im, z.re}; }
inline Complex timesMinusI(Complex z) { return {z.im, -z.re}; }
inline Complex timesReal(Complex z, double x) { return {x * z.re, x * z.im}; }
inline Complex complexSqr(Complex z) { return {z.re * z.re - z.im * z.im, 2.0 * z.re * z.im}; }
inline double absImag(Complex z) { return std::fabs(z.im); }
inline Complex toComplex(double x) { return {x, 0.0}; }

// Principal square root: real part never negative; a value within 1e-12 of 0 is returned as it is.
Complex complexSqrt(Complex z);

// The same principal root without snapping tiny arguments: the root of 1e-20 is 1e-10.
Complex principalSqrt(Complex z);

// The only equality of complex values: parts within max(1e-12, 1e-12 * min(|x|, |y|)).
bool fuzzyEqual(Complex a, Complex b);

// Parses "re", "re + im i" and the like; throws ConversionError with the parser's
// message for any other text and for values that are not finite.
Complex toComplex(std::string_view text);

// General form "re + im i" / "re - im i", numbers in the general number format.
std::string complexText(Complex z);

// Display form with `digits` decimals; parts of magnitude <= 10^-digits are left out.
std::string complexToText(Complex z, int digits);

// General number format: at most 15 significant digits, no trailing zeros,
// scientific ("1E-17") below 0.00001 or beyond 15 integer digits.
std::string generalNumberText(double x);
