// The row-lock protocol of the record base class, seen by two copies of the
// program on one database: two data modules in this process, or a peer process.
#include "ports/CursorService.h"
#include "storage/SQLRec.h"
#include "tests/support/DataFolderFixture.h"
#include "tests/support/PeerProcess.h"

#include <chrono>
#include <iostream>
#include <optional>
#include <random>
#include <thread>

namespace hv::test {

// A record of the departments table, positioned by DeptID, the way every
// derived class positions its table before calling the base operations.
class DeptRec : public TSQLRecClass {
public:
    DeptRec(THourvaneDataMod& dm, std::string tableName = "tblDepts") : TSQLRecClass(dm)
    {
        setRecordName("Department");
        setTableName(std::move(tableName));
        Clear();
    }
    bool position(std::int64_t id) { return table().findKey({engine::Value(id)}); }
    using TSQLRecClass::engineErrorText;
    using TSQLRecClass::recreateQuestion;
};

class RecordingCursor : public CursorService {
public:
    explicit RecordingCursor(const ScriptedMessageService& messages) : m_messages(messages)
    {
        setCursorService(this);
    }
    ~RecordingCursor() override { setCursorService(nullptr); }
    void showWaitCursor() override { waiting = true; }
    void restoreCursor() override
    {
        waiting = false;
        restoredAt.push_back(m_messages.shown().size());
    }
    bool waiting = false;
    std::vector<std::size_t> restoredAt; // messages shown when the cursor was restored

private:
    const ScriptedMessageService& m_messages;
};

class RecordLockTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        start();
    }
    void TearDown() override
    {
        other.reset();
        StorageTest::TearDown();
    }
    // The second copy: its own data module and connection on the same folder.
    THourvaneDataMod& second()
    {
        if (!other)
            other = std::make_unique<THourvaneDataMod>(
                DataModuleOptions{programFolder, "Hourvane3.ini", nullptr, &appState()});
        return *other;
    }
    std::int64_t addDept(const std::string& name, std::optional<std::string> lockedBy)
    {
        engine::Table& t = dm->tblDepts;
        t.append();
        t.fieldByName("DeptName").setAsString(name);
        if (lockedBy)
            t.fieldByName("LockedBy").setAsString(*lockedBy);
        t.post();
        return t.fieldByName("DeptID").asInteger();
    }
    std::int64_t exec(THourvaneDataMod& d, const std::string& sql)
    {
        d.qryBlank.clearSql();
        d.qryBlank.addSql(sql);
        d.qryBlank.execSql();
        return d.qryBlank.rowsAffected();
    }
    // LockedBy as another copy reads it from disk; "<null>" for a null.
    std::string storedHolder(std::int64_t id)
    {
        engine::Query& q = second().qryBlank;
        q.clearSql();
        q.addSql("select LockedBy from Dept where DeptID = " + std::to_string(id));
        q.open();
        std::string v = q.eof() ? "<no row>" : q.field(0).isNull() ? "<null>" : q.field(0).asString();
        q.close();
        return v;
    }
    void expectOnlyMessage(const std::string& text, MsgKind kind, int helpContext)
    {
        ASSERT_EQ(messages.shown().size(), 1u);
        const ShownMessage& m = messages.shown().front();
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.kind, kind);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        EXPECT_EQ(m.helpContext, helpContext);
    }
    // A peer that holds the database's write lock, so that any write of ours fails at once.
    void blockWrites(PeerProcess& peer)
    {
        ASSERT_EQ(peer.send("connect " + dataFolder), "ok");
        ASSERT_EQ(peer.send("open dept.dat"), "ok");
        ASSERT_EQ(peer.send("begin"), "ok");
        dm->HourvaneDB.setLockRetryCount(0);
        dm->HourvaneDB.setLockWaitTime(0);
    }
    // The error a write of ours meets while the peer blocks writes: through a
    // statement, or through the table cursor, which names its table.
    engine::EngineError blockedWriteError(bool throughTable = false)
    {
        try {
            if (throughTable)
                addDept("Probe", std::nullopt);
            else
                exec(*dm, "update Dept set ManagerID = 1 where DeptID = -1");
        } catch (const engine::EngineError& e) {
            dm->tblDepts.cancel();
            return e;
        }
        ADD_FAILURE() << "the write was not blocked";
        return engine::EngineError(0, "");
    }

    std::unique_ptr<THourvaneDataMod> other;
};

