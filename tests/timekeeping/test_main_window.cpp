// The main time card window, built for real and driven through its named
// controls: the week list, employment limits, keyboard entry, old weeks,
// switching employee, typed time off, copying last week, manager access and
// closing.
#include "tests/timekeeping/MainWindowFixture.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QSpinBox>
#include <QTimer>

namespace hv::test {
namespace {

const char* const kSaveQuestion =
    "The current Hourvane record has been changed.  Do you want to save your changes?";

std::vector<std::string> items(const TQVComboBox* combo)
{
    std::vector<std::string> texts;
    for (int i = 0; i < combo->count(); ++i)
        texts.push_back(combo->text(i));
    return texts;
}

std::string shown(double date) { return FormatDateTime(DateFormat(), date); }

// --- the week-ending list ---

TEST_F(MainWindowTest, WeekListRunsFromNextWeekBackToTheFirstWeekWithTheCurrentWeekSelected)
{
    open();
    EXPECT_EQ(items(cboWeekEnd()),
              (std::vector<std::string>{shown(date(2023, 3, 25)), shown(date(2023, 3, 18)), shown(date(2023, 3, 11))}));
    EXPECT_EQ(cboWeekEnd()->currentIndex(), 1);
    EXPECT_EQ(window->currentWeekEnd(), date(2023, 3, 18));
    EXPECT_EQ(control<QLabel>("lblDOW0")->text(), "Sunday - 03/12");
    EXPECT_EQ(control<QLabel>("lblDOW6")->text(), "Saturday - 03/18");
    EXPECT_EQ(window->windowTitle(), "Hourvane Standard");
}

TEST_F(MainWindowTest, FirstDateAfterTodayGivesOneWeekWhichIsSelected)
{
    setPreference("FirstDate", date(2023, 3, 20)); // a Monday after today
    open();
    EXPECT_EQ(items(cboWeekEnd()), std::vector<std::string>{shown(date(2023, 3, 26))});
    EXPECT_EQ(cboWeekEnd()->currentIndex(), 0);
    EXPECT_EQ(window->currentWeekEnd(), date(2023, 3, 26));
}

// --- employees and employment limits ---

TEST_F(MainWindowTest, EmployeesOfTheWeekAreListedAndNothingIsSelectedAtFirst)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    addEmp("Adams", "Bob", date(2020, 1, 1));
    addEmp("Later", "Cy", date(2023, 4, 1));                   // starts after the week
    addEmp("Gone", "Di", date(2020, 1, 1), date(2023, 3, 1));  // left before it
    addEmp("Idle", "Ed", date(2020, 1, 1), 0, 0, false);        // not active
    open();
    EXPECT_EQ(items(cboEmployee()), (std::vector<std::string>{"Adams, Bob", "Baker, Ann"}));
    EXPECT_EQ(cboEmployee()->currentIndex(), -1);
    EXPECT_FALSE(button("cmdCopy")->isEnabled());
    EXPECT_FALSE(button("cmdSave")->isEnabled());
    EXPECT_FALSE(button("cmdDelete")->isEnabled());
    EXPECT_FALSE(button("cmdPrint")->isEnabled());
}

TEST_F(MainWindowTest, DaysBeforeTheStartDateAreDisabledAndArrowsAndEntrySkipThem)
{
    addEmp("Baker", "Ann", date(2023, 3, 15)); // starts on the Wednesday of the week
    open();
    chooseEmployee("Baker, Ann");
    for (const char* name : {"msk1In0", "msk1Out1", "msk2In2", "msk2Out2", "txtNonWork0", "txtNonWork2"})
        EXPECT_FALSE(control(name)->isEnabled()) << name;
    for (const char* name : {"msk1In3", "msk2Out3", "msk1In6", "txtNonWork3"})
        EXPECT_TRUE(control(name)->isEnabled()) << name;
    EXPECT_EQ(focused(), "msk1In3") << "the first enabled box takes the focus";
    EXPECT_TRUE(button("cmdCopy")->isEnabled());
    EXPECT_TRUE(button("cmdDelete")->isEnabled());

    // With Sunday open again and Monday, Tuesday closed, entry and arrows
    // jump over the closed days.
    for (const char* name : {"msk1In0", "msk1Out0", "msk2In0", "msk2Out0"})
        control(name)->setEnabled(true);
    typeInto(box("msk2Out0"), "1700");
    EXPECT_EQ(focused(), "msk1In3");
    box("msk1In0")->setFocus();
    QTest::keyClick(box("msk1In0"), Qt::Key_Down);
    EXPECT_EQ(focused(), "msk1In3");
    QTest::keyClick(box("msk1In3"), Qt::Key_Up);
    EXPECT_EQ(focused(), "msk1In0");
    QTest::keyClick(box("msk1In0"), Qt::Key_Up);
    EXPECT_EQ(focused(), "msk1In6") << "up from the first day wraps to the last";
}

TEST_F(MainWindowTest, ArrowsStepThroughTheEmployeesAndReleasingThemSelects)
{
    addEmp("Adams", "Bob", date(2020, 1, 1));
    addEmp("Baker", "Ann", date(2020, 1, 1));
    addEmp("Cole", "Ben", date(2020, 1, 1));
    open();
    chooseEmployee("Adams, Bob");
    auto* arrows = control<QSpinBox>("spnEmps");
    EXPECT_EQ(arrows->maximum(), 3);
    EXPECT_EQ(arrows->value(), 3) << "position = maximum - selected index";
    EXPECT_EQ(arrows->text(), "") << "plain arrows, no clipped digit";

    arrows->setFocus();
    QTest::keyClick(arrows, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(cboEmployee()->currentText(), "Baker, Ann");
    EXPECT_EQ(window->week().EmployeeID(), cboEmployee()->SelectedID()) << "releasing the arrows selects";
    QTest::keyClick(arrows, Qt::Key_Down);
    QTest::keyClick(arrows, Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_EQ(cboEmployee()->currentText(), "Cole, Ben") << "no wrap past the last";
    QTest::keyClick(arrows, Qt::Key_Up);
    QApplication::processEvents();
    EXPECT_EQ(cboEmployee()->currentText(), "Baker, Ann");
}

TEST_F(MainWindowTest, ChoosingAnotherWeekAsksAboutChangesAndCancelKeepsTheWeek)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    typeInto(box("msk1In0"), "0800");
    box("msk1Out0")->setFocus(Qt::TabFocusReason);
    messages.clear();

    messages.answer(MsgResult::Cancel);
    chooseWeekEnd(date(2023, 3, 11));
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kSaveQuestion});
    EXPECT_EQ(cboWeekEnd()->currentText(), QString::fromStdString(shown(date(2023, 3, 18))));
    EXPECT_EQ(window->currentWeekEnd(), date(2023, 3, 18));
    EXPECT_TRUE(window->week().IsModified());

