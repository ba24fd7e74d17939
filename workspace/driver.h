#pragma once
// The decomposition driver: reduction, checks, synthesis, end stages, drawing.

class Presentation;
struct Workspace;

// Runs one whole decomposition of matrixA.
void decompose(Workspace& ws, Presentation& ui);

// Logs the number of gates by number of controls.
void circuitStatistics(const Workspace& ws, Presentation& ui);
