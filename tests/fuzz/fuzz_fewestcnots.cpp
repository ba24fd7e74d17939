// Feeds matrices made of arbitrary bytes, a small perturbation away from
// whatever structure the bytes give, to the fewest-CNOT route. Its circuit must
// equal the matrix's nearest unitary within 1e-12 and use at most the generic
// number of CNOTs.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "engine/kernel/densematrix.h"
#include "engine/shannon/circuitproduct.h"
#include "engine/shannon/denseunitary.h"
#include "engine/shannon/fewestcnots.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    // Byte 0: the qubits (five rarely: they are slow here); byte 1: the perturbation 10^-(0..15).
    const int qubits = data[0] % 16 == 15 ? 5 : 2 + data[0] % 3;
    double perturbation = 1.0;
    for (int k = 0; k < data[1] % 16; ++k)
        perturbation /= 10.0;
    const int n = 1 << qubits;
    const std::size_t entries = static_cast<std::size_t>(n) * static_cast<std::size_t>(n);
    // The next bytes give the structure (short input: mostly zeros), the ones after them the perturbation.
    auto part = [&](std::size_t k) { return 2 + k < size ? static_cast<std::int8_t>(data[2 + k]) / 16.0 : 0.0; };
    DenseMatrix m(n);
    for (std::size_t k = 0; k < entries; ++k) {
        const double re = part(2 * k) + perturbation * part(2 * (entries + k));
        const double im = part(2 * k + 1) + perturbation * part(2 * (entries + k) + 1);
        m.entries[k] = {re, im};
    }
    const DenseMatrix u = nearestUnitary(m);
    if (!(unitarityDefect(u) <= 1e-13))
        return 0;  // a singular matrix has no well-defined nearest unitary
    const GateList gates = fewestCnotsCircuit(u);
    const double difference = largestEntryDifference(circuitProduct(gates, qubits), u);
    const long long cnots = cnotCount(gates);
    if (!(difference <= 1e-12) || cnots > fewestCnotsGenericCount(qubits)) {
        std::fprintf(stderr, "%d qubits: difference %.3g, %lld CNOTs (generic %lld)\n", qubits, difference, cnots,
                     fewestCnotsGenericCount(qubits));
        std::abort();
    }
    return 0;
}
