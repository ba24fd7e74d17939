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
    // B := m^dagger, written straight from m (the same values adjointInPlace
    // gives a copy), then B := B * m with B on the left.
    static thread_local TMATICA1 product;
    static thread_local TMATICA1 identity;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            product.e[i][j] = conjugate(m.e[j][i]);
    matMul(product, m, product, n);
    setIdentity(identity, n);
    return matEqual(product, identity, n, tolerance);
}
