#pragma once
// The matrix of a circuit of any width, for the sizes beyond the workspace.

#include <span>

#include "engine/kernel/densematrix.h"
#include "engine/synthesis/gate.h"

// The product of gates[0..] for a circuit on qubits 1..qubitCount (1..10),
// gate 0 acting first, the later gate on the left. It knows nothing of how the
// circuit was made: each gate is applied to the rows it touches, and a long run
// of gates that leaves one qubit alone is first composed on the other qubits
// and then applied once for either value of that qubit. A gate naming a qubit
// outside 1..qubitCount throws std::invalid_argument.
DenseMatrix circuitProduct(std::span<const TGATE1> gates, int qubitCount);
