// The daily punch record: validation of the pairs, the two-row mapping, and
// what two copies of the program on one data folder see of each other's saves,
// deletes and locks (two data modules in this process).
#include "engine/Query.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "storage/AppState.h"
#include "storage/HVGlobal.h"
#include "tests/support/DataFolderFixture.h"
#include "tests/support/PeerProcess.h"
#include "tests/timekeeping/WeekDates.h"
#include "timekeeping/THourRec.h"

#include <optional>

namespace hv::test {
namespace {

constexpr double E = kEmptyPunch;

// Monday 3 March 2025 and the Monday before it.
const double kMonday = EncodeDate(2025, 3, 3);
const double kPrevMonday = kMonday - 7;
constexpr int kCardEmp = 7;

// A punch as the tests compare it: "hh:nn", or "" for an empty punch.
std::string hhmm(double v) { return isEmptyPunch(v) ? std::string() : FormatDateTime("hh:nn", v); }

const std::string kMissingMonday =
    "One of the In/Out entries for Monday is invalid or missing.  Please check your times and try again.";
const std::string kOverlapMonday =
    "The second In entry on Monday cannot be before the first Out entry.  Please check your times and try again.";
const std::string kRecreate =
    "The Hours Worked record no longer exists in the database.  Do you want to re-create the record?";
const std::string kDuplicate = "Another user has already added Hourvane entries for this Employee for this week."
                               "\r\rPlease select the employee again and make changes to the new entries.";

// One workday row as it is on disk.
struct DiskRow {
    int seq = -1;
    std::string in1, out1, in2, out2; // "hh:nn", "<null>" for a null column
    int shift = 0;
    std::string approvedBy;
    std::string lockedBy; // "<null>" for a null column
};

class HourRecTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        setRegional(RegionalSettings::usEnglish());
        resetAppState();
        resetGlobalSettings();
        globalSettings().timeFormat = "hh:nn";
        start();
    }
    void TearDown() override
    {
        other.reset();
        StorageTest::TearDown();
        resetGlobalSettings();
        resetAppState();
    }
    THourvaneDataMod& second()
    {
        if (!other)
            other = std::make_unique<THourvaneDataMod>(
                DataModuleOptions{programFolder, "Hourvane3.ini", nullptr, &appState()});
        return *other;
    }

    // A record of kCardEmp on a day, loaded from the given copy's tables.
    std::unique_ptr<THoursWorkedRecClass> day(THourvaneDataMod& d, double date = kMonday, int emp = kCardEmp)
    {
        auto rec = std::make_unique<THoursWorkedRecClass>(d);
        rec->setEmployee(emp);
        rec->setDayDate(date);
        rec->Load();
        return rec;
    }

    // Writes a row straight into the table, as another copy or an import would.
    void putRow(THourvaneDataMod& d, double date, int seq, double in1, double out1, double in2 = E, double out2 = E,
                std::optional<std::string> lockedBy = std::nullopt, int shift = 1, int emp = kCardEmp)
    {
        engine::Table& t = d.tblWorkDay;
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("WeekDate").setAsDateTime(date);
        t.fieldByName("SequenceNum").setAsInteger(seq);
        auto put = [&](const char* col, double v) {
            if (!isEmptyPunch(v))
                t.fieldByName(col).setAsDateTime(v);
        };
        put("TimeIn1", in1);
        put("TimeOut1", out1);
        put("TimeIn2", in2);
        put("TimeOut2", out2);
        t.fieldByName("Shift").setAsInteger(shift);
        if (lockedBy)
            t.fieldByName("LockedBy").setAsString(*lockedBy);
        t.post();
    }

    std::int64_t exec(THourvaneDataMod& d, const std::string& sql)
    {
        d.qryBlank.clearSql();
        d.qryBlank.addSql(sql);
        d.qryBlank.execSql();
        return d.qryBlank.rowsAffected();
    }

