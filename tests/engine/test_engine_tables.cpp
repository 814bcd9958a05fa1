#include "EngineFixture.h"
#include "engine/TableEmpty.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <sqlite3.h>
#include <thread>

namespace hv::test {

TEST_F(EngineTest, CreatedTableKeepsItsDefinitionAndFiles)
{
    auto t = open("dept.dat");
    EXPECT_EQ(t->readDefinition(), deptDef());
    EXPECT_EQ(t->definition().description, "Departments");
    EXPECT_TRUE(std::filesystem::exists(dir / "dept.dat"));
    EXPECT_TRUE(std::filesystem::exists(dir / "dept.idx"));
    EXPECT_TRUE(std::filesystem::exists(dir / "dept.blb")); // memo column
    EXPECT_FALSE(std::filesystem::exists(dir / "workday.blb"));
    Table upper(db);
    upper.setTableName("DEPT.Dat"); // names match without regard to case
    EXPECT_TRUE(upper.exists());
}

TEST_F(EngineTest, AppendFindEditDeleteRoundTrip)
{
    auto t = open("workday.dat");
    addDay(*t, 1, kMarch1, 0);
    addDay(*t, 1, kMarch1 + 1, 0);
    addDay(*t, 2, kMarch1, 1);
    EXPECT_EQ(t->recordCount(), 3);

    ASSERT_TRUE(t->findKey({Value(std::int64_t(1)), Value(kMarch1 + 1), Value(std::int64_t(0))}));
    EXPECT_EQ(t->fieldByName("WeekDate").asString(), "2023-03-02");
    EXPECT_DOUBLE_EQ(t->fieldByName("WeekDate").asDateTime(), kMarch1 + 1);
    EXPECT_TRUE(t->fieldByName("TimeIn1").isNull());
    EXPECT_FALSE(t->findKey({Value(std::int64_t(3)), Value(kMarch1), Value(std::int64_t(0))}));

    ASSERT_TRUE(t->findKey({Value(std::int64_t(2)), Value(kMarch1), Value(std::int64_t(1))}));
    t->edit();
    t->fieldByName("TimeIn1").setAsDateTime(8.5 / 24.0);
    t->post();
    t->refresh();
    EXPECT_EQ(t->fieldByName("TimeIn1").asString(), "08:30:00");
    EXPECT_NEAR(t->fieldByName("TimeIn1").asDateTime(), 8.5 / 24.0, 1e-9);
    t->fieldByName("TimeIn1"); // reading outside edit mode is fine
    EXPECT_THROW(t->fieldByName("TimeIn1").setAsString("09:00"), EngineTextError);

    t->deleteRecord();
    EXPECT_EQ(t->recordCount(), 2);
    EXPECT_FALSE(t->findKey({Value(std::int64_t(2)), Value(kMarch1), Value(std::int64_t(1))}));
    EXPECT_THROW(t->fieldByName("NoSuchField"), EngineTextError);
}

TEST_F(EngineTest, WalksInIndexOrderAndSkipsRowsDeletedMeanwhile)
{
    auto t = open("workday.dat");
    for (int emp = 200; emp >= 1; --emp)
        addDay(*t, emp, kMarch1, 0);
    std::vector<std::int64_t> seen;
    for (t->first(); !t->eof(); t->next())
        seen.push_back(t->fieldByName("EmpID").asInteger());
    ASSERT_EQ(seen.size(), 200u);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

    // Another connection deletes a row further on while this cursor walks
    // (rows are read a block at a time, so it is well past the first block).
    t->first();
    {
        Database other;
        other.setDirectory(dir.folder());
        other.connect();
        Table w(other, "w");
        w.setTableName("workday.dat");
        w.open();
        Query q(other);
        q.addSql("delete from workday where EmpID = 150");
        q.execSql();
        EXPECT_EQ(q.rowsAffected(), 1);
    }
    seen.clear();
    for (; !t->eof(); t->next())
        seen.push_back(t->fieldByName("EmpID").asInteger());
    EXPECT_EQ(seen.size(), 199u);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 150), 0);
    EXPECT_EQ(seen.back(), 200);
}

