#include "ui/circuitdrawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/headlesspresentation.h"
#include "workspace/workspace.h"

namespace {

const Complex zero{0.0, 0.0};
const Complex one{1.0, 0.0};
const Complex i1{0.0, 1.0};

TMATICA2 diag(Complex a, Complex d) { return {a, zero, zero, d}; }
const TMATICA2 notMatrix{zero, one, one, zero};
const TMATICA2 zMatrix{one, zero, zero, {-1.0, 0.0}};
const TMATICA2 hadamard{{0.7071067811865476, 0}, {0.7071067811865476, 0}, {0.7071067811865476, 0},
                        {-0.7071067811865476, 0}};

TGATE1 makeGate(const TMATICA2& u, int target, std::initializer_list<int> controls = {}, bool removed = false)
{
    TGATE1 gate;
    gate.u = u;
    gate.target = static_cast<std::uint8_t>(target);
    gate.removed = removed ? 1 : 0;
    int i = 0;
    for (int c : controls)
        gate.controls[++i] = static_cast<std::uint8_t>(c);
    gate.type = static_cast<std::uint8_t>(i);
    return gate;
}

// A primitive as it lands on the surface, with the drawing state in force.
struct Shape {
    CanvasOpKind kind;
    int x1, y1, x2, y2;  // lines: from (x1, y1) to (x2, y2)
    Rgb pen, brush, font;
    int penWidth;
    int fontHeight;
    std::string text;
    friend bool operator==(const Shape&, const Shape&) = default;
};

// Replays the recorded operations the way a surface would.
std::vector<Shape> replay(const std::vector<CanvasOp>& ops)
{
    std::vector<Shape> shapes;
    Rgb pen = black, brush = white, font = black;
    int penWidth = 1, fontHeight = 0, penX = 0, penY = 0;
    for (const CanvasOp& op : ops) {
        switch (op.kind) {
        case CanvasOpKind::penColor: pen = op.color; break;
        case CanvasOpKind::penWidth: penWidth = op.a; break;
        case CanvasOpKind::brushColor: brush = op.color; break;
        case CanvasOpKind::fontColor: font = op.color; break;
        case CanvasOpKind::fontHeight: fontHeight = op.a; break;
        case CanvasOpKind::moveTo:
            penX = op.a;
            penY = op.b;
            break;
        case CanvasOpKind::lineTo:
            shapes.push_back({op.kind, penX, penY, op.a, op.b, pen, brush, font, penWidth, fontHeight, {}});
            penX = op.a;
            penY = op.b;
            break;
        default:
            shapes.push_back({op.kind, op.a, op.b, op.c, op.d, pen, brush, font, penWidth, fontHeight, op.text});
        }
    }
    return shapes;
}

class CircuitDrawing : public ::testing::Test {
protected:
    HeadlessPresentation ui;
    std::unique_ptr<Workspace> ws = createWorkspace(ui);

    void SetUp() override { ui.Zuzeniezobrazenia1 = false; }

    void setCircuit(std::initializer_list<TGATE1> gates)
    {
        ws->pocetb1 = 0;
        for (const TGATE1& gate : gates)
            ws->gates[static_cast<std::size_t>(++ws->pocetb1)] = gate;
    }

    void repeatGate(const TGATE1& gate, int count)
    {
        for (int g = 1; g <= count; ++g)
            ws->gates[static_cast<std::size_t>(g)] = gate;
        ws->pocetb1 = count;
    }

    std::vector<Shape> draw(int from = 1)
    {
        ui.recordingCanvas.ops.clear();
        drawCircuit(*ws, ui, ws->gates, from, ws->pocetb1);
        return replay(ui.recordingCanvas.ops);
    }

    static std::vector<Shape> only(const std::vector<Shape>& shapes, CanvasOpKind kind)
    {
        std::vector<Shape> result;
        std::copy_if(shapes.begin(), shapes.end(), std::back_inserter(result),
                     [&](const Shape& s) { return s.kind == kind; });
        return result;
    }

    // Texts written at (x, y), in order.
    static std::vector<std::string> textsAt(const std::vector<Shape>& shapes, int x, int y)
    {
        std::vector<std::string> result;
        for (const Shape& s : only(shapes, CanvasOpKind::textOut))
            if (s.x1 == x && s.y1 == y)
                result.push_back(s.text);
        return result;
    }