    // The rows of kCardEmp on a day, as the second copy reads them from disk.
    std::vector<DiskRow> disk(double date = kMonday)
    {
        engine::Query& q = second().qryBlank;
        q.clearSql();
        q.addSql("select SequenceNum, TimeIn1, TimeOut1, TimeIn2, TimeOut2, Shift, ApprovedBy, LockedBy from WorkDay");
        q.addSql(" where EmpID = " + std::to_string(kCardEmp) + " and WeekDate = '" +
                 FormatDateTime("yyyy-mm-dd", date) + "' order by SequenceNum");
        q.open();
        auto time = [&](int i) { return q.field(i).isNull() ? std::string("<null>") : hhmm(q.field(i).asDateTime()); };
        std::vector<DiskRow> rows;
        for (; !q.eof(); q.next()) {
            DiskRow r;
            r.seq = int(q.field(0).asInteger());
            r.in1 = time(1);
            r.out1 = time(2);
            r.in2 = time(3);
            r.out2 = time(4);
            r.shift = int(q.field(5).asInteger());
            r.approvedBy = q.field(6).asString();
            r.lockedBy = q.field(7).isNull() ? std::string("<null>") : q.field(7).asString();
            rows.push_back(r);
        }
        q.close();
        return rows;
    }

    void expectOnlyMessage(const std::string& text, MsgKind kind, MsgButtons buttons = MsgButtons::Ok,
                           int helpContext = 0)
    {
        ASSERT_EQ(messages.shown().size(), 1u);
        const ShownMessage& m = messages.shown().front();
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.kind, kind);
        EXPECT_EQ(m.buttons, buttons);
        EXPECT_EQ(m.helpContext, helpContext);
    }

    std::unique_ptr<THourvaneDataMod> other;
};

// --- values and text entry ---

TEST_F(HourRecTest, NewRecordIsEmptyWithBothRowsNew)
{
    THoursWorkedRecClass rec(*dm);
    EXPECT_EQ(rec.recordName(), "Hours Worked");
    EXPECT_EQ(rec.tableName(), "tblWorkDay");
    for (int k = 1; k <= 4; ++k) {
        EXPECT_EQ(rec.In(k), kEmptyPunch);
        EXPECT_EQ(rec.Out(k), kEmptyPunch);
    }
    EXPECT_TRUE(rec.newRow(0));
    EXPECT_TRUE(rec.newRow(1));
    EXPECT_EQ(rec.shift(0), 1);
    EXPECT_EQ(rec.shift(1), 1);
    EXPECT_FALSE(rec.hasMore());
    EXPECT_FALSE(rec.modified());
    EXPECT_THROW(rec.In(0), std::out_of_range);
    EXPECT_THROW(rec.setOut(5, T(8, 0)), std::out_of_range);
    EXPECT_THROW(rec.setShift(0, 4), std::out_of_range);
}

TEST_F(HourRecTest, SettersMarkModifiedOnlyOnChange)
{
    THoursWorkedRecClass rec(*dm);
    rec.setIn(1, E);
    rec.setShift(0, 1);
    EXPECT_FALSE(rec.modified());
    rec.setIn(1, T(8, 0));
    EXPECT_TRUE(rec.modified());

    rec.setModified(false);
    rec.setIn(1, T(8, 0));
    rec.setApproval("", 0);
    EXPECT_FALSE(rec.modified());
    rec.setShift(1, 2);
    EXPECT_TRUE(rec.modified());
    EXPECT_EQ(rec.shift(1), 2);

    rec.Clear();
    EXPECT_FALSE(rec.modified());
    EXPECT_EQ(rec.In(1), kEmptyPunch);
    EXPECT_EQ(rec.shift(1), 1);
}

TEST_F(HourRecTest, TextEntryParsesBlanksAndRefusals)
{
    THoursWorkedRecClass rec(*dm);
    EXPECT_TRUE(rec.SetInText(1, "08:30"));
    EXPECT_EQ(hhmm(rec.In(1)), "08:30");
    EXPECT_TRUE(rec.modified());

    rec.setModified(false);
    EXPECT_TRUE(rec.SetInText(1, "08:30")); // the same time again
    EXPECT_FALSE(rec.modified());

    // 25:00 passes the mask but not the parser: the old value stays.
    EXPECT_FALSE(rec.SetInText(1, "25:00"));
    EXPECT_EQ(hhmm(rec.In(1)), "08:30");
    EXPECT_FALSE(rec.modified());

    // A blank box is an empty punch, not midnight.
    EXPECT_TRUE(rec.SetInText(1, "  :  "));
    EXPECT_EQ(rec.In(1), kEmptyPunch);
    EXPECT_TRUE(rec.modified());
    rec.setModified(false);
    EXPECT_TRUE(rec.SetOutText(2, "  :  "));
    EXPECT_FALSE(rec.modified());

    EXPECT_TRUE(rec.SetOutText(1, "17:05"));
    EXPECT_EQ(rec.FormatOut(1), "17:05");
    EXPECT_EQ(rec.FormatIn(1), "  :  ");
}

