#pragma once
// The decomposition driver: reduction, checks, synthesis, end stages, drawing.

#include <optional>

class Presentation;
struct Workspace;

// What a run learned of its final circuit, for whoever reports on the run.
struct DecompositionResult {
    // Largest entry modulus of (matrix of the circuit - input), when a final check composed it.
    std::optional<double> maxEntryDifference;
};

// Runs one whole decomposition of matrixA.
DecompositionResult decompose(Workspace& ws, Presentation& ui);

// Logs the number of gates by number of controls.
void circuitStatistics(const Workspace& ws, Presentation& ui);
