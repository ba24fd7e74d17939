#pragma once
// Decompositions of matrices larger than the workspace holds (6 to 10 qubits),
// by an end stage whose route keeps its gates in a list of its own. The run
// logs what the driver logs and reports the same summary.

#include "engine/endstage.h"
#include "engine/kernel/densematrix.h"
#include "engine/shannon/gatelist.h"
#include "interchange/runsummary.h"
#include "workspace/driver.h"

class Presentation;

struct LargeRun {
    RunSummary summary;
    GateList gates;  // gate 0 acts first; empty when no circuit was built
};


// Runs `stage` on `input` (of size 2^n). Refuses a size the stage does not take
// with the one size message, and a matrix that is not unitary within 1e-7 with
// the driver's line; a matrix unitary only within that is decomposed as its
// nearest unitary, and every check compares with the input itself.
LargeRun decomposeLarge(const DenseMatrix& input, const EndStage& stage, Presentation& ui,
                        const StageClock& clock = {});
