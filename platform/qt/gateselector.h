#pragma once
// UpDown1: two arrow buttons over a position 0..maximum. A press does not move
// the position itself; it reports the arrow and the command moves it.

#include <QWidget>

class QToolButton;

class GateSelector : public QWidget {
    Q_OBJECT
public:
    explicit GateSelector(QWidget* parent = nullptr);

    int position() const { return position_; }
    int maximum() const { return maximum_; }
    // Both keep the position within 0..maximum.
    void setPosition(int position);
    void setMaximum(int maximum);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    // +1 for the up arrow, -1 for the down arrow.
    void arrowPressed(int step);

private:
    int position_ = 0;
    int maximum_ = 0;
    QToolButton* up_;
    QToolButton* down_;
};
