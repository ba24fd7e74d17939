#include "routecheck.h"

#include <cmath>
#include <numbers>
#include <random>

#include "engine/kernel/nearestunitary.h"
#include "engine/kernel/randomunitary.h"
#include "platform/headlesspresentation.h"
#include "workspace/workspace.h"

namespace {

TMATICA1 kronecker(const TMATICA1& a, int sizeA, const TMATICA1& b, int sizeB)
{
    TMATICA1 m;
    for (int i = 0; i < sizeA; ++i)
        for (int j = 0; j < sizeA; ++j)
            for (int k = 0; k < sizeB; ++k)
                for (int l = 0; l < sizeB; ++l)
                    m.e[i * sizeB + k][j * sizeB + l] = a.e[i][j] * b.e[k][l];
    return m;
}

}  // namespace

TMATICA1 fourierTransform(int qubits)
{
    const int n = 1 << qubits;
    TMATICA1 m;
    for (int j = 0; j < n; ++j)
        for (int k = 0; k < n; ++k)
            m.e[j][k] = fromPolar(1.0 / std::sqrt(static_cast<double>(n)), 2.0 * std::numbers::pi * j * k / n);
    return m;
}

TMATICA1 oneQubitProduct(int qubits, std::uint64_t seed)
{
    TMATICA1 m = seededRandomUnitary(1, seed);
    int size = 2;
    for (int q = 2; q <= qubits; ++q) {
        m = kronecker(m, size, seededRandomUnitary(1, seed + q), 2);
        size *= 2;
    }
    return m;
}

TMATICA1 tensorOfRandoms(int qubits, int split, std::uint64_t seed)
{
    return kronecker(seededRandomUnitary(split, seed), 1 << split, seededRandomUnitary(qubits - split, seed + 1),
                     1 << (qubits - split));
}

TMATICA1 singlyControlledGate(int qubits, int control, int target, const TMATICA2& u)
{
    const int n = 1 << qubits;
    TMATICA1 m;
    setIdentity(m, n);
    const int controlBit = 1 << (qubits - control);
    const int targetBit = 1 << (qubits - target);
    for (int i = 0; i < n; ++i) {
        if ((i & controlBit) == 0 || (i & targetBit) != 0)
            continue;
        const int e = i | targetBit;
        m.e[i][i] = u.u11;
        m.e[i][e] = u.u12;
        m.e[e][i] = u.u21;
        m.e[e][e] = u.u22;
    }
    return m;
}

TMATICA1 nearIdentity(int qubits, double eps, std::uint64_t seed)
{
    const int n = 1 << qubits;
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> part(-1.0, 1.0);
    TMATICA1 h;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j <= i; ++j) {
            h.e[i][j] = i == j ? Complex{part(rng), 0.0} : Complex{part(rng), part(rng)};
            h.e[j][i] = conjugate(h.e[i][j]);
        }
    // I + i eps H - eps^2 H^2 / 2, then its polar factor.
    TMATICA1 h2;
    matMul(h, h, h2, n);
    TMATICA1 m;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            m.e[i][j] = (i == j ? Complex{1.0, 0.0} : Complex{}) + timesI(timesReal(h.e[i][j], eps)) -
                        timesReal(h2.e[i][j], eps * eps / 2.0);
    replaceByNearestUnitary(m, n);
    return m;
}

TMATICA1 blockDiagonalRandom(int qubits, std::uint64_t seed)
{
    const int half = 1 << (qubits - 1);
    const TMATICA1 p = seededRandomUnitary(qubits - 1, seed);
    const TMATICA1 q = seededRandomUnitary(qubits - 1, seed + 1);
    TMATICA1 m;
    for (int i = 0; i < half; ++i)
        for (int j = 0; j < half; ++j) {
            m.e[i][j] = p.e[i][j];
            m.e[half + i][half + j] = q.e[i][j];
        }
    return m;
}

TMATICA1 hadamardOnFirstTimesRandom(int qubits, std::uint64_t seed)
{
    TMATICA1 h;
    const double s = 1.0 / std::sqrt(2.0);
    h.e[0][0] = h.e[0][1] = h.e[1][0] = {s, 0.0};
    h.e[1][1] = {-s, 0.0};
    return kronecker(h, 2, seededRandomUnitary(qubits - 1, seed), 1 << (qubits - 1));
}
