#pragma once
// A picture of a whole circuit: the window's drawing with as many bands as the
// circuit needs, written as an SVG document.

#include <optional>
#include <ostream>
#include <span>

#include "engine/synthesis/gate.h"
#include "ui/circuitdrawing.h"

class Canvas;
class Presentation;
struct Workspace;

// The view stretched to hold every band of a whole-circuit picture, and the
// picture's size in pixels.
struct CircuitPictureLayout {
    DrawingView view;
    int width = 0;
    int height = 0;
    int firstGate = 1;  // the picture shows gates firstGate.. as far as its bands hold them
};

// Taller than this, a whole-circuit picture is no longer something a person
// looks at (nor an image most viewers open): such an export is refused.
inline constexpr int largestSensiblePictureHeight = 16384;

// The picture of what the window shows: gates from..count of `list` in the
// view's own area, as many as its bands hold.
CircuitPictureLayout shownGatesPictureLayout(const DrawingView& view, int from);

// The layout of gates 1..count of `list` laid out by `view`; empty when not one
// column fits at this zoom or the picture would be too tall to lay out.
std::optional<CircuitPictureLayout> circuitPictureLayout(const DrawingView& view, std::span<const TGATE1> list,
                                                         int count);

// Draws gates firstGate..count of `list` (empty wires when there are none) on a canvas of the layout's size.
void drawCircuitPicture(Canvas& canvas, const CircuitPictureLayout& layout, std::span<const TGATE1> list, int count);

// Writes gates 1..count of `list` as an SVG picture laid out by `view`, whose
// area is stretched downwards to hold every band; each gate is one <g> element
// with id "gate-<number>". A circuit with no gates gives one band of empty
// wires. Returns false, writing nothing, when not one column fits at this zoom
// or the picture would be too tall to lay out.
bool writeCircuitPicture(const DrawingView& view, std::span<const TGATE1> list, int count, std::ostream& out);

// The whole circuit of the workspace as the window shows it (zoom, selected
// gate, contraction), from gate 1.
bool writeCircuitPicture(const Workspace& ws, const Presentation& ui, std::ostream& out);

// Writes a laid-out picture of gates of `list` up to `count` as SVG.
void writeCircuitPicture(const CircuitPictureLayout& layout, std::span<const TGATE1> list, int count,
                         std::ostream& out);
