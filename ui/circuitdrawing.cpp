#include "ui/circuitdrawing.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string>

#include "platform/canvas.h"
#include "platform/presentation.h"

namespace {

constexpr int gridRows = 5;
constexpr int gridColumns = 500;

constexpr char zoomTooLargeLine[] = "This ZOOM don't allow any gates to fit in, so I stop drawing the circuit.";
constexpr char noGateLine[] = "Procedure is asking for drawing of the non-existing gate, so I stop drawing the circuit.";

// Nearest integer with halves to even, whatever the floating-point rounding mode.
int nearest(double v)
{
    double rounded = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5)
        rounded = 2.0 * std::round(v / 2.0);
    return static_cast<int>(rounded);
}

// Flags of the columns of one band that already hold a gate, per qubit row.
struct OccupancyGrid {
    std::array<std::array<bool, gridColumns + 1>, gridRows + 1> flags{};

    void clear(int columns)
    {
        for (auto& row : flags)
            std::fill(row.begin(), row.begin() + columns + 1, false);
    }
};

// The qubit rows lo..hi that a gate's vertical line spans.
struct Span {
    int lo = 0;
    int hi = 0;
};

int controlCount(const TGATE1& gate) { return std::min<int>(gate.type, 4); }

Span qubitSpan(const TGATE1& gate)
{
    Span span{gate.target, gate.target};
    for (int i = 1; i <= controlCount(gate); ++i) {
        span.lo = std::min<int>(span.lo, gate.controls[i]);
        span.hi = std::max<int>(span.hi, gate.controls[i]);
    }
    return span;
}

// Whether the gate may move from column c to c - 1; marks its span in column c
// when it may not. Rows outside the grid never let a gate move.
bool canMoveLeft(OccupancyGrid& grid, int c, Span span)
{
    const bool insideGrid = span.lo >= 1 && span.hi <= gridRows;
    bool free = c > 1 && insideGrid;
    for (int k = span.lo; free && k <= span.hi; ++k)
        free = !grid.flags[k][c - 1];
    if (free)
        return true;
    for (int k = std::max(span.lo, 1); k <= std::min(span.hi, gridRows); ++k)
        grid.flags[k][c] = true;
    return false;
}

const char* gateLetter(const TMATICA2& u)
{
    const Complex zero{0.0, 0.0};
    const Complex one{1.0, 0.0};
    const char* letter = "U";
    if (isDiagonal2(u)) {
        letter = "D";
        if (fuzzyEqual(u.u11, u.u22))
            letter = "P";
        if (fuzzyEqual(u.u11, one))
            letter = "E";
        if (fuzzyEqual(u.u22, one))
            letter = "F";
    }
    if (fuzzyEqual(u.u11, zero) && fuzzyEqual(u.u22, zero))
        letter = "A";
    return letter;
}

class GatePainter {
public:
    GatePainter(Canvas& canvas, const DrawingView& view) : canvas_(canvas), view_(view) {}

