#pragma once
// Kill tests: moments spread over one run of an operation, and folders kept
// in memory.
#include "tests/support/PeerProcess.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <thread>

namespace hv::test {

// Temporary folders go to memory where there is a memory file system: a
// killed process leaves the same files on any file system (the kernel keeps
// what it wrote), and without the disk's flushes a kill round costs a tenth.
// A TMPDIR of the caller's own stays. Include this header in the kill tests'
// executable only: its folders are then all in memory.
inline const bool kFoldersInMemory = [] {
    if (std::filesystem::is_directory("/dev/shm") && ::access("/dev/shm", W_OK) == 0)
        ::setenv("TMPDIR", "/dev/shm", 0);
    return true;
}();

// Kill i of n falls at a random point of the i-th of n equal slices of a span
// a quarter longer than one run: early, middle and late kills (and some after
// the end) all happen.
class KillMoments {
public:
    KillMoments(long long runMs, int kills) : m_spanMs(double(runMs) * 1.25), m_kills(kills)
    {
        const unsigned seed = std::random_device{}();
        m_random.seed(seed);
        std::printf("kill moments seed %u, one run %lld ms\n", seed, runMs);
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

// Peer processes for the rounds of a kill test: each is started while the
// round before it is checked, so that no round waits for a process to load.
class PeerSupply {
public:
    std::unique_ptr<PeerProcess> next()
    {
        std::unique_ptr<PeerProcess> peer = std::move(m_spare);
        if (!peer)
            peer = std::make_unique<PeerProcess>();
        m_spare = std::make_unique<PeerProcess>();
        return peer;
    }

private:
    std::unique_ptr<PeerProcess> m_spare;
};

} // namespace hv::test
