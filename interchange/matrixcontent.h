#pragma once
// A matrix read from a file, checked before anything in the workspace changes.

#include <vector>

#include "engine/kernel/complex.h"

struct MatrixFileContent {
    enum class Verdict {
        matrix,           // size 4, 8, 16 or 32 and all its entries
        tooBig,           // size above 64
        tooSmall,         // size below 2
        unsupportedSize,  // 2..64 but not 4, 8, 16 or 32
    };
    Verdict verdict = Verdict::tooSmall;
    int size = 0;
    std::vector<Complex> entries;  // row by row, size * size when verdict is matrix
};
