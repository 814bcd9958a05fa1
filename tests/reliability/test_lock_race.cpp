// A week opened while another copy keeps saving it: whenever this copy holds
// the week's lock, it holds the week as stored. Had it read the week before
// taking the lock only, a save of the other copy in between would be shown as
// the older values, and written back over that save by the next save here.
#include "platform/DateUtil.h"
#include "tests/reliability/ReliabilityFixture.h"
#include "timekeeping/WorkUtil.h"

#include <cmath>

namespace hv::test {
namespace {

// The week's punch outs and time off hours as a line of numbers.
std::string values(const TWorkWeekRecClass& week)
{
    std::string text;
    for (int i = 0; i < 7; ++i)
        text += std::to_string(std::lround(week.Day(i).Out(1) * 1440.0)) + " ";
    for (int i = 0; i < week.TimeOffList().Count(); ++i)
        text += std::to_string(std::lround(week.TimeOffList().Items(i).Hours() * 100.0f)) + " ";
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
    // Each round the other copy saves the week over and over until this copy
    // takes the lock between two of its saves; its next lock is then refused.
    int held = 0;
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        PeerProcess peer;
        startPeer(peer, dataFolder);
        peer.sendNoWait(loop + std::to_string(round * 1000));
        ASSERT_EQ(peer.readLine(), "ok looping");
        TWorkWeekRecClass week(*dm);
        weekOf(week);
        bool locked = false;
        for (int attempt = 0; attempt < 5000 && !locked; ++attempt)
            locked = week.LoadLocked("ALICE");
        ASSERT_TRUE(locked) << "the other copy never let go of the week";
        TWorkWeekRecClass stored(*dm);
        weekOf(stored);
        stored.Load();
        EXPECT_EQ(values(week), values(stored)) << "the week held is older than the week stored";
        ++held;
        EXPECT_EQ(peer.readLine().rfind("err ", 0), 0u);
        week.Unlock("ALICE");
        messages.clear();
    }
    EXPECT_EQ(held, 30);
}

} // namespace
} // namespace hv::test
