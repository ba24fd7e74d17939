#pragma once
// While a command computes, the user's input is dropped rather than queued and
// replayed when the command ends (a second click on the greyed Decomposition
// button, a click on a menu). Input to a modal window opened inside the command
// (a message, a question, a file dialog) and to the popups it opens (the file
// dialog's completion list) still gets through, and releases of
// keys and buttons pressed before the command began complete as usual.

#include <QObject>

class QWidget;

class QEvent;

class InputDiscarder : public QObject {
public:
    using QObject::QObject;

    // True for the input events that are dropped outside a modal window.
    static bool isDiscardedKind(const QEvent& event);

    // Input to `widget` (a Cancel button shown while the command runs) gets
    // through as well; nullptr takes that back.
    void letThrough(const QWidget* widget) { letThrough_ = widget; }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override;

private:
    const QWidget* letThrough_ = nullptr;
};
