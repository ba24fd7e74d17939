#include "platform/qt/drawingsurface.h"

#include <QPainter>

DrawingSurface::DrawingSurface(QWidget* parent)
    : QWidget(parent), image_(pictureWidth, pictureHeight, QImage::Format_RGB32), canvas_(image_)
{
    image_.fill(Qt::white);
    setFixedSize(pictureWidth, pictureHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // One repaint request per batch of drawing, not one per glyph.
    canvas_.onChanged = [this] {
        if (repaintPending_)
            return;
        repaintPending_ = true;
        update();
    };
}

const QImage& DrawingSurface::picture()
{
    canvas_.flush();
    return image_;
}

void DrawingSurface::paintEvent(QPaintEvent*)
{
    repaintPending_ = false;
    canvas_.flush();
    QPainter(this).drawImage(0, 0, image_);
}
