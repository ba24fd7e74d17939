#pragma once
// Image1: the picture the circuit is drawn on. The picture has 995 x 594
// logical pixels, and grows up to 995 x 680 where the window has the room:
// at that height the second band of a 5-qubit circuit shows with its label
// at the start-up zoom, while the third band's label of a 3-qubit circuit
// (at y = 700) still lies below the edge. It is drawn at the screen's device
// pixel ratio, so it stays sharp on a scaled screen.

#include <QImage>
#include <QWidget>

#include "platform/qt/qtcanvas.h"

class DrawingSurface : public QWidget {
    Q_OBJECT
public:
    static constexpr int pictureWidth = 995;
    static constexpr int pictureHeight = 594;
    static constexpr int tallestPictureHeight = 680;

    explicit DrawingSurface(QWidget* parent = nullptr);

    QtCanvas& canvas() { return canvas_; }
    // The picture as drawn so far (closes the canvas's open painter).
    const QImage& picture();

signals:
    // A left click at (x, y) in the drawing's own coordinates.
    void clicked(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage image_;
    QtCanvas canvas_;
    bool repaintPending_ = false;
};
