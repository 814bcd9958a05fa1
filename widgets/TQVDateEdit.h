#pragma once
// The date box of the windows: shows its date in the display date format and
// is empty for no date (0). Leaving it with text that names no date says so,
// keeps the focus and stores nothing.
#include <QLineEdit>

#include <string>

namespace hv {

class TQVDateEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TQVDateEdit(QWidget* parent = nullptr);

    // The date last shown or taken from the text; 0 when the box is empty.
    double date() const { return m_date; }
    // Shows the date (empty for 0).
    void setDate(double date);
    // Empty: the regional short date format.
    void setDisplayFormat(const std::string& format);
    const std::string& displayFormat() const { return m_format; }
    // The date as the box shows it; empty for 0.
    std::string dateText(double date) const;

signals:
    // Focus left the box with a date or nothing in it; date() holds it.
    void exitBox();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // False when the text names no date (the message shown, focus kept).
    bool takeTypedDate();

    double m_date = 0;
    std::string m_format;
    bool m_checking = false;
    bool m_focused = false;
};

} // namespace hv
