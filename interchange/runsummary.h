#pragma once
// The result of one decomposition run as the driver reports it: each check, the
// statistics that close every stage, what the user was shown, and the time of
// each stage. Written out as JSON under the same names.

#include <optional>
#include <string>
#include <vector>

class Presentation;

struct StageRecord {
    std::string name;
    double seconds = 0.0;
    // The statistics logged at the end of the stage; the reduction and the closing
    // checks have none.
    bool hasStatistics = false;
    int gateCount = 0;
    std::vector<int> gatesByControls;  // [k] = number of gates with k controls
};

enum class CheckState { notRun, passed, failed };

struct RunSummary {
    int endStage = -1;  // item index of the end-stage box at the start of the run
    int qubitCount = 0;
    bool circuitBuilt = false;  // the synthesis began, so the circuit belongs to this run
    std::vector<StageRecord> stages;
    CheckState inputUnitary = CheckState::notRun;
    // When the input was refused as not unitary: the largest entry of
    // |A^dagger A - I| and the tolerance it was held to.
    std::optional<double> inputDefect;
    double inputTolerance = 0.0;
    CheckState reduction = CheckState::notRun;
    CheckState reconstruction = CheckState::notRun;
    CheckState finalCircuit = CheckState::notRun;
    CheckState gateUnitarity = CheckState::notRun;
    // When the input was unitary only within the tolerance and its nearest
    // unitary matrix was decomposed: the input's |A^dagger A - I| largest entry.
    std::optional<double> nearestUnitaryDefect;
    int gateCount = 0;
    int cnotCount = 0;
    // Largest entry modulus of (matrix of the circuit - input); empty when no circuit was built.
    std::optional<double> maxEntryDifference;
    int problemLines = 0;  // log lines that report a problem ("!..." or ":((...")
    int messages = 0;      // modal messages shown during the run
    double totalSeconds = 0.0;
};

// Whether a check of the run failed or the user was shown a problem (a message
// or a problem line): what makes the command line's exit status 1.
bool anyCheckFailed(const RunSummary& summary);

// The summary as a JSON object (UTF-8, ending with a newline); checks not run are null.
std::string runSummaryJson(const RunSummary& summary);

// Writes runSummaryJson to `path`; on a file error shows it as an error message and returns false.
bool saveRunSummary(const RunSummary& summary, const std::string& path, Presentation& ui);
