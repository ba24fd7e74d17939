#include "engine/kernel/matrix.h"

#include "engine/kernel/avx2clones.h"

void setIdentity(TMATICA1& m, int n)
{
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            m(r, c) = r == c ? Complex{1.0, 0.0} : Complex{};
}

// Built twice, for AVX2 and for any x86-64, chosen at load time: the same
// operations in the same order without contraction, so the same bits, at
// twice the speed where the wider vectors exist.
UDECOMP_AVX2_CLONES
void matMul(const TMATICA1& x, const TMATICA1& y, TMATICA1& result, int n)
{
    // y is copied once into separate real and imaginary planes, so the inner
    // loop runs over contiguous doubles of one kind and vectorizes without
    // shuffles; the copy also lets result be y. Row i of x is read only while
    // row i of the result is formed, so result may be x as well.
    static thread_local double rightRe[TMATICA1::capacity][TMATICA1::capacity];
    static thread_local double rightIm[TMATICA1::capacity][TMATICA1::capacity];
    for (int k = 0; k < n; ++k)
        for (int j = 0; j < n; ++j) {
            rightRe[k][j] = y.e[k][j].re;
            rightIm[k][j] = y.e[k][j].im;
        }
    // Loop order i-k-j, yet every entry is still summed k = 1..n upwards from 0
    // with the operations of Complex's + and *, so results match the plain
    // triple loop bit for bit.
    double sumRe[TMATICA1::capacity];
    double sumIm[TMATICA1::capacity];
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            sumRe[j] = 0.0;
            sumIm[j] = 0.0;
        }
        for (int k = 0; k < n; ++k) {
            const double aRe = x.e[i][k].re;
            const double aIm = x.e[i][k].im;
            const double* bRe = rightRe[k];
            const double* bIm = rightIm[k];
            for (int j = 0; j < n; ++j) {
                const double productRe = aRe * bRe[j] - aIm * bIm[j];
                const double productIm = aRe * bIm[j] + aIm * bRe[j];
                sumRe[j] = sumRe[j] + productRe;
                sumIm[j] = sumIm[j] + productIm;
            }
        }
        for (int j = 0; j < n; ++j)
            result.e[i][j] = {sumRe[j], sumIm[j]};
    }
}

bool matEqual(const TMATICA1& x, const TMATICA1& y, int n, double tolerance)
{
    // Squares well inside the bound pass without a square root; the rest,
    // NaN included, take the exact test modulus(d) <= tolerance.
    const double clearlyInside = tolerance > 0.0 ? tolerance * tolerance * (1.0 - 1e-9) : 0.0;
    bool equal = true;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c) {
            const Complex d = x.e[r][c] - y.e[r][c];
            if (absSqr(d) < clearlyInside)
                continue;
            if (!(modulus(d) <= tolerance))
                equal = false;
        }
    return equal;
}
