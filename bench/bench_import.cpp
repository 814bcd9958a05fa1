// The import of a large time card file: the generator's folder of 500
// employees and a comma file of 100,000 lines (employee ID, date, two pairs)
// on days the folder lacks, update mode, one transaction, from the start to
// the commit. Beside it the same rows appended through the table engine
// alone, so the ratio shows what the record classes and the import add.
// Prints lines per second and the peak memory of the process.
#include "engine/Table.h"
#include "exchange/ImportFields.h"
#include "exchange/ImportRun.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

using namespace hv;

namespace {

constexpr int kEmployees = 500;
constexpr int kLines = 100000;
const double kFirstNewDay = EncodeDate(2026, 1, 1); // after the generator's last day

double g_importSeconds = 0;
double g_engineSeconds = 0;

// Processor time of the process (user and system): on a machine shared with
// other work it varies less than the wall clock.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

struct Folder {
    test::TempDir program;
    test::TempDir config;
    test::ScriptedMessageService messages;
    std::unique_ptr<THourvaneDataMod> dm;
    std::string file;

    Folder()
    {
        setenv("HOURVANE_CONFIG_DIR", config.path().c_str(), 1);
        const std::string data = program.folder() + "Data";
        const std::string cmd = std::string("'") + HV_GENERATE + "' '" + data + "' --employees " +
                                std::to_string(kEmployees) + " --years 1 > /dev/null";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "bench_import: hv_generate failed\n");
            std::exit(1);
        }
        setRegional(RegionalSettings::usEnglish());
        resetAppState();
        resetGlobalSettings();
        appState().lockIdentity = "BENCH";
        dm = std::make_unique<THourvaneDataMod>(
            DataModuleOptions{program.folder(), "Hourvane3.ini", nullptr, &appState()});

        // Employee codes E1001.. as the generator makes them; 200 new days each.
        file = program.folder() + "cards.txt";
        std::ofstream out(file, std::ios::binary);
        for (int line = 0; line < kLines; ++line) {
            const int employee = line % kEmployees;
            const double day = kFirstNewDay + line / kEmployees;
            out << 'E' << 1001 + employee << ',' << FormatDateTime("m/d/yyyy", day)
                << ",8:00 AM,12:00 PM,12:30 PM,4:30 PM\r\n";
        }
    }
    ~Folder() { unsetenv("HOURVANE_CONFIG_DIR"); }
};

Folder& folder()
{
    static Folder f;
    return f;
}

void BM_ImportTimeCards(benchmark::State& state)
{
    Folder& f = folder();
    ImportRequest request;
    request.type = ImportType::TimeCard;
    request.format = ImportFormat::Comma;
    request.fileName = f.file;
    if (!LoadImportFields(request.type, HV_PROGRAM_DIR, request.fields)) {
        state.SkipWithError("no field definition files beside the program");
        return;
    }
    request.columnField = {2, 3, 4, 5, 6, 7};
    for (int position : request.columnField)
        request.fields[std::size_t(position)].Mapped = true;
    ImportResult result;
    double cpu = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = cpuSeconds();
        result = RunImport(*f.dm, request);
        cpu = cpuSeconds() - c0;
        g_importSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    if (result.imported != kLines) {
        state.SkipWithError("not every line was imported");
        return;
    }
    state.counters["lines_per_s"] = double(kLines) / g_importSeconds;
    state.counters["peak_MB"] = peakMegabytes();
    std::printf("import: %d lines in %.2f s (%.2f s processor time): %.0f lines/s, peak memory %.0f MB\n", kLines,
                g_importSeconds, cpu, double(kLines) / g_importSeconds, peakMegabytes());
}
BENCHMARK(BM_ImportTimeCards)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_EngineAppendsTheSameRows(benchmark::State& state)
{
    Folder& f = folder();
    engine::Table& t = f.dm->tblWorkDay;
    const double later = 1000; // days after the imported ones: no key is met twice
    double cpu = 0;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const double c0 = cpuSeconds();
        f.dm->HourvaneDB.startTransaction();
        for (int line = 0; line < kLines; ++line) {
            t.append();
            t.fieldByName("EmpID").setAsInteger(1 + line % kEmployees);
            t.fieldByName("WeekDate").setAsDateTime(kFirstNewDay + later + line / kEmployees);
            t.fieldByName("SequenceNum").setAsInteger(0);
            t.fieldByName("TimeIn1").setAsDateTime(EncodeTime(8, 0));
            t.fieldByName("TimeOut1").setAsDateTime(EncodeTime(12, 0));
            t.fieldByName("TimeIn2").setAsDateTime(EncodeTime(12, 30));
            t.fieldByName("TimeOut2").setAsDateTime(EncodeTime(16, 30));
            t.fieldByName("Shift").setAsInteger(1);
            t.post();
        }
        f.dm->HourvaneDB.commit();
        cpu = cpuSeconds() - c0;
        g_engineSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    state.counters["rows_per_s"] = double(kLines) / g_engineSeconds;
    std::printf("engine alone: %d rows in %.2f s (%.2f s processor time): %.0f rows/s; the import takes %.1f "
                "times as long\n",
                kLines, g_engineSeconds, cpu, double(kLines) / g_engineSeconds, g_importSeconds / g_engineSeconds);
}
BENCHMARK(BM_EngineAppendsTheSameRows)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
