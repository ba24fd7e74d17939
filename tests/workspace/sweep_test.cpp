// Seeded sweep of whole decompositions: every size, every end stage, with and
// without optimization, over random and awkward unitaries.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/driver.h"
#include "workspace/workspace.h"

namespace {

struct SweepResult {
    double worstError = 0.0;
    std::string worstCase;
    int runs = 0;
};

const char* finalCheckLine(int endStage)
{
    if (endStage == 0)
        return "Circuit from Basic gates correspond to input unitary matrix.";
    if (endStage == 1)
        return "Circuit from L1(U) gates correspond to input unitary matrix.";
    return nullptr;
}

// Largest number of controls each end stage may leave.
int controlLimit(int endStage, int qubits) { return endStage == 2 ? qubits - 1 : 1; }

void sweep(int qubits, int randomCount, std::uint64_t seedBase)
{
    HeadlessPresentation ui;
    ui.recordEvents = false;
    ui.recordingCanvas.recording = false;
    auto ws = createWorkspace(ui);

    std::vector<NamedUnitary> inputs = awkwardUnitaries(qubits);
    for (int k = 1; k <= randomCount; ++k)
        inputs.push_back({"random seed " + std::to_string(seedBase + k), seededRandomUnitary(qubits, seedBase + k)});

    SweepResult result;
    const auto start = std::chrono::steady_clock::now();
    for (const NamedUnitary& input : inputs)
        for (int endStage : {-1, 0, 1, 2})
            for (bool optimize : {false, true}) {
                const std::string what = input.name + ", " + std::to_string(qubits) + " qubits, end stage " +
                                         std::to_string(endStage) + (optimize ? ", optimized" : "");
                ui.log.clear();
                ui.messages.clear();
                ui.endStageIndex = endStage;
                ui.roboptim = optimize;
                loadUnitary(*ws, input.matrix, qubits);
                decompose(*ws, ui);
                ++result.runs;

                if (const char* line = finalCheckLine(endStage)) {
                    EXPECT_TRUE(ui.logContains(line)) << what;
                }
                EXPECT_TRUE(ui.logContains("Matrix Decomposition was successful.")) << what;
                for (const std::string& line : ui.log)
                    EXPECT_FALSE(line.starts_with("!") || line.starts_with(":((")) << what << ": " << line;
                for (const RecordedMessage& message : ui.messages)
                    ADD_FAILURE() << what << ": message " << message.text;
                EXPECT_LE(maxControlCount(*ws), controlLimit(endStage, qubits)) << what;

                const double error = compositionError(*ws, ui, input.matrix);
                EXPECT_LE(error, ws->tolerance) << what;
                if (!(error <= result.worstError)) {
                    result.worstError = error;
                    result.worstCase = what;
                }
            }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "[ sweep    ] " << qubits << " qubits: " << result.runs << " runs in " << seconds
              << " s; worst composition error " << result.worstError << " (" << result.worstCase << ")\n";
}

}  // namespace

TEST(Sweep, TwoQubitDecompositionsComposeToTheirInput) { sweep(2, 30, 2000); }

TEST(Sweep, ThreeQubitDecompositionsComposeToTheirInput) { sweep(3, 30, 3000); }

TEST(Sweep, FourQubitDecompositionsComposeToTheirInput) { sweep(4, 30, 4000); }

TEST(Sweep, FiveQubitDecompositionsComposeToTheirInput) { sweep(5, 5, 5000); }
