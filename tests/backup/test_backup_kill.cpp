// A backup or restore killed at any moment: after the next start the database
// is the old one or the new one, never a mix, every table file is sound, the
// archive's name holds the old or the whole new archive, and the maintenance
// marker is free. The kill moments are spread over one run's length.
#include "tests/backup/BackupFixture.h"
#include "tests/support/KillMoments.h"
#include "tests/support/PeerProcess.h"

#include <QElapsedTimer>

#include <memory>
#include <sys/stat.h>

namespace hv::test {
namespace {

namespace fs = std::filesystem;

// Each kill test stays within the 20 seconds a test may take.
constexpr int kBackupKills = 100;
constexpr int kRestoreKills = 100;

// The archive file itself: a rename over it gives another file.
std::pair<ino_t, long long> identity(const std::string& path)
{
    struct stat st {};
    ::stat(path.c_str(), &st);
    return {st.st_ino, static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

qint64 timedRun(const std::string& folder, const std::string& command, std::string& reply)
{
    PeerProcess peer;
    EXPECT_EQ(peer.send("start " + folder), "ok");
    QElapsedTimer timer;
    timer.start();
    reply = peer.send(command, 120000);
    return timer.elapsed();
}

// Kills a peer at the moment, once it has started its data module. The next
// round's peer process starts while this round is checked.
class Killer {
public:
    void killDuring(const std::string& folder, const std::string& command, KillMoments& moments, int i)
    {
        std::unique_ptr<PeerProcess> peer = m_peers.next();
        ASSERT_EQ(peer->send("start " + folder), "ok");
        peer->sendNoWait(command);
        moments.waitForKill(i);
        peer->kill();
    }

private:
    PeerSupply m_peers;
};

TEST_F(BackupTest, AKilledRestoreLeavesTheOldOrTheNewDatabase)
{
    const std::string zipA = archive("a.zip");
    ASSERT_EQ(backup(zipA), BackupOutcome::Done) << messages.last();
    const std::string printA = fingerprint();
    execBlank(*dm, "delete from WorkDay where EmpID <= 6");
    execBlank(*dm, "update Employee set LastName = 'B'");
    execBlank(*dm, "insert or replace into employee_blb.Memo (RowRef, Comments) values (2, 'memo B')");
    execBlank(*dm, "delete from Wage");
    const std::string zipB = archive("b.zip");
    ASSERT_EQ(backup(zipB), BackupOutcome::Done) << messages.last();
    const std::string printB = fingerprint();
    ASSERT_NE(printA, printB);
    dm.reset();

    std::string reply;
    KillMoments moments(timedRun(dataFolder, "restore " + zipA, reply), kRestoreKills);
    ASSERT_EQ(reply, "ok done " + std::string(kRestored));
    std::string current = printA;
    int old = 0, fresh = 0, finished = 0;
    Killer killer;
    for (int i = 0; i < kRestoreKills; ++i) {
        SCOPED_TRACE("kill " + std::to_string(i));
        const bool toB = current == printA;
        killer.killDuring(dataFolder, "restore " + (toB ? zipB : zipA), moments, i);
        finished += fs::exists(dataFolder + kRestoreMarkerFile) ? 1 : 0;
        messages.clear();
        start();
        ASSERT_FALSE(dm->terminateRequested()) << messages.last();
        EXPECT_TRUE(messages.shown().empty()) << messages.last();
        const std::string now = fingerprint();
        if (now == current) {
            ++old;
        } else {
            ASSERT_EQ(now, toB ? printB : printA) << "a database of two halves";
            ++fresh;
            current = now;
        }
        EXPECT_FALSE(RestoreLeftovers(dataFolder));
        dm.reset();
        expectSoundFiles();
        EXPECT_TRUE(markerFree(dataFolder));
    }
    std::printf("restores killed: %d left the old database, %d the new one (%d finished by the start)\n", old, fresh,
                finished);
    EXPECT_GT(old, 0);
    EXPECT_GT(fresh, 0);
}

TEST_F(BackupTest, AKilledBackupLeavesTheOldOrTheWholeNewArchive)
{
    const std::string zip = archive("kill.zip");
    ASSERT_EQ(backup(zip), BackupOutcome::Done) << messages.last();
    const std::string print = fingerprint();
    const auto names = tableFileNames();
    dm.reset();

    std::string reply;
    KillMoments moments(timedRun(dataFolder, "backup " + zip, reply), kBackupKills);
    ASSERT_EQ(reply, "ok done " + std::string(kBackedUp));
    auto current = identity(zip);
    int old = 0, fresh = 0;
    Killer killer;
    for (int i = 0; i < kBackupKills; ++i) {
        SCOPED_TRACE("kill " + std::to_string(i));
        killer.killDuring(dataFolder, "backup " + zip, moments, i);
        ZipTestResult tested;
        ZipError error;
        ASSERT_TRUE(ZipArchive::test(zip, tested, nullptr, error)) << error.text;
        EXPECT_EQ(tested.entries, int(names.size()));
        EXPECT_EQ(tested.good.size(), names.size());
        const auto now = identity(zip);
        now == current ? ++old : ++fresh;
        current = now;
        EXPECT_TRUE(markerFree(dataFolder));
        start();
        EXPECT_EQ(fingerprint(), print);
        dm.reset();
        expectSoundFiles();
    }
    std::printf("backups killed: %d left the old archive, %d the new one\n", old, fresh);
    EXPECT_GT(old, 0);
    EXPECT_GT(fresh, 0);

    // The next backup to the name clears what the killed ones left.
    start();
    ASSERT_EQ(backup(zip), BackupOutcome::Done) << messages.last();
    for (const auto& e : fs::directory_iterator(archives.path()))
        EXPECT_EQ(e.path().extension(), ".zip") << e.path();
    EXPECT_FALSE(fs::exists(dataFolder + kBackupStagingFolder));
}

} // namespace
} // namespace hv::test