    messages.answer(MsgResult::No);
    chooseWeekEnd(date(2023, 3, 11));
    EXPECT_EQ(window->currentWeekEnd(), date(2023, 3, 11));
    EXPECT_EQ(control<QLabel>("lblDOW0")->text(), "Sunday - 03/05");
    EXPECT_EQ(window->week().WeekEnd(), date(2023, 3, 11)) << "the employee's other week is loaded";
    EXPECT_EQ(box("msk1In0")->Text(), "  :  ");
    EXPECT_EQ(count("WorkDay"), 0);
}

// --- keyboard entry ---

TEST_F(MainWindowTest, FourDigitsCompleteA24HourBoxAndTheCaretMovesOn)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    EXPECT_EQ(focused(), "msk1In0");
    QTest::keyClicks(box("msk1In0"), "0800");
    EXPECT_EQ(focused(), "msk1Out0");
    QTest::keyClicks(box("msk1Out0"), "1630");
    EXPECT_EQ(focused(), "msk2In0");
    QTest::keyClicks(box("msk2In0"), "1700");
    EXPECT_EQ(focused(), "msk2Out0");
    QTest::keyClicks(box("msk2Out0"), "1800");
    EXPECT_EQ(focused(), "msk1In1");

    const THoursWorkedRecClass& sunday = window->week().Day(0);
    EXPECT_DOUBLE_EQ(sunday.In(1), EncodeTime(8, 0));
    EXPECT_DOUBLE_EQ(sunday.Out(1), EncodeTime(16, 30));
    EXPECT_DOUBLE_EQ(sunday.In(2), EncodeTime(17, 0));
    EXPECT_DOUBLE_EQ(sunday.Out(2), EncodeTime(18, 0));
    EXPECT_TRUE(button("cmdSave")->isEnabled());
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(MainWindowTest, CompletingTheLastBoxGoesToSaveOrElseToTimeOff)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    typeInto(box("msk2Out6"), "1700");
    EXPECT_EQ(focused(), "cmdTimeOff") << "Save is not enabled yet";

    typeInto(box("msk1In6"), "0800");
    typeInto(box("msk2Out6"), "1200");
    EXPECT_TRUE(button("cmdSave")->isEnabled());
    typeInto(box("msk2Out6"), "1300");
    EXPECT_EQ(focused(), "cmdSave");
}

