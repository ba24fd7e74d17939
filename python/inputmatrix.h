#pragma once
// A matrix handed in from Python, checked before it reaches a workspace.

#include <vector>

#include "engine/kernel/complex.h"

struct SquareMatrix {
    int size = 0;
    std::vector<Complex> entries;  // row by row, size * size
};

// The matrix of an array of this shape and entries (row by row). Throws Refusal
// for a shape that is not (N, N) with N a power of 2 from 4 to 1024, or an entry
// that is NaN or infinite. Which sizes an end stage takes is the end stage's rule.
SquareMatrix checkedMatrix(const std::vector<long long>& shape, std::vector<Complex> entries);
