#include "engine/shannon/fewestcnots.h"

#include <bit>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "engine/shannon/blockcircuit.h"
#include "engine/shannon/fewestcnotsroute.h"
#include "engine/shannon/onequbitmerge.h"
#include "engine/shannon/zxzrecursion.h"

namespace {

int qubitCountOf(Eigen::Index size)
{
    const auto n = static_cast<unsigned long>(size);
    const int qubits = std::countr_zero(n);
    if (!std::has_single_bit(n) || qubits < fewestCnotsFewestQubits || qubits > fewestCnotsMostQubits)
        throw std::invalid_argument("fewestCnotsCircuit takes a matrix of size 4 to 1024, a power of 2, not " +
                                    std::to_string(size));
    return qubits;
}

// Items of the block circuit for a generic matrix: one block at two qubits,
// and each level adds 3 * 2^n gates (rotations, CNOTs, two H) to its four halves.
std::size_t genericItemCount(int qubitCount)
{
    std::size_t items = 1;
    for (int n = 3; n <= qubitCount; ++n)
        items = 4 * items + 3 * (std::size_t{1} << n);
    return items;
}

}  // namespace

long long fewestCnotsGenericCount(int qubitCount)
{
    // (22/48) 4^n - (3/2) 2^n + 5/3 over the common denominator 48.
    const long long twoToN = 1LL << qubitCount;
    return (22 * twoToN * twoToN - 72 * twoToN + 80) / 48;
}

GateList fewestCnotsCircuit(const CMat& u, const FewestCnotsOptions& options)
{
    const int qubitCount = qubitCountOf(u.rows());
    if (u.cols() != u.rows())
        throw std::invalid_argument("fewestCnotsCircuit takes a square matrix");
    std::vector<int> allQubits(static_cast<std::size_t>(qubitCount));
    std::iota(allQubits.begin(), allQubits.end(), 1);
    BlockCircuit circuit;
    circuit.tolerances = options.tolerances;
    circuit.sideBySide = options.sideBySide;
    // Room for what a generic matrix needs: growing item by item would copy
    // into fresh memory at every doubling.
    circuit.items.reserve(genericItemCount(qubitCount));
    circuit.blocks.reserve(std::size_t{1} << (2 * (qubitCount - 2)));
    appendUnitary(circuit, u, allQubits);
    GateList gates(synthesizedGateBound(circuit));
    gates.resize(synthesizeBlocks(circuit, std::span(gates)));
    gates.resize(mergeOneQubitGates(std::span(gates), qubitCount, options.tolerances.identityGate));
    return gates;
}

GateList fewestCnotsCircuit(const DenseMatrix& u, const FewestCnotsOptions& options)
{
    return fewestCnotsCircuit(toCMat(u), options);
}
