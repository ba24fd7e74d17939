#pragma once
// Image1: the picture the circuit is drawn on. The picture has 995 x 594
// logical pixels, and grows up to 995 x 680 where the window has the room:
// at that height the second band of a 5-qubit circuit shows with its label
// at the start-up zoom, while the third band's label of a 3-qubit circuit
// (at y = 700) still lies below the edge. Where the drawn bands reach lower
// (small zooms fill the whole drawing area), it grows up to the area's
// 760 and scrolls where the window is shorter. It is drawn at the screen's
// device pixel ratio, so it stays sharp on a scaled screen.

#include <QImage>
#include <QWidget>

#include "platform/qt/qtcanvas.h"

class DrawingSurface : public QWidget {
    Q_OBJECT
public:
    static constexpr int pictureWidth = 995;
    static constexpr int pictureHeight = 594;
    static constexpr int roomyPictureHeight = 680;
    static constexpr int tallestPictureHeight = 760;

    explicit DrawingSurface(QWidget* parent = nullptr);

    QtCanvas& canvas() { return canvas_; }
    // The picture as drawn so far (closes the canvas's open painter).
    const QImage& picture();

    // The lowest row the drawn bands reach; the picture's height follows it.
    int drawnBottom() const { return drawnBottom_; }
    void setDrawnBottom(int y);
    // The height the picture needs for what is drawn now.
    int neededHeight() const;

signals:
    // A left click at (x, y) in the drawing's own coordinates.
    void clicked(int x, int y);
    void neededHeightChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage image_;
    QtCanvas canvas_;
    bool repaintPending_ = false;
    int drawnBottom_ = 0;
};