TEST_F(MainWindowTest, TwelveHourEntryIsCompletedByTheConfiguredPmKey)
{
    setPreference("TimeFormat", "hh:nn A/P");
    setPreference("PMKey", "80");  // P
    setPreference("PMShift", "2"); // with Ctrl
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    QTest::keyClicks(box("msk1In0"), "0830");
    EXPECT_EQ(focused(), "msk1In0") << "the letter is still missing";
    QTest::keyClick(box("msk1In0"), Qt::Key_P, Qt::ControlModifier);
    QTest::keyClick(box("msk1In0"), Qt::Key_Plus);
    EXPECT_EQ(box("msk1In0")->Text(), "08:30 P");
    EXPECT_EQ(focused(), "msk1Out0");
    EXPECT_DOUBLE_EQ(window->week().Day(0).In(1), EncodeTime(20, 30));
}

TEST_F(MainWindowTest, ClickingABlankBoxSelectsItSoTypingStartsAtTheFirstPosition)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    box("msk1Out2")->setFocus(Qt::TabFocusReason);
    box("msk1Out2")->setCursorPosition(3);
    QTest::mouseClick(box("msk1Out2"), Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_EQ(box("msk1Out2")->selectedText(), "  :  ");
    QTest::keyClicks(box("msk1Out2"), "0930");
    EXPECT_EQ(box("msk1Out2")->Text(), "09:30");
}

TEST_F(MainWindowTest, AClearedBoxStoresAnEmptyPunchWithoutAMessage)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    QTest::keyClicks(box("msk1In0"), "0800");
    ASSERT_DOUBLE_EQ(window->week().Day(0).In(1), EncodeTime(8, 0));

    box("msk1In0")->setFocus(Qt::TabFocusReason);
    box("msk1In0")->selectAll();
    QTest::keyClick(box("msk1In0"), Qt::Key_Delete);
    EXPECT_EQ(box("msk1In0")->Text(), "  :  ");
    box("msk1Out0")->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(isEmptyPunch(window->week().Day(0).In(1)));
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
}

TEST_F(MainWindowTest, OvertypingAStoredPunchOrSelectingAllStaysInTheBox)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    QTest::keyClicks(box("msk1In0"), "0800");
    box("msk1In0")->setFocus(Qt::MouseFocusReason);
    box("msk1In0")->setCursorPosition(0);
    QTest::keyClick(box("msk1In0"), Qt::Key_1);
    EXPECT_EQ(box("msk1In0")->Text(), "18:00");
    EXPECT_EQ(focused(), "msk1In0") << "one digit of four typed";
    QTest::keyClick(box("msk1In0"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(focused(), "msk1In0") << "selecting is not typing";
    QTest::keyClicks(box("msk1In0"), "0700");
    EXPECT_EQ(focused(), "msk1Out0");
}

TEST_F(MainWindowTest, ATimeTheParserRefusesShowsItsMessageAndKeepsTheOldValue)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    QTest::keyClicks(box("msk1In0"), "0800");
    typeInto(box("msk1In0"), "2500");
    EXPECT_EQ(messages.last(), "Your entry \"25:00\" was not in a valid time format.\r\rPlease try again using an "
                               "HH:MM format.");
    EXPECT_EQ(messages.shown().back().kind, MsgKind::Information);
    EXPECT_DOUBLE_EQ(window->week().Day(0).In(1), EncodeTime(8, 0));
    EXPECT_EQ(focused(), "msk1In0") << "the box gets the focus back";
}

// --- saving old weeks ---

