#pragma once
// The recursion of the fewest-CNOT route: structure first (tensor factors,
// multiplexors), then one block-ZXZ level with its CNOT hand-over, down to
// two-qubit blocks.

#include <functional>
#include <span>

#include "engine/shannon/blockcircuit.h"

// Appends u, acting on `qubits` (the first most significant, 1..10 each), to
// the circuit in circuit order; two-qubit pieces stay blocks.
void appendUnitary(BlockCircuit& circuit, const CMat& u, std::span<const int> qubits);

// Appends a half of a block-ZXZ level, a unitary on `qubits`, to the circuit.
using HalfAppender = std::function<void(BlockCircuit& circuit, const CMat& half, std::span<const int> qubits)>;

// One block-ZXZ level of u on qubits[0] (two or more qubits), whatever its
// structure; each of its four halves on the other qubits goes to appendHalf,
// in circuit order (appendUnitary is the route's own).
void appendZxzLevel(BlockCircuit& circuit, const CMat& u, std::span<const int> qubits, const HalfAppender& appendHalf);
