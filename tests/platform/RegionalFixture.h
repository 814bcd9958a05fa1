#pragma once
// Every formatting test starts from US English and leaves it in force, so
// that one test's regional changes never leak into another.
#include <gtest/gtest.h>

#include "platform/RegionalSettings.h"

namespace hv::test {

// A time of day as the day fraction the date-time values keep.
inline double at(int hour, int minute, int second = 0) { return (hour * 3600.0 + minute * 60.0 + second) / 86400.0; }

class RegionalTest : public ::testing::Test {
protected:
    void SetUp() override { setRegional(RegionalSettings::usEnglish()); }
    void TearDown() override { setRegional(RegionalSettings::usEnglish()); }

    // Applies a change to the settings in force.
    template <typename Change>
    void changeRegional(Change change)
    {
        RegionalSettings r = regional();
        change(r);
        setRegional(r);
    }
};

} // namespace hv::test