// A walk reads its rows a block at a time, each block starting after the key
// of the last row handed out: null keys, names in mixed letter case and writes
// made on the way must neither lose nor repeat a row.
TEST_F(EngineTest, WalksAcrossBlocksInCaseInsensitiveOrderWithNullKeysWhileWriting)
{
    auto d = open("dept.dat");
    db.startTransaction(); // one commit for the lot
    for (int i = 0; i < 300; ++i) {
        d->append();
        if (i % 3 != 0) // every third name null: 100 nulls, sorted first by row id
            d->fieldByName("DeptName").setAsString((i % 2 ? "n" : "N") + std::to_string(1000 + i));
        d->post();
    }
    Query expected(db);
    expected.addSql("select DeptID from dept order by DeptName collate nocase, rowid");
    std::vector<std::int64_t> order;
    for (expected.open(); !expected.eof(); expected.next())
        order.push_back(expected.field(0).asInteger());

    d->setIndexName("DeptName");
    std::vector<std::int64_t> seen;
    for (d->first(); !d->eof(); d->next()) {
        seen.push_back(d->fieldByName("DeptID").asInteger());
        d->edit(); // a write that leaves the row in its place keeps the walk going
        d->fieldByName("ActiveFlag").setAsBoolean(true);
        d->post();
    }
    EXPECT_EQ(seen, order);

    // A filter SQLite answers from another index sorts the rows itself.
    std::vector<std::int64_t> some;
    for (std::int64_t id : order)
        if (id >= 100 && id <= 140)
            some.push_back(id);
    seen.clear();
    {
        FilterScope range(*d, "DeptID between 100 and 140");
        for (d->first(); !d->eof(); d->next())
            seen.push_back(d->fieldByName("DeptID").asInteger());
    }
    EXPECT_EQ(seen, some);

    // Deleting every other row on the way; the walk goes on after each.
    std::vector<std::int64_t> kept;
    bool drop = true;
    for (d->first(); !d->eof(); drop = !drop) {
        if (drop) {
            d->deleteRecord();
        } else {
            kept.push_back(d->fieldByName("DeptID").asInteger());
            d->next();
        }
    }
    std::vector<std::int64_t> odd;
    for (std::size_t i = 1; i < order.size(); i += 2)
        odd.push_back(order[i]);
    EXPECT_EQ(kept, odd);
    EXPECT_EQ(d->recordCount(), 150);
    db.commit();
}

TEST_F(EngineTest, DefaultsRequiredFieldsAndColumnTypes)
{
    auto t = open("workday.dat");
    t->append();
    t->fieldByName("EmpID").setAsInteger(7);
    t->fieldByName("WeekDate").setAsDateTime(kMarch1);
    t->post(); // SequenceNum takes its default
    ASSERT_TRUE(t->findKey({Value(std::int64_t(7)), Value(kMarch1), Value(std::int64_t(0))}));
    EXPECT_EQ(t->fieldByName("SequenceNum").asInteger(), 0);

    t->append();
    t->fieldByName("EmpID").setAsInteger(8);
    try {
        t->post();
        FAIL() << "a row without a required value was stored";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), code::RequiredField);
        EXPECT_EQ(e.message(), "A value must be provided for the field 'WeekDate' in table 'workday.dat'");
    }
    t->cancel();

    auto d = open("dept.dat");
    d->append();
    d->fieldByName("DeptName").setAsString("Shipping and Receiving"); // text(10)
    d->fieldByName("ActiveFlag").setAsBoolean(true);
    d->fieldByName("Budget").setAsFloat(1234.56785); // ten-thousandths, halves to even
    d->fieldByName("Stamp").setAsDateTime(kMarch1 + 0.75);
    d->fieldByName("Notes").setAsString(std::string(5000, 'n'));
    EXPECT_THROW(d->fieldByName("Small").setAsInteger(40000), EngineTextError);
    d->fieldByName("Small").setAsInteger(-32768);
    d->post();
    std::int64_t firstId = d->fieldByName("DeptID").asInteger();
    EXPECT_EQ(firstId, 1);
    d->first();
    EXPECT_EQ(d->fieldByName("DeptName").asString(), "Shipping a");
    EXPECT_TRUE(d->fieldByName("ActiveFlag").asBoolean());
    EXPECT_EQ(d->fieldByName("Budget").asCurrencyUnits(), 12345678);
    EXPECT_EQ(d->fieldByName("Stamp").asString(), "2023-03-01 18:00:00");
    EXPECT_EQ(d->fieldByName("Notes").asString().size(), 5000u);
    EXPECT_EQ(d->fieldByName("Small").asInteger(), -32768);

    // Auto-increment numbers are never handed out twice.
    d->deleteRecord();
    d->append();
    d->fieldByName("DeptName").setAsString("Sales");
    d->post();
    EXPECT_EQ(d->fieldByName("DeptID").asInteger(), 2);
    EXPECT_TRUE(d->fieldByName("Notes").isNull());
}