    // Draws gate number g centred on the vertical line x of the band whose top is `top`.
    void draw(int x, int top, const TGATE1& gate, int g)
    {
        const Rgb colour = gate.removed ? red : black;
        int minQ = gate.target;
        int maxQ = gate.target;
        const int r6 = scaled(6);
        if (gate.type >= 1) {
            canvas_.setBrushColor(colour);
            canvas_.setPenColor(colour);
            for (int i = 1; i <= controlCount(gate); ++i) {
                const int q = gate.controls[i];
                minQ = std::min(minQ, q);
                maxQ = std::max(maxQ, q);
                canvas_.ellipse(x - r6, wireOffset(top, q, -6), x + r6, wireOffset(top, q, 6));
            }
            canvas_.moveTo(x, wireOffset(top, minQ, 0));
            canvas_.lineTo(x, wireOffset(top, maxQ, 0));
        }
        if (g == view_.selectedGate) {
            const int r18 = scaled(18);
            const int yA = wireOffset(top, minQ, -18);
            const int yB = wireOffset(top, maxQ, 18);
            canvas_.setPenWidth(2);
            canvas_.setPenColor(blue);
            canvas_.moveTo(x - r18, yA);
            canvas_.lineTo(x + r18, yA);
            canvas_.lineTo(x + r18, yB);
            canvas_.lineTo(x - r18, yB);
            canvas_.lineTo(x - r18, yA);
            canvas_.setPenWidth(1);
        }
        canvas_.setPenColor(colour);
        canvas_.setBrushColor(white);

        const int t = gate.target;
        if (matEqual2(gate.u, view_.pauliX, view_.tolerance)) {
            const int r10 = scaled(10);
            canvas_.ellipse(x - r10, wireOffset(top, t, -10), x + r10, wireOffset(top, t, 10));
            canvas_.moveTo(x, wireOffset(top, t, -10));
            canvas_.lineTo(x, wireOffset(top, t, 10));
            canvas_.moveTo(x - r10, wireOffset(top, t, 0));
            canvas_.lineTo(x + r10, wireOffset(top, t, 0));
            return;
        }
        if (matEqual2(gate.u, view_.pauliZ, view_.tolerance)) {
            canvas_.rectangle(x - r6, wireOffset(top, t, -6), x + r6, wireOffset(top, t, 6));
            if (gate.type == 1) {
                const int q = gate.controls[1];
                canvas_.rectangle(x - r6, wireOffset(top, q, -6), x + r6, wireOffset(top, q, 6));
            }
            return;
        }
        const int r12 = scaled(12);
        canvas_.setFontHeight(scaled(20));
        canvas_.setFontColor(colour);
        canvas_.rectangle(x - r12, wireOffset(top, t, -12), x + r12, wireOffset(top, t, 12));
        canvas_.textOut(x - r6, wireOffset(top, t, -10), gateLetter(gate.u));
    }

private:
    int scaled(int d) const { return nearest(d * view_.zoom); }
    // Offsets from a wire are rounded together with the wire's own position.
    int wireOffset(int top, int qubit, int d) const { return top + nearest((40 * qubit + d) * view_.zoom); }

    Canvas& canvas_;
    const DrawingView& view_;
};

int bandTop(const DrawingView& view, const BandLayout& layout, int b)
{
    return view.area.Top + (b - 1) * layout.bandHeight;
}

int labelY(const DrawingView& view, const BandLayout& layout, int b)
{
    return bandTop(view, layout, b) + nearest((view.qubitCount + 0.8) * 40 * view.zoom);
}

int labelFontHeight(const DrawingView& view) { return nearest(20 * view.zoom); }

int columnX(const DrawingView& view, int c) { return view.area.Left + nearest(36 * c * view.zoom); }

void writeBandLabel(Canvas& canvas, const DrawingView& view, const BandLayout& layout, int b, int gate)
{
    canvas.setFontHeight(labelFontHeight(view));
    canvas.textOut(view.area.Left, labelY(view, layout, b), std::to_string(gate));
}

// Two decimals with a point whatever the locale, right-aligned in four characters.
std::string zoomText(double zoom)
{
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), zoom, std::chars_format::fixed, 2);
    std::string text(buffer.data(), result.ptr);
    if (text.size() < 4)
        text.insert(0, 4 - text.size(), ' ');
    return text;
}

void showSelectedGateMatrix(const DrawingView& view, Presentation& ui, std::span<const TGATE1> list)
{
    const int g = view.selectedGate;
    const bool shown = g >= 1 && static_cast<std::size_t>(g) < list.size();
    if (!shown) {
        for (Label label : {Label::Label12, Label::Label13, Label::Label14, Label::Label15})
            ui.setLabelText(label, "");
        return;
    }
    const TMATICA2& u = list[static_cast<std::size_t>(g)].u;
    ui.setLabelText(Label::Label12, complexToText(u.u11, 4));
    ui.setLabelText(Label::Label13, complexToText(u.u12, 4));
    ui.setLabelText(Label::Label14, complexToText(u.u21, 4));
    ui.setLabelText(Label::Label15, complexToText(u.u22, 4));
}

}  // namespace

BandLayout bandLayout(const DrawingView& view)
{
    // Beyond these bounds the integer layout would overflow; nothing fits anyway.
    if (!std::isfinite(view.zoom) || view.zoom <= 0.0 || view.zoom > 1000.0 || view.qubitCount < 1 ||
        view.qubitCount > 64)
        return {};
    BandLayout layout;
    layout.bandHeight = nearest((view.qubitCount + 2) * 40 * view.zoom);
    if (layout.bandHeight >= 1)
        layout.bandCount = std::max(0, (view.area.Bottom - view.area.Top) / layout.bandHeight);
    const double columns = std::trunc((view.area.Right - view.area.Left) / (36 * view.zoom)) - 1;
    layout.gatesPerBand = static_cast<int>(std::clamp(columns, 0.0, static_cast<double>(gridColumns)));
    return layout;
}

