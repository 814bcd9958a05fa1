#include "reports/windows/Selection.h"

#include "people/TDept.h"
#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/Format.h"
#include "ports/CursorService.h"
#include "ports/HelpService.h"
#include "ports/MessageService.h"
#include "reports/HVReport.h"
#include "storage/AppState.h"
#include "widgets/PasswordDialogs.h"
#include "widgets/PickDate.h"
#include "widgets/TQVDateEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace hv {

namespace {

const char* const kWageAccessMessage = "You must enable Manager Access to view and edit Employee Wage records.";
const char* const kActive = "Active";

const ReportKind kKinds[] = {
    {"HoursWorked", "Hours Worked Report", 2110},   {"TimeOff", "Time Off Taken Report", 2120},
    {"Balances", "Benefit Balances Report", 2130},  {"HourvaneList", "Hourvane List", 2210},
    {"EmpList", "Employee Information List", 2220}, {"DeptList", "Department List", 2230},
};

// The entry's TIDRecClass lives with the item and goes with it.
class IDItem : public QListWidgetItem {
public:
    IDItem(const std::string& text, std::int32_t id) : QListWidgetItem(QString::fromStdString(text)), object(id) {}
    TIDRecClass object;
};

const IDItem* idItem(const QListWidget* list, int index) { return static_cast<const IDItem*>(list->item(index)); }

} // namespace

const ReportKind* FindReportKind(const std::string& reportName)
{
    for (const ReportKind& k : kKinds)
        if (reportName == k.name)
            return &k;
    return nullptr;
}

PickListBox::PickListBox(QWidget* parent) : QListWidget(parent)
{
    setSortingEnabled(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
}

void PickListBox::add(const std::string& text, std::int32_t id) { addItem(new IDItem(text, id)); }

std::string PickListBox::text(int index) const { return item(index)->text().toStdString(); }

std::int32_t PickListBox::id(int index) const { return idItem(this, index)->object.ID(); }

const TIDRecClass* PickListBox::object(int index) const { return &idItem(this, index)->object; }

void PickListBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->source() == m_partner && m_partner)
        event->acceptProposedAction();
    else
        event->ignore();
}

void PickListBox::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->source() == m_partner && m_partner)
        event->acceptProposedAction();
    else
        event->ignore();
}

void PickListBox::dropEvent(QDropEvent* event)
{
    if (event->source() != m_partner || !m_partner) {
        event->ignore();
        return;
    }
    // The window moves the entries itself, IDs and all.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    emit droppedFromPartner();
}

void PickListBox::startDrag(Qt::DropActions)
{
    if (QListWidget::count() == 0 || selectedItems().isEmpty())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(new QMimeData);
    // Several documents when two or more entries go.
    const QStyle::StandardPixmap icon =
        selectedItems().size() > 1 ? QStyle::SP_FileDialogDetailedView : QStyle::SP_FileIcon;
    drag->setPixmap(style()->standardIcon(icon).pixmap(24, 24));
    drag->exec(Qt::MoveAction);
}

