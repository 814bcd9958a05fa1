#include "exchange/ExportRun.h"

#include "engine/Database.h"
#include "engine/EngineError.h"
#include "people/Money.h"
#include "people/TDept.h"
#include "people/TEmp.h"
#include "people/TEmpWage.h"
#include "people/TFields.h"
#include "people/TOther.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "ports/GridView.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "timekeeping/PeriodLoader.h"
#include "timekeeping/THourRec.h"
#include "timekeeping/WeekPay.h"
#include "timeoff/Balances.h"
#include "timeoff/TReason.h"
#include "timeoff/TTimeOff.h"

#include <cmath>
#include <map>
#include <stdexcept>

namespace hv {
namespace {

const char* const kExportNotOpened =
    "The Data File you selected can not be opened.  Please check your file selection and try again.";

// Item positions in the definition files.
namespace pos {
inline constexpr int LastName = 0, FirstName = 1, EmpCode = 2, DeptName = 3, DeptCode = 4;
inline constexpr int Regular = 5, Overtime = 6, Other = 7, TotalHours = 8;
inline constexpr int RegularPay = 9, OvertimePay = 10, OtherPay = 11, TotalPay = 12;
inline constexpr int DetailDate = 5, Punches = 6, DetailShift = 7, Worked = 8, TimeOff = 9, DayTotal = 10;
inline constexpr int Wage = 19, WageLast = 22;
inline constexpr int DeptEmpLast = 3, DeptEmpFirst = 4, DeptEmpCode = 5;
} // namespace pos

// Dates as the copy shows them (format), and as the day for xBase.
ExportValue dateValue(double date, const std::string& format)
{
    if (date <= 0)
        return ExportValue::dateValue({}, 0);
    return ExportValue::dateValue(FormatDateTime(format, date), std::floor(date));
}

ExportValue hoursValue(float hours)
{
    return ExportValue::numberValue(FormatFloat(globalSettings().hourFormat, hours), hours);
}

// A plain number with two decimals and no thousands separators.
ExportValue fixed2(double amount) { return ExportValue::numberValue(FormatFloat("0.00", amount), amount); }

ExportValue text(std::string t) { return ExportValue::textValue(std::move(t)); }

// The punch time format of a run: the one-letter 12-hour form is written with
// both letters, as payroll programs read it.
std::string punchFormat()
{
    const std::string& f = globalSettings().timeFormat;
    return f == "hh:nn A/P" ? "hh:nnAM/PM" : f;
}

// An empty punch is an empty value, not the time box's blank mask.
std::string punchText(double value, const std::string& format)
{
    return isEmptyPunch(value) ? std::string() : FormatPunch(value, format);
}

// A record's values by definition file position, and the custom values.
struct Values {
    std::vector<ExportValue> byPosition;
    std::vector<std::string> custom;
    std::vector<std::string> punches;
    void set(int position, ExportValue v)
    {
        if (position >= int(byPosition.size()))
            byPosition.resize(std::size_t(position) + 1);
        byPosition[std::size_t(position)] = std::move(v);
    }
};

class Producer {
public:
    Producer(THourvaneDataMod& dm, const ExportRequest& request, const ExportRecordSink& sink) :
        m_dm(dm), m_request(request), m_sink(sink), m_dateFormat(dm.state().dateFormatShown())
    {
    }

    void run()
    {
        switch (m_request.kind) {
        case ExportKind::HoursWorked:
            hoursWorked();
            break;
        case ExportKind::Detail:
            detail();
            break;
        case ExportKind::TimeOffSummary:
            timeOffSummary();
            break;
        case ExportKind::TimeOffDetail:
            timeOffDetail();
            break;
        case ExportKind::Benefit:
            benefits();
            break;
        case ExportKind::Employee:
            employees();
            break;
        case ExportKind::Department:
            departments();
            break;
        }
    }

private:
    bool ticked(int position) const
    {
        for (const auto& f : m_request.fields)
            if (f.Position == position && f.CustomIndex < 0)
                return f.Ticked;
        return false;
    }
    bool anyTicked(int first, int last) const
    {
        for (int p = first; p <= last; ++p)
            if (ticked(p))
                return true;
        return false;
    }

