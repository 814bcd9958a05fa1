#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace hv {
namespace {

TEST(CommandLine, NoArgumentIsNormalModeWithoutIdentity)
{
    const CommandLine line = ParseCommandLine({});
    EXPECT_FALSE(line.migrationMode);
    EXPECT_EQ(line.lockIdentity, "");
}

TEST(CommandLine, ConvertOnlyInAnyLetterCaseSelectsMigration)
{
    for (const char* word : {"CONVERTONLY", "convertonly", "ConvertOnly"}) {
        const CommandLine line = ParseCommandLine({word});
        EXPECT_TRUE(line.migrationMode) << word;
        EXPECT_EQ(line.lockIdentity, "") << word;
    }
}

TEST(CommandLine, OtherTextIsTheLockIdentity)
{
    const CommandLine line = ParseCommandLine({"FrontDesk"});
    EXPECT_FALSE(line.migrationMode);
    EXPECT_EQ(line.lockIdentity, "FrontDesk");
    // Only a word equal to CONVERTONLY selects the migration.
    EXPECT_FALSE(ParseCommandLine({"CONVERTONLY2"}).migrationMode);
    EXPECT_EQ(ParseCommandLine({"CONVERTONLY2"}).lockIdentity, "CONVERTONLY2");
}

TEST(CommandLine, IdentityIsCutToFifteenCharacters)
{
    EXPECT_EQ(ParseCommandLine({"ABCDEFGHIJKLMNOPQRST"}).lockIdentity, "ABCDEFGHIJKLMNO");
    // Characters, not bytes: no character is split.
    EXPECT_EQ(ParseCommandLine({"\xC3\xA4\xC3\xB6\xC3\xBC" "ABCDEFGHIJKLMNOP"}).lockIdentity,
              "\xC3\xA4\xC3\xB6\xC3\xBC" "ABCDEFGHIJKL");
}

TEST(CommandLine, OnlyTheFirstArgumentCounts)
{
    const CommandLine line = ParseCommandLine({"Clerk", "CONVERTONLY"});
    EXPECT_FALSE(line.migrationMode);
    EXPECT_EQ(line.lockIdentity, "Clerk");
}

TEST(CommandLine, EmptyFirstArgumentCountsAsNone)
{
    const CommandLine line = ParseCommandLine({"", "Clerk"});
    EXPECT_FALSE(line.migrationMode);
    EXPECT_EQ(line.lockIdentity, "");
}

TEST(CommandLine, ApplyingSetsTheProcessState)
{
    AppState state;
    ApplyCommandLine(ParseCommandLine({"convertonly"}), state);
    EXPECT_TRUE(state.migrationMode);
    EXPECT_EQ(state.lockIdentity, "");

    AppState other;
    ApplyCommandLine(ParseCommandLine({"ABCDEFGHIJKLMNOPQRST"}), other);
    EXPECT_FALSE(other.migrationMode);
    EXPECT_EQ(other.lockIdentity, "ABCDEFGHIJKLMNO");
}

} // namespace
} // namespace hv