TfrmSelection::TfrmSelection(THourvaneDataMod& dm, AppState& state, DatePicker& datePicker,
                             ReportWindowService& windows, report::ReportPrinter& printer, QWidget* owner) :
    QDialog(owner), m_dm(dm), m_state(state), m_datePicker(datePicker), m_windows(windows), m_printer(printer)
{
    setObjectName("frmSelection");
    setWindowTitle("Select");

    lblSource = new QLabel("Source List:", this);
    lblSource->setObjectName("lblSource");
    lblDestination = new QLabel("Destination List:", this);
    lblDestination->setObjectName("lblDestination");
    lstSource = new PickListBox(this);
    lstSource->setObjectName("lstSource");
    lstDestination = new PickListBox(this);
    lstDestination->setObjectName("lstDestination");
    lstSource->setPartner(lstDestination);
    lstDestination->setPartner(lstSource);

    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    IncludeBtn = button("IncludeBtn", ">");
    IncAllBtn = button("IncAllBtn", ">>");
    ExcludeBtn = button("ExcludeBtn", "<");
    ExAllBtn = button("ExAllBtn", "<<");
    cmdPreview = button("cmdPreview", "Preview");
    cmdPrint = button("cmdPrint", "Print");
    cmdClose = button("cmdClose", "Close");

    grpSelectFrom = new QGroupBox(" Select From ", this);
    grpSelectFrom->setObjectName("grpSelectFrom");
    btnEmps = new QRadioButton("Employees", grpSelectFrom);
    btnEmps->setObjectName("btnEmps");
    btnDepts = new QRadioButton("Departments", grpSelectFrom);
    btnDepts->setObjectName("btnDepts");
    lblEmpType = new QLabel("Select From:", grpSelectFrom);
    lblEmpType->setObjectName("lblEmpType");
    cboEmpType = new QComboBox(grpSelectFrom);
    cboEmpType->setObjectName("cboEmpType");
    cboEmpType->addItems({"Current", "All", "Former"});
    cboEmpType->setCurrentIndex(-1);
    auto* selectBox = new QGridLayout(grpSelectFrom);
    selectBox->addWidget(btnEmps, 0, 0);
    selectBox->addWidget(btnDepts, 0, 1);
    selectBox->addWidget(lblEmpType, 1, 0);
    selectBox->addWidget(cboEmpType, 1, 1);

    chkNewPage = new QCheckBox("New page for each Employee", this);
    chkNewPage->setObjectName("chkNewPage");
    chkNewPage->setChecked(true);

    pnlDates = new QWidget(this);
    pnlDates->setObjectName("pnlDates");
    txtStartDate = new TQVDateEdit(pnlDates);
    txtStartDate->setObjectName("txtStartDate");
    txtEndDate = new TQVDateEdit(pnlDates);
    txtEndDate->setObjectName("txtEndDate");
    btnStartDate = new QToolButton(pnlDates);
    btnStartDate->setObjectName("btnStartDate");
    btnStartDate->setText("...");
    btnEndDate = new QToolButton(pnlDates);
    btnEndDate->setObjectName("btnEndDate");
    btnEndDate->setText("...");
    auto* dates = new QGridLayout(pnlDates);
    dates->addWidget(new QLabel("Beginning on", pnlDates), 0, 0);
    dates->addWidget(txtStartDate, 0, 1);
    dates->addWidget(btnStartDate, 0, 2);
    dates->addWidget(new QLabel("Ending on", pnlDates), 1, 0);
    dates->addWidget(txtEndDate, 1, 1);
    dates->addWidget(btnEndDate, 1, 2);

    grpReport = new QGroupBox("Report ", this);
    grpReport->setObjectName("grpReport");
    optDetail = new QRadioButton("Detail", grpReport);
    optDetail->setObjectName("optDetail");
    optDetail->setChecked(true);
    optSummary = new QRadioButton("Summary", grpReport);
    optSummary->setObjectName("optSummary");
    auto* reportBox = new QHBoxLayout(grpReport);
    reportBox->addWidget(optDetail);
    reportBox->addWidget(optSummary);

    chkGrossWages = new QCheckBox("Include Gross Wages", this);
    chkGrossWages->setObjectName("chkGrossWages");
    chkShiftLine = new QCheckBox("Print Shift Differential on Separate Line", this);
    chkShiftLine->setObjectName("chkShiftLine");
    chkShiftLine->setEnabled(false);

    grpPunchTime = new QGroupBox(" Punch In/Out Times ", this);
    grpPunchTime->setObjectName("grpPunchTime");
    opt12Hour = new QRadioButton("12 Hour", grpPunchTime);
    opt12Hour->setObjectName("opt12Hour");
    opt12Hour->setChecked(true);
    opt24Hour = new QRadioButton("24 Hour", grpPunchTime);
    opt24Hour->setObjectName("opt24Hour");
    auto* punchBox = new QHBoxLayout(grpPunchTime);
    punchBox->addWidget(opt12Hour);
    punchBox->addWidget(opt24Hour);
    chkSignature = new QCheckBox("Include Signature Lines", this);
    chkSignature->setObjectName("chkSignature");

    chkDeptEmp = new QCheckBox("Include Employees with each Department", this);
    chkDeptEmp->setObjectName("chkDeptEmp");
    chkDeptEmp->setChecked(true);
    lblDeptEmps = new QLabel("Employees Included", this);
    lblDeptEmps->setObjectName("lblDeptEmps");
    cboDeptEmps = new QComboBox(this);
    cboDeptEmps->setObjectName("cboDeptEmps");
    cboDeptEmps->addItems({"Current", "All", "Former"});
    cboDeptEmps->setCurrentIndex(0);

    grpEmpInfo = new QGroupBox(" Print ", this);
    grpEmpInfo->setObjectName("grpEmpInfo");
    chkBasic = new QCheckBox("Basic/Personal Information", grpEmpInfo);
    chkBasic->setObjectName("chkBasic");
    chkBasic->setChecked(true);
    chkComments = new QCheckBox("Comments", grpEmpInfo);
    chkComments->setObjectName("chkComments");
    chkBalances = new QCheckBox("Accrued Benefit Balances", grpEmpInfo);
    chkBalances->setObjectName("chkBalances");
    chkWages = new QCheckBox("Wage History", grpEmpInfo);
    chkWages->setObjectName("chkWages");
    auto* infoBox = new QVBoxLayout(grpEmpInfo);
    for (QCheckBox* b : {chkBasic, chkComments, chkBalances, chkWages})
        infoBox->addWidget(b);

    // Lists and move buttons on top, options below, buttons at the bottom.
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    for (QPushButton* b : {IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn})
        moves->addWidget(b);
    moves->addStretch();
    auto* lists = new QGridLayout;
    lists->addWidget(lblSource, 0, 0);
    lists->addWidget(lblDestination, 0, 2);
    lists->addWidget(lstSource, 1, 0);
    lists->addLayout(moves, 1, 1);
    lists->addWidget(lstDestination, 1, 2);
    auto* options = new QVBoxLayout;
    for (QWidget* w :
         std::initializer_list<QWidget*>{grpSelectFrom, chkNewPage, pnlDates, grpReport, chkGrossWages, chkShiftLine,
                                         grpPunchTime, chkSignature, chkDeptEmp, lblDeptEmps, cboDeptEmps, grpEmpInfo})
        options->addWidget(w);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdPreview, cmdPrint, cmdClose})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(options);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(IncludeBtn, &QPushButton::clicked, this, &TfrmSelection::IncludeBtnClick);
    connect(IncAllBtn, &QPushButton::clicked, this, &TfrmSelection::IncAllBtnClick);
    connect(ExcludeBtn, &QPushButton::clicked, this, &TfrmSelection::ExcludeBtnClick);
    connect(ExAllBtn, &QPushButton::clicked, this, &TfrmSelection::ExAllBtnClick);
    connect(lstSource, &QListWidget::itemDoubleClicked, this, &TfrmSelection::IncludeBtnClick);
    connect(lstDestination, &QListWidget::itemDoubleClicked, this, &TfrmSelection::ExcludeBtnClick);
    connect(lstDestination, &PickListBox::droppedFromPartner, this, &TfrmSelection::IncludeBtnClick);
    connect(lstSource, &PickListBox::droppedFromPartner, this, &TfrmSelection::ExcludeBtnClick);
    connect(btnEmps, &QRadioButton::clicked, this, &TfrmSelection::employeesMode);
    connect(btnDepts, &QRadioButton::clicked, this, &TfrmSelection::departmentsMode);
    connect(cboEmpType, &QComboBox::activated, this, &TfrmSelection::cboEmpTypeChange);
    connect(chkNewPage, &QCheckBox::clicked, this, [this](bool checked) {
        if (!checked)
            chkSignature->setChecked(false);
        chkSignature->setEnabled(checked && btnEmps->isChecked());
    });
    connect(chkGrossWages, &QCheckBox::clicked, this, [this](bool checked) {
        wageBoxClicked(chkGrossWages, checked);
        chkShiftLine->setEnabled(chkGrossWages->isChecked());
        if (!chkGrossWages->isChecked())
            chkShiftLine->setChecked(false);
    });
    connect(chkWages, &QCheckBox::clicked, this, [this](bool checked) { wageBoxClicked(chkWages, checked); });
    connect(chkDeptEmp, &QCheckBox::clicked, this, [this](bool checked) {
        cboDeptEmps->setEnabled(checked);
        lblDeptEmps->setEnabled(checked);
        cboDeptEmps->setCurrentIndex(checked ? 0 : -1);
    });
    connect(btnStartDate, &QToolButton::clicked, this, [this] { pickDate(txtStartDate); });
    connect(btnEndDate, &QToolButton::clicked, this, [this] { pickDate(txtEndDate); });
    connect(cmdPreview, &QPushButton::clicked, this, &TfrmSelection::cmdPreviewClick);
    connect(cmdPrint, &QPushButton::clicked, this, &TfrmSelection::cmdPrintClick);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, &TfrmSelection::helpRequested);
}

