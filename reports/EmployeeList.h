#pragma once
// The employee information list ("EmpList"): per employee his personal
// information with the custom data items, his comments, his benefit
// balances and his wage history, each section on request.
#include "reports/HVReport.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace hv {

class THourvaneDataMod;

class TEmployeeListReport : public ReportGenerator {
public:
    // One employee as the list prints him, read in one read transaction.
    struct Sheet {
        bool found = false;
        std::string fullName, empCode, department, position, address1, address2, cityLine, homePhone, contact,
            relationship, dayPhone, nightPhone, comments;
        double startDate = 0;
        double endDate = 0;
        bool eligible = false;
        std::vector<std::pair<std::string, std::string>> items; // description, value
        std::vector<std::vector<std::string>> balances;         // benefit, usable, taken, balance
        struct Wage {
            std::string amount, per, start, end;
            bool exempt = false;
        };
        std::vector<Wage> wages; // last to first
    };

    TEmployeeListReport(THourvaneDataMod& dm, ReportOptions& options, const std::vector<SelectionEntry>& selection);

    void header(report::ReportCanvas& canvas) override;
    void body(report::ReportCanvas& canvas) override;

    Sheet collect(std::int32_t empID) const;

private:
    void employeeBlock(report::ReportCanvas& c, const Sheet& s, const std::string& listText) const;
    void pageCheck(report::ReportCanvas& c, int lines, const std::string& name) const;
    void personal(report::ReportCanvas& c, const Sheet& s) const;
    void additional(report::ReportCanvas& c, const Sheet& s) const;
    void commentsSection(report::ReportCanvas& c, const Sheet& s) const;
    void balancesSection(report::ReportCanvas& c, const Sheet& s) const;
    void wagesSection(report::ReportCanvas& c, const Sheet& s) const;

    THourvaneDataMod& m_dm;
    ReportOptions& m_options;
    const std::vector<SelectionEntry>& m_selection;
};

} // namespace hv
