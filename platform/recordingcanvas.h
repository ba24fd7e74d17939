#pragma once
// A canvas that records every operation, for tests and the headless program.

#include <string>
#include <vector>

#include "platform/canvas.h"

enum class CanvasOpKind {
    penColor, penWidth, brushColor, fontColor, fontHeight,
    fillRect, moveTo, lineTo, ellipse, rectangle, textOut,
};

struct CanvasOp {
    CanvasOpKind kind;
    int a = 0;  // x, x1, left, width, height
    int b = 0;  // y, y1, top
    int c = 0;  // x2, right
    int d = 0;  // y2, bottom
    Rgb color{};
    std::string text;
};

class RecordingCanvas : public Canvas {
public:
    std::vector<CanvasOp> ops;
    bool recording = true;

    void setPenColor(Rgb color) override { add({CanvasOpKind::penColor, 0, 0, 0, 0, color, {}}); }
    void setPenWidth(int width) override { add({CanvasOpKind::penWidth, width, 0, 0, 0, {}, {}}); }
    void setBrushColor(Rgb color) override { add({CanvasOpKind::brushColor, 0, 0, 0, 0, color, {}}); }
    void setFontColor(Rgb color) override { add({CanvasOpKind::fontColor, 0, 0, 0, 0, color, {}}); }
    void setFontHeight(int height) override { add({CanvasOpKind::fontHeight, height, 0, 0, 0, {}, {}}); }
    void fillRect(int left, int top, int right, int bottom) override
    {
        add({CanvasOpKind::fillRect, left, top, right, bottom, {}, {}});
    }
    void moveTo(int x, int y) override { add({CanvasOpKind::moveTo, x, y, 0, 0, {}, {}}); }
    void lineTo(int x, int y) override { add({CanvasOpKind::lineTo, x, y, 0, 0, {}, {}}); }
    void ellipse(int x1, int y1, int x2, int y2) override { add({CanvasOpKind::ellipse, x1, y1, x2, y2, {}, {}}); }
    void rectangle(int x1, int y1, int x2, int y2) override
    {
        add({CanvasOpKind::rectangle, x1, y1, x2, y2, {}, {}});
    }
    void textOut(int x, int y, std::string_view text) override
    {
        add({CanvasOpKind::textOut, x, y, 0, 0, {}, std::string(text)});
    }

private:
    void add(CanvasOp op)
    {
        if (recording)
            ops.push_back(std::move(op));
    }
};
