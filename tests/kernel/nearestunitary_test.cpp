#include "engine/kernel/nearestunitary.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "support/oracle.h"

namespace {

struct Matrices {
    TMATICA1 unitary;
    TMATICA1 stretch;
    TMATICA1 input;
};

// I + H for a random Hermitian H with entries of modulus at most `size`:
// positive definite, so U (I + H) has U as its polar factor.
void hermitianStretch(TMATICA1& m, int n, double size, std::uint64_t seed)
{
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> part(-size / 2.0, size / 2.0);
    for (int r = 1; r <= n; ++r) {
        m(r, r) = {1.0 + part(rng), 0.0};
        for (int c = r + 1; c <= n; ++c) {
            m(r, c) = {part(rng), part(rng)};
            m(c, r) = conjugate(m(r, c));
        }
    }
}

double largestDifference(const TMATICA1& x, const TMATICA1& y, int n)
{
    double largest = 0.0;
    for (int r = 1; r <= n; ++r)
        for (int c = 1; c <= n; ++c)
            largest = std::max(largest, modulus(x(r, c) - y(r, c)));
    return largest;
}

}  // namespace

TEST(NearestUnitary, IsThePolarFactorToRounding)
{
    struct Row {
        const char* name;
        int qubits;
        bool permutation;
        double stretch;
    };
    const Row rows[] = {
        {"random, exactly unitary", 2, false, 0.0},  {"random", 2, false, 1e-7},
        {"permutation", 3, true, 5e-8},             {"random", 4, false, 3e-8},
        {"permutation", 5, true, 1e-7},             {"random, stretched far", 5, false, 1e-3},
    };
    auto m = std::make_unique<Matrices>();
    for (const Row& row : rows) {
        const int n = 1 << row.qubits;
        const std::string what = std::string(row.name) + ", " + std::to_string(n) + " x " + std::to_string(n);
        m->unitary = row.permutation ? permutationUnitary(row.qubits, 31) : seededRandomUnitary(row.qubits, 32);
        hermitianStretch(m->stretch, n, row.stretch, 33);
        matMul(m->unitary, m->stretch, m->input, n);

        replaceByNearestUnitary(m->input, n);
        EXPECT_LE(largestDifference(m->input, m->unitary, n), 1e-14) << what;
        EXPECT_LE(unitarityDefect(m->input, n), 1e-14) << what;
    }
}

TEST(NearestUnitary, DefectIsTheLargestEntryOfTheGramMatrixOffTheIdentity)
{
    TMATICA1 m = identityUnitary(2);
    EXPECT_EQ(unitarityDefect(m, 4), 0.0);
    // Columns 1 and 2 now overlap by 3e-8; column 2's norm is off by only 9e-16.
    m(1, 2) = {0.0, 3e-8};
    EXPECT_NEAR(unitarityDefect(m, 4), 3e-8, 1e-20);
    m(4, 4) = {std::nan(""), 0.0};
    EXPECT_TRUE(std::isnan(unitarityDefect(m, 4)));
}
