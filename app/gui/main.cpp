// udecomp-gui: the desktop window.

#include <QApplication>
#include <QScreen>

#include "platform/qt/mainwindow.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("udecomp");
    MainWindow window;
    // At its natural size when the screen has room for it, else filling the
    // screen with the picture scrolled.
    const QRect available = window.screen()->availableGeometry();
    const QSize natural = window.sizeHint();
    if (natural.width() <= available.width() && natural.height() <= available.height()) {
        window.resize(natural);
        window.show();
    } else {
        window.resize(natural.boundedTo(available.size()));
        window.showMaximized();
    }
    return QApplication::exec();
}
