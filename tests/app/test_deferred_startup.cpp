#include "app/DeferredStartup.h"
#include "platform/SettingsFile.h"
#include "tests/app/AppFixture.h"
#include "tests/support/PeerProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace hv {
namespace {

namespace fs = std::filesystem;

const char* const kMaintenance =
    "A Backup or Restore of the Hourvane database is in progress.  Please try again later.";
const char* const kNoSlot =
    "Hourvane cannot start because 1024 copies of Hourvane are already using this database.  "
    "Please close Hourvane on another computer and try again.";

// Every file below the folders with its size and modification time.
using Snapshot = std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>>;
Snapshot snapshot(const std::vector<fs::path>& folders)
{
    Snapshot files;
    for (const fs::path& folder : folders)
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            if (entry.is_regular_file())
                files[entry.path().string()] = {entry.file_size(), entry.last_write_time()};
    return files;
}

class DeferredStartupTest : public test::AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        start();
    }

    test::PeerProcess& peer()
    {
        auto p = std::make_unique<test::PeerProcess>();
        EXPECT_EQ(p->send("connect " + dataFolder), "ok");
        m_peers.push_back(std::move(p));
        return *m_peers.back();
    }

    StartupOutcome run(const std::string& userName)
    {
        StartupCallbacks callbacks;
        callbacks.showTips = [this](const std::string& file) { tipFiles.push_back(file); };
        callbacks.closeMainWindow = [this] { ++closeRequests; };
        // The cursor is back to normal before any message.
        callbacks.waitCursor = [this](bool on) {
            cursor.push_back((on ? "on/" : "off/") + std::to_string(messages.shown().size()));
        };
        DeferredStartup startup(*dm, state, [userName] { return userName; }, callbacks);
        return startup.run();
    }

    std::vector<std::string> tipFiles;
    int closeRequests = 0;
    std::vector<std::string> cursor;

private:
    std::vector<std::unique_ptr<test::PeerProcess>> m_peers;
};

TEST_F(DeferredStartupTest, TakesTheLowestFreeSlotAndRestoresTheRetrySettings)
{
    dm->HourvaneDB.setLockRetryCount(7);
    dm->HourvaneDB.setLockWaitTime(33);
    test::PeerProcess& other = peer();
    ASSERT_EQ(other.send("sem-lock hvuser.DAT 1"), "ok 1");

    EXPECT_EQ(run("clerk"), StartupOutcome::Started);
    EXPECT_EQ(state.presenceSlot, 2);
    EXPECT_EQ(dm->HourvaneDB.lockRetryCount(), 7);
    EXPECT_EQ(dm->HourvaneDB.lockWaitTime(), 33);
    EXPECT_FALSE(otherCopyCanLock("hvuser.DAT", 2));
    EXPECT_EQ(other.send("sem-lock hvuser.DAT 3"), "ok 1");
    // The maintenance marker was only tried, never kept.
    EXPECT_EQ(other.send("sem-lock reason.DAT 1"), "ok 1");
    EXPECT_EQ(closeRequests, 0);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(cursor, (std::vector<std::string>{"on/0", "off/0"}));
}

TEST_F(DeferredStartupTest, LoginNameIsTheIdentityCutToFifteen)
{
    EXPECT_EQ(run("abcdefghijklmnopqrst"), StartupOutcome::Started);
    EXPECT_EQ(state.lockIdentity, "abcdefghijklmno");
    EXPECT_TRUE(state.started);
    EXPECT_EQ(state.presenceSlot, 1);
}