// --- Lock ---

TEST_F(RecordLockTest, LockTakesAFreeRowAndLeavesTheCursorShowingIt)
{
    std::int64_t id = addDept("Shipping", std::nullopt);
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    EXPECT_TRUE(rec.Lock("ALICE"));
    EXPECT_EQ(rec.lockHolder(), "ALICE");
    EXPECT_EQ(storedHolder(id), "ALICE");
    EXPECT_EQ(dm->tblDepts.fieldByName("LockedBy").asString(), "ALICE");
    EXPECT_EQ(dm->tblDepts.state(), engine::TableState::Browse);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(RecordLockTest, RowsHoldingEmptyOrTheNullTextCountAsFree)
{
    std::int64_t empty = addDept("Empty", std::string());
    std::int64_t nullText = addDept("NullText", std::string("(null)"));
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(empty));
    EXPECT_TRUE(rec.Lock("ALICE"));
    ASSERT_TRUE(rec.position(nullText));
    EXPECT_TRUE(rec.Lock("ALICE"));
    EXPECT_EQ(storedHolder(empty), "ALICE");
    EXPECT_EQ(storedHolder(nullText), "ALICE");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(RecordLockTest, RowHeldByThisIdentityLocksAgainWithoutWriting)
{
    // Left behind by an earlier run under the same identity.
    std::int64_t id = addDept("Shipping", std::string("ALICE"));
    PeerProcess peer;
    blockWrites(peer); // any write would fail now
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    EXPECT_TRUE(rec.Lock("ALICE"));
    EXPECT_EQ(rec.lockHolder(), "ALICE");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(RecordLockTest, RowHeldByAnotherCopyIsRefusedOnceThenSilently)
{
    std::int64_t id = addDept("Shipping", std::string("BOB"));
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    EXPECT_FALSE(rec.Lock("ALICE"));
    expectOnlyMessage("The Department record is already locked by BOB.  You may view the information but may "
                      "not save any changes.\r\rPlease try your update again later.",
                      MsgKind::Information, kLockHelpContext);
    EXPECT_TRUE(rec.lockRefused());
    EXPECT_EQ(rec.lockHolder(), "");
    EXPECT_EQ(storedHolder(id), "BOB");

    // The second attempt on the same object asks nothing, even once the row is free.
    exec(second(), "update Dept set LockedBy = null");
    EXPECT_FALSE(rec.Lock("ALICE"));
    EXPECT_EQ(messages.shown().size(), 1u);

    rec.Clear();
    EXPECT_FALSE(rec.lockRefused());
    EXPECT_TRUE(rec.Lock("ALICE"));
}

TEST_F(RecordLockTest, FallbackIdentityIsNamedAnotherUser)
{
    std::int64_t id = addDept("Shipping", std::string("*Hourvane3"));
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    EXPECT_FALSE(rec.Lock("ALICE"));
    expectOnlyMessage("The Department record is already locked by another user.  You may view the information but "
                      "may not save any changes.\r\rPlease try your update again later.",
                      MsgKind::Information, kLockHelpContext);
    EXPECT_FALSE(rec.Lock("ALICE"));
    EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(RecordLockTest, LockSeesWhatAnotherCopyWroteAMomentAgo)
{
    std::int64_t id = addDept("Shipping", std::nullopt);
    DeptRec mine(*dm);
    ASSERT_TRUE(mine.position(id)); // the cursor still shows the row free
    DeptRec theirs(second());
    ASSERT_TRUE(theirs.position(id));
    ASSERT_TRUE(theirs.Lock("BOB"));
    EXPECT_FALSE(mine.Lock("ALICE"));
    EXPECT_EQ(messages.last(), "The Department record is already locked by BOB.  You may view the information but "
                               "may not save any changes.\r\rPlease try your update again later.");
    EXPECT_EQ(storedHolder(id), "BOB");
}

TEST_F(RecordLockTest, IdentityIsStoredWithTheColumnsFifteenCharacters)
{
    std::int64_t id = addDept("Shipping", std::nullopt);
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    const std::string longName = "ABCDEFGHIJKLMNOPQRST";
    EXPECT_TRUE(rec.Lock(longName));
    EXPECT_EQ(storedHolder(id), "ABCDEFGHIJKLMNO");
    EXPECT_TRUE(rec.Save(longName));
    EXPECT_TRUE(rec.Unlock(longName));
    EXPECT_EQ(storedHolder(id), "");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(RecordLockTest, EngineErrorWhileLockingShowsCodeAndMessage)
{
    std::int64_t id = addDept("Shipping", std::nullopt);
    PeerProcess peer;
    blockWrites(peer);
    engine::EngineError blocked = blockedWriteError();
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    EXPECT_FALSE(rec.Lock("ALICE"));
    expectOnlyMessage("The following error occurred locking the Department record: " + std::to_string(blocked.code()) +
                          " - " + blocked.message() + "\r\rThe record was NOT locked.",
                      MsgKind::Warning, 0);
    EXPECT_FALSE(rec.lockRefused());
    EXPECT_EQ(rec.lockHolder(), "");
    ASSERT_EQ(peer.send("rollback"), "ok");
    EXPECT_EQ(storedHolder(id), "<null>");
}

TEST_F(RecordLockTest, RowDeletedByAnotherCopyCannotBeLocked)
{
    std::int64_t id = addDept("Shipping", std::nullopt);
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    exec(second(), "delete from Dept");
    EXPECT_FALSE(rec.Lock("ALICE"));
    expectOnlyMessage("The following error occurred locking the Department record: 8708 - The record has been "
                      "deleted by another user (table 'dept.DAT')\r\rThe record was NOT locked.",
                      MsgKind::Warning, 0);
}

TEST_F(RecordLockTest, UnknownTableComponentIsReportedAsTheEnginesText)
{
    DeptRec rec(*dm, "tblNoSuchTable");
    EXPECT_FALSE(rec.Lock("ALICE"));
    expectOnlyMessage("The following error occurred locking the Department record: The data module has no table "
                      "component tblNoSuchTable\r\rThe record was NOT locked.",
                      MsgKind::Warning, 0);
}

// --- Unlock ---

TEST_F(RecordLockTest, UnlockReleasesOnlyThisCopysLock)
{
    std::int64_t mine = addDept("Mine", std::nullopt);
    std::int64_t bobs = addDept("Bobs", std::string("BOB"));
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(mine));
    ASSERT_TRUE(rec.Lock("ALICE"));
    EXPECT_TRUE(rec.Unlock("ALICE"));
    EXPECT_EQ(rec.lockHolder(), "");
    EXPECT_EQ(storedHolder(mine), "");

    ASSERT_TRUE(rec.position(bobs));
    EXPECT_TRUE(rec.Unlock("ALICE"));
    EXPECT_EQ(storedHolder(bobs), "BOB");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(RecordLockTest, EngineErrorWhileUnlockingKeepsTheLockAndTheCursorUsable)
{
    std::int64_t id = addDept("Shipping", std::nullopt);
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    ASSERT_TRUE(rec.Lock("ALICE"));
    PeerProcess peer;
    blockWrites(peer);
    engine::EngineError blocked = blockedWriteError(true);
    EXPECT_FALSE(rec.Unlock("ALICE"));
    expectOnlyMessage("The following error occurred unlocking the Department record: " +
                          std::to_string(blocked.code()) + " - " + blocked.message() +
                          "\r\rThe record was NOT unlocked.",
                      MsgKind::Warning, 0);
    EXPECT_EQ(rec.lockHolder(), "ALICE");
    EXPECT_EQ(dm->tblDepts.state(), engine::TableState::Browse);
    ASSERT_EQ(peer.send("rollback"), "ok");
    EXPECT_TRUE(rec.Unlock("ALICE"));
    EXPECT_EQ(storedHolder(id), "");
}

// --- the save check ---

TEST_F(RecordLockTest, SaveCheckPassesOnlyWhileTheRowIsOurs)
{
    std::int64_t id = addDept("Shipping", std::nullopt);
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    ASSERT_TRUE(rec.Lock("ALICE"));
    EXPECT_TRUE(rec.Save("ALICE"));
    EXPECT_TRUE(messages.shown().empty());

    exec(second(), "update Dept set LockedBy = 'BOB'");
    EXPECT_FALSE(rec.Save("ALICE"));
    expectOnlyMessage("An error occurred saving the Department record.  The record is locked by BOB.\r\r"
                      "Please try your changes again later.",
                      MsgKind::Information, kLockHelpContext);

    messages.clear();
    exec(second(), "update Dept set LockedBy = '*Hourvane7'");
    EXPECT_FALSE(rec.Save("ALICE"));
    EXPECT_EQ(messages.last(), "An error occurred saving the Department record.  The record is locked by another "
                               "user.\r\rPlease try your changes again later.");
}

TEST_F(RecordLockTest, SaveCheckAfterAnotherCopyClearedTheLock)
{
    std::int64_t id = addDept("Shipping", std::nullopt);
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    ASSERT_TRUE(rec.Lock("ALICE"));
    exec(second(), "update Dept set LockedBy = ''");
    const std::string unlocked = "An error occurred saving the Department record.  The record has been unlocked by "
                                 "another user.\r\rPlease select the record again to enter your changes.";
    EXPECT_FALSE(rec.Save("ALICE"));
    expectOnlyMessage(unlocked, MsgKind::Information, kLockHelpContext);

    // A row that another copy deleted has lost its lock just the same.
    messages.clear();
    exec(second(), "update Dept set LockedBy = 'ALICE'");
    ASSERT_TRUE(rec.position(id));
    exec(second(), "delete from Dept");
    EXPECT_FALSE(rec.Save("ALICE"));
    expectOnlyMessage(unlocked, MsgKind::Information, kLockHelpContext);
}

TEST_F(RecordLockTest, SaveCheckThatCannotReadTheRowRefuses)
{
    std::int64_t id = addDept("Shipping", std::nullopt);
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    ASSERT_TRUE(rec.Lock("ALICE"));
    dm->tblDepts.close();
    EXPECT_FALSE(rec.Save("ALICE"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.last(), "The following error occurred saving the Department record: Table dept.DAT has no "
                               "current record\r\rThe record was NOT saved.");
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Warning);
}

// --- Delete ---

TEST_F(RecordLockTest, DeleteChecksTheLockFirst)
{
    std::int64_t free = addDept("Free", std::nullopt);
    std::int64_t bobs = addDept("Bobs", std::string("BOB"));
    std::int64_t fallback = addDept("Fallback", std::string("*Hourvane2"));
    DeptRec rec(*dm);

    ASSERT_TRUE(rec.position(free));
    EXPECT_FALSE(rec.Delete("ALICE"));
    expectOnlyMessage("An error occurred deleting the Department record. The record has been unlocked by another "
                      "user.\r\rPlease select the record again to enter your changes.",
                      MsgKind::Information, kLockHelpContext);

    messages.clear();
    ASSERT_TRUE(rec.position(bobs));
    EXPECT_FALSE(rec.Delete("ALICE"));
    expectOnlyMessage("The record is locked by BOB.\r\rPlease try your delete again later.", MsgKind::Information,
                      kLockHelpContext);

    messages.clear();
    ASSERT_TRUE(rec.position(fallback));
    EXPECT_FALSE(rec.Delete("ALICE"));
    expectOnlyMessage("The record is locked by another user.\r\rPlease try your delete again later.",
                      MsgKind::Information, kLockHelpContext);
    EXPECT_EQ(dm->tblDepts.recordCount(), 3);
}

TEST_F(RecordLockTest, DeleteRemovesTheRowThisCopyHolds)
{
    addDept("Keep", std::nullopt);
    std::int64_t id = addDept("Gone", std::nullopt);
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    ASSERT_TRUE(rec.Lock("ALICE"));
    EXPECT_TRUE(rec.Delete("ALICE"));
    EXPECT_EQ(storedHolder(id), "<no row>");
    EXPECT_EQ(second().tblDepts.recordCount(), 1);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(RecordLockTest, EngineErrorWhileDeletingKeepsTheRow)
{
    std::int64_t id = addDept("Shipping", std::nullopt);
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    ASSERT_TRUE(rec.Lock("ALICE"));
    PeerProcess peer;
    blockWrites(peer);
    engine::EngineError blocked = blockedWriteError(true);
    EXPECT_FALSE(rec.Delete("ALICE"));
    expectOnlyMessage("The following error occurred deleting the Department record: " +
                          std::to_string(blocked.code()) + " - " + blocked.message() +
                          "\r\rThe record has NOT been deleted.",
                      MsgKind::Warning, 0);
    ASSERT_EQ(peer.send("rollback"), "ok");
    EXPECT_EQ(storedHolder(id), "ALICE");
}

// --- Undelete ---

TEST_F(RecordLockTest, UndeleteChangesNothingOnTablesWithoutDeletedBy)
{
    std::int64_t id = addDept("Shipping", std::string("BOB"));
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    EXPECT_TRUE(rec.Undelete("ALICE"));
    EXPECT_EQ(storedHolder(id), "BOB");
    EXPECT_TRUE(messages.shown().empty());
}

// --- an uninitialised record ---

TEST_F(RecordLockTest, RecordWithoutTableNameRefusesEveryOperation)
{
    DeptRec rec(*dm, "");
    const std::string internal = "Internal error.  The DataSet name for this record was not initialized.";
    EXPECT_FALSE(rec.Save("ALICE"));
    EXPECT_FALSE(rec.Delete("ALICE"));
    EXPECT_FALSE(rec.Lock("ALICE"));
    EXPECT_FALSE(rec.Unlock("ALICE"));
    ASSERT_EQ(messages.shown().size(), 4u);
    EXPECT_EQ(messages.shown()[0].text, internal);
    EXPECT_EQ(messages.shown()[1].text, internal);
    EXPECT_EQ(messages.shown()[2].text, internal + " The record has not been locked.");
    EXPECT_EQ(messages.shown()[3].text, internal + " The record has not been unlocked.");
    for (const ShownMessage& m : messages.shown()) {
        EXPECT_EQ(m.kind, MsgKind::Error);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
    }
}

TEST_F(RecordLockTest, NormalCursorIsBackBeforeEveryMessage)
{
    RecordingCursor cursor(messages);
    std::int64_t bobs = addDept("Bobs", std::string("BOB"));
    DeptRec rec(*dm);
    DeptRec unnamed(*dm, "");
    ASSERT_TRUE(rec.position(bobs));
    ShowWaitCursor();
    EXPECT_FALSE(rec.Lock("ALICE"));
    EXPECT_FALSE(cursor.waiting);
    ShowWaitCursor();
    EXPECT_FALSE(rec.Save("ALICE"));
    ShowWaitCursor();
    EXPECT_FALSE(rec.Delete("ALICE"));
    ShowWaitCursor();
    EXPECT_FALSE(unnamed.Unlock("ALICE"));
    EXPECT_FALSE(cursor.waiting);
    ASSERT_EQ(messages.shown().size(), 4u);
    EXPECT_EQ(cursor.restoredAt, (std::vector<std::size_t>{0, 1, 2, 3}));
}

// --- the helpers derived classes use ---

TEST_F(RecordLockTest, HelperTextsForDerivedClasses)
{
    DeptRec rec(*dm);
    EXPECT_EQ(rec.recreateQuestion(),
              "The Department record no longer exists in the database.  Do you want to re-create the record?");
    EXPECT_EQ(TSQLRecClass::displayLockHolder("*Hourvane3"), "another user");
    EXPECT_EQ(TSQLRecClass::displayLockHolder("BOB*"), "BOB*");
    EXPECT_EQ(TSQLRecClass::displayLockHolder(""), "");
    EXPECT_EQ(DeptRec::engineErrorText(engine::EngineError(engine::code::KeyViolation, "Key violation")),
              "9729 - Key violation");
    EXPECT_EQ(DeptRec::engineErrorText(engine::EngineTextError("Field 'X' not found")), "Field 'X' not found");
    EXPECT_EQ(DeptRec::engineErrorText(std::make_exception_ptr(engine::EngineError(8708, "gone"))), "8708 - gone");
}

TEST_F(RecordLockTest, ClearResetsTheFlags)
{
    std::int64_t id = addDept("Shipping", std::string("BOB"));
    DeptRec rec(*dm);
    ASSERT_TRUE(rec.position(id));
    rec.setModified(true);
    EXPECT_FALSE(rec.Lock("ALICE"));
    rec.Clear();
    EXPECT_FALSE(rec.modified());
    EXPECT_FALSE(rec.lockRefused());
    EXPECT_EQ(rec.lockHolder(), "");
}

// --- transactions ---

TEST_F(RecordLockTest, TransactionGuardOwnsOnlyTheTransactionItStarted)
{
    engine::Database& db = dm->HourvaneDB;
    {
        TransactionGuard outer(db);
        EXPECT_TRUE(outer.owned());
        addDept("Outer", std::nullopt);
        {
            TransactionGuard inner(db);
            EXPECT_FALSE(inner.owned());
            addDept("Inner", std::nullopt);
            inner.rollback(); // the caller's to decide
            EXPECT_TRUE(db.inTransaction());
        }
        EXPECT_TRUE(db.inTransaction());
        outer.commit();
        EXPECT_FALSE(db.inTransaction());
    }
    EXPECT_EQ(second().tblDepts.recordCount(), 2);

    {
        TransactionGuard abandoned(db);
        addDept("Abandoned", std::nullopt);
    } // neither committed nor rolled back: undone
    EXPECT_FALSE(db.inTransaction());
    EXPECT_EQ(second().tblDepts.recordCount(), 2);

    {
        TransactionGuard undone(db);
        addDept("Undone", std::nullopt);
        undone.rollback();
        EXPECT_FALSE(db.inTransaction());
        undone.commit(); // nothing left to commit
    }
    EXPECT_EQ(second().tblDepts.recordCount(), 2);
}

// --- two processes at the same moment ---

TEST_F(RecordLockTest, OfTwoProcessesLockingAFreeRowAtOnceExactlyOneWins)
{
    std::int64_t id = addDept("Contested", std::nullopt);
    PeerProcess peer;
    ASSERT_EQ(peer.send("connect " + dataFolder), "ok");
    ASSERT_EQ(peer.send("open dept.dat"), "ok");
    DeptRec rec(*dm);
    int mineWon = 0, peerWon = 0;
    // Each side starts at its own random moment within 3 ms of the agreed
    // one, so that both win rounds and the conditional update is contended.
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> offset(0, 3000);
    for (int round = 0; round < 100; ++round) {
        exec(*dm, "update Dept set LockedBy = null");
        rec.Clear();
        messages.clear();
        ASSERT_TRUE(rec.position(id));
        const auto agreed = std::chrono::system_clock::now() + std::chrono::milliseconds(40);
        const auto mineAt = agreed + std::chrono::microseconds(offset(random));
        const auto peerAt = agreed + std::chrono::microseconds(offset(random));
        const long long peerUs =
            std::chrono::duration_cast<std::chrono::microseconds>(peerAt.time_since_epoch()).count();
        peer.sendNoWait("row-lock dept.dat PEER " + std::to_string(peerUs) + " " + std::to_string(id));
        std::this_thread::sleep_until(mineAt);
        bool mine = rec.Lock("ALICE");
        std::string reply = peer.readLine();
        ASSERT_TRUE(reply == "ok 1" || reply.rfind("ok 0 ", 0) == 0) << reply;
        bool theirs = reply == "ok 1";
        ASSERT_NE(mine, theirs) << "round " << round << ": " << reply;
        if (mine) {
            ++mineWon;
            EXPECT_EQ(reply, "ok 0 ALICE");
            EXPECT_EQ(storedHolder(id), "ALICE");
            EXPECT_TRUE(messages.shown().empty());
        } else {
            ++peerWon;
            EXPECT_EQ(storedHolder(id), "PEER");
            EXPECT_EQ(messages.last(), "The Department record is already locked by PEER.  You may view the "
                                       "information but may not save any changes.\r\rPlease try your update "
                                       "again later.");
        }
    }
    EXPECT_EQ(mineWon + peerWon, 100);
    std::cout << "[ lock race ] this copy won " << mineWon << " rounds, the peer " << peerWon << " (seed " << seed
              << ")" << std::endl;
}

} // namespace hv::test
