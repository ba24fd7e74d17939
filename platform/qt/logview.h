#pragma once
// Memo1: the message log. New lines are scrolled into view unless the user has
// scrolled up to read older ones (until they scroll back down to the end).
// Lines are not wrapped: the view scrolls by whole paragraphs, and wrapped
// ones laid out again after a resize could grow past its bottom unseen.

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
