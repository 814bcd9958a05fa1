#pragma once
// The report host's windows as the program shows them: the setup window in
// both uses, the preview and the status window.
#include "reports/ReportWindows.h"
#include "reports/windows/ReportWindowServices.h"

class QWidget;

namespace hv {

class FileDialogService;

class QtReportWindows : public ReportWindowService {
public:
    QtReportWindows(QWidget* owner, FileDialogService& fileDialogs, PrinterSetupDialog printerSetup);

    bool printRangeSetup(report::ReportSettings& settings, int pageCount, report::ReportPrinter* printer) override;
    bool destinationSetup(report::ReportSettings& settings, report::ReportPrinter* printer) override;
    void preview(const std::string& pageFile, report::ReportPrinter* printer, report::ReportSettings& settings,
                 const PreviewOptions& options) override;
    std::unique_ptr<ReportStatus> status(const std::string& caption) override;

private:
    QWidget* m_owner;
    FileDialogService& m_fileDialogs;
    PrinterSetupDialog m_printerSetup;
};

} // namespace hv
