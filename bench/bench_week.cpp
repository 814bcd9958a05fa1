// Loading and computing every employee-week of a year, as the reports and the
// export do (through the period loader) and as the time card window does (one
// week at a time), on a generated folder of 500 employees and 2 years; then the
// benefit balance grid of every employee, one employee at a time (the
// employee window) and from inputs read once for all (a report or the command
// line). Prints weeks per second and SQL statements per week and employee.
#include "engine/Query.h"
#include "people/TEmp.h"
#include "platform/DateUtil.h"
#include "ports/GridView.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempDir.h"
#include "timekeeping/PeriodLoader.h"
#include "timekeeping/WorkUtil.h"
#include "timeoff/Balances.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace hv;

namespace {

constexpr int kEmployees = 500;
constexpr int kWeeks = 52;
const double kLastWeekEnd = EncodeDate(2025, 12, 27); // the generator's default last day, a Saturday

long long g_statements = 0;
double g_sink = 0; // the hours of every week, summed as the loader gave them

int countStatement(unsigned, void*, void*, void*)
{
    ++g_statements;
    return 0;
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
                                std::to_string(kEmployees) + " --years 2 > /dev/null";
        if (std::system(cmd.c_str()) != 0) {
            std::fprintf(stderr, "bench_week: hv_generate failed\n");
            std::exit(1);
        }
        resetAppState();
        resetGlobalSettings();
        // Weeks end on Saturdays, as the generator's do.
        globalSettings().firstDate = kLastWeekEnd + 1;
        appState().lockIdentity = "BENCH";
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

// The reports' and the export's way: each employee's year through the period
// loader, a few statements per employee.
void BM_LoadAndComputeYear(benchmark::State& state)
{
    Folder& f = folder();
    sqlite3_trace_v2(f.dm->HourvaneDB.handle(), SQLITE_TRACE_STMT, countStatement, nullptr);
    long long weeks = 0;
    double seconds = 0;
    g_sink = 0;
    g_statements = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        PeriodLoader period(*f.dm, kLastWeekEnd - 7.0 * (kWeeks - 1) - 6, kLastWeekEnd);
        for (int emp = 1; emp <= kEmployees; ++emp) {
            period.Load(emp);
            period.ForEachWeek([&](const TWorkWeekRecClass& week) {
                g_sink += week.RegularTotal() + week.OvertimeTotal();
                ++weeks;
            });
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    sqlite3_trace_v2(f.dm->HourvaneDB.handle(), 0, nullptr, nullptr);
    state.counters["weeks_per_s"] = double(weeks) / seconds;
    state.counters["sql_per_week"] = double(g_statements) / double(weeks);
    std::printf("week: %lld employee-weeks in %.2f s per pass: %.0f weeks/s, %.2f SQL statements per week; "
                "hours %.1f\n",
                weeks / (long long)state.iterations(), seconds / double(state.iterations()), double(weeks) / seconds,
                double(g_statements) / double(weeks), g_sink);
}
BENCHMARK(BM_LoadAndComputeYear)->Unit(benchmark::kMillisecond)->Iterations(1);

// The time card window's way, one week at a time, for comparison: the hours
// must be the same as the loader's.
void BM_LoadWeekByWeek(benchmark::State& state)
{
    Folder& f = folder();
    sqlite3_trace_v2(f.dm->HourvaneDB.handle(), SQLITE_TRACE_STMT, countStatement, nullptr);
    TWorkWeekRecClass week(*f.dm);
    long long weeks = 0;
    double seconds = 0;
    double sink = 0;
    g_statements = 0;
    for (auto _ : state) {
        auto t0 = std::chrono::steady_clock::now();
        for (int emp = 1; emp <= kEmployees; ++emp) {
            week.SetEmployee(emp);
            for (int w = 0; w < kWeeks; ++w) {
                week.SetWeekEnd(kLastWeekEnd - 7.0 * w);
                week.Load();
                sink += week.RegularTotal() + week.OvertimeTotal();
                ++weeks;
            }
        }
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    sqlite3_trace_v2(f.dm->HourvaneDB.handle(), 0, nullptr, nullptr);
    state.counters["weeks_per_s"] = double(weeks) / seconds;
    state.counters["sql_per_week"] = double(g_statements) / double(weeks);
    std::printf("week by week: %lld weeks in %.2f s per pass: %.0f weeks/s, %.1f SQL statements per week; "
                "hours %.1f%s\n",
                weeks / (long long)state.iterations(), seconds / double(state.iterations()), double(weeks) / seconds,
                double(g_statements) / double(weeks), sink, sink == g_sink ? "" : " (NOT the loader's hours)");
}
BENCHMARK(BM_LoadWeekByWeek)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BalanceGridEveryEmployee(benchmark::State& state)
{
    Folder& f = folder();
    TEmployeeRecClass emp(*f.dm);
    MemoryGrid grid;
    long long numbers = 0, stars = 0;
    sqlite3_trace_v2(f.dm->HourvaneDB.handle(), SQLITE_TRACE_STMT, countStatement, nullptr);
    g_statements = 0;
    for (auto _ : state) {
        for (int id = 1; id <= kEmployees; ++id) {
            emp.SetEmpID(id);
            emp.LoadByID();
            FillBalanceGrid(*f.dm, grid, emp, 16);
            for (int row = 0; row < grid.rowCount(); ++row)
                ++(grid.cell(row, 1) == "***" ? stars : numbers);
        }
    }
    sqlite3_trace_v2(f.dm->HourvaneDB.handle(), 0, nullptr, nullptr);
    const double employees = double(kEmployees) * double(state.iterations());
    state.counters["employees_per_s"] = benchmark::Counter(employees, benchmark::Counter::kIsRate);
    state.counters["sql_per_employee"] = double(g_statements) / employees;
    // Rows with "***" are the error path (not eligible, no rule); most rows must be numbers.
    std::printf("balances: %.1f SQL statements per employee, %lld rows with numbers, %lld with \"***\"\n",
                double(g_statements) / employees, numbers, stars);
}
BENCHMARK(BM_BalanceGridEveryEmployee)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_BalanceGridPreloaded(benchmark::State& state)
{
    Folder& f = folder();
    MemoryGrid grid;
    long long rows = 0;
    sqlite3_trace_v2(f.dm->HourvaneDB.handle(), SQLITE_TRACE_STMT, countStatement, nullptr);
    g_statements = 0;
    for (auto _ : state) {
        const std::vector<BenefitTerms> benefits = loadBenefits(*f.dm);
        const auto records = loadAllBenefitRecords(*f.dm);
        const EmployeeBenefitRecords none;
        engine::Query employees(f.dm->HourvaneDB);
        employees.addSql("select EmpID, StartDate, EndDate, EligibleFlag from Employee");
        for (employees.open(); !employees.eof(); employees.next()) {
            const EmploymentTerms terms{employees.field(1).asDateTime(),
                                        employees.field(2).isNull() ? 0.0 : employees.field(2).asDateTime(),
                                        employees.field(3).asBoolean()};
            const auto mine = records.find(std::int32_t(employees.field(0).asInteger()));
            FillBalanceGrid(grid,
                            benefitBalances(benefits, terms, mine == records.end() ? none : mine->second,
                                            userYearStart(), EncodeDate(2025, 12, 27)),
                            "#0.00", 16);
            rows += grid.rowCount();
        }
    }
    sqlite3_trace_v2(f.dm->HourvaneDB.handle(), 0, nullptr, nullptr);
    const double employees = double(kEmployees) * double(state.iterations());
    state.counters["employees_per_s"] = benchmark::Counter(employees, benchmark::Counter::kIsRate);
    std::printf("balances preloaded: %lld SQL statements for %d employees, %lld rows\n", g_statements, kEmployees,
                rows);
}
BENCHMARK(BM_BalanceGridPreloaded)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
