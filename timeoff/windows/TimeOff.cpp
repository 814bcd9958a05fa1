#include "timeoff/windows/TimeOff.h"

#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/Format.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "settings/OldWeek.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "storage/SQLRec.h"
#include "timeoff/TReason.h"
#include "timeoff/TTimeOff.h"
#include "widgets/PasswordDialogs.h"
#include "widgets/RecordWindow.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVNumberEdit.h"
#include "widgets/WindowParts.h"
#include "widgets/WindowUtil.h"

#include <QEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace hv {

namespace {

const char* const kOldSave = "You must have Manager Access to Save old Time Off Hours information.";
const char* const kOldDelete = "You must have Manager Access to Delete old Time Off Hours information.";
const char* const kModifiedQuestion = "This Time Off record has been modified.  Do you want to save your changes?";

enum GridColumn { colDate = 0, colHours = 1, colReason = 2, colReasonID = 3 };

} // namespace

TfrmTimeOff::TfrmTimeOff(THourvaneDataMod& dm, AppState& state, std::int32_t employeeID, double weekEnd,
                         std::string settingsFileName, QWidget* owner) :
    QDialog(owner),
    m_dm(dm),
    m_state(state),
    m_settingsFileName(std::move(settingsFileName)),
    m_weekEnd(weekEnd > 0 ? weekEnd : 0),
    m_employee(std::make_unique<TEmployeeRecClass>(dm)),
    m_list(std::make_unique<TTimeOffListClass>(dm)),
    m_entry(std::make_unique<TTimeOffRecClass>(dm))
{
    setObjectName("frmTimeOff");
    setWindowTitle("Employee Time Off");
    buildControls();

    const LoadingScope loading(m_loading);
    txtHours->setDisplayPattern(globalSettings().hourFormat);
    refillEmployees();
    // By key: two employees may share a name.
    if (employeeID == 0 || cboEmployees->SelectID(employeeID) < 0)
        cboEmployees->setCurrentIndex(-1);
    refillReasons();
    cboReasons->setCurrentIndex(-1);
    // Without a week there is nothing this window could show or store.
    if (m_weekEnd <= 0)
        for (QWidget* w : {static_cast<QWidget*>(cboEmployees), static_cast<QWidget*>(cboTimeOffDate),
                           static_cast<QWidget*>(txtHours), static_cast<QWidget*>(cboReasons)})
            w->setEnabled(false);
}

TfrmTimeOff::~TfrmTimeOff() { finishClosing(); }

void TfrmTimeOff::buildControls()
{
    cboEmployees = new TQVComboBox(this);
    cboEmployees->setObjectName("cboEmployees");
    cboEmployees->setMinimumContentsLength(24);
    cboTimeOffDate = new TQVComboBox(this);
    cboTimeOffDate->setObjectName("cboTimeOffDate");
    lblDOW = new QLabel(this);
    lblDOW->setObjectName("lblDOW");
    lblDOW->setMinimumWidth(90);
    txtHours = new TQVNumberEdit(this);
    txtHours->setObjectName("txtHours");
    // A day has no more than 24 hours to take off.
    txtHours->setMaximum(24);
    cboReasons = new TQVComboBox(this);
    cboReasons->setObjectName("cboReasons");
    cboReasons->setMinimumContentsLength(20);

    // The grid's fourth column holds the reason number and stays hidden.
    grdTimeOff = new QTableWidget(0, 4, this);
    grdTimeOff->setObjectName("grdTimeOff");
    hdrTimeOff = AttachHeader(grdTimeOff, "hdrTimeOff", {"Date", "Hours", "Reason"}, this);
    grdTimeOff->setColumnWidth(colDate, 90);
    grdTimeOff->setColumnWidth(colHours, 60);
    grdTimeOff->setColumnWidth(colReason, 150);
    grdTimeOff->setMinimumHeight(140);

    const RecordButtons buttons = BuildRecordButtons(this, "&Close");
    cmdSave = buttons.save;
    cmdDelete = buttons.del;
    cmdClose = buttons.close;

    auto* fields = new QGridLayout;
    fields->addWidget(fieldLabel("Select Employee", cboEmployees, this), 0, 0);
    fields->addWidget(cboEmployees, 0, 1, 1, 2);
    fields->addWidget(fieldLabel("Time Off Date", cboTimeOffDate, this), 1, 0);
    fields->addWidget(cboTimeOffDate, 1, 1);
    fields->addWidget(lblDOW, 1, 2);
    fields->addWidget(fieldLabel("Hours Taken", txtHours, this), 2, 0);
    fields->addWidget(txtHours, 2, 1);
    fields->addWidget(fieldLabel("Reason", cboReasons, this), 3, 0);
    fields->addWidget(cboReasons, 3, 1, 1, 2);
    auto* gridBox = new QVBoxLayout;
    gridBox->setSpacing(0);
    gridBox->addWidget(hdrTimeOff);
    gridBox->addWidget(grdTimeOff);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(gridBox);
    layout->addLayout(buttons.row);

    connect(cboEmployees, &TQVComboBox::itemClicked, this, [this](int) { cboEmployeesClick(); });
    connect(cboEmployees, &TQVComboBox::dropDown, this, [this] {
        const std::string shown = cboEmployees->currentText().toStdString();
        refillEmployees();
        if (cboEmployees->SelectText(shown) < 0)
            cboEmployees->setCurrentIndex(-1);
    });
    connect(cboReasons, &TQVComboBox::dropDown, this, [this] {
        const std::string shown = cboReasons->currentText().toStdString();
        refillReasons();
        if (cboReasons->SelectText(shown) < 0)
            cboReasons->setCurrentIndex(-1);
    });
    connect(cboTimeOffDate, &TQVComboBox::itemClicked, this, [this](int) { cboTimeOffDateClick(); });
    connect(cboReasons, &TQVComboBox::itemClicked, this, [this](int) { cboReasonsClick(); });
    connect(txtHours, &QLineEdit::textEdited, this, [this](const QString&) { txtHoursChange(); });
    connect(txtHours, &TQVNumberEdit::exitBox, this, &TfrmTimeOff::txtHoursExit);
    connect(grdTimeOff, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { grdTimeOffDblClick(row); });
    connect(cmdSave, &QPushButton::clicked, this, [this] { cmdSaveClick(); });
    connect(cmdDelete, &QPushButton::clicked, this, &TfrmTimeOff::cmdDeleteClick);
    connect(cmdClose, &QPushButton::clicked, this, &TfrmTimeOff::reject);
    AddHelpKey(this, [] { return kTimeOffHelpContext; });
}

