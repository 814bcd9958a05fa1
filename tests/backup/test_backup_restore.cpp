// Backup and restore through the public operations: the round trip, exclusive
// use, archives that must be refused, and failures that must leave the old
// database and the old archive as they were.
#include "storage/Presence.h"
#include "tests/backup/BackupFixture.h"
#include "tests/backup/RawZip.h"
#include "tests/support/PeerProcess.h"

#include <algorithm>

namespace hv::test {
namespace {

namespace fs = std::filesystem;

std::string upper(std::string s)
{
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::vector<std::string> entryNames(const std::string& zip)
{
    std::vector<ZipEntryInfo> entries;
    ZipError error;
    EXPECT_TRUE(ZipArchive::list(zip, entries, error)) << error.text;
    std::vector<std::string> names;
    for (const auto& e : entries)
        names.push_back(e.name);
    std::sort(names.begin(), names.end());
    return names;
}

RawEntry& entry(std::vector<RawEntry>& entries, const std::string& name)
{
    for (auto& e : entries)
        if (upper(e.name) == upper(name))
            return e;
    throw std::runtime_error("no entry " + name);
}

TEST_F(BackupTest, RestoringABackupBringsBackEveryTableUnderItsOwnName)
{
    const std::string before = fingerprint();
    const std::string zip = archive("hours.zip");
    ASSERT_EQ(backup(zip), BackupOutcome::Done) << messages.last();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kBackedUp});
    EXPECT_EQ(setting("LastBackup"), zip);
    ASSERT_EQ(dialogs.asked().size(), 1u);
    const FileDialogRequest& asked = dialogs.asked()[0].request;
    EXPECT_TRUE(dialogs.asked()[0].save);
    EXPECT_EQ(asked.title, "Backup Hourvane Database");
    EXPECT_EQ(asked.filter, "Hourvane Backup Files (*.zip)");
    EXPECT_EQ(asked.defaultExtension, "zip");
    // Exactly the tables' files under their own names: fourteen tables with
    // their definition files, and the memo file.
    EXPECT_EQ(entryNames(zip), tableFileNames());
    EXPECT_EQ(entryNames(zip).size(), 29u);
    EXPECT_FALSE(fs::exists(zip + ".partial"));
    EXPECT_FALSE(fs::exists(dataFolder + kBackupStagingFolder));
    EXPECT_TRUE(markerFree(dataFolder));

    execBlank(*dm, "delete from WorkDay where EmpID = 1");
    execBlank(*dm, "update Employee set LastName = 'Changed'");
    execBlank(*dm, "insert or replace into employee_blb.Memo (RowRef, Comments) values (1, 'changed memo')");
    execBlank(*dm, "insert into Dept (DeptName) values ('Added')");
    execBlank(*dm, "delete from TimeOff");
    ASSERT_NE(fingerprint(), before);

    messages.clear();
    ASSERT_EQ(restore(zip), BackupOutcome::Done) << messages.last();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kRestored});
    EXPECT_EQ(setting("LastRestore"), zip);
    EXPECT_FALSE(dialogs.asked()[1].save);
    EXPECT_EQ(dialogs.asked()[1].request.title, "Restore Hourvane Database");
    EXPECT_EQ(fingerprint(), before);
    EXPECT_FALSE(fs::exists(dataFolder + kRestoreStagingFolder));
    EXPECT_FALSE(fs::exists(dataFolder + kRestoreMarkerFile));
    EXPECT_TRUE(markerFree(dataFolder));

    // The next start opens every table without a repair.
    messages.clear();
    start();
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(fingerprint(), before);

    // The names come back as proposals; a cancelled dialog changes nothing.
    const auto files = folderFiles(dataFolder);
    EXPECT_EQ(backup(""), BackupOutcome::Cancelled);
    EXPECT_EQ(restore(""), BackupOutcome::Cancelled);
    EXPECT_EQ(dialogs.asked()[2].request.proposedName, zip);
    EXPECT_EQ(dialogs.asked()[3].request.proposedName, zip);
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(folderFiles(dataFolder), files);
    EXPECT_TRUE(markerFree(dataFolder));
}

TEST_F(BackupTest, ACancelledDialogStoresNoName)
{
    EXPECT_EQ(backup(""), BackupOutcome::Cancelled);
    EXPECT_EQ(restore(""), BackupOutcome::Cancelled);
    EXPECT_EQ(setting("LastBackup"), "");
    EXPECT_EQ(setting("LastRestore"), "");
    EXPECT_FALSE(operation.started);
}