void TfrmSelection::helpRequested() { helpService().showTopic(m_helpContext); }

void TfrmSelection::Configure(const std::string& reportName)
{
    m_reportName = reportName;
    const ReportKind* kind = FindReportKind(reportName);
    if (kind) {
        setWindowTitle(kind->caption);
        m_helpContext = kind->helpContext;
    }
    const bool hours = reportName == "HoursWorked";
    const bool timeOff = reportName == "TimeOff";
    const bool list = reportName == "HourvaneList";
    const bool dept = reportName == "DeptList";
    const bool emp = reportName == "EmpList";

    if (hours || timeOff || list)
        cboEmpType->insertItem(0, kActive);
    pnlDates->setVisible(hours || timeOff || list);
    grpReport->setVisible(hours || timeOff);
    chkGrossWages->setVisible(hours);
    chkShiftLine->setVisible(false); // not offered in this edition
    grpPunchTime->setVisible(list);
    chkSignature->setVisible(list);
    chkDeptEmp->setVisible(dept);
    lblDeptEmps->setVisible(dept);
    cboDeptEmps->setVisible(dept);
    grpEmpInfo->setVisible(emp);
    if (hours || timeOff || reportName == "Balances")
        chkNewPage->setChecked(false);
    if (dept) {
        grpSelectFrom->setVisible(false);
        btnDepts->setChecked(true);
        departmentsMode();
    } else {
        btnEmps->setChecked(true);
        employeesMode();
    }
}

