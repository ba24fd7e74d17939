#pragma once
// Memo1: the message log. New lines are scrolled into view unless the user has
// scrolled up to read older ones (until they scroll back down to the end).
// Lines wrap at the view's width, so they are read without scrolling sideways;
// after a resize rewraps them, a view that follows scrolls to the end again.

#include <QPlainTextEdit>

class LogView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LogView(QWidget* parent = nullptr);

    // Appends one or more lines (separated by line feeds) as new paragraphs.
    void appendLines(const QString& lines);

    // Whether new lines are scrolled into view.
    bool followsNewLines() const { return following_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void scrollToEnd();

    bool following_ = true;
};
