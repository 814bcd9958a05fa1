// The main window's week: the week-ending list, the day captions, showing a
// week and its totals, choosing employee and week, and the save, delete and
// copy commands.
#include "timekeeping/windows/Main.h"

#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "settings/OldWeek.h"
#include "storage/HVGlobal.h"
#include "timekeeping/WeekEditor.h"
#include "timekeeping/WorkUtil.h"
#include "timeoff/TReason.h"
#include "timeoff/TTimeOff.h"
#include "widgets/CommandRegistry.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVNumberEdit.h"
#include "widgets/TQVTimeEdit.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace hv {

namespace {

const char* const kOldWeekSave = "You must have Manager Access to save old Hourvane information.";
const char* const kOldWeekDelete = "You must have Manager Access to Delete old Hourvane information.";

// The ending date of next week: the first day on or after today with the
// first date's weekday (a week later when that is today), plus six days.
double NextWeekEnd(double firstDate, double today)
{
    const int ahead = ((DayOfWeek(firstDate) - DayOfWeek(today)) % 7 + 7) % 7;
    return today + (ahead == 0 ? 7 : ahead) + 6;
}

} // namespace

void TfrmMain::BuildWeekEndList()
{
    const double first = std::floor(globalSettings().firstDate);
    if (first == m_savedFirstDate)
        return;
    m_savedFirstDate = first;
    m_weekEnds.clear();
    double last = NextWeekEnd(first, clock().today());
    m_weekEnds.push_back(last);
    while (first + 7 <= last) {
        last -= 7;
        m_weekEnds.push_back(last);
    }
    {
        const QSignalBlocker quiet(cboWeekEnd);
        cboWeekEnd->clear();
        for (double date : m_weekEnds)
            cboWeekEnd->add(FormatDateTime(m_state.displayDateFormat, date), 0);
        // The current week is the second item; a first date after today
        // leaves only one, which is then the one shown.
        m_weekEndIndex = m_weekEnds.size() > 1 ? 1 : 0;
        cboWeekEnd->setCurrentIndex(m_weekEndIndex);
    }
    m_currentWeekEnd = m_weekEnds[std::size_t(m_weekEndIndex)];
    ShowDayCaptions();
}

void TfrmMain::ShowDayCaptions()
{
    for (int n = 0; n < 7; ++n) {
        const double date = dayDate(n);
        lblDOW[n]->setText(QString::fromStdString(FormatDateTime("dddd - mm/dd", date)));
        m_dayWeekday[n] = DayOfWeek(date);
    }
}

void TfrmMain::ApplyHourFormat()
{
    const std::string& pattern = globalSettings().hourFormat;
    for (int n = 0; n < 7; ++n)
        for (auto* box : {txtRegular[n], txtNonWork[n], txtHours[n]})
            box->setDisplayPattern(pattern);
    for (auto* box : {txtRegHours, txtOverHours, txtOtherHours, txtTotalHours})
        box->setDisplayPattern(pattern);
}

void TfrmMain::ApplyTimeFormat()
{
    const std::string& format = globalSettings().timeFormat;
    const TimeType type = TimeTypeFor(format);
    for (int n = 0; n < 7; ++n)
        for (auto* box : {msk1In[n], msk1Out[n], msk2In[n], msk2Out[n]}) {
            box->SetTimeType(type);
            box->SetTimeFormat(format);
        }
}

void TfrmMain::BuildReasonMenu()
{
    // The activation refresh runs while the pop-up is open (it takes the
    // keyboard): clearing it then would leave a menu that is open but holds
    // nothing to draw or choose. The next refresh or leaving a box rebuilds it.
    if (PopupMenu->isVisible())
        return;
    PopupMenu->clear();
    m_reasons->Load();
    for (int i = 0; i < m_reasons->Count(); ++i) {
        const TReasonRecClass& reason = m_reasons->Items(i);
        QAction* item = PopupMenu->addAction(
            QString::fromStdString("&" + reason.ReasonCode() + " " + reason.Reason()));
        item->setObjectName(QString::fromStdString("mnu" + reason.ReasonCode()));
        const std::int32_t id = reason.ReasonID();
        connect(item, &QAction::triggered, this, [this, id] { reasonChosen(id); });
    }
    if (m_reasons->Count() == 0) {
        // A new database has no reasons: the pop-up leads to where they are
        // made instead of opening empty, and comes back with them.
        QAction* item = PopupMenu->addAction("Time Off &Reasons...");
        item->setObjectName("mnuPopupReasons");
        item->setEnabled(m_commands.contains("mnuEditReasons"));
        connect(item, &QAction::triggered, this, [this] {
            const int day = m_menuDay;
            QTimer::singleShot(0, this, [this, day] {
                runCommand("mnuEditReasons");
                if (day >= 0 && m_reasons->Count() > 0 && txtNonWork[day]->isEnabled() && txtNonWork[day]->value() != 0)
                    popUpReasons(day);
            });
        });
    }
}

