#pragma once
// The date picker "Select a Date": a month calendar with month and year
// selectors, opened from the small button beside a date field. Windows reach
// it through a DatePicker handed to them, so that tests can answer it.
#include "ports/DatePicker.h"
#include "widgets/WindowUtil.h"

#include <QDialog>

#include <string>

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class QVBoxLayout;

namespace hv {

class TQVDateEdit;

class TQVCalendar;

inline constexpr int kPickDateHelpContext = 50;

class TfrmPickDate : public QDialog {
    Q_OBJECT
public:
    // Opens on the date the text names in the regional short date notation,
    // or on today when it names none. scale decides whether the screen has
    // 96 pixels per inch.
    explicit TfrmPickDate(const std::string& dateText, QWidget* owner = nullptr, ScaleFunction scale = &ScaleToScreen);

    double date() const;
    TQVCalendar& calendar() const { return *Calendar1; }

    void PrevMonthBtnClick();
    void NextMonthBtnClick();

protected:
    bool event(QEvent* event) override;

private:
    // Month and year selectors follow the calendar.
    void Calendar1Change();

    ScaleFunction m_scale;
    QVBoxLayout* m_calendarBox = nullptr;
    bool m_activated = false;

    QToolButton* PrevMonthBtn = nullptr;
    QToolButton* NextMonthBtn = nullptr;
    TQVCalendar* Calendar1 = nullptr;
    QComboBox* cboMonth = nullptr;
    QSpinBox* UpDown = nullptr;
    QLineEdit* txtYear = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
};

// Runs the picker for a date field: true when the user chose a date, which
// then replaces the text, formatted with the display format; the text stays
// as it was on Cancel. Leaves the normal cursor.
bool PickDate(std::string& dateText, const std::string& displayFormat, QWidget* owner = nullptr);

// Runs the picker on a date box's text: true when the user chose a date,
// which the box then holds (or, when the picker's text names no date, that
// text as it is).
bool PickDateInto(DatePicker& picker, TQVDateEdit& box, const std::string& displayFormat, QWidget* owner);

// The real dialog.
class DialogDatePicker : public DatePicker {
public:
    bool pickDate(std::string& dateText, const std::string& displayFormat, QWidget* owner) override
    {
        return PickDate(dateText, displayFormat, owner);
    }
};

} // namespace hv
