// A week save on a full disk (no file may grow: writes fail with EFBIG as
// they do when the disk is full) tells the user, reports failure and leaves
// the week as it was stored before; an export leaves the file it would have
// replaced. The backup's case is in the backup tests.
#include "platform/DateUtil.h"
#include "tests/reliability/ReliabilityFixture.h"

#include <fstream>
#include <sstream>

namespace hv::test {
namespace {

class FullDiskTest : public ReliabilityTest {
protected:
    // generated: a folder of a year of punches, whose workday file is large;
    // limit in bytes; reply: how the failed save answers.
    void saveOnAFullDisk(bool generated, const std::string& limit, const std::string& expected);
};

// A small folder's journal cannot be written: the first day's write fails.
TEST_F(FullDiskTest, AWeekSaveFailsOnItsFirstWriteAndKeepsTheStoredWeek)
{
    saveOnAFullDisk(false, "4096", "ok 0 The following error occurred saving the record: ");
}

// In a large folder the journal fits and the commit fails on the table file.
TEST_F(FullDiskTest, AWeekSaveFailsOnItsCommitAndKeepsTheStoredWeek)
{
    saveOnAFullDisk(true, "65536", "ok 9 The following error occurred saving the Hours Worked record: ");
}

void FullDiskTest::saveOnAFullDisk(bool generated, const std::string& limit, const std::string& expected)
{
    if (generated) {
        dm.reset();
        std::filesystem::remove_all(dataFolder);
        std::string error;
        ASSERT_TRUE(GenerateData(dataFolder, 20, 1, "22", &error)) << error;
        start();
    }
    const std::int32_t emp = addEmployeeRow(*dm, {.last = "Full", .first = "Disk", .start = EncodeDate(2020, 1, 1)});
    const std::int32_t reason = addReasonRow(*dm, {.name = "Full disk", .code = "FD"});
    const std::string save = "week-save " + std::to_string(emp) + " 2027-01-02 " + std::to_string(reason) + " ";
    dm.reset();
    {
        // Saved, then loaded and locked again as the time card does after a save.
        PeerProcess peer;
        startPeer(peer, dataFolder);
        ASSERT_EQ(peer.send(save + "1"), "ok -1");
        ASSERT_EQ(peer.send(save + "1"), "ok -1");
    }
    startQuietly();
    const std::string stored = fingerprint();
    dm.reset();
    {
        PeerProcess peer;
        startPeer(peer, dataFolder);
        ASSERT_EQ(peer.send("fsize-limit " + limit), "ok");
        const std::string reply = peer.send(save + "2");
        EXPECT_EQ(reply.rfind(expected, 0), 0u) << reply;
        EXPECT_NE(reply.find("disk I/O error\r\rThe record was NOT saved."), std::string::npos) << reply;
    }
    startQuietly();
    EXPECT_EQ(fingerprint(), stored);
    dm.reset();
    expectSoundFiles();
}

// The employee list of a generated folder is larger than the limit: the
// export stops in the middle of its temporary file, which goes, and the file
// it was to replace stays byte for byte.
TEST_F(FullDiskTest, AnExportStopsAndKeepsTheFileItWouldReplace)
{
    namespace fs = std::filesystem;
    dm.reset();
    fs::remove_all(dataFolder);
    std::string error;
    ASSERT_TRUE(GenerateData(dataFolder, 60, 1, "22", &error)) << error;
    const fs::path folder = fs::path(programFolder) / "exports";
    fs::create_directories(folder);
    auto contents = [](const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    };
    PeerProcess peer;
    startPeer(peer, dataFolder);
    ASSERT_EQ(peer.send("fsize-limit 2048"), "ok");
    for (const char* format : {"1", "3"}) { // comma delimited, xBase
        const fs::path file = folder / (std::string("employees.") + (format[0] == '3' ? "dbf" : "txt"));
        std::ofstream(file, std::ios::binary) << "the export of last week";
        const std::string reply =
            peer.send(std::string("export 5 ") + format + " " + HV_PROGRAM_DIR + " " + file.string());
        EXPECT_EQ(reply.rfind("ok 2 The export did not finish.  " + file.string() + " was left as it was.", 0), 0u)
            << reply;
        EXPECT_EQ(contents(file), "the export of last week");
    }
    int entries = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2) << "a temporary file remains in " << folder;
}

} // namespace
} // namespace hv::test
