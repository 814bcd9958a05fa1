#pragma once
// A data folder that other processes (tools/hv_peer) work on while this one
// watches: kill moments spread over one run of an operation, and the checks
// that follow a kill (the program starts on the folder without a message,
// every table file is sound).
#include "engine/Snapshot.h"
#include "tests/support/DataFolderFixture.h"
#include "tests/support/DatabaseFingerprint.h"
#include "tests/support/PeerProcess.h"

#include <QElapsedTimer>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <thread>

namespace hv::test {

// The folders live in memory where there is a memory file system: a killed
// process leaves the same files on any file system (the kernel keeps what it
// wrote), and without the disk's flushes a kill round costs a tenth. A TMPDIR
// of the caller's own stays.
inline const bool kFoldersInMemory = [] {
    if (std::filesystem::is_directory("/dev/shm") && ::access("/dev/shm", W_OK) == 0)
        ::setenv("TMPDIR", "/dev/shm", 0);
    return true;
}();

// The identity every killed peer works under, so that the next one takes
// over the locks the last one left.
inline const char* const kPeerIdentity = "KILLER";

// Kill i of n falls at a random point of the i-th of n equal slices of a span
// a quarter longer than one run: early, middle and late kills (and some after
// the end) all happen.
class KillMoments {
public:
    KillMoments(qint64 runMs, int kills) : m_spanMs(double(runMs) * 1.25), m_kills(kills)
    {
        const unsigned seed = std::random_device{}();
        m_random.seed(seed);
        std::printf("kill moments seed %u, one run %lld ms\n", seed, static_cast<long long>(runMs));
    }
    void waitForKill(int i)
    {
        std::uniform_real_distribution<double> within(0.0, 1.0);
        const double ms = (i + within(m_random)) * m_spanMs / m_kills;
        std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long long>(ms * 1000)));
    }

private:
    double m_spanMs;
    int m_kills;
    std::mt19937 m_random;
};

class ReliabilityTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        resetAppState();
        appState().lockIdentity = "ALICE";
        start();
        ASSERT_FALSE(dm->terminateRequested()) << messages.last();
    }
    void TearDown() override
    {
        StorageTest::TearDown();
        resetAppState();
    }

    // A peer with a started data module acting as kPeerIdentity.
    static void startPeer(PeerProcess& peer, const std::string& folder)
    {
        ASSERT_EQ(peer.send("start " + folder), "ok");
        ASSERT_EQ(peer.send(std::string("as ") + kPeerIdentity), "ok");
    }

    // Runs the command on a fresh peer and times it.
    qint64 timedRun(const std::string& command, std::string& reply)
    {
        PeerProcess peer;
        startPeer(peer, dataFolder);
        QElapsedTimer timer;
        timer.start();
        reply = peer.send(command, 120000);
        return timer.elapsed();
    }

    void killDuring(const std::string& command, KillMoments& moments, int i)
    {
        std::unique_ptr<PeerProcess> peer = nextPeer();
        startPeer(*peer, dataFolder);
        peer->sendNoWait(command);
        moments.waitForKill(i);
        peer->kill();
    }

    // A peer process started while the last kill is checked, so that the
    // next round does not wait for it to load.
    std::unique_ptr<PeerProcess> nextPeer()
    {
        std::unique_ptr<PeerProcess> peer = std::move(m_spare);
        if (!peer)
            peer = std::make_unique<PeerProcess>();
        m_spare = std::make_unique<PeerProcess>();
        return peer;
    }

    // The program starts on the folder as it is now, silently.
    void startQuietly()
    {
        messages.clear();
        start();
        ASSERT_FALSE(dm->terminateRequested()) << messages.last();
        ASSERT_TRUE(messages.shown().empty()) << messages.last();
    }

    std::string fingerprint() { return DatabaseFingerprint(dm->HourvaneDB); }

    // Every table and blob file passes SQLite's integrity check; with no
    // connection of this process open on the folder.
    void expectSoundFiles()
    {
        for (const auto& e : std::filesystem::directory_iterator(dataFolder)) {
            std::string ext = e.path().extension().string();
            for (char& c : ext)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            if (ext == ".dat" || ext == ".blb") {
                EXPECT_EQ(engine::checkDatabaseFile(e.path().string()), "") << e.path();
            }
        }
    }

    std::unique_ptr<PeerProcess> m_spare;

    // The data folder becomes a copy of the template's.
    void copyFolder(const std::string& from)
    {
        std::filesystem::remove_all(dataFolder);
        std::filesystem::copy(from, dataFolder, std::filesystem::copy_options::recursive);
    }
};

} // namespace hv::test
