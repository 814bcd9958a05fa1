#include "timekeeping/WeekEditor.h"

#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "timeoff/TTimeOff.h"

namespace hv {

WeekEditSaveResult TWeekEditor::Save(const std::array<TimeOffBox, 7>& boxes,
                                     const std::array<std::string, 7>& dayCaptions, const std::string& lockIdentity,
                                     bool reasonsExist)
{
    WeekEditSaveResult result;
    for (int n = 0; n < 7; ++n) {
        const TimeOffBox& box = boxes[std::size_t(n)];
        if (!box.holdsNewEntry())
            continue;
        if (box.reasonID == 0) {
            RestoreCursor();
            std::string text = "Please select the type of Time Off for " + dayCaptions[std::size_t(n)] + "'s entry.";
            if (!reasonsExist)
                text += "\r\rThere are no time off reasons yet: add them with Edit, Time Off Reasons..., or clear "
                        "the day's time off hours.";
            ShowMessageBox(text, MsgKind::Information);
            result.outcome = WeekEditSaveResult::Outcome::ReasonMissing;
            result.day = n;
            return result;
        }
        TTimeOffRecClass entry(m_dm, m_week.EmployeeID(), m_week.WeekEnd() - 6 + n, box.reasonID);
        entry.SetHours(float(box.hours));
        entry.SetNewDay(true);
        auto& after = result.boxes[std::size_t(n)];
        try {
            after = entry.Save(lockIdentity) ? TimeOffBoxAfterSave::Stored : TimeOffBoxAfterSave::Cleared;
        } catch (const EDuplicateTOError& e) {
            // Another copy added time off for this week first.
            tell(e.what(), MsgKind::Information);
            after = TimeOffBoxAfterSave::Cleared;
            result.outcome = WeekEditSaveResult::Outcome::TimeOffConflict;
            result.day = n;
            return result;
        } catch (const std::runtime_error& e) {
            // The reason or its benefit rules went away meanwhile.
            tell(e.what(), MsgKind::Information);
            after = TimeOffBoxAfterSave::Cleared;
        }
    }
    result.week = m_week.Save(lockIdentity);
    if (!result.week.saved())
        result.outcome = WeekEditSaveResult::Outcome::WeekFailed;
    return result;
}

WeekTotals TWeekEditor::Totals(const std::array<double, 7>& worked, const std::array<double, 7>& timeOff) const
{
    WeekTotals totals;
    for (std::size_t n = 0; n < 7; ++n) {
        totals.day[n] = worked[n] + timeOff[n];
        totals.total += totals.day[n];
    }
    totals.regular = m_week.RegularTotal();
    totals.overtime = m_week.OvertimeTotal();
    totals.other = m_week.TimeOffTotal();
    return totals;
}

} // namespace hv
