#include "engine/kernel/nearestunitary.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/oracle.h"
#include "workspace/circuitmatrix.h"

// U (I + H) for a small Hermitian H has the polar factor U: the nearest
// unitary matrix, which no other unitary matrix near the input (Gram-Schmidt's,
// say) is.
TEST(NearestUnitary, IsThePolarFactorToRounding)
{
    struct Row {
        int qubits;
        bool permutation;
        double stretch;
    };
    const Row rows[] = {{2, false, 0.0}, {2, false, 1e-7}, {3, true, 5e-8}, {4, false, 3e-8}, {5, true, 1e-7},
                        {5, false, 1e-3}};
    std::mt19937_64 rng(33);
    for (const Row& row : rows) {
        const int n = 1 << row.qubits;
        const TMATICA1 unitary =
            row.permutation ? permutationUnitary(row.qubits, 31) : seededRandomUnitary(row.qubits, 32);
        std::uniform_real_distribution<double> part(-row.stretch / 2.0, row.stretch / 2.0);
        TMATICA1 stretch;
        for (int r = 1; r <= n; ++r) {
            stretch(r, r) = {1.0 + part(rng), 0.0};
            for (int c = r + 1; c <= n; ++c) {
                stretch(r, c) = {part(rng), part(rng)};
                stretch(c, r) = conjugate(stretch(r, c));
            }
        }
        TMATICA1 input;
        matMul(unitary, stretch, input, n);

        replaceByNearestUnitary(input, n);
        const std::string what = std::to_string(n) + " rows, stretch " + std::to_string(row.stretch);
        EXPECT_LE(largestEntryDifference(input, unitary, n), 1e-14) << what;
        EXPECT_LE(unitarityDefect(input, n), 1e-14) << what;
    }
}
