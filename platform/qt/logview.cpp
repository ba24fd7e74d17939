#include "platform/qt/logview.h"

#include <QScrollBar>

LogView::LogView(QWidget* parent) : QPlainTextEdit(parent)
{
    QScrollBar* bar = verticalScrollBar();
    // Only the user moves the bar away from its end; a longer document or a
    // narrower view changes the range, after which a following log goes back there.
    connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) {
        if (!scrolling_)
            following_ = value >= bar->maximum();
    });
    connect(bar, &QScrollBar::rangeChanged, this, [this] {
        if (following_)
            scrollToEnd();
    });
}

void LogView::appendLines(const QString& lines)
{
    const bool follow = following_;
    appendPlainText(lines);
    following_ = follow;
    if (following_)
        scrollToEnd();
}

void LogView::resizeEvent(QResizeEvent* event)
{
    const bool follow = following_;
    QPlainTextEdit::resizeEvent(event);
    following_ = follow;
    if (following_)
        scrollToEnd();
}

void LogView::scrollToEnd()
{
    scrolling_ = true;
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->maximum());
    scrolling_ = false;
}
