#pragma once
// A square complex matrix of any size, for the sizes beyond TMATICA1's 64 x 64.

#include <cstddef>
#include <vector>

#include "engine/kernel/matrix.h"

// Row-major and 0-based: entry (r, c) is entries[r * size + c]. Basis state b
// (0-based here) is the bit pattern of b over the qubits, qubit 1 the most
// significant bit, as in TMATICA1.
struct DenseMatrix {
    int size = 0;
    std::vector<Complex> entries;

    DenseMatrix() = default;
    explicit DenseMatrix(int n) : size(n), entries(static_cast<std::size_t>(n) * static_cast<std::size_t>(n)) {}

    Complex& operator()(int r, int c) { return entries[static_cast<std::size_t>(r) * size + c]; }
    const Complex& operator()(int r, int c) const { return entries[static_cast<std::size_t>(r) * size + c]; }
};

// The leading n x n block of m.
inline DenseMatrix denseMatrix(const TMATICA1& m, int n)
{
    DenseMatrix d(n);
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
            d(r, c) = m.e[r][c];
    return d;
}

// Largest modulus of an entry of x - y (NaN where an entry difference is NaN);
// infinity when the sizes differ.
double largestEntryDifference(const DenseMatrix& x, const DenseMatrix& y);
