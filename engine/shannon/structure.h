#pragma once
// Structure of a unitary that saves CNOTs: a qubit that splits off as a
// tensor factor, and a qubit on which the matrix is block diagonal (a multiplexor).

#include "engine/shannon/matrixtypes.h"
#include "engine/shannon/routetolerances.h"

// u with its qubits reordered so that qubit `index` (0 = first, most
// significant) comes first and the others follow in their order.
CMat withQubitFirst(const CMat& u, int qubitCount, int index);

// u = g (x) rest on its first qubit, every entry within `tolerance`: returns
// true and the factors, both unitary.
bool splitFirstQubit(const CMat& u, Mat2& g, CMat& rest, double tolerance = structureTolerance);

// The two off-diagonal blocks of u vanish (within `tolerance`): u = diag(P, Q) on its first qubit.
bool isBlockDiagonal(const CMat& u, double tolerance = structureTolerance);
