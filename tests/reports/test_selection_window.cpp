// The report selection window built for real: its layout per report, the
// period checks, moving entries, the "Active" choice, the wage boxes behind
// manager access, and the Report menu that opens it.
#include "ports/PrinterQuery.h"
#include "reportengine/PageFile.h"
#include "reports/windows/ReportCommands.h"
#include "reports/windows/Selection.h"
#include "storage/AppState.h"
#include "tests/reports/SmallFolder.h"
#include "tests/support/ScriptedDatePicker.h"
#include "tests/support/ScriptedPasswordDialogs.h"
#include "tests/timekeeping/MainWindowFixture.h"
#include "widgets/TQVDateEdit.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace hv::test {
namespace {

class SelectionWindowTest : public SmallFolderTest {
protected:
    void SetUp() override
    {
        SmallFolderTest::SetUp();
        addSmallFolder();
        appState().managerAccess = false;
    }
    std::unique_ptr<TfrmSelection> open(const std::string& report)
    {
        auto w = std::make_unique<TfrmSelection>(*dm, appState(), picker, windows, printer);
        w->Configure(report);
        return w;
    }
    template <class W = QWidget>
    static W* get(QWidget* window, const char* name)
    {
        W* found = window->findChild<W*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static std::vector<std::string> texts(QWidget* window, const char* list)
    {
        std::vector<std::string> out;
        auto* box = get<PickListBox>(window, list);
        for (int i = 0; i < box->count(); ++i)
            out.push_back(box->text(i));
        return out;
    }

    ScriptedDatePicker picker;
};

TEST_F(SelectionWindowTest, LayoutPerReport)
{
    struct Row {
        const char* report;
        const char* caption;
        int help;
        std::vector<const char*> shown;
        std::vector<const char*> hidden;
        const char* selectFrom; // "" when cleared
        bool newPage;
        const char* newPageText;
    };
    const std::vector<Row> rows = {
        {"HoursWorked",
         "Hours Worked Report",
         2110,
         {"pnlDates", "grpReport", "chkGrossWages", "grpSelectFrom"},
         {"chkShiftLine", "grpPunchTime", "chkSignature", "chkDeptEmp", "grpEmpInfo"},
         "Active",
         false,
         "New page for each Employee"},
        {"TimeOff",
         "Time Off Taken Report",
         2120,
         {"pnlDates", "grpReport"},
         {"chkGrossWages", "grpPunchTime", "grpEmpInfo"},
         "Active",
         false,
         "New page for each Employee"},
        {"Balances",
         "Benefit Balances Report",
         2130,
         {"grpSelectFrom"},
         {"pnlDates", "grpReport", "chkGrossWages", "grpEmpInfo"},
         "Current",
         false,
         "New page for each Employee"},
        {"HourvaneList",
         "Hourvane List",
         2210,
         {"pnlDates", "grpPunchTime", "chkSignature"},
         {"grpReport", "chkGrossWages", "grpEmpInfo"},
         "Active",
         true,
         "New page for each Employee"},
        {"EmpList",
         "Employee Information List",
         2220,
         {"grpEmpInfo", "grpSelectFrom"},
         {"pnlDates", "grpReport", "grpPunchTime", "chkDeptEmp"},
         "Current",
         true,
         "New page for each Employee"},
        {"DeptList",
         "Department List",
         2230,
         {"chkDeptEmp", "cboDeptEmps"},
         {"grpSelectFrom", "pnlDates", "grpReport", "grpPunchTime", "grpEmpInfo"},
         "",
         true,
         "New page for each Department"},
    };
    for (const Row& row : rows) {
        auto w = open(row.report);
        w->show();
        EXPECT_EQ(w->windowTitle().toStdString(), row.caption);
        EXPECT_EQ(w->HelpContext(), row.help);
        for (const char* name : row.shown)
            EXPECT_TRUE(get(w.get(), name)->isVisible()) << row.report << " " << name;
        for (const char* name : row.hidden)
            EXPECT_FALSE(get(w.get(), name)->isVisible()) << row.report << " " << name;
        EXPECT_EQ(get<QComboBox>(w.get(), "cboEmpType")->currentText().toStdString(), row.selectFrom) << row.report;
        auto* newPage = get<QCheckBox>(w.get(), "chkNewPage");
        EXPECT_EQ(newPage->isChecked(), row.newPage) << row.report;
        EXPECT_EQ(newPage->text().toStdString(), row.newPageText) << row.report;
    }
    // The department list starts with "<No Department>" among the departments.
    auto dept = open("DeptList");
    EXPECT_EQ(texts(dept.get(), "lstSource"), (std::vector<std::string>{"<No Department>", "Office", "Shipping"}));
}

TEST_F(SelectionWindowTest, PeriodChecksInOrderThenThePreview)
{
    auto w = open("HoursWorked");
    auto* start = get<TQVDateEdit>(w.get(), "txtStartDate");
    auto* end = get<TQVDateEdit>(w.get(), "txtEndDate");
    w->cmdPreviewClick();
    end->setText("3/1/2023");
    w->cmdPreviewClick();
    // Text that names no date counts as none (the box refuses it on leaving).
    start->setText("13/45/2023");
    w->cmdPreviewClick();
    start->setText("3/8/2023");
    end->setText("");
    w->cmdPreviewClick();
    end->setText("3/1/2023");
    w->cmdPreviewClick();
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{"Please enter a Beginning On date.", "Please enter a Beginning On date.",
                                        "Please enter a Beginning On date.", "Please enter an Ending On date.",
                                        "The Ending On date cannot be before the Beginning on date."}));
    EXPECT_TRUE(windows.previews.empty());

