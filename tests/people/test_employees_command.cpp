// The Employees and Departments commands as the main window runs them: after
// the Employees window closes the main window shows the selected employee's
// week again, read afresh.
#include "people/windows/Emp.h"
#include "people/windows/PeopleCommands.h"
#include "tests/timekeeping/MainWindowFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QTimer>

namespace hv::test {
namespace {

class EmployeesCommandTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        RegisterPeopleWindows(commands);
    }
};

TEST_F(EmployeesCommandTest, AfterEmployeesTheSelectedEmployeeIsReselectedAndItsWeekReloaded)
{
    addEmp("Adams", "Bob", date(2020, 1, 1));
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    ASSERT_TRUE(control<QAction>("mnuEditEmployees")->isEnabled());
    ASSERT_TRUE(control<QAction>("mnuEditDepartments")->isEnabled());
    chooseEmployee("Baker, Ann");
    ASSERT_TRUE(box("msk1In0")->isEnabled());

    // In the Employees window Baker now starts on the Wednesday of the shown week.
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto* employees = qobject_cast<TfrmEmp*>(QApplication::activeModalWidget());
        ASSERT_NE(employees, nullptr);
        // Typing needs the window active; the platform activates it a little later.
        employees->activateWindow();
        for (int i = 0; i < 100 && QApplication::activeWindow() != employees; ++i)
            QTest::qWait(10);
        ASSERT_EQ(QApplication::activeWindow(), employees);
        auto* list = employees->findChild<TQVComboBox*>("cboEmps");
        const int index = list->indexOfText("Baker, Ann");
        list->setCurrentIndex(index);
        emit list->activated(index);
        auto* start = employees->findChild<QLineEdit*>("txtStartDate");
        start->setFocus(Qt::TabFocusReason);
        start->selectAll();
        QTest::keyClicks(start, "3/15/2023");
        QTest::keyClick(start, Qt::Key_Tab);
        EXPECT_TRUE(employees->cmdSaveClick()) << messages.last();
        employees->reject();
        ran = true;
    });
    ASSERT_TRUE(window->runCommand("mnuEditEmployees"));
    ASSERT_TRUE(ran);
    EXPECT_EQ(cboEmployee()->currentText(), "Baker, Ann");
    EXPECT_FALSE(box("msk1In0")->isEnabled()); // Sunday 12 March, before the new start
    EXPECT_TRUE(box("msk1In3")->isEnabled());  // Wednesday 15 March
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
}

} // namespace
} // namespace hv::test
