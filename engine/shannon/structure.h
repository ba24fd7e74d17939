#pragma once
// Structure of a unitary that saves CNOTs: a qubit that splits off as a
// tensor factor, and a qubit on which the matrix is block diagonal (a multiplexor).

#include "engine/shannon/matrixtypes.h"

// Entries within this of their pattern count as following it.
inline constexpr double structureTolerance = 1e-14;

// u with its qubits reordered so that qubit `index` (0 = first, most
// significant) comes first and the others follow in their order.
CMat withQubitFirst(const CMat& u, int qubitCount, int index);

// u = g (x) rest on its first qubit: returns true and the factors, both unitary.
bool splitFirstQubit(const CMat& u, Mat2& g, CMat& rest);

// The two off-diagonal blocks of u vanish: u = diag(P, Q) on its first qubit.
bool isBlockDiagonal(const CMat& u);
