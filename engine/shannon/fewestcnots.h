#pragma once
// Basic gates with the fewest CNOTs: the block-ZXZ route. Free of Eigen here.

#include "engine/kernel/matrix.h"
#include "engine/synthesis/gate.h"

// Writes one-qubit gates and CNOTs for the unitary u (its leading 2^qubitCount
// block, qubitCount 2..5) into gates[1..count] and returns count; gate 1 acts
// first. Every gate is exact with its phase (a CNOT is one control with u
// exactly pauliX), so the circuit's composition equals u, global phase included.
// Between two CNOTs each wire carries at most one one-qubit gate.
int fewestCnotsCircuit(const TMATICA1& u, int qubitCount, TGATES1& gates);
