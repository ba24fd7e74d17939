#pragma once
// Set-up shared by the window's Qt tests.

#include <QDialog>
#include <QLineEdit>
#include <QString>
#include <QTest>

#include <memory>

#include "platform/qt/mainwindow.h"

// A shown main window whose modal boxes and dialogs are answered by `answers`
// (a callable QDialog& -> int) instead of waiting for a person.
template <class Answers>
std::unique_ptr<MainWindow> windowAnsweredBy(std::shared_ptr<Answers> answers)
{
    auto window = std::make_unique<MainWindow>();
    window->presentation().modalHook = [answers](QDialog& dialog) { return (*answers)(dialog); };
    window->show();
    return window;
}

// Replaces the qubit field's text the way a person types it, one key at a time.
inline void typeQubits(MainWindow& window, const QString& text)
{
    window.Edit1->selectAll();
    QTest::keyClick(window.Edit1, Qt::Key_Backspace);
    QTest::keyClicks(window.Edit1, text);
}
