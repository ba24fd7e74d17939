#include "engine/kernel/randomunitary.h"

#include <algorithm>
#include <numbers>

#include "engine/reduction/tpq.h"
#include "platform/presentation.h"
#include "ui/matrixgrid.h"
#include "workspace/workspace.h"

namespace {

// diag(e^(i phi_1), ..., e^(i phi_n)), one real draw per entry in order, phases in [-pi, pi).
void randomPhases(RandomGenerator& random, TMATICA1& t, int n)
{
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            t(r, c) = Complex{};
    for (int j = 1; j <= n; ++j)
        t(j, j) = fromPolar(1.0, (2.0 * random.drawReal() - 1.0) * std::numbers::pi);
}

// m := m * t for a factor with few nonzero entries per column (two-level or
// diagonal), in O(n^2) instead of O(n^3). Each entry is summed from +0 over
// k increasing, like matMul, but skips the k whose t[k, j] is zero: for a
// finite m such a term is a zero, and adding a zero to a sum that started at
// +0 never changes its bits. So the result equals matMul's bit for bit.
void timesSparseFactor(TMATICA1& m, const TMATICA1& t, int n)
{
    static thread_local int terms[TMATICA1::capacity][TMATICA1::capacity];
    int termCount[TMATICA1::capacity];
    for (int j = 0; j < n; ++j) {
        termCount[j] = 0;
        for (int k = 0; k < n; ++k)
            if (t.e[k][j].re != 0.0 || t.e[k][j].im != 0.0)
                terms[j][termCount[j]++] = k;
    }
    Complex row[TMATICA1::capacity];
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < n; ++k)
            row[k] = m.e[i][k];
        for (int j = 0; j < n; ++j) {
            Complex sum{};
            for (int term = 0; term < termCount[j]; ++term) {
                const int k = terms[j][term];
                sum = sum + row[k] * t.e[k][j];
            }
            m.e[i][j] = sum;
        }
    }
}

}  // namespace

void randomUnitary(Workspace& ws, Presentation& ui, TMATICA1& m, int count)
{
    const int n = ws.matrixSize;
    RandomGenerator& random = ws.random;
    random.beginGeneration();
    setIdentity(m, n);
    ui.setProgressMaximum(count);
    ui.setProgressPosition(0);
    ui.setProgressStep(1);
    ui.setProgressVisible(true);

    // One factor at a time; a 64 x 64 matrix is too large for the stack of every platform.
    static thread_local TMATICA1 factor;
    for (int step = 0; step < count; ++step) {
        ui.stepProgress();
        int a = 1 + random.drawInteger(n);
        int b = 1 + random.drawInteger(n);
        // The two levels always differ: for n = 2 they are always 2 and 1.
        if (a == b) {
            if (a > 1)
                b = a - 1;
            else
                a = 2;
        }
        const int p = std::max(a, b);
        const int q = std::min(a, b);
        const int kind = random.drawInteger(3);
        if (kind == 0) {
            randomPhases(random, factor, n);
        } else {
            const double omega = 2.0 * std::numbers::pi * random.drawReal();
            const double fi = 2.0 * std::numbers::pi * random.drawReal();
            if (kind == 1)
                makeTpq(p, q, omega, fi, factor, n, ui);
            else
                makeTpqAdjoint(p, q, omega, fi, factor, n, ui);
        }
        timesSparseFactor(m, factor, n);
    }

    if (isUnitary(m, n, ws.tolerance))
        ui.appendLog("The unitary matrix was randomly generated.");
    else
        ui.appendLog("The randomly generated matrix is not unitary!!!!");
    showMatrixInGrid(ws, ui, m);
    ui.setProgressPosition(0);
    ui.setProgressVisible(false);
}
