#include "platform/qt/inputdiscarder.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace {

// A popup opened by a modal window (a line edit's completion list, a combo
// box's list) is a window without a parent of its own: it belongs to the modal
// window that is active beneath it.
bool isPopup(const QWidget* widget)
{
    return widget->window()->windowType() == Qt::Popup;
}

bool belongsTo(const QWidget* widget, const QWidget* window)
{
    // Across windows too: a combo box's popup belongs to the dialog it sits in.
    for (; widget; widget = widget->parentWidget())
        if (widget == window)
            return true;
    return false;
}

const QWidget* widgetOf(const QObject* receiver)
{
    if (const auto* widget = qobject_cast<const QWidget*>(receiver))
        return widget;
    if (const auto* window = qobject_cast<const QWindow*>(receiver)) {
        for (const QWidget* topLevel : QApplication::topLevelWidgets())
            if (topLevel->windowHandle() == window)
                return topLevel;
    }
    return nullptr;
}

// A mouse event reaches the top-level window first (a QWindow receiver) and
// only then the widget under the pointer: that widget is the one it is for.
const QWidget* targetOf(const QWidget* receiver, const QEvent& event)
{
    const auto* mouse = dynamic_cast<const QMouseEvent*>(&event);
    if (!mouse || !receiver->isWindow())
        return receiver;
    const QWidget* under = receiver->childAt(mouse->position().toPoint());
    return under ? under : receiver;
}

}  // namespace

bool InputDiscarder::isDiscardedKind(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

bool InputDiscarder::eventFilter(QObject* receiver, QEvent* event)
{
    if (!isDiscardedKind(*event))
        return false;
    const QWidget* widget = widgetOf(receiver);
    if (letThrough_ && widget && belongsTo(targetOf(widget, *event), letThrough_))
        return false;
    const QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return true;
    // Actions and shortcuts only fire for the active window, which the modal one is.
    if (!widget)
        return false;
    return !belongsTo(widget, modal) && !isPopup(widget);
}
