#pragma once
// The layout of the circuit drawing, expressed as canvas operations.

#include <span>

#include "engine/synthesis/gate.h"
#include "workspace/workspace.h"

class Canvas;
class Presentation;

// Redraws the picture for gates from..to of `list` (list[g] is gate g) in
// wrapped bands, with the workspace's zoom, draw area and selected gate, and
// updates the captions.
void drawCircuit(const Workspace& ws, Presentation& ui, std::span<const TGATE1> list, int from, int to);

// Everything the layout reads besides the gate list.
struct DrawingView {
    int qubitCount = 2;
    double zoom = 1.25;
    DrawArea area{10, 10, 1000, 750};
    int selectedGate = 0;  // 0 = none
    bool contraction = false;
    TMATICA2 pauliX;
    TMATICA2 pauliZ;
    double tolerance = 1e-7;
};

// The view of the window: the workspace's values and the contraction check.
DrawingView windowDrawingView(const Workspace& ws, const Presentation& ui);

enum class DrawOutcome {
    drawn,
    zoomTooLarge,    // not one band (or not one column) fits in the area
    noGateInRange,   // from > to, or the range lies outside the list
};

struct DrawResult {
    DrawOutcome outcome = DrawOutcome::drawn;
    int lastDrawn = 0;  // number of the last gate drawn
    int bandsUsed = 0;  // bands that hold at least one gate
    int lowestLabelY = 0;  // row of the last used band's label
    int labelFontHeight = 0;
};

// The integer layout of the bands for one view.
struct BandLayout {
    int bandHeight = 0;
    int bandCount = 0;
    int gatesPerBand = 0;
};

// The band layout of `view`; bandHeight or gatesPerBand below 1 means nothing fits.
BandLayout bandLayout(const DrawingView& view);

// Draws gates from..to of `list` on `canvas` without touching captions or the
// log; stops at the last band that fits in the area. Each gate is bracketed by
// canvas.beginGroup("gate-<number>") / endGroup().
DrawResult drawGatesOn(Canvas& canvas, const DrawingView& view, std::span<const TGATE1> list, int from, int to);

// Clears the area and draws the empty wires of every band that fits.
void drawEmptyBands(Canvas& canvas, const DrawingView& view, const BandLayout& layout);