TEST_F(EngineTest, UniqueCaseInsensitiveIndexNamesItselfInTheKeyViolation)
{
    auto d = open("dept.dat");
    d->append();
    d->fieldByName("DeptName").setAsString("Sales");
    d->post();
    d->append();
    d->fieldByName("DeptName").setAsString("sales");
    try {
        d->post();
        FAIL() << "duplicate accepted";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), code::KeyViolation);
        EXPECT_NE(e.message().find("index 'DeptName'"), std::string::npos) << e.message();
        EXPECT_EQ(e.indexName(), "DeptName");
    }
    EXPECT_FALSE(db.inTransaction()); // the failed write's savepoint is gone too
    d->cancel();
    EXPECT_EQ(d->recordCount(), 1);

    auto w = open("workday.dat");
    addDay(*w, 1, kMarch1, 0);
    try {
        addDay(*w, 1, kMarch1, 0);
        FAIL() << "duplicate primary key accepted";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), code::KeyViolation);
        EXPECT_NE(e.message().find("index 'Primary'"), std::string::npos) << e.message();
        EXPECT_EQ(e.indexName(), "Primary");
    }
}

TEST_F(EngineTest, FindKeyOnCaseInsensitiveIndex)
{
    auto d = open("dept.dat");
    d->append();
    d->fieldByName("DeptName").setAsString("Sales");
    d->post();
    d->setIndexName("DeptName");
    EXPECT_TRUE(d->findKey({Value(std::string("SALES"))}));
    EXPECT_EQ(d->fieldByName("DeptName").asString(), "Sales");
    EXPECT_THROW(d->setIndexName("Nope"), EngineTextError);
}

TEST_F(EngineTest, FilterFormsSelectTheRightRows)
{
    auto w = open("workday.dat");
    for (int emp = 1; emp <= 3; ++emp)
        for (int day = 0; day < 10; ++day)
            addDay(*w, emp, kMarch1 + day, 0);
    auto countWith = [&](const std::string& f) {
        w->setFilter(f);
        w->setFiltered(true);
        std::int64_t n = 0;
        for (w->first(); !w->eof(); w->next())
            ++n;
        EXPECT_EQ(n, w->recordCount()) << f;
        w->setFiltered(false);
        return n;
    };
    EXPECT_EQ(countWith("EmpID = 2"), 10);
    EXPECT_EQ(countWith("EmpID = 2 and SequenceNum = 0"), 10);
    EXPECT_EQ(countWith("EmpID = 2 and WeekDate between '2023-03-03' and '2023-03-05'"), 3);
    EXPECT_EQ(countWith("(EmpID = 3) and (WeekDate = '2023-03-10')"), 1);
    EXPECT_EQ(countWith("EmpID = 4"), 0);
    EXPECT_EQ(w->recordCount(), 30);
    // Switching a filter off leaves the cursor on the first row of the table.
    w->setFilter("EmpID = 3");
    w->setFiltered(true);
    EXPECT_EQ(w->fieldByName("EmpID").asInteger(), 3);
    w->setFiltered(false);
    EXPECT_FALSE(w->eof());
    EXPECT_EQ(w->fieldByName("EmpID").asInteger(), 1);

    auto d = open("dept.dat");
    d->append();
    d->fieldByName("DeptName").setAsString("O'Brien");
    d->post();
    d->setFilter("DeptName = 'O''Brien'");
    d->setFiltered(true);
    EXPECT_EQ(d->recordCount(), 1);
    // Typed text never becomes SQL: a quote that closes early is a filter error.
    for (const char* bad : {"DeptName = 'x' or 1=1", "DeptName = 'x'; drop table dept", "Nope = 1",
                            "DeptName = ", "EmpID > 3", "DeptName = 'unterminated", "DeptID between 1"}) {
        try {
            d->setFilter(bad);
            FAIL() << bad;
        } catch (const EngineError& e) {
            EXPECT_EQ(e.code(), code::FilterError) << bad;
        }
    }
}