    // The x of every letter box, in drawing order.
    static std::vector<int> boxCentres(const std::vector<Shape>& shapes)
    {
        std::vector<int> result;
        for (const Shape& s : only(shapes, CanvasOpKind::rectangle))
            result.push_back((s.x1 + s.x2) / 2);
        return result;
    }
};

TEST_F(CircuitDrawing, TwoQubitBandsAtDefaultZoomFollowTheLayoutFormulas)
{
    repeatGate(makeGate(identityMatrix2(), 1), 100);
    const auto shapes = draw();

    ASSERT_FALSE(shapes.empty());
    EXPECT_EQ(shapes[0], (Shape{CanvasOpKind::fillRect, 10, 10, 1000, 750, black, white, black, 1, 0, {}}));

    // Three bands of 200 pixels, wires 40 * 1.25 apart.
    std::vector<int> wireYs;
    for (const Shape& s : only(shapes, CanvasOpKind::lineTo)) {
        EXPECT_EQ(s.x1, 10);
        EXPECT_EQ(s.x2, 1000);
        EXPECT_EQ(s.y1, s.y2);
        wireYs.push_back(s.y1);
    }
    EXPECT_EQ(wireYs, (std::vector<int>{60, 110, 260, 310, 460, 510}));

    // 21 columns of 45 pixels per band; only the 63 gates of three bands are drawn.
    const auto boxes = only(shapes, CanvasOpKind::rectangle);
    ASSERT_EQ(boxes.size(), 63u);
    EXPECT_EQ(boxes[0], (Shape{CanvasOpKind::rectangle, 40, 45, 70, 75, black, white, black, 1, 25, {}}));
    EXPECT_EQ(boxes[20].x1, 955 - 15);
    EXPECT_EQ(boxes[21].x1, 40);
    EXPECT_EQ(boxes[21].y1, 245);
    EXPECT_EQ(boxes[62].y1, 445);

    // The letter of column 1 sits at nearest(7.5) = 8 left of the line, 37.5 -> 38 below the top.
    EXPECT_EQ(textsAt(shapes, 47, 48), (std::vector<std::string>{"F"}));

    // Band labels with the number of each band's first gate; the fourth is written below the area.
    EXPECT_EQ(textsAt(shapes, 10, 150), (std::vector<std::string>{"1"}));
    EXPECT_EQ(textsAt(shapes, 10, 350), (std::vector<std::string>{"22"}));
    EXPECT_EQ(textsAt(shapes, 10, 550), (std::vector<std::string>{"43"}));
    EXPECT_EQ(textsAt(shapes, 10, 750), (std::vector<std::string>{"64"}));

    EXPECT_EQ(ui.labelText(Label::Label7), "1.25");
    EXPECT_EQ(ui.labelText(Label::Label3), "1");
    EXPECT_EQ(ui.labelText(Label::Label5), "63");
}

TEST_F(CircuitDrawing, ZoomChangesColumnsBandsAndTheZoomCaption)
{
    ws->zoom = 1.0;
    const BandLayout unit = bandLayout(windowDrawingView(*ws, ui));
    EXPECT_EQ(unit.bandHeight, 160);
    EXPECT_EQ(unit.bandCount, 4);
    EXPECT_EQ(unit.gatesPerBand, 26);

    repeatGate(makeGate(hadamard, 2), 200);
    auto shapes = draw();
    EXPECT_EQ(textsAt(shapes, 10, 10 + 160 + 112), (std::vector<std::string>{"27"}));
    EXPECT_EQ(ui.labelText(Label::Label5), "104");
    EXPECT_EQ(ui.labelText(Label::Label7), "1.00");

    ws->zoom = 0.45;
    const BandLayout small = bandLayout(windowDrawingView(*ws, ui));
    EXPECT_EQ(small.bandHeight, 72);
    EXPECT_EQ(small.bandCount, 10);
    EXPECT_EQ(small.gatesPerBand, 60);
    draw(150);
    EXPECT_EQ(ui.labelText(Label::Label7), "0.45");
    EXPECT_EQ(ui.labelText(Label::Label3), "150");
    EXPECT_EQ(ui.labelText(Label::Label5), "200");

    // Five qubits at the largest zoom still fit one band of 560 pixels.
    ws->qubitCount = 5;
    ws->zoom = 2.0;
    const BandLayout large = bandLayout(windowDrawingView(*ws, ui));
    EXPECT_EQ(large.bandHeight, 560);
    EXPECT_EQ(large.bandCount, 1);
    EXPECT_EQ(large.gatesPerBand, 12);
}

TEST_F(CircuitDrawing, LettersFollowTheMatrixShape)
{
    const Complex minusOne{-1.0, 0.0};
    struct Case {
        TMATICA2 u;
        const char* letter;
    };
    const Case cases[] = {
        {identityMatrix2(), "F"},
        {diag(i1, i1), "P"},
        {diag(minusOne, minusOne), "P"},
        {diag(one, i1), "E"},
        {diag(i1, one), "F"},
        {diag(i1, minusOne), "D"},
        {{zero, i1, i1, zero}, "A"},
        {{zero, one, minusOne, zero}, "A"},
        {hadamard, "U"},
        // Off-diagonal entries within the fuzzy equality still count as zero.
        {{one, {1e-13, 0}, zero, i1}, "E"},
    };
    for (const Case& c : cases) {
        setCircuit({makeGate(c.u, 2)});
        const auto shapes = draw();
        // Target 2: top + nearest(70 * 1.25) = 10 + 88.
        EXPECT_EQ(textsAt(shapes, 47, 98), (std::vector<std::string>{c.letter})) << c.letter;
    }
}

TEST_F(CircuitDrawing, NotAndZGlyphsReplaceTheLetterBox)
{
    // A CNOT: filled dot on the control, vertical line, NOT circle with its cross.
    setCircuit({makeGate(notMatrix, 2, {1})});
    auto shapes = draw();
    auto ellipses = only(shapes, CanvasOpKind::ellipse);
    ASSERT_EQ(ellipses.size(), 2u);
    EXPECT_EQ(ellipses[0], (Shape{CanvasOpKind::ellipse, 47, 52, 63, 68, black, black, black, 1, 25, {}}));
    // nearest(12.5) and nearest(62.5 + ...) round to even: r10 = 12.
    EXPECT_EQ(ellipses[1], (Shape{CanvasOpKind::ellipse, 43, 98, 67, 122, black, white, black, 1, 25, {}}));
    auto lines = only(shapes, CanvasOpKind::lineTo);
    ASSERT_EQ(lines.size(), 6u + 3u);  // the wires of three bands, then the gate
    EXPECT_EQ(lines[6], (Shape{CanvasOpKind::lineTo, 55, 60, 55, 110, black, black, black, 1, 25, {}}));
    EXPECT_EQ(lines[7], (Shape{CanvasOpKind::lineTo, 55, 98, 55, 122, black, white, black, 1, 25, {}}));
    EXPECT_EQ(lines[8], (Shape{CanvasOpKind::lineTo, 43, 110, 67, 110, black, white, black, 1, 25, {}}));
    EXPECT_EQ(only(shapes, CanvasOpKind::rectangle).size(), 0u);
    EXPECT_EQ(textsAt(shapes, 47, 98).size(), 0u);

    // Within the tolerance is still a NOT.
    TMATICA2 nearlyNot = notMatrix;
    nearlyNot.u12.re += 1e-9;
    setCircuit({makeGate(nearlyNot, 1)});
    shapes = draw();
    EXPECT_EQ(only(shapes, CanvasOpKind::ellipse).size(), 1u);
    EXPECT_EQ(only(shapes, CanvasOpKind::rectangle).size(), 0u);

    // A controlled Z: the square is drawn on the target and again over the control's dot.
    setCircuit({makeGate(zMatrix, 2, {1})});
    shapes = draw();
    auto squares = only(shapes, CanvasOpKind::rectangle);
    ASSERT_EQ(squares.size(), 2u);
    EXPECT_EQ(squares[0], (Shape{CanvasOpKind::rectangle, 47, 102, 63, 118, black, white, black, 1, 25, {}}));
    EXPECT_EQ(squares[1], (Shape{CanvasOpKind::rectangle, 47, 52, 63, 68, black, white, black, 1, 25, {}}));

    // With two controls only the target gets a square.
    ws->qubitCount = 3;
    setCircuit({makeGate(zMatrix, 3, {1, 2})});
    shapes = draw();
    EXPECT_EQ(only(shapes, CanvasOpKind::rectangle).size(), 1u);
    EXPECT_EQ(only(shapes, CanvasOpKind::ellipse).size(), 2u);
}

TEST_F(CircuitDrawing, GlyphOffsetsAreRoundedTogetherWithTheirWire)
{
    // At zoom 1.07 the wire of qubit 1 lies at 10 + nearest(42.8) = 53, but the top of
    // its dot at 10 + nearest(34 * 1.07) = 46, not 53 - nearest(6.42) = 47.
    ws->zoom = 1.07;
    setCircuit({makeGate(notMatrix, 2, {1})});
    const auto shapes = draw();
    const auto ellipses = only(shapes, CanvasOpKind::ellipse);
    ASSERT_EQ(ellipses.size(), 2u);
    EXPECT_EQ(ellipses[0].x1, 49 - 6);
    EXPECT_EQ(ellipses[0].y1, 46);
    EXPECT_EQ(ellipses[0].x2, 49 + 6);
    EXPECT_EQ(ellipses[0].y2, 59);
    EXPECT_EQ(only(shapes, CanvasOpKind::lineTo)[0].y1, 53);
}

TEST_F(CircuitDrawing, RemovedGatesAreRedInEveryPart)
{
    setCircuit({makeGate(notMatrix, 2, {1}, true), makeGate(hadamard, 1, {2}, true), makeGate(hadamard, 1)});
    const auto shapes = draw();

    const auto ellipses = only(shapes, CanvasOpKind::ellipse);
    ASSERT_EQ(ellipses.size(), 3u);
    EXPECT_EQ(ellipses[0].pen, red);    // dot
    EXPECT_EQ(ellipses[0].brush, red);
    EXPECT_EQ(ellipses[1].pen, red);    // NOT circle
    EXPECT_EQ(ellipses[1].brush, white);
    EXPECT_EQ(ellipses[2].brush, red);  // dot of the second gate

    int redLines = 0;
    for (const Shape& line : only(shapes, CanvasOpKind::lineTo)) {
        const bool wire = line.x1 == 10 && line.x2 == 1000;
        EXPECT_EQ(line.pen, wire ? black : red) << line.x1 << "," << line.y1;
        redLines += line.pen == red;
    }
    EXPECT_EQ(redLines, 4);  // two vertical lines and the NOT cross

    const auto boxes = only(shapes, CanvasOpKind::rectangle);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].pen, red);
    EXPECT_EQ(boxes[1].pen, black);  // the third gate belongs to the circuit
    const auto redLetter = textsAt(shapes, 100 - 8, 48);
    ASSERT_EQ(redLetter, (std::vector<std::string>{"U"}));
    for (const Shape& text : only(shapes, CanvasOpKind::textOut)) {
        if (text.x1 == 92) {
            EXPECT_EQ(text.font, red);
        }
        if (text.x1 == 137) {
            EXPECT_EQ(text.font, black);
        }
    }
}

