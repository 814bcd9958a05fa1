// A week opened while another copy keeps saving it: whenever this copy holds
// the week's lock, it holds the week as stored. Had it read the week before
// taking the lock only, a save of the other copy in between would be shown as
// the older values, and written back over that save by the next save here.
#include "platform/DateUtil.h"
#include "tests/reliability/ReliabilityFixture.h"
#include "engine/Query.h"
#include "timekeeping/WorkUtil.h"

#include <cmath>

namespace hv::test {
namespace {

// The week's punch outs in minutes, as held in memory and as stored.
std::string held(const TWorkWeekRecClass& week)
{
    std::string text;
    for (int i = 0; i < 7; ++i)
        text += std::to_string(std::lround(week.Day(i).Out(1) * 1440.0)) + " ";
    return text;
}

std::string stored(THourvaneDataMod& dm, std::int32_t emp)
{
    std::string text;
    engine::Query days(dm.HourvaneDB);
    days.addSql("select TimeOut1 from WorkDay where EmpID = " + std::to_string(emp) + " order by WeekDate");
    for (days.open(); !days.eof(); days.next())
        text += std::to_string(std::lround(days.field(0).asDateTime() * 1440.0)) + " ";
    return text;
}

TEST_F(ReliabilityTest, AWeekLockedWhileAnotherCopySavesItHoldsTheStoredWeek)
{
    const std::int32_t emp = addEmployeeRow(*dm, {.last = "Race", .first = "Lock", .start = EncodeDate(2020, 1, 1)});
    const std::int32_t reason = addReasonRow(*dm, {.name = "Holiday", .code = "H"});
    const double weekEnd = EncodeDate(2025, 3, 8);
    const std::string loop = "week-loop " + std::to_string(emp) + " 2025-03-08 " + std::to_string(reason) + " ";
    auto weekOf = [&](TWorkWeekRecClass& week) {
        week.SetWeekEnd(weekEnd);
        week.SetEmployee(emp);
    };
    // Each round the other copy saves the week over and over, letting go of
    // it for 2 ms after each save, until this copy takes the lock in such a
    // pause; its next lock is then refused.
    int rounds = 0;
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        PeerProcess peer;
        startPeer(peer, dataFolder);
        peer.sendNoWait(loop + std::to_string(round * 1000) + " 2");
        ASSERT_EQ(peer.readLine(), "ok looping");
        TWorkWeekRecClass week(*dm);
        weekOf(week);
        bool locked = false;
        for (int attempt = 0; attempt < 5000 && !locked; ++attempt)
            locked = week.LoadLocked("ALICE");
        ASSERT_TRUE(locked) << "the other copy never let go of the week: " << messages.last();
        EXPECT_EQ(held(week), stored(*dm, emp)) << "the week held is older than the week stored";
        ++rounds;
        EXPECT_EQ(peer.readLine().rfind("err ", 0), 0u);
        week.Unlock("ALICE");
        messages.clear();
    }
    EXPECT_EQ(rounds, 30);
}

} // namespace
} // namespace hv::test
