#pragma once
// The recursion of the fewest-CNOT route: structure first (tensor factors,
// multiplexors), then one block-ZXZ level with its CNOT hand-over, down to
// two-qubit blocks.

#include <span>

#include "engine/shannon/blockcircuit.h"

// Appends u, acting on `qubits` (the first most significant, 1..10 each), to
// the circuit in circuit order; two-qubit pieces stay blocks.
void appendUnitary(BlockCircuit& circuit, const CMat& u, std::span<const int> qubits);
