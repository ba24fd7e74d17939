#include "platform/qt/drawingsurface.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QImage pictureAtScreenResolution()
{
    const double ratio = qGuiApp->devicePixelRatio();
    QImage image(static_cast<int>(std::ceil(DrawingSurface::pictureWidth * ratio)),
                 static_cast<int>(std::ceil(DrawingSurface::tallestPictureHeight * ratio)), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

}  // namespace

DrawingSurface::DrawingSurface(QWidget* parent) : QWidget(parent), image_(pictureAtScreenResolution()), canvas_(image_)
{
    image_.fill(Qt::white);
    // The picture scrolls only below its own height; above it, it takes what the window leaves it.
    setMinimumSize(pictureWidth, pictureHeight);
    setMaximumSize(pictureWidth, roomyPictureHeight);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
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

void DrawingSurface::setDrawnBottom(int y)
{
    if (y == drawnBottom_)
        return;
    drawnBottom_ = y;
    setMaximumSize(pictureWidth, std::max(roomyPictureHeight, neededHeight()));
    emit neededHeightChanged();
}

int DrawingSurface::neededHeight() const { return std::clamp(drawnBottom_, pictureHeight, tallestPictureHeight); }

void DrawingSurface::paintEvent(QPaintEvent*)
{
    repaintPending_ = false;
    canvas_.flush();
    QPainter(this).drawImage(0, 0, image_);
}

void DrawingSurface::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint at = event->position().toPoint();
    emit clicked(at.x(), at.y());
}