bool TfrmSelection::activeChosen() const { return cboEmpType->currentText() == kActive; }

void TfrmSelection::employeesMode()
{
    cboEmpType->setEnabled(true);
    lblEmpType->setEnabled(true);
    if (cboEmpType->currentIndex() < 0)
        cboEmpType->setCurrentIndex(0);
    chkNewPage->setText("New page for each Employee");
    chkSignature->setEnabled(chkNewPage->isChecked());
    lblSource->setText("Available Employees");
    lblDestination->setText("Selected Employees");
    cboEmpTypeChange();
}

void TfrmSelection::cboEmpTypeChange()
{
    // For the employee information list in departments mode the choice only
    // says which employees each department lists.
    if (btnDepts->isChecked()) {
        refreshButtons();
        return;
    }
    lstDestination->clear();
    lstSource->clear();
    const bool active = activeChosen();
    lstSource->setEnabled(!active);
    lstDestination->setEnabled(!active);
    if (active) {
        lstDestination->add("All Employees Active During", -1);
        lstDestination->add("the Selected Date Range", -1);
    } else {
        WaitCursor wait;
        const QString choice = cboEmpType->currentText();
        const EmployeeStatus status = choice == "All"      ? EmployeeStatus::All
                                      : choice == "Former" ? EmployeeStatus::Former
                                                           : EmployeeStatus::Current;
        TEmployeeRecClass(m_dm).FillEmployeeList(*lstSource, status, false, false);
    }
    refreshButtons();
}

void TfrmSelection::departmentsMode()
{
    lstSource->setEnabled(true);
    lstDestination->setEnabled(true);
    chkNewPage->setText("New page for each Department");
    chkSignature->setChecked(false);
    chkSignature->setEnabled(false);
    lblSource->setText("Available Departments");
    lblDestination->setText("Selected Departments");
    if (m_reportName != "EmpList") {
        cboEmpType->setCurrentIndex(-1);
        cboEmpType->setEnabled(false);
        lblEmpType->setEnabled(false);
    } else if (activeChosen() || cboEmpType->currentIndex() < 0) {
        cboEmpType->setCurrentIndex(0);
    }
    lstDestination->clear();
    {
        WaitCursor wait;
        TDeptRecClass(m_dm).FillDepartmentListBox(*lstSource, true);
    }
    refreshButtons();
}

void TfrmSelection::refreshButtons()
{
    if (btnEmps->isChecked() && activeChosen()) {
        for (QPushButton* b : {IncludeBtn, IncAllBtn, ExcludeBtn, ExAllBtn})
            b->setEnabled(false);
        cmdPreview->setEnabled(true);
        cmdPrint->setEnabled(true);
        return;
    }
    const bool source = lstSource->count() > 0;
    const bool destination = lstDestination->count() > 0;
    IncludeBtn->setEnabled(source);
    IncAllBtn->setEnabled(source);
    ExcludeBtn->setEnabled(destination);
    ExAllBtn->setEnabled(destination);
    lstSource->setDragEnabled(source);
    lstDestination->setDragEnabled(destination);
    cmdPreview->setEnabled(destination);
    cmdPrint->setEnabled(destination);
}

void TfrmSelection::moveSelected(PickListBox* from, PickListBox* to)
{
    int first = -1;
    for (int i = from->count() - 1; i >= 0; --i) {
        if (!from->item(i)->isSelected())
            continue;
        first = i;
        to->add(from->text(i), from->id(i));
        delete from->takeItem(i);
    }
    from->setFocus();
    from->clearSelection();
    if (from->count() > 0) {
        const int at = first < 0 ? 0 : std::min(first, from->count() - 1);
        from->setCurrentRow(at);
        from->item(at)->setSelected(true);
    }
    refreshButtons();
}

void TfrmSelection::moveAll(PickListBox* from, PickListBox* to)
{
    for (int i = 0; i < from->count(); ++i)
        to->add(from->text(i), from->id(i));
    from->clear();
    from->setFocus();
    refreshButtons();
}