DrawingView windowDrawingView(const Workspace& ws, const Presentation& ui)
{
    DrawingView view;
    view.qubitCount = ws.qubitCount;
    view.zoom = ws.zoom;
    view.area = ws.drawArea;
    view.selectedGate = ws.selectedGate;
    view.contraction = ui.isChecked(Setting::Zuzeniezobrazenia1);
    view.pauliX = ws.pauliX;
    view.pauliZ = ws.pauliZ;
    view.tolerance = ws.tolerance;
    return view;
}

void drawEmptyBands(Canvas& canvas, const DrawingView& view, const BandLayout& layout)
{
    const DrawArea& area = view.area;
    canvas.setBrushColor(white);
    canvas.setPenColor(black);
    canvas.fillRect(area.Left, area.Top, area.Right, area.Bottom);
    for (int b = 1; b <= layout.bandCount; ++b) {
        for (int k = 1; k <= view.qubitCount; ++k) {
            const int y = bandTop(view, layout, b) + nearest(40 * k * view.zoom);
            canvas.moveTo(area.Left, y);
            canvas.lineTo(area.Right, y);
        }
    }
}

DrawResult drawGatesOn(Canvas& canvas, const DrawingView& view, std::span<const TGATE1> list, int from, int to)
{
    const BandLayout layout = bandLayout(view);
    if (layout.bandHeight < 1 || view.area.Bottom - view.area.Top < layout.bandHeight || layout.gatesPerBand < 1)
        return {DrawOutcome::zoomTooLarge, 0, 0};
    // Slot 0 and slots past the end of the list hold no gate.
    const int lastInList = static_cast<int>(std::min<std::size_t>(list.size(), maxGates + 1)) - 1;
    const int last = std::min(to, lastInList);
    if (from < 1 || from > last)
        return {DrawOutcome::noGateInRange, 0, 0};

    drawEmptyBands(canvas, view, layout);
    OccupancyGrid grid;
    grid.clear(layout.gatesPerBand);
    writeBandLabel(canvas, view, layout, 1, from);

    GatePainter painter(canvas, view);
    std::string groupId;
    int g = from;
    int b = 1;
    int used = 0;
    bool stop = false;
    do {
        const TGATE1& gate = list[static_cast<std::size_t>(g)];
        int c = used + 1;
        if (view.contraction) {
            const Span span = qubitSpan(gate);
            while (canMoveLeft(grid, c, span))
                --c;
        }
        groupId = "gate-" + std::to_string(g);
        canvas.beginGroup(groupId);
        painter.draw(columnX(view, c), bandTop(view, layout, b), gate, g);
        canvas.endGroup();
        ++g;
        if (c == used + 1)
            ++used;
        if (used == layout.gatesPerBand) {
            ++b;
            grid.clear(layout.gatesPerBand);
            writeBandLabel(canvas, view, layout, b, g);  // also when band b no longer fits
            used = 0;
        }
        if (b > layout.bandCount)
            stop = true;
    } while (g <= last && !stop);

    const int bandsUsed = used == 0 ? b - 1 : b;
    return {DrawOutcome::drawn, g - 1, bandsUsed, labelY(view, layout, bandsUsed), labelFontHeight(view)};
}

void drawCircuit(const Workspace& ws, Presentation& ui, std::span<const TGATE1> list, int from, int to)
{
    const DrawingView view = windowDrawingView(ws, ui);
    const DrawResult result = drawGatesOn(ui.canvas(), view, list, from, to);
    if (result.outcome == DrawOutcome::zoomTooLarge) {
        ui.appendLog(zoomTooLargeLine);
        return;
    }
    if (result.outcome == DrawOutcome::noGateInRange) {
        ui.appendLog(noGateLine);
        return;
    }
    ui.setLowestLabel(result.lowestLabelY, result.labelFontHeight);
    ui.setLabelText(Label::Label7, zoomText(view.zoom));
    ui.setLabelText(Label::Label3, std::to_string(from));
    ui.setLabelText(Label::Label5, std::to_string(result.lastDrawn));
    showSelectedGateMatrix(view, ui, list);
}
