#include "app/CommandLine.h"
#include "app/DeferredStartup.h"
#include "app/SingleInstance.h"
#include "tests/app/AppFixture.h"
#include "tests/support/PeerProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLocalSocket>

#include <atomic>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace hv {
namespace {

// Never the name a real copy of the program uses.
std::string uniqueServerName()
{
    static std::atomic<int> counter {0};
    return "Hourvane 3 test " + std::to_string(::getpid()) + "-" + std::to_string(++counter);
}

TEST(SingleInstance, ServerNameIsTheProductAndTheUser)
{
    EXPECT_EQ(InstanceServerName("alice"), "Hourvane 3 alice");
    // A separator would turn the name into a path.
    EXPECT_EQ(InstanceServerName("corp\\bob/x"), "Hourvane 3 corp_bob_x");
}

TEST(SingleInstance, SecondCopyWakesTheFirst)
{
    const std::string name = uniqueServerName();
    SingleInstance first(name);
    int wakes = 0;
    first.setWakeHandler([&] { ++wakes; });
    ASSERT_TRUE(first.claim());
    EXPECT_TRUE(first.listening());

    SingleInstance second(name);
    second.setWakeHandler([] { FAIL() << "the second copy is never woken"; });
    EXPECT_FALSE(second.claim());
    EXPECT_FALSE(second.listening());

    EXPECT_TRUE(test::processEventsUntil([&] { return wakes == 1; }));

    // Every later copy wakes it again.
    SingleInstance third(name);
    EXPECT_FALSE(third.claim());
    EXPECT_TRUE(test::processEventsUntil([&] { return wakes == 2; }));
}

TEST(SingleInstance, OtherTextOnTheConnectionWakesNothing)
{
    const std::string name = uniqueServerName();
    SingleInstance first(name);
    std::vector<std::string> events;
    first.setWakeHandler([&] { events.push_back("wake"); });
    ASSERT_TRUE(first.claim());

    QLocalSocket stranger;
    stranger.connectToServer(QString::fromStdString(name));
    ASSERT_TRUE(stranger.waitForConnected(5000));
    stranger.write("hello\nHourvane 3x\n");
    stranger.waitForBytesWritten(5000);
    stranger.disconnectFromServer();

    SingleInstance second(name);
    EXPECT_FALSE(second.claim());
    ASSERT_TRUE(test::processEventsUntil([&] { return !events.empty(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(events, std::vector<std::string>{"wake"});
}

TEST(SingleInstance, NameLeftByACrashedCopyIsTakenOver)
{
    const std::string name = uniqueServerName();
    // What a copy that died leaves behind: a socket file nobody listens on.
    const std::string path = QDir::temp().filePath(QString::fromStdString(name)).toStdString();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof(address.sun_path));
    std::copy(path.begin(), path.end(), address.sun_path);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(QString::fromStdString(path)));

    SingleInstance restarted(name);
    int wakes = 0;
    restarted.setWakeHandler([&] { ++wakes; });
    EXPECT_TRUE(restarted.claim());
    EXPECT_TRUE(restarted.listening());

    SingleInstance second(name);
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(test::processEventsUntil([&] { return wakes == 1; }));
}

TEST(SingleInstance, NameIsFreeAgainWhenTheFirstCopyEnds)
{
    const std::string name = uniqueServerName();
    {
        SingleInstance first(name);
        ASSERT_TRUE(first.claim());
    }
    SingleInstance next(name);
    EXPECT_TRUE(next.claim());
    EXPECT_TRUE(next.listening());
}

class ProcessStart : public test::AppTest {};

TEST_F(ProcessStart, FirstCopyAppliesTheCommandLine)
{
    SingleInstance instance(uniqueServerName());
    EXPECT_EQ(BeginProcess({"convertonly"}, instance, state), StartMode::Migration);
    EXPECT_TRUE(state.migrationMode);

    SingleInstance other(uniqueServerName());
    AppState otherState;
    EXPECT_EQ(BeginProcess({"ABCDEFGHIJKLMNOPQRST"}, other, otherState), StartMode::Normal);
    EXPECT_EQ(otherState.lockIdentity, "ABCDEFGHIJKLMNO");
}

TEST_F(ProcessStart, SecondCopyWakesTheFirstAndLeavesNoTrace)
{
    const std::string name = uniqueServerName();
    SingleInstance first(name);
    int wakes = 0;
    first.setWakeHandler([&] { ++wakes; });
    ASSERT_EQ(BeginProcess({}, first, state), StartMode::Normal);
    THourvaneDataMod& data = start();
    DeferredStartup startup(data, state, [] { return std::string("clerk"); }, {});
    ASSERT_EQ(startup.run(), StartupOutcome::Started);
    ASSERT_EQ(state.presenceSlot, 1);

    SingleInstance second(name);
    AppState secondState;
    EXPECT_EQ(BeginProcess({"SecondCopy"}, second, secondState), StartMode::WokeOtherCopy);
    EXPECT_TRUE(test::processEventsUntil([&] { return wakes == 1; }));
    // The command line of the copy that ended changed nothing.
    EXPECT_EQ(secondState.lockIdentity, "");
    EXPECT_EQ(secondState.presenceSlot, 0);
    EXPECT_FALSE(secondState.started);

    // Slot 2 is the next free one: the second copy took none.
    test::PeerProcess peer;
    ASSERT_EQ(peer.send("connect " + dataFolder), "ok");
    EXPECT_FALSE(otherCopyCanLock("hvuser.DAT", 1));
    EXPECT_EQ(peer.send("sem-lock hvuser.DAT 2"), "ok 1");
    EXPECT_TRUE(messages.shown().empty());
}

} // namespace
} // namespace hv
