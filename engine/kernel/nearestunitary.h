#pragma once
// The unitary matrix nearest to a matrix that is unitary within a tolerance.

#include "engine/kernel/matrix.h"

// The largest entry modulus of m^dagger * m - I over the n x n block (NaN if any is NaN).
double unitarityDefect(const TMATICA1& m, int n);

// Replaces the n x n block of m by the unitary factor of its polar
// decomposition, the unitary matrix nearest to m in the Frobenius norm.
// unitarityDefect(m) must be well below 1 / n (the iteration converges then);
// the result is unitary to rounding. A matrix that is unitary to rounding changes only by rounding.
void replaceByNearestUnitary(TMATICA1& m, int n);