    void writeRow(const Values& v)
    {
        ExportRecord record;
        record.items.reserve(m_request.fields.size());
        for (const auto& f : m_request.fields) {
            if (f.CustomIndex >= 0)
                record.items.push_back(
                    text(f.CustomIndex < int(v.custom.size()) ? v.custom[std::size_t(f.CustomIndex)] : std::string()));
            else
                record.items.push_back(f.Position < int(v.byPosition.size()) ? v.byPosition[std::size_t(f.Position)]
                                                                             : ExportValue());
        }
        record.punches = v.punches;
        m_sink(record);
    }

    void beginProgress(int count)
    {
        if (m_request.progress) {
            m_request.progress->setMaximum(count);
            m_request.progress->setPosition(0);
        }
    }
    void stepProgress()
    {
        if (m_request.progress)
            m_request.progress->step();
    }

    // The employee of a list entry, loaded, with positions 0-4 set.
    void loadEmployee(TEmployeeRecClass& emp, std::int32_t id, Values& v)
    {
        emp.SetEmpID(id);
        emp.LoadByID();
        v.set(pos::LastName, text(emp.LastName()));
        v.set(pos::FirstName, text(emp.FirstName()));
        v.set(pos::EmpCode, text(emp.EmpCode()));
        const auto& [name, code] = department(emp.DeptID());
        v.set(pos::DeptName, text(name));
        v.set(pos::DeptCode, text(code));
    }

    const std::pair<std::string, std::string>& department(std::int32_t deptID)
    {
        auto found = m_departments.find(deptID);
        if (found != m_departments.end())
            return found->second;
        std::pair<std::string, std::string> names;
        if (deptID != 0) {
            TDeptRecClass dept(m_dm);
            dept.SetDeptID(deptID);
            if (dept.LoadByID())
                names = {dept.DeptName(), dept.DeptCode()};
        }
        return m_departments.emplace(deptID, names).first->second;
    }

    // What an employee's record (with his department) and his period read.
    static const std::vector<std::string>& periodTables()
    {
        static const std::vector<std::string> tables = [] {
            std::vector<std::string> t = PeriodLoader::Tables();
            t.insert(t.end(), {"employee", "dept"});
            return t;
        }();
        return tables;
    }

    double start() const { return std::floor(m_request.periodStart); }
    double end() const { return std::floor(m_request.periodEnd); }
    double today() const { return clock().today(); }

    void hoursWorked()
    {
        MemoryPickList list;
        TEmployeeRecClass(m_dm).FillEmployeesForPeriod(list, -1, end(), start());
        beginProgress(list.count());
        const bool pay = anyTicked(pos::RegularPay, pos::TotalPay);
        PeriodLoader period(m_dm, start(), end());
        for (int i = 0; i < list.count(); ++i) {
            // One employee's reads see one state and take the shared locks once;
            // between employees other copies may save.
            engine::ReadTransaction reading(m_dm.HourvaneDB, periodTables());
            Values v;
            TEmployeeRecClass emp(m_dm);
            loadEmployee(emp, list.id(i), v);
            float regular = 0, overtime = 0, other = 0;
            Money regularPay, overtimePay, otherPay;
            period.Load(emp.EmpID());
            period.ForEachWeek([&](const TWorkWeekRecClass& week) {
                // Time off is cut to the period day by day like the hours, so
                // two consecutive periods never both count it.
                const WeekClip clip = period.Clip(week);
                regular += clip.regular;
                overtime += clip.overtime;
                other += clip.paidTimeOff;
                if (pay && mayPay(week)) {
                    const WeekPayAmounts amounts = period.Pay(week);
                    regularPay += amounts.RegularPay + amounts.RegularDifferential;
                    overtimePay += amounts.OvertimePay + amounts.OvertimeDifferential;
                    otherPay += amounts.TimeOffPay + amounts.TimeOffDifferential;
                }
            });
            v.set(pos::Regular, hoursValue(regular));
            v.set(pos::Overtime, hoursValue(overtime));
            v.set(pos::Other, hoursValue(other));
            v.set(pos::TotalHours, hoursValue(regular + overtime + other));
            v.set(pos::RegularPay, fixed2(regularPay.Amount()));
            v.set(pos::OvertimePay, fixed2(overtimePay.Amount()));
            v.set(pos::OtherPay, fixed2(otherPay.Amount()));
            v.set(pos::TotalPay, fixed2((regularPay + overtimePay + otherPay).Amount()));
            writeRow(v);
            stepProgress();
        }
    }