bool TfrmTimeOff::event(QEvent* e)
{
    // Only the first showing reads the week: later activations come back from
    // message boxes and the manager access window, and reading again then
    // would move the entry being typed to the first day.
    if (e->type() == QEvent::Show && !m_activated) {
        m_activated = true;
        const bool handled = QDialog::event(e);
        LoadColumnWidths(hdrTimeOff, grdTimeOff, m_settingsFileName);
        FormActivate();
        return handled;
    }
    return QDialog::event(e);
}

std::string TfrmTimeOff::dateText(double date) const { return FormatDateTime(m_state.dateFormatShown(), date); }

void TfrmTimeOff::refillEmployees()
{
    if (m_weekEnd <= 0) {
        cboEmployees->clear();
        return;
    }
    m_employee->FillEmployeeList(*cboEmployees, EmployeeStatus::All, false, true, m_weekEnd);
}

void TfrmTimeOff::refillReasons()
{
    TReasonRecClass reason(m_dm);
    reason.FillReasonList(*cboReasons, false, true, cboReasons->SelectedID());
}

void TfrmTimeOff::FormActivate()
{
    WaitCursor wait;
    loadEmployeeWeek();
}

void TfrmTimeOff::cboEmployeesClick()
{
    WaitCursor wait;
    const std::int32_t chosen = cboEmployees->SelectedID();
    if (chosen != m_list->EmpID()) {
        // The week of the employee left behind is not edited here any more.
        releaseLocks();
        m_entry = std::make_unique<TTimeOffRecClass>(m_dm, chosen);
        resetForm();
        cmdSave->setEnabled(false);
        cmdDelete->setEnabled(false);
    }
    loadEmployeeWeek();
}

void TfrmTimeOff::loadEmployeeWeek()
{
    const LoadingScope loading(m_loading);
    const std::int32_t empID = cboEmployees->SelectedID();
    m_employee->SetEmpID(empID);
    if (empID == 0 || !m_employee->LoadByID())
        m_employee->Clear();
    fillDateList();
    m_list->SetEmpID(empID);
    m_list->SetWeekEnd(m_weekEnd);
    m_list->Load();
    fillGrid();
    m_entry->SetEmpID(empID);
}

