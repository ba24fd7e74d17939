// Seeded sweep of whole decompositions: every size, every end stage, with and
// without optimization, over random and awkward unitaries.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/kernel/randomunitary.h"
#include "platform/headlesspresentation.h"
#include "support/oracle.h"
#include "workspace/driver.h"
#include "workspace/workspace.h"
#include "workspace/driversentences.h"

namespace {

struct SweepResult {
    double worstError = 0.0;
    std::string worstCase;
    int runs = 0;
};

std::string_view finalCheckLine(int endStage)
{
    if (endStage == 0)
        return driverText::basicCircuitPassed;
    if (endStage == 1)
        return driverText::l1CircuitPassed;
    return {};
}

// Largest number of controls each end stage may leave.
int controlLimit(int endStage, int qubits) { return endStage == 2 ? qubits - 1 : 1; }

struct RunChoice {
    int endStage;
    bool optimize;
};

// Every end stage, with and without optimization.
std::vector<RunChoice> allChoices()
{
    std::vector<RunChoice> choices;
    for (int endStage : {-1, 0, 1, 2})
        for (bool optimize : {false, true})
            choices.push_back({endStage, optimize});
    return choices;
}

// Runs every input at every choice. Without an errorBound the composition
// must match within the tolerance the run left, else within errorBound.
void sweep(int qubits, const std::vector<NamedUnitary>& inputs, const std::vector<RunChoice>& choices,
           std::optional<double> errorBound = std::nullopt)
{
    HeadlessPresentation ui;
    ui.recordEvents = false;
    ui.recordingCanvas.recording = false;
    auto ws = createWorkspace(ui);

    SweepResult result;
    const auto start = std::chrono::steady_clock::now();
    for (const NamedUnitary& input : inputs)
        for (const RunChoice& choice : choices) {
            const std::string what = input.name + ", " + std::to_string(qubits) + " qubits, end stage " +
                                     std::to_string(choice.endStage) + (choice.optimize ? ", optimized" : "");
            ui.log.clear();
            ui.messages.clear();
            ui.endStageIndex = choice.endStage;
            ui.roboptim = choice.optimize;
            loadUnitary(*ws, input.matrix, qubits);
            decompose(*ws, ui);
            ++result.runs;

            if (const std::string_view line = finalCheckLine(choice.endStage); !line.empty()) {
                EXPECT_TRUE(ui.logContains(line)) << what;
            }
            EXPECT_TRUE(ui.logContains(driverText::reconstructionPassed)) << what;
            for (const std::string& line : ui.log)
                EXPECT_FALSE(line.starts_with("!") || line.starts_with(":((")) << what << ": " << line;
            for (const RecordedMessage& message : ui.messages)
                ADD_FAILURE() << what << ": message " << message.text;
            EXPECT_LE(maxControlCount(*ws), controlLimit(choice.endStage, qubits)) << what;

            const double error = compositionError(*ws, ui, input.matrix);
            EXPECT_LE(error, errorBound.value_or(ws->tolerance)) << what;
            if (!(error <= result.worstError)) {
                result.worstError = error;
                result.worstCase = what;
            }
        }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "[ sweep    ] " << qubits << " qubits: " << result.runs << " runs in " << seconds
              << " s; worst composition error " << result.worstError << " (" << result.worstCase << ")\n";
}

void sweep(int qubits, int randomCount, std::uint64_t seedBase)
{
    std::vector<NamedUnitary> inputs = awkwardUnitaries(qubits);
    for (int k = 1; k <= randomCount; ++k)
        inputs.push_back({"random seed " + std::to_string(seedBase + k), seededRandomUnitary(qubits, seedBase + k)});
    sweep(qubits, inputs, allChoices());
}

// Program-generated random matrices and permutations times a small rotation
// have entries that are exactly or nearly zero; rounding there used to grow
// into errors near the tolerance and identity gates refused one by one.
void structuredSweep(int qubits, const std::vector<std::uint64_t>& randomSeeds, const std::vector<double>& angles)
{
    std::vector<NamedUnitary> inputs;
    for (std::uint64_t seed : randomSeeds)
        inputs.push_back({"program random seed " + std::to_string(seed), programRandomUnitary(qubits, seed)});
    inputs.push_back({"permutation", permutationTimesRotation(qubits, 21, 0.0)});
    for (double angle : angles)
        inputs.push_back({"permutation times rotation " + (std::ostringstream{} << angle).str(),
                          permutationTimesRotation(qubits, 22, angle)});
    // The end stages a user picks, each optimized, and basic gates without it.
    const std::vector<RunChoice> choices{{0, true}, {1, true}, {2, true}, {0, false}};
    sweep(qubits, inputs, choices, 1e-11);
}

// Unitary only within the tolerance: a permutation with a stray entry of
// exactly the tolerance where a zero stood in the last column, and a perturbed
// random matrix. The check passes only if the circuit keeps to their nearest
// unitary matrix.
void nearlyUnitarySweep(int qubits)
{
    const int n = 1 << qubits;
    TMATICA1 stray = permutationUnitary(qubits, 24);
    stray(stray(n, n).re == 0.0 ? n : n - 1, n) = {1e-7, 0.0};
    const TMATICA1 noisy = perturbed(seededRandomUnitary(qubits, 25), qubits, 1e-9, 26);
    sweep(qubits, {{"permutation with a stray entry", stray}, {"perturbed random", noisy}}, allChoices());
}

}  // namespace

TEST(Sweep, TwoQubitDecompositionsComposeToTheirInput) { sweep(2, 30, 2000); }

TEST(Sweep, ThreeQubitDecompositionsComposeToTheirInput) { sweep(3, 30, 3000); }

TEST(Sweep, FourQubitDecompositionsComposeToTheirInput) { sweep(4, 30, 4000); }

TEST(Sweep, FiveQubitDecompositionsComposeToTheirInput) { sweep(5, 5, 5000); }

TEST(Sweep, StructuredTwoToFourQubitMatricesComposeToRounding)
{
    const std::vector<double> angles{1e-12, 1e-9, 1e-7, 2e-7};
    structuredSweep(2, {1, 2, 3}, angles);
    structuredSweep(3, {1, 2}, angles);
    structuredSweep(4, {1}, angles);
}

TEST(Sweep, StructuredFiveQubitMatricesComposeToRounding) { structuredSweep(5, {61, 544}, {1e-9, 2e-7}); }

TEST(Sweep, MatricesUnitaryWithinTheToleranceComposeWithinIt)
{
    for (int qubits : {2, 3, 4, 5})
        nearlyUnitarySweep(qubits);
}