TEST_F(MainWindowTest, AWeekThatEndedEightDaysAgoNeedsManagerAccessToBeSaved)
{
    today.setToday(date(2023, 3, 19));
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseWeekEnd(date(2023, 3, 11));
    chooseEmployee("Baker, Ann");
    typeInto(box("msk1In0"), "0800");
    typeInto(box("msk1Out0"), "1600");
    box("msk2In0")->setFocus(Qt::TabFocusReason);
    messages.clear();

    passwords.answers = {false};
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(passwords.accessRuns, 1) << "the manager access window opens";
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"You must have Manager Access to save old Hourvane information."});
    EXPECT_EQ(count("WorkDay"), 0);
    EXPECT_FALSE(appState().managerAccess);

    passwords.answers = {true};
    messages.clear();
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(count("WorkDay"), 1);
    EXPECT_TRUE(appState().managerAccess);
    EXPECT_TRUE(control<QAction>("mnuFileManagerAccess")->isChecked());
    EXPECT_FALSE(button("cmdSave")->isEnabled());
}

TEST_F(MainWindowTest, AWeekThatEndedExactlySevenDaysAgoSavesWithoutManagerAccess)
{
    today.setToday(date(2023, 3, 18));
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseWeekEnd(date(2023, 3, 11));
    chooseEmployee("Baker, Ann");
    typeInto(box("msk1In0"), "0800");
    typeInto(box("msk1Out0"), "1600");
    box("msk2In0")->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(passwords.accessRuns, 0);
    EXPECT_EQ(count("WorkDay"), 1);
    EXPECT_FLOAT_EQ(float(number("txtRegular0")->value()), 8.0f);
    EXPECT_FLOAT_EQ(float(number("txtTotalHours")->value()), 8.0f);
}

TEST_F(MainWindowTest, DeletingAnOldWeekWithoutAccessIsRefused)
{
    today.setToday(date(2023, 3, 19));
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseWeekEnd(date(2023, 3, 11));
    chooseEmployee("Baker, Ann");
    messages.clear();
    QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"You must have Manager Access to Delete old Hourvane information."});
}

// --- switching employee with unsaved changes ---

class SwitchingEmployee : public MainWindowTest {
protected:
    void typeAWeekForBaker()
    {
        addEmp("Baker", "Ann", date(2020, 1, 1));
        addEmp("Cole", "Ben", date(2020, 1, 1));
        open();
        chooseEmployee("Baker, Ann");
        typeInto(box("msk1In0"), "0800");
        typeInto(box("msk1Out0"), "1600");
        box("msk2In0")->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(window->week().IsModified());
        messages.clear();
    }
};

TEST_F(SwitchingEmployee, CancelKeepsTheCurrentEmployeeShownAndSelected)
{
    typeAWeekForBaker();
    const std::int32_t baker = window->week().EmployeeID();
    messages.answer(MsgResult::Cancel);
    chooseEmployee("Cole, Ben");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kSaveQuestion});
    EXPECT_EQ(messages.shown().front().buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(cboEmployee()->currentText(), "Baker, Ann");
    EXPECT_EQ(window->week().EmployeeID(), baker);
    EXPECT_TRUE(window->week().IsModified());
    EXPECT_EQ(box("msk1In0")->Text(), "08:00");
}

TEST_F(SwitchingEmployee, YesSavesTheWeekFirst)
{
    typeAWeekForBaker();
    messages.answer(MsgResult::Yes);
    chooseEmployee("Cole, Ben");
    EXPECT_EQ(count("WorkDay"), 1);
    EXPECT_EQ(cboEmployee()->currentText(), "Cole, Ben");
    EXPECT_EQ(box("msk1In0")->Text(), "  :  ");
}

TEST_F(SwitchingEmployee, NoDropsTheChanges)
{
    typeAWeekForBaker();
    messages.answer(MsgResult::No);
    chooseEmployee("Cole, Ben");
    EXPECT_EQ(count("WorkDay"), 0);
    EXPECT_EQ(cboEmployee()->currentText(), "Cole, Ben");
    EXPECT_FALSE(window->week().IsModified());
    EXPECT_EQ(count("WorkDay", "LockedBy = 'ALICE'"), 0);
}

// --- typed time off ---

