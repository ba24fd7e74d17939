#pragma once
// The drawing surface the circuit drawing paints on. Coordinates are surface
// pixels; what falls outside the surface is clipped by the implementation.

#include <cstdint>
#include <string_view>

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb black{0, 0, 0};
inline constexpr Rgb white{255, 255, 255};
inline constexpr Rgb red{255, 0, 0};
inline constexpr Rgb blue{0, 0, 255};

class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void setPenColor(Rgb color) = 0;
    virtual void setPenWidth(int width) = 0;
    virtual void setBrushColor(Rgb color) = 0;
    virtual void setFontColor(Rgb color) = 0;
    virtual void setFontHeight(int height) = 0;

    // Fills the rectangle [left, right) x [top, bottom) with the brush colour.
    virtual void fillRect(int left, int top, int right, int bottom) = 0;
    virtual void moveTo(int x, int y) = 0;
    // Draws a line from the pen position to (x, y), which becomes the pen position.
    virtual void lineTo(int x, int y) = 0;
    // Outline in the pen colour, interior in the brush colour; corners as given.
    virtual void ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    // Writes text with its top-left corner at (x, y) in the font colour and height.
    virtual void textOut(int x, int y, std::string_view text) = 0;

    // Brackets the operations of one drawn item (a gate), so that a canvas that
    // writes a document can group them; painting canvases ignore it.
    virtual void beginGroup(std::string_view /*id*/) {}
    virtual void endGroup() {}
};
