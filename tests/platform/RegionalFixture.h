#pragma once
// Every formatting test starts from US English and leaves it in force, so
// that one test's regional changes never leak into another.
#include <gtest/gtest.h>

#include "platform/RegionalSettings.h"

namespace hv::test {

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
