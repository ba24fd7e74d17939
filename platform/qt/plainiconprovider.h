#pragma once
// Icons and type names for the file dialogs from what a file is, never from
// what it holds.

#include <QAbstractFileIconProvider>

// Qt's own provider names a file's type from its contents when its name has no
// known suffix, and reading some files blocks for ever (/proc/kmsg as root):
// the dialog's folder model then stops, and the window with it.
class PlainIconProvider final : public QAbstractFileIconProvider {
public:
    QIcon icon(IconType type) const override;
    QIcon icon(const QFileInfo& info) const override;
    QString type(const QFileInfo& info) const override;
};
