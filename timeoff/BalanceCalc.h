#pragma once
// The benefit arithmetic of one employee and one benefit without the
// database: the benefit year whose time off counts, the date a balance is
// validated on, hours earned and still held as of a date, and the balance of
// every benefit. Its inputs come in already read, so a report or the command
// line computes many employees from a few reads (timeoff/Balances.h reads
// them).
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace hv {

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

// How a benefit year runs: "C" the calendar year, "A" from the employee's
// anniversary, "U" from the user-defined year start. Any other letter (only
// migrated data could hold one) reads as the calendar year everywhere, so
// that the balance date and the year whose time off counts agree.
enum class AccrualBasis { CalendarYear, Anniversary, UserYear };
AccrualBasis accrualBasisOf(const std::string& letter);

// When a balance is validated: "E" earned to date (today); any other letter
// at the end of the benefit year ("Y").
enum class ValidateBasis { EarnedToDate, YearEnd };
ValidateBasis validateBasisOf(const std::string& letter);

// One band of service: up to endMonths months of service, earnedHours a year
// (a twelfth a month), at most carryOverHours into the next benefit year.
struct BenefitRule {
    int endMonths = 0;
    float earnedHours = 0;
    float carryOverHours = 0;
};

// A time off reason as the balances read it.
struct BenefitTerms {
    std::int32_t reasonID = 0;
    std::string description;
    bool policy = false;
    AccrualBasis basis = AccrualBasis::CalendarYear;
    ValidateBasis validate = ValidateBasis::YearEnd;
    std::vector<BenefitRule> rules; // employee type 1, in StartMonths order
    bool rulesRead = true;          // false when reading the rules failed
};

// The employee's opening balance of one benefit, if there is one.
struct OpeningBalance {
    bool found = false;
    float hours = 0;
    double date = 0;
};

struct EmploymentTerms {
    double startDate = 0;
    double endDate = 0; // 0 while employed
    bool eligible = true;
};

// The first month and day of the user-defined year.
struct UserYearStart {
    int month = 1;
    int day = 1;
};

// Both days counted.
struct DayRange {
    double first = 0;
    double last = 0;
};

// Hours of one employee's time off of one benefit within a range of days.
class TakenHoursLookup {
public:
    virtual ~TakenHoursLookup() = default;
    virtual float between(DayRange days) const = 0;
};

// That time off held in memory. Days are compared as the stored dates sort;
// the sum is worked out in double and rounded once, as the sum query does.
class TimeOffLedger : public TakenHoursLookup {
public:
    void add(double day, double hours);
    float between(DayRange days) const override;
    bool empty() const { return m_entries.empty(); }

private:
    std::vector<std::pair<double, double>> m_entries; // (day, hours) by day
};

// The benefit year whose time off TakenHours counts for a year number: the
// calendar year; for "A" and "U" the benefit year that ends the day before
// the anniversary (or user year start) in that year, or the following one
// once today has passed that day.
DayRange takenYearRange(AccrualBasis basis, double startDate, UserYearStart userYear, int year, double today);

// Today for "earned to date" benefits; else the start of the next benefit
// year after today.
double BalanceDate(const BenefitTerms& benefit, double startDate, UserYearStart userYear, double today);

// What EarnedHours reads about one employee and one benefit.
struct BalanceInputs {
    const BenefitTerms& benefit;
    const EmploymentTerms& employee;
    const OpeningBalance& opening;
    const TakenHoursLookup& taken;
    UserYearStart userYear;
};

// Hours earned and still held as of the date: the opening balance, monthly
// credits by service band, and at every completed benefit-year end the time
// off of that year subtracted and the carry-over limit applied. From an
// opening balance's date on every day is credited once, and no day before it.
float EarnedHours(const BalanceInputs& inputs, double asOf);

// One employee's opening balances and time off, by ReasonID.
struct EmployeeBenefitRecords {
    std::map<std::int32_t, OpeningBalance> openings;
    std::map<std::int32_t, TimeOffLedger> timeOff;
};

enum class BalanceOutcome { Computed, NoPolicy, NotEligible };

// One benefit's line of the balance grid.
struct BenefitBalance {
    std::int32_t reasonID = 0;
    std::string description;
    BalanceOutcome outcome = BalanceOutcome::Computed;
    float earned = 0;    // as of the balance date; only when computed
    float taken = 0;     // in the benefit year of today's year number
    float remaining = 0; // earned - taken; only when computed
};

// The balance of every benefit in the order given.
std::vector<BenefitBalance> benefitBalances(const std::vector<BenefitTerms>& benefits,
                                            const EmploymentTerms& employee, const EmployeeBenefitRecords& records,
                                            UserYearStart userYear, double today);

} // namespace hv
