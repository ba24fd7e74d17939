#include "interchange/runsummary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/headlesspresentation.h"

TEST(RunSummaryJson, WritesTheKnownText)
{
    RunSummary summary;
    summary.endStage = -1;
    summary.qubitCount = 2;
    summary.circuitBuilt = true;
    summary.stages.push_back({"reduction", 0.125, false, 0, {}});
    summary.stages.push_back({"Generalized Toffoli gates", 0.5, true, 6, {4, 2}});
    summary.stages.push_back({"odd \"name\"\n", 0.0, false, 0, {}});
    summary.inputUnitary = CheckState::passed;
    summary.reduction = CheckState::passed;
    summary.reconstruction = CheckState::failed;
    summary.gateUnitarity = CheckState::passed;
    summary.gateCount = 6;
    summary.cnotCount = 2;
    summary.maxEntryDifference = 1.5e-15;
    summary.problemLines = 1;
    summary.messages = 0;
    summary.totalSeconds = 0.6250004;
    EXPECT_EQ(runSummaryJson(summary),
              "{\n"
              "  \"endStage\": \"basic gates\",\n"
              "  \"endStageIndex\": -1,\n"
              "  \"qubitCount\": 2,\n"
              "  \"circuitBuilt\": true,\n"
              "  \"gateCount\": 6,\n"
              "  \"cnotCount\": 2,\n"
              "  \"maxEntryDifference\": 1.4999999999999999e-15,\n"
              "  \"checks\": {\n"
              "    \"inputUnitary\": true,\n"
              "    \"reduction\": true,\n"
              "    \"reconstruction\": false,\n"
              "    \"finalCircuit\": null,\n"
              "    \"gateUnitarity\": true\n"
              "  },\n"
              "  \"stages\": [\n"
              "    {\"name\": \"reduction\", \"seconds\": 0.125},\n"
              "    {\"name\": \"Generalized Toffoli gates\", \"seconds\": 0.5, \"gates\": 6, \"gatesByControls\": [4, 2]},\n"
              "    {\"name\": \"odd \\\"name\\\"\\u000a\", \"seconds\": 0}\n"
              "  ],\n"
              "  \"problemLines\": 1,\n"
              "  \"messages\": 0,\n"
              "  \"totalSeconds\": 0.625\n"
              "}\n");
    summary.maxEntryDifference = std::nan("");
    summary.stages.clear();
    const std::string json = runSummaryJson(summary);
    EXPECT_NE(json.find("\"maxEntryDifference\": null,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"stages\": [],"), std::string::npos) << json;
}

TEST(RunSummaryJson, SaveWritesTheFileOrShowsWhyNot)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "udecomp-run-summary-test";
    std::filesystem::create_directories(folder);
    RunSummary summary;
    summary.qubitCount = 3;
    HeadlessPresentation ui;
    const std::string path = (folder / "summary.json").string();
    ASSERT_TRUE(saveRunSummary(summary, path, ui));
    std::ifstream file(path, std::ios::binary);
    std::stringstream written;
    written << file.rdbuf();
    EXPECT_EQ(written.str(), runSummaryJson(summary));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(saveRunSummary(summary, (folder / "missing" / "summary.json").string(), ui));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].style, MessageStyle::error);
    std::filesystem::remove_all(folder);
}
