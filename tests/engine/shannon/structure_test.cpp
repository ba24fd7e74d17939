#include "engine/shannon/structure.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/shannon/onequbitmerge.h"
#include "routecheck.h"

namespace {

// Moving qubit k to the front is the matrix of the same gates with the qubits renumbered.
TEST(Structure, QubitMovedFirstRenumbersTheGates)
{
    const TMATICA2 u{{0.6, 0.0}, {0.0, 0.8}, {0.0, 0.8}, {0.6, 0.0}};
    const GateList gates{cnotGate(3, 1), oneQubitGate(2, u), cnotGate(2, 3)};
    struct Case {
        int index;                 // 0-based qubit moved first
        std::array<int, 4> place;  // new number of qubits 1..3
    };
    for (const Case& c : {Case{0, {0, 1, 2, 3}}, Case{1, {0, 2, 1, 3}}, Case{2, {0, 2, 3, 1}}}) {
        GateList renumbered = gates;
        for (TGATE1& g : renumbered) {
            g.target = static_cast<std::uint8_t>(c.place[g.target]);
            if (g.type == 1)
                g.controls[1] = static_cast<std::uint8_t>(c.place[g.controls[1]]);
        }
        const CMat moved = withQubitFirst(toCMat(composed(gates, 3), 8), 3, c.index);
        EXPECT_LE(largestDifference(moved, toCMat(composed(renumbered, 3), 8)), 0.0) << c.index;
    }
}

TEST(Structure, SplitsOnlyTensorProducts)
{
    const TMATICA2 g{{0.6, 0.0}, {0.0, 0.8}, {0.0, 0.8}, {0.6, 0.0}};
    struct Case {
        std::string name;
        TMATICA1 u;
        bool splits;
    };
    const std::vector<Case> cases{
        {"g (x) random", tensorOfRandoms(3, 1, 91), true},
        {"minus identity", scalarUnitary(3, {-1.0, 0.0}), true},
        {"random (x) g", tensorOfRandoms(3, 2, 92), false},
        {"controlled gate", singlyControlledGate(3, 1, 2, g), false},
        {"near identity", nearIdentity(3, 1e-9, 93), false},
    };
    for (const Case& c : cases) {
        const CMat u = toCMat(c.u, 8);
        Mat2 factor;
        CMat rest;
        ASSERT_EQ(splitFirstQubit(u, factor, rest), c.splits) << c.name;
        if (!c.splits)
            continue;
        CMat product(8, 8);
        product << factor(0, 0) * rest, factor(0, 1) * rest, factor(1, 0) * rest, factor(1, 1) * rest;
        EXPECT_LE(largestDifference(product, u), 1e-15) << c.name;
        EXPECT_LE(largestDifference(rest * rest.adjoint(), CMat::Identity(4, 4)), 1e-15) << c.name;
    }
}

TEST(Structure, BlockDiagonalMeansAMultiplexorOnTheFirstQubit)
{
    const TMATICA2 g{{0.6, 0.0}, {0.0, 0.8}, {0.0, 0.8}, {0.6, 0.0}};
    EXPECT_TRUE(isBlockDiagonal(toCMat(singlyControlledGate(3, 1, 3, g), 8)));
    EXPECT_TRUE(isBlockDiagonal(toCMat(diagonalPhases(3, 94), 8)));
    EXPECT_FALSE(isBlockDiagonal(toCMat(singlyControlledGate(3, 3, 1, g), 8)));
    EXPECT_FALSE(isBlockDiagonal(toCMat(nearIdentity(3, 1e-9, 95), 8)));
}

TEST(OneQubitMerge, RunsBecomeOneExactGateAndEqualCnotsCancel)
{
    const TMATICA2 rotation = rzMatrix(0.3);
    const TMATICA2 hadamard = hadamardMatrix();
    struct Case {
        std::string name;
        GateList gates;
        int gatesAfter;
        int cnotsAfter;
    };
    const std::vector<Case> cases{
        {"a run on one wire", {oneQubitGate(1, rotation), oneQubitGate(1, hadamard), oneQubitGate(1, rotation)}, 1, 0},
        {"a run that is the identity", {oneQubitGate(2, hadamard), oneQubitGate(2, hadamard)}, 0, 0},
        {"gates on the other wire do not separate a run",
         {oneQubitGate(1, rotation), cnotGate(2, 3), oneQubitGate(1, hadamard)},
         2,
         1},
        {"a CNOT on the wire separates runs",
         {oneQubitGate(1, rotation), cnotGate(1, 2), oneQubitGate(1, hadamard), oneQubitGate(1, rotation)},
         3,
         1},
        {"equal CNOTs around a gate elsewhere cancel",
         {cnotGate(1, 2), oneQubitGate(3, rotation), cnotGate(1, 2), oneQubitGate(2, hadamard)},
         2,
         0},
        {"cancelling CNOTs join the runs around them",
         {oneQubitGate(2, rotation), cnotGate(1, 2), cnotGate(1, 2), oneQubitGate(2, rotation)},
         1,
         0},
        {"runs on three wires merge in place around a CNOT",
         {oneQubitGate(1, rotation), oneQubitGate(2, hadamard), oneQubitGate(3, rotation), oneQubitGate(1, hadamard),
          oneQubitGate(2, rotation), cnotGate(1, 2), oneQubitGate(3, hadamard), oneQubitGate(1, rotation)},
         5,
         1},
        {"CNOTs with a gate between on their target stay",
         {cnotGate(1, 2), oneQubitGate(2, rotation), cnotGate(1, 2)},
         3,
         2},
    };
    for (const Case& c : cases) {
        GateList merged = c.gates;
        mergeOneQubitGates(merged, 3);
        EXPECT_EQ(static_cast<int>(merged.size()), c.gatesAfter) << c.name;
        EXPECT_EQ(cnotCount(merged), c.cnotsAfter) << c.name;
        EXPECT_LE(maxDifference(composed(merged, 3), composed(c.gates, 3), 8), 1e-15) << c.name;
    }
}

}  // namespace