TEST_F(BackupTest, UpperCaseEntriesReplaceTheTablesFilesUnderTheirExistingNames)
{
    const std::string zip = archive("lower.zip");
    ASSERT_EQ(backup(zip), BackupOutcome::Done) << messages.last();
    const std::string before = fingerprint();
    auto entries = ReadEntries(zip);
    for (auto& e : entries)
        e.name = upper(e.name);
    const std::string upperZip = archive("upper.zip");
    WriteRawZip(upperZip, entries);

    // The reason table's file is named in lower case here.
    dm.reset();
    for (const auto& e : fs::directory_iterator(dataFolder))
        if (upper(e.path().filename().string()) == "REASON.DAT")
            fs::rename(e.path(), dataFolder + "reason.dat");
    start();
    execBlank(*dm, "delete from Reason");
    const auto names = tableFileNames();

    ASSERT_EQ(restore(upperZip), BackupOutcome::Done) << messages.last();
    EXPECT_EQ(fingerprint(), before);
    EXPECT_EQ(tableFileNames(), names);
    EXPECT_TRUE(fs::exists(dataFolder + "reason.dat"));
    EXPECT_FALSE(fs::exists(dataFolder + "REASON.DAT"));
}

// A copy that died in the middle of a write left a hot journal and pages of
// its unfinished transaction in the table file: the archive holds the table
// as last committed, as the engine's own connection reads it.
TEST_F(BackupTest, ATableWithAHotJournalIsBackedUpAsLastCommitted)
{
    const std::string before = fingerprint();
    {
        PeerProcess dying;
        ASSERT_EQ(dying.send("connect " + dataFolder), "ok");
        ASSERT_EQ(dying.send("open workday.DAT"), "ok");
        ASSERT_EQ(dying.send("exec PRAGMA cache_size = 2").rfind("ok", 0), 0u);
        ASSERT_EQ(dying.send("begin"), "ok");
        ASSERT_EQ(dying.send("exec update WorkDay set LockedBy = 'HALF'").rfind("ok", 0), 0u);
        dying.kill();
    }
    bool hot = false;
    for (const auto& e : fs::directory_iterator(dataFolder))
        hot = hot || e.path().filename().string().ends_with("-journal");
    ASSERT_TRUE(hot) << "the dying copy left no journal";
    ASSERT_NE(fileBytes(dm->HourvaneDB.resolveFile("workday.DAT")).find("HALF"), std::string::npos)
        << "the table file holds none of the unfinished transaction's pages";

    const std::string zip = archive("hot.zip");
    ASSERT_EQ(backup(zip), BackupOutcome::Done) << messages.last();
    TempDir unpacked;
    for (const auto& e : ReadEntries(zip))
        std::ofstream(unpacked.folder() + e.name, std::ios::binary) << e.data;
    EXPECT_EQ(FolderFingerprint(unpacked.folder()), before);
}

// Another copy holding a slot refuses both, though this copy holds none yet
// (as before its deferred start-up step); a marker held elsewhere refuses
// the backup with its own message. The retry settings come back every time.
TEST_F(BackupTest, AnotherCopyRefusesBothAndTheRetrySettingsComeBack)
{
    dm->HourvaneDB.setLockRetryCount(7);
    dm->HourvaneDB.setLockWaitTime(13);
    auto expectRetriesBack = [this] {
        EXPECT_EQ(dm->HourvaneDB.lockRetryCount(), 7);
        EXPECT_EQ(dm->HourvaneDB.lockWaitTime(), 13);
    };
    const std::string before = fingerprint();
    const std::string zip = archive("refused.zip");
    PeerProcess peer;
    ASSERT_EQ(peer.send("connect " + dataFolder), "ok");

    ASSERT_EQ(peer.send("sem-lock hvuser.DAT 5"), "ok 1");
    EXPECT_EQ(backup(zip), BackupOutcome::Refused);
    EXPECT_EQ(messages.last(), kBackupNotExclusive);
    EXPECT_EQ(messages.shown().back().kind, MsgKind::Information);
    expectRetriesBack();
    EXPECT_EQ(restore(zip), BackupOutcome::Refused);
    EXPECT_EQ(messages.last(), kRestoreNotExclusive);
    expectRetriesBack();
    EXPECT_TRUE(dialogs.asked().empty());
    ASSERT_EQ(peer.send("sem-unlock hvuser.DAT 5"), "ok");

    ASSERT_EQ(peer.send("sem-lock reason.DAT 1"), "ok 1");
    EXPECT_EQ(backup(zip), BackupOutcome::Refused);
    EXPECT_EQ(messages.last(), "Unable to lock database for Backup. Please try again later.");
    expectRetriesBack();
    EXPECT_EQ(restore(zip), BackupOutcome::Refused);
    EXPECT_EQ(messages.last(), kRestoreNotExclusive);
    expectRetriesBack();
    ASSERT_EQ(peer.send("sem-unlock reason.DAT 1"), "ok");

    // A copy that has its tables open but no slot yet shows in the open
    // locks: the restore stops before reading anything.
    ASSERT_EQ(peer.send("open workday.DAT"), "ok");
    messages.clear();
    EXPECT_EQ(restore(archive("never-read.zip")), BackupOutcome::Failed);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kRestoreNotExclusive});
    expectRetriesBack();
    EXPECT_EQ(fingerprint(), before);
    EXPECT_FALSE(fs::exists(dataFolder + kRestoreStagingFolder));
    EXPECT_EQ(peer.send("sem-lock reason.DAT 1"), "ok 1"); // the marker is free again
}

