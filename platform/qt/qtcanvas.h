#pragma once
// The canvas of the circuit drawing carried out with QPainter on an image.
// One painter stays open across a run of operations and is closed before the
// image is shown, so a redraw of many glyphs costs one painter set-up.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>

#include <functional>
#include <memory>

#include "platform/canvas.h"

class QtCanvas : public Canvas {
public:
    // Paints on `image`, which must outlive the canvas.
    explicit QtCanvas(QImage& image);
    ~QtCanvas() override;

    // Called after every operation that changed pixels (the window schedules a repaint).
    std::function<void()> onChanged;

    // Ends the open painter so the image may be read or shown.
    void flush();

    void setPenColor(Rgb color) override;
    void setPenWidth(int width) override;
    void setBrushColor(Rgb color) override;
    void setFontColor(Rgb color) override;
    void setFontHeight(int height) override;
    // How far below a text's row its baseline lies at that font height.
    int ascentAt(int height) const;

    void fillRect(int left, int top, int right, int bottom) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;
    void ellipse(int x1, int y1, int x2, int y2) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void textOut(int x, int y, std::string_view text) override;

    // Pixel size of a font whose lines are `height` pixels high: the height of a
    // text line, not of its letters, is what the drawing asks for.
    static int pixelSizeForLineHeight(const QFont& font, int height);

private:
    QPainter& painter();
    void applyPen();
    void changed();

    QImage& image_;
    std::unique_ptr<QPainter> painter_;
    QColor penColor_{Qt::black};
    int penWidth_ = 1;
    QColor brushColor_{Qt::white};
    QColor fontColor_{Qt::black};
    int fontHeight_ = 0;
    QFont font_;
    int fontAscent_ = 0;
    QPoint penPosition_;
};