TEST_F(HourRecTest, TwelveHourEntryAndItsBlankDisplay)
{
    globalSettings().timeFormat = "hh:nn A/P";
    THoursWorkedRecClass rec(*dm);
    EXPECT_TRUE(rec.SetInText(1, "08:30 P"));
    EXPECT_EQ(hhmm(rec.In(1)), "20:30");
    EXPECT_EQ(rec.FormatIn(1), "08:30 P");
    EXPECT_EQ(rec.FormatOut(1), "  :   ");
    // What the box shows for an empty punch reads back as empty.
    EXPECT_TRUE(rec.SetOutText(1, rec.FormatOut(1)));
    EXPECT_TRUE(rec.SetOutText(1, "  :    "));
    EXPECT_EQ(rec.Out(1), kEmptyPunch);
}

TEST_F(HourRecTest, TextEntryOfPairsThreeAndFourSetsHasMore)
{
    THoursWorkedRecClass rec(*dm);
    EXPECT_TRUE(rec.SetInText(2, "13:00"));
    EXPECT_FALSE(rec.hasMore());
    EXPECT_TRUE(rec.SetOutText(4, "18:00"));
    EXPECT_TRUE(rec.hasMore());
    EXPECT_TRUE(rec.SetOutText(4, "  :  "));
    EXPECT_FALSE(rec.hasMore());
}

TEST_F(HourRecTest, DayHoursUseTheMinuteRoundingInForce)
{
    THoursWorkedRecClass rec(*dm);
    rec.setIn(1, T(8, 0));
    rec.setOut(1, T(16, 7));
    EXPECT_FLOAT_EQ(rec.DayHours(), 8.0f); // nearest 15 minutes by default
    globalSettings().minuteRound = 2;
    EXPECT_FLOAT_EQ(rec.DayHours(), 8.1f);
    rec.setIn(3, T(22, 0));
    rec.setOut(3, T(1, 0)); // past midnight
    EXPECT_FLOAT_EQ(rec.DayHours(), 11.1f);
}

// --- Validate ---

class HourValidateTest : public HourRecTest {
protected:
    bool validate(std::array<double, 4> in, std::array<double, 4> out)
    {
        THoursWorkedRecClass rec(*dm);
        rec.setDayDate(kMonday);
        for (int k = 1; k <= 4; ++k) {
            rec.setIn(k, in[k - 1]);
            rec.setOut(k, out[k - 1]);
        }
        return rec.Validate();
    }
};

