#include "engine/reduction/reduction.h"

#include <cmath>
#include <numbers>
#include <string>

#include "engine/reduction/tpq.h"
#include "platform/presentation.h"
#include "ui/matrixgrid.h"
#include "workspace/workspace.h"

// The elimination of Reck et al. (1994): stage n multiplies A on the right by
// Tpq(n, n-1) * ... * Tpq(n, 1), whose last column is chosen in closed form to
// be e^(-i theta) times the conjugate of row n, so that row and column n clear.

namespace {

constexpr double pi = std::numbers::pi;

// Row and column n are zero off the diagonal within the tolerance.
bool rowAndColumnCleared(const TMATICA1& a, int n, double tolerance)
{
    for (int k = 1; k <= n - 1; ++k)
        if (!(modulus(a(n, k)) <= tolerance) || !(modulus(a(k, n)) <= tolerance))
            return false;
    return true;
}

// The stage has nothing to do: row n is zero off the diagonal to rounding and
// column n within the tolerance. Skipping drops row n's off-diagonal entries,
// so they must be rounding; entries up to the tolerance, dropped stage after
// stage, left whole circuits off by that much. Column n follows from row n for
// a unitary; for a matrix accepted as unitary within the tolerance it need
// not, and clearing row n would not clear it either.
bool stageAlreadyDone(const TMATICA1& a, int n, double tolerance)
{
    for (int k = 1; k <= n - 1; ++k)
        if (!fuzzyEqual(a(n, k), Complex{}))
            return false;
    return rowAndColumnCleared(a, n, tolerance);
}

bool hasUnitModulus(Complex z, double tolerance) { return std::fabs(modulus(z) - 1.0) <= tolerance; }

// Appends the n - 1 entries of stage n and fills their angles from row n of a.
// Column i of row n belongs to entry tpqCount + 1 - i (column n - 1 first).
// Returns true when an omega came out with a sine of exactly 0 and the
// remaining omegas were left as they were.
bool computeStageAngles(Workspace& ws, Presentation& ui, const TMATICA1& a, int n)
{
    const int base = ws.tpqCount;
    ws.tpqCount = base + n - 1;
    const auto entry = [&ws](int column) -> TpqEntry& { return ws.tpqTable[ws.tpqCount + 1 - column]; };

    const double theta = angle(a(n, n)) + (n - 1) * pi;
    for (int i = 1; i <= n - 1; ++i) {
        TpqEntry& e = entry(i);
        e.fi = (i - 1) * pi + theta - angle(a(n, i));
        e.p = n;
        e.q = i;
    }

    for (int k = 1; k <= n - 1; ++k) {
        double rest = 0.0;
        for (int m = k + 1; m <= n; ++m)
            rest += absSqr(a(n, m));
        // x = cos(2 omega_k) once the product of the earlier sines, which the
        // column's k-th entry carries, is divided out; it only checks the row.
        double x = absSqr(a(n, k)) - rest;
        if (k >= 2) {
            double prod = 1.0;
            for (int j = 1; j <= k - 1; ++j) {
                const double s = std::sin(entry(j).omega);
                prod = s * s * prod;
            }
            x = x / prod;
        }
        if ((x > 1.0 || x < -1.0) && std::fabs(std::fabs(x) - 1.0) > ws.tolerance)
            ui.appendLog("Reduction n=" + std::to_string(n) + ". In computation of omega " + std::to_string(k) +
                         " is the argument of arccos outside <-1,1> => BIG PROBLEM");
        // arccos(x) / 2 near x = +-1 turns a rounding error of 1e-16 in x into
        // 1e-8 in omega. cos(omega) and sin(omega) are proportional to |A[n,k]|
        // and sqrt(rest), both carrying the product of the earlier sines, which
        // cancels in the ratio: the same angle, exact to rounding, in [0, pi/2],
        // and exactly 0 when the rest of the row is exactly zero.
        entry(k).omega = std::atan2(std::sqrt(rest), modulus(a(n, k)));
        if (std::sin(entry(k).omega) == 0.0) {
            // The rest of row n is zero: the column ends here and carries no theta.
            for (int j = 1; j <= k; ++j)
                entry(j).fi = (j - 1) * pi - angle(a(n, j));
            return true;
        }
    }
    return false;
}

}  // namespace

void resetReduction(Workspace& ws)
{
    for (TpqEntry& e : ws.tpqTable)
        e = TpqEntry{};
    for (double& d : ws.dAngles)
        d = 0.0;
    ws.tpqCount = 0;
}

void reduceStage(Workspace& ws, Presentation& ui, TMATICA1& a, int n)
{
    const int size = ws.matrixSize;
    if (n < 2 || n > size)
        return;
    if (ws.tpqCount + n - 1 > maxTpqEntries) {
        ui.appendLog("!!!! Reduction of matrix of the size " + std::to_string(n) +
                     " skipped: the table of Tpq parameters is full.");
        return;
    }

    if (stageAlreadyDone(a, n, ws.tolerance)) {
        if (!hasUnitModulus(a(n, n), ws.tolerance))
            ui.appendLog("In reduction of matrix of the size " + std::to_string(n) +
                         " zeros were everywhere in a[n,.] and a[.,n]" +
                         ", except for a[n,n], which does not have modul 1 => BIG PROBLEM");
        return;
    }

    const int base = ws.tpqCount;
    const bool omegasUnfinished = computeStageAngles(ws, ui, a, n);

    TMATICA1 t;
    TMATICA1 factor;
    const TpqEntry& first = ws.tpqTable[base + 1];
    makeTpq(first.p, first.q, first.omega, first.fi, t, size, ui);
    for (int k = base + 2; k <= base + n - 1; ++k) {
        const TpqEntry& e = ws.tpqTable[k];
        makeTpq(e.p, e.q, e.omega, e.fi, factor, size, ui);
        matMul(t, factor, t, size);
    }
    if (!isUnitary(t, size, ws.tolerance))
        ui.appendLog("T=T*T... is not unitary matrix.");

    matMul(a, t, a, size);
    if (!isUnitary(a, size, ws.tolerance))
        ui.appendLog("U*T is not unitary matrix.");

    if (rowAndColumnCleared(a, n, ws.tolerance) && hasUnitModulus(a(n, n), ws.tolerance))
        return;
    ui.appendLog("!!!! After reduction of matrix of the size " + std::to_string(n) +
                 " zeros were not everywhere in a[n,.] and a[.,n], or a[n,n] does not have modul 1");
    if (omegasUnfinished)
        ui.appendLog("!!!!! Not all omegas were finished.!!!!!!!!!!");
    showMatrixInGrid(ws, ui, a);
    ui.showMessage("!!!! Reduction: Problem!!", MessageStyle::information);
}
