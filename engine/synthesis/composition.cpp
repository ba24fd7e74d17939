#include "engine/synthesis/composition.h"

#include <algorithm>

#include "engine/kernel/avx2clones.h"
#include "engine/synthesis/gatemasks.h"

// Why the short forms give the dense product's doubles: a row of a gate's full
// matrix holds at most two entries that are not exact zeros, and over finite
// entries a product with an exact zero is a zero of either sign. The dense sum
// starts from +0, so the zeros before the first real term leave +0, that term
// turns a zero result into +0, and the zeros after it change nothing: a new
// entry is 0 + (term of the lower row) + (term of the higher row), and a
// result is never -0. An untouched row comes out as 0 + (its entry), which
// only turns -0 into +0; once the matrix holds no -0 such rows stay as they
// are, and the two rows of an exact pauliX are simply exchanged.

namespace {

constexpr int capacity = TMATICA1::capacity;

// The matrix as separate planes of real and imaginary parts, so the row loops
// run over contiguous doubles of one kind and vectorize without shuffles.
struct SplitMatrix {
    double re[capacity][capacity];
    double im[capacity][capacity];
};

// x - x is 0 for a finite x and NaN otherwise, so a column of sums of such
// differences stays 0 exactly while every entry that went into it is finite.
bool allZero(const double* notFinite, int n)
{
    bool zero = true;
    for (int j = 0; j < n; ++j)
        zero = zero && notFinite[j] == 0.0;
    return zero;
}

void setEntry(SplitMatrix& s, int r, int c, Complex z)
{
    s.re[r][c] = z.re;
    s.im[r][c] = z.im;
}

void setEntry(TMATICA1& m, int r, int c, Complex z) { m.e[r][c] = z; }

void setIdentityBlock(TMATICA1& m, int n)
{
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j)
            m.e[i][j] = Complex{};
        m.e[i][i] = {1.0, 0.0};
    }
}

void setIdentityBlock(SplitMatrix& s, int n)
{
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            s.re[i][j] = i == j ? 1.0 : 0.0;
            s.im[i][j] = 0.0;
        }
}

// The full matrix of a finite gate, as gateMatrix writes it; with `beforeProduct`
// its -0 entries become +0, as the first product would make them. Returns
// whether gateMatrix would report the gate.
template <typename Matrix>
bool writeGateMatrix(const TGATE1& gate, Matrix& s, int qubitCount, bool beforeProduct)
{
    const int n = 1 << qubitCount;
    setIdentityBlock(s, n);
    const GateMasks masks = gateMasks(gate, qubitCount);
    if (!masks.wellFormed)
        return true;
    const Complex zero{};
    const TMATICA2 u = beforeProduct ? TMATICA2{zero + gate.u.u11, zero + gate.u.u12, zero + gate.u.u21,
                                                zero + gate.u.u22}
                                     : gate.u;
    int count = 0;
    for (int state = 0; state < n; ++state) {
        if (!qualifies(state, masks))
            continue;
        ++count;
        const int partner = state | masks.target;
        setEntry(s, state, state, u.u11);
        setEntry(s, state, partner, u.u12);
        setEntry(s, partner, state, u.u21);
        setEntry(s, partner, partner, u.u22);
    }
    return count != masks.expectedCount;
}

void store(const SplitMatrix& s, TMATICA1& m, int n)
{
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            m.e[i][j] = {s.re[i][j], s.im[i][j]};
}

// Rows low < high := the gate's 2 x 2 matrix times them, each entry summed as
// 0 + u(row, 1) * low + u(row, 2) * high with Complex's operations. Column j
// of notFinite turns NaN when a new entry of column j is not finite.
[[gnu::always_inline]] inline void applyToRows(const TMATICA2& u, SplitMatrix& s, int low, int high, int n,
                                               double* notFinite)
{
    double* lowRe = s.re[low];
    double* lowIm = s.im[low];
    double* highRe = s.re[high];
    double* highIm = s.im[high];
    const double u11Re = u.u11.re, u11Im = u.u11.im, u12Re = u.u12.re, u12Im = u.u12.im;
    const double u21Re = u.u21.re, u21Im = u.u21.im, u22Re = u.u22.re, u22Im = u.u22.im;
    // Two different rows, each entry read before it is written: no iteration
    // depends on another, so the loop may run on whole vectors.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC ivdep
#endif
    for (int j = 0; j < n; ++j) {
        const double aRe = lowRe[j];
        const double aIm = lowIm[j];
        const double bRe = highRe[j];
        const double bIm = highIm[j];
        const double newLowRe = (0.0 + (u11Re * aRe - u11Im * aIm)) + (u12Re * bRe - u12Im * bIm);
        const double newLowIm = (0.0 + (u11Re * aIm + u11Im * aRe)) + (u12Re * bIm + u12Im * bRe);
        const double newHighRe = (0.0 + (u21Re * aRe - u21Im * aIm)) + (u22Re * bRe - u22Im * bIm);
        const double newHighIm = (0.0 + (u21Re * aIm + u21Im * aRe)) + (u22Re * bIm + u22Im * bRe);
        lowRe[j] = newLowRe;
        lowIm[j] = newLowIm;
        highRe[j] = newHighRe;
        highIm[j] = newHighIm;
        notFinite[j] = notFinite[j] + (newLowRe - newLowRe) + (newLowIm - newLowIm) + (newHighRe - newHighRe) +
                       (newHighIm - newHighIm);
    }
}

