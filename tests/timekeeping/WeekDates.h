#pragma once
// The week the time card tests work in, whose card it is, and the punch
// times they type.
#include "platform/DateUtil.h"

namespace hv::test {

// Sunday 2 March 2025 to Saturday 8 March 2025: day i is weekday i.
inline const double kWeekEnd = EncodeDate(2025, 3, 8);
inline double dayOf(int i) { return kWeekEnd - 6 + i; }
inline constexpr int kEmp = 12;
inline double T(int h, int m = 0) { return EncodeTime(h, m); }

} // namespace hv::test
