#pragma once
// The band arithmetic of the benefit policy wizard: a band as the user reads
// and types it ("at least", "up to", "will earn", "can carry over"), storing
// a typed band into the chain of rules, and the texts of the policy table.
#include "timeoff/TPolicy.h"

#include <array>
#include <string>
#include <vector>

namespace hv {

// "up to" takes a whole number of at most 4 digits.
inline constexpr int kMaxUpTo = 9999;
inline constexpr int kLastBandYears = 80;

// A band as the wizard's page shows it.
struct BandView {
    bool showAtLeast = false; // the first band always starts at 0
    int atLeast = 0;
    bool atLeastYears = true;
    int upTo = kLastBandYears;
    bool upToYears = true;
    bool hoursForPeriod = false;
    float hours = 0;
    float carryOver = 0;
};

// What the user typed for a band.
struct BandInput {
    int upTo = kLastBandYears;
    bool upToYears = true;
    float hours = 0;
    bool hoursForPeriod = false;
    float carryOver = 0;
};

// Band index as a rule of the list: when index is past the last rule, a rule
// is appended that starts at the typed "up to" (in months; the first band at
// 0) and runs to 960.
BandView ShowBand(TPolicyListClass& list, int index, int typedUpTo, bool typedUpToYears);

enum class BandResult {
    Next,    // stored; the following band starts where this one ends
    Last,    // stored as the last band (to 960 months); later rules taken out
    Refused, // "up to" not after "at least"; nothing stored
};
// Stores a typed band into rule index (which must exist).
BandResult StoreBand(TPolicyListClass& list, int index, const BandInput& input);

// The message of a refused band (help topic 1019).
inline constexpr const char* kUpToMessage =
    "The \"up to\" period must be greater than the \"at least\" period.  Please check your entry and make the "
    "necessary correction.";
inline constexpr int kUpToHelpContext = 1019;

// The policy table, one row per rule: "at least", "up to", "will earn", "and carry over".
std::vector<std::array<std::string, 4>> PolicyTableRows(const TPolicyListClass& list);

} // namespace hv
