#pragma once
// A canvas that writes an SVG document instead of painting: the same
// operations the window paints become one SVG element each, so a picture
// written through it shows what the window would show.

#include <ostream>
#include <string_view>

#include "platform/canvas.h"

class SvgCanvas : public Canvas {
public:
    // Writes the document head for a surface of width x height pixels to `out`;
    // what falls outside the surface is clipped by the viewer.
    SvgCanvas(std::ostream& out, int width, int height);
    // Finishes the document if finish() has not been called.
    ~SvgCanvas() override;
    SvgCanvas(const SvgCanvas&) = delete;
    SvgCanvas& operator=(const SvgCanvas&) = delete;

    // Closes every open group and the document; later operations are ignored.
    void finish();

    void setPenColor(Rgb color) override { pen_ = color; }
    void setPenWidth(int width) override { penWidth_ = width; }
    void setBrushColor(Rgb color) override { brush_ = color; }
    void setFontColor(Rgb color) override { font_ = color; }
    void setFontHeight(int height) override { fontHeight_ = height; }

    void fillRect(int left, int top, int right, int bottom) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void textOut(int x, int y, std::string_view text) override;

    // <g id="id"> ... </g>; groups may nest.
    void beginGroup(std::string_view id) override;
    void endGroup() override;

private:
    void writeStroke();

    std::ostream& out_;
    Rgb pen_ = black;
    int penWidth_ = 1;
    Rgb brush_ = white;
    Rgb font_ = black;
    int fontHeight_ = 12;
    int penX_ = 0;
    int penY_ = 0;
    int openGroups_ = 0;
    bool finished_ = false;
};
