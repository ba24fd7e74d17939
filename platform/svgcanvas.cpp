#include "platform/svgcanvas.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

namespace {

// Writes twice / 2 in the shortest form ("55", "62.5"): centres and radii of
// integer corners are whole or half pixels.
void writeHalf(std::ostream& out, int twice)
{
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), twice / 2.0);
    out.write(buffer.data(), result.ptr - buffer.data());
}

void writeColor(std::ostream& out, Rgb color)
{
    constexpr char digits[] = "0123456789abcdef";
    const char text[] = {'#',
                         digits[color.r >> 4], digits[color.r & 15],
                         digits[color.g >> 4], digits[color.g & 15],
                         digits[color.b >> 4], digits[color.b & 15]};
    out.write(text, sizeof text);
}

// Character data or an attribute value: markup characters become entities,
// control characters (not allowed in XML) are dropped and bytes beyond ASCII
// become '?', so any text yields a well-formed document.
void writeEscaped(std::ostream& out, std::string_view text)
{
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        switch (ch) {
        case '&': out << "&amp;"; break;
        case '<': out << "&lt;"; break;
        case '>': out << "&gt;"; break;
        case '"': out << "&quot;"; break;
        case '\'': out << "&apos;"; break;
        default:
            if (byte >= 0x80)
                out << '?';
            else if (byte >= 0x20 || ch == '\t')
                out << ch;
        }
    }
}

}  // namespace

SvgCanvas::SvgCanvas(std::ostream& out, int width, int height) : out_(out)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << width << "\" height=\"" << height
         << "\" viewBox=\"0 0 " << width << ' ' << height << "\">\n";
}

SvgCanvas::~SvgCanvas() { finish(); }

void SvgCanvas::finish()
{
    if (finished_)
        return;
    while (openGroups_ > 0)
        endGroup();
    out_ << "</svg>\n";
    finished_ = true;
}

void SvgCanvas::writeStroke()
{
    out_ << " stroke=\"";
    writeColor(out_, pen_);
    // A width below 1 still draws one pixel, as a window's pen does.
    out_ << "\" stroke-width=\"" << std::max(penWidth_, 1) << '"';
}

void SvgCanvas::fillRect(int left, int top, int right, int bottom)
{
    if (finished_ || right <= left || bottom <= top)
        return;
    out_ << "<rect x=\"" << left << "\" y=\"" << top << "\" width=\"" << right - left << "\" height=\""
         << bottom - top << "\" fill=\"";
    writeColor(out_, brush_);
    out_ << "\"/>\n";
}

void SvgCanvas::moveTo(int x, int y)
{
    penX_ = x;
    penY_ = y;
}

void SvgCanvas::lineTo(int x, int y)
{
    if (!finished_) {
        out_ << "<line x1=\"" << penX_ << "\" y1=\"" << penY_ << "\" x2=\"" << x << "\" y2=\"" << y << '"';
        writeStroke();
        out_ << "/>\n";
    }
    moveTo(x, y);
}

void SvgCanvas::ellipse(int x1, int y1, int x2, int y2)
{
    if (finished_)
        return;
    out_ << "<ellipse cx=\"";
    writeHalf(out_, x1 + x2);
    out_ << "\" cy=\"";
    writeHalf(out_, y1 + y2);
    out_ << "\" rx=\"";
    writeHalf(out_, std::abs(x2 - x1));
    out_ << "\" ry=\"";
    writeHalf(out_, std::abs(y2 - y1));
    out_ << "\" fill=\"";
    writeColor(out_, brush_);
    out_ << '"';
    writeStroke();
    out_ << "/>\n";
}

void SvgCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    if (finished_)
        return;
    out_ << "<rect x=\"" << std::min(x1, x2) << "\" y=\"" << std::min(y1, y2) << "\" width=\"" << std::abs(x2 - x1)
         << "\" height=\"" << std::abs(y2 - y1) << "\" fill=\"";
    writeColor(out_, brush_);
    out_ << '"';
    writeStroke();
    out_ << "/>\n";
}

void SvgCanvas::textOut(int x, int y, std::string_view text)
{
    if (finished_)
        return;
    const int height = fontHeight_ == 0 ? 12 : std::abs(fontHeight_);
    // SVG places text by its baseline; the canvas by its top, about 0.8 of the height above it.
    out_ << "<text x=\"" << x << "\" y=\"";
    writeHalf(out_, 2 * y + (8 * height) / 5);
    out_ << "\" font-family=\"sans-serif\" font-size=\"" << height << "\" fill=\"";
    writeColor(out_, font_);
    out_ << "\">";
    writeEscaped(out_, text);
    out_ << "</text>\n";
}

void SvgCanvas::beginGroup(std::string_view id)
{
    if (finished_)
        return;
    out_ << "<g id=\"";
    writeEscaped(out_, id);
    out_ << "\">\n";
    ++openGroups_;
}

void SvgCanvas::endGroup()
{
    if (finished_ || openGroups_ == 0)
        return;
    out_ << "</g>\n";
    --openGroups_;
}
