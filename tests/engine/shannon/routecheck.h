#pragma once
// Runs the fewest-CNOT route on a matrix and measures its circuit with the
// program's own composition: error, CNOTs, and the shape of every gate.

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "engine/kernel/matrix.h"
#include "engine/shannon/fewestcnots.h"
#include "engine/shannon/gatelist.h"
#include "engine/synthesis/composition.h"
#include "support/oracle.h"

struct RouteResult {
    double error = 0.0;  // largest entry difference of the composition to the expected matrix
    int cnots = 0;
    int gates = 0;
    bool wellFormed = true;      // CNOTs exact pauliX with one control; other gates one-qubit unitaries
    bool oneGatePerWire = true;  // at most one one-qubit gate on a wire between two CNOTs on it
};

// The matrix of gates[0..] in circuit order; the identity for no gates.
inline TMATICA1 composed(std::span<const TGATE1> gates, int qubits)
{
    TMATICA1 m;
    setIdentity(m, 1 << qubits);
    if (!gates.empty())
        composeGates(gates, m, qubits);
    return m;
}

inline RouteResult runRoute(const TMATICA1& input, int qubits, const TMATICA1& expected)
{
    RouteResult result;
    const GateList gates = fewestCnotsCircuit(denseMatrix(input, 1 << qubits));
    result.gates = static_cast<int>(gates.size());
    const std::span<const TGATE1> circuit(gates);
    result.error = maxDifference(composed(circuit, qubits), expected, 1 << qubits);
    result.cnots = cnotCount(circuit);
    std::array<int, fewestCnotsMostQubits + 1> sinceCnot{};
    for (const TGATE1& g : circuit) {
        if (g.type == 1) {
            result.wellFormed = result.wellFormed && isExactCnot(g) && g.controls[1] != g.target;
            sinceCnot[g.target] = 0;
            sinceCnot[g.controls[1]] = 0;
        } else {
            result.wellFormed = result.wellFormed && g.type == 0 && isUnitary2(g.u, 1e-13);
            result.oneGatePerWire = result.oneGatePerWire && ++sinceCnot[g.target] <= 1;
        }
    }
    return result;
}

inline RouteResult runRoute(const TMATICA1& input, int qubits) { return runRoute(input, qubits, input); }


// The quantum Fourier transform: entry (j, k) = e^(2 pi i jk / N) / sqrt(N).
TMATICA1 fourierTransform(int qubits);

// g_1 (x) ... (x) g_n of random one-qubit unitaries.
TMATICA1 oneQubitProduct(int qubits, std::uint64_t seed);

// a (x) b with a random on the first `split` qubits, b random on the rest.
TMATICA1 tensorOfRandoms(int qubits, int split, std::uint64_t seed);

// u on qubit `target` controlled by qubit `control` alone (identity elsewhere).
TMATICA1 singlyControlledGate(int qubits, int control, int target, const TMATICA2& u);

// diag(P, Q) for random P and Q: a multiplexor on the first qubit.
TMATICA1 blockDiagonalRandom(int qubits, std::uint64_t seed);

// H (x) V for a random V on the other qubits.
TMATICA1 hadamardOnFirstTimesRandom(int qubits, std::uint64_t seed);

// exp(i eps H) for a random Hermitian H of norm about 1, to second order (then made unitary).
TMATICA1 nearIdentity(int qubits, double eps, std::uint64_t seed);
