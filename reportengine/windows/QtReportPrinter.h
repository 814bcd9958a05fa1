#pragma once
// The report printer over Qt's print support: installed printers by name,
// full-page coordinates from the paper's corner, copies, collation, duplex
// and the printer's default paper.
#include "reportengine/ReportPrinter.h"

#include <string>

namespace hv::report {

class QtReportPrinter : public ReportPrinter {
public:
    // Starts on the system's default printer, when there is one.
    QtReportPrinter();

    bool select(const std::string& name) override;
    std::string name() const override { return m_name; }
    std::string port() const override;
    int maxCopies() const override;
    bool canCollate() const override;
    bool canDuplex() const override;
    PaperSize paper() const override;
    bool printPass(const std::vector<const Page*>& pages, const PrintJob& job, int pass, int passes,
                   const std::function<void(int)>& onPage, std::string& error) override;

private:
    std::string m_name;
};

} // namespace hv::report