TEST_F(HourValidateTest, OrderedCompletePairsAreValid)
{
    EXPECT_TRUE(validate({T(8, 0), T(13, 0), E, E}, {T(12, 0), T(17, 0), E, E}));
    EXPECT_TRUE(validate({E, E, E, E}, {E, E, E, E}));
    // The second pair may start when the first ends.
    EXPECT_TRUE(validate({T(8, 0), T(12, 0), E, E}, {T(12, 0), T(17, 0), E, E}));
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(HourValidateTest, PairsPastMidnightContinueOnTheNextDay)
{
    EXPECT_TRUE(validate({T(22, 0), T(3, 0), E, E}, {T(2, 0), T(6, 0), E, E}));
    EXPECT_TRUE(messages.shown().empty());
    // The second pair starting before the first one ends still overlaps after midnight.
    EXPECT_FALSE(validate({T(22, 0), T(1, 0), E, E}, {T(2, 0), T(6, 0), E, E}));
    expectOnlyMessage(kOverlapMonday, MsgKind::Information);
}

TEST_F(HourValidateTest, InWithoutOutNamesTheWeekday)
{
    EXPECT_FALSE(validate({T(8, 0), E, E, E}, {E, E, E, E}));
    expectOnlyMessage(kMissingMonday, MsgKind::Information);
}

TEST_F(HourValidateTest, OutBeforeAnyInIsMissingAnEntry)
{
    EXPECT_FALSE(validate({E, E, E, E}, {T(12, 0), E, E, E}));
    expectOnlyMessage(kMissingMonday, MsgKind::Information);
    messages.clear();
    // The Out of pair 1 comes before the In of pair 2.
    EXPECT_FALSE(validate({E, T(13, 0), E, E}, {T(12, 0), E, E, E}));
    expectOnlyMessage(kMissingMonday, MsgKind::Information);
}

TEST_F(HourValidateTest, SecondInBeforeFirstOutIsRefused)
{
    EXPECT_FALSE(validate({T(8, 0), T(11, 0), E, E}, {T(12, 0), T(13, 0), E, E}));
    expectOnlyMessage(kOverlapMonday, MsgKind::Information);
}

TEST_F(HourValidateTest, MessageNamesTheDaysOwnWeekday)
{
    THoursWorkedRecClass rec(*dm);
    rec.setDayDate(kMonday + 4);
    rec.setOut(1, T(12, 0));
    EXPECT_FALSE(rec.Validate());
    expectOnlyMessage(
        "One of the In/Out entries for Friday is invalid or missing.  Please check your times and try again.",
        MsgKind::Information);
}

TEST_F(HourValidateTest, InvalidPairsWriteNothing)
{
    auto rec = day(*dm);
    rec->setIn(1, T(8, 0));
    EXPECT_FALSE(rec->Save("ALICE"));
    expectOnlyMessage(kMissingMonday, MsgKind::Information);
    EXPECT_TRUE(disk().empty());
    EXPECT_TRUE(rec->modified());
}

// --- Load and Save ---

TEST_F(HourRecTest, NewDaySavesOneRowWithNullColumnsForEmptyPunches)
{
    auto rec = day(*dm);
    rec->setIn(1, T(8, 0));
    rec->setOut(1, T(12, 0));
    rec->setShift(0, 2);
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_FALSE(rec->modified());
    EXPECT_FALSE(rec->newRow(0));
    EXPECT_TRUE(rec->newRow(1));

    auto rows = disk();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].seq, 0);
    EXPECT_EQ(rows[0].in1, "08:00");
    EXPECT_EQ(rows[0].out1, "12:00");
    EXPECT_EQ(rows[0].in2, "<null>");
    EXPECT_EQ(rows[0].out2, "<null>");
    EXPECT_EQ(rows[0].shift, 2);
    EXPECT_EQ(exec(second(), "update WorkDay set Shift = Shift where TimeIn2 is null and TimeOut2 is null"), 1);
    EXPECT_TRUE(messages.shown().empty());

    // Read back by the other copy: the empty pairs stay empty.
    auto back = day(second());
    EXPECT_EQ(hhmm(back->In(1)), "08:00");
    EXPECT_EQ(back->In(2), kEmptyPunch);
    EXPECT_EQ(back->Out(2), kEmptyPunch);
    EXPECT_EQ(back->shift(0), 2);
    EXPECT_FALSE(back->hasMore());
}

TEST_F(HourRecTest, FourPairsSaveIntoTwoRowsAndLoadBack)
{
    auto rec = day(*dm);
    rec->setIn(1, T(6, 0));
    rec->setOut(1, T(8, 0));
    rec->setIn(2, T(9, 0));
    rec->setOut(2, T(11, 0));
    rec->setIn(3, T(12, 0));
    rec->setOut(3, T(14, 0));
    rec->setIn(4, T(15, 0));
    rec->setOut(4, T(17, 0));
    rec->setShift(1, 3);
    rec->setApproval("MGR", EncodeDate(2025, 3, 4));
    ASSERT_TRUE(rec->Save("ALICE"));

    auto rows = disk();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].seq, 1);
    EXPECT_EQ(rows[1].in1, "12:00");
    EXPECT_EQ(rows[1].out2, "17:00");
    EXPECT_EQ(rows[1].shift, 3);
    EXPECT_EQ(rows[0].approvedBy, "MGR");
    EXPECT_EQ(rows[1].approvedBy, "MGR");

    auto back = day(second());
    EXPECT_TRUE(back->hasMore());
    EXPECT_FALSE(back->newRow(0));
    EXPECT_FALSE(back->newRow(1));
    EXPECT_EQ(hhmm(back->In(3)), "12:00");
    EXPECT_EQ(hhmm(back->Out(4)), "17:00");
    EXPECT_EQ(back->shift(1), 3);
    EXPECT_EQ(back->approvedBy(), "MGR");
    EXPECT_EQ(back->approvedWhen(), EncodeDate(2025, 3, 4));
    EXPECT_FLOAT_EQ(back->DayHours(), 8.0f);
}

