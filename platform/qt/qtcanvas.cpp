#include "platform/qt/qtcanvas.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QString>

#include <cmath>

namespace {

QColor toQColor(Rgb color) { return QColor(color.r, color.g, color.b); }

// Outlines have exclusive right and bottom corners, as the drawing's coordinates assume.
QRect outlineRect(int x1, int y1, int x2, int y2)
{
    return QRect(QPoint(std::min(x1, x2), std::min(y1, y2)), QPoint(std::max(x1, x2) - 1, std::max(y1, y2) - 1));
}

}  // namespace

QtCanvas::QtCanvas(QImage& image) : image_(image), font_(QGuiApplication::font())
{
    setFontHeight(20);
}

QtCanvas::~QtCanvas() { flush(); }

void QtCanvas::flush()
{
    if (painter_)
        painter_->end();
    painter_.reset();
}

QPainter& QtCanvas::painter()
{
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::TextAntialiasing, true);
        painter_->setFont(font_);
        applyPen();
    }
    return *painter_;
}

void QtCanvas::applyPen()
{
    if (!painter_)
        return;
    QPen pen(penColor_);
    pen.setWidth(penWidth_);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_->setPen(pen);
    painter_->setBrush(brushColor_);
}

void QtCanvas::changed()
{
    if (onChanged)
        onChanged();
}

int QtCanvas::pixelSizeForLineHeight(const QFont& font, int height)
{
    QFont probe(font);
    probe.setPixelSize(100);
    const double lineHeightPerPixel = QFontMetricsF(probe).height() / 100.0;
    const int size = static_cast<int>(std::lround(height / (lineHeightPerPixel > 0 ? lineHeightPerPixel : 1.0)));
    return size < 1 ? 1 : size;
}

void QtCanvas::setPenColor(Rgb color)
{
    penColor_ = toQColor(color);
    applyPen();
}

void QtCanvas::setPenWidth(int width)
{
    penWidth_ = width < 1 ? 1 : width;
    applyPen();
}

void QtCanvas::setBrushColor(Rgb color)
{
    brushColor_ = toQColor(color);
    applyPen();
}

void QtCanvas::setFontColor(Rgb color) { fontColor_ = toQColor(color); }

void QtCanvas::setFontHeight(int height)
{
    if (height == fontHeight_)
        return;
    fontHeight_ = height;
    font_.setPixelSize(pixelSizeForLineHeight(font_, height < 1 ? 1 : height));
    fontAscent_ = QFontMetrics(font_).ascent();
    if (painter_)
        painter_->setFont(font_);
}

int QtCanvas::ascentAt(int height) const
{
    QFont probe(font_);
    probe.setPixelSize(pixelSizeForLineHeight(font_, height < 1 ? 1 : height));
    return QFontMetrics(probe).ascent();
}

void QtCanvas::fillRect(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    painter().fillRect(QRect(left, top, right - left, bottom - top), brushColor_);
    changed();
}

void QtCanvas::moveTo(int x, int y) { penPosition_ = QPoint(x, y); }

void QtCanvas::lineTo(int x, int y)
{
    const QPoint end(x, y);
    painter().drawLine(penPosition_, end);
    penPosition_ = end;
    changed();
}

void QtCanvas::ellipse(int x1, int y1, int x2, int y2)
{
    QPainter& p = painter();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.drawEllipse(outlineRect(x1, y1, x2, y2));
    p.setRenderHint(QPainter::Antialiasing, false);
    changed();
}

void QtCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    painter().drawRect(outlineRect(x1, y1, x2, y2));
    changed();
}

void QtCanvas::textOut(int x, int y, std::string_view text)
{
    QPainter& p = painter();
    p.setPen(fontColor_);
    p.drawText(QPoint(x, y + fontAscent_), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    applyPen();
    changed();
}
