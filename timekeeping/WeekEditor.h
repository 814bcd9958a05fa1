#pragma once
// The main window's edits of one week, apart from its controls: saving the new
// time off typed into the day rows and then the week, and the day and week
// totals the window shows. The window hands over what its boxes hold and
// shows the result; the arithmetic and the failure handling live here.
#include "timekeeping/WorkUtil.h"

#include <array>
#include <cstdint>
#include <string>

namespace hv {

class THourvaneDataMod;

// A day row's time off box as the save sees it.
struct TimeOffBox {
    double hours = 0;
    std::int32_t reasonID = 0; // 0: no reason chosen yet
    bool enabled = false;      // disabled boxes hold stored time off or lie outside employment
    bool holdsNewEntry() const { return hours != 0 && enabled; }
};

// What becomes of a time off box after the save.
enum class TimeOffBoxAfterSave {
    Unchanged,
    Stored,  // its entry was saved: disable and grey the box
    Cleared, // its entry was not saved: the box goes back to 0
};

struct WeekEditSaveResult {
    enum class Outcome {
        Saved,
        ReasonMissing,   // day's box holds hours without a reason; the message was shown
        TimeOffConflict, // another copy added time off for the week first; shown; Save must be disabled
        WeekFailed,      // the week's own save failed; see week
    };
    Outcome outcome = Outcome::Saved;
    int day = -1;
    WeekSaveResult week;
    std::array<TimeOffBoxAfterSave, 7> boxes{};
    bool saved() const { return outcome == Outcome::Saved; }
};

// The totals of the shown week: each day's hours worked plus its time off,
// their sum, and the week's regular, overtime and time off totals.
struct WeekTotals {
    std::array<double, 7> day{};
    double regular = 0;
    double overtime = 0;
    double other = 0;
    double total = 0;
};

class TWeekEditor {
public:
    TWeekEditor(THourvaneDataMod& dm, TWorkWeekRecClass& week) : m_dm(dm), m_week(week) {}

    // Day by day, the boxes that hold new time off are saved as entries of
    // the day (a box without a reason stops the save with "Please select the
    // type of Time Off for " + the day's caption + "'s entry."); then the week
    // is saved. dayCaptions are the captions of the day rows. Without any
    // reason to choose (reasonsExist false) the message says where they are made.
    WeekEditSaveResult Save(const std::array<TimeOffBox, 7>& boxes, const std::array<std::string, 7>& dayCaptions,
                            const std::string& lockIdentity, bool reasonsExist = true);

    // worked and timeOff are what the day rows show.
    WeekTotals Totals(const std::array<double, 7>& worked, const std::array<double, 7>& timeOff) const;

private:
    THourvaneDataMod& m_dm;
    TWorkWeekRecClass& m_week;
};

} // namespace hv
