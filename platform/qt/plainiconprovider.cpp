#include "platform/qt/plainiconprovider.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyle>

QIcon PlainIconProvider::icon(IconType type) const
{
    QStyle* style = QApplication::style();
    switch (type) {
    case Folder:
        return style->standardIcon(QStyle::SP_DirIcon);
    case Drive:
        return style->standardIcon(QStyle::SP_DriveHDIcon);
    case Computer:
        return style->standardIcon(QStyle::SP_ComputerIcon);
    default:
        return style->standardIcon(QStyle::SP_FileIcon);
    }
}

QIcon PlainIconProvider::icon(const QFileInfo& info) const
{
    if (info.isRoot())
        return icon(Drive);
    return icon(info.isDir() ? Folder : File);
}

QString PlainIconProvider::type(const QFileInfo& info) const
{
    if (info.isDir())
        return QStringLiteral("Folder");
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? QStringLiteral("File") : suffix.toUpper() + QStringLiteral(" File");
}
