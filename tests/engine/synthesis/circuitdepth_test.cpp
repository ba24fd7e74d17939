// Depths of hand-made circuits: a CNOT ladder, parallel one-qubit gates, and
// one-qubit gates between CNOTs, which the CNOT depth does not count.
#include <gtest/gtest.h>

#include <vector>

#include "engine/shannon/gatelist.h"
#include "engine/synthesis/circuitdepth.h"

namespace {

TEST(CircuitDepth, ALadderOfCnotsTakesOneLayerEachAndParallelGatesShareOne)
{
    const std::vector<TGATE1> ladder{cnotGate(1, 2), cnotGate(2, 3), cnotGate(3, 4), cnotGate(4, 5)};
    EXPECT_EQ(circuitDepth(ladder), 4);
    EXPECT_EQ(cnotDepth(ladder), 4);

    const TMATICA2 h = hadamardMatrix();
    const std::vector<TGATE1> parallel{oneQubitGate(1, h), oneQubitGate(2, h), oneQubitGate(3, h), oneQubitGate(4, h)};
    EXPECT_EQ(circuitDepth(parallel), 1);
    EXPECT_EQ(cnotDepth(parallel), 0);

    // CNOTs on disjoint pairs share a layer; a CNOT on a qubit of both waits for them.
    const std::vector<TGATE1> pairs{cnotGate(1, 2), cnotGate(3, 4), cnotGate(2, 3)};
    EXPECT_EQ(circuitDepth(pairs), 2);
    EXPECT_EQ(cnotDepth(pairs), 2);
    EXPECT_EQ(circuitDepth({}), 0);
}

TEST(CircuitDepth, OneQubitGatesBetweenCnotsAddToTheDepthButNotToTheCnotDepth)
{
    const TMATICA2 h = hadamardMatrix();
    const std::vector<TGATE1> gates{cnotGate(1, 2), oneQubitGate(2, h), oneQubitGate(2, h), cnotGate(1, 2),
                                    oneQubitGate(3, h)};
    EXPECT_EQ(circuitDepth(gates), 4);
    EXPECT_EQ(cnotDepth(gates), 2);
}

}  // namespace
