#include "ui/circuitpicture.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "platform/canvas.h"
#include "platform/nullcanvas.h"
#include "platform/svgcanvas.h"
#include "workspace/workspace.h"

namespace {

// The view with its area `bands` bands tall; false when that overflows the pixel range.
bool stretchToBands(DrawingView& view, const BandLayout& layout, std::int64_t bands)
{
    const std::int64_t bottom = view.area.Top + bands * layout.bandHeight;
    // Leave room for the label written below the last band and for the margin.
    if (bottom > std::numeric_limits<int>::max() / 2)
        return false;
    view.area.Bottom = static_cast<int>(bottom);
    return true;
}

}  // namespace

namespace {

int gatesInList(std::span<const TGATE1> list, int count)
{
    const int lastInList = static_cast<int>(std::min<std::size_t>(list.size(), maxGates + 1)) - 1;
    return std::clamp(count, 0, lastInList);
}

CircuitPictureLayout sizedLayout(const DrawingView& tall)
{
    return {tall, tall.area.Right + tall.area.Left, tall.area.Bottom + tall.area.Top};
}

}  // namespace

std::optional<CircuitPictureLayout> circuitPictureLayout(const DrawingView& view, std::span<const TGATE1> list,
                                                         int count)
{
    const BandLayout layout = bandLayout(view);
    if (layout.bandHeight < 1 || layout.gatesPerBand < 1)
        return std::nullopt;
    count = gatesInList(list, count);

    DrawingView tall = view;
    if (count == 0) {
        if (!stretchToBands(tall, layout, 1))
            return std::nullopt;
        return sizedLayout(tall);
    }

    // Every band holds at least gatesPerBand gates (each column at least one),
    // so this many bands hold them all; contraction may need fewer.
    const std::int64_t mostBands = (count + layout.gatesPerBand - 1) / layout.gatesPerBand;
    if (!stretchToBands(tall, layout, mostBands))
        return std::nullopt;
    NullCanvas counter;
    const DrawResult trial = drawGatesOn(counter, tall, list, 1, count);
    if (trial.outcome != DrawOutcome::drawn || trial.lastDrawn != count ||
        !stretchToBands(tall, layout, trial.bandsUsed))
        return std::nullopt;
    return sizedLayout(tall);
}

CircuitPictureLayout shownGatesPictureLayout(const DrawingView& view, int from)
{
    CircuitPictureLayout layout = sizedLayout(view);
    layout.firstGate = std::max(1, from);
    return layout;
}

void drawCircuitPicture(Canvas& canvas, const CircuitPictureLayout& layout, std::span<const TGATE1> list, int count)
{
    count = gatesInList(list, count);
    if (count < layout.firstGate) {
        drawEmptyBands(canvas, layout.view, bandLayout(layout.view));
        return;
    }
    drawGatesOn(canvas, layout.view, list, layout.firstGate, count);
}

void writeCircuitPicture(const CircuitPictureLayout& layout, std::span<const TGATE1> list, int count,
                         std::ostream& out)
{
    SvgCanvas svg(out, layout.width, layout.height);
    drawCircuitPicture(svg, layout, list, count);
}

bool writeCircuitPicture(const DrawingView& view, std::span<const TGATE1> list, int count, std::ostream& out)
{
    const auto layout = circuitPictureLayout(view, list, count);
    if (!layout)
        return false;
    writeCircuitPicture(*layout, list, count, out);
    return true;
}

bool writeCircuitPicture(const Workspace& ws, const Presentation& ui, std::ostream& out)
{
    return writeCircuitPicture(windowDrawingView(ws, ui), ws.gates, ws.pocetb1, out);
}
