// The hours worked report over a generated folder of 500 employees and one
// year: Detail with gross wages, every employee active in the year, laid out
// into pages only. Prints employee-weeks per second, SQL statements per
// employee-week and pages; then the time to write and read the page file and
// to render every page to PDF; then the whole of it through hourvane-cli.
#include "engine/Query.h"
#include "people/TEmp.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "ports/PickList.h"
#include "reportengine/PageFile.h"
#include "reportengine/PageRenderer.h"
#include "reportengine/ReportMetrics.h"
#include "reports/HoursWorked.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "storage/Prefer.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempDir.h"
#include "timekeeping/WeekClip.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace hv;

namespace {

constexpr int kEmployees = 500;
const double kLastDay = EncodeDate(2025, 12, 27); // the generator's default last day
const double kFirstDay = kLastDay - 364 - 6;

long long g_statements = 0;

int countStatement(unsigned, void*, void*, void*)
{
    ++g_statements;
    return 0;
}

double since(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct Folder {
    test::TempDir program;
    test::TempDir config;
    test::ScriptedMessageService messages;
    std::unique_ptr<THourvaneDataMod> dm;

    Folder()
    {
        setenv("HOURVANE_CONFIG_DIR", config.path().c_str(), 1);
        const std::string data = program.folder() + "Data";
        const std::string cmd = std::string("'") + HV_GENERATE + "' '" + data + "' --employees " +
                                std::to_string(kEmployees) + " --years 1 > /dev/null";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "bench_reports: hv_generate failed\n");
            std::exit(1);
        }
        resetAppState();
        resetGlobalSettings();
        appState().lockIdentity = "BENCH";
        dm = std::make_unique<THourvaneDataMod>(
            DataModuleOptions{program.folder(), "Hourvane3.ini", nullptr, &appState()});
        TPreferenceListClass cache(*dm);
        LoadGlobalSettings(cache);
    }
    ~Folder() { unsetenv("HOURVANE_CONFIG_DIR"); }
};

Folder& folder()
{
    static Folder f;
    return f;
}

void BM_HoursWorkedYear(benchmark::State& state)
{
    Folder& f = folder();
    std::string error;
    if (!report::RegisterReportFonts(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    ReportOptions options;
    options.printWages = true;
    options.periodStart = kFirstDay;
    options.periodEnd = kLastDay;
    std::vector<SelectionEntry> selection;
    {
        MemoryPickList active;
        TEmployeeRecClass(*f.dm).FillEmployeesForPeriod(active, -1, kLastDay, kFirstDay);
        for (int i = 0; i < active.count(); ++i)
            selection.push_back({active.text(i), active.id(i)});
    }
    long long weeks = 0;
    for (double w = FirstWeekEnd(kFirstDay); w - 6 <= kLastDay; w += 7)
        ++weeks;
    weeks *= (long long)selection.size();

    report::PageSet pages;
    double seconds = 0;
    sqlite3_trace_v2(f.dm->HourvaneDB.handle(), SQLITE_TRACE_STMT, countStatement, nullptr);
    g_statements = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        THoursWorkedReport generator(*f.dm, options, selection);
        report::ReportCanvas canvas;
        canvas.onPageHeader = [&](report::ReportCanvas& c) { generator.header(c); };
        canvas.Start();
        generator.body(canvas);
        pages = canvas.Finish();
        seconds += since(t0);
    }
    sqlite3_trace_v2(f.dm->HourvaneDB.handle(), 0, nullptr, nullptr);
    const double passes = double(state.iterations());
    state.counters["employee_weeks_per_s"] = double(weeks) * passes / seconds;
    state.counters["sql_per_employee_week"] = double(g_statements) / (double(weeks) * passes);
    state.counters["pages"] = double(pages.size());
    std::printf("hours worked: %zu employees, %lld employee-weeks in %.2f s: %.0f employee-weeks/s, %.2f SQL "
                "statements per employee-week, %zu pages\n",
                selection.size(), weeks, seconds / passes, double(weeks) * passes / seconds,
                double(g_statements) / (double(weeks) * passes), pages.size());

    // Without a target: the page file there and back, and every page to PDF.
    const std::string pageFile = f.config.path().string() + "/HVReport.rpt";
    auto t1 = std::chrono::steady_clock::now();
    if (!report::WritePageFile(pageFile, pages, error))
        state.SkipWithError(error.c_str());
    const double written = since(t1);
    t1 = std::chrono::steady_clock::now();
    report::PageSet back;
    if (!report::ReadPageFile(pageFile, back, error))
        state.SkipWithError(error.c_str());
    const double read = since(t1);
    t1 = std::chrono::steady_clock::now();
    if (!report::WritePdf(f.config.path().string() + "/report.pdf", back, error, "Hours Worked"))
        state.SkipWithError(error.c_str());
    std::printf("page file: written in %.2f s, read in %.2f s; PDF of %zu pages in %.2f s\n", written, read,
                back.size(), since(t1));
}
BENCHMARK(BM_HoursWorkedYear)->Unit(benchmark::kMillisecond)->Iterations(1);

// The same report as a script makes it: hourvane-cli to a PDF file, from the
// start of the program to its end. Three runs; the middle one counts.
void BM_HoursWorkedThroughTheCli(benchmark::State& state)
{
    Folder& f = folder();
    const std::string pdf = f.config.path().string() + "/cli.pdf";
    const std::string cmd = std::string("HOURVANE_MANAGER_PASSWORD=LANTERNS '") + HV_CLI + "' --data '" +
                            f.program.folder() + "Data' report hours-worked --from " +
                            FormatDateTime("yyyy-mm-dd", kFirstDay) + " --to " +
                            FormatDateTime("yyyy-mm-dd", kLastDay) + " --wages --pdf '" + pdf + "' > /dev/null 2>&1";
    std::vector<double> seconds;
    for (auto _ : state) {
        for (int run = 0; run < 3; ++run) {
            const auto t0 = std::chrono::steady_clock::now();
            if (std::system(cmd.c_str()) != 0) {
                state.SkipWithError("hourvane-cli failed");
                return;
            }
            seconds.push_back(since(t0));
        }
    }
    std::sort(seconds.begin(), seconds.end());
    const double median = seconds[seconds.size() / 2];
    state.counters["seconds"] = median;
    std::printf("hours worked through hourvane-cli to PDF: %.2f s (runs %.2f to %.2f s)\n", median, seconds.front(),
                seconds.back());
}
BENCHMARK(BM_HoursWorkedThroughTheCli)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
