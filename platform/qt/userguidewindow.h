#pragma once
// "Form4": the User Guide text and an OK button.

#include <QDialog>

class QPlainTextEdit;

class UserGuideWindow : public QDialog {
    Q_OBJECT
public:
    explicit UserGuideWindow(QWidget* parent = nullptr);

    // The guide, one line per entry.
    static QStringList guideLines();

    QPlainTextEdit* text;
};