TEST_F(MainWindowTest, TypedTimeOffAsksForItsReasonAndIsSavedAsAnEntryOfTheDay)
{
    const std::int32_t vacation = addPlainReason("Vacation", "V");
    addPlainReason("Sick", "S");
    const auto emp = addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    typeInto(number("txtNonWork1"), "4");
    box("msk1In2")->setFocus(Qt::TabFocusReason);
    auto* menu = control<QMenu>("PopupMenu");
    EXPECT_TRUE(menu->isVisible()) << "the reasons pop up beside the box";
    QAction* item = menu->findChild<QAction*>("mnuV");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "&V Vacation");
    EXPECT_TRUE(button("cmdSave")->isEnabled());
    QTest::keyClick(menu, Qt::Key_V); // the code letter chooses the reason
    EXPECT_FALSE(menu->isVisible());

    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(count("TimeOff", "EmpID = " + std::to_string(emp) + " and ReasonID = " + std::to_string(vacation) +
                                   " and WeekDate = '2023-03-13' and Hours = 4"),
              1);
    EXPECT_FALSE(number("txtNonWork1")->isEnabled()) << "stored time off is greyed";
    EXPECT_TRUE(number("txtNonWork1")->greyed());
    EXPECT_FLOAT_EQ(float(number("txtOtherHours")->value()), 4.0f);
}

TEST_F(MainWindowTest, TimeOffWithoutAReasonIsRefusedAndTheMenuReopens)
{
    addPlainReason("Vacation", "V");
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    typeInto(number("txtNonWork0"), "4");
    box("msk1In2")->setFocus(Qt::TabFocusReason);
    auto* menu = control<QMenu>("PopupMenu");
    menu->hide(); // left without a choice
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"Please select the type of Time Off for Sunday - 03/12's entry."});
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(count("TimeOff"), 0);
    menu->hide();
}

// What the boxes show is what a save takes, whether the caret left the box or not.
class TypedEntry : public MainWindowTest {
protected:
    // As Alt+S does: Save runs while the focus stays in the box.
    void altS() { button("cmdSave")->click(); }
};

TEST_F(TypedEntry, ASaveByShortcutTakesTheTimeOffAndThePunchStillBeingTyped)
{
    addPlainReason("Vacation", "V");
    const auto emp = addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    typeInto(number("txtNonWork1"), "4");
    altS();
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"Please select the type of Time Off for Monday - 03/13's entry."});
    auto* menu = control<QMenu>("PopupMenu");
    ASSERT_TRUE(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_V);

    // Changed after the reason was chosen: the 3 on screen is what is stored.
    typeInto(number("txtNonWork1"), "");
    number("txtNonWork1")->selectAll();
    QTest::keyClicks(number("txtNonWork1"), "3");
    typeInto(box("msk1Out2"), "1700");
    QApplication::clipboard()->setText("09:15");
    box("msk1In2")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box("msk1In2"), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(focused(), "msk1In2") << "a pasted punch does not move on";
    altS();
    EXPECT_EQ(messages.shown().size(), 1u) << messages.last();
    EXPECT_EQ(count("TimeOff", "EmpID = " + std::to_string(emp) + " and WeekDate = '2023-03-13' and Hours = 3"), 1);
    EXPECT_EQ(count("WorkDay", "WeekDate = '2023-03-14' and TimeIn1 = '09:15:00' and TimeOut1 = '17:00:00'"), 1);
    EXPECT_FALSE(button("cmdSave")->isEnabled());
}

TEST_F(TypedEntry, TheReasonMenuSurvivesAnActivationAndChosenTimeOffIsAChangeOfTheWeek)
{
    const std::int32_t vacationID = addPlainReason("Vacation", "V");
    addEmp("Baker", "Ann", date(2020, 1, 1));
    addEmp("Cole", "Ben", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    typeInto(number("txtNonWork1"), "4");
    box("msk1In2")->setFocus(Qt::TabFocusReason);
    auto* menu = control<QMenu>("PopupMenu");
    ASSERT_TRUE(menu->isVisible());
    QAction* vacation = menu->findChild<QAction*>("mnuV");
    window->FormActivate(); // another program was in front while the menu was open
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->actions(), QList<QAction*>{vacation});
    QTest::keyClick(menu, Qt::Key_V);
    EXPECT_EQ(number("txtNonWork1")->tag(), vacationID);

    messages.answer(MsgResult::Yes);
    chooseEmployee("Cole, Ben");
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kSaveQuestion});
    EXPECT_EQ(count("TimeOff", "WeekDate = '2023-03-13' and Hours = 4"), 1);
}

