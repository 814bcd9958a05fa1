#include "widgets/TQVUpDown.h"

#include <QStyle>
#include <QStyleOptionSpinBox>

namespace hv {

TQVUpDown::TQVUpDown(QWidget* parent) : QSpinBox(parent)
{
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setFixedSize(sizeHint());
}

QSize TQVUpDown::sizeHint() const
{
    // As wide as the style draws the arrows, plus the frame around them.
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const int height = QSpinBox::sizeHint().height();
    option.rect = QRect(0, 0, 4 * height, height);
    const QRect arrows = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    const int frame = style()->pixelMetric(QStyle::PM_SpinBoxFrameWidth, &option, this);
    return {arrows.width() + 2 * frame + 2, height};
}

QString TQVUpDown::textFromValue(int) const { return {}; }

QValidator::State TQVUpDown::validate(QString&, int&) const { return QValidator::Acceptable; }

} // namespace hv