    // Whether a day of the week in the period could be paid: a week without
    // hours, paid time off or a later shift there pays nothing, and its wage
    // history need not be read.
    bool mayPay(const TWorkWeekRecClass& week) const
    {
        const PayWeek p = PayWeekOf(week);
        for (const PayDay& d : p.days) {
            if (d.date < start() || d.date > end())
                continue;
            if (d.regular != 0 || d.overtime != 0 || d.shift != 1 ||
                p.paidTimeOff.at(std::size_t(DayOfWeek(d.date))) != 0)
                return true;
        }
        return false;
    }

    void detail()
    {
        const int pairs = ExportPunchPairs(m_dm, start(), end());
        const std::string format = punchFormat();
        const bool withTimeOffDays = ticked(pos::Worked) || ticked(pos::TimeOff);
        MemoryPickList list;
        TEmployeeRecClass(m_dm).FillEmployeesForPeriod(list, -1, end(), start());
        beginProgress(list.count());
        PeriodLoader period(m_dm, start(), end());
        for (int i = 0; i < list.count(); ++i) {
            engine::ReadTransaction reading(m_dm.HourvaneDB, periodTables());
            Values v;
            TEmployeeRecClass emp(m_dm);
            loadEmployee(emp, list.id(i), v);
            period.Load(emp.EmpID());
            std::map<double, float> timeOff;
            for (const PeriodTimeOff& e : period.TimeOff())
                if (e.day >= start() && e.day <= end())
                    timeOff[e.day] += e.hours;
            period.ForEachWeek([&](const TWorkWeekRecClass& week) {
                for (int d = 0; d < 7; ++d) {
                    const double date = week.WeekEnd() - 6 + d;
                    if (date < start() || date > end())
                        continue;
                    const THoursWorkedRecClass& day = week.Day(d);
                    const float worked = day.DayHours();
                    const auto off = timeOff.find(date);
                    const float away = off == timeOff.end() ? 0.0f : off->second;
                    if (!(worked > 0 || (away > 0 && withTimeOffDays)))
                        continue;
                    v.set(pos::DetailDate, dateValue(date, m_dateFormat));
                    v.punches.clear();
                    for (int k = 1; k <= pairs; ++k) {
                        v.punches.push_back(punchText(day.In(k), format));
                        v.punches.push_back(punchText(day.Out(k), format));
                    }
                    const int shift = day.shift(0);
                    v.set(pos::DetailShift, ExportValue::numberValue(std::to_string(shift), shift));
                    v.set(pos::Worked, hoursValue(worked));
                    v.set(pos::TimeOff, hoursValue(away));
                    v.set(pos::DayTotal, hoursValue(worked + away));
                    writeRow(v);
                }
            });
            stepProgress();
        }
    }

    // Employees employed today, as the time off kinds take them.
    void employedToday(MemoryPickList& list, std::int32_t department = -1)
    {
        TEmployeeRecClass(m_dm).FillEmployeesForPeriod(list, department, today(), today());
    }

    void timeOffSummary()
    {
        TReasonListClass reasons(m_dm);
        reasons.Load();
        std::map<std::int32_t, int> tallyOf;
        std::vector<std::string> names;
        for (int r = 0; r < reasons.Count(); ++r) {
            tallyOf[reasons.Items(r).ReasonID()] = r;
            names.push_back(reasons.Items(r).Reason());
        }
        // Time off whose reason is gone is tallied after the list's reasons.
        const int notFound = int(names.size());
        names.push_back("Reason Not Found");

        MemoryPickList list;
        employedToday(list);
        beginProgress(list.count());
        for (int i = 0; i < list.count(); ++i) {
            engine::ReadTransaction reading(m_dm.HourvaneDB);
            Values v;
            TEmployeeRecClass emp(m_dm);
            loadEmployee(emp, list.id(i), v);
            std::vector<float> hours(names.size(), 0.0f);
            std::vector<int> counts(names.size(), 0);
            TTimeOffReportListClass entries(m_dm, emp.EmpID(), start(), end());
            entries.Load();
            for (int e = 0; e < entries.Count(); ++e) {
                const auto found = tallyOf.find(entries.Items(e).ReasonID());
                const int t = found == tallyOf.end() ? notFound : found->second;
                hours[std::size_t(t)] += entries.Items(e).Hours();
                ++counts[std::size_t(t)];
            }
            for (std::size_t t = 0; t < names.size(); ++t) {
                if (counts[t] == 0)
                    continue;
                v.set(5, text(names[t]));
                v.set(6, hoursValue(hours[t]));
                writeRow(v);
            }
            stepProgress();
        }
    }

