#pragma once
// The numerical route's instantiation, run beside the caller so that a window
// keeps answering, shows the blocks done and can cancel the run.

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/kernel/densematrix.h"
#include "engine/numerical/numericalroute.h"

class Presentation;

// The user cancelled the run; nothing of the workspace was changed.
struct RunCancelled : std::runtime_error {
    RunCancelled() : std::runtime_error("the decomposition was cancelled") {}
};

// numericalCircuit(u) on a thread of its own. Meanwhile the progress bar counts
// blocks done of blocks to do, the Cancel button shows, and the presentation
// answers its user; when it reports a cancel the work stops at its next
// evaluation and RunCancelled is thrown. The progress bar and the button are
// hidden again either way.
NumericalCircuit numericalCircuitBeside(const DenseMatrix& u, Presentation& ui);

// The log lines of an instantiation: blocks instantiated, the starts each took,
// which kept the fewest-CNOT circuit.
std::vector<std::string> numericalReportLines(const NumericalCircuit& circuit);