void TfrmTimeOff::fillDateList()
{
    cboTimeOffDate->clear();
    if (m_weekEnd > 0) {
        double first = m_weekEnd - 6;
        const double start = m_employee->StartDate();
        while (first <= m_weekEnd && start > 0 && first < start)
            ++first;
        double last = m_weekEnd;
        const double end = m_employee->EndDate();
        while (last >= first && end > 0 && last > end)
            --last;
        for (double day = first; day <= last; ++day)
            cboTimeOffDate->add(dateText(day), std::int32_t(day));
    }
    cboTimeOffDate->setCurrentIndex(cboTimeOffDate->count() > 0 ? 0 : -1);
    showWeekday();
}

void TfrmTimeOff::fillGrid()
{
    grdTimeOff->setRowCount(0);
    grdTimeOff->setRowCount(m_list->Count());
    const std::string& hours = globalSettings().hourFormat;
    for (int row = 0; row < m_list->Count(); ++row) {
        const TTimeOffRecClass& e = m_list->Items(row);
        auto* date = new QTableWidgetItem(QString::fromStdString(dateText(e.WeekDate())));
        date->setData(Qt::UserRole, e.WeekDate());
        grdTimeOff->setItem(row, colDate, date);
        auto* shown = new QTableWidgetItem(QString::fromStdString(FormatFloat(hours, e.Hours())));
        shown->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grdTimeOff->setItem(row, colHours, shown);
        grdTimeOff->setItem(row, colReason, new QTableWidgetItem(QString::fromStdString(e.ReasonDescription())));
        grdTimeOff->setItem(row, colReasonID, new QTableWidgetItem(QString::number(e.ReasonID())));
    }
}

double TfrmTimeOff::selectedDate() const { return double(cboTimeOffDate->SelectedID()); }

void TfrmTimeOff::showWeekday()
{
    lblDOW->setText(cboTimeOffDate->currentIndex() < 0
                        ? QString()
                        : QString::fromStdString(FormatDateTime("dddd", selectedDate())));
}

void TfrmTimeOff::resetForm()
{
    const LoadingScope loading(m_loading);
    cboTimeOffDate->setCurrentIndex(cboTimeOffDate->count() > 0 ? 0 : -1);
    showWeekday();
    txtHours->setValue(0);
    txtHours->setModified(false);
    cboReasons->setCurrentIndex(-1);
}

void TfrmTimeOff::primeEntry()
{
    m_entry = std::make_unique<TTimeOffRecClass>(m_dm, cboEmployees->SelectedID(), selectedDate());
}

void TfrmTimeOff::reloadAfterChange()
{
    resetForm();
    grdTimeOff->setRowCount(0);
    cmdDelete->setEnabled(false);
    {
        const LoadingScope loading(m_loading);
        m_list->Load();
        fillGrid();
    }
    primeEntry();
}

void TfrmTimeOff::afterEdit()
{
    if (!m_list->LockedBySomeoneElse())
        return;
    cmdDelete->setEnabled(false);
    resetForm();
}

void TfrmTimeOff::cboTimeOffDateClick()
{
    if (m_loading)
        return;
    showWeekday();
    m_entry->SetWeekDate(selectedDate());
    const bool ours = m_entry->lockHolder() == TSQLRecClass::storedIdentity(m_state.lockIdentity);
    m_heldLocks = m_heldLocks || ours;
    cmdSave->setEnabled(ours);
    afterEdit();
}

void TfrmTimeOff::cboReasonsClick()
{
    if (m_loading)
        return;
    m_entry->SetReasonID(cboReasons->SelectedID());
    const bool ours = m_entry->lockHolder() == TSQLRecClass::storedIdentity(m_state.lockIdentity);
    m_heldLocks = m_heldLocks || ours;
    cmdSave->setEnabled(ours);
    afterEdit();
}

void TfrmTimeOff::txtHoursChange()
{
    if (m_loading)
        return;
    const bool locked = m_list->LockAll(m_state.lockIdentity);
    m_heldLocks = m_heldLocks || locked;
    cmdSave->setEnabled(locked);
    afterEdit();
}

void TfrmTimeOff::txtHoursExit()
{
    if (m_loading)
        return;
    m_entry->SetHours(float(txtHours->value()));
}

