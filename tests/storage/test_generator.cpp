// The synthetic data generator gives the same folder for the same seed.
#include "tests/support/DatabaseFingerprint.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace hv::test {
namespace {

std::string generate(const TempDir& dir, const char* seed)
{
    std::string error;
    EXPECT_TRUE(GenerateData(dir.folder(), 12, 1, seed, &error)) << error;
    return FolderFingerprint(dir.folder());
}

TEST(Generator, SameSeedSameDataOtherSeedOtherData)
{
    TempDir a, b, c;
    std::string first = generate(a, "42");
    EXPECT_NE(first.find("employee.dat=12:"), std::string::npos) << first.substr(0, 200);
    EXPECT_NE(first.find("reason.dat=5:"), std::string::npos);
    EXPECT_EQ(generate(b, "42"), first);
    EXPECT_NE(generate(c, "43"), first);
}

} // namespace
} // namespace hv::test
