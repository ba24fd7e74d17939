#pragma once
// Unitarity of a matrix of any size, for the sizes beyond the workspace.

#include "engine/kernel/densematrix.h"

// Largest entry modulus of m^dagger m - I.
double unitarityDefect(const DenseMatrix& m);

// The unitary matrix nearest to m in the Frobenius norm: the unitary factor of
// its polar decomposition (from its SVD m = P S Q^dagger, P Q^dagger).
DenseMatrix nearestUnitary(const DenseMatrix& m);
