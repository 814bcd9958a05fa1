// Table engine against raw SQLite prepared statements doing the same work on the
// same file layout, in one run. Prints engine/raw throughput ratios at the end.
#include "engine/Database.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "storage/CreateTables.h"
#include "tests/support/TempDir.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

using namespace hv;
using namespace hv::engine;

namespace {

constexpr int kRows = 100000;
constexpr int kSums = 10000;
constexpr double kFirstDay = 44927; // 1 January 2023

// Employee e works day d: 400 employees, 250 days.
int empOf(int i) { return i % 400 + 1; }
double dayOf(int i) { return kFirstDay + i / 400; }

struct Folder {
    test::TempDir dir;
    Database db;
    Folder()
    {
        db.setDirectory(dir.folder());
        CreateTables(db);
        db.connect();
    }
};

void fillEngine(Folder& f, Table& t)
{
    f.db.startTransaction();
    Field emp = t.fieldByName("EmpID"), day = t.fieldByName("WeekDate"), in = t.fieldByName("TimeIn1");
    for (int i = 0; i < kRows; ++i) {
        t.append();
        emp.setAsInteger(empOf(i));
        day.setAsDateTime(dayOf(i));
        in.setAsDateTime(8.0 / 24);
        t.post();
    }
    f.db.commit();
}

sqlite3* openRaw(const std::string& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    return db;
}

void fillRaw(sqlite3* db)
{
    sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO workday (EmpID, WeekDate, SequenceNum, TimeIn1) VALUES (?1, ?2, 0, ?3)", -1,
                       &st, nullptr);
    for (int i = 0; i < kRows; ++i) {
        sqlite3_bind_int(st, 1, empOf(i));
        std::string d = dateTimeToText(dayOf(i), FieldType::Date);
        sqlite3_bind_text(st, 2, d.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, "08:00:00", -1, SQLITE_STATIC);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

void BM_Append_Engine(benchmark::State& state)
{
    for (auto _ : state) {
        Folder f;
        Table t(f.db);
        t.setTableName("workday.dat");
        t.open();
        fillEngine(f, t);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Append_Raw(benchmark::State& state)
{
    for (auto _ : state) {
        Folder f;
        f.db.disconnect();
        sqlite3* db = openRaw(f.dir.folder() + "workday.dat");
        fillRaw(db);
        sqlite3_close(db);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

struct Filled {
    Folder f;
    Table t{f.db};
    Filled()
    {
        t.setTableName("workday.dat");
        t.open();
        fillEngine(f, t);
        Table off(f.db);
        off.setTableName("timeoff.dat");
        off.open();
        f.db.startTransaction();
        for (int i = 0; i < kRows / 10; ++i) {
            off.append();
            off.fieldByName("EmpID").setAsInteger(empOf(i));
            off.fieldByName("WeekDate").setAsDateTime(dayOf(i * 10));
            off.fieldByName("ReasonID").setAsInteger(1 + i % 3);
            off.fieldByName("Hours").setAsFloat(8);
            off.post();
        }
        f.db.commit();
    }
};

Filled& filled()
{
    static Filled data;
    return data;
}

void BM_Find_Engine(benchmark::State& state)
{
    Table& t = filled().t;
    double sum = 0;
    for (auto _ : state)
        for (int i = 0; i < kRows; ++i) {
            t.findKey({Value(std::int64_t(empOf(i))), Value(dayOf(i)), Value(std::int64_t(0))});
            sum += t.fieldByName("TimeIn1").asDateTime();
        }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Find_Raw(benchmark::State& state)
{
    sqlite3* db = openRaw(filled().f.dir.folder() + "workday.dat");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT rowid, EmpID, WeekDate, SequenceNum, TimeIn1, TimeOut1, TimeIn2, TimeOut2, Shift, "
                       "ApprovedBy, ApprovedWhen, LockedBy FROM workday WHERE EmpID = ?1 AND WeekDate = ?2 AND "
                       "SequenceNum = ?3",
                       -1, &st, nullptr);
    double sum = 0;
    for (auto _ : state)
        for (int i = 0; i < kRows; ++i) {
            sqlite3_bind_int(st, 1, empOf(i));
            std::string d = dateTimeToText(dayOf(i), FieldType::Date);
            sqlite3_bind_text(st, 2, d.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(st, 3, 0);
            if (sqlite3_step(st) == SQLITE_ROW) {
                double v = 0;
                textToDateTime(reinterpret_cast<const char*>(sqlite3_column_text(st, 4)), v);
                sum += v;
            }
            sqlite3_reset(st);
        }
    benchmark::DoNotOptimize(sum);
    sqlite3_finalize(st);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_FilteredWalk_Engine(benchmark::State& state)
{
    Table& t = filled().t;
    std::int64_t n = 0;
    for (auto _ : state) {
        t.setFilter("WeekDate between '2023-01-01' and '2023-12-31'");
        t.setFiltered(true);
        for (t.first(); !t.eof(); t.next())
            n += t.fieldByName("EmpID").asInteger();
        t.setFiltered(false);
    }
    benchmark::DoNotOptimize(n);
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_FilteredWalk_Raw(benchmark::State& state)
{
    sqlite3* db = openRaw(filled().f.dir.folder() + "workday.dat");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT EmpID, WeekDate, SequenceNum, TimeIn1, TimeOut1, TimeIn2, TimeOut2, Shift, "
                       "ApprovedBy, ApprovedWhen, LockedBy FROM workday WHERE WeekDate BETWEEN ?1 AND ?2 "
                       "ORDER BY EmpID, WeekDate, SequenceNum",
                       -1, &st, nullptr);
    std::int64_t n = 0;
    for (auto _ : state) {
        sqlite3_bind_text(st, 1, "2023-01-01", -1, SQLITE_STATIC);
        sqlite3_bind_text(st, 2, "2023-12-31", -1, SQLITE_STATIC);
        while (sqlite3_step(st) == SQLITE_ROW)
            n += sqlite3_column_int64(st, 0);
        sqlite3_reset(st);
    }
    benchmark::DoNotOptimize(n);
    sqlite3_finalize(st);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_TimeOffSum_Engine(benchmark::State& state)
{
    Filled& data = filled();
    Query q(data.f.db);
    for (const char* line : {"select sum(Hours) as TotalHours", "from TimeOff", "where EmpID = :EmpID",
                             "   and ReasonID = :ReasonID", "   and WeekDate >= :StartDate",
                             "   and WeekDate <= :EndDate"})
        q.addSql(line);
    q.prepare();
    double total = 0;
    for (auto _ : state)
        for (int i = 0; i < kSums; ++i) {
            q.setParamInteger("EmpID", empOf(i));
            q.setParamInteger("ReasonID", 1 + i % 3);
            q.setParamDate("StartDate", kFirstDay);
            q.setParamDate("EndDate", kFirstDay + 364);
            q.open();
            total += q.fieldByName("TotalHours").asFloat();
            q.close();
        }
    benchmark::DoNotOptimize(total);
    state.SetItemsProcessed(state.iterations() * kSums);
}

void BM_TimeOffSum_Raw(benchmark::State& state)
{
    sqlite3* db = openRaw(filled().f.dir.folder() + "timeoff.dat");
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "select sum(Hours) as TotalHours from TimeOff where EmpID = ?1 and ReasonID = ?2 and "
                       "WeekDate >= ?3 and WeekDate <= ?4",
                       -1, &st, nullptr);
    double total = 0;
    for (auto _ : state)
        for (int i = 0; i < kSums; ++i) {
            sqlite3_bind_int(st, 1, empOf(i));
            sqlite3_bind_int(st, 2, 1 + i % 3);
            std::string a = dateTimeToText(kFirstDay, FieldType::Date);
            std::string b = dateTimeToText(kFirstDay + 364, FieldType::Date);
            sqlite3_bind_text(st, 3, a.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 4, b.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(st) == SQLITE_ROW)
                total += sqlite3_column_double(st, 0);
            sqlite3_reset(st);
        }
    benchmark::DoNotOptimize(total);
    sqlite3_finalize(st);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kSums);
}

// A run of a few dozen milliseconds swings with the machine's other work:
// each figure is the median of several runs.
constexpr int kRepeats = 7;

BENCHMARK(BM_Append_Engine)->Iterations(2)->Repetitions(kRepeats)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Append_Raw)->Iterations(2)->Repetitions(kRepeats)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Find_Engine)->Iterations(3)->Repetitions(kRepeats)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Find_Raw)->Iterations(3)->Repetitions(kRepeats)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilteredWalk_Engine)->Iterations(3)->Repetitions(kRepeats)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilteredWalk_Raw)->Iterations(3)->Repetitions(kRepeats)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeOffSum_Engine)->Iterations(3)->Repetitions(kRepeats)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeOffSum_Raw)->Iterations(3)->Repetitions(kRepeats)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// Collects the median items per second so that each engine figure can be set beside its raw one.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& r : runs) {
            auto it = r.counters.find("items_per_second");
            if (it != r.counters.end() && r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                m_rates[r.run_name.function_name] = it->second.value;
        }
    }
    void printRatios() const
    {
        std::printf("\nengine/raw throughput (medians of %d runs)\n", kRepeats);
        for (const char* what : {"Append", "Find", "FilteredWalk", "TimeOffSum"}) {
            const std::string base = std::string("BM_") + what;
            auto e = m_rates.find(base + "_Engine"), r = m_rates.find(base + "_Raw");
            if (e != m_rates.end() && r != m_rates.end() && r->second > 0)
                std::printf("  %-13s %.2f\n", what, e->second / r->second);
        }
    }

private:
    std::map<std::string, double> m_rates;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    return 0;
}
