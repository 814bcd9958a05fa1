#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "platform/SettingsFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

namespace hv {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void spit(const fs::path& file, const std::string& text)
{
    std::ofstream out(file, std::ios::binary);
    out << text;
}

// Each test gets its own settings folder through HOURVANE_CONFIG_DIR.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const char* old = std::getenv("HOURVANE_CONFIG_DIR"))
            m_saved = old;
        useFolder(m_dir.path());
    }
    void TearDown() override
    {
        if (m_saved)
            setenv("HOURVANE_CONFIG_DIR", m_saved->c_str(), 1);
        else
            unsetenv("HOURVANE_CONFIG_DIR");
    }
    static void useFolder(const fs::path& folder)
    {
        setenv("HOURVANE_CONFIG_DIR", folder.c_str(), 1);
    }
    fs::path iniPath() const { return m_dir / "Hourvane3.ini"; }

    test::TempDir m_dir;

private:
    std::optional<std::string> m_saved;
};

TEST_F(SettingsFileTest, BareNameResolvesIntoTheConfiguredFolder)
{
    EXPECT_EQ(settingsFolder(), m_dir.path().string());
    EXPECT_EQ(SettingsFile("Hourvane3.ini").path(), iniPath().string());
    EXPECT_EQ(SettingsFile("/somewhere/else.ini").path(), "/somewhere/else.ini");
}

TEST_F(SettingsFileTest, MissingFileGivesDefaults)
{
    SettingsFile settings("Hourvane3.ini");
    EXPECT_EQ(settings.read("Initialization", "TimeFormat", "hh:nn A/P"), "hh:nn A/P");
    EXPECT_EQ(settings.read("Initialization", "HourFormat", "***"), "***");
    EXPECT_FALSE(fs::exists(iniPath())); // reading creates nothing
}

TEST_F(SettingsFileTest, WriteThenRead)
{
    SettingsFile settings("Hourvane3.ini");
    ASSERT_TRUE(settings.write("Initialization", "HourFormat", "#0.0"));
    EXPECT_EQ(settings.read("Initialization", "HourFormat", "***"), "#0.0");
    EXPECT_EQ(settings.read("Initialization", "TimeFormat", "***"), "***");
    EXPECT_EQ(settings.read("Hourvane 3", "HourFormat", "***"), "***");
    // Plain section/key/value text.
    const std::string text = slurp(iniPath());
    EXPECT_NE(text.find("[Initialization]"), std::string::npos) << text;
    EXPECT_NE(text.find("HourFormat=#0.0"), std::string::npos) << text;
}

TEST_F(SettingsFileTest, ValuesComeBackVerbatim)
{
    SettingsFile settings("Hourvane3.ini");
    for (const std::string& value : {std::string("a,b,c"), std::string("\"quoted\""),
                                    std::string("x;y"), std::string("a=b"),
                                    std::string("C:\\Hourvane\\Data\\"),
                                    std::string("'single'"), std::string("hh:nn A/P"),
                                    std::string("Ünïcode")}) {
        ASSERT_TRUE(settings.write("Initialization", "Value", value));
        EXPECT_EQ(settings.read("Initialization", "Value", "***"), value);
    }
    ASSERT_TRUE(settings.write("Initialization", "Empty", ""));
    EXPECT_EQ(settings.read("Initialization", "Empty", "***"), "");
}

TEST_F(SettingsFileTest, LaterWritesReplaceAndKeepEverythingElse)
{
    SettingsFile settings("Hourvane3.ini");
    ASSERT_TRUE(settings.write("Initialization", "AMKey", "65"));
    ASSERT_TRUE(settings.write("Initialization", "PMKey", "80"));
    ASSERT_TRUE(settings.write("Hourvane 3", "Column0", "120"));
    ASSERT_TRUE(settings.write("Initialization", "AMKey", "0"));
    EXPECT_EQ(settings.read("Initialization", "AMKey", "***"), "0");
    EXPECT_EQ(settings.read("Initialization", "PMKey", "***"), "80");
    EXPECT_EQ(settings.read("Hourvane 3", "Column0", "***"), "120");
}

TEST_F(SettingsFileTest, NamesMatchWithoutRegardToCase)
{
    SettingsFile settings("Hourvane3.ini");
    ASSERT_TRUE(settings.write("Initialization", "HourvaneDataDir", "/data"));
    EXPECT_EQ(settings.read("INITIALIZATION", "hourvanedatadir", "***"), "/data");
    ASSERT_TRUE(settings.write("initialization", "HOURVANEDATADIR", "/other"));
    EXPECT_EQ(settings.read("Initialization", "HourvaneDataDir", "***"), "/other");
}

TEST_F(SettingsFileTest, EveryReadSeesTheFileAsItIsNow)
{
    SettingsFile reader("Hourvane3.ini");
    SettingsFile writer("Hourvane3.ini");
    EXPECT_EQ(reader.read("Initialization", "NextTip", "***"), "***");
    ASSERT_TRUE(writer.write("Initialization", "NextTip", "3"));
    EXPECT_EQ(reader.read("Initialization", "NextTip", "***"), "3");
    // Changed by someone else behind our back.
    spit(iniPath(), "[Initialization]\r\nNextTip=4\r\n");
    EXPECT_EQ(reader.read("Initialization", "NextTip", "***"), "4");
    fs::remove(iniPath());
    EXPECT_EQ(reader.read("Initialization", "NextTip", "***"), "***");
}

