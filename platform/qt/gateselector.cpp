#include "platform/qt/gateselector.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

GateSelector::GateSelector(QWidget* parent) : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    for (QToolButton* button : {up_, down_}) {
        button->setFixedSize(20, 14);
        button->setAutoRepeat(true);
        layout->addWidget(button);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { emit arrowPressed(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { emit arrowPressed(-1); });
}

void GateSelector::setPosition(int position) { position_ = std::clamp(position, 0, std::max(0, maximum_)); }

void GateSelector::setMaximum(int maximum)
{
    maximum_ = maximum;
    position_ = std::clamp(position_, 0, std::max(0, maximum_));
}