TEST_F(BackupTest, AStartDuringARestoreEndsWithTheMaintenanceMessage)
{
    dm.reset();
    fs::create_directory(dataFolder + kRestoreStagingFolder);
    std::ofstream(dataFolder + kRestoreMarkerFile) << "hourvane restore 1\nend\n";
    PeerProcess restoring;
    ASSERT_EQ(restoring.send("connect " + dataFolder), "ok");
    ASSERT_EQ(restoring.send("sem-lock reason.DAT 1"), "ok 1");

    messages.clear();
    start();
    EXPECT_TRUE(dm->terminateRequested());
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kMaintenanceMessage});
    EXPECT_FALSE(dm->tblWorkDay.active());
    EXPECT_TRUE(fs::exists(dataFolder + kRestoreMarkerFile));

    // Once the restoring copy is gone, the next start finishes its work.
    restoring.kill();
    messages.clear();
    start();
    EXPECT_FALSE(dm->terminateRequested());
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_FALSE(fs::exists(dataFolder + kRestoreMarkerFile));
    EXPECT_FALSE(fs::exists(dataFolder + kRestoreStagingFolder));
}

TEST_F(BackupTest, BadArchivesAreRefusedLeavingTheDataFolderAsItWas)
{
    const std::string zip = archive("good.zip");
    ASSERT_EQ(backup(zip), BackupOutcome::Done) << messages.last();
    const std::string before = fingerprint();
    const auto good = ReadEntries(zip);
    for (const auto& e : good)
        ASSERT_FALSE(e.name.empty());
    auto with = [&good](const std::function<void(std::vector<RawEntry>&)>& change) {
        auto entries = good;
        change(entries);
        return entries;
    };
    auto plus = [&with](const std::string& name) { return with([name](auto& e) { e.push_back({name, "data"}); }); };
    const std::string testedBad = "ERROR: 1 files in your Database Backup file tested as bad!\r\r"
                                  "Please select another Database backup file and  try again.";
    struct Case {
        std::string label;
        std::vector<RawEntry> entries;
        std::string message;
    };
    std::vector<Case> cases = {
        {"no time off index", with([](auto& e) {
             e.erase(
                 std::find_if(e.begin(), e.end(), [](const RawEntry& r) { return upper(r.name) == "TIMEOFF.IDX"; }));
         }),
         "The following database files are missing from your database backup file:\r\rTIMEOFF.IDX\r\r"
         "Please select another backup file and try again."},
        {"unrelated files", {{"readme.txt", "hello"}, {"photo.jpg", "\xff\xd8"}}, kNotOurs},
        {"text under a table's name", with([](auto& e) { entry(e, "REASON.DAT").data = "This is no table.\n"; }),
         kNotOurs},
        {"a table of another layout", with([](auto& e) {
             entry(e, "REASON.DAT").data = entry(e, "DEPT.DAT").data;
             entry(e, "REASON.IDX").data = entry(e, "DEPT.IDX").data;
         }),
         kNotOurs},
        {"one corrupted byte", with([](auto& e) { entry(e, "WORKDAY.DAT").flipByte = 5000; }), testedBad},
        {"parent folder", plus("../x.dat"), kNotOurs},
        {"absolute path", plus("/abs/REASON.DAT"), kNotOurs},
        {"backslash folder", plus("sub\\REASON.DAT"), kNotOurs},
        {"drive letter", plus("C:REASON.DAT"), kNotOurs},
        {"the same name twice", with([](auto& e) {
             RawEntry twin = entry(e, "REASON.DAT");
             twin.name = upper(twin.name) == twin.name ? "reason.dat" : "REASON.DAT";
             e.push_back(twin);
         }),
         kNotOurs},
        {"10,000 entries", with([](auto& e) {
             for (int i = 0; e.size() < 10000; ++i)
                 e.push_back({"f" + std::to_string(i) + ".txt", "x"});
         }),
         kNotOurs},
        {"1 KB declared, 200 MB inflated", with([](auto& e) {
             RawEntry& bomb = entry(e, "REASON.DAT");
             bomb.data.clear();
             bomb.zeros = 200u << 20;
             bomb.deflate = true;
             bomb.declaredSize = 1024;
         }),
         testedBad},
    };
    const auto files = folderFiles(dataFolder);
    const auto programFiles = folderFiles(programFolder);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string path = archive("bad.zip");
        WriteRawZip(path, c.entries);
        messages.clear();
        EXPECT_EQ(restore(path), BackupOutcome::Failed);
        EXPECT_EQ(messages.last(), c.message);
        EXPECT_EQ(folderFiles(dataFolder), files);
        EXPECT_EQ(folderFiles(programFolder), programFiles);
        EXPECT_FALSE(fs::exists("/abs"));
        EXPECT_EQ(fingerprint(), before); // open again, and unchanged
    }
}