bool TfrmMain::reasonListed(std::int32_t reasonID) const
{
    for (int i = 0; i < m_reasons->Count(); ++i)
        if (m_reasons->Items(i).ReasonID() == reasonID)
            return true;
    return false;
}

void TfrmMain::ClearEntry()
{
    const std::string blank = BlankPunchDisplay(TimeTypeFor(globalSettings().timeFormat));
    for (int n = 0; n < 7; ++n) {
        for (auto* box : {msk1In[n], msk1Out[n], msk2In[n], msk2Out[n]}) {
            box->SetText(blank);
            box->setEnabled(true);
        }
        txtNonWork[n]->setGreyed(false);
        spdMore[n]->setEnabled(true);
        cboShift[n]->setEnabled(true);
    }
}

void TfrmMain::DisableOutsideEmployment()
{
    auto disableDay = [this](int n) {
        for (auto* box : {msk1In[n], msk1Out[n], msk2In[n], msk2Out[n]})
            box->setEnabled(false);
        txtNonWork[n]->setEnabled(false);
    };
    const double start = m_employee->StartDate();
    for (int n = 0; n < 7 && dayDate(n) < start; ++n)
        disableDay(n);
    const double end = m_employee->EndDate();
    if (end > 0)
        for (int n = 6; n >= 0 && dayDate(n) > end; --n)
            disableDay(n);
}

void TfrmMain::ShowTimes()
{
    for (int n = 0; n < 7; ++n) {
        const THoursWorkedRecClass& day = m_week->Day(n);
        msk1In[n]->SetText(day.FormatIn(1));
        msk1Out[n]->SetText(day.FormatOut(1));
        msk2In[n]->SetText(day.FormatIn(2));
        msk2Out[n]->SetText(day.FormatOut(2));
    }
}

void TfrmMain::ShowDayHours()
{
    for (int n = 0; n < 7; ++n)
        txtRegular[n]->setValue(m_week->Day(n).DayHours());
}

void TfrmMain::ShowTimeOff()
{
    for (int n = 0; n < 7; ++n) {
        const float hours = m_week->TimeOffOnWeekday(m_dayWeekday[n]);
        TQVNumberEdit* box = txtNonWork[n];
        box->setValue(hours);
        box->setTag(0);
        if (hours != 0)
            box->setGreyed(true); // stored time off changes in the Time Off window only
        else if (msk1In[n]->isEnabled())
            box->setGreyed(false);
    }
}

void TfrmMain::ShowTotals()
{
    std::array<double, 7> worked{}, timeOff{};
    for (std::size_t n = 0; n < 7; ++n) {
        worked[n] = txtRegular[n]->value();
        timeOff[n] = txtNonWork[n]->value();
    }
    const WeekTotals totals = TWeekEditor(m_dm, *m_week).Totals(worked, timeOff);
    for (std::size_t n = 0; n < 7; ++n)
        txtHours[n]->setValue(totals.day[n]);
    txtRegHours->setValue(totals.regular);
    txtOverHours->setValue(totals.overtime);
    txtOtherHours->setValue(totals.other);
    txtTotalHours->setValue(totals.total);
}

void TfrmMain::FocusFirstEntry()
{
    for (int n = 0; n < 7; ++n)
        for (auto* box : {msk1In[n], msk1Out[n], msk2In[n], msk2Out[n]})
            if (box->isEnabled()) {
                box->setFocus();
                return;
            }
}

void TfrmMain::showWeek()
{
    ClearEntry();
    DisableOutsideEmployment();
    ShowTimes();
    ShowDayHours();
    ShowTimeOff();
    ShowTotals();
}

void TfrmMain::cboEmployeeClick()
{
    if (cboEmployee->currentIndex() < 0)
        return;
    if (!askToSaveChanges()) {
        const QSignalBlocker quiet(cboEmployee);
        if (cboEmployee->SelectText(m_employee->FullName()) < 0)
            cboEmployee->setCurrentIndex(-1);
        syncArrows();
        return;
    }
    WaitCursor wait;
    syncArrows();
    if (m_week->Loaded())
        m_week->Unlock(m_state.lockIdentity);
    cmdCopy->setEnabled(true);
    cmdDelete->setEnabled(true);
    cmdPrint->setEnabled(m_commands.contains("cmdPrint"));
    cmdSave->setEnabled(false);

    m_employee->SetEmpID(cboEmployee->SelectedID());
    if (!m_employee->LoadByID())
        return;
    m_week->SetWeekEnd(m_currentWeekEnd);
    m_week->SetEmployee(m_employee->EmpID());
    m_week->LoadLocked(m_state.lockIdentity); // a refusal has been shown; the week stays visible
    showWeek();
    FocusFirstEntry();
}

