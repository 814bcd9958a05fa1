#include "reportengine/windows/QtReportPrinter.h"

#include "reportengine/PageRenderer.h"

#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace hv::report {

namespace {

QPrinterInfo infoFor(const std::string& name) { return QPrinterInfo::printerInfo(QString::fromStdString(name)); }

} // namespace

QtReportPrinter::QtReportPrinter()
{
    const QPrinterInfo def = QPrinterInfo::defaultPrinter();
    if (!def.isNull())
        m_name = def.printerName().toStdString();
}

bool QtReportPrinter::select(const std::string& name)
{
    if (infoFor(name).isNull())
        return false;
    m_name = name;
    return true;
}

std::string QtReportPrinter::port() const
{
    const QPrinterInfo info = infoFor(m_name);
    // Qt does not show the device's port; its location says where it is.
    const QString location = info.location();
    return location.isEmpty() ? std::string("this computer") : location.toStdString();
}

int QtReportPrinter::maxCopies() const
{
    if (m_name.empty())
        return 1;
    QPrinter printer;
    printer.setPrinterName(QString::fromStdString(m_name));
    return printer.supportsMultipleCopies() ? kMaxCopies : 1;
}

bool QtReportPrinter::canCollate() const { return !m_name.empty(); }

bool QtReportPrinter::canDuplex() const
{
    const QList<QPrinter::DuplexMode> modes = infoFor(m_name).supportedDuplexModes();
    return modes.size() > 1;
}

PaperSize QtReportPrinter::paper() const
{
    const QPrinterInfo info = infoFor(m_name);
    if (info.isNull())
        return {};
    const QSizeF size = info.defaultPageSize().size(QPageSize::Inch);
    if (size.isEmpty())
        return {};
    return {std::min(size.width(), size.height()), std::max(size.width(), size.height())};
}

bool QtReportPrinter::printPass(const std::vector<const Page*>& pages, const PrintJob& job, int pass, int passes,
                                const std::function<void(int)>& onPage, std::string& error)
{
    if (m_name.empty()) {
        error = "No printer is selected.";
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPrinterName(QString::fromStdString(m_name));
    printer.setFullPage(true);
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setCopyCount(job.copies);
    printer.setCollateCopies(job.collate);
    printer.setDuplex(job.duplex ? QPrinter::DuplexAuto : QPrinter::DuplexNone);
    QString docName = QStringLiteral("Hourvane Report");
    if (passes > 1)
        docName += QStringLiteral(" (copy %1 of %2)").arg(pass).arg(passes);
    printer.setDocName(docName);
    QPainter painter;
    if (!painter.begin(&printer)) {
        error = "The printer " + m_name + " could not start printing.";
        return false;
    }
    int number = 0;
    for (const Page* page : pages) {
        if (number++ > 0)
            printer.newPage();
        if (onPage)
            onPage(number);
        RenderPage(painter, *page, printer.logicalDpiX(), printer.logicalDpiY());
    }
    painter.end();
    return true;
}

} // namespace hv::report
