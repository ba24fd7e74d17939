#include "engine/reduction/tpq.h"

#include <cmath>
#include <string>

#include "platform/presentation.h"

namespace {

// 1 <= q < p <= n; the last test cannot fail on its own but keeps the check whole.
bool validLevels(int p, int q, int n)
{
    return p >= 1 && p <= n && q < p && q >= 1 && q <= n - 1;
}

// Starts from the identity and reports bad levels; true when the entries may be written.
bool startTwoLevel(int p, int q, TMATICA1& m, int n, Presentation& ui)
{
    setIdentity(m, n);
    if (validLevels(p, q, n))
        return true;
    ui.appendLog("Asking for Tpq, with bad parameters. p= " + std::to_string(p) + " , q= " + std::to_string(q) +
                 " , identity matrix produced instead.");
    return false;
}

}  // namespace

void makeTpq(int p, int q, double omega, double fi, TMATICA1& m, int n, Presentation& ui)
{
    if (!startTwoLevel(p, q, m, n, ui))
        return;
    const double s = std::sin(omega);
    const double c = std::cos(omega);
    m(q, q) = fromPolar(s, fi);
    m(q, p) = fromPolar(c, fi);
    m(p, q) = toComplex(c);
    m(p, p) = toComplex(-s);
}

void makeTpqAdjoint(int p, int q, double omega, double fi, TMATICA1& m, int n, Presentation& ui)
{
    if (!startTwoLevel(p, q, m, n, ui))
        return;
    const double s = std::sin(omega);
    const double c = std::cos(omega);
    m(q, q) = fromPolar(s, -fi);
    m(p, q) = fromPolar(c, -fi);
    m(q, p) = toComplex(c);
    m(p, p) = toComplex(-s);
}

void adjointInPlace(TMATICA1& m, int n)
{
    for (int i = 1; i <= n; ++i)
        for (int j = i; j <= n; ++j) {
            const Complex t = m(i, j);
            m(i, j) = conjugate(m(j, i));
            m(j, i) = conjugate(t);
        }
}

bool isUnitary(const TMATICA1& m, int n, double tolerance)
{
    // B = m^dagger * m, each entry summed k = 1..n upwards from 0 with the
    // operations of matMul on the adjoint, then compared with the identity by
    // matEqual's rule. B is Hermitian to the bit: entry (j, i) has the same real
    // part and the exactly negated imaginary part of entry (i, j) (the same
    // products, negated term by term), so its distance from the identity is the
    // same and only j >= i is formed.
    static thread_local double rightRe[TMATICA1::capacity][TMATICA1::capacity];
    static thread_local double rightIm[TMATICA1::capacity][TMATICA1::capacity];
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < n; ++j) {
            rightRe[k][j] = m.e[k][j].re;
            rightIm[k][j] = m.e[k][j].im;
        }
    const double clearlyInside = tolerance > 0.0 ? tolerance * tolerance * (1.0 - 1e-9) : 0.0;
    bool unitary = true;
    double sumRe[TMATICA1::capacity];
    double sumIm[TMATICA1::capacity];
    for (int i = 0; i < n; ++i) {
        for (int j = i; j < n; ++j) {
            sumRe[j] = 0.0;
            sumIm[j] = 0.0;
        }
        for (int k = 0; k < n; ++k) {
            // B[i, k] = conjugate(m[k, i])
            const double aRe = m.e[k][i].re;
            const double aIm = -m.e[k][i].im;
            const double* bRe = rightRe[k];
            const double* bIm = rightIm[k];
            for (int j = i; j < n; ++j) {
                const double productRe = aRe * bRe[j] - aIm * bIm[j];
                const double productIm = aRe * bIm[j] + aIm * bRe[j];
                sumRe[j] = sumRe[j] + productRe;
                sumIm[j] = sumIm[j] + productIm;
            }
        }
        for (int j = i; j < n; ++j) {
            const Complex difference = Complex{sumRe[j], sumIm[j]} - Complex{i == j ? 1.0 : 0.0, 0.0};
            if (absSqr(difference) < clearlyInside)
                continue;
            if (!(modulus(difference) <= tolerance))
                unitary = false;
        }
    }
    return unitary;
}
