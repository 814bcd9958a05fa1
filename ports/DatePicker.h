#pragma once
// How windows open the date picker: handed to them through their
// constructor, so that a test answers it instead of the calendar dialog.
#include <string>

class QWidget;

namespace hv {

class DatePicker {
public:
    virtual ~DatePicker() = default;
    // Shows the picker on the date of dateText; true (and dateText replaced,
    // in displayFormat) when a date was chosen.
    virtual bool pickDate(std::string& dateText, const std::string& displayFormat, QWidget* owner) = 0;
};

} // namespace hv
