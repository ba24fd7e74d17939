#pragma once
// Which gate of the drawing lies under a point, found by laying the drawing
// out again exactly as drawCircuit does.

#include <span>

#include "engine/synthesis/gate.h"
#include "ui/circuitdrawing.h"

// The number of the gate of `list` whose place in the picture of gates
// from..to drawn with `view` holds (x, y), in surface pixels; 0 when the point
// lies on no gate. A gate's place is its column (half a column's width to each
// side of its centre line) over the height of its glyphs, widened by a control
// dot's size; where two places hold the point, the nearer centre line wins.
int gateAtPoint(const DrawingView& view, std::span<const TGATE1> list, int from, int to, int x, int y);