TEST_F(TypedEntry, WithoutReasonsThePopUpLeadsToTheReasonsWindowAndTheTypedHoursWait)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    commands.add({"mnuEditReasons"}, {[&](CommandContext&) { addPlainReason("Vacation", "V"); },
                                      refresh::ReasonMenu | refresh::WeekTimeOff});
    open();
    chooseEmployee("Baker, Ann");
    typeInto(number("txtNonWork1"), "4");
    altS();
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"Please select the type of Time Off for Monday - 03/13's entry.\r\rThere "
                                       "are no time off reasons yet: add them with Edit, Time Off Reasons..., or "
                                       "clear the day's time off hours."});
    auto* menu = control<QMenu>("PopupMenu");
    ASSERT_TRUE(menu->isVisible());
    QAction* reasons = menu->findChild<QAction*>("mnuPopupReasons");
    ASSERT_NE(reasons, nullptr);
    EXPECT_EQ(reasons->text(), "Time Off &Reasons...");
    menu->hide();
    reasons->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(menu->isVisible()) << "back with the new reason";
    EXPECT_NE(menu->findChild<QAction*>("mnuV"), nullptr);
    EXPECT_FLOAT_EQ(float(number("txtNonWork1")->value()), 4.0f) << "the typed hours stay";
    QTest::keyClick(menu, Qt::Key_V);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(count("TimeOff", "WeekDate = '2023-03-13' and Hours = 4"), 1);
}

// --- copy last week ---

TEST_F(MainWindowTest, CopyLastWeekAsksThenRemovesTheStoredTimeOffAtOnce)
{
    const std::int32_t vacation = addPlainReason("Vacation", "V");
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    const auto emp = window->week().EmployeeID();
    // Last week's punches and this week's stored time off, as another session left them.
    window->week().Unlock(appState().lockIdentity);
    {
        TWorkWeekRecClass last(*dm);
        last.SetWeekEnd(date(2023, 3, 11));
        last.SetEmployee(emp);
        last.Load();
        last.Day(1).setIn(1, EncodeTime(9, 0));
        last.Day(1).setOut(1, EncodeTime(17, 0));
        ASSERT_EQ(last.Save("ALICE"), kWeekSaved);
    }
    engine::Table& t = dm->tblTimeOff;
    t.append();
    t.fieldByName("EmpID").setAsInteger(emp);
    t.fieldByName("WeekDate").setAsDateTime(date(2023, 3, 14));
    t.fieldByName("ReasonID").setAsInteger(vacation);
    t.fieldByName("Hours").setAsFloat(8);
    t.post();
    chooseEmployee("Baker, Ann");
    ASSERT_FLOAT_EQ(float(number("txtTotalHours")->value()), 8.0f);
    messages.clear();

    messages.answer(MsgResult::No);
    QTest::mouseClick(button("cmdCopy"), Qt::LeftButton);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{
                                    "Are you sure you want to copy over the current Hourvane information for this employee?"});
    EXPECT_EQ(count("TimeOff"), 1) << "No leaves everything as it was";

    messages.answer(MsgResult::Yes);
    QTest::mouseClick(button("cmdCopy"), Qt::LeftButton);
    EXPECT_EQ(count("TimeOff"), 0) << "removed at once, before any save";
    EXPECT_EQ(box("msk1In1")->Text(), "09:00");
    EXPECT_EQ(box("msk1Out1")->Text(), "17:00");
    EXPECT_TRUE(button("cmdSave")->isEnabled());
    EXPECT_EQ(count("WorkDay", "WeekDate = '2023-03-13'"), 0) << "the copy is not saved yet";
}

TEST_F(MainWindowTest, TimeOffWindowOpensOnTheShownWeekAndItsEntriesAreShownAfterwards)
{
    const std::int32_t vacation = addPlainReason("Vacation", "V");
    const auto emp = addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    std::string caption, employee;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        caption = dialog->windowTitle().toStdString();
        if (auto* who = dialog->findChild<QComboBox*>("cboEmployees"))
            employee = who->currentText().toStdString();
        // What saving an entry in the window leaves in the table.
        engine::Table& t = dm->tblTimeOff;
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("WeekDate").setAsDateTime(date(2023, 3, 16));
        t.fieldByName("ReasonID").setAsInteger(vacation);
        t.fieldByName("Hours").setAsFloat(6);
        t.post();
        static_cast<QDialog*>(dialog)->reject();
    });
    QTest::mouseClick(button("cmdTimeOff"), Qt::LeftButton);
    EXPECT_EQ(caption, "Employee Time Off");
    EXPECT_EQ(employee, "Baker, Ann");
    EXPECT_FLOAT_EQ(float(number("txtNonWork4")->value()), 6.0f);
    EXPECT_TRUE(number("txtNonWork4")->greyed());
    EXPECT_FLOAT_EQ(float(number("txtTotalHours")->value()), 6.0f);
    EXPECT_EQ(read("select LockedBy from TimeOff"), "ALICE") << "the shown week holds its entries again";
}