    // Equal dates run; "Active" hands over the employees of the period.
    messages.clear();
    end->setText("3/8/2023");
    w->cmdPreviewClick();
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(windows.previews.size(), 1u);
    // The window stays for another run.
    w->cmdPreviewClick();
    EXPECT_EQ(windows.previews.size(), 2u);
}

TEST_F(SelectionWindowTest, MovingEntriesActiveAndTheWageBox)
{
    auto w = open("HoursWorked");
    // "Active": two placeholder lines with ID -1, Preview on, no moves.
    auto* destination = get<PickListBox>(w.get(), "lstDestination");
    ASSERT_EQ(destination->count(), 2);
    EXPECT_EQ(destination->text(0), "All Employees Active During");
    EXPECT_EQ(destination->text(1), "the Selected Date Range");
    EXPECT_EQ(destination->id(0), -1);
    EXPECT_EQ(destination->id(1), -1);
    EXPECT_TRUE(get(w.get(), "cmdPreview")->isEnabled());
    EXPECT_FALSE(get(w.get(), "IncludeBtn")->isEnabled());

    // "Current": ">" with nothing selected moves nothing and selects the first entry.
    auto* type = get<QComboBox>(w.get(), "cboEmpType");
    type->setCurrentText("Current");
    emit type->activated(type->currentIndex());
    auto* source = get<PickListBox>(w.get(), "lstSource");
    EXPECT_EQ(texts(w.get(), "lstSource"),
              (std::vector<std::string>{"Baker, Sam", "Cole, Ava", "Fox, Lee", "\xC3\x85ngstr\xC3\xB6m, Zo\xC3\xAB"}));
    EXPECT_FALSE(get(w.get(), "cmdPreview")->isEnabled());
    w->IncludeBtnClick();
    EXPECT_EQ(destination->count(), 0);
    ASSERT_EQ(source->selectedItems().size(), 1);
    EXPECT_EQ(source->selectedItems()[0]->text().toStdString(), "Baker, Sam");
    w->IncludeBtnClick();
    EXPECT_EQ(texts(w.get(), "lstDestination"), std::vector<std::string>{"Baker, Sam"});
    EXPECT_EQ(destination->id(0), sam);
    EXPECT_TRUE(get(w.get(), "cmdPreview")->isEnabled());
    w->IncAllBtnClick();
    EXPECT_EQ(source->count(), 0);
    EXPECT_FALSE(get(w.get(), "IncludeBtn")->isEnabled());
    w->ExAllBtnClick();
    EXPECT_EQ(destination->count(), 0);
    EXPECT_EQ(source->count(), 4);

    // Gross wages without manager access: the access window is refused.
    ScriptedPasswordDialogs passwords;
    auto* wages = get<QCheckBox>(w.get(), "chkGrossWages");
    wages->click();
    EXPECT_EQ(passwords.accessRuns, 1);
    EXPECT_FALSE(wages->isChecked());
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"You must enable Manager Access to view and edit Employee Wage records."});
    passwords.answer(true);
    wages->click();
    EXPECT_TRUE(wages->isChecked());
}