TEST_F(HourRecTest, UntouchedDayWritesNothing)
{
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0));
    auto rec = day(*dm);
    rec->setIn(1, T(8, 0)); // the value it already has
    EXPECT_FALSE(rec->modified());
    // Another copy changes the row meanwhile; a save of ours must not undo it.
    exec(second(), "update WorkDay set TimeOut1 = '13:00:00'");
    EXPECT_TRUE(rec->Save("ALICE"));
    ASSERT_EQ(disk().size(), 1u);
    EXPECT_EQ(disk()[0].out1, "13:00");

    // A day without times and without rows stays without rows.
    auto empty = day(*dm, kMonday + 1);
    EXPECT_TRUE(empty->Save("ALICE"));
    EXPECT_TRUE(disk(kMonday + 1).empty());
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(HourRecTest, ClearingEveryTimeOfAStoredDayDeletesItsRows)
{
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0), T(13, 0), T(17, 0), std::string("ALICE"));
    putRow(*dm, kMonday, 1, T(18, 0), T(19, 0), E, E, std::string("ALICE"));
    auto rec = day(*dm);
    ASSERT_TRUE(rec->hasMore());
    for (int k = 1; k <= 4; ++k) {
        ASSERT_TRUE(rec->SetInText(k, "  :  "));
        ASSERT_TRUE(rec->SetOutText(k, "  :  "));
    }
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_TRUE(disk().empty());
    EXPECT_FALSE(rec->hasMore());
    EXPECT_TRUE(rec->newRow(0));
    EXPECT_TRUE(rec->newRow(1));
    EXPECT_FALSE(rec->modified());
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(HourRecTest, ClearingPairsThreeAndFourDeletesOnlyRowOne)
{
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0), E, E, std::string("ALICE"));
    putRow(*dm, kMonday, 1, T(18, 0), T(19, 0), E, E, std::string("ALICE"));
    auto rec = day(*dm);
    rec->setIn(3, E);
    rec->setOut(3, E);
    ASSERT_TRUE(rec->Save("ALICE"));
    auto rows = disk();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].seq, 0);
    EXPECT_FALSE(rec->hasMore());
}

TEST_F(HourRecTest, DayWithOnlyPairsThreeAndFourWritesRowOneOnly)
{
    putRow(*dm, kMonday, 1, T(18, 0), T(20, 0), E, E, std::string("ALICE"));
    auto rec = day(*dm);
    EXPECT_TRUE(rec->hasMore());
    EXPECT_TRUE(rec->newRow(0));
    EXPECT_FALSE(rec->newRow(1));
    EXPECT_EQ(rec->In(1), kEmptyPunch);
    EXPECT_EQ(hhmm(rec->In(3)), "18:00");
    EXPECT_EQ(hhmm(rec->Out(3)), "20:00");
    EXPECT_EQ(rec->lockHolder(), "ALICE");

    ASSERT_TRUE(rec->SetOutText(3, "20:30"));
    ASSERT_TRUE(rec->Save("ALICE"));
    auto rows = disk();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].seq, 1);
    EXPECT_EQ(rows[0].out1, "20:30");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(HourRecTest, SaveOfAStoredRowNeedsItsLock)
{
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0), E, E, std::string("BOB"));
    auto rec = day(*dm);
    rec->setOut(1, T(12, 30));
    EXPECT_FALSE(rec->Save("ALICE"));
    expectOnlyMessage("An error occurred saving the Hours Worked record.  The record is locked by BOB."
                      "\r\rPlease try your changes again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(disk()[0].out1, "12:00");
    EXPECT_TRUE(rec->modified());
}

TEST_F(HourRecTest, FailureOnRowOneLeavesRowZeroUnwritten)
{
    putRow(*dm, kMonday, 1, T(18, 0), T(20, 0), E, E, std::string("BOB"));
    auto rec = day(*dm);
    rec->setIn(1, T(8, 0));
    rec->setOut(1, T(12, 0));
    rec->setOut(3, T(21, 0));
    EXPECT_FALSE(rec->Save("ALICE"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "An error occurred saving the Hours Worked record.  The record is locked by "
                                        "BOB.\r\rPlease try your changes again later.");
    auto rows = disk();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].seq, 1);
    EXPECT_EQ(rows[0].out1, "20:00");
    // Still unsaved: a later save tries both rows again.
    EXPECT_TRUE(rec->modified());
    EXPECT_TRUE(rec->newRow(0));
}

