// The Employee Time Off window driven through its controls: the days offered
// per employee, entries opened from the grid, the save and delete flows with
// their refusals, manager access for old weeks, locks against another copy,
// the closing question and the stored column widths.
#include "platform/SettingsFile.h"
#include "tests/timeoff/TimeOffWindowFixture.h"
#include "timeoff/TTimeOff.h"

#include <QStandardItemModel>

namespace hv::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using Texts = std::vector<std::string>;

class TimeOffWindow : public TimeOffWindowTest {
protected:
    void SetUp() override
    {
        TimeOffWindowTest::SetUp();
        ann = addEmp("Baker", "Ann", date(2005, 1, 1));
        holiday = addReason("Holiday", "H");
        sick = addReason("Sick", "S");
    }

    std::int64_t ann = 0;
    std::int32_t holiday = 0;
    std::int32_t sick = 0;
};

TEST_F(TimeOffWindow, OffersOnlyTheDaysOfTheEmployeesEmployment)
{
    const std::int64_t cole = addEmp("Cole", "Dan", date(2010, 6, 16)); // started on the Wednesday
    addEmp("Dunn", "Eve", date(2001, 1, 1), date(2010, 6, 12));         // left the week before
    addEmp("Eger", "Fay", date(2001, 1, 1), 0, 0, false);               // inactive
    open("Cole, Dan", weekEnd);

    EXPECT_EQ(window->windowTitle(), "Employee Time Off");
    EXPECT_EQ(items(combo("cboEmployees")), (Texts{"Baker, Ann", "Cole, Dan"}));
    EXPECT_EQ(combo("cboEmployees")->SelectedID(), cole);
    EXPECT_EQ(items(combo("cboTimeOffDate")), (Texts{"6/16/2010", "6/17/2010", "6/18/2010", "6/19/2010"}));
    EXPECT_EQ(combo("cboTimeOffDate")->currentIndex(), 0);
    EXPECT_EQ(child<QLabel>("lblDOW")->text(), "Wednesday");
    EXPECT_EQ(combo("cboReasons")->currentIndex(), -1);
    EXPECT_FALSE(enabled("cmdSave"));
    EXPECT_FALSE(enabled("cmdDelete"));
    auto* header = child<QHeaderView>("hdrTimeOff");
    ASSERT_EQ(header->count(), 3);
    EXPECT_EQ(header->model()->headerData(0, Qt::Horizontal).toString(), "Date");
    EXPECT_EQ(header->model()->headerData(1, Qt::Horizontal).toString(), "Hours");
    EXPECT_EQ(header->model()->headerData(2, Qt::Horizontal).toString(), "Reason");

    choose("cboTimeOffDate", "6/18/2010");
    EXPECT_EQ(child<QLabel>("lblDOW")->text(), "Friday");
    EXPECT_TRUE(enabled("cmdSave")) << "a new entry is this copy's to save";
}

TEST_F(TimeOffWindow, OpensOnTheEmployeeItWasGivenWhenTwoShareAName)
{
    const std::int64_t other = addEmp("Baker", "Ann", date(2008, 1, 1));
    addTimeOff(other, sick, date(2010, 6, 16), 4);
    open(other, weekEnd);
    EXPECT_EQ(combo("cboEmployees")->SelectedID(), other);
    EXPECT_EQ(gridRows(), (Rows{{"6/16/2010", "4.00", "Sick"}}));
    EXPECT_EQ(window->entry().EmpID(), other);
}

TEST_F(TimeOffWindow, ChoosingASecondEmployeeShowsOnlyThatEmployeesDaysAndEntries)
{
    const std::int64_t cole = addEmp("Cole", "Dan", date(2001, 1, 1), date(2010, 6, 17)); // left on Thursday
    addTimeOff(ann, holiday, date(2010, 6, 14), 8);
    addTimeOff(cole, sick, date(2010, 6, 15), 4);
    open("Baker, Ann", weekEnd);
    EXPECT_EQ(combo("cboTimeOffDate")->count(), 7);
    EXPECT_EQ(gridRows(), (Rows{{"6/14/2010", "8.00", "Holiday"}}));

    choose("cboEmployees", "Cole, Dan");
    EXPECT_EQ(items(combo("cboTimeOffDate")), (Texts{"6/13/2010", "6/14/2010", "6/15/2010", "6/16/2010", "6/17/2010"}));
    EXPECT_EQ(child<QLabel>("lblDOW")->text(), "Sunday");
    EXPECT_EQ(gridRows(), (Rows{{"6/15/2010", "4.00", "Sick"}}));
    EXPECT_EQ(window->entry().EmpID(), cole);

    choose("cboEmployees", "Baker, Ann");
    EXPECT_EQ(combo("cboTimeOffDate")->count(), 7) << "the list is emptied before it is filled";
    EXPECT_EQ(gridRows(), (Rows{{"6/14/2010", "8.00", "Holiday"}}));
}

