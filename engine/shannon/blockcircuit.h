#pragma once
// A circuit whose two-qubit blocks are still matrices, and their synthesis
// with the diagonal hand-over between neighbouring blocks (Shende, Bullock,
// Markov, Synthesis of quantum-logic circuits (2006), section on two-qubit blocks).

#include <span>
#include <vector>

#include "engine/shannon/gatelist.h"
#include "engine/shannon/matrixtypes.h"
#include "engine/shannon/routetolerances.h"

// u acts on qubits `first` (most significant) and `second`.
struct TwoQubitBlock {
    Mat4 u;
    int first = 0;
    int second = 0;
};

// A gate, or with block >= 0 the two-qubit block of that number.
struct CircuitItem {
    TGATE1 gate;
    int block = -1;
};

struct BlockCircuit {
    std::vector<CircuitItem> items;
    std::vector<TwoQubitBlock> blocks;
    RouteTolerances tolerances;  // what the recursion and the synthesis take for structure
    bool sideBySide = true;      // whether large levels may use other cores
};

inline void appendGate(BlockCircuit& circuit, const TGATE1& gate) { circuit.items.push_back({gate, -1}); }
void appendBlock(BlockCircuit& circuit, const Mat4& u, int first, int second);
// Appends the items of `part` after those of `circuit`, its blocks renumbered.
void appendCircuit(BlockCircuit& circuit, const BlockCircuit& part);

// The gates of the circuit, blocks synthesized in circuit order. A block that
// needs 3 CNOTs is made with 2 up to a diagonal exp(i t ZZ) when the next block
// acts on the same two qubits and every gate between them commutes with a
// diagonal on those qubits; the diagonal moves into that next block.
GateList synthesizeBlocks(BlockCircuit& circuit);
// The same written into out[0..returned), which must hold synthesizedGateBound(circuit) gates.
std::size_t synthesizeBlocks(BlockCircuit& circuit, std::span<TGATE1> out);
std::size_t synthesizedGateBound(const BlockCircuit& circuit);
