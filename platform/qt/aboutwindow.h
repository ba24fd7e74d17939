#pragma once
// "Info o programe": a 512 x 384 picture of a small sample circuit and an OK button.

#include <QDialog>
#include <QImage>

class QLabel;

#ifndef UDECOMP_VERSION
#define UDECOMP_VERSION "unknown"
#endif
// The version shown under the picture.
inline constexpr const char* aboutVersion = UDECOMP_VERSION;
class Canvas;

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int pictureWidth = 512;
    static constexpr int pictureHeight = 384;

    explicit AboutWindow(QWidget* parent = nullptr);

    const QImage& picture() const { return picture_; }

private:
    QImage picture_;
};

// Paints the About picture: a three-qubit circuit in the main drawing's glyphs.
void drawAboutPicture(Canvas& canvas);