void TfrmTimeOff::grdTimeOffDblClick(int row)
{
    if (grdTimeOff->rowCount() == 0 || row < 0 || row >= grdTimeOff->rowCount())
        return;
    QTableWidgetItem* dateItem = grdTimeOff->item(row, colDate);
    QTableWidgetItem* reasonItem = grdTimeOff->item(row, colReasonID);
    if (!dateItem || !reasonItem)
        return;
    const double date = dateItem->data(Qt::UserRole).toDouble();
    const std::int32_t reasonID = reasonItem->text().toInt();
    // A fresh object: changing the key of the one held would lock its old row.
    m_entry = std::make_unique<TTimeOffRecClass>(m_dm, cboEmployees->SelectedID(), date, reasonID);
    if (!m_entry->Load()) {
        ShowMessageBox("This Time Off record has been deleted by another user and is no longer available.",
                       MsgKind::Warning);
        resetForm();
        {
            const LoadingScope loading(m_loading);
            m_list->Load();
            fillGrid();
        }
        primeEntry();
        cmdSave->setEnabled(false);
        cmdDelete->setEnabled(false);
        return;
    }
    const LoadingScope loading(m_loading);
    const std::string shownDate = dateText(date);
    if (cboTimeOffDate->SelectText(shownDate) < 0) {
        cboTimeOffDate->add(shownDate, std::int32_t(date));
        cboTimeOffDate->SelectText(shownDate);
    }
    showWeekday();
    if (cboReasons->SelectID(reasonID) < 0) {
        // An inactive reason is not offered, yet the entry keeps it.
        cboReasons->add(m_entry->ReasonDescription(), reasonID);
        cboReasons->SelectID(reasonID);
    }
    txtHours->setValue(m_entry->Hours());
    txtHours->setModified(false);
    cmdSave->setEnabled(false);
    cmdDelete->setEnabled(true);
}

bool TfrmTimeOff::oldWeekAllowed(const std::string& refusal)
{
    return OldWeekChangeAllowed(
        m_weekEnd, m_state, [this] { RequestManagerAccess(m_state, m_dm, this); }, refusal);
}

bool TfrmTimeOff::cmdSaveClick()
{
    // Saving by its shortcut leaves the typed hours in the box: leaving it
    // first takes them into the entry as a click would.
    if (txtHours->hasFocus()) {
        cmdSave->setFocus(Qt::OtherFocusReason);
        if (txtHours->hasFocus())
            return false; // the typed number was refused
    }
    if (!oldWeekAllowed(kOldSave))
        return false;
    if (cboEmployees->currentIndex() < 0) {
        ShowMessageBox("Please select an Employee for this Time Off record.", MsgKind::Information);
        cboEmployees->setFocus();
        return false;
    }
    if (m_entry->Hours() == 0) {
        ShowMessageBox("Please enter the Hours Taken.", MsgKind::Information);
        txtHours->setFocus();
        return false;
    }
    if (cboReasons->currentIndex() < 0) {
        ShowMessageBox("Please select the Reason.", MsgKind::Information);
        cboReasons->setFocus();
        return false;
    }
    m_entry->SetWeekDate(selectedDate());
    bool saved = false;
    try {
        WaitCursor wait;
        saved = m_entry->Save(m_state.lockIdentity);
    } catch (const EDuplicateTOError& e) {
        ShowMessageBox(e.what(), MsgKind::Information);
        cmdSave->setEnabled(false);
        return false;
    } catch (const std::exception& e) {
        // A reason or benefit rule that went missing meanwhile: nothing was written.
        ShowMessageBox(e.what(), MsgKind::Warning);
        return false;
    }
    if (!saved)
        return false;
    reloadAfterChange();
    return true;
}

void TfrmTimeOff::cmdDeleteClick()
{
    if (!oldWeekAllowed(kOldDelete))
        return;
    if (ShowMessageBox("Are you sure you want to delete this Time Off entry?", MsgKind::Confirmation,
                       MsgButtons::YesNo) != MsgResult::Yes)
        return;
    WaitCursor wait;
    if (!m_list->LockAll(m_state.lockIdentity)) {
        cmdDelete->setEnabled(false);
        return;
    }
    m_heldLocks = true;
    if (!m_entry->Delete(m_state.lockIdentity)) {
        cmdDelete->setEnabled(false);
        return;
    }
    reloadAfterChange();
}

void TfrmTimeOff::reject()
{
    if (m_entry->IsModified() && cmdSave->isEnabled() &&
        !settleUnsavedChanges(kModifiedQuestion, [this] { return cmdSaveClick(); }))
        return;
    finishClosing();
    QDialog::reject();
}

void TfrmTimeOff::releaseLocks()
{
    const bool entryLocked = m_entry->lockHolder() == TSQLRecClass::storedIdentity(m_state.lockIdentity);
    if (m_heldLocks || entryLocked)
        m_list->UnlockAll(m_state.lockIdentity);
    m_heldLocks = false;
}

void TfrmTimeOff::finishClosing()
{
    if (m_closed)
        return;
    m_closed = true;
    if (m_activated)
        SaveColumnWidths(hdrTimeOff, m_settingsFileName);
    releaseLocks();
}

} // namespace hv
