// Building the main window: the controls under their component names, the
// week grid, the menus, and the features this edition hides.
#include "timekeeping/windows/Main.h"

#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "ports/HelpService.h"
#include "widgets/CommandRegistry.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVNumberEdit.h"
#include "widgets/TQVTimeEdit.h"
#include "widgets/TQVUpDown.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace hv {

namespace {

template <class W> W* named(W* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QString indexed(const char* prefix, int n) { return QString::fromLatin1(prefix) + QString::number(n); }

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

void TfrmMain::buildControls()
{
    auto* central = new QWidget(this);
    central->setObjectName("pnlMain");
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);

    // The selection bar.
    auto* bar = new QHBoxLayout;
    auto* lblEmployee = named(new QLabel("Select Employee", central), "lblEmployee");
    cboEmployee = named(new TQVComboBox(central), "cboEmployee");
    cboEmployee->setMinimumContentsLength(28);
    lblEmployee->setBuddy(cboEmployee);
    spnEmps = named(new TQVUpDown(central), "spnEmps");
    spnEmps->setRange(0, 0);
    spnEmps->setToolTip("Next or previous employee");
    spnEmps->installEventFilter(this);
    auto* lblWeekEnd = named(new QLabel("Week Ending", central), "lblWeekEnd");
    cboWeekEnd = named(new TQVComboBox(central), "cboWeekEnd");
    cboWeekEnd->setMinimumContentsLength(12);
    lblWeekEnd->setBuddy(cboWeekEnd);
    bar->addWidget(lblEmployee);
    bar->addWidget(cboEmployee);
    bar->addWidget(spnEmps);
    bar->addStretch(1);
    bar->addWidget(lblWeekEnd);
    bar->addWidget(cboWeekEnd);
    outer->addLayout(bar);

    // The week grid: caption, shift, four punches, more, then the hours.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    enum { cDay, cShift, cIn1, cOut1, cIn2, cOut2, cMore, cWorked, cOff, cTotal };
    lblShift = named(caption("Shift", central), "lblShift");
    grid->addWidget(lblShift, 0, cShift);
    grid->addWidget(named(caption("In", central), "lblIn1"), 0, cIn1);
    grid->addWidget(named(caption("Out", central), "lblOut1"), 0, cOut1);
    grid->addWidget(named(caption("In", central), "lblIn2"), 0, cIn2);
    grid->addWidget(named(caption("Out", central), "lblOut2"), 0, cOut2);
    grid->addWidget(named(caption("Hours\nWorked", central), "lblHoursWorked"), 0, cWorked);
    grid->addWidget(named(caption("Time Off\nHours", central), "lblTimeOffHours"), 0, cOff);
    grid->addWidget(named(caption("Total\nHours", central), "lblTotalHours"), 0, cTotal);

    auto numberBox = [&](const QString& name, bool editable) {
        auto* box = named(new TQVNumberEdit(central), name);
        box->setReadOnly(!editable);
        box->setAlignment(Qt::AlignRight);
        box->setFixedWidth(64);
        if (!editable)
            box->setFocusPolicy(Qt::NoFocus);
        return box;
    };
    // The caption column fits the widest caption of the week before the first
    // paint: every weekday name with a two-digit month and day.
    int dayCaptionWidth = 0;
    {
        const QLabel probe(central);
        const QFontMetrics metrics(probe.font());
        const double sunday = EncodeDate(2023, 12, 24);
        for (int d = 0; d < 7; ++d)
            dayCaptionWidth = std::max(dayCaptionWidth, metrics.horizontalAdvance(QString::fromStdString(
                                                            FormatDateTime("dddd - mm/dd", sunday + d))));
        dayCaptionWidth += 2 * probe.margin() + 8;
    }
    for (int n = 0; n < 7; ++n) {
        const int row = n + 1;
        lblDOW[n] = named(new QLabel(central), indexed("lblDOW", n));
        lblDOW[n]->setMinimumWidth(dayCaptionWidth);
        grid->addWidget(lblDOW[n], row, cDay);

        cboShift[n] = named(new QComboBox(central), indexed("cboShift", n));
        cboShift[n]->addItems({"1", "2", "3"});
        grid->addWidget(cboShift[n], row, cShift);

        std::array<std::array<TQVTimeEdit*, 7>*, 4> columns{&msk1In, &msk1Out, &msk2In, &msk2Out};
        const char* names[4] = {"msk1In", "msk1Out", "msk2In", "msk2Out"};
        for (int c = 0; c < 4; ++c) {
            auto* box = named(new TQVTimeEdit(central), indexed(names[c], n));
            box->setTag(n * 10 + c + 1);
            box->setFixedWidth(72);
            (*columns[c])[n] = box;
            grid->addWidget(box, row, cIn1 + c);
        }
        spdMore[n] = named(new QToolButton(central), indexed("spdMore", n));
        spdMore[n]->setText("...");
        spdMore[n]->setToolTip("More Punch In/Out Times");
        grid->addWidget(spdMore[n], row, cMore);

        txtRegular[n] = numberBox(indexed("txtRegular", n), false);
        txtNonWork[n] = numberBox(indexed("txtNonWork", n), true);
        txtNonWork[n]->setMaximum(24);
        txtHours[n] = numberBox(indexed("txtHours", n), false);
        for (auto* box : {txtRegular[n], txtNonWork[n], txtHours[n]})
            box->setBlankForZero(true);
        grid->addWidget(txtRegular[n], row, cWorked);
        grid->addWidget(txtNonWork[n], row, cOff);
        grid->addWidget(txtHours[n], row, cTotal);
    }

    // The week's totals under the time columns and the day totals.
    const int totals = 8;
    txtRegHours = numberBox("txtRegHours", false);
    txtOverHours = numberBox("txtOverHours", false);
    txtOtherHours = numberBox("txtOtherHours", false);
    txtTotalHours = numberBox("txtTotalHours", false);
    auto totalCell = [&](const char* name, const QString& text, TQVNumberEdit* box, int column) {
        auto* cell = new QVBoxLayout;
        cell->addWidget(named(caption(text, central), name));
        cell->addWidget(box, 0, Qt::AlignHCenter);
        grid->addLayout(cell, totals, column);
    };
    totalCell("lblRegular", "Regular", txtRegHours, cOut1);
    totalCell("lblOvertime", "Overtime", txtOverHours, cIn2);
    totalCell("lblOther", "Other", txtOtherHours, cOut2);
    totalCell("lblTotal", "Total", txtTotalHours, cTotal);
    outer->addLayout(grid);

    // The command buttons, left to right.
    auto* buttons = new QHBoxLayout;
    cmdCopy = named(new QPushButton("&Copy Last Week", central), "cmdCopy");
    cmdCopy->setToolTip("Copy Times From Last Week");
    cmdPrint = named(new QPushButton("&Print", central), "cmdPrint");
    cmdSave = named(new QPushButton("&Save", central), "cmdSave");
    cmdDelete = named(new QPushButton("&Delete", central), "cmdDelete");
    cmdTimeOff = named(new QPushButton("&Time Off...", central), "cmdTimeOff");
    cmdTimeOff->setToolTip("Edit Employee Time Off");
    for (auto* b : {cmdCopy, cmdPrint, cmdSave, cmdDelete, cmdTimeOff}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    for (auto* b : {cmdCopy, cmdSave, cmdDelete, cmdPrint})
        b->setEnabled(false);
    cmdTimeOff->setEnabled(m_commands.contains("cmdTimeOff"));
    outer->addLayout(buttons);

    PopupMenu = named(new QMenu(this), "PopupMenu");
    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setSingleShot(true);
    Timer1->setInterval(3000);

    connect(cmdSave, &QPushButton::clicked, this, &TfrmMain::cmdSaveClick);
    connect(cmdDelete, &QPushButton::clicked, this, &TfrmMain::cmdDeleteClick);
    connect(cmdCopy, &QPushButton::clicked, this, &TfrmMain::cmdCopyClick);
    connect(cmdTimeOff, &QPushButton::clicked, this, &TfrmMain::cmdTimeOffClick);
    connect(cmdPrint, &QPushButton::clicked, this, [this] { runCommand("cmdPrint"); });
    connect(Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);
    connect(cboEmployee, &TQVComboBox::itemClicked, this, &TfrmMain::cboEmployeeClick);
    connect(cboEmployee, &TQVComboBox::dropDown, this, &TfrmMain::cboEmployeeDropDown);
    connect(cboWeekEnd, &TQVComboBox::itemClicked, this, &TfrmMain::cboWeekEndClick);
    connect(spnEmps, &QSpinBox::valueChanged, this, &TfrmMain::spnEmpsClick);
    connectBoxes();
}

QAction* TfrmMain::addMenuItem(QMenu* menu, const char* name, const QString& text,
                               void (TfrmMain::*handler)())
{
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    if (handler) {
        connect(action, &QAction::triggered, this, handler);
    } else if (m_commands.contains(name)) {
        const std::string command = name;
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    } else {
        action->setEnabled(false); // no window of the program answers it
    }
    return action;
}

void TfrmMain::buildMenus()
{
    QMenu* file = menuBar()->addMenu("&File");
    file->setObjectName("mnuFile");
    mnuFileManagerAccess = addMenuItem(file, "mnuFileManagerAccess", "&Manager Access...",
                                       &TfrmMain::mnuFileManagerAccessClick);
    mnuFileManagerAccess->setCheckable(true);
    addMenuItem(file, "mnuFileChangePassword", "&Change Password...", &TfrmMain::mnuFileChangePasswordClick);
    file->addSeparator();
    addMenuItem(file, "mnuFileBackup", "&Backup Database...");
    addMenuItem(file, "mnuFileRestore", "&Restore from Backup...");
    file->addSeparator();
    addMenuItem(file, "mnuFilePrinterSetup", "Printer &Setup...");
    file->addSeparator();
    addMenuItem(file, "mnuFileImport", "&Import Data...");
    addMenuItem(file, "mnuFileExport", "&Export Data...");
    file->addSeparator();
    QAction* exit = addMenuItem(file, "mnuFileExit", "E&xit");
    exit->setEnabled(true);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu("&Edit");
    edit->setObjectName("mnuEdit");
    addMenuItem(edit, "mnuEditTimeOff", "Employee &Time Off...");
    edit->addSeparator();
    addMenuItem(edit, "mnuEditEmployees", "&Employees...");
    addMenuItem(edit, "mnuEditDepartments", "&Departments...");
    addMenuItem(edit, "mnuEditCustomData", "&Custom Employee Data Items...");
    addMenuItem(edit, "mnuEditOvertimePolicies", "&Overtime Policies...");
    addMenuItem(edit, "mnuEditBenefitPolicies", "&Benefit Policies...");
    addMenuItem(edit, "mnuEditReasons", "Time Off &Reasons...");
    edit->addSeparator()->setObjectName("mnuEditUsersSeparator");
    addMenuItem(edit, "mnuEditUsers", "Hourvane &Users...");
    edit->addSeparator();
    addMenuItem(edit, "mnuEditPreferences", "&Preferences...", &TfrmMain::mnuEditPreferencesClick)
        ->setEnabled(m_commands.contains("mnuEditPreferences"));

    QMenu* report = menuBar()->addMenu("&Report");
    report->setObjectName("mnuReport");
    addMenuItem(report, "mnuReportHoursWorked", "&Hours Worked Report...");
    addMenuItem(report, "mnuReportTimeOff", "Time &Off Taken Report...");
    addMenuItem(report, "mnuReportBalances", "&Benefit Balances Report...");
    report->addSeparator();
    addMenuItem(report, "mnuReportHourvaneList", "Hourvane &List..."); // &H is the hours worked report's
    addMenuItem(report, "mnuReportEmpList", "&Employee Information List...");
    addMenuItem(report, "mnuReportDeptList", "&Department List...");
    addMenuItem(report, "mnuReportReasonList", "Time Off &Reasons List...");
    report->addSeparator()->setObjectName("mnuReportUsersSeparator");
    addMenuItem(report, "mnuReportUsers", "&Users List...");

    QMenu* help = menuBar()->addMenu("&Help");
    help->setObjectName("mnuHelp");
    auto helpItem = [&](const char* name, const QString& text, auto&& run) {
        QAction* action = addMenuItem(help, name, text);
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, run);
    };
    helpItem("mnuHelpContents", "&Contents", [] { helpService().showContents(); });
    helpItem("mnuHelpSearch", "&Search for Help on...", [] { helpService().search(std::string()); });
    helpItem("mnuHelpSupport", "&Technical Support...",
             [] { helpService().showTopic(kTechnicalSupportHelpContext); });
    help->addSeparator();
    addMenuItem(help, "mnuHelpTips", "Tip of the &Day...");
    help->addSeparator();
    addMenuItem(help, "mnuHelpAbout", "&About Hourvane...");
}

void TfrmMain::hideAbsentFeatures()
{
    // Items of features this edition does not have.
    for (const char* name : {"mnuEditCustomData", "mnuEditOvertimePolicies", "mnuEditUsersSeparator",
                             "mnuEditUsers", "mnuReportUsersSeparator", "mnuReportUsers"})
        if (auto* action = findChild<QAction*>(name))
            action->setVisible(false);
    // One shift and two punch pairs: the layout closes the gap they leave.
    lblShift->setVisible(false);
    for (int n = 0; n < 7; ++n) {
        cboShift[n]->setVisible(false);
        cboShift[n]->setEnabled(false);
        spdMore[n]->setVisible(false);
        spdMore[n]->setEnabled(false);
    }
}

} // namespace hv