TEST_F(CircuitDrawing, SelectedGateGetsABlueFrameAndShowsItsMatrix)
{
    const TMATICA2 u{{0.6, 0}, {0, 0.8}, {0, -0.8}, {-0.6, 0}};
    setCircuit({makeGate(hadamard, 1), makeGate(notMatrix, 2, {1}), makeGate(u, 1)});
    ws->selectedGate = 2;
    const auto shapes = draw();

    std::vector<Shape> frame;
    for (const Shape& s : only(shapes, CanvasOpKind::lineTo))
        if (s.pen == blue)
            frame.push_back(s);
    // Column 2 at x = 100, r18 = nearest(22.5) = 22; qubits 1..2: 27.5 -> 28 and 122.5 -> 122.
    ASSERT_EQ(frame.size(), 4u);
    const int xs[] = {78, 122, 122, 78};
    const int ys[] = {38, 38, 132, 132};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(frame[k].penWidth, 2);
        EXPECT_EQ(frame[k].x1, xs[k]);
        EXPECT_EQ(frame[k].y1, ys[k]);
        EXPECT_EQ(frame[k].x2, xs[(k + 1) % 4]);
        EXPECT_EQ(frame[k].y2, ys[(k + 1) % 4]);
    }
    // Everything after the frame is drawn with width 1 again.
    const auto last = only(shapes, CanvasOpKind::lineTo).back();
    EXPECT_EQ(last.penWidth, 1);
    EXPECT_EQ(last.pen, black);

    EXPECT_EQ(ui.labelText(Label::Label12), "");
    EXPECT_EQ(ui.labelText(Label::Label13), "1.0000");
    EXPECT_EQ(ui.labelText(Label::Label14), "1.0000");
    EXPECT_EQ(ui.labelText(Label::Label15), "");

    ws->selectedGate = 3;
    draw();
    EXPECT_EQ(ui.labelText(Label::Label12), "0.6000");
    EXPECT_EQ(ui.labelText(Label::Label13), "0.8000i");
    EXPECT_EQ(ui.labelText(Label::Label14), "-0.8000i");
    EXPECT_EQ(ui.labelText(Label::Label15), "-0.6000");

    ws->selectedGate = 0;
    const auto unframed = draw();
    EXPECT_EQ(ui.labelText(Label::Label13), "");
    EXPECT_EQ(ui.labelText(Label::Label15), "");
    for (const Shape& s : unframed)
        EXPECT_NE(s.pen, blue);
}

