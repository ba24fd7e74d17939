// Whole decompositions with "Check after each stage of decomposition" set: the
// self-tests of the exchange and merging rules then watch every rewrite the
// optimizer makes on real circuits.

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "engine/kernel/randomunitary.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/driver.h"
#include "workspace/workspace.h"
#include "workspace/driversentences.h"

namespace {

struct SelfTestTally {
    int missedExchanges = 0;
    int wrongExchanges = 0;
    int wrongMerges = 0;
};

SelfTestTally tally(const HeadlessPresentation& ui)
{
    SelfTestTally t;
    for (const std::string& line : ui.log) {
        if (line.starts_with("Different results for exchange of the gates:")) {
            if (line.ends_with("my algorithm:FALSEMatrices:TRUE"))
                ++t.missedExchanges;
            else
                ++t.wrongExchanges;
        }
        if (line.find("removed unequivalently") != std::string::npos ||
            line.find("The gates not forming the identity were removed") != std::string::npos)
            ++t.wrongMerges;
    }
    return t;
}

void decomposeChecked(int qubits, std::uint64_t seed, int endStage, SelfTestTally& total)
{
    HeadlessPresentation ui;
    ui.recordEvents = false;
    ui.Kontrolptimkrok1 = true;
    ui.endStageIndex = endStage;
    auto ws = createWorkspace(ui);
    loadUnitary(*ws, seededRandomUnitary(qubits, seed), qubits);
    decompose(*ws, ui);
    SCOPED_TRACE(std::to_string(qubits) + " qubits, seed " + std::to_string(seed));
    const SelfTestTally t = tally(ui);
    EXPECT_EQ(t.wrongExchanges, 0);
    EXPECT_EQ(t.wrongMerges, 0);
    EXPECT_TRUE(ui.logContains("The optimization algorithm has begun."));
    if (endStage == 0) {
        EXPECT_TRUE(ui.logContains(driverText::basicCircuitPassed));
    }
    for (const RecordedMessage& m : ui.messages)
        ADD_FAILURE() << m.text;
    total.missedExchanges += t.missedExchanges;
    total.wrongExchanges += t.wrongExchanges;
    total.wrongMerges += t.wrongMerges;
}

TEST(CheckedDecomposition, RuleSelfTestsFindNoWrongRewriteDownToBasicGates)
{
    SelfTestTally total;
    for (int qubits = 2; qubits <= 4; ++qubits)
        for (std::uint64_t seed = 1; seed <= 3; ++seed)
            decomposeChecked(qubits, seed * 101 + qubits, 0, total);
    std::printf("missed exchanges reported by the self-test: %d\n", total.missedExchanges);
}

TEST(CheckedDecomposition, RuleSelfTestsFindNoWrongRewriteInFiveQubitToffoliCircuits)
{
    SelfTestTally total;
    for (std::uint64_t seed = 1; seed <= 2; ++seed)
        decomposeChecked(5, seed * 7919, 2, total);
    std::printf("missed exchanges reported by the self-test: %d\n", total.missedExchanges);
}

TEST(CheckedDecomposition, FiveQubitBasicCircuitOfRandomSeedSevenMatchesItsInput)
{
    // 150,000 basic gates, many of them commuting with their neighbours only
    // within the tolerance: passing those unchanged once broke the final check.
    HeadlessPresentation ui;
    ui.recordEvents = false;
    ui.endStageIndex = 0;
    auto ws = createWorkspace(ui);
    ws->random.fixSeed(7);
    ws->qubitCount = 5;
    ws->matrixSize = 32;
    randomUnitary(*ws, ui, ws->matrixA, 100);
    const TMATICA1 input = ws->matrixA;
    decompose(*ws, ui);
    EXPECT_TRUE(ui.logContains(driverText::basicCircuitPassed));
    for (const RecordedMessage& m : ui.messages)
        ADD_FAILURE() << m.text;
    EXPECT_LE(compositionError(*ws, ui, input), 1e-7);
}

}  // namespace