TEST_F(MainWindowTest, RegisteredCommandsEnableTheirItemsAndTheRefreshTheyAskForRuns)
{
    const std::int32_t vacation = addPlainReason("Vacation", "V");
    const auto emp = addEmp("Baker", "Ann", date(2020, 1, 1));
    CommandContext seen(*dm, appState(), fileDialogs, "", nullptr);
    int runs = 0;
    commands.add({"mnuEditEmployees"}, {[&](CommandContext& c) {
                     ++runs;
                     seen.employeeID = c.employeeID;
                     seen.employeeName = c.employeeName;
                     seen.weekEndText = c.weekEndText;
                     // What another window leaves in the table while it is open.
                     engine::Table& t = dm->tblTimeOff;
                     t.append();
                     t.fieldByName("EmpID").setAsInteger(emp);
                     t.fieldByName("WeekDate").setAsDateTime(date(2023, 3, 14));
                     t.fieldByName("ReasonID").setAsInteger(vacation);
                     t.fieldByName("Hours").setAsFloat(3);
                     t.post();
                 },
                 refresh::WeekTimeOff});
    open();
    EXPECT_TRUE(control<QAction>("mnuEditEmployees")->isEnabled());
    EXPECT_TRUE(control<QAction>("mnuEditTimeOff")->isEnabled());
    EXPECT_FALSE(control<QAction>("mnuEditDepartments")->isEnabled()) << "nothing registered under it";
    EXPECT_FALSE(button("cmdPrint")->isEnabled());

    chooseEmployee("Baker, Ann");
    EXPECT_FALSE(button("cmdPrint")->isEnabled()) << "no print command registered";
    control<QAction>("mnuEditEmployees")->trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(seen.employeeID, emp);
    EXPECT_EQ(seen.employeeName, "Baker, Ann");
    EXPECT_EQ(seen.weekEndText, "3/18/2023");
    EXPECT_FLOAT_EQ(float(number("txtNonWork2")->value()), 3.0f) << "Tuesday's time off, shown by the refresh";
    EXPECT_FLOAT_EQ(float(number("txtTotalHours")->value()), 3.0f);
    EXPECT_EQ(read("select LockedBy from TimeOff"), "ALICE");
}

TEST_F(MainWindowTest, ACommandThatLeavesTheDatabaseUnusableClosesTheWindowWithoutAsking)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    commands.add({"mnuFileRestore"}, {[](CommandContext& c) { c.refresh |= refresh::EndProgram; }});
    open();
    appState().started = true;
    chooseEmployee("Baker, Ann");
    typeInto(box("msk1In0"), "0800");
    box("msk1Out0")->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(window->week().IsModified());
    messages.clear();
    control<QAction>("mnuFileRestore")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 2000));
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
}

TEST_F(MainWindowTest, DayCaptionsFitTheWidestCaptionBeforeTheFirstPaint)
{
    // A large desktop font, where a fixed width cuts the captions off.
    const QFont before = QApplication::font();
    QFont large = before;
    large.setPointSize(24);
    QApplication::setFont(large);
    CommandRegistry none;
    auto fresh = std::make_unique<TfrmMain>(*dm, appState(), none, fileDialogs);
    auto* label = fresh->findChild<QLabel*>("lblDOW3");
    ASSERT_NE(label, nullptr);
    const int needed = label->fontMetrics().horizontalAdvance("Wednesday - 12/09");
    const int given = label->minimumWidth();
    fresh.reset();
    QApplication::setFont(before);
    EXPECT_GT(needed, 140) << "the font is large enough to matter";
    EXPECT_GE(given, needed);
}

TEST_F(MainWindowTest, AWindowShownButNeverActivatedStillRunsTheDeferredStep)
{
    int deferred = 0;
    MainWindowHooks hooks;
    hooks.deferredStartup = [&] { ++deferred; };
    TfrmMain unfocused(*dm, appState(), commands, fileDialogs, hooks);
    unfocused.setStartupDelay(20);
    // The activation refresh never runs, as when no window manager activates the window.
    unfocused.setRefreshSuspended(true);
    unfocused.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return deferred > 0; }, 2000));
    EXPECT_EQ(deferred, 1);
    unfocused.setRefreshSuspended(false);
    unfocused.FormActivate(); // a late activation does not run it twice
    QTest::qWait(100);
    EXPECT_EQ(deferred, 1);
}

