#pragma once
// Up/down arrows alone, as beside the employee drop-down: a spin box that
// keeps its position for the window but shows no number, so that a narrow
// box draws two plain arrows instead of a clipped digit.
#include <QSpinBox>

namespace hv {

class TQVUpDown : public QSpinBox {
    Q_OBJECT
public:
    explicit TQVUpDown(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    QString textFromValue(int value) const override;
    QValidator::State validate(QString& input, int& pos) const override;
};

} // namespace hv
