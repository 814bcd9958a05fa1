// Fills a data folder with synthetic but plausible data, deterministic from a
// seed: departments, time off reasons with benefit rules, overtime policies,
// employees with wage histories and overtime assignments, opening balances,
// and years of punches and time off. Benchmarks and report tests use it.
//
//   hv_generate FOLDER [--employees N] [--years Y] [--seed S] [--end YYYY-MM-DD]
#include "engine/Database.h"
#include "engine/Table.h"
#include "storage/CreateTables.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

using namespace hv;
using namespace hv::engine;

namespace {

// Uniform integers from the engine's raw output, the same on every library.
class Random {
public:
    explicit Random(unsigned seed) : m_gen(seed) {}
    int between(int lo, int hi) { return lo + int(m_gen() % std::uint32_t(hi - lo + 1)); }
    bool chance(int percent) { return between(1, 100) <= percent; }

private:
    std::mt19937 m_gen;
};

double dayNumber(int y, int m, int d)
{
    using namespace std::chrono;
    return double(sys_days{year{y} / month{unsigned(m)} / day{unsigned(d)}}.time_since_epoch().count() + 25569);
}

int weekday(double day) { return (int(day) - 1 + 7000000) % 7; } // 0 = Sunday (1 Jan 1900 was a Monday)

struct Writer {
    Database& db;
    Table t;
    Writer(Database& d, const char* file) : db(d), t(d)
    {
        t.setTableName(file);
        t.open();
    }
    Writer& row()
    {
        t.append();
        return *this;
    }
    Writer& i(const char* f, std::int64_t v)
    {
        t.fieldByName(f).setAsInteger(v);
        return *this;
    }
    Writer& f(const char* f, double v)
    {
        t.fieldByName(f).setAsFloat(v);
        return *this;
    }
    Writer& d(const char* f, double v)
    {
        t.fieldByName(f).setAsDateTime(v);
        return *this;
    }
    Writer& s(const char* f, const std::string& v)
    {
        t.fieldByName(f).setAsString(v);
        return *this;
    }
    void post() { t.post(); }
};

const char* kLastNames[] = {"Anderson", "Baker", "Carter", "Diaz", "Evans", "Foster", "Garcia", "Hughes",
                            "Iverson", "Jensen", "Kim", "Lopez", "Morgan", "Nguyen", "Olsen", "Patel",
                            "Quinn", "Reyes", "Schmidt", "Turner", "Underwood", "Vasquez", "Walsh", "Young"};
const char* kFirstNames[] = {"Ann", "Ben", "Carla", "David", "Elena", "Frank", "Grace", "Hector", "Ines",
                             "Jon", "Karen", "Luis", "Maya", "Noah", "Olga", "Paul", "Rosa", "Sam"};

const char kUsage[] = "usage: hv_generate FOLDER [--employees N] [--years Y] [--seed S] [--end YYYY-MM-DD]\n"
                      "Fills FOLDER (created when missing) with synthetic time card data: N employees (50),\n"
                      "Y years (1) of punches and time off up to the end date (2025-12-27). The same\n"
                      "options give the same data.\n";

int usageError(const std::string& text)
{
    std::fprintf(stderr, "hv_generate: %s\n%s", text.c_str(), kUsage);
    return 2;
}

// The whole text as a number from least to most, or false.
template <class Number>
bool wholeNumber(const char* text, long long least, long long most, Number& value)
{
    char* end = nullptr;
    errno = 0;
    const long long read = std::strtoll(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || read < least || read > most)
        return false;
    value = Number(read);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string folder;
    int employees = 50, years = 1;
    unsigned seed = 1;
    int ey = 2025, em = 12, ed = 27;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (arg.empty() || arg[0] != '-') {
            if (!folder.empty())
                return usageError("one folder only: " + arg);
            folder = arg;
            continue;
        }
        if (arg != "--employees" && arg != "--years" && arg != "--seed" && arg != "--end")
            return usageError("unknown option " + arg);
        if (a + 1 >= argc)
            return usageError(arg + " needs a value");
        const char* value = argv[++a];
        char tail = 0;
        bool ok = false;
        if (arg == "--employees")
            ok = wholeNumber(value, 1, 1000000, employees);
        else if (arg == "--years")
            ok = wholeNumber(value, 1, 100, years);
        else if (arg == "--seed")
            ok = wholeNumber(value, 0, UINT32_MAX, seed);
        else
            ok = std::sscanf(value, "%4d-%2d-%2d%c", &ey, &em, &ed, &tail) == 3 &&
                 std::chrono::year_month_day{std::chrono::year{ey}, std::chrono::month{unsigned(em)},
                                             std::chrono::day{unsigned(ed)}}
                     .ok();
        if (!ok)
            return usageError("bad value for " + arg + ": " + value);
    }
    if (folder.empty())
        return usageError("no folder named");
    try {
        std::filesystem::create_directories(folder);
        Database db;
        db.setDirectory(folder);
        CreateTables(db);
        db.connect();
        Random rnd(seed);
        Random exemptRnd(seed ^ 0x9E3779B9u);
        const double lastDay = dayNumber(ey, em, ed);
        const double firstDay = lastDay - 364.0 * years - 6;

        Writer dept(db, "dept.dat"), reason(db, "reason.dat"), policy(db, "policy.dat"), ot(db, "otpolicy.dat");
        Writer emp(db, "employee.dat"), wage(db, "wage.dat"), empot(db, "empot.dat"), accrual(db, "accrual.dat"),
            work(db, "workday.dat"), off(db, "timeoff.dat");
        db.startTransaction();
        const int kDepts = 8;
        const char* deptNames[kDepts] = {"Administration", "Assembly", "Customer Service", "Maintenance",
                                         "Sales", "Shipping", "Warehouse", "Quality"};
        for (int k = 0; k < kDepts; ++k)
            dept.row().s("DeptName", deptNames[k]).s("DeptCode", std::string(deptNames[k]).substr(0, 3))
                .i("ActiveFlag", 1).i("ManagerID", 0).post();

        struct R { const char* name; const char* code; int paid, ot, policy; const char* basis; };
        const R reasons[] = {{"Vacation", "V", 1, 0, 1, "C"}, {"Sick", "S", 1, 0, 1, "A"},
                             {"Holiday", "H", 1, 1, 0, "C"}, {"Personal", "P", 1, 0, 1, "U"},
                             {"Unpaid Leave", "U", 0, 0, 0, "C"}};
        for (const auto& r : reasons)
            reason.row().s("Reason", r.name).s("ReasonCode", r.code).i("ActiveFlag", 1).i("PaidFlag", r.paid)
                .i("OvertimeFlag", r.ot).i("PolicyFlag", r.policy).s("AccrualBasis", r.basis)
                .s("ValidateBasis", "E").post();

        // Every rule belongs to employee type 1, the type the balances look up.
        auto rule = [&](int reasonId, int from, int to, double hours, double carry) {
            policy.row().i("ReasonID", reasonId).i("EmpTypeID", 1).i("StartMonths", from)
                .s("DisplayStartPeriod", "M").i("EndMonths", to).s("DisplayEndPeriod", "M")
                .f("EarnedHours", hours).f("DisplayEarnedHours", hours).s("DisplayEarnedPeriod", "Y")
                .f("CarryOverHours", carry).post();
        };
        rule(1, 0, 12, 40, 0);
        rule(1, 12, 60, 80, 40);
        rule(1, 60, 960, 120, 80);
        rule(2, 0, 960, 48, 24);
        rule(4, 0, 960, 16, 0);

        ot.row().s("Policy", "Weekly 40").i("WeeklyFlag", 1).i("ActiveFlag", 1).f("Hours1", 40).f("Hours2", 0)
            .f("Rate1", 1.5).f("Rate2", 0).post();
        ot.row().s("Policy", "Daily 8").i("WeeklyFlag", 0).i("ActiveFlag", 1).f("Hours1", 8).f("Hours2", 12)
            .f("Rate1", 1.5).f("Rate2", 2.0).post();
        db.commit();

        for (int e = 1; e <= employees; ++e) {
            db.startTransaction();
            double start = firstDay - rnd.between(0, 3650);
            bool former = rnd.chance(10);
            double end = former ? lastDay - rnd.between(0, 364 * years) : 0;
            if (former && end <= start)
                end = start + 30;
            int deptId = rnd.between(1, kDepts);
            emp.row()
                .s("LastName", kLastNames[rnd.between(0, int(std::size(kLastNames)) - 1)])
                .s("FirstName", kFirstNames[rnd.between(0, int(std::size(kFirstNames)) - 1)])
                .d("StartDate", start)
                .i("ActiveFlag", 1)
                .s("EmpCode", "E" + std::to_string(1000 + e))
                .i("DeptID", deptId)
                .s("Position", "Associate")
                .i("EligibleFlag", rnd.chance(95) ? 1 : 0)
                .s("City", "Springfield")
                .s("State", "IL");
            if (end > 0)
                emp.d("EndDate", end);
            emp.post();
            int empId = int(emp.t.fieldByName("EmpID").asInteger());

            bool hourly = rnd.chance(80);
            double rate = hourly ? 12 + rnd.between(0, 1800) / 100.0 : 600 + rnd.between(0, 900);
            // OvertimeFlag set means exempt from the overtime policy: most hourly
            // employees are paid their overtime, most salaried ones are not. Drawn
            // from a stream of its own, so every other value stays what it was.
            const bool exempt = exemptRnd.chance(hourly ? 10 : 75);
            int raises = rnd.between(0, 2);
            double wageStart = start;
            for (int w = 0; w <= raises; ++w) {
                wage.row().i("EmpID", empId).d("StartDate", wageStart).f("Wage", rate)
                    .s("PayTypeCode", hourly ? "H" : "W").i("OvertimeFlag", exempt ? 1 : 0).f("Shift2", 0.5)
                    .f("Shift3", 1.0).i("ShiftOvertimeFlag", 0).post();
                wageStart = std::max(wageStart, firstDay) + rnd.between(60, 300);
                rate *= 1.03;
            }
            empot.row().i("EmpID", empId).d("StartDate", start).i("PolicyID", rnd.chance(75) ? 1 : 2).post();
            if (rnd.chance(30))
                accrual.row().i("EmpID", empId).i("ReasonID", 1).f("AccruedHours", rnd.between(0, 40))
                    .d("AccrualDate", firstDay).post();

            double from = std::max(start, firstDay), to = end > 0 ? std::min(end, lastDay) : lastDay;
            for (double day = from; day <= to; day += 1) {
                int wd = weekday(day);
                if (wd == 0 || wd == 6)
                    continue;
                if (rnd.chance(4)) {
                    off.row().i("EmpID", empId).d("WeekDate", day).i("ReasonID", rnd.between(1, 5)).f("Hours", 8)
                        .post();
                    continue;
                }
                double in1 = (7 * 60 + 45 + rnd.between(0, 30)) / 1440.0;
                double out1 = (12 * 60 + rnd.between(0, 10)) / 1440.0;
                double in2 = (12 * 60 + 30 + rnd.between(0, 10)) / 1440.0;
                double out2 = (16 * 60 + 15 + rnd.between(0, 90)) / 1440.0;
                work.row().i("EmpID", empId).d("WeekDate", day).i("SequenceNum", 0).d("TimeIn1", in1)
                    .d("TimeOut1", out1).d("TimeIn2", in2).d("TimeOut2", out2).i("Shift", 1).post();
            }
            db.commit();
        }
        std::printf("hv_generate: %d employees, %d year(s) up to %04d-%02d-%02d in %s\n", employees, years, ey, em, ed,
                    folder.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "hv_generate: %s\n", e.what());
        return 1;
    }
    return 0;
}
