#include <gtest/gtest.h>

#include <cmath>

#include <QDate>

#include "platform/Clock.h"
#include "platform/DateUtil.h"

namespace hv {
namespace {

TEST(FixedClock, StandsWhereItIsSet)
{
    FixedClock fixed(45000.75); // 15 Mar 2023 18:00
    EXPECT_EQ(fixed.now(), 45000.75);
    EXPECT_EQ(fixed.today(), 45000.0);
    fixed.set(36526.25);
    EXPECT_EQ(fixed.now(), 36526.25);
    EXPECT_EQ(fixed.today(), 36526.0);
}

TEST(FixedClock, SetTodayKeepsTheTimeOfDay)
{
    FixedClock fixed(45000.75);
    fixed.setToday(44927.4); // only the date is taken
    EXPECT_EQ(fixed.now(), 44927.75);
    EXPECT_EQ(fixed.today(), 44927.0);
}

TEST(ProcessClock, TestsCanReplaceItAndGoBack)
{
    FixedClock fixed(45000.5);
    setClock(&fixed);
    EXPECT_EQ(clock().now(), 45000.5);
    EXPECT_EQ(clock().today(), 45000.0);
    fixed.setToday(45001);
    EXPECT_EQ(clock().today(), 45001.0);
    setClock(nullptr);
    EXPECT_NE(clock().today(), 45001.0);
}

TEST(SystemClock, TodayIsTheMachinesDate)
{
    SystemClock system;
    const QDate date = QDate::currentDate();
    const double expected = EncodeDate(date.year(), date.month(), date.day());
    // Allow for the date changing between the two readings.
    EXPECT_LE(std::fabs(system.today() - expected), 1.0);
    const double now = system.now();
    EXPECT_GE(now - system.today(), -1.0);
    EXPECT_LT(now - std::floor(now), 1.0);
}

} // namespace
} // namespace hv
