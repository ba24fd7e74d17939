#include "support/oracle.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <random>

#include "engine/kernel/randomunitary.h"
#include "engine/synthesis/circuit.h"
#include "platform/headlesspresentation.h"
#include "platform/presentation.h"
#include "workspace/circuitmatrix.h"
#include "workspace/workspace.h"

namespace {

int sizeOf(int qubits) { return 1 << qubits; }

Complex gaussian(std::mt19937_64& rng)
{
    std::normal_distribution<double> normal(0.0, 1.0);
    const double re = normal(rng);
    return {re, normal(rng)};
}

// A random 2 x 2 unitary: e^(i g) [[a, b], [-conj(b), conj(a)]].
TMATICA2 random2(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> angle(-std::numbers::pi, std::numbers::pi);
    const double t = angle(rng), a = angle(rng), b = angle(rng), g = angle(rng);
    const Complex x = fromPolar(std::cos(t), a);
    const Complex y = fromPolar(std::sin(t), b);
    const Complex phase = fromPolar(1.0, g);
    return {phase * x, phase * y, phase * -conjugate(y), phase * conjugate(x)};
}

std::vector<int> randomPermutation(int n, std::mt19937_64& rng)
{
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 1);
    std::shuffle(order.begin(), order.end(), rng);
    return order;
}

TMATICA1 zeroMatrix(int n)
{
    TMATICA1 m;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            m(r, c) = Complex{};
    return m;
}

// Every row's one sits as far from the diagonal as it can.
TMATICA1 antiDiagonal(int qubits)
{
    const int n = sizeOf(qubits);
    TMATICA1 m = zeroMatrix(n);
    for (int i = 1; i <= n; ++i)
        m(i, n + 1 - i) = {1.0, 0.0};
    return m;
}

}  // namespace

double maxDifference(const TMATICA1& x, const TMATICA1& y, int n) { return largestEntryDifference(x, y, n); }

double compositionError(const Workspace& ws, Presentation& ui, const TMATICA1& expected)
{
    static TMATICA1 composed;
    // composeCircuit gives an empty circuit the identity without kompozicia's range messages.
    composeCircuit(ws, composed, ui);
    return maxDifference(composed, expected, ws.matrixSize);
}

int maxControlCount(const Workspace& ws)
{
    int most = -1;
    for (int g = 1; g <= ws.pocetb1; ++g)
        most = std::max(most, static_cast<int>(ws.gates[g].type));
    return most;
}

void loadUnitary(Workspace& ws, const TMATICA1& m, int qubits)
{
    ws.qubitCount = qubits;
    ws.matrixSize = sizeOf(qubits);
    ws.matrixA = m;
}

TMATICA1 identityUnitary(int qubits) { return scalarUnitary(qubits, {1.0, 0.0}); }

TMATICA1 scalarUnitary(int qubits, Complex z)
{
    const int n = sizeOf(qubits);
    TMATICA1 m = zeroMatrix(n);
    for (int i = 1; i <= n; ++i)
        m(i, i) = z;
    return m;
}

TMATICA1 diagonalPhases(int qubits, std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> angle(-std::numbers::pi, std::numbers::pi);
    const int n = sizeOf(qubits);
    TMATICA1 m = zeroMatrix(n);
    const Complex exact[] = {{1.0, 0.0}, {-1.0, 0.0}, {0.0, 1.0}, {0.0, -1.0}};
    for (int i = 1; i <= n; ++i)
        m(i, i) = rng() % 3 == 0 ? exact[rng() % 4] : fromPolar(1.0, angle(rng));
    return m;
}

TMATICA1 permutationUnitary(int qubits, std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    const int n = sizeOf(qubits);
    TMATICA1 m = zeroMatrix(n);
    const std::vector<int> order = randomPermutation(n, rng);
    for (int i = 1; i <= n; ++i)
        m(i, order[i - 1]) = {1.0, 0.0};
    return m;
}

TMATICA1 permutationTimesRotation(int qubits, std::uint64_t seed, double angle)
{
    TMATICA1 m = permutationUnitary(qubits, seed);
    std::mt19937_64 rng(seed + 1);
    const std::vector<int> levels = randomPermutation(sizeOf(qubits), rng);
    const Complex c{std::cos(angle), 0.0};
    const Complex s{std::sin(angle), 0.0};
    for (int i = 1; i <= sizeOf(qubits); ++i) {
        const Complex x = m(i, levels[0]);
        const Complex y = m(i, levels[1]);
        m(i, levels[0]) = c * x + s * y;
        m(i, levels[1]) = c * y - s * x;
    }
    return m;
}