    void timeOffDetail()
    {
        MemoryPickList list;
        employedToday(list);
        beginProgress(list.count());
        for (int i = 0; i < list.count(); ++i) {
            engine::ReadTransaction reading(m_dm.HourvaneDB);
            Values v;
            TEmployeeRecClass emp(m_dm);
            loadEmployee(emp, list.id(i), v);
            TTimeOffReportListClass entries(m_dm, emp.EmpID(), start(), end());
            entries.Load();
            for (int e = 0; e < entries.Count(); ++e) {
                const TTimeOffRecClass& entry = entries.Items(e);
                v.set(5, dateValue(entry.WeekDate(), m_dateFormat));
                v.set(6, text(entry.ReasonDescription()));
                v.set(7, hoursValue(entry.Hours()));
                writeRow(v);
            }
            stepProgress();
        }
    }

    static float cellNumber(const std::string& cell)
    {
        double value = 0;
        return TryStrToFloat(cell, value) ? float(value) : 0.0f;
    }

    void benefits()
    {
        MemoryPickList list;
        TEmployeeRecClass(m_dm).FillEmployeeList(list, EmployeeStatus::All, false, true);
        beginProgress(list.count());
        for (int i = 0; i < list.count(); ++i) {
            engine::ReadTransaction reading(m_dm.HourvaneDB);
            Values v;
            TEmployeeRecClass emp(m_dm);
            loadEmployee(emp, list.id(i), v);
            MemoryGrid grid;
            FillBalanceGrid(m_dm, grid, emp, 0);
            for (int r = 0; r < grid.rowCount(); ++r) {
                if (grid.cell(r, 0).empty())
                    continue;
                const float usable = cellNumber(grid.cell(r, 1));
                const float taken = cellNumber(grid.cell(r, 2));
                v.set(5, text(grid.cell(r, 0)));
                v.set(6, hoursValue(usable));
                v.set(7, hoursValue(taken));
                v.set(8, hoursValue(usable - taken));
                writeRow(v);
            }
            stepProgress();
        }
    }

