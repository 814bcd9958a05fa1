// Makes the README's picture of the hours worked report with the program's
// own report path: a generated folder of 8 employees, the report run through
// the File destination into a PDF, and its first page drawn by pdftoppm.
//   QT_QPA_PLATFORM=offscreen hv_report_picture docs/hours-worked.png
#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"
#include "ports/PickList.h"
#include "ports/PrinterQuery.h"
#include "reports/HVReport.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "storage/Prefer.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class Silent : public hv::ReportStatus {
public:
    void setText(const std::string&) override {}
};

// The File destination chosen in the setup step; nothing else is shown.
class FileDestination : public hv::ReportWindowService {
public:
    explicit FileDestination(std::string path) : m_path(std::move(path)) {}
    bool printRangeSetup(hv::report::ReportSettings&, int, hv::report::ReportPrinter*) override { return false; }
    bool destinationSetup(hv::report::ReportSettings& settings, hv::report::ReportPrinter*) override
    {
        settings.destination = hv::report::Destination::File;
        settings.outputFile = m_path;
        return true;
    }
    void preview(const std::string&, hv::report::ReportPrinter*, hv::report::ReportSettings&,
                 const hv::PreviewOptions&) override
    {
    }
    std::unique_ptr<hv::ReportStatus> status(const std::string&) override { return std::make_unique<Silent>(); }

private:
    std::string m_path;
};

// No printer is needed for a file.
class NoPrinter : public hv::report::ReportPrinter {
public:
    bool select(const std::string&) override { return false; }
    std::string name() const override { return {}; }
    std::string port() const override { return {}; }
    int maxCopies() const override { return 1; }
    bool canCollate() const override { return false; }
    bool canDuplex() const override { return false; }
    hv::report::PaperSize paper() const override { return {}; }
    bool printPass(const std::vector<const hv::report::Page*>&, const hv::report::PrintJob&, int, int,
                   const std::function<void(int)>&, std::string& error) override
    {
        error = "no printer";
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: hv_report_picture <out.png>\n");
        return 2;
    }
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const std::string folder = scratch.path().toStdString() + "/";
    setenv("HOURVANE_CONFIG_DIR", folder.c_str(), 1);
    const std::string generate = QCoreApplication::applicationDirPath().toStdString() + "/hv_generate";
    const std::string cmd = "'" + generate + "' '" + folder + "Data' --employees 8 --years 1 --seed 7 > /dev/null";
    if (std::system(cmd.c_str()) != 0)
        return 1;

    hv::setRegional(hv::RegionalSettings::usEnglish());
    hv::FixedClock today;
    today.setToday(hv::EncodeDate(2025, 12, 29));
    hv::setClock(&today);
    hv::AppState& state = hv::appState();
    state.lockIdentity = "README";
    state.programFolder = folder;
    hv::setPrinterQuery([] { return hv::SystemPrinter{}; });

    hv::THourvaneDataMod dm(hv::DataModuleOptions{folder, "Hourvane3.ini", nullptr, &state});
    hv::TPreferenceListClass cache(dm);
    hv::LoadGlobalSettings(cache);

    const double last = hv::EncodeDate(2025, 12, 27);
    const double first = last - 13;
    hv::MemoryPickList active;
    hv::TEmployeeRecClass(dm).FillEmployeesForPeriod(active, -1, last, first);

    const std::string pdf = folder + "hours-worked.pdf";
    FileDestination windows(pdf);
    NoPrinter printer;
    hv::TfrmHVReport host(dm, windows, printer);
    host.ReportName = "HoursWorked";
    host.SetSelectionList(active);
    host.Options.printWages = true;
    host.Options.periodStart = first;
    host.Options.periodEnd = last;
    if (!host.RunWithSetup())
        return 1;

    // The first page at 72 dpi, as pdftoppm (poppler-utils) draws it.
    const QString out = QString::fromLocal8Bit(argv[1]);
    QString base = out;
    base.chop(4); // ".png"
    QProcess pdftoppm;
    pdftoppm.start("pdftoppm",
                   {"-png", "-r", "72", "-f", "1", "-l", "1", "-singlefile", QString::fromStdString(pdf), base});
    hv::setClock(nullptr);
    return pdftoppm.waitForFinished(60000) && pdftoppm.exitCode() == 0 && QFile::exists(out) ? 0 : 1;
}
