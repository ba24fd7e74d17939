// Every end stage of the one table, read back through each surface that names
// it: the command line's word and --help, the run summary's JSON, and the
// driver's stages and final check.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "app/cli/options.h"
#include "engine/endstage.h"
#include "interchange/runsummary.h"
#include "platform/headlesspresentation.h"
#include "ui/edit1change.h"
#include "workspace/driver.h"
#include "workspace/workspace.h"

namespace {

const char* lastSynthesisStage(const EndStage& stage)
{
    if (stage.route == Route::fewestCnots)
        return "basic gates, fewest CNOTs";
    if (stage.route == Route::numerical)
        return "basic gates, fewest CNOTs, numerical";
    switch (stage.depth) {
    case Depth::toffoliGates:
        return "Generalized Toffoli gates";
    case Depth::l1Gates:
        return "L1(U) gates";
    case Depth::basicGates:
        break;
    }
    return "basic gates";
}

TEST(EndStages, EachSurfaceNamesEveryStageAsTheTableDoes)
{
    const std::string help = usageText();
    for (const EndStage& stage : endStages) {
        const std::string word(stage.commandWord);
        const ParsedOptions parsed = parseOptions({"--end-stage", word});
        ASSERT_TRUE(parsed.options) << word << ": " << parsed.error;
        EXPECT_EQ(parsed.options->endStage, stage.boxIndex) << word;
        EXPECT_NE(help.find(word + std::string(endStageWordColumn - word.size(), ' ') + "\"" +
                            std::string(stage.itemText) + "\""),
                  std::string::npos)
            << word << help;

        RunSummary summary;
        summary.endStage = stage.boxIndex;
        const std::string json = runSummaryJson(summary);
        EXPECT_NE(json.find("\"endStage\": \"" + std::string(stage.jsonText) + "\""), std::string::npos) << json;
        EXPECT_NE(json.find("\"endStageIndex\": " + std::to_string(stage.boxIndex) + ","), std::string::npos) << json;
        EXPECT_EQ(stage.jsonText, stage.itemText) << "the summary names a stage as the box does";
    }
    EXPECT_FALSE(parseOptions({"--end-stage", "cnot"}).options);
    EXPECT_NE(parseOptions({"--end-stage", "cnot"}).error.find("basic, l1, toffoli, shannon, numerical, or none"),
              std::string::npos);
}

TEST(EndStages, TheDriverRunsEachStageDownToItsGatesAndChecksAsTheTableSays)
{
    for (const EndStage& stage : endStages) {
        HeadlessPresentation ui;
        ui.recordEvents = false;
        ui.endStageIndex = stage.boxIndex;
        auto ws = createWorkspace(ui);
        const RunSummary summary = decompose(*ws, ui);
        ASSERT_TRUE(summary.circuitBuilt) << stage.commandWord;
        ASSERT_GE(summary.stages.size(), 2u);
        std::string last;
        for (const StageRecord& record : summary.stages)
            if (record.hasStatistics && record.name != "optimization")
                last = record.name;
        EXPECT_EQ(last, lastSynthesisStage(stage)) << stage.commandWord;
        EXPECT_EQ(summary.finalCircuit, stage.finalCheck ? CheckState::passed : CheckState::notRun)
            << stage.commandWord;
        EXPECT_EQ(summary.reduction, stage.route == Route::twoLevel ? CheckState::passed : CheckState::notRun)
            << stage.commandWord;
    }
    // The untouched box: down to basic gates, and no final check.
    EXPECT_EQ(endStageOfBox(-1).depth, Depth::basicGates);
    EXPECT_FALSE(endStageOfBox(-1).finalCheck);
}

TEST(EndStages, TheSizeRuleRefusesWithOneMessageNamingTheSizeAndWhatIsTaken)
{
    EXPECT_TRUE(takesQubits(endStageOfBox(3), 10));
    EXPECT_FALSE(takesQubits(endStageOfBox(3), 11));
    EXPECT_FALSE(takesQubits(endStageOfBox(0), 6));
    EXPECT_EQ(sizeRefusal(endStageOfBox(1), 64),
              "A matrix of size 64 can not be decomposed: the end stage \"L1(U) gates\" works with 2 to 5 qubits "
              "(matrices of size 4 to 32).");
    const ParsedOptions refused = parseOptions({"--random", "6"});
    EXPECT_FALSE(refused.options);
    EXPECT_EQ(refused.error, "--random 6: " + sizeRefusal(endStageOfBox(0), 64));
    EXPECT_TRUE(parseOptions({"--random", "10", "--end-stage", "shannon"}).options);
    EXPECT_NE(parseOptions({"--random", "11", "--end-stage", "shannon"}).error.find("from 2 to 10"), std::string::npos);
}

}  // namespace

namespace {

TEST(EndStages, EveryStageLeavesTheMatrixAsItWasGivenToTheBit)
{
    for (const EndStage& stage : endStages) {
        HeadlessPresentation ui;
        ui.recordEvents = false;
        ui.recordingCanvas.recording = false;
        ui.endStageIndex = stage.boxIndex;
        auto ws = createWorkspace(ui);
        ws->random.fixSeed(7);
        ui.setQubitFieldText("5");
        Edit1Change(*ws, ui);
        const auto given = std::make_unique<TMATICA1>(ws->matrixA);
        decompose(*ws, ui);
        for (int r = 1; r <= 32; ++r)
            ASSERT_EQ(std::memcmp(&ws->matrixA(r, 1), &(*given)(r, 1), 32 * sizeof(Complex)), 0)
                << stage.commandWord << ", row " << r;
    }
}

}  // namespace
