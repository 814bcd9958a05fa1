#pragma once
// Answers the date picker from a script: each answer is the date text the
// user "chose", or nothing for Cancel. Records the texts it was opened on.
#include "widgets/PickDate.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace hv::test {

class ScriptedDatePicker : public DatePicker {
public:
    void answer(std::optional<std::string> chosen) { answers.push_back(std::move(chosen)); }
    bool pickDate(std::string& dateText, const std::string&, QWidget*) override
    {
        openedOn.push_back(dateText);
        if (answers.empty() || !answers.front()) {
            if (!answers.empty())
                answers.pop_front();
            return false;
        }
        dateText = *answers.front();
        answers.pop_front();
        return true;
    }

    std::deque<std::optional<std::string>> answers;
    std::vector<std::string> openedOn;
};

} // namespace hv::test
