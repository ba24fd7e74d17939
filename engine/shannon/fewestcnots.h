#pragma once
// Basic gates with the fewest CNOTs: the block-ZXZ route, for 2 to 10 qubits.
// Free of Eigen here; engine/shannon/fewestcnotsroute.h takes an Eigen matrix.
//
// A generic n-qubit unitary gets (22/48) 4^n - (3/2) 2^n + 5/3 CNOTs (3, 19, 95,
// 423 for 2..5 qubits, 1,783 for 6, 479,063 for 10). What saves them: tensor
// factors split off, a block-diagonal matrix on any qubit is demultiplexed
// without the factorization, each block-ZXZ level hands two CNOTs to its middle
// multiplexor, rotations whose angles do not depend on a control drop it and an
// angle of 0 is left out, a two-qubit block takes the CNOTs its class needs and
// every block but the last is made with 2 up to a diagonal handed to the next;
// last, neighbouring one-qubit gates merge and equal CNOT pairs cancel.

#include "engine/kernel/densematrix.h"
#include "engine/shannon/gatelist.h"
#include "engine/shannon/routetolerances.h"

inline constexpr int fewestCnotsFewestQubits = 2;
inline constexpr int fewestCnotsMostQubits = 10;

// The two-qubit gate the circuits are made of: today the CNOT alone.
enum class TwoQubitBasisGate { cnot };

struct FewestCnotsOptions {
    TwoQubitBasisGate twoQubitGate = TwoQubitBasisGate::cnot;
    RouteTolerances tolerances;
    // From six qubits on, a level's independent factorizations and halves run
    // on the machine's other cores; the circuit is the same gate for gate.
    bool sideBySide = true;
};

// The CNOTs of the route for a generic matrix of qubitCount qubits (2..10).
long long fewestCnotsGenericCount(int qubitCount);

// One-qubit gates and CNOTs for the unitary u of size 2^n, n = 2..10, gate 0
// acting first. Every gate is exact with its phase (a CNOT is one control with
// u exactly pauliX), so the circuit's composition equals u, global phase
// included. Between two CNOTs each wire carries at most one one-qubit gate.
GateList fewestCnotsCircuit(const DenseMatrix& u, const FewestCnotsOptions& options = {});
