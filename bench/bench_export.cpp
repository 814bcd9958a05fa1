// The export of a year: the generator's folder of 500 employees, every item
// ticked, comma delimited, for Hours Worked Data and Hourvane Detail Data.
// Beside them the year's weeks loaded and computed alone, read employee by
// employee as the export reads, so the export's own cost (pay, clipping,
// formatting, writing) shows. Prints records per
// second.
#include "engine/Database.h"
#include "exchange/ExportRun.h"
#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempDir.h"
#include "timekeeping/WorkUtil.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace hv;

namespace {

constexpr int kEmployees = 500;
const double kFirstDay = EncodeDate(2024, 12, 29); // a Sunday
const double kLastDay = EncodeDate(2025, 12, 27);  // the generator's last day, a Saturday

double g_weekSeconds = 0;
double g_weekCpu = 0;

// Processor time of the process (user and system): on a machine shared with
// other work it varies less than the wall clock.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
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
            std::fprintf(stderr, "bench_export: hv_generate failed\n");
            std::exit(1);
        }
        setRegional(RegionalSettings::usEnglish());
        resetAppState();
        resetGlobalSettings();
        globalSettings().firstDate = kFirstDay; // weeks end on Saturdays, as the generator's
        appState().lockIdentity = "BENCH";
        appState().managerAccess = true;
        dm = std::make_unique<THourvaneDataMod>(
            DataModuleOptions{program.folder(), "Hourvane3.ini", nullptr, &appState()});
    }
    ~Folder() { unsetenv("HOURVANE_CONFIG_DIR"); }
};

Folder& folder()
{
    static Folder f;
    return f;
}

void BM_WeeksAlone(benchmark::State& state)
{
    Folder& f = folder();
    TWorkWeekRecClass week(*f.dm);
    float sink = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = cpuSeconds();
        for (int emp = 1; emp <= kEmployees; ++emp) {
            engine::ReadTransaction reading(f.dm->HourvaneDB); // as the export reads
            week.SetEmployee(emp);
            for (double end = kFirstDay + 6; end <= kLastDay; end += 7) {
                week.SetWeekEnd(end);
                week.Load();
                sink += week.RegularTotal();
            }
        }
        g_weekSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        g_weekCpu = cpuSeconds() - c0;
    }
    benchmark::DoNotOptimize(sink);
    std::printf("weeks alone: %d employees x 52 weeks in %.2f s (%.2f s processor time)\n", kEmployees, g_weekSeconds,
                g_weekCpu);
}
BENCHMARK(BM_WeeksAlone)->Unit(benchmark::kMillisecond)->Iterations(1);

void exportKind(benchmark::State& state, ExportKind kind, const char* label)
{
    Folder& f = folder();
    ExportRequest request;
    request.kind = kind;
    request.format = ExportFormat::Comma;
    request.fileName = f.program.folder() + "export.txt";
    request.managerAccess = true;
    if (!LoadExportFields(*f.dm, kind, HV_PROGRAM_DIR, true, request.fields)) {
        state.SkipWithError("no field definition files beside the program");
        return;
    }
    for (auto& field : request.fields)
        field.Ticked = true;
    request.periodStart = kFirstDay;
    request.periodEnd = kLastDay;
    ExportResult result;
    double seconds = 0;
    double cpu = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = cpuSeconds();
        result = RunExport(*f.dm, request);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        cpu = cpuSeconds() - c0;
    }
    if (result.outcome != ExportResult::Outcome::Completed) {
        state.SkipWithError("the export did not finish");
        return;
    }
    state.counters["records_per_s"] = double(result.records) / seconds;
    std::printf("%s: %d records in %.2f s (%.2f s processor time): %.0f records/s; the weeks alone take %.2f s "
                "(%.2f s)\n",
                label, result.records, seconds, cpu, double(result.records) / seconds, g_weekSeconds, g_weekCpu);
}

void BM_ExportHoursWorked(benchmark::State& state) { exportKind(state, ExportKind::HoursWorked, "Hours Worked Data"); }
BENCHMARK(BM_ExportHoursWorked)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ExportDetail(benchmark::State& state) { exportKind(state, ExportKind::Detail, "Hourvane Detail Data"); }
BENCHMARK(BM_ExportDetail)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
