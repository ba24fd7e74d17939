#include "engine/kernel/nearestunitary.h"

#include <cmath>

// Newton-Schulz iteration for the polar factor (Higham, Functions of Matrices,
// 2008, section 8.3): X := X + X (I - X^dagger X) / 2 squares the defect at
// every step, so a defect of 1e-7 reaches rounding in two or three steps.
// The correction is formed from the small residual, not as X (3I - X^dagger X) / 2,
// so that it is not lost against the identity.

namespace {

// residual := I - m^dagger * m.
void unitarityResidual(const TMATICA1& m, int n, TMATICA1& residual)
{
    TMATICA1 adjoint;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            adjoint(i, j) = conjugate(m(j, i));
    matMul(adjoint, m, residual, n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            residual(i, j) = (i == j ? Complex{1.0, 0.0} : Complex{}) - residual(i, j);
}

double largestModulus(const TMATICA1& m, int n)
{
    double largest = 0.0;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            const double size = modulus(m(i, j));
            if (std::isnan(size))
                return size;
            if (size > largest)
                largest = size;
        }
    return largest;
}

}  // namespace

double unitarityDefect(const TMATICA1& m, int n)
{
    TMATICA1 residual;
    unitarityResidual(m, n, residual);
    return largestModulus(residual, n);
}

void replaceByNearestUnitary(TMATICA1& m, int n)
{
    // Beyond rounding the defect falls by orders of magnitude per step; at
    // rounding it stalls, and that step is the last.
    constexpr int maxSteps = 8;
    TMATICA1 residual;
    TMATICA1 correction;
    double defect = 0.0;
    for (int step = 0; step < maxSteps; ++step) {
        unitarityResidual(m, n, residual);
        const double nextDefect = largestModulus(residual, n);
        if (!(nextDefect > 0.0) || (step > 0 && nextDefect > defect / 16.0))
            return;
        defect = nextDefect;
        matMul(m, residual, correction, n);
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                m(i, j) = m(i, j) + timesReal(correction(i, j), 0.5);
    }
}
