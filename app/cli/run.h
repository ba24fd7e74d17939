#pragma once
// One run of the command line: set up the matrix, decompose it, save, report.

#include <iosfwd>

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