void TfrmSelection::IncludeBtnClick() { moveSelected(lstSource, lstDestination); }
void TfrmSelection::IncAllBtnClick() { moveAll(lstSource, lstDestination); }
void TfrmSelection::ExcludeBtnClick() { moveSelected(lstDestination, lstSource); }
void TfrmSelection::ExAllBtnClick() { moveAll(lstDestination, lstSource); }

void TfrmSelection::wageBoxClicked(QCheckBox* box, bool checked)
{
    if (!checked || m_state.managerAccess)
        return;
    box->setChecked(false);
    if (!RequestManagerAccess(m_state, m_dm, this)) {
        ShowMessageBox(kWageAccessMessage, MsgKind::Information, MsgButtons::Ok);
        return;
    }
    box->setChecked(true);
}

void TfrmSelection::pickDate(TQVDateEdit* field)
{
    ShowWaitCursor();
    std::string text = field->text().toStdString();
    if (text.empty())
        text = field->dateText(clock().today());
    if (m_datePicker.pickDate(text, field->displayFormat(), this)) {
        double date = 0;
        if (TryStrToDate(text, date))
            field->setDate(date);
        else
            field->setText(QString::fromStdString(text));
    }
    RestoreCursor();
    field->setFocus();
}

bool TfrmSelection::checkPeriod(double& start, double& end)
{
    // Text that still names no date counts as no date.
    auto dateOf = [](const TQVDateEdit* box) {
        double date = 0;
        const std::string text = box->text().trimmed().toStdString();
        if (text.empty() || !TryStrToDate(text, date))
            return 0.0;
        return date;
    };
    start = dateOf(txtStartDate);
    end = dateOf(txtEndDate);
    const char* problem = nullptr;
    if (start == 0)
        problem = "Please enter a Beginning On date.";
    else if (end == 0)
        problem = "Please enter an Ending On date.";
    else if (start > end)
        problem = "The Ending On date cannot be before the Beginning on date.";
    if (!problem)
        return true;
    ShowMessageBox(problem, MsgKind::Information, MsgButtons::Ok);
    txtStartDate->setFocus();
    return false;
}

void TfrmSelection::run(bool preview)
{
    const bool period = m_reportName == "HoursWorked" || m_reportName == "TimeOff" || m_reportName == "HourvaneList";
    double start = 0, end = 0;
    if (period && !checkPeriod(start, end))
        return;

    MemoryPickList selection(PickListKind::StringList);
    if (btnEmps->isChecked() && activeChosen()) {
        WaitCursor wait;
        TEmployeeRecClass(m_dm).FillEmployeesForPeriod(selection, -1, end, start);
    } else {
        for (int i = 0; i < lstDestination->count(); ++i)
            selection.add(lstDestination->text(i), lstDestination->id(i));
    }

    // Created per run and gone with it, also when the run fails.
    TfrmHVReport host(m_dm, m_windows, m_printer);
    host.ReportName = m_reportName;
    host.SetSelectionList(selection);
    ReportOptions& o = host.Options;
    o.employeesMode = btnEmps->isChecked();
    o.newPage = chkNewPage->isChecked();
    o.periodStart = start;
    o.periodEnd = end;
    o.detail = optDetail->isChecked();
    if (m_reportName == "HoursWorked") {
        o.printWages = chkGrossWages->isChecked();
        o.shiftLine = chkShiftLine->isChecked();
    } else if (m_reportName == "HourvaneList") {
        o.signature = chkSignature->isChecked();
        o.punchFormat = opt24Hour->isChecked() ? "hh:nn" : "hh:nn AM/PM";
    } else if (m_reportName == "DeptList") {
        o.includeDeptEmployees = chkDeptEmp->isChecked();
        host.SetEmployeeFilter(std::max(cboDeptEmps->currentIndex(), 0));
    } else if (m_reportName == "EmpList") {
        o.printBasic = chkBasic->isChecked();
        o.printComments = chkComments->isChecked();
        o.printBalances = chkBalances->isChecked();
        o.printWages = chkWages->isChecked();
        // In departments mode the Select From choice says which employees
        // each department lists (Current, All, Former).
        const int choice = cboEmpType->currentIndex();
        host.SetEmployeeFilter(btnDepts->isChecked() ? std::max(choice, 0) : 0);
    }
    if (preview)
        host.RunPreview();
    else
        host.RunPrint();
}

void TfrmSelection::cmdPreviewClick() { run(true); }
void TfrmSelection::cmdPrintClick() { run(false); }

} // namespace hv
