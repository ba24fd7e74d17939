#pragma once
// Shape tests on gate matrices and qubit sets that the exchange and merging
// rules decide by. Entry comparisons use fuzzyEqual, not the tolerance, except
// where a rule would drop a difference (equalToLastBits).

#include <cmath>
#include <limits>

#include "engine/synthesis/gate.h"

inline bool isAntidiagonal2(const TMATICA2& u)
{
    return fuzzyEqual(u.u11, Complex{}) && fuzzyEqual(u.u22, Complex{});
}

// Equal up to the last few bits of entries of size up to 1, what rounding in a
// handful of products leaves. The rules that drop a difference (two gates taken
// to commute, a pair taken for the identity, a diagonal taken for a scalar)
// decide on this: a drop stays in the circuit, and fuzzyEqual's 1e-12, dropped
// a few dozen times in 10^5 gates, came to 1e-11.
inline bool equalToLastBits(Complex a, Complex b)
{
    constexpr double bound = 8 * std::numeric_limits<double>::epsilon();
    return std::fabs(a.re - b.re) <= bound && std::fabs(a.im - b.im) <= bound;
}

inline bool equalToLastBits2(const TMATICA2& a, const TMATICA2& b)
{
    return equalToLastBits(a.u11, b.u11) && equalToLastBits(a.u12, b.u12) && equalToLastBits(a.u21, b.u21) &&
           equalToLastBits(a.u22, b.u22);
}

// d * I for some d.
inline bool isScalar2(const TMATICA2& u) { return isDiagonal2(u) && equalToLastBits(u.u11, u.u22); }

// diag(1, e) for some e.
inline bool isUnitPhase2(const TMATICA2& u) { return isDiagonal2(u) && fuzzyEqual(u.u11, Complex{1.0, 0.0}); }

inline bool isOne(Complex z) { return fuzzyEqual(z, Complex{1.0, 0.0}); }

// Every entry fuzzyEqual: equal to rounding. A rule that keeps or drops
// matrices on a looser test (the tolerance) adds up to the tolerance to the
// circuit's error each time it fires, and a circuit has 10^5 gates.
inline bool equalToRounding2(const TMATICA2& a, const TMATICA2& b)
{
    return fuzzyEqual(a.u11, b.u11) && fuzzyEqual(a.u12, b.u12) && fuzzyEqual(a.u21, b.u21) &&
           fuzzyEqual(a.u22, b.u22);
}

// `qubit` is one of the controls of g; every control is scanned.
inline bool isControlOf(int qubit, const TGATE1& g)
{
    bool found = false;
    for (int k = 1; k <= g.type; ++k)
        if (g.controls[k] == qubit)
            found = true;
    return found;
}

// Every control of a is a qubit (target or control) of b.
inline bool controlsWithin(const TGATE1& a, const TGATE1& b)
{
    for (int k = 1; k <= a.type; ++k)
        if (a.controls[k] != b.target && !isControlOf(a.controls[k], b))
            return false;
    return true;
}

// Every control of a is a control of b (targets not considered).
inline bool subsetControls(const TGATE1& a, const TGATE1& b)
{
    for (int k = 1; k <= a.type; ++k)
        if (!isControlOf(a.controls[k], b))
            return false;
    return true;
}

// d * I and diag(1, d).
inline TMATICA2 scalarMatrix2(Complex d) { return {d, Complex{}, Complex{}, d}; }
inline TMATICA2 unitPhaseMatrix2(Complex d) { return {Complex{1.0, 0.0}, Complex{}, Complex{}, d}; }
