#include "platform/qt/aboutwindow.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/qtcanvas.h"

namespace {

constexpr int wireLeft = 40;
constexpr int wireRight = 472;
constexpr int firstWireY = 130;
constexpr int wireGap = 60;

int wireY(int qubit) { return firstWireY + (qubit - 1) * wireGap; }

void controlDot(Canvas& c, int x, int qubit)
{
    c.setBrushColor(black);
    c.ellipse(x - 7, wireY(qubit) - 7, x + 8, wireY(qubit) + 8);
}

void controlLine(Canvas& c, int x, int fromQubit, int toQubit)
{
    c.moveTo(x, wireY(fromQubit));
    c.lineTo(x, wireY(toQubit));
}

void notSymbol(Canvas& c, int x, int qubit)
{
    const int y = wireY(qubit);
    c.setBrushColor(white);
    c.ellipse(x - 13, y - 13, x + 14, y + 14);
    c.moveTo(x, y - 13);
    c.lineTo(x, y + 13);
    c.moveTo(x - 13, y);
    c.lineTo(x + 13, y);
}

void phaseSquare(Canvas& c, int x, int qubit)
{
    c.setBrushColor(white);
    c.rectangle(x - 8, wireY(qubit) - 8, x + 9, wireY(qubit) + 9);
}

void letterBox(Canvas& c, int x, int qubit, std::string_view letter)
{
    const int y = wireY(qubit);
    c.setBrushColor(white);
    c.rectangle(x - 16, y - 16, x + 17, y + 17);
    c.setFontHeight(26);
    c.textOut(x - 8, y - 13, letter);
}

}  // namespace

void drawAboutPicture(Canvas& c)
{
    c.setBrushColor(white);
    c.fillRect(0, 0, AboutWindow::pictureWidth, AboutWindow::pictureHeight);
    c.setPenColor(black);
    c.setPenWidth(1);
    c.setFontColor(blue);
    c.setFontHeight(28);
    c.textOut(wireLeft, 28, "U  =  a circuit of simple gates");
    c.setFontColor(black);

    for (int qubit = 1; qubit <= 3; ++qubit) {
        c.moveTo(wireLeft, wireY(qubit));
        c.lineTo(wireRight, wireY(qubit));
    }

    // CNOT, a doubly controlled U, an E, a controlled Z, a controlled A, a NOT.
    controlDot(c, 90, 1);
    controlLine(c, 90, 1, 2);
    notSymbol(c, 90, 2);

    controlDot(c, 155, 1);
    controlDot(c, 155, 2);
    controlLine(c, 155, 1, 3);
    letterBox(c, 155, 3, "U");

    letterBox(c, 220, 1, "E");

    controlLine(c, 285, 2, 3);
    phaseSquare(c, 285, 2);
    phaseSquare(c, 285, 3);

    controlDot(c, 350, 3);
    controlLine(c, 350, 2, 3);
    letterBox(c, 350, 2, "A");

    c.setPenWidth(2);
    c.setPenColor(blue);
    c.rectangle(395, wireY(1) - 24, 440, wireY(1) + 25);
    c.setPenWidth(1);
    c.setPenColor(black);
    notSymbol(c, 418, 1);

    c.setFontHeight(20);
    c.textOut(wireLeft, 320, "Decomposition of unitary matrices");
    c.textOut(wireLeft, 345, "into Quantum Logic Circuits");
}

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent), picture_(pictureWidth, pictureHeight, QImage::Format_RGB32)
{
    setWindowTitle("Info o programe");
    {
        QtCanvas canvas(picture_);
        drawAboutPicture(canvas);
    }
    auto* image = new QLabel(this);
    image->setPixmap(QPixmap::fromImage(picture_));
    image->setFixedSize(pictureWidth, pictureHeight);
    auto* ok = new QPushButton("OK", this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(image);
    auto* version = new QLabel(QString("udecomp ") + aboutVersion, this);
    version->setObjectName("version");
    layout->addWidget(version, 0, Qt::AlignHCenter);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}
