// Every input the fuzzers were seeded with or once failed on, replayed
// through the same reader entries, so that a fixed fault stays fixed in the
// ordinary build.
#include "tests/fuzz/FuzzTargets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace hv::test {
namespace {

namespace fs = std::filesystem;

int replay(const std::string& target, int (*entry)(const std::uint8_t*, std::size_t))
{
    int replayed = 0;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path folder = fs::path(HV_FUZZ_DIR) / kind / target;
        if (!fs::is_directory(folder))
            continue;
        for (const auto& file : fs::directory_iterator(folder)) {
            std::ifstream in(file.path(), std::ios::binary);
            const std::string bytes(std::istreambuf_iterator<char>(in), {});
            SCOPED_TRACE(file.path().string());
            EXPECT_EQ(entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), 0);
            ++replayed;
        }
    }
    return replayed;
}

TEST(FuzzRegressionTest, EveryKeptInputReadsWithoutBreakingAPromise)
{
    EXPECT_GT(replay("delimited", &fuzz::delimited), 0);
    EXPECT_GT(replay("dbf", &fuzz::dbf), 0);
    EXPECT_GT(replay("tid", &fuzz::tid), 0);
    EXPECT_GT(replay("pagefile", &fuzz::pagefile), 0);
    EXPECT_GT(replay("settings", &fuzz::settings), 0);
    EXPECT_GT(replay("archive", &fuzz::archive), 0);
    EXPECT_GT(replay("extract", &fuzz::extract), 0);
    EXPECT_GT(replay("oldsettings", &fuzz::oldsettings), 0);
}

} // namespace
} // namespace hv::test
