#pragma once
// The benefit arithmetic for one employee and one benefit (a reason with an
// accrual policy) read from the database: hours taken in a benefit year, the
// date a balance is validated on, hours earned and still held as of a date,
// and the balance grid. Each call reads what it needs afresh; the loaders
// below read the inputs of many employees once for the calculation of
// timeoff/BalanceCalc.h.
#include "ports/GridView.h"
#include "timeoff/BalanceCalc.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;
class TEmployeeRecClass;

// Hours of the benefit taken in the benefit year that the year selects (see
// takenYearRange).
float TakenHours(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID, int year);

// Today for "earned to date" benefits; else the start of the next benefit
// year after today.
double BalanceDate(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID);

// Hours earned and still held as of the date (see the calculation's
// EarnedHours). The time off of the year that is still running is left to
// the caller.
float EarnedHours(THourvaneDataMod& dm, const TEmployeeRecClass& employee, std::int32_t reasonID, double asOf);

// One row per benefit: description, earned, taken, remaining (red and bold
// when negative). scrollBarWidth is what the grid's scroll bar takes once it
// shows (more than three rows).
void FillBalanceGrid(THourvaneDataMod& dm, GridView& grid, const TEmployeeRecClass& employee, int scrollBarWidth);

// The same grid from balances already computed; "***" where a benefit has no
// rule for the employee or the employee is not eligible.
void FillBalanceGrid(GridView& grid, const std::vector<BenefitBalance>& balances, const std::string& hourFormat,
                     int scrollBarWidth);

// Loaders for computing many employees: the benefits (reasons with a policy,
// by description) with their rules in two reads, and the opening balances and
// benefit time off of one employee, or of every employee, in two more.
std::vector<BenefitTerms> loadBenefits(THourvaneDataMod& dm);
EmployeeBenefitRecords loadBenefitRecords(THourvaneDataMod& dm, std::int32_t empID);
std::map<std::int32_t, EmployeeBenefitRecords> loadAllBenefitRecords(THourvaneDataMod& dm);

EmploymentTerms employmentTermsOf(const TEmployeeRecClass& employee);
// The user-defined year start of the global settings.
UserYearStart userYearStart();

} // namespace hv
