#pragma once
// The command line's options: what to decompose, the settings, where to save.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "interchange/qasm/basisgates.h"

struct CliOptions {
    // Item index of the end-stage box: 0 basic gates, 1 L1(U) gates, 2 Generalized Toffoli gates,
    // 3 basic gates with the fewest CNOTs, -1 none.
    int endStage = 0;
    bool optimize = true;   // roboptim
    bool selfCheck = false; // Kontrolptimkrok1
    bool showSteps = false; // Zobroptimkroky
    std::optional<int> randomQubits;
    std::optional<std::uint64_t> seed;
    std::optional<std::string> saveFile;
    std::optional<std::string> inputFile;  // a .mat file, or a .npy file by its extension
    std::optional<std::string> qasmInputFile;  // an OpenQASM circuit whose matrix is decomposed
    // Exports written after the run.
    std::optional<std::string> qasmFile;   // OpenQASM 3
    std::optional<std::string> qasm2File;  // OpenQASM 2.0
    std::optional<std::string> svgFile;    // picture of the whole circuit
    std::optional<std::string> jsonFile;   // run summary
    bool compare = false;  // every route to basic gates, side by side
    std::optional<BasisGates> basis;  // the gate set of the OpenQASM exports
    bool help = false;
    bool version = false;
};

// Either the options or the reason they were refused.
struct ParsedOptions {
    std::optional<CliOptions> options;
    std::string error;
};

// Reads the arguments after the program name.
ParsedOptions parseOptions(const std::vector<std::string>& arguments);

// The --help text.
std::string usageText();
// Where the item of each end stage starts in the --help lines: past its word.
inline constexpr std::size_t endStageWordColumn = 10;

// The --version text.
std::string versionText();
