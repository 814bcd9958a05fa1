#pragma once
// The numeric box of the windows: a value with two decimals shown through a
// display pattern ("#0.00"), an upper limit, read-only or editable, and
// optionally nothing shown for zero.
#include <QLineEdit>
#include <QPalette>

#include <string>

class QRegularExpressionValidator;

namespace hv {

class TQVNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TQVNumberEdit(QWidget* parent = nullptr);

    double value() const;
    // Shows the value through the pattern (blank for 0 when asked).
    void setValue(double value);
    void setDisplayPattern(const std::string& pattern);
    const std::string& displayPattern() const { return m_pattern; }
    void setMaximum(double maximum) { m_maximum = maximum; }
    double maximum() const { return m_maximum; }
    void setBlankForZero(bool blank);
    // Disabled and painted in the window colour (stored time off), or normal.
    void setGreyed(bool greyed);
    bool greyed() const { return m_greyed; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    // Takes the typed text as the value as leaving the box does, for a save
    // that runs while the caret is still here; false when the text was
    // refused (the message has been shown and the focus stays).
    bool takeTyped() { return takeTypedValue(); }

signals:
    // Focus left the box; the typed text has been taken as the value. Not
    // emitted when the typed text was refused (focus stays in the box).
    void exitBox();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    // False when the typed text was refused and focus went back to the box.
    bool takeTypedValue();
    // Named so that it does not hide QWidget::show().
    void showValue();
    void updateValidator();

    double m_value = 0;
    double m_maximum = 0; // 0: no limit
    std::string m_pattern = "#0.00";
    bool m_blankForZero = false;
    bool m_greyed = false;
    int m_tag = 0;
    QPalette m_normalPalette;
    QRegularExpressionValidator* m_validator = nullptr; // owned by the box
    bool m_checking = false;
    bool m_focused = false; // a focus-out without a focus-in is not leaving
};

} // namespace hv