TEST_F(SelectionWindowTest, EmployeeListInDepartmentsModeChoosesWhichEmployeesEachDepartmentLists)
{
    auto w = open("EmpList");
    get<QRadioButton>(w.get(), "btnDepts")->click();
    auto* type = get<QComboBox>(w.get(), "cboEmpType");
    EXPECT_TRUE(type->isEnabled());
    EXPECT_EQ(texts(w.get(), "lstSource"), (std::vector<std::string>{"<No Department>", "Office", "Shipping"}));
    // Choosing "Former" leaves the departments alone and prints Dana, who left.
    type->setCurrentText("Former");
    emit type->activated(type->currentIndex());
    EXPECT_EQ(texts(w.get(), "lstSource").size(), 3u);
    auto* source = get<PickListBox>(w.get(), "lstSource");
    source->item(1)->setSelected(true);
    w->IncludeBtnClick();
    EXPECT_EQ(texts(w.get(), "lstDestination"), std::vector<std::string>{"Office"});
    w->cmdPreviewClick();
    ASSERT_EQ(windows.previews.size(), 1u) << messages.last();
    report::PageSet pages;
    std::string error;
    ASSERT_TRUE(report::ReadPageFile(windows.previews[0], pages, error)) << error;
    EXPECT_NE(report::PageFileText(pages).find("\"Evans, Dana\""), std::string::npos);
}

// --- the Report menu ---

class ReportMenuTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        installPrinters({});
        ReportWindowServices services;
        services.makePrinter = [this] { return std::make_unique<BorrowedPrinter>(printer); };
        services.printerSetup = [](QWidget*, const std::string&) { return std::string(); };
        services.onSelection = [this](TfrmSelection& w) {
            opened.emplace_back(w.windowTitle().toStdString(), w.HelpContext());
        };
        RegisterReportWindows(commands, services);
    }
    void TearDown() override
    {
        setPrinterQuery({});
        MainWindowTest::TearDown();
    }
    RecordingPrinter printer;
    std::vector<std::pair<std::string, int>> opened;
};

TEST_F(ReportMenuTest, ReportItemsOpenTheSelectionWindowAndTheReasonListItsSetup)
{
    open();
    for (const char* item : {"mnuReportHoursWorked", "mnuReportTimeOff", "mnuReportBalances", "mnuReportHourvaneList",
                             "mnuReportEmpList", "mnuReportDeptList"}) {
        QAction* action = window->findChild<QAction*>(item);
        ASSERT_NE(action, nullptr) << item;
        EXPECT_TRUE(action->isEnabled()) << item;
        action->trigger();
    }
    EXPECT_EQ(opened, (std::vector<std::pair<std::string, int>>{{"Hours Worked Report", 2110},
                                                                {"Time Off Taken Report", 2120},
                                                                {"Benefit Balances Report", 2130},
                                                                {"Hourvane List", 2210},
                                                                {"Employee Information List", 2220},
                                                                {"Department List", 2230}}));
    EXPECT_FALSE(window->findChild<QAction*>("mnuReportUsers")->isVisible());

    // The reason list opens the setup window in its destination use, Preview chosen.
    bool previewChosen = false;
    QString shown;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        shown = modal->objectName();
        if (auto* preview = modal->findChild<QRadioButton*>("btnPreview"))
            previewChosen = preview->isChecked();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    });
    window->findChild<QAction*>("mnuReportReasonList")->trigger();
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_TRUE(previewChosen);
}

} // namespace
} // namespace hv::test