TEST_F(SettingsFileTest, ReadsFilesWrittenByOtherPrograms)
{
    spit(iniPath(), "; comment\r\n[Initialization]\r\nTimeFormat = hh:nn\r\n"
                    "ShowTips=1\r\n\r\n[Hourvane 3]\r\nhdrWeek0=85\r\n");
    SettingsFile settings("Hourvane3.ini");
    EXPECT_EQ(settings.read("Initialization", "TimeFormat", "***"), "hh:nn");
    EXPECT_EQ(settings.read("Initialization", "ShowTips", "***"), "1");
    EXPECT_EQ(settings.read("Hourvane 3", "hdrWeek0", "***"), "85");
    // A write keeps what was there.
    ASSERT_TRUE(settings.write("Initialization", "ShowTips", "0"));
    EXPECT_EQ(settings.read("Initialization", "TimeFormat", "***"), "hh:nn");
    EXPECT_EQ(settings.read("Hourvane 3", "hdrWeek0", "***"), "85");
}

TEST_F(SettingsFileTest, CreatesTheFolderWhenWriting)
{
    const fs::path nested = m_dir / "a" / "b";
    useFolder(nested);
    SettingsFile settings("Hourvane3.ini");
    EXPECT_EQ(settings.path(), (nested / "Hourvane3.ini").string());
    ASSERT_TRUE(settings.write("Initialization", "Printer", "1"));
    EXPECT_TRUE(fs::is_regular_file(nested / "Hourvane3.ini"));
    EXPECT_EQ(settings.read("Initialization", "Printer", "***"), "1");
}

TEST_F(SettingsFileTest, WritesLeaveNoTemporaryFilesBehind)
{
    SettingsFile settings("Hourvane3.ini");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(settings.write("Initialization", "NextTip", std::to_string(i)));
    int files = 0;
    for (const auto& entry : fs::directory_iterator(m_dir.path())) {
        EXPECT_EQ(entry.path().filename(), "Hourvane3.ini");
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(SettingsFileTest, UnreadableFileReadsAsMissingAndIsNotReplaced)
{
    // A folder where the file should be cannot be read, even by root.
    fs::create_directory(iniPath());
    SettingsFile settings("Hourvane3.ini");
    EXPECT_EQ(settings.read("Initialization", "HourFormat", "#0.00"), "#0.00");
    EXPECT_FALSE(settings.write("Initialization", "HourFormat", "#0.0"));
    EXPECT_TRUE(fs::is_directory(iniPath()));
    EXPECT_EQ(settings.read("Initialization", "HourFormat", "#0.00"), "#0.00");
}

TEST_F(SettingsFileTest, UnwritableFolderDropsTheWrite)
{
    // A plain file stands where the settings folder would have to be made.
    spit(m_dir / "blocker", "x");
    useFolder(m_dir / "blocker" / "config");
    SettingsFile settings("Hourvane3.ini");
    EXPECT_FALSE(settings.write("Initialization", "LastBackup", "/tmp/backup.zip"));
    EXPECT_EQ(settings.read("Initialization", "LastBackup", ""), "");
}

// A full disk: the write fails as the file is completed, and the settings
// file it would have replaced stays whole.
TEST_F(SettingsFileTest, AFullDiskKeepsTheSettingsFileWhole)
{
    SettingsFile settings("Hourvane3.ini");
    ASSERT_TRUE(settings.write("Initialization", "ExportPath", "/before"));
    const std::string before = slurp(iniPath());
    {
        test::FileSizeLimit full(before.size() + 64);
        EXPECT_FALSE(settings.write("Initialization", "ImportPath", std::string(300, 'x')));
    }
    EXPECT_EQ(slurp(iniPath()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.path()), fs::directory_iterator()), 1);
}

TEST_F(SettingsFileTest, ValueWithALineBreakIsRefused)
{
    SettingsFile settings("Hourvane3.ini");
    ASSERT_TRUE(settings.write("Initialization", "ExportPath", "/before"));
    EXPECT_FALSE(settings.write("Initialization", "ExportPath", "/a\nInjected=1"));
    EXPECT_FALSE(settings.write("Initialization", "ExportPath", "/a\rb"));
    EXPECT_EQ(settings.read("Initialization", "ExportPath", "***"), "/before");
    EXPECT_EQ(settings.read("Initialization", "Injected", "***"), "***");
}

TEST_F(SettingsFileTest, EmptyVariableFallsBackToTheApplicationFolder)
{
    setenv("HOURVANE_CONFIG_DIR", "", 1);
    EXPECT_NE(settingsFolder(), "");
    EXPECT_NE(settingsFolder(), m_dir.path().string());
}

} // namespace
} // namespace hv
