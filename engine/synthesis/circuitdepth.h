#pragma once
// Depths of a circuit: its layers of gates on disjoint qubits, each gate as
// early as the gates before it on its qubits allow.

#include <span>

#include "engine/synthesis/gate.h"

// Layers of all gates.
int circuitDepth(std::span<const TGATE1> gates);
// Layers of the gates with controls (the CNOTs of a basic-gate circuit); the
// one-qubit gates between them take no layer.
int cnotDepth(std::span<const TGATE1> gates);