TEST_F(HourRecTest, NewDayLockedInMemoryKeepsItsLockOnceStored)
{
    auto rec = day(*dm);
    ASSERT_TRUE(rec->Lock("ALICE"));
    EXPECT_EQ(rec->lockHolder(), "ALICE");
    EXPECT_TRUE(disk().empty());
    rec->setIn(1, T(8, 0));
    rec->setOut(1, T(12, 0));
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_EQ(disk()[0].lockedBy, "ALICE");
    // The same object saves again without being reloaded.
    rec->setOut(1, T(12, 15));
    ASSERT_TRUE(rec->Save("ALICE"));
    EXPECT_EQ(disk()[0].out1, "12:15");
    EXPECT_TRUE(messages.shown().empty());
}

// --- two copies ---

TEST_F(HourRecTest, SecondCopyStoringTheSameNewDayFirstRaisesDuplicate)
{
    auto mine = day(*dm);
    auto theirs = day(second());
    mine->setIn(1, T(8, 0));
    mine->setOut(1, T(12, 0));
    theirs->setIn(1, T(9, 0));
    theirs->setOut(1, T(17, 0));
    ASSERT_TRUE(theirs->Save("BOB"));

    try {
        mine->Save("ALICE");
        FAIL() << "no duplicate-entries error";
    } catch (const EDuplicateHourKeyError& e) {
        EXPECT_EQ(std::string(e.what()), kDuplicate);
    }
    EXPECT_EQ(std::string(kDuplicateHourKeyText), kDuplicate);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(dm->tblWorkDay.state(), engine::TableState::Browse);
    EXPECT_TRUE(mine->newRow(0));
    EXPECT_TRUE(mine->modified());
    auto rows = disk();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].in1, "09:00");
}

TEST_F(HourRecTest, DuplicateOnRowOneRollsBackRowZero)
{
    auto mine = day(*dm);
    mine->setIn(1, T(8, 0));
    mine->setOut(1, T(12, 0));
    mine->setIn(3, T(13, 0));
    mine->setOut(3, T(14, 0));
    putRow(second(), kMonday, 1, T(18, 0), T(19, 0));
    EXPECT_THROW(mine->Save("ALICE"), EDuplicateHourKeyError);
    EXPECT_FALSE(dm->HourvaneDB.inTransaction());
    auto rows = disk();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].seq, 1);
    EXPECT_TRUE(mine->newRow(0));
}

TEST_F(HourRecTest, RowDeletedByAnotherCopyAsksToRecreate)
{
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0), E, E, std::string("ALICE"));
    auto rec = day(*dm);
    rec->setOut(1, T(12, 30));
    exec(second(), "delete from WorkDay");

    messages.answer(MsgResult::No);
    EXPECT_FALSE(rec->Save("ALICE"));
    expectOnlyMessage(kRecreate, MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_TRUE(disk().empty());
    EXPECT_TRUE(rec->modified());

    messages.clear();
    messages.answer(MsgResult::Yes);
    ASSERT_TRUE(rec->Save("ALICE"));
    expectOnlyMessage(kRecreate, MsgKind::Confirmation, MsgButtons::YesNo);
    auto rows = disk();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].in1, "08:00");
    EXPECT_EQ(rows[0].out1, "12:30");
    EXPECT_FALSE(rec->modified());
}

TEST_F(HourRecTest, ClearingADayAnotherCopyAlreadyDeletedSucceeds)
{
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0), E, E, std::string("ALICE"));
    auto rec = day(*dm);
    exec(second(), "delete from WorkDay");
    rec->setIn(1, E);
    rec->setOut(1, E);
    EXPECT_TRUE(rec->Save("ALICE"));
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(rec->newRow(0));
}

TEST_F(HourRecTest, LockAndUnlockWriteTheIdentityIntoBothRows)
{
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0));
    putRow(*dm, kMonday, 1, T(13, 0), T(17, 0));
    auto rec = day(*dm);
    ASSERT_TRUE(rec->Lock("ALICE"));
    EXPECT_EQ(rec->lockHolder(), "ALICE");
    auto rows = disk();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].lockedBy, "ALICE");
    EXPECT_EQ(rows[1].lockedBy, "ALICE");

    // The other copy sees the lock.
    auto theirs = day(second());
    EXPECT_EQ(theirs->lockHolder(), "ALICE");
    EXPECT_FALSE(theirs->Lock("BOB"));
    expectOnlyMessage("The Hours Worked record is already locked by ALICE.  You may view the information but may "
                      "not save any changes.\r\rPlease try your update again later.",
                      MsgKind::Information, MsgButtons::Ok, kLockHelpContext);

    ASSERT_TRUE(rec->Unlock("ALICE"));
    EXPECT_EQ(rec->lockHolder(), "");
    rows = disk();
    EXPECT_EQ(rows[0].lockedBy, "");
    EXPECT_EQ(rows[1].lockedBy, "");
}

