#pragma once
// Optimization passes: every gate is dragged left and right through its
// neighbours until it merges with one of them.

class Presentation;
struct Workspace;

// Shortens the circuit of the workspace in place.
void optimizeCircuit(Workspace& ws, Presentation& ui);