TMATICA1 fullyControlledGate(int qubits, int target, const TMATICA2& u)
{
    const int n = sizeOf(qubits);
    TMATICA1 m = identityUnitary(qubits);
    const int targetBit = 1 << (qubits - target);
    // The only qualifying state has every bit but the target's set.
    const int low = (n - 1) & ~targetBit;
    const int i = low + 1;
    const int e = (low | targetBit) + 1;
    m(i, i) = u.u11;
    m(i, e) = u.u12;
    m(e, i) = u.u21;
    m(e, e) = u.u22;
    return m;
}

TMATICA1 reflection(int qubits, std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    const int n = sizeOf(qubits);
    std::vector<Complex> v(n);
    double norm = 0.0;
    for (Complex& z : v) {
        z = gaussian(rng);
        norm += absSqr(z);
    }
    norm = std::sqrt(norm);
    for (Complex& z : v)
        z = timesReal(z, 1.0 / norm);
    TMATICA1 m;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c) {
            const Complex outer = timesReal(v[r - 1] * conjugate(v[c - 1]), 2.0);
            m(r, c) = (r == c ? Complex{1.0, 0.0} : Complex{}) - outer;
        }
    return m;
}

TMATICA1 sparseUnitary(int qubits, std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    const int n = sizeOf(qubits);
    TMATICA1 blocks = zeroMatrix(n);
    const std::vector<int> pairs = randomPermutation(n, rng);
    for (int k = 0; k < n; k += 2) {
        const int a = pairs[k], b = pairs[k + 1];
        const TMATICA2 w = random2(rng);
        blocks(a, a) = w.u11;
        blocks(a, b) = w.u12;
        blocks(b, a) = w.u21;
        blocks(b, b) = w.u22;
    }
    const std::vector<int> rows = randomPermutation(n, rng);
    TMATICA1 m;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            m(r, c) = blocks(rows[r - 1], c);
    return m;
}

TMATICA1 seededRandomUnitary(int qubits, std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    const int n = sizeOf(qubits);
    TMATICA1 m;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            m(r, c) = gaussian(rng);
    // Modified Gram-Schmidt over the columns, twice for orthogonality to rounding level.
    for (int pass = 0; pass < 2; ++pass)
        for (int c = 1; c <= n; ++c) {
            for (int k = 1; k < c; ++k) {
                Complex dot{};
                for (int r = 1; r <= n; ++r)
                    dot = dot + conjugate(m(r, k)) * m(r, c);
                for (int r = 1; r <= n; ++r)
                    m(r, c) = m(r, c) - dot * m(r, k);
            }
            double norm = 0.0;
            for (int r = 1; r <= n; ++r)
                norm += absSqr(m(r, c));
            norm = std::sqrt(norm);
            for (int r = 1; r <= n; ++r)
                m(r, c) = timesReal(m(r, c), 1.0 / norm);
        }
    return m;
}

TMATICA1 programRandomUnitary(int qubits, std::uint64_t seed)
{
    HeadlessPresentation ui;
    ui.recordEvents = false;
    auto ws = createWorkspace(ui);
    loadUnitary(*ws, identityUnitary(qubits), qubits);
    ws->random.fixSeed(seed);
    TMATICA1 m;
    randomUnitary(*ws, ui, m, 100);
    return m;
}

TMATICA1 perturbed(const TMATICA1& m, int qubits, double eps, std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> part(-eps / 2.0, eps / 2.0);
    const int n = sizeOf(qubits);
    TMATICA1 result = m;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c) {
            const double re = part(rng);
            result(r, c) = result(r, c) + Complex{re, part(rng)};
        }
    return result;
}

std::vector<NamedUnitary> awkwardUnitaries(int qubits)
{
    const TMATICA2 rotation{{0.6, 0.0}, {0.0, 0.8}, {0.0, 0.8}, {0.6, 0.0}};
    const TMATICA2 notGate{{0.0, 0.0}, {1.0, 0.0}, {1.0, 0.0}, {0.0, 0.0}};
    std::vector<NamedUnitary> list;
    list.push_back({"identity", identityUnitary(qubits)});
    list.push_back({"minus identity", scalarUnitary(qubits, {-1.0, 0.0})});
    list.push_back({"i identity", scalarUnitary(qubits, {0.0, 1.0})});
    list.push_back({"diagonal phases", diagonalPhases(qubits, 11)});
    list.push_back({"permutation", permutationUnitary(qubits, 12)});
    list.push_back({"anti-diagonal", antiDiagonal(qubits)});
    list.push_back({"fully controlled rotation", fullyControlledGate(qubits, qubits, rotation)});
    list.push_back({"fully controlled NOT on qubit 1", fullyControlledGate(qubits, 1, notGate)});
    list.push_back({"reflection", reflection(qubits, 13)});
    list.push_back({"sparse", sparseUnitary(qubits, 14)});
    list.push_back({"perturbed random", perturbed(seededRandomUnitary(qubits, 15), qubits, 1e-10, 16)});
    return list;
}