TEST_F(HourRecTest, DayHeldByAnotherCopyIsNotClaimedInMemory)
{
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0), E, E, std::string("BOB"));
    auto rec = day(*dm);
    EXPECT_FALSE(rec->Lock("ALICE"));
    EXPECT_EQ(rec->lockHolder(), "BOB");
    EXPECT_EQ(messages.shown().size(), 1u);
    // Unlocking what another copy holds leaves it alone.
    EXPECT_TRUE(rec->Unlock("ALICE"));
    EXPECT_EQ(disk()[0].lockedBy, "BOB");
}

TEST_F(HourRecTest, DeleteRemovesBothRowsAndClears)
{
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0), E, E, std::string("ALICE"));
    putRow(*dm, kMonday, 1, T(13, 0), T(17, 0), E, E, std::string("ALICE"));
    auto rec = day(*dm);
    ASSERT_TRUE(rec->Delete("ALICE"));
    EXPECT_TRUE(disk().empty());
    EXPECT_EQ(rec->In(1), kEmptyPunch);
    EXPECT_TRUE(rec->newRow(0));
    EXPECT_EQ(rec->employee(), kCardEmp);
    EXPECT_EQ(rec->dayDate(), kMonday);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(HourRecTest, DeleteRefusedOnRowOneKeepsRowZero)
{
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0), E, E, std::string("ALICE"));
    putRow(*dm, kMonday, 1, T(13, 0), T(17, 0), E, E, std::string("BOB"));
    auto rec = day(*dm);
    EXPECT_FALSE(rec->Delete("ALICE"));
    expectOnlyMessage("The record is locked by BOB.\r\rPlease try your delete again later.", MsgKind::Information,
                      MsgButtons::Ok, kLockHelpContext);
    EXPECT_EQ(disk().size(), 2u);
    EXPECT_EQ(hhmm(rec->In(1)), "08:00");
}

// --- engine failures ---

TEST_F(HourRecTest, EngineErrorWhileSavingIsWarnedAbout)
{
    auto rec = day(*dm);
    rec->setIn(1, T(8, 0));
    rec->setOut(1, T(12, 0));
    dm->tblWorkDay.close();
    std::string engineText;
    try {
        dm->tblWorkDay.append();
    } catch (const std::exception& e) {
        engineText = e.what();
    }
    ASSERT_FALSE(engineText.empty());
    EXPECT_FALSE(rec->Save("ALICE"));
    expectOnlyMessage("The following error occurred saving the record: " + engineText + "\r\rThe record was NOT saved.",
                      MsgKind::Warning);
    EXPECT_TRUE(rec->modified());
}

TEST_F(HourRecTest, CodedEngineErrorWhileSavingIsWarnedAboutWithItsMessage)
{
    auto rec = day(*dm);
    rec->setIn(1, T(8, 0));
    rec->setOut(1, T(12, 0));
    PeerProcess peer; // holds the database's write lock
    ASSERT_EQ(peer.send("connect " + dataFolder), "ok");
    ASSERT_EQ(peer.send("open workday.dat"), "ok");
    ASSERT_EQ(peer.send("begin"), "ok");
    dm->HourvaneDB.setLockRetryCount(0);
    dm->HourvaneDB.setLockWaitTime(0);

    EXPECT_FALSE(rec->Save("ALICE"));
    ASSERT_EQ(messages.shown().size(), 1u);
    const std::string& text = messages.shown()[0].text;
    const std::string head = "The following error occurred saving the record: ";
    const std::string tail = "\r\rThe record was NOT saved.";
    EXPECT_EQ(text.substr(0, head.size()), head);
    ASSERT_GT(text.size(), head.size() + tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Warning);

    ASSERT_EQ(peer.send("rollback"), "ok");
    EXPECT_TRUE(rec->modified());
    EXPECT_TRUE(disk().empty());
}

