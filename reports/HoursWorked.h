#pragma once
// The hours worked report ("HoursWorked"): for each employee the regular,
// overtime and paid time off hours of every week that overlaps the period,
// cut to the period, with gross wages on request; employee, department and
// report totals. The week and pay arithmetic is the time card's own
// (TWorkWeekRecClass, WeeklyPay); this file only adds up what it prints.
#include "people/Money.h"
#include "reports/HVReport.h"

#include "timekeeping/PeriodLoader.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;

class THoursWorkedReport : public ReportGenerator {
public:
    // Pay cells in the order regular, overtime, other, shift regular, shift
    // overtime, shift other.
    using Pay = std::array<Money, 6>;
    struct WeekLine {
        double firstDay = 0;
        double lastDay = 0;
        float regular = 0;
        float overtime = 0;
        float other = 0;
        Pay pay{};
    };
    // What one employee block prints, read in one read transaction.
    struct EmployeeWeeks {
        bool found = false;
        std::vector<WeekLine> weeks;
    };
    // Hours in double: a year of many employees leaves single precision.
    struct Totals {
        double regular = 0;
        double overtime = 0;
        double other = 0;
        Pay pay{};
        void add(const Totals& t);
    };

    THoursWorkedReport(THourvaneDataMod& dm, ReportOptions& options, const std::vector<SelectionEntry>& selection);

    void header(report::ReportCanvas& canvas) override;
    void body(report::ReportCanvas& canvas) override;

    EmployeeWeeks collect(std::int32_t empID);

private:
    PeriodLoader& loader();
    void setBodyTabs(report::ReportCanvas& c) const;
    // Prints the pay cells (one line, or two with the shift differential on
    // its own) and returns them as printed, for the totals.
    Pay payLines(report::ReportCanvas& c, const Pay& pay) const;
    void hourLine(report::ReportCanvas& c, double regular, double overtime, double other) const;
    void continuation(report::ReportCanvas& c, const std::string& name, const std::string& dept) const;
    Totals employeeBlock(report::ReportCanvas& c, std::int32_t empID, const std::string& name, const std::string& dept);
    void totalBlock(report::ReportCanvas& c, const char* label, const Totals& t) const;

    THourvaneDataMod& m_dm;
    ReportOptions& m_options;
    const std::vector<SelectionEntry>& m_selection;
    int m_blocks = 0;
    std::unique_ptr<PeriodLoader> m_loader; // for the run's period
};

} // namespace hv
