// The main window's week: the week-ending list, the day captions, showing a
// week and its totals, choosing employee and week, and the save, delete and
// copy commands.
#include "timekeeping/Main.h"

#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "storage/CursorService.h"
#include "storage/HVGlobal.h"
#include "storage/MessageService.h"
#include "timekeeping/WorkUtil.h"
#include "timeoff/TReason.h"
#include "timeoff/TTimeOff.h"
#include "timeoff/TimeOff.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVNumberEdit.h"
#include "widgets/TQVTimeEdit.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <cmath>

namespace hv {

namespace {

const char* const kSaveQuestion =
    "The current Hourvane record has been changed.  Do you want to save your changes?";
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
    double total = 0;
    for (int n = 0; n < 7; ++n) {
        const double day = txtRegular[n]->value() + txtNonWork[n]->value();
        txtHours[n]->setValue(day);
        total += txtHours[n]->value();
    }
    txtRegHours->setValue(m_week->RegularTotal());
    txtOverHours->setValue(m_week->OvertimeTotal());
    txtOtherHours->setValue(m_week->TimeOffTotal());
    txtTotalHours->setValue(total);
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

void TfrmMain::cboEmployeeClick()
{
    if (cboEmployee->currentIndex() < 0)
        return;
    bool proceed = true;
    if (!askToSaveChanges(proceed) || !proceed) {
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
    cmdSave->setEnabled(false);

    m_employee->SetEmpID(cboEmployee->SelectedID());
    if (!m_employee->LoadByID())
        return;
    ClearEntry();
    m_week->SetWeekEnd(m_currentWeekEnd);
    m_week->SetEmployee(m_employee->EmpID());
    m_week->Load();
    m_week->Lock(m_state.lockIdentity); // a refusal has been shown; the week stays visible
    DisableOutsideEmployment();
    ShowTimes();
    ShowDayHours();
    ShowTimeOff();
    ShowTotals();
    FocusFirstEntry();
}

void TfrmMain::cboWeekEndClick()
{
    const int chosen = cboWeekEnd->currentIndex();
    if (chosen < 0 || chosen >= int(m_weekEnds.size()))
        return;
    bool proceed = true;
    if (!askToSaveChanges(proceed) || !proceed) {
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
    for (auto* b : {cmdCopy, cmdDelete, cmdSave})
        b->setEnabled(false);
}

bool TfrmMain::oldWeekAllowed(const std::string& refusal)
{
    if (clock().today() - m_currentWeekEnd <= 7 || m_state.managerAccess)
        return true;
    RestoreCursor();
    mnuFileManagerAccessClick();
    if (m_state.managerAccess)
        return true;
    ShowMessageBox(refusal, MsgKind::Information);
    return false;
}

bool TfrmMain::SaveWeek()
{
    if (!oldWeekAllowed(kOldWeekSave))
        return false;
    WaitCursor wait;
    for (int n = 0; n < 7; ++n) {
        TQVNumberEdit* box = txtNonWork[n];
        if (box->value() == 0 || !box->isEnabled())
            continue;
        if (box->tag() == 0) {
            RestoreCursor();
            ShowMessageBox("Please select the type of Time Off for " + lblDOW[n]->text().toStdString() +
                               "'s entry.",
                           MsgKind::Information);
            popUpReasons(n);
            return false;
        }
        TTimeOffRecClass entry(m_dm, m_week->EmployeeID(), dayDate(n), box->tag());
        entry.SetHours(float(box->value()));
        entry.SetNewDay(true);
        try {
            if (entry.Save(m_state.lockIdentity))
                box->setGreyed(true);
            else
                box->setValue(0);
        } catch (const EDuplicateTOError& e) {
            // Another copy added time off for this week first.
            RestoreCursor();
            ShowMessageBox(e.what(), MsgKind::Information);
            box->setValue(0);
            cmdSave->setEnabled(false);
            return false;
        } catch (const std::runtime_error& e) {
            // The reason or its benefit rules went away meanwhile.
            RestoreCursor();
            ShowMessageBox(e.what(), MsgKind::Information);
            box->setValue(0);
        }
    }
    const int result = m_week->Save(m_state.lockIdentity);
    if (result == kWeekSaved)
        return true;
    if (result == kWeekDuplicate)
        cmdSave->setEnabled(false);
    else if (result >= 0 && result <= 6 && msk1In[result]->isEnabled())
        msk1In[result]->setFocus();
    return false;
}

void TfrmMain::cmdSaveClick()
{
    if (SaveWeek()) {
        WaitCursor wait;
        m_week->Load();
        m_week->Lock(m_state.lockIdentity);
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
        m_week->Load();
        m_week->Lock(m_state.lockIdentity);
        ClearEntry();
        DisableOutsideEmployment();
        ShowTimes();
        ShowTimeOff();
        ShowDayHours();
        ShowTotals();
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
    m_week->TimeOffList().DeleteAll(m_state.lockIdentity);
    m_week->Unlock(m_state.lockIdentity);
    m_week->CopyPreviousWeek();
    m_week->Lock(m_state.lockIdentity);
    ClearEntry();
    DisableOutsideEmployment();
    ShowTimes();
    ShowDayHours();
    ShowTimeOff();
    ShowTotals();
    cmdSave->setEnabled(m_week->IsModified());
}

void TfrmMain::cmdTimeOffClick()
{
    const bool selected = cboEmployee->currentIndex() >= 0;
    {
        WaitCursor wait;
        TfrmTimeOff timeOff(m_dm, m_state, selected ? cboEmployee->currentText().toStdString() : std::string(),
                            cboWeekEnd->currentText().toStdString(), m_settingsFileName, this);
        RestoreCursor();
        timeOff.exec();
    }
    if (!selected || !m_week->Loaded())
        return;
    WaitCursor wait;
    // The window let go of the entries it locked; the shown week takes them again.
    TTimeOffListClass& list = m_week->TimeOffList();
    list.Load();
    list.LockAll(m_state.lockIdentity);
    m_week->Compute();
    ShowTimeOff();
    ShowTotals();
}

} // namespace hv