TEST_F(HourRecTest, EngineErrorWhileDeletingARowNamesTheDay)
{
    appState().displayDateFormat = "mm/dd/yyyy";
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0), E, E, std::string("ALICE"));
    auto rec = day(*dm);
    rec->setIn(1, E);
    rec->setOut(1, E);
    dm->tblWorkDay.close();
    std::string engineText;
    try {
        dm->tblWorkDay.findKey({engine::Value(std::int64_t(kCardEmp))});
    } catch (const std::exception& e) {
        engineText = e.what();
    }
    ASSERT_FALSE(engineText.empty());
    EXPECT_FALSE(rec->Save("ALICE"));
    expectOnlyMessage("The following error occurred deleting the Work record for 03/03/2025:\r\r" + engineText,
                      MsgKind::Warning);

    // Without a display date format the regional one names the day.
    messages.clear();
    appState().displayDateFormat.clear();
    EXPECT_FALSE(rec->Save("ALICE"));
    expectOnlyMessage("The following error occurred deleting the Work record for 3/3/2025:\r\r" + engineText,
                      MsgKind::Warning);
}

// --- CopyFromPreviousWeek and OldestWorkDate ---

TEST_F(HourRecTest, CopyFromPreviousWeekCopiesPairsAndKeepsTodaysRows)
{
    putRow(*dm, kPrevMonday, 0, T(8, 0), T(12, 0), T(13, 0), T(17, 0), std::string("BOB"), 2);
    putRow(*dm, kMonday, 0, T(9, 0), T(10, 0), E, E, std::string("ALICE"));
    putRow(*dm, kMonday, 1, T(18, 0), T(19, 0), E, E, std::string("ALICE"));
    auto rec = day(*dm);
    ASSERT_TRUE(rec->Lock("ALICE"));

    rec->CopyFromPreviousWeek();
    EXPECT_EQ(rec->dayDate(), kMonday);
    EXPECT_EQ(hhmm(rec->In(1)), "08:00");
    EXPECT_EQ(hhmm(rec->Out(2)), "17:00");
    EXPECT_EQ(rec->In(3), kEmptyPunch);
    EXPECT_FALSE(rec->hasMore());
    EXPECT_EQ(rec->shift(0), 2);
    EXPECT_FALSE(rec->newRow(0));
    EXPECT_FALSE(rec->newRow(1));
    EXPECT_EQ(rec->lockHolder(), "ALICE");
    EXPECT_TRUE(rec->modified());

    // Nothing written yet.
    auto rows = disk();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].in1, "09:00");
    EXPECT_EQ(disk(kPrevMonday)[0].lockedBy, "BOB");

    // Saved: today's row 0 is edited, its row 1 deleted.
    ASSERT_TRUE(rec->Save("ALICE"));
    rows = disk();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].in1, "08:00");
    EXPECT_EQ(rows[0].out2, "17:00");
    EXPECT_EQ(rows[0].shift, 2);
    EXPECT_EQ(rows[0].lockedBy, "ALICE");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(HourRecTest, CopyIntoANewDayAppendsOnSave)
{
    putRow(*dm, kPrevMonday, 0, T(7, 0), T(15, 0));
    auto rec = day(*dm);
    rec->CopyFromPreviousWeek();
    EXPECT_TRUE(rec->newRow(0));
    EXPECT_TRUE(disk().empty());
    ASSERT_TRUE(rec->Save("ALICE"));
    ASSERT_EQ(disk().size(), 1u);
    EXPECT_EQ(disk()[0].in1, "07:00");
    EXPECT_EQ(disk(kPrevMonday).size(), 1u);
}

TEST_F(HourRecTest, OldestWorkDateIsZeroWhenEmptyElseTheEarliestDay)
{
    THoursWorkedRecClass rec(*dm);
    EXPECT_EQ(rec.OldestWorkDate(), 0.0);
    putRow(*dm, kMonday, 0, T(8, 0), T(12, 0));
    putRow(*dm, kPrevMonday + 2, 0, T(8, 0), T(12, 0), E, E, std::nullopt, 1, kCardEmp + 1);
    putRow(*dm, kMonday + 3, 1, T(8, 0), T(12, 0));
    EXPECT_EQ(rec.OldestWorkDate(), kPrevMonday + 2);
}

} // namespace
} // namespace hv::test
