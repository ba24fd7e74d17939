#include "platform/qt/logview.h"

#include <QScrollBar>

LogView::LogView(QWidget* parent) : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QScrollBar* bar = verticalScrollBar();
    // Only the user's own scrolling (bar, wheel, keys: all trigger actions, and
    // the slider already stands where the action puts it) stops or resumes the
    // following; relayouts after appends and resizes only change the range.
    connect(bar, &QScrollBar::actionTriggered, this,
            [this, bar](int) { following_ = bar->sliderPosition() >= bar->maximum(); });
    connect(bar, &QScrollBar::rangeChanged, this, [this] {
        if (following_)
            scrollToEnd();
    });
}

void LogView::appendLines(const QString& lines)
{
    appendPlainText(lines);
    if (following_)
        scrollToEnd();
}

void LogView::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    if (following_)
        scrollToEnd();
}

void LogView::scrollToEnd()
{
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
}
