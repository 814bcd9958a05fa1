// What two processes on one data folder see of each other.
#include "EngineFixture.h"
#include "tests/support/PeerProcess.h"

#include <chrono>
#include <random>
#include <thread>

namespace hv::test {

class TwoProcessTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        ASSERT_EQ(peer.send("connect " + dir.path().string()), "ok");
    }
    PeerProcess peer;
};

TEST_F(TwoProcessTest, SemaphoreHeldByOneIsRefusedToTheOtherUntilReleasedOrDead)
{
    db.setLockRetryCount(0);
    db.setLockWaitTime(0);
    auto mine = open("dept.dat");
    ASSERT_EQ(peer.send("open dept.dat"), "ok");
    ASSERT_EQ(peer.send("sem-lock dept.dat 1"), "ok 1");
    EXPECT_FALSE(mine->lockSemaphore(1));
    EXPECT_TRUE(mine->semaphoreHeldElsewhere(1));
    EXPECT_TRUE(mine->lockSemaphore(2));
    EXPECT_EQ(peer.send("sem-lock dept.dat 2"), "ok 0");
    ASSERT_EQ(peer.send("sem-unlock dept.dat 1"), "ok");
    EXPECT_TRUE(mine->lockSemaphore(1));
    mine->unlockSemaphore(1);

    // Counted over a range: the peer's 3, 4 and 1024, not this copy's own 2.
    ASSERT_EQ(peer.send("sem-lock dept.dat 3"), "ok 1");
    ASSERT_EQ(peer.send("sem-lock dept.dat 4"), "ok 1");
    ASSERT_EQ(peer.send("sem-lock dept.dat 1024"), "ok 1");
    EXPECT_EQ(mine->semaphoresHeldElsewhere(1, 1024), 3);
    EXPECT_EQ(mine->semaphoresHeldElsewhere(4, 1023), 1);
    peer.kill(); // a copy that dies leaves nothing behind
    EXPECT_EQ(mine->semaphoresHeldElsewhere(1, 1024), 0);
    EXPECT_TRUE(mine->lockSemaphore(3));
}

TEST_F(TwoProcessTest, ExclusiveOpenFailsWhileTheOtherHasTheTableOpen)
{
    db.setLockRetryCount(0);
    ASSERT_EQ(peer.send("open workday.dat shared"), "ok");
    Table t(db, "t");
    t.setTableName("workday.dat");
    try {
        t.open(OpenMode::Exclusive);
        FAIL() << "exclusive open succeeded";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), code::TableInUse);
    }
    t.open(OpenMode::Shared);
    EXPECT_EQ(peer.send("open timeoff.dat exclusive"), "ok");
    Table off(db, "off");
    off.setTableName("timeoff.dat");
    EXPECT_THROW(off.open(), EngineError);
    ASSERT_EQ(peer.send("close workday.dat"), "ok");
    t.changeMode(OpenMode::Exclusive);
    EXPECT_EQ(peer.send("open workday.dat").substr(0, 9), "err 10243");
}

TEST_F(TwoProcessTest, TransactionIsInvisibleToTheOtherUntilItCommits)
{
    auto w = open("workday.dat");
    ASSERT_EQ(peer.send("open workday.dat"), "ok");
    ASSERT_EQ(peer.send("begin"), "ok");
    ASSERT_EQ(peer.send("append workday.dat EmpID=1 WeekDate=2023-03-01 SequenceNum=0"), "ok");
    ASSERT_EQ(peer.send("count workday.dat"), "ok 1");
    EXPECT_EQ(w->recordCount(), 0);
    ASSERT_EQ(peer.send("commit"), "ok");
    EXPECT_EQ(w->recordCount(), 1);

    ASSERT_EQ(peer.send("begin"), "ok");
    ASSERT_EQ(peer.send("append workday.dat EmpID=2 WeekDate=2023-03-01 SequenceNum=0"), "ok");
    ASSERT_EQ(peer.send("rollback"), "ok");
    EXPECT_EQ(w->recordCount(), 1);
}

// A writer killed at any moment leaves each transaction whole or absent, and
// every file intact.
TEST_F(TwoProcessTest, TransactionsSurviveSigkillAllOrNothing)
{
    std::mt19937 rng(20261209);
    std::uniform_int_distribution<int> delay(0, 40);
    peer.kill();
    db.disconnect();
    std::int64_t rows = 0;
    for (int round = 0; round < 200; ++round) {
        {
            PeerProcess writer;
            ASSERT_EQ(writer.send("connect " + dir.path().string()), "ok");
            ASSERT_EQ(writer.send("open workday.dat"), "ok");
            ASSERT_EQ(writer.send("open timeoff.dat"), "ok");
            writer.sendNoWait("atomic-loop workday.dat timeoff.dat " + std::to_string(round * 1000000 + 1));
            ASSERT_EQ(writer.readLine(), "ok looping");
            std::this_thread::sleep_for(std::chrono::milliseconds(delay(rng)));
            writer.kill();
        }
        Database check;
        check.setDirectory(dir.folder());
        check.connect();
        Table w(check, "w"), t(check, "t");
        w.setTableName("workday.dat");
        t.setTableName("timeoff.dat");
        w.open();
        t.open();
        Query q(check);
        q.addSql("select count(*) as N from workday w join timeoff t on t.EmpID = w.EmpID and "
                 "t.ReasonID = w.SequenceNum");
        q.open();
        std::int64_t matched = q.fieldByName("N").asInteger();
        q.close();
        ASSERT_EQ(w.recordCount(), t.recordCount()) << "round " << round;
        ASSERT_EQ(matched, w.recordCount()) << "round " << round;
        rows = w.recordCount();
        for (const char* schema : {"main", "timeoff"}) {
            Query ic(check);
            ic.addSql(std::string("PRAGMA \"") + schema + "\".integrity_check");
            ic.open();
            ASSERT_EQ(ic.field(0).asString(), "ok") << schema << " round " << round;
        }
    }
    EXPECT_GE(rows, 200); // every round committed at least once before its kill
}

} // namespace hv::test