    void employees()
    {
        MemoryPickList list;
        TEmployeeRecClass(m_dm).FillEmployeeList(list, EmployeeStatus::All, false, true);
        beginProgress(list.count());
        const bool wages = m_request.managerAccess && anyTicked(pos::Wage, pos::WageLast);
        std::vector<std::pair<int, std::int32_t>> custom; // custom index, FieldID
        std::unique_ptr<TEmpFieldListClass> items;
        for (const auto& f : m_request.fields)
            if (f.Ticked && f.CustomIndex >= 0) {
                if (!items)
                    items = std::make_unique<TEmpFieldListClass>(m_dm, nullptr);
                if (f.CustomIndex < items->Count())
                    custom.emplace_back(f.CustomIndex, items->Item(f.CustomIndex).FieldID());
            }
        for (int i = 0; i < list.count(); ++i) {
            engine::ReadTransaction reading(m_dm.HourvaneDB);
            Values v;
            TEmployeeRecClass emp(m_dm);
            emp.SetEmpID(list.id(i));
            emp.LoadByID();
            v.set(0, text(emp.LastName()));
            v.set(1, text(emp.FirstName()));
            v.set(2, text(emp.EmpCode()));
            v.set(3, dateValue(emp.StartDate(), m_dateFormat));
            v.set(4, dateValue(emp.EndDate(), m_dateFormat));
            v.set(5, text(emp.EligibleFlag() ? "Y" : "N"));
            const auto& [deptName, deptCode] = department(emp.DeptID());
            v.set(6, text(deptName));
            v.set(7, text(deptCode));
            v.set(8, text(emp.Position()));
            v.set(9, text(emp.HomePhone()));
            v.set(10, text(emp.Address1()));
            v.set(11, text(emp.Address2()));
            v.set(12, text(emp.City()));
            v.set(13, text(emp.State()));
            v.set(14, text(emp.PostalCode()));
            v.set(15, text(emp.Contact()));
            v.set(16, text(emp.ContactWorkPhone()));
            v.set(17, text(emp.ContactHomePhone()));
            v.set(18, text(emp.Relationship()));
            float wage = 0;
            std::string payType;
            double wageStart = 0;
            bool exempt = false;
            if (wages) {
                TWageListClass history(m_dm, emp.EmpID());
                history.Load();
                if (history.Count() > 0) {
                    const TEmpWageRecClass& last = history.Item(history.Count() - 1);
                    wage = last.Wage();
                    payType = last.PayTypeCode();
                    wageStart = last.StartDate();
                    exempt = last.OvertimeFlag();
                }
            }
            v.set(19, fixed2(wage));
            v.set(20, text(payType));
            v.set(21, wage > 0 ? dateValue(wageStart, m_dateFormat) : dateValue(0, m_dateFormat));
            v.set(22, text(exempt && wage > 0 ? "Y" : "N"));
            for (const auto& [index, fieldID] : custom) {
                TEmpOtherRecClass value(m_dm);
                value.SetEmpID(emp.EmpID());
                value.SetFieldID(fieldID);
                value.Load();
                if (index >= int(v.custom.size()))
                    v.custom.resize(std::size_t(index) + 1);
                v.custom[std::size_t(index)] = value.FieldValue();
            }
            writeRow(v);
            stepProgress();
        }
    }

    void departments()
    {
        MemoryPickList list;
        TDeptRecClass(m_dm).FillDepartmentListBox(list, false);
        beginProgress(list.count());
        // Any employee item makes the records per employee: with only the
        // employee ID ticked, a record per department would carry no ID.
        const bool perEmployee = anyTicked(pos::DeptEmpLast, pos::DeptEmpCode);
        for (int i = 0; i < list.count(); ++i) {
            engine::ReadTransaction reading(m_dm.HourvaneDB);
            Values v;
            TDeptRecClass dept(m_dm);
            dept.SetDeptID(list.id(i));
            dept.LoadByID();
            v.set(0, text(dept.DeptName()));
            v.set(1, text(dept.DeptCode()));
            const std::string manager = dept.ManagerName();
            v.set(2, text(manager == "<No Manager>" ? std::string() : manager));
            if (!perEmployee) {
                writeRow(v);
            } else {
                MemoryPickList staff;
                employedToday(staff, dept.DeptID());
                for (int e = 0; e < staff.count(); ++e) {
                    TEmployeeRecClass emp(m_dm);
                    emp.SetEmpID(staff.id(e));
                    emp.LoadByID();
                    v.set(pos::DeptEmpLast, text(emp.LastName()));
                    v.set(pos::DeptEmpFirst, text(emp.FirstName()));
                    v.set(pos::DeptEmpCode, text(emp.EmpCode()));
                    writeRow(v);
                }
            }
            stepProgress();
        }
    }

