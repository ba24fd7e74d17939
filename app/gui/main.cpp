// udecomp-gui: the desktop window.

#include <QApplication>

#include "platform/qt/mainwindow.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("udecomp");
    MainWindow window;
    window.show();
    return QApplication::exec();
}
