// The command line's exit status comes from the run's report, not from its log.
#include "app/cli/run.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/driver.h"
#include "workspace/driversentences.h"
#include "workspace/workspace.h"

TEST(ExitStatus, FollowsTheChecksAndWhatTheRunShowed)
{
    struct Case {
        const char* name;
        CheckState RunSummary::*check;
        CheckState state;
        int problemLines;
        int messages;
        bool otherProblem;
        int status;
    };
    const Case cases[] = {
        {"every check passed", &RunSummary::finalCircuit, CheckState::passed, 0, 0, false, exitOk},
        {"final check not run", &RunSummary::finalCircuit, CheckState::notRun, 0, 0, false, exitOk},
        {"input refused", &RunSummary::inputUnitary, CheckState::failed, 0, 0, true, exitRefused},
        {"reduction failed", &RunSummary::reduction, CheckState::failed, 0, 0, false, exitProblem},
        {"reconstruction failed", &RunSummary::reconstruction, CheckState::failed, 0, 0, false, exitProblem},
        {"final check failed", &RunSummary::finalCircuit, CheckState::failed, 0, 0, false, exitProblem},
        {"gate not unitary", &RunSummary::gateUnitarity, CheckState::failed, 0, 0, false, exitProblem},
        {"a problem line", &RunSummary::finalCircuit, CheckState::passed, 1, 0, false, exitProblem},
        {"a message", &RunSummary::finalCircuit, CheckState::passed, 0, 1, false, exitProblem},
        {"an export failed", &RunSummary::finalCircuit, CheckState::passed, 0, 0, true, exitProblem},
    };
    for (const Case& c : cases) {
        RunSummary summary;
        summary.inputUnitary = CheckState::passed;
        summary.*c.check = c.state;
        summary.problemLines = c.problemLines;
        summary.messages = c.messages;
        EXPECT_EQ(exitStatus(summary, c.otherProblem), c.status) << c.name;
    }
    EXPECT_EQ(exitStatus(std::nullopt, false), exitProblem) << "the run threw";
}

TEST(ExitStatus, AFailedFinalCheckIsFalseInTheJsonAndExitsWithOne)
{
    HeadlessPresentation ui;
    auto ws = createWorkspace(ui);
    ui.endStageIndex = 1;
    // Every gate negated once the L1(U) statistics are logged: still unitary, no longer the input.
    ui.onLog = [&ws, seen = 0](const std::string& line) mutable {
        if (line != driverText::statisticsEnd || ++seen != 2)
            return;
        for (int g = 1; g <= ws->pocetb1; ++g) {
            TMATICA2& u = ws->gates[g].u;
            u = {-u.u11, -u.u12, -u.u21, -u.u22};
        }
    };
    loadUnitary(*ws, seededRandomUnitary(3, 4), 3);
    const RunSummary summary = decomposeRecorded(*ws, ui);
    const std::string json = runSummaryJson(summary);
    EXPECT_NE(json.find("\"finalCircuit\": false,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"reconstruction\": true,"), std::string::npos) << json;
    EXPECT_EQ(exitStatus(summary, false), exitProblem);
    ui.onLog = nullptr;
}
