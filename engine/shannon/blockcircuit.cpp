// Diagonal hand-over between two-qubit blocks: Shende, Bullock, Markov (2006).
#include "engine/shannon/blockcircuit.h"

#include <algorithm>

#include "engine/shannon/twoqubit.h"

namespace {

// The next block after item `from` if only gates that commute with a
// diagonal on `block`'s qubits stand between them, and it acts on the same two.
int diagonalReceiver(const BlockCircuit& circuit, std::size_t from, const TwoQubitBlock& block)
{
    for (std::size_t i = from + 1; i < circuit.items.size(); ++i) {
        const CircuitItem& item = circuit.items[i];
        if (item.block >= 0) {
            const TwoQubitBlock& next = circuit.blocks[item.block];
            const bool sameQubits = std::minmax(next.first, next.second) == std::minmax(block.first, block.second);
            return sameQubits ? item.block : -1;
        }
        const TGATE1& g = item.gate;
        const bool onBlock = g.target == block.first || g.target == block.second;
        if (onBlock && !isDiagonal2(g.u))
            return -1;
    }
    return -1;
}

}  // namespace

void appendBlock(BlockCircuit& circuit, const Mat4& u, int first, int second)
{
    circuit.blocks.push_back({u, first, second});
    circuit.items.push_back({TGATE1{}, static_cast<int>(circuit.blocks.size()) - 1});
}

void appendCircuit(BlockCircuit& circuit, const BlockCircuit& part)
{
    const int firstBlock = static_cast<int>(circuit.blocks.size());
    circuit.blocks.insert(circuit.blocks.end(), part.blocks.begin(), part.blocks.end());
    circuit.items.reserve(circuit.items.size() + part.items.size());
    for (CircuitItem item : part.items) {
        if (item.block >= 0)
            item.block += firstBlock;
        circuit.items.push_back(item);
    }
}

std::size_t synthesizedGateBound(const BlockCircuit& circuit)
{
    // Four outer one-qubit gates and a core of at most 13 steps (one CNOT with both swaps).
    return circuit.items.size() + 17 * circuit.blocks.size();
}

std::size_t synthesizeBlocks(BlockCircuit& circuit, std::span<TGATE1> out)
{
    std::size_t written = 0;
    GateList blockGates;
    blockGates.reserve(17);
    for (std::size_t i = 0; i < circuit.items.size(); ++i) {
        const CircuitItem& item = circuit.items[i];
        if (item.block < 0) {
            out[written++] = item.gate;
            continue;
        }
        const TwoQubitBlock& block = circuit.blocks[item.block];
        blockGates.clear();
        const int receiver = diagonalReceiver(circuit, i, block);
        bool handedOver = false;
        const double tolerance = circuit.tolerances.canonicalCoordinate;
        if (receiver >= 0 && twoQubitCnotCount(block.u, tolerance) == 3) {
            // block = exp(-i t ZZ) * (exp(i t ZZ) * block): the first factor, diagonal,
            // commutes with everything up to the receiver and joins it.
            if (const std::optional<double> theta = twoCnotHandOverAngle(block.u, tolerance)) {
                appendTwoQubitCircuit(blockGates, zzPhase(*theta) * block.u, block.first, block.second, tolerance);
                circuit.blocks[receiver].u = circuit.blocks[receiver].u * zzPhase(-*theta);
                handedOver = true;
            }
        }
        if (!handedOver)
            appendTwoQubitCircuit(blockGates, block.u, block.first, block.second, tolerance);
        for (const TGATE1& g : blockGates)
            out[written++] = g;
    }
    return written;
}

GateList synthesizeBlocks(BlockCircuit& circuit)
{
    GateList gates(synthesizedGateBound(circuit));
    gates.resize(synthesizeBlocks(circuit, std::span(gates)));
    return gates;
}
