#include "engine/shannon/fewestcnots.h"

#include <bit>
#include <numeric>
#include <stdexcept>
#include <vector>

#include "engine/shannon/blockcircuit.h"
#include "engine/shannon/fewestcnotsroute.h"
#include "engine/shannon/haarrandom.h"
#include "engine/shannon/onequbitmerge.h"
#include "engine/shannon/zxzrecursion.h"

namespace {

// How many random dressings a circuit above the generic count may try.
constexpr std::uint64_t dressedAttempts = 4;

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

// The route itself on u of qubitCount qubits.
GateList routeCircuit(const CMat& u, int qubitCount, const FewestCnotsOptions& options)
{
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

// A Haar-random one-qubit gate for each qubit, from `random`.
std::vector<Mat2> randomLocalGates(int qubitCount, RandomGenerator& random)
{
    std::vector<Mat2> gates;
    for (int k = 0; k < qubitCount; ++k)
        gates.push_back(toCMat(haarRandomUnitary(2, random)));
    return gates;
}

// g_1 (x) ... (x) g_n, qubit 1 most significant.
CMat tensorProduct(const std::vector<Mat2>& gates)
{
    CMat product = CMat::Identity(1, 1);
    // From the last qubit up, so that each factor goes in front as the more significant.
    for (auto g = gates.rbegin(); g != gates.rend(); ++g) {
        CMat next(product.rows() * 2, product.cols() * 2);
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j)
                next.block(i * product.rows(), j * product.cols(), product.rows(), product.cols()) = (*g)(i, j) * product;
        product = next;
    }
    return product;
}

// The route on left * u * right for random one-qubit layers left and right,
// with their inverses as one-qubit gates around it (they cost no CNOT): a matrix
// a rounding away from a structure becomes generic, and so do its blocks.
GateList dressedCircuit(const CMat& u, int qubitCount, const FewestCnotsOptions& options, std::uint64_t seed)
{
    RandomGenerator random;
    random.fixSeed(seed);
    const std::vector<Mat2> left = randomLocalGates(qubitCount, random);
    const std::vector<Mat2> right = randomLocalGates(qubitCount, random);
    const CMat dressed = tensorProduct(left) * u * tensorProduct(right);
    const GateList inner = routeCircuit(dressed, qubitCount, options);
    GateList gates;
    gates.reserve(inner.size() + 2 * static_cast<std::size_t>(qubitCount));
    for (int k = 0; k < qubitCount; ++k)
        gates.push_back(oneQubitGate(k + 1, toTmatica2(right[static_cast<std::size_t>(k)].adjoint())));
    gates.insert(gates.end(), inner.begin(), inner.end());
    for (int k = 0; k < qubitCount; ++k)
        gates.push_back(oneQubitGate(k + 1, toTmatica2(left[static_cast<std::size_t>(k)].adjoint())));
    gates.resize(mergeOneQubitGates(std::span(gates), qubitCount, options.tolerances.identityGate));
    return gates;
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
    GateList gates = routeCircuit(u, qubitCount, options);
    // Near a structure (a rounding away from it) a two-qubit block can sit a
    // hair from a cheaper class and cost a CNOT more than a generic one; the
    // same matrix between random one-qubit layers is generic again.
    const long long generic = fewestCnotsGenericCount(qubitCount);
    for (std::uint64_t seed = 1; seed <= dressedAttempts && cnotCount(gates) > generic; ++seed) {
        GateList dressed = dressedCircuit(u, qubitCount, options, seed);
        if (cnotCount(dressed) < cnotCount(gates))
            gates = std::move(dressed);
    }
    return gates;
}

GateList fewestCnotsCircuit(const DenseMatrix& u, const FewestCnotsOptions& options)
{
    return fewestCnotsCircuit(toCMat(u), options);
}