TEST_F(EngineTest, TransactionSpansTablesAndRollsBackTogether)
{
    auto w = open("workday.dat");
    auto t = open("timeoff.dat");
    db.startTransaction();
    EXPECT_TRUE(db.inTransaction());
    addDay(*w, 1, kMarch1, 0);
    t->append();
    t->fieldByName("EmpID").setAsInteger(1);
    t->fieldByName("WeekDate").setAsDateTime(kMarch1);
    t->fieldByName("ReasonID").setAsInteger(1);
    t->post();
    db.rollback();
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(w->recordCount(), 0);
    EXPECT_EQ(t->recordCount(), 0);

    db.startTransaction();
    EXPECT_THROW(db.startTransaction(), EngineTextError);
    addDay(*w, 1, kMarch1, 0);
    db.commit();
    EXPECT_EQ(w->recordCount(), 1);
}

// The writes of two copies take turns whatever tables they lock, single
// writes outside a transaction too, so no writer can wait for a file another
// reads; a transaction locks only its own tables for writing.
TEST_F(EngineTest, WritesOfTwoCopiesTakeTurnsAndATransactionLocksOnlyItsTables)
{
    auto w = open("workday.dat");
    Database other; // a second copy: in one process its locks still conflict
    other.setDirectory(dir.folder());
    other.connect();
    Table otherDays(other, "d"), otherDepts(other, "e");
    otherDays.setTableName("workday.dat");
    otherDepts.setTableName("dept.dat");
    otherDays.open();
    otherDepts.open();

    db.startTransaction({"workday"});
    addDay(*w, 1, kMarch1, 0);
    other.setLockRetryCount(0);
    otherDepts.append();
    otherDepts.fieldByName("DeptName").setAsString("Free");
    EXPECT_THROW(otherDepts.post(), EngineError);
    otherDepts.cancel();
    // SQLite's own write lock is on the days' file only.
    auto writable = [&](const char* file) {
        sqlite3* raw = nullptr;
        sqlite3_open_v2((dir.folder() + file).c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        const int rc = sqlite3_exec(raw, "BEGIN IMMEDIATE; ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(raw);
        return rc == SQLITE_OK;
    };
    EXPECT_TRUE(writable("dept.dat"));
    EXPECT_FALSE(writable("workday.dat"));
    try {
        other.startTransaction({"dept"});
        FAIL() << "two write transactions at once";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), code::TableBusy);
    }
    EXPECT_FALSE(other.inTransaction());

    other.setLockRetryCount(50);
    std::thread committer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        db.commit();
    });
    other.startTransaction({"dept"}); // waits for the commit
    EXPECT_EQ(otherDays.recordCount(), 1);
    other.commit();
    committer.join();
}

// A transaction SQLite ends by itself (here a full file) lets the other
// copies write at once: nothing of it is left to wait for.
TEST_F(EngineTest, ATransactionEndedBySqliteFreesTheOtherCopies)
{
    auto w = open("workday.dat");
    db.startTransaction({"workday"});
    db.exec("PRAGMA main.max_page_count = 8");
    EXPECT_THROW(for (int i = 0; i < 5000; ++i) addDay(*w, i, kMarch1, 0), EngineError);
    EXPECT_FALSE(db.inTransaction());

    Database other;
    other.setDirectory(dir.folder());
    other.connect();
    Table days(other, "d");
    days.setTableName("workday.dat");
    days.open();
    other.setLockRetryCount(0);
    other.startTransaction({"workday"});
    EXPECT_EQ(days.recordCount(), 0);
    other.rollback();
}

