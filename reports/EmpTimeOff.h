#pragma once
// The time off taken report ("TimeOff"): each chosen employee's time off
// entries of the period and his hours per reason, with department and
// report tallies in the order of the reason list.
#include "reports/HVReport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;

class TEmpTimeOffReport : public ReportGenerator {
public:
    struct Entry {
        double date = 0;
        std::string reason;
        bool reasonMissing = false;
        float hours = 0;
    };

    TEmpTimeOffReport(THourvaneDataMod& dm, ReportOptions& options, const std::vector<SelectionEntry>& selection);

    void header(report::ReportCanvas& canvas) override;
    void body(report::ReportCanvas& canvas) override;

private:
    // Entry counts and hours (added in double) at one level.
    struct Pair {
        int count = 0;
        double hours = 0;
    };
    struct Tally {
        std::string reason;
        Pair employee, department, report;
    };

    std::vector<Entry> collect(std::int32_t empID) const;
    void employeeBlock(report::ReportCanvas& c, const std::vector<Entry>& entries, const std::string& name,
                       const std::string& dept);
    void continuation(report::ReportCanvas& c, const std::string& name, const std::string& dept) const;
    void tallyLine(report::ReportCanvas& c, const std::string& reason, double hours) const;
    // Department or report totals: the heading, then each tally with entries.
    void levelTotals(report::ReportCanvas& c, const std::string& heading, Pair Tally::*level);
    void noTimeOff(report::ReportCanvas& c) const;

    THourvaneDataMod& m_dm;
    ReportOptions& m_options;
    const std::vector<SelectionEntry>& m_selection;
    std::vector<Tally> m_tallies;
};

} // namespace hv
