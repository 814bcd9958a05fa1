// The import without its wizard: what is stored, what is skipped and why, and
// that a failed save leaves the data as it was.
#include "tests/exchange/ImportFixture.h"

namespace hv::test {
namespace {

const std::vector<int> kAllEight = {0, 1, 2, 3, 4, 5, 6, 7};

TEST_F(ImportTest, TimeCardLinesAreStoredOrSkippedWithTheirReason)
{
    addEmployeeRow(*dm, {.last = "Adams", .first = "Ann", .code = "A1"});
    const auto bob = addEmployeeRow(*dm, {.last = "Baker", .first = "Bob", .code = "B2"});
    addEmployeeRow(*dm, {.last = "Cole", .first = "Cy"});
    addEmployeeRow(*dm, {.last = "Cole", .first = "Cy"});
    const std::string file = "Last,First,ID,Date,In1,Out1,In2,Out2\r\n"
                             ",,ZZ9,3/4/2024,8:00 AM,12:00 PM,,\r\n"
                             ",,a1,13/45/2024,8:00 AM,12:00 PM,,\r\n"
                             "Cole,Cy,,3/4/2024,8:00 AM,12:00 PM,,\r\n"
                             ",,a1,3/6/2024,8:00 AM,25:99,,\r\n"
                             ",,a1,3/4/2024,08:00 A,12:00 P,13:00,17:00\r\n"
                             "Baker,Bob,,3/5/2024,9:00,17:30,,\r\n"
                             "\r\n";
    const ImportResult result = import(ImportType::TimeCard, file, kAllEight);
    EXPECT_EQ(result.outcome, ImportResult::Outcome::Completed);
    EXPECT_EQ(ImportSummaryText(result), "2 records were imported and 5 were skipped:\r"
                                         "Line 1: the date is not valid\r"
                                         "Line 2: no employee matches\r"
                                         "Line 3: the date is not valid\r"
                                         "Line 4: more than one employee matches\r"
                                         "Line 5: a time is not valid");
    EXPECT_EQ(days(), "1 2024-03-04 0 08:00:00 12:00:00 13:00:00 17:00:00; " + std::to_string(bob) +
                          " 2024-03-05 0 09:00:00 17:30:00 - -");
    EXPECT_EQ(count("WorkDay", "LockedBy <> ''"), 0);
    EXPECT_EQ(progress.position, 100);
    EXPECT_TRUE(messages.shown().empty());

    // Mapped punches are replaced; the second pair, not mapped now, stays.
    const ImportResult again = import(ImportType::TimeCard, "A1,3/4/2024,7:00,11:00\n", {2, 3, 4, 5});
    EXPECT_EQ(again.imported, 1);
    EXPECT_EQ(rows("TimeIn1 || ' ' || TimeOut1 || ' ' || TimeIn2 || ' ' || TimeOut2", "WorkDay where EmpID = 1"),
              "07:00:00 11:00:00 13:00:00 17:00:00");
}

TEST_F(ImportTest, AFailedSaveUndoesTheWholeRunAndSaysWhere)
{
    addEmployeeRow(*dm, {.last = "Adams", .first = "Ann", .code = "A1"});
    import(ImportType::TimeCard, "A1,3/1/2024,6:00,7:00\n", {2, 3, 4, 5});
    const std::string before = days();
    messages.clear();

    const std::string file = "A1,3/4/2024,8:00,12:00\n"
                             "A1,3/5/2024,8:00,12:00\n"
                             "A1,3/4/2024,8:00,\n"; // a pair without its Out
    for (bool replace : {false, true}) {
        SCOPED_TRACE(replace ? "replace" : "update");
        messages.clear();
        const ImportResult result = import(ImportType::TimeCard, file, {2, 3, 4, 5}, replace);
        EXPECT_EQ(result.outcome, ImportResult::Outcome::Stopped);
        EXPECT_EQ(result.imported, 0);
        EXPECT_EQ(messages.texts(),
                  (std::vector<std::string>{"One of the In/Out entries for Monday is invalid or missing.  Please "
                                            "check your times and try again.",
                                            "The import stopped at line 3.  Nothing was imported."}));
        EXPECT_EQ(days(), before); // nothing stored, nothing removed
    }
}

TEST_F(ImportTest, TimeOffHoursReplaceAndNewReasonsGetTheirCodes)
{
    addEmployeeRow(*dm, {.last = "Adams", .first = "Ann", .code = "A1"});
    const auto vacation = addReasonRow(*dm, {.name = "Vacation", .code = "V"});
    import(ImportType::TimeOff, "A1,3/4/2024,Vacation,8\n", {2, 3, 4, 5});
    messages.clear();

    const ImportResult result = import(ImportType::TimeOff,
                                       "A1,3/4/2024,vacation,4.5\n"
                                       "A1,3/5/2024,Jury,8\n"
                                       "A1,3/6/2024,Jail,8\n"
                                       "A1,3/7/2024,,8\n"
                                       "A1,3/8/2024,Jury,8 hours\n",
                                       {2, 3, 4, 5});
    EXPECT_EQ(ImportSummaryText(result), "3 records were imported and 2 were skipped:\r"
                                         "Line 4: the reason is empty\r"
                                         "Line 5: the hours are not valid");
    EXPECT_EQ(rows("WeekDate || ' ' || ReasonID || ' ' || Hours", "TimeOff order by WeekDate"),
              "2024-03-04 " + std::to_string(vacation) + " 4.5; 2024-03-05 2 8.0; 2024-03-06 3 8.0");
    EXPECT_EQ(
        rows("Reason || ' ' || ReasonCode || ' ' || ActiveFlag || PaidFlag || PolicyFlag", "Reason order by ReasonID"),
        "Vacation V 110; Jury J 100; Jail A 100");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(ImportTest, ReplacingTimeOffLeavesNoReasonRuleOrAccrual)
{
    addEmployeeRow(*dm, {.last = "Adams", .first = "Ann", .code = "A1"});
    const auto vacation = addReasonRow(*dm, {.name = "Vacation", .code = "V", .policy = true});
    addRuleRow(*dm, {.reason = vacation, .earned = 40});
    exec(*dm, "insert into Accrual (EmpID, ReasonID, AccruedHours, AccrualDate) values (1, " +
                  std::to_string(vacation) + ", 8, '2024-01-01')");

    const ImportResult result = import(ImportType::TimeOff, "A1,3/4/2024,Sick,2\n", {2, 3, 4, 5}, true);
    EXPECT_EQ(result.imported, 1);
    EXPECT_EQ(rows("Reason", "Reason"), "Sick");
    EXPECT_EQ(count("Policy"), 0);
    EXPECT_EQ(count("Accrual"), 0);
}

TEST_F(ImportTest, EmployeesAreMatchedByCodeOrMadeAndKeepWhatIsNotMapped)
{
    const auto ann = addEmployeeRow(*dm, {.last = "Smith", .first = "Ann", .start = date(2020, 1, 1), .code = "E1"});
    exec(*dm, "update Employee set Position = 'Cook', City = 'Oslo' where EmpID = " + std::to_string(ann));

    // Last, First, ID, Start Date, Eligible, Department Name, Termination Date.
    const ImportResult result = import(ImportType::Employee,
                                       "Smith,Anne,E1,2/1/2021,Y,Kitchen\n"
                                       "Jones,Tom,E2,2/30/2021,T,Kitchen\n"
                                       "Lee,Al,E3,3/1/2021,,Kitchen\n"
                                       "Ray,Bo,E4,3/1/2021,y,\n"
                                       "Fox,Cy,E5,3/1/2021,Yes,\n"
                                       "Kim,Di,E6,3/1/2021,T,\n"
                                       "Wu,Ed,E7,3/1/2021,T,,2/30/2022\n",
                                       {0, 1, 2, 3, 5, 6, 4});
    EXPECT_EQ(ImportSummaryText(result), "5 records were imported and 2 were skipped:\r"
                                         "Line 2: the date is not valid\r"
                                         "Line 7: the end date is not valid");
    EXPECT_EQ(rows("EmpCode || ' ' || FirstName || ' ' || StartDate || ' ' || EligibleFlag || ' ' || DeptID || ' ' "
                   "|| Position || ' ' || City",
                   "Employee order by EmpCode"),
              "E1 Anne 2021-02-01 1 1 Cook Oslo; E3 Al 2021-03-01 1 1  ; E4 Bo 2021-03-01 0 0  ; "
              "E5 Cy 2021-03-01 0 0  ; E6 Di 2021-03-01 1 0  ");
    EXPECT_EQ(rows("DeptID || ' ' || DeptName || ' ' || ActiveFlag || ' ' || ManagerID", "Dept"), "1 Kitchen 1 0");
    EXPECT_EQ(count("Employee", "LockedBy <> ''") + count("Dept", "LockedBy <> ''"), 0);
}

TEST_F(ImportTest, AReasonThatCannotBeSavedStopsTheRun)
{
    addEmployeeRow(*dm, {.last = "Adams", .first = "Ann", .code = "A1"});
    // "AB" finds its letters, every digit and the blank taken: the new
    // reason's code can only collide.
    for (const char* code : {"A", "B", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9", " "})
        addReasonRow(*dm, {.name = std::string("Reason ") + code, .code = code});
    const ImportResult result = import(ImportType::TimeOff, "A1,3/4/2024,ab,8\n", {2, 3, 4, 5});
    EXPECT_EQ(result.outcome, ImportResult::Outcome::Stopped);
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"The following error occurred saving the record: This "
                                                          "Reason Code has already been used.  Please try another "
                                                          "one.\r\rThe record was NOT saved.",
                                                          "The import stopped at line 1.  Nothing was imported."}));
    EXPECT_EQ(count("TimeOff"), 0);
    EXPECT_EQ(count("Reason"), 13);
}

TEST(ImportSummaryTest, ListsAtMostFiveRecordsWithinAMessageBox)
{
    ImportResult result;
    result.imported = 3;
    result.fromTable = true;
    for (int r = 1; r <= 7; ++r)
        result.skipped.push_back({r, "no employee matches"});
    EXPECT_EQ(ImportSummaryText(result), "3 records were imported and 7 were skipped:\r"
                                         "Record 1: no employee matches\r"
                                         "Record 2: no employee matches\r"
                                         "Record 3: no employee matches\r"
                                         "Record 4: no employee matches\r"
                                         "Record 5: no employee matches\r"
                                         "... and 2 more.");
    // Five such lines would not fit: fewer are listed, none is cut.
    for (auto& s : result.skipped)
        s.reason = std::string(50, 'x');
    const std::string text = ImportSummaryText(result);
    EXPECT_LE(text.size(), kMaxMessageLength);
    EXPECT_EQ(text.substr(text.size() - 16), "\r... and 4 more.");
}

} // namespace
} // namespace hv::test
