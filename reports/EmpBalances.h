#pragma once
// The benefit balances report ("Balances"): each chosen employee's benefit
// balance table as of today, the same table the employee window shows.
#include "reports/HVReport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;

class TEmpBalancesReport : public ReportGenerator {
public:
    struct Row {
        std::string benefit, usable, taken, balance;
        bool marked = false;
    };
    struct EmployeeRows {
        bool found = false;
        std::string fullName;
        std::vector<Row> rows;
    };

    TEmpBalancesReport(THourvaneDataMod& dm, ReportOptions& options, const std::vector<SelectionEntry>& selection);

    void header(report::ReportCanvas& canvas) override;
    void body(report::ReportCanvas& canvas) override;

    EmployeeRows collect(std::int32_t empID) const;

private:
    void balanceBlock(report::ReportCanvas& c, const EmployeeRows& data, const std::string& name,
                      const std::string& dept) const;

    THourvaneDataMod& m_dm;
    ReportOptions& m_options;
    const std::vector<SelectionEntry>& m_selection;
};

} // namespace hv
