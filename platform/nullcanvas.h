#pragma once
// A canvas that draws nothing: for laying out without drawing, and as a base
// for canvases that only look at some of the operations.

#include "platform/canvas.h"

class NullCanvas : public Canvas {
public:
    void setPenColor(Rgb) override {}
    void setPenWidth(int) override {}
    void setBrushColor(Rgb) override {}
    void setFontColor(Rgb) override {}
    void setFontHeight(int) override {}
    void fillRect(int, int, int, int) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override {}
    void ellipse(int, int, int, int) override {}
    void rectangle(int, int, int, int) override {}
    void textOut(int, int, std::string_view) override {}
};
