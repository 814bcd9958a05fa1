#include "reports/windows/QtReportWindows.h"

#include "reportengine/windows/QtReportPrinter.h"
#include "reports/windows/QVPreFrm.h"
#include "reports/windows/QVSetFrm.h"
#include "reports/windows/ReportStatusWindow.h"

#include <QPrintDialog>
#include <QPrinter>

namespace hv {

using namespace report;

ReportWindowServices QtReportWindowServices()
{
    ReportWindowServices services;
    services.makePrinter = [] { return std::make_unique<QtReportPrinter>(); };
    services.printerSetup = [](QWidget* owner, const std::string& current) {
        QPrinter printer;
        if (!current.empty())
            printer.setPrinterName(QString::fromStdString(current));
        QPrintDialog dialog(&printer, owner);
        if (dialog.exec() != QDialog::Accepted)
            return std::string();
        return printer.printerName().toStdString();
    };
    return services;
}

QtReportWindows::QtReportWindows(QWidget* owner, FileDialogService& fileDialogs, PrinterSetupDialog printerSetup) :
    m_owner(owner), m_fileDialogs(fileDialogs), m_printerSetup(std::move(printerSetup))
{
}

bool QtReportWindows::printRangeSetup(ReportSettings& settings, int pageCount, ReportPrinter* printer)
{
    TQVSetupForm form(SetupUse::PrintRange, settings, pageCount, printer, m_fileDialogs, m_printerSetup, m_owner);
    return form.exec() == QDialog::Accepted;
}

bool QtReportWindows::destinationSetup(ReportSettings& settings, ReportPrinter* printer)
{
    TQVSetupForm form(SetupUse::Destination, settings, 0, printer, m_fileDialogs, m_printerSetup, m_owner);
    return form.exec() == QDialog::Accepted;
}

void QtReportWindows::preview(const std::string& pageFile, ReportPrinter* printer, ReportSettings& settings,
                              const PreviewOptions& options)
{
    ShowReportPreview(pageFile, printer, settings, options, m_fileDialogs, m_printerSetup, m_owner);
}

std::unique_ptr<ReportStatus> QtReportWindows::status(const std::string& caption)
{
    return std::make_unique<TfrmReportStatus>(caption, m_owner);
}

} // namespace hv