TEST_F(DeferredStartupTest, WithoutUserNameTheIdentityNamesTheSlot)
{
    test::PeerProcess& one = peer();
    test::PeerProcess& two = peer();
    ASSERT_EQ(one.send("sem-lock hvuser.DAT 1"), "ok 1");
    ASSERT_EQ(two.send("sem-lock hvuser.DAT 2"), "ok 1");

    EXPECT_EQ(run(""), StartupOutcome::Started);
    EXPECT_EQ(state.presenceSlot, 3);
    EXPECT_EQ(state.lockIdentity, "*Hourvane3");
    EXPECT_TRUE(state.started);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(DeferredStartupTest, IdentityFromTheCommandLineIsKept)
{
    state.lockIdentity = "FrontDesk";
    EXPECT_EQ(run("clerk"), StartupOutcome::Started);
    EXPECT_EQ(state.lockIdentity, "FrontDesk");
    EXPECT_TRUE(state.started);
    EXPECT_EQ(state.presenceSlot, 1);
}

TEST_F(DeferredStartupTest, BackupInProgressRefusesWithoutTouchingAnything)
{
    dm->HourvaneDB.setLockRetryCount(4);
    dm->HourvaneDB.setLockWaitTime(25);
    test::PeerProcess& backup = peer();
    ASSERT_EQ(backup.send("open reason.DAT"), "ok");
    ASSERT_EQ(backup.send("sem-lock reason.DAT 1"), "ok 1");
    const Snapshot before = snapshot({program.path(), config.path()});

    EXPECT_EQ(run("clerk"), StartupOutcome::MaintenanceInProgress);

    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, kMaintenance);
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Information);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(messages.shown()[0].helpContext, 0);
    EXPECT_EQ(cursor, (std::vector<std::string>{"on/0", "off/0"}));
    EXPECT_EQ(closeRequests, 1);
    EXPECT_TRUE(tipFiles.empty());
    EXPECT_FALSE(state.started);
    EXPECT_EQ(state.lockIdentity, "");
    EXPECT_EQ(state.presenceSlot, 0);
    EXPECT_EQ(dm->HourvaneDB.lockRetryCount(), 4);
    EXPECT_EQ(dm->HourvaneDB.lockWaitTime(), 25);
    EXPECT_EQ(snapshot({program.path(), config.path()}), before);

    // No slot taken, and the backup's marker is still its own.
    EXPECT_EQ(backup.send("sem-lock hvuser.DAT 1"), "ok 1");
    EXPECT_TRUE(dm->tblReasons.semaphoreHeldElsewhere(1));
}

TEST_F(DeferredStartupTest, AllSlotsHeldRefusesLikeMaintenance)
{
    test::PeerProcess& crowd = peer();
    for (int slot = 1; slot <= kPresenceSlotCount; ++slot)
        ASSERT_EQ(crowd.send("sem-lock hvuser.DAT " + std::to_string(slot)), "ok 1") << slot;
    dm->HourvaneDB.setLockRetryCount(3);

    EXPECT_EQ(run("clerk"), StartupOutcome::NoFreeSlot);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, kNoSlot);
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Information);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(closeRequests, 1);
    EXPECT_TRUE(tipFiles.empty());
    EXPECT_FALSE(state.started);
    EXPECT_EQ(state.lockIdentity, "");
    EXPECT_EQ(state.presenceSlot, 0);
    EXPECT_EQ(dm->HourvaneDB.lockRetryCount(), 3);
}

TEST_F(DeferredStartupTest, TipsShowWhenTheSettingIsMissingOrZero)
{
    EXPECT_EQ(run("clerk"), StartupOutcome::Started);
    EXPECT_EQ(tipFiles, std::vector<std::string>{programFolder + "HOURVANE.TIP"});
}

TEST_F(DeferredStartupTest, TipsShowWhenTheSettingIsZero)
{
    ASSERT_TRUE(SettingsFile("Hourvane3.ini").write("Initialization", "ShowTips", "0"));
    EXPECT_EQ(run("clerk"), StartupOutcome::Started);
    EXPECT_EQ(tipFiles, std::vector<std::string>{programFolder + "HOURVANE.TIP"});
}

TEST_F(DeferredStartupTest, TipsStayHiddenWhenTheSettingIsOne)
{
    ASSERT_TRUE(SettingsFile("Hourvane3.ini").write("Initialization", "ShowTips", "1"));
    EXPECT_EQ(run("clerk"), StartupOutcome::Started);
    EXPECT_TRUE(tipFiles.empty());
    EXPECT_TRUE(state.started);
}

TEST_F(DeferredStartupTest, ShutdownReleasesThePresenceSlot)
{
    ASSERT_EQ(run("clerk"), StartupOutcome::Started);
    ASSERT_EQ(state.presenceSlot, 1);
    EXPECT_FALSE(otherCopyCanLock("hvuser.DAT", 1));

    test::PeerProcess& other = peer();
    ReleasePresenceSlot(*dm, state);
    EXPECT_EQ(state.presenceSlot, 0);
    EXPECT_TRUE(otherCopyCanLock("hvuser.DAT", 1));
    EXPECT_EQ(other.send("sem-lock hvuser.DAT 1"), "ok 1");
    // Releasing twice is harmless and takes nothing from the other copy.
    ReleasePresenceSlot(*dm, state);
    EXPECT_TRUE(dm->tblUsers.semaphoreHeldElsewhere(1));
}

} // namespace
} // namespace hv