TEST_F(EngineTest, EmptyingForAReplacementNumbersFromOneAgainOnlyWhenCommitted)
{
    auto d = open("dept.dat");
    auto addDept = [&](const std::string& name, bool note = true) {
        d->append();
        d->fieldByName("DeptName").setAsString(name);
        if (note)
            d->fieldByName("Notes").setAsString("memo of " + name);
        d->post();
        return d->fieldByName("DeptID").asInteger();
    };
    addDept("A");
    addDept("B");
    addDept("C");
    d->first();
    d->deleteRecord(); // an ordinary delete never gives a number again
    EXPECT_EQ(addDept("D"), 4);

    db.startTransaction();
    engine::EmptyAndRestartNumbering(*d);
    EXPECT_EQ(d->recordCount(), 0);
    EXPECT_EQ(addDept("X"), 1);
    db.rollback();
    EXPECT_EQ(d->recordCount(), 3);
    EXPECT_EQ(addDept("E"), 5);

    db.startTransaction();
    engine::EmptyAndRestartNumbering(*d);
    EXPECT_EQ(addDept("F", false), 1);
    EXPECT_EQ(addDept("G", false), 2);
    db.commit();
    EXPECT_EQ(d->recordCount(), 2);
    // B's memo value (row 2) went with its row and does not turn up under G.
    d->setIndexName("");
    d->first();
    d->next();
    EXPECT_EQ(d->fieldByName("DeptName").asString(), "G");
    EXPECT_TRUE(d->fieldByName("Notes").isNull());
}

TEST_F(EngineTest, RefreshSeesAnotherConnectionsWrite)
{
    auto w = open("workday.dat");
    addDay(*w, 1, kMarch1, 0);
    Database other;
    other.setDirectory(dir.folder());
    other.connect();
    Table w2(other, "w2");
    w2.setTableName("workday.dat");
    w2.open();
    w2.edit();
    w2.fieldByName("LockedBy").setAsString("Someone");
    w2.post();
    EXPECT_TRUE(w->fieldByName("LockedBy").isNull());
    w->refresh();
    EXPECT_EQ(w->fieldByName("LockedBy").asString(), "Someone");

    w2.deleteRecord();
    EXPECT_THROW(w->refresh(), EngineError);
}

TEST_F(EngineTest, SemaphoresAndExclusiveOpenWithinOneProcessConflict)
{
    Database other;
    other.setDirectory(dir.folder());
    other.connect();
    other.setLockRetryCount(0);
    db.setLockRetryCount(0);
    auto mine = open("dept.dat");
    Table theirs(other, "t");
    theirs.setTableName("dept.dat");
    theirs.open();

    EXPECT_TRUE(mine->lockSemaphore(5));
    EXPECT_TRUE(mine->lockSemaphore(5)); // already this copy's
    EXPECT_FALSE(theirs.lockSemaphore(5));
    EXPECT_TRUE(theirs.semaphoreHeldElsewhere(5));
    EXPECT_FALSE(mine->semaphoreHeldElsewhere(5));
    EXPECT_TRUE(theirs.lockSemaphore(6));
    mine->unlockSemaphore(5);
    EXPECT_TRUE(theirs.lockSemaphore(5));
    EXPECT_THROW(mine->lockSemaphore(1025), EngineTextError);

    try {
        mine->changeMode(OpenMode::Exclusive);
        FAIL() << "exclusive while another copy has it open";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), code::TableInUse);
    }
    theirs.close();
    mine->changeMode(OpenMode::Exclusive);
    EXPECT_THROW(theirs.open(), EngineError);
    mine->changeMode(OpenMode::Shared);
    theirs.open();
    // Closing a table keeps its semaphores.
    theirs.close();
    EXPECT_FALSE(mine->lockSemaphore(6));
}

TEST_F(EngineTest, OpeningAMissingTableIsAnEngineError)
{
    Table t(db, "x");
    t.setTableName("missing.dat");
    EXPECT_FALSE(t.exists());
    try {
        t.open();
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), code::TableNotFound);
        EXPECT_FALSE(isDamageCode(e.code()));
    }
}

// The one SQLite in the program is ours, built with the options the engine needs.
TEST(EngineBuild, LinksTheProjectsOwnSqlite)
{
    EXPECT_STREQ(sqlite3_libversion(), "3.40.1");
    EXPECT_TRUE(sqlite3_compileoption_used("MAX_ATTACHED=30"));
    EXPECT_TRUE(sqlite3_compileoption_used("ENABLE_DBPAGE_VTAB"));
    EXPECT_TRUE(sqlite3_compileoption_used("DEFAULT_SYNCHRONOUS=2"));
    EXPECT_TRUE(sqlite3_compileoption_used("DQS=0"));
}

} // namespace hv::test
