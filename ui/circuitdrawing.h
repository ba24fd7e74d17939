#pragma once
// The layout of the circuit drawing, expressed as canvas operations.

#include <span>

#include "engine/synthesis/gate.h"

class Presentation;
struct Workspace;

// Redraws the picture for gates from..to of `list` (list[g] is gate g) in
// wrapped bands, with the workspace's zoom, draw area and selected gate, and
// updates the captions.
void drawCircuit(const Workspace& ws, Presentation& ui, std::span<const TGATE1> list, int from, int to);