TEST_F(CircuitDrawing, SelectedGateBeyondAShortListLeavesTheMatrixLabelsEmpty)
{
    std::array<TGATE1, 2> shortList{};
    shortList[1] = makeGate(hadamard, 1);
    ws->selectedGate = 5;
    ui.setLabelText(Label::Label12, "stale");
    drawCircuit(*ws, ui, shortList, 1, 1);
    EXPECT_EQ(ui.labelText(Label::Label12), "");
    EXPECT_EQ(ui.labelText(Label::Label5), "1");

    // A range past the end of the list stops at its last slot.
    ui.recordingCanvas.ops.clear();
    drawCircuit(*ws, ui, shortList, 1, 7);
    EXPECT_EQ(ui.labelText(Label::Label5), "1");
    EXPECT_EQ(only(replay(ui.recordingCanvas.ops), CanvasOpKind::rectangle).size(), 1u);
}

TEST_F(CircuitDrawing, ContractionPacksGatesIntoFreeColumnsOnly)
{
    ui.Zuzeniezobrazenia1 = true;
    setCircuit({makeGate(hadamard, 1), makeGate(hadamard, 2)});
    EXPECT_EQ(boxCentres(draw()), (std::vector<int>{55, 55}));

    ui.Zuzeniezobrazenia1 = false;
    EXPECT_EQ(boxCentres(draw()), (std::vector<int>{55, 100}));

    // A gate spanning qubits 1..3 stops right of a gate on qubit 2, and a later gate
    // on qubit 1 cannot slide under it into column 1.
    ui.Zuzeniezobrazenia1 = true;
    ws->qubitCount = 3;
    setCircuit({makeGate(hadamard, 2), makeGate(hadamard, 3, {1}), makeGate(hadamard, 1)});
    EXPECT_EQ(boxCentres(draw()), (std::vector<int>{55, 100, 145}));

    // Moving several columns at once.
    setCircuit({makeGate(hadamard, 1), makeGate(hadamard, 1), makeGate(hadamard, 1), makeGate(hadamard, 3),
                makeGate(hadamard, 2, {3})});
    EXPECT_EQ(boxCentres(draw()), (std::vector<int>{55, 100, 145, 55, 100}));

    // Removed gates occupy space like the others.
    setCircuit({makeGate(hadamard, 1, {}, true), makeGate(hadamard, 1)});
    EXPECT_EQ(boxCentres(draw()), (std::vector<int>{55, 100}));
}

