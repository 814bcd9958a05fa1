#pragma once
// The benefit arithmetic for one employee and one benefit (a reason with an
// accrual policy): hours taken in a benefit year, the date a balance is
// validated on, hours earned and still held as of a date, and the balance
// grid. Every call reads the database afresh; nothing is cached.
#include "storage/GridView.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace hv {

class THourvaneDataMod;
class TEmployeeRecClass;

// The reason cannot be loaded.
class ENoReasonRecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// The employee is not eligible and has no opening balance that applies.
class ENotEligibleError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// No rule of the benefit covers the employee's months of service.
class ENoPolicyRecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Hours of the benefit taken in the benefit year that the year selects: the
// calendar year for "C"; for "A" and "U" the benefit year ending the day
// before the anniversary (or user year start) in that year, or the following
// one once today has passed that day.
float TakenHours(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID, int year);

// Today for "earned to date" benefits; else the start of the next benefit
// year after today. A basis other than "A" or "U" counts as the calendar year.
double BalanceDate(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID);

// Hours earned and still held as of the date: the opening balance, monthly
// credits by service band, and at every completed benefit-year end the time
// off of that year subtracted and the carry-over limit applied. The time off
// of the year that is still running is left to the caller.
float EarnedHours(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID, double asOf);

// One row per benefit: description, earned, taken, remaining (red and bold
// when negative). scrollBarWidth is what the grid's scroll bar takes once it
// shows (more than three rows).
void FillBalanceGrid(THourvaneDataMod& dm, GridView& grid, const TEmployeeRecClass& employee, int scrollBarWidth);

} // namespace hv
