// Whole operations killed at random moments by SIGKILL: a week save (seven
// days and the week's time off in one transaction), an import of 5,000 lines
// and a reason delete with its cascade. After each kill the operation is all
// or nothing, every table file is sound and the program starts on the folder.
#include "engine/Query.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "tests/reliability/ReliabilityFixture.h"

#include <chrono>
#include <cmath>
#include <fstream>
#include <thread>

namespace hv::test {
namespace {

namespace fs = std::filesystem;

class KillTest : public ReliabilityTest {
protected:
    // The folder as the template holds it, started once to read its fingerprint.
    std::string templateFingerprint(const std::string& folder)
    {
        dm.reset();
        copyFolder(folder);
        startQuietly();
        std::string print = fingerprint();
        dm.reset();
        return print;
    }

    // Kills the command over kills runs, each on a fresh copy of the template,
    // and counts the runs that left the folder as it was (old) and as one
    // whole run leaves it (fresh); anything else fails.
    void killEachOnTemplate(const std::string& templ, const std::string& command, const std::string& doneReply,
                            int kills)
    {
        const std::string before = templateFingerprint(templ);
        // The longest of three runs: on a busy machine one run may be quick.
        qint64 runMs = 0;
        for (int run = 0; run < 3; ++run) {
            copyFolder(templ);
            std::string reply;
            runMs = std::max(runMs, timedRun(command, reply));
            ASSERT_EQ(reply.rfind(doneReply, 0), 0u) << reply;
        }
        startQuietly();
        const std::string after = fingerprint();
        dm.reset();
        ASSERT_NE(before, after);

        KillMoments moments(runMs, kills);
        int old = 0, fresh = 0;
        for (int i = 0; i < kills; ++i) {
            SCOPED_TRACE("kill " + std::to_string(i));
            copyFolder(templ);
            killDuring(command, moments, i);
            startQuietly();
            const std::string now = fingerprint();
            dm.reset();
            if (now == before)
                ++old;
            else if (now == after)
                ++fresh;
            else
                FAIL() << "a folder half way between";
            expectSoundFiles();
        }
        // Under load a run can take longer than the runs timed above, and every
        // kill may land before the commit. Later kills, each later than the
        // last, then show that a killed peer can leave the whole run too.
        for (int extra = 1; fresh == 0 && extra <= 20; ++extra) {
            SCOPED_TRACE("late kill " + std::to_string(extra));
            copyFolder(templ);
            std::unique_ptr<PeerProcess> peer = m_peers.next();
            startPeer(*peer, dataFolder);
            peer->sendNoWait(command);
            std::this_thread::sleep_for(std::chrono::milliseconds(runMs * (1 + extra)));
            peer->kill();
            startQuietly();
            const std::string now = fingerprint();
            dm.reset();
            if (now == after)
                ++fresh;
            else if (now != before)
                FAIL() << "a folder half way between";
            expectSoundFiles();
        }
        std::printf("%d kills: %d left the folder as it was, %d as a whole run leaves it\n", kills, old, fresh);
        EXPECT_GT(old, 0);
        EXPECT_GT(fresh, 0);
    }
};

// Minutes after 6:00 of a time, as the peer's markers are written.
int markerMinutes(double time) { return int(std::lround((time - EncodeTime(6, 0)) * 1440.0)); }

TEST_F(KillTest, AKilledWeekSaveLeavesOneWholeSave)
{
    const std::int32_t emp = addEmployeeRow(*dm, {.last = "Week", .first = "Kill", .start = EncodeDate(2020, 1, 1)});
    const std::int32_t reason = addReasonRow(*dm, {.name = "Holiday", .code = "H"});
    const double weekEnd = EncodeDate(2025, 3, 8);
    const std::string command = "week-loop " + std::to_string(emp) + " 2025-03-08 " + std::to_string(reason) + " ";
    dm.reset();

    constexpr int kKills = 100;
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delayMs(0, 20);
    long marker = 0;
    int savesSeen = 0;
    for (int i = 0; i < kKills; ++i) {
        SCOPED_TRACE("kill " + std::to_string(i));
        {
            std::unique_ptr<PeerProcess> peer = m_peers.next();
            startPeer(*peer, dataFolder);
            peer->sendNoWait(command + std::to_string(marker));
            ASSERT_EQ(peer->readLine(), "ok looping");
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
            peer->kill();
        }
        startQuietly();
        // Every day's first pair and both time off entries carry one save's marker.
        std::vector<int> values;
        std::vector<double> offDays;
        {
            // The queries go before the data module they read through.
            engine::Query days(dm->HourvaneDB);
            days.addSql("select TimeOut1 from WorkDay where EmpID = " + std::to_string(emp) + " order by WeekDate");
            for (days.open(); !days.eof(); days.next())
                values.push_back(markerMinutes(days.field(0).asDateTime()));
            engine::Query off(dm->HourvaneDB);
            off.addSql("select Hours, WeekDate from TimeOff where EmpID = " + std::to_string(emp) +
                       " order by WeekDate");
            for (off.open(); !off.eof(); off.next()) {
                values.push_back(int(std::lround(off.field(0).asFloat() * 100.0)));
                offDays.push_back(off.field(1).asDateTime());
            }
        }
        dm.reset();
        ASSERT_EQ(values.size(), 9u);
        EXPECT_EQ(offDays, (std::vector<double>{weekEnd - 5, weekEnd - 2}));
        for (int v : values)
            ASSERT_EQ(v, values[0]) << "a week of two saves";
        // The save stored is the first of this run or a later one.
        const long saves = ((values[0] - 1) - marker % 600 + 600) % 600 + 1;
        savesSeen += int(saves);
        marker += saves;
        expectSoundFiles();
    }
    std::printf("%d kills after %d committed week saves\n", kKills, savesSeen);
}

// 5,000 lines replacing every stored day, by employee code.
TEST_F(KillTest, AKilledImportLeavesTheOldDaysOrAllTheNewOnes)
{
    for (int e = 0; e < 50; ++e)
        addEmployeeRow(*dm, {.last = "Import", .first = std::to_string(e), .code = "E" + std::to_string(1001 + e)});
    for (int day = 0; day < 20; ++day)
        execBlank(*dm, "insert into WorkDay (EmpID, WeekDate, SequenceNum, TimeIn1, TimeOut1, Shift) values (" +
                           std::to_string(1 + day % 5) + ", '2025-01-" + std::to_string(10 + day) +
                           "', 0, '09:00:00', '17:00:00', 1)");
    ASSERT_EQ(countRows(*dm, "WorkDay"), 20);
    dm.reset();
    TempDir templ;
    fs::copy(dataFolder, templ.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);

    const std::string file = program.folder() + "cards.txt";
    {
        setRegional(RegionalSettings::usEnglish());
        std::ofstream out(file, std::ios::binary);
        for (int line = 0; line < 5000; ++line)
            out << 'E' << 1001 + line % 50 << ',' << FormatDateTime("m/d/yyyy", EncodeDate(2026, 1, 1) + line / 50)
                << ",8:00 AM,12:00 PM,12:30 PM,4:30 PM\r\n";
    }
    killEachOnTemplate(templ.folder(), std::string("import ") + HV_PROGRAM_DIR + " " + file + " 2,3,4,5,6,7",
                       "ok 0 5000 0", 100);
}

TEST_F(KillTest, AKilledReasonDeleteTakesAllItsRowsOrNone)
{
    TempDir templ;
    std::string error;
    ASSERT_TRUE(GenerateData(templ.folder(), 10, 1, "22", &error)) << error;
    copyFolder(templ.folder());
    startQuietly();
    // The benefit with the most time off; locked by the peer's identity as
    // the reasons window locks it before the delete.
    const std::string reason = readValue(*dm, "select r.ReasonID from Reason r join TimeOff t on t.ReasonID = "
                                              "r.ReasonID where r.PolicyFlag = 1 group by r.ReasonID "
                                              "order by count(*) desc limit 1");
    ASSERT_GT(countRows(*dm, "Policy", "ReasonID = " + reason), 0);
    for (int emp = 1; emp <= 10; ++emp)
        execBlank(*dm, "insert or replace into Accrual (EmpID, ReasonID, AccruedHours, AccrualDate) values (" +
                           std::to_string(emp) + ", " + reason + ", 12.5, '2024-01-01')");
    ASSERT_GT(countRows(*dm, "TimeOff", "ReasonID = " + reason), 0);
    execBlank(*dm, std::string("update Reason set LockedBy = '") + kPeerIdentity + "' where ReasonID = " + reason);
    dm.reset();
    fs::copy(dataFolder, templ.path(), fs::copy_options::recursive | fs::copy_options::overwrite_existing);

    killEachOnTemplate(templ.folder(), "reason-delete " + reason, "ok 1", 100);
}

} // namespace
} // namespace hv::test