TEST_F(CircuitDrawing, ContractionWrapsBandsByColumnsUsed)
{
    ui.Zuzeniezobrazenia1 = true;
    ws->pocetb1 = 0;
    for (int g = 1; g <= 100; ++g)
        ws->gates[static_cast<std::size_t>(++ws->pocetb1)] = makeGate(hadamard, 1 + g % 2);
    const auto shapes = draw();
    // Pairs share a column, but the band wraps as soon as gate 41 opens column 21,
    // before gate 42 could join it.
    EXPECT_EQ(textsAt(shapes, 10, 350), (std::vector<std::string>{"42"}));
    EXPECT_EQ(textsAt(shapes, 10, 550), (std::vector<std::string>{"83"}));
    EXPECT_EQ(ui.labelText(Label::Label5), "100");
    // The grid starts empty in each band: gates 42 and 43 share column 1 of band 2.
    const auto boxes = only(shapes, CanvasOpKind::rectangle);
    ASSERT_EQ(boxes.size(), 100u);
    EXPECT_EQ(boxes[40].x1, 940);
    EXPECT_EQ(boxes[41].x1, 40);
    EXPECT_EQ(boxes[41].y1, 210 + 35);
    EXPECT_EQ(boxes[42].x1, 40);
    EXPECT_EQ(boxes[42].y1, 210 + 85);
}

