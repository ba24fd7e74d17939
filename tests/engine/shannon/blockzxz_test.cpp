#include "engine/shannon/blockzxz.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/shannon/demultiplex.h"
#include "routecheck.h"

namespace {

struct NamedMatrix {
    std::string name;
    CMat u;
};

// Random, identity, I (x) G, a permutation, and blocks that vanish (Y = 0 on a
// block-diagonal matrix, X = 0 on one that swaps the halves).
std::vector<NamedMatrix> factorizationCases(int qubits)
{
    const int size = 1 << qubits;
    const int half = size / 2;
    std::vector<NamedMatrix> cases;
    cases.push_back({"random", toCMat(seededRandomUnitary(qubits, 41), size)});
    cases.push_back({"identity", CMat::Identity(size, size)});
    CMat identityTimesG = CMat::Zero(size, size);
    const CMat g = toCMat(seededRandomUnitary(qubits - 1, 42), half);
    identityTimesG.topLeftCorner(half, half) = g;
    identityTimesG.bottomRightCorner(half, half) = g;
    cases.push_back({"I (x) G", identityTimesG});
    cases.push_back({"permutation", toCMat(permutationUnitary(qubits, 43), size)});
    CMat blockDiagonal = CMat::Zero(size, size);
    blockDiagonal.topLeftCorner(half, half) = g;
    blockDiagonal.bottomRightCorner(half, half) = toCMat(seededRandomUnitary(qubits - 1, 44), half);
    cases.push_back({"Y = 0", blockDiagonal});
    CMat swapped = CMat::Zero(size, size);
    swapped.topRightCorner(half, half) = g;
    swapped.bottomLeftCorner(half, half) = toCMat(seededRandomUnitary(qubits - 1, 45), half);
    cases.push_back({"X = 0", swapped});
    return cases;
}

double unitarityDefectOf(const CMat& m)
{
    return largestDifference(m * m.adjoint(), CMat::Identity(m.rows(), m.cols()));
}

TEST(BlockZxz, FactorsAreUnitaryAndReproduceTheirMatrix)
{
    for (int qubits = 2; qubits <= 5; ++qubits)
        for (const NamedMatrix& c : factorizationCases(qubits)) {
            const std::string what = c.name + ", " + std::to_string(qubits) + " qubits";
            const BlockZxz f = blockZxz(c.u);
            EXPECT_LE(largestDifference(blockZxzProduct(f), c.u), 1e-13) << what;
            for (const CMat* factor : {&f.a1, &f.a2, &f.b, &f.c})
                EXPECT_LE(unitarityDefectOf(*factor), 1e-13) << what;
        }
}

// The product written out with the Hadamard gate as a matrix, not by the blockwise formula.
TEST(BlockZxz, ProductIsTheCircuitOfItsFactors)
{
    const int size = 8;
    const int half = 4;
    const BlockZxz f = blockZxz(toCMat(seededRandomUnitary(3, 46), size));
    CMat hadamardOnFirst(size, size);
    const CMat id = CMat::Identity(half, half);
    hadamardOnFirst << id, id, id, -id;
    hadamardOnFirst /= std::sqrt(2.0);
    CMat left = CMat::Zero(size, size), middle = CMat::Identity(size, size), right = CMat::Identity(size, size);
    left.topLeftCorner(half, half) = f.a1;
    left.bottomRightCorner(half, half) = f.a2;
    middle.bottomRightCorner(half, half) = f.b;
    right.bottomRightCorner(half, half) = f.c;
    EXPECT_LE(largestDifference(left * hadamardOnFirst * middle * hadamardOnFirst * right, blockZxzProduct(f)), 1e-14);
}

// P Q^dagger with repeated eigenvalues: a general eigensolver may return a
// singular eigenvector matrix here, the Schur form may not.
TEST(Demultiplex, RepeatedEigenvaluesKeepTheFactorsUnitary)
{
    const int size = 8;
    const CMat q = toCMat(seededRandomUnitary(3, 47), size);
    const CMat basis = toCMat(seededRandomUnitary(3, 48), size);
    CVec spectrum(size);
    spectrum << Scalar(0, 1), Scalar(0, 1), Scalar(0, 1), Scalar(-1, 0), Scalar(-1, 0), 1.0, 1.0, Scalar(0, 1);
    struct Case {
        std::string name;
        CMat p;
    };
    const std::vector<Case> cases{
        {"threefold and twofold eigenvalues", basis * spectrum.asDiagonal() * basis.adjoint() * q},
        {"p = q", q},
        {"p = -q", -q},
        {"p = i q", Scalar(0, 1) * q},
    };
    for (const Case& c : cases) {
        const Demultiplexed split = demultiplex(c.p, q);
        EXPECT_LE(unitarityDefectOf(split.v), 1e-13) << c.name;
        EXPECT_LE(unitarityDefectOf(split.w), 1e-13) << c.name;
        EXPECT_LE((split.d.cwiseAbs() - CVec::Ones(size).real()).cwiseAbs().maxCoeff(), 1e-14) << c.name;
        EXPECT_LE(largestDifference(split.v * split.d.asDiagonal() * split.w, c.p), 1e-13) << c.name;
        EXPECT_LE(largestDifference(split.v * split.d.conjugate().asDiagonal() * split.w, q), 1e-13) << c.name;
    }
}

}  // namespace
