#pragma once
// The department list ("DeptList") and the time off reason list: the
// chosen departments with code, active flag and manager and, on request,
// their employees; every reason with its flags and the accrual policies of
// the benefits.
#include "reports/HVReport.h"

#include <memory>
#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;

class TDeptListReport : public ReportGenerator {
public:
    TDeptListReport(THourvaneDataMod& dm, ReportOptions& options, const std::vector<SelectionEntry>& selection);
    void header(report::ReportCanvas& canvas) override;
    void body(report::ReportCanvas& canvas) override;

private:
    void setTabs(report::ReportCanvas& c, double fourth) const;
    void employeeLines(report::ReportCanvas& c, std::int32_t deptID) const;

    THourvaneDataMod& m_dm;
    ReportOptions& m_options;
    const std::vector<SelectionEntry>& m_selection;
};

class TReasonListReport : public ReportGenerator {
public:
    explicit TReasonListReport(THourvaneDataMod& dm);
    void header(report::ReportCanvas& canvas) override;
    void body(report::ReportCanvas& canvas) override;

    // "at least" and "up to" month figures of a policy row: number and unit.
    static std::pair<std::string, std::string> AtLeastText(int months);
    static std::pair<std::string, std::string> UpToText(int months);

private:
    THourvaneDataMod& m_dm;
};

// The reason list's own host: the setup window in its destination use with
// Preview preselected, then the printer, the preview or a PDF file.
class TrptReasonList {
public:
    TrptReasonList(THourvaneDataMod& dm, ReportWindowService& windows, report::ReportPrinter& printer);
    ~TrptReasonList();
    bool Run();
    const report::PageSet& Pages() const;

private:
    std::unique_ptr<TfrmHVReport> m_host;
};

} // namespace hv