// --- delete ---

TEST_F(MainWindowTest, DeleteAsksAndRemovesTheWeek)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    typeInto(box("msk1In0"), "0800");
    typeInto(box("msk1Out0"), "1600");
    box("msk2In0")->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    ASSERT_EQ(count("WorkDay"), 1);
    messages.clear();

    messages.answer(MsgResult::Yes);
    QTest::mouseClick(button("cmdDelete"), Qt::LeftButton);
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"Are you sure you want to delete this week's Hourvane entries?"});
    EXPECT_EQ(count("WorkDay"), 0);
    EXPECT_EQ(box("msk1In0")->Text(), "  :  ");
    EXPECT_EQ(number("txtTotalHours")->value(), 0.0);
}

// --- manager access and the menus ---

TEST_F(MainWindowTest, ManagerAccessItemGrantsAccessAndTurnsItOffWithoutTheWindow)
{
    open();
    auto* item = control<QAction>("mnuFileManagerAccess");
    passwords.answers = {true};
    item->trigger();
    EXPECT_EQ(passwords.accessRuns, 1);
    EXPECT_TRUE(appState().managerAccess);
    EXPECT_TRUE(item->isChecked());

    item->trigger();
    EXPECT_EQ(passwords.accessRuns, 1) << "no window when turning access off";
    EXPECT_FALSE(appState().managerAccess);
    EXPECT_FALSE(item->isChecked());

    passwords.answers = {true};
    control<QAction>("mnuFileChangePassword")->trigger();
    EXPECT_EQ(passwords.changeRuns, 1);
    EXPECT_FALSE(appState().managerAccess) << "changing the password never grants access";
    EXPECT_FALSE(item->isChecked());
}

TEST_F(MainWindowTest, FeaturesOfOtherEditionsAreHiddenAndTheExtraColumnsWithThem)
{
    open();
    for (const char* name : {"mnuEditCustomData", "mnuEditOvertimePolicies", "mnuEditUsers", "mnuReportUsers"})
        EXPECT_FALSE(control<QAction>(name)->isVisible()) << name;
    for (const char* name : {"lblShift", "cboShift0", "cboShift6", "spdMore0", "spdMore6"})
        EXPECT_FALSE(control(name)->isVisible()) << name;
    EXPECT_TRUE(control<QAction>("mnuFileExit")->isEnabled());
    EXPECT_EQ(control<QAction>("mnuHelpAbout")->text(), "&About Hourvane...");
}

// --- closing ---

TEST_F(MainWindowTest, EachMenuGivesEveryShownItemALetterOfItsOwn)
{
    open();
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        std::map<QKeySequence, QString> seen;
        for (QAction* item : menu->actions()) {
            const QKeySequence letter = QKeySequence::mnemonic(item->text());
            if (!item->isVisible() || letter.isEmpty())
                continue;
            EXPECT_TRUE(seen.emplace(letter, item->text()).second)
                << item->text().toStdString() << " and " << seen[letter].toStdString();
        }
    }
}

TEST_F(MainWindowTest, ClosingAsksTheSaveQuestionOnlyOnceStarted)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    typeInto(box("msk1In0"), "0800");
    box("msk1Out0")->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(window->week().IsModified());
    messages.clear();

    appState().started = true;
    messages.answer(MsgResult::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kSaveQuestion});
    EXPECT_TRUE(window->isVisible());

    appState().started = false;
    messages.clear();
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(MainWindowTest, ClosingUnlocksTheWeekAndReleasesThePresenceSlot)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    int released = 0;
    MainWindowHooks hooks;
    hooks.releasePresence = [&] { ++released; };
    open(hooks);
    chooseEmployee("Baker, Ann");
    typeInto(box("msk1In0"), "0800");
    typeInto(box("msk1Out0"), "1600");
    box("msk2In0")->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    ASSERT_EQ(count("WorkDay"), 1) << messages.last();
    ASSERT_EQ(read("select LockedBy from WorkDay"), "ALICE") << "the shown week is locked";

    appState().started = true;
    EXPECT_TRUE(window->close());
    EXPECT_EQ(count("WorkDay", "LockedBy = 'ALICE'"), 0);
    EXPECT_EQ(released, 1);
}

} // namespace
} // namespace hv::test