TEST_F(BackupTest, AnArchiveDeclaringMoreThanTheFreeSpaceIsRefusedBeforeAnythingIsWritten)
{
    // A 40 MB file system of the peer's own holds a copy of the database.
    const std::string small = archives.folder() + "small";
    fs::create_directory(small);
    PeerProcess peer("mount -t tmpfs -o size=40m tmpfs '" + small + "' && cp -a '" + dataFolder + ".' '" + small +
                     "/'");
    if (!peer.usable())
        GTEST_SKIP() << "no mount namespace for a small file system here";
    const std::string zip = archive("good.zip");
    ASSERT_EQ(backup(zip), BackupOutcome::Done) << messages.last();
    auto entries = ReadEntries(zip);
    entry(entries, "WORKDAY.DAT").declaredSize = 100u << 20;
    const std::string big = archive("big.zip");
    WriteRawZip(big, entries);

    ASSERT_EQ(peer.send("start " + small + "/"), "ok");
    const std::string digest = peer.send("digest " + small);
    const std::string reply = peer.send("restore " + big);
    EXPECT_EQ(reply.rfind("ok failed The following error occurred restoring your HourvaneDatabase: \r\r28: "
                          "Not enough free disk space",
                          0),
              0u)
        << reply;
    EXPECT_EQ(peer.send("digest " + small), digest);
}

// The old archive of the chosen name stays byte for byte when the new one
// cannot be written: on a read-only folder, and on a full disk.
TEST_F(BackupTest, AFailingBackupLeavesTheOldArchiveAsItWas)
{
    const std::string folder = archives.folder() + "kept/";
    fs::create_directory(folder);
    const std::string zip = folder + "kept.zip";
    ASSERT_EQ(backup(zip), BackupOutcome::Done) << messages.last();
    const std::string old = fileBytes(zip);
    const std::string failed = "ok failed The following error occurred backing up your HourvaneDatabase: \r\r";
    auto expectOldArchiveOnly = [&] {
        EXPECT_EQ(fileBytes(zip), old);
        for (const auto& e : fs::directory_iterator(folder))
            EXPECT_EQ(e.path().filename(), "kept.zip");
        EXPECT_FALSE(fs::exists(dataFolder + kBackupStagingFolder));
    };

    {
        PeerProcess full;
        ASSERT_EQ(full.send("start " + dataFolder), "ok");
        ASSERT_EQ(full.send("fsize-limit 8192"), "ok");
        const std::string reply = full.send("backup " + zip);
        EXPECT_EQ(reply.rfind(failed, 0), 0u) << reply;
        expectOldArchiveOnly();
    }

    PeerProcess readOnly("mount --bind '" + folder + "' '" + folder + "' && mount -o remount,bind,ro '" + folder + "'");
    if (!readOnly.usable())
        GTEST_SKIP() << "no mount namespace for a read-only folder here";
    ASSERT_EQ(readOnly.send("start " + dataFolder), "ok");
    const std::string reply = readOnly.send("backup " + zip);
    EXPECT_EQ(reply.rfind(failed, 0), 0u) << reply;
    expectOldArchiveOnly();
}

} // namespace
} // namespace hv::test