void swapRows(SplitMatrix& s, int low, int high, int n)
{
    std::swap_ranges(s.re[low], s.re[low] + n, s.re[high]);
    std::swap_ranges(s.im[low], s.im[low] + n, s.im[high]);
}

void swapRows(TMATICA1& m, int low, int high, int n) { std::swap_ranges(m.e[low], m.e[low] + n, m.e[high]); }

// The same sums as on the planes, on m itself.
[[gnu::always_inline]] inline void applyToRows(const TMATICA2& u, TMATICA1& m, int low, int high, int n,
                                               double* notFinite)
{
    const Complex zero{};
    const TMATICA2 v = u;  // apart from m, so the loop need not reload it
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC ivdep
#endif
    for (int j = 0; j < n; ++j) {
        const Complex a = m.e[low][j];
        const Complex b = m.e[high][j];
        const Complex newLow = zero + v.u11 * a + v.u12 * b;
        const Complex newHigh = zero + v.u21 * a + v.u22 * b;
        m.e[low][j].re = newLow.re;
        m.e[low][j].im = newLow.im;
        m.e[high][j].re = newHigh.re;
        m.e[high][j].im = newHigh.im;
        notFinite[j] = notFinite[j] + (newLow.re - newLow.re) + (newLow.im - newLow.im) +
                       (newHigh.re - newHigh.re) + (newHigh.im - newHigh.im);
    }
}

// Applies the gates in order to a finite matrix without -0 (planes or m).
template <typename Matrix>
[[gnu::always_inline]] inline GateRunResult applyInOrder(std::span<const TGATE1> gates, Matrix& s, int qubitCount)
{
    GateRunResult result;
    const int n = 1 << qubitCount;
    double notFinite[capacity];
    for (int j = 0; j < n; ++j)
        notFinite[j] = 0.0;
    for (const TGATE1& gate : gates) {
        ++result.applied;
        const GateMasks masks = gateMasks(gate, qubitCount);
        if (!masks.wellFormed) {
            // Its full matrix is the identity.
            ++result.malformed;
            continue;
        }
        const bool swapsRows = isExactPauliX(gate.u);
        int count = 0;
        for (int state = 0; state < n; ++state) {
            if (!qualifies(state, masks))
                continue;
            ++count;
            if (swapsRows)
                swapRows(s, state, state | masks.target, n);
            else
                applyToRows(gate.u, s, state, state | masks.target, n, notFinite);
        }
        if (count != masks.expectedCount)
            ++result.malformed;
        if (!swapsRows && !allZero(notFinite, n))
            break;
    }
    return result;
}

}  // namespace

// Built twice, for AVX2 and for any x86-64, chosen at load time: the same
// operations in the same order without contraction, so the same bits.
UDECOMP_AVX2_CLONES
GateRunResult composeGates(std::span<const TGATE1> gates, TMATICA1& m, int qubitCount)
{
    if (gates.empty() || !hasFiniteEntries2(gates[0].u))
        return {};
    const bool beforeProduct = gates.size() > 1;
    const std::span<const TGATE1> rest = gates.subspan(1);
    GateRunResult result;
    // For a few gates the copy into planes and back costs more than it saves.
    if (gates.size() <= 4) {
        const bool reported = writeGateMatrix(gates[0], m, qubitCount, beforeProduct);
        result = applyInOrder(rest, m, qubitCount);
        result.malformed += reported ? 1 : 0;
    } else {
        static thread_local SplitMatrix s;
        const bool reported = writeGateMatrix(gates[0], s, qubitCount, beforeProduct);
        result = applyInOrder(rest, s, qubitCount);
        result.malformed += reported ? 1 : 0;
        store(s, m, 1 << qubitCount);
    }
    ++result.applied;
    return result;
}