void TfrmMain::cboWeekEndClick()
{
    const int chosen = cboWeekEnd->currentIndex();
    if (chosen < 0 || chosen >= int(m_weekEnds.size()))
        return;
    if (!askToSaveChanges()) {
        const QSignalBlocker quiet(cboWeekEnd);
        cboWeekEnd->setCurrentIndex(m_weekEndIndex);
        return;
    }
    WaitCursor wait;
    // The old week lets go of its rows; unsaved changes are dropped.
    if (m_week->Loaded())
        m_week->Unlock(m_state.lockIdentity);
    m_week->Clear();
    m_weekEndIndex = chosen;
    m_currentWeekEnd = m_weekEnds[std::size_t(chosen)];
    ShowDayCaptions();
    cboEmployeeDropDown();
    if (cboEmployee->currentIndex() >= 0) {
        cboEmployeeClick();
        return;
    }
    ClearEntry();
    ShowDayHours();
    ShowTimeOff();
    ShowTotals();
    for (auto* b : {cmdCopy, cmdDelete, cmdSave, cmdPrint})
        b->setEnabled(false);
}

bool TfrmMain::oldWeekAllowed(const std::string& refusal)
{
    return OldWeekChangeAllowed(m_currentWeekEnd, m_state, [this] { mnuFileManagerAccessClick(); }, refusal);
}

bool TfrmMain::SaveWeek()
{
    if (!takeTypedEntry() || !oldWeekAllowed(kOldWeekSave))
        return false;
    WaitCursor wait;
    std::array<TimeOffBox, 7> boxes;
    std::array<std::string, 7> captions;
    for (std::size_t n = 0; n < 7; ++n) {
        boxes[n] = {txtNonWork[n]->value(), txtNonWork[n]->tag(), txtNonWork[n]->isEnabled()};
        captions[n] = lblDOW[n]->text().toStdString();
    }
    const WeekEditSaveResult result =
        TWeekEditor(m_dm, *m_week).Save(boxes, captions, m_state.lockIdentity, m_reasons->Count() > 0);
    for (std::size_t n = 0; n < 7; ++n) {
        if (result.boxes[n] == TimeOffBoxAfterSave::Stored)
            txtNonWork[n]->setGreyed(true);
        else if (result.boxes[n] == TimeOffBoxAfterSave::Cleared)
            txtNonWork[n]->setValue(0);
    }
    switch (result.outcome) {
    case WeekEditSaveResult::Outcome::Saved:
        return true;
    case WeekEditSaveResult::Outcome::ReasonMissing:
        popUpReasons(result.day);
        return false;
    case WeekEditSaveResult::Outcome::TimeOffConflict:
        cmdSave->setEnabled(false);
        return false;
    case WeekEditSaveResult::Outcome::WeekFailed:
        break;
    }
    if (result.week.outcome == WeekSaveResult::Outcome::AddedByAnotherCopy)
        cmdSave->setEnabled(false);
    else if (result.week.outcome == WeekSaveResult::Outcome::DayFailed && msk1In[result.week.day]->isEnabled())
        msk1In[result.week.day]->setFocus();
    return false;
}

void TfrmMain::cmdSaveClick()
{
    if (SaveWeek()) {
        WaitCursor wait;
        m_week->LoadLocked(m_state.lockIdentity);
        ShowDayHours();
        ShowTotals();
        cmdSave->setEnabled(false);
    }
    RestoreCursor();
}

void TfrmMain::cmdDeleteClick()
{
    if (!oldWeekAllowed(kOldWeekDelete))
        return;
    if (ShowMessageBox("Are you sure you want to delete this week's Hourvane entries?", MsgKind::Confirmation,
                       MsgButtons::YesNo) != MsgResult::Yes)
        return;
    WaitCursor wait;
    if (m_week->Delete(m_state.lockIdentity)) {
        m_week->LoadLocked(m_state.lockIdentity);
        showWeek();
        cmdSave->setEnabled(false);
        FocusFirstEntry();
    }
}

void TfrmMain::cmdCopyClick()
{
    if (txtTotalHours->value() > 0 &&
        ShowMessageBox("Are you sure you want to copy over the current Hourvane information for this employee?",
                       MsgKind::Confirmation, MsgButtons::YesNo) != MsgResult::Yes)
        return;
    WaitCursor wait;
    if (m_week->TimeOffList().DeleteAll(m_state.lockIdentity) >= 0) {
        // Nothing was removed or copied; the entries are back as they were.
        m_week->Compute();
        showWeek();
        return;
    }
    m_week->Unlock(m_state.lockIdentity);
    m_week->CopyPreviousWeek();
    m_week->Lock(m_state.lockIdentity);
    showWeek();
    cmdSave->setEnabled(m_week->IsModified());
}

void TfrmMain::cmdTimeOffClick() { runCommand("cmdTimeOff"); }

} // namespace hv
