#pragma once
// The decomposition driver: reduction, checks, synthesis, end stages, drawing.

#include <functional>
#include <span>

#include "engine/synthesis/gate.h"

#include "interchange/runsummary.h"

class Presentation;
struct Workspace;

// Seconds from any fixed origin; the driver reads it where a stage ends.
using StageClock = std::function<double()>;

// Runs one whole decomposition of matrixA and reports it: each check, the
// statistics of each stage, the messages and problem lines the user was shown
// and the stage times from `clock` (the steady clock when empty).
// maxEntryDifference is set when a final check composed the circuit.
RunSummary decompose(Workspace& ws, Presentation& ui, const StageClock& clock = {});

// decompose, and when the run built a circuit that no final check composed,
// the largest entry difference between that circuit and the input as well.
RunSummary decomposeRecorded(Workspace& ws, Presentation& ui);

// The circuit of ws drawn from its first gate, with the sliders, the gate
// selector and the gate count set for it, as a run ends.
void showCircuit(Workspace& ws, Presentation& ui);

// Logs the number of gates by number of controls and returns the same counts.
StageRecord circuitStatistics(const Workspace& ws, Presentation& ui);
// The same for the gates of a circuit on qubitCount qubits.
StageRecord circuitStatistics(std::span<const TGATE1> gates, int qubitCount, Presentation& ui);