TEST_F(CircuitDrawing, ContractionWithSixQubitsStaysInsideTheGrid)
{
    ui.Zuzeniezobrazenia1 = true;
    ws->qubitCount = 6;
    setCircuit({makeGate(hadamard, 6), makeGate(hadamard, 6), makeGate(hadamard, 5, {6}), makeGate(hadamard, 1),
                makeGate(hadamard, 2)});
    // Gates that reach qubit 6 never slide, so they never overlap.
    EXPECT_EQ(boxCentres(draw()), (std::vector<int>{55, 100, 145, 55, 55}));
    EXPECT_EQ(ui.labelText(Label::Label5), "5");
}

TEST_F(CircuitDrawing, RefusesTooLargeAZoomAndAnEmptyRangeWithoutDrawing)
{
    setCircuit({makeGate(hadamard, 1)});
    ui.setLabelText(Label::Label5, "before");

    ws->zoom = 4.0;  // a band of 640 pixels still fits
    draw();
    EXPECT_FALSE(ui.recordingCanvas.ops.empty());
    EXPECT_TRUE(ui.log.empty());

    ui.setLabelText(Label::Label5, "before");
    for (double zoom : {5.0, 0.0, -1.0}) {
        ws->zoom = zoom;
        draw();
        EXPECT_TRUE(ui.recordingCanvas.ops.empty()) << zoom;
    }
    EXPECT_EQ(ui.log, std::vector<std::string>(
                          3, "This ZOOM don't allow any gates to fit in, so I stop drawing the circuit."));
    EXPECT_EQ(ui.labelText(Label::Label5), "before");

    ui.log.clear();
    ws->zoom = 1.25;
    ws->pocetb1 = 0;
    draw();
    EXPECT_TRUE(ui.recordingCanvas.ops.empty());
    setCircuit({makeGate(hadamard, 1)});
    draw(0);  // slot 0 holds no gate
    EXPECT_TRUE(ui.recordingCanvas.ops.empty());
    EXPECT_EQ(ui.log, std::vector<std::string>(
                          2, "Procedure is asking for drawing of the non-existing gate, so I stop drawing the circuit."));
    EXPECT_EQ(ui.labelText(Label::Label5), "before");
}

TEST_F(CircuitDrawing, LongCircuitsCostOnlyTheGatesThatFit)
{
    ws->zoom = 0.45;
    repeatGate(makeGate(notMatrix, 2, {1}), 200000);
    draw();
    const auto longOps = ui.recordingCanvas.ops;
    EXPECT_EQ(ui.labelText(Label::Label5), "600");

    ws->pocetb1 = 600;
    draw();
    EXPECT_EQ(ui.recordingCanvas.ops.size(), longOps.size());
    EXPECT_TRUE(std::equal(longOps.begin(), longOps.end(), ui.recordingCanvas.ops.begin(),
                           [](const CanvasOp& a, const CanvasOp& b) {
                               return a.kind == b.kind && a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d &&
                                      a.color == b.color && a.text == b.text;
                           }));
}

}  // namespace