    THourvaneDataMod& m_dm;
    const ExportRequest& m_request;
    const ExportRecordSink& m_sink;
    const std::string m_dateFormat;
    std::map<std::int32_t, std::pair<std::string, std::string>> m_departments;
};

bool isPunchItem(const ExportRequest& request, const TDBFFieldType& f)
{
    return request.kind == ExportKind::Detail && f.CustomIndex < 0 && f.Key == "TimeIn1";
}

} // namespace

int ExportPunchPairs(THourvaneDataMod& dm, double periodStart, double periodEnd)
{
    engine::Query& q = dm.qryBlank;
    q.clearSql();
    q.addSql("select count(*) as Extras from WorkDay");
    q.addSql(" where WeekDate between '" + FormatDateTime("yyyy-mm-dd", periodStart) + "' and '" +
             FormatDateTime("yyyy-mm-dd", periodEnd) + "'");
    q.addSql("   and SequenceNum = 1");
    q.open();
    std::int64_t extras = 0;
    try {
        if (!q.eof())
            extras = q.fieldByName("Extras").asInteger();
    } catch (...) {
        q.close();
        throw;
    }
    q.close();
    return extras > 0 ? 4 : 2;
}

void ProduceExportRecords(THourvaneDataMod& dm, const ExportRequest& request, const ExportRecordSink& sink)
{
    Producer(dm, request, sink).run();
}

std::vector<ExportColumn> ExportColumns(const ExportRequest& request, int punchPairs)
{
    std::vector<ExportColumn> columns;
    for (const auto& f : request.fields) {
        if (!f.Ticked)
            continue;
        if (isPunchItem(request, f)) {
            const int width = globalSettings().timeFormat == "hh:nn" ? 5 : f.Size;
            for (int k = 1; k <= punchPairs; ++k) {
                columns.push_back({"TimeIn" + std::to_string(k), 'T', width});
                columns.push_back({"TimeOut" + std::to_string(k), 'T', width});
            }
            continue;
        }
        columns.push_back({f.Key, f.DataType, f.Size});
    }
    return columns;
}

ExportResult RunExport(THourvaneDataMod& dm, const ExportRequest& request)
{
    ExportResult result;
    const std::string destination =
        request.format == ExportFormat::XBase ? DbfTableName(request.fileName) : request.fileName;
    auto failed = [&](const std::string& error) {
        result.outcome = ExportResult::Outcome::Failed;
        // Ours first, so the cut to 255 characters never takes it.
        result.notices.push_back(
            {CutMessage("The export did not finish.  " + destination + " was left as it was.\r\r" + error),
             MsgKind::Error});
        return result;
    };

    ExportWriterOptions options;
    options.format = request.format;
    options.fileName = request.fileName;
    options.today = clock().today();
    options.hourDecimals = PatternDecimals(globalSettings().hourFormat);
    std::unique_ptr<ExportWriter> writer = MakeExportWriter(options);
    try {
        const int pairs = request.kind == ExportKind::Detail
                              ? ExportPunchPairs(dm, std::floor(request.periodStart), std::floor(request.periodEnd))
                              : 2;
        const std::vector<ExportColumn> columns = ExportColumns(request, pairs);
        // A definition file edited by hand may name two columns alike: that is
        // no fault of the chosen file, so it is not reported as one.
        const std::string problem = request.format == ExportFormat::XBase ? DbfColumnProblem(columns) : "";
        if (!problem.empty())
            return failed(problem);
        if (!writer->open(columns)) {
            result.outcome = ExportResult::Outcome::NotOpened;
            result.notices.push_back({kExportNotOpened, MsgKind::Information});
            return result;
        }
        std::vector<ExportValue> row;
        ProduceExportRecords(dm, request, [&](const ExportRecord& record) {
            row.clear();
            for (std::size_t i = 0; i < request.fields.size(); ++i) {
                const TDBFFieldType& f = request.fields[i];
                if (!f.Ticked)
                    continue;
                if (isPunchItem(request, f)) {
                    for (int k = 0; k < pairs * 2; ++k)
                        row.push_back(ExportValue::textValue(
                            k < int(record.punches.size()) ? record.punches[std::size_t(k)] : std::string()));
                    continue;
                }
                row.push_back(i < record.items.size() ? record.items[i] : ExportValue());
            }
            if (!writer->write(row))
                throw std::runtime_error(writer->errorString().empty() ? "A record could not be written."
                                                                       : writer->errorString());
            ++result.records;
        });
    } catch (const std::exception& e) {
        writer->cancel();
        return failed(e.what());
    }
    if (!writer->commit()) {
        writer->cancel();
        return failed(writer->errorString());
    }
    result.changedValues = writer->changedValues();
    return result;
}

std::string ChangedValuesMessage(int changedValues)
{
    return std::to_string(changedValues) + " values held the separator or a line break; each was written as a blank.";
}

} // namespace hv
