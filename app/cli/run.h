#pragma once
// One run of the command line: set up the matrix, decompose it, save, report.

#include <iosfwd>
#include <optional>

#include "interchange/runsummary.h"

struct CliOptions;

// Exit statuses of the command line.
enum ExitStatus : int {
    exitOk = 0,        // the run ended normally and every check passed
    exitProblem = 1,   // the run reported a problem
    exitRefused = 2,   // the input was refused
};

// Runs the decomposition the options describe; log lines go to `out`, messages
// and questions to `err`, one line each. Returns the exit status.
int runCli(const CliOptions& options, std::ostream& out, std::ostream& err);

// The exit status of a run with this summary (empty when the run threw);
// `otherProblem` when the input, a save or an export reported a problem.
int exitStatus(const std::optional<RunSummary>& summary, bool otherProblem);
