#pragma once
// A data folder that other processes (tools/hv_peer) work on while this one
// watches: kill moments spread over one run of an operation, and the checks
// that follow a kill (the program starts on the folder without a message,
// every table file is sound).
#include "engine/Snapshot.h"
#include "tests/support/DataFolderFixture.h"
#include "tests/support/DatabaseFingerprint.h"
#include "tests/support/KillMoments.h"
#include "tests/support/PeerProcess.h"

#include <QElapsedTimer>

#include <filesystem>
#include <memory>

namespace hv::test {

// The identity every killed peer works under, so that the next one takes
// over the locks the last one left.
inline const char* const kPeerIdentity = "KILLER";

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
        std::unique_ptr<PeerProcess> peer = m_peers.next();
        startPeer(*peer, dataFolder);
        peer->sendNoWait(command);
        moments.waitForKill(i);
        peer->kill();
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

    PeerSupply m_peers;

    // The data folder becomes a copy of the template's.
    void copyFolder(const std::string& from)
    {
        std::filesystem::remove_all(dataFolder);
        std::filesystem::copy(from, dataFolder, std::filesystem::copy_options::recursive);
    }
};

} // namespace hv::test
