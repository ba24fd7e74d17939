#pragma once
// Random unitary matrices of any size, for the sizes beyond the workspace.

#include "engine/kernel/densematrix.h"
#include "engine/kernel/randomgenerator.h"

// A Haar-random unitary of size `size`, drawn from `random` (its generation
// begun here, so a fixed seed gives the same matrix).
DenseMatrix haarRandomUnitary(int size, RandomGenerator& random);