TEST_F(TimeOffWindow, AnEntryOfAnInactiveReasonOpenedFromTheGridShowsItsReason)
{
    const std::int32_t bereavement = addReason("Bereavement", "B", false);
    addTimeOff(ann, bereavement, date(2010, 6, 17), 4);
    addTimeOff(ann, 999, date(2010, 6, 18), 2);
    open("Baker, Ann", weekEnd);
    EXPECT_EQ(items(combo("cboReasons")), (Texts{"Holiday", "Sick"}));
    EXPECT_EQ(gridRows(), (Rows{{"6/17/2010", "4.00", "Bereavement"}, {"6/18/2010", "2.00", "Reason Not Found"}}));

    doubleClickRow(0);
    EXPECT_EQ(combo("cboReasons")->currentText(), "Bereavement");
    EXPECT_EQ(combo("cboReasons")->SelectedID(), bereavement);
    EXPECT_EQ(combo("cboTimeOffDate")->currentText(), "6/17/2010");
    EXPECT_EQ(child<QLabel>("lblDOW")->text(), "Thursday");
    EXPECT_EQ(child<TQVNumberEdit>("txtHours")->text(), "4.00");
    EXPECT_FALSE(enabled("cmdSave"));
    EXPECT_TRUE(enabled("cmdDelete"));
    EXPECT_FALSE(window->entry().IsModified());
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(TimeOffWindow, SaveCreatesTheEntryAndRefreshesTheGrid)
{
    open("Baker, Ann", weekEnd);
    choose("cboTimeOffDate", "6/17/2010");
    typeHours("7.5");
    choose("cboReasons", "Sick");
    ASSERT_TRUE(enabled("cmdSave"));
    click("cmdSave");

    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(storedHours(ann, sick, date(2010, 6, 17)), 7.5f);
    EXPECT_EQ(lockedBy(ann, sick, date(2010, 6, 17)), "");
    EXPECT_EQ(gridRows(), (Rows{{"6/17/2010", "7.50", "Sick"}}));
    // The form is ready for the next entry.
    EXPECT_EQ(combo("cboTimeOffDate")->currentIndex(), 0);
    EXPECT_EQ(child<TQVNumberEdit>("txtHours")->value(), 0);
    EXPECT_EQ(combo("cboReasons")->currentIndex(), -1);
    EXPECT_FALSE(enabled("cmdDelete"));
    EXPECT_FALSE(window->entry().IsModified());
    EXPECT_EQ(window->entry().EmpID(), ann);
    EXPECT_EQ(window->entry().WeekDate(), date(2010, 6, 13));
    EXPECT_EQ(window->entry().StoredReasonID(), 0);

    // Changing it from the grid moves the same row.
    doubleClickRow(0);
    typeHours("3");
    choose("cboReasons", "Holiday");
    click("cmdSave");
    EXPECT_EQ(storedHours(ann, sick, date(2010, 6, 17)), -1.0f);
    EXPECT_EQ(storedHours(ann, holiday, date(2010, 6, 17)), 3.0f);
    EXPECT_EQ(gridRows(), (Rows{{"6/17/2010", "3.00", "Holiday"}}));
}

TEST_F(TimeOffWindow, SaveRefusesAMissingEmployeeHoursOrReason)
{
    open("", weekEnd);
    EXPECT_EQ(combo("cboEmployees")->currentIndex(), -1);
    choose("cboTimeOffDate", "6/15/2010");
    ASSERT_TRUE(enabled("cmdSave"));
    click("cmdSave");
    expectOnlyMessage("Please select an Employee for this Time Off record.", MsgKind::Information);
    EXPECT_TRUE(combo("cboEmployees")->hasFocus());

    messages.clear();
    choose("cboEmployees", "Baker, Ann");
    choose("cboTimeOffDate", "6/15/2010");
    choose("cboReasons", "Holiday");
    typeHours("0");
    click("cmdSave");
    expectOnlyMessage("Please enter the Hours Taken.", MsgKind::Information);
    EXPECT_TRUE(child("txtHours")->hasFocus());

    messages.clear();
    open("Baker, Ann", weekEnd);
    choose("cboTimeOffDate", "6/15/2010");
    typeHours("8");
    click("cmdSave");
    expectOnlyMessage("Please select the Reason.", MsgKind::Information);
    EXPECT_TRUE(combo("cboReasons")->hasFocus());
    EXPECT_EQ(count("TimeOff"), 0);
}

TEST_F(TimeOffWindow, AnOldWeekNeedsManagerAccessWhichTheDialogCanGrant)
{
    const double oldWeek = date(2010, 6, 5); // ten days before today
    open("Baker, Ann", oldWeek);
    choose("cboTimeOffDate", "6/3/2010");
    typeHours("8");
    choose("cboReasons", "Holiday");
    dialogs.answer(false);
    dialogs.answer(true);

    click("cmdSave");
    EXPECT_EQ(dialogs.runs, 1);
    expectOnlyMessage("You must have Manager Access to Save old Time Off Hours information.", MsgKind::Information);
    EXPECT_FALSE(appState().managerAccess);
    EXPECT_EQ(count("TimeOff"), 0);

    messages.clear();
    click("cmdSave");
    EXPECT_EQ(dialogs.runs, 2);
    EXPECT_TRUE(appState().managerAccess);
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(storedHours(ann, holiday, date(2010, 6, 3)), 8.0f) << "the save went on on the chosen day";

    // With access granted the dialog is not asked again.
    doubleClickRow(0);
    click("cmdDelete");
    EXPECT_EQ(dialogs.runs, 2);
    EXPECT_EQ(count("TimeOff"), 0);
}

TEST_F(TimeOffWindow, DeletingAnOldWeeksEntryWithoutAccessIsRefused)
{
    const double oldWeek = date(2010, 6, 5);
    addTimeOff(ann, holiday, date(2010, 6, 4), 8);
    open("Baker, Ann", oldWeek);
    doubleClickRow(0);
    click("cmdDelete");
    EXPECT_EQ(dialogs.runs, 1);
    expectOnlyMessage("You must have Manager Access to Delete old Time Off Hours information.", MsgKind::Information);
    EXPECT_EQ(storedHours(ann, holiday, date(2010, 6, 4)), 8.0f);
}

TEST_F(TimeOffWindow, DeleteAsksAndRemovesTheEntry)
{
    addTimeOff(ann, holiday, date(2010, 6, 14), 8);
    addTimeOff(ann, sick, date(2010, 6, 16), 2);
    open("Baker, Ann", weekEnd);
    doubleClickRow(1);
    ASSERT_TRUE(enabled("cmdDelete"));

    messages.answer(MsgResult::No);
    click("cmdDelete");
    expectOnlyMessage("Are you sure you want to delete this Time Off entry?", MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(storedHours(ann, sick, date(2010, 6, 16)), 2.0f);

    messages.clear();
    click("cmdDelete"); // Yes
    EXPECT_EQ(messages.texts(), Texts{"Are you sure you want to delete this Time Off entry?"});
    EXPECT_EQ(storedHours(ann, sick, date(2010, 6, 16)), -1.0f);
    EXPECT_EQ(gridRows(), (Rows{{"6/14/2010", "8.00", "Holiday"}}));
    EXPECT_FALSE(enabled("cmdDelete"));
    EXPECT_EQ(lockedBy(ann, holiday, date(2010, 6, 14)), "ALICE") << "the week stays locked while the window is open";

    window->close();
    EXPECT_EQ(lockedBy(ann, holiday, date(2010, 6, 14)), "") << "closing releases the week";
}

TEST_F(TimeOffWindow, AnEntryDeletedByAnotherUserIsReportedAndTheGridReloaded)
{
    addTimeOff(ann, holiday, date(2010, 6, 14), 8);
    open("Baker, Ann", weekEnd);
    exec(second(), "delete from TimeOff");
    doubleClickRow(0);
    expectOnlyMessage("This Time Off record has been deleted by another user and is no longer available.",
                      MsgKind::Warning);
    EXPECT_TRUE(gridRows().empty());
    EXPECT_FALSE(enabled("cmdSave"));
    EXPECT_FALSE(enabled("cmdDelete"));
}

TEST_F(TimeOffWindow, AWeekLockedByAnotherCopyResetsTheForm)
{
    addTimeOff(ann, holiday, date(2010, 6, 14), 8, "BOB");
    open("Baker, Ann", weekEnd);
    choose("cboTimeOffDate", "6/16/2010");
    choose("cboReasons", "Sick");
    typeHours("4");
    ASSERT_FALSE(messages.shown().empty());
    EXPECT_EQ(messages.shown().front().text,
              "The Time Off record is already locked by BOB.  You may view the information but may not save any "
              "changes.\r\rPlease try your update again later.");
    EXPECT_EQ(messages.shown().front().helpContext, 8100);
    EXPECT_FALSE(enabled("cmdSave"));
    EXPECT_FALSE(enabled("cmdDelete"));
    EXPECT_EQ(combo("cboTimeOffDate")->currentIndex(), 0);
    EXPECT_EQ(child<TQVNumberEdit>("txtHours")->value(), 0);
    EXPECT_EQ(combo("cboReasons")->currentIndex(), -1);
    EXPECT_EQ(lockedBy(ann, holiday, date(2010, 6, 14)), "BOB");
}

TEST_F(TimeOffWindow, AnEntryAnotherCopyStoredFirstIsReportedAndSaveDisabled)
{
    open("Baker, Ann", weekEnd);
    choose("cboTimeOffDate", "6/16/2010");
    typeHours("4");
    choose("cboReasons", "Sick");
    addTimeOff(ann, sick, date(2010, 6, 16), 6); // as another copy would
    click("cmdSave");
    expectOnlyMessage(kDuplicateTimeOffText, MsgKind::Information);
    EXPECT_FALSE(enabled("cmdSave"));
    EXPECT_EQ(storedHours(ann, sick, date(2010, 6, 16)), 6.0f);
}

TEST_F(TimeOffWindow, ClosingWithAChangedEntryAsksFirst)
{
    addTimeOff(ann, holiday, date(2010, 6, 14), 8);
    open("Baker, Ann", weekEnd);
    choose("cboTimeOffDate", "6/16/2010");
    typeHours("4");
    choose("cboReasons", "Sick");
    EXPECT_EQ(lockedBy(ann, holiday, date(2010, 6, 14)), "ALICE") << "the first change locks the week";
    const std::string question = "This Time Off record has been modified.  Do you want to save your changes?";

    messages.answer(MsgResult::Cancel);
    click("cmdClose");
    expectOnlyMessage(question, MsgKind::Confirmation, MsgButtons::YesNoCancel);
    EXPECT_TRUE(window->isVisible());

    messages.clear();
    messages.answer(MsgResult::No);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    expectOnlyMessage(question, MsgKind::Confirmation, MsgButtons::YesNoCancel);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(storedHours(ann, sick, date(2010, 6, 16)), -1.0f);
    EXPECT_EQ(lockedBy(ann, holiday, date(2010, 6, 14)), "");
}

TEST_F(TimeOffWindow, AnsweringYesOnClosingSavesAndAFailedSaveKeepsTheWindowOpen)
{
    open("Baker, Ann", weekEnd);
    choose("cboTimeOffDate", "6/16/2010");
    choose("cboReasons", "Sick");
    messages.answer(MsgResult::Yes);
    click("cmdClose");
    EXPECT_EQ(messages.texts(), (Texts{"This Time Off record has been modified.  Do you want to save your changes?",
                                       "Please enter the Hours Taken."}));
    EXPECT_TRUE(window->isVisible());

    messages.clear();
    typeHours("5");
    messages.answer(MsgResult::Yes);
    click("cmdClose");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(storedHours(ann, sick, date(2010, 6, 16)), 5.0f);
}

TEST_F(TimeOffWindow, HeaderWidthsAreStoredOnClosingAndRestoredOnOpening)
{
    open("Baker, Ann", weekEnd);
    child<QHeaderView>("hdrTimeOff")->resizeSection(0, 111);
    child<QHeaderView>("hdrTimeOff")->resizeSection(1, 55);
    EXPECT_EQ(child<QTableWidget>("grdTimeOff")->columnWidth(0), 108) << "the grid follows the sections";
    window->close();
    const std::string stored = SettingsFile("Hourvane3.ini").read("Hourvane 3", "TimeOffSettings", "");
    EXPECT_EQ(stored.substr(0, 7), "111,55,");

    open("Baker, Ann", weekEnd);
    EXPECT_EQ(child<QHeaderView>("hdrTimeOff")->sectionSize(0), 111);
    EXPECT_EQ(child<QHeaderView>("hdrTimeOff")->sectionSize(1), 55);
    EXPECT_EQ(child<QTableWidget>("grdTimeOff")->columnWidth(1), 54);
    EXPECT_TRUE(child<QTableWidget>("grdTimeOff")->isColumnHidden(3));
}

} // namespace
} // namespace hv::test
