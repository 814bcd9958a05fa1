#include "exchange/migrate/ConvertLoad.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "engine/TableEmpty.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/SQLRec.h"

#include <algorithm>
#include <map>
#include <optional>
#include <tuple>

namespace hv {
namespace {

const char* recordName(ExtractFile file)
{
    switch (file) {
    case ExtractFile::Reason:
        return "Reason";
    case ExtractFile::Policy:
        return "Policy";
    case ExtractFile::Dept:
        return "Deptartment";
    case ExtractFile::Employee:
        return "Employee";
    case ExtractFile::Wage:
        return "Employee Wage";
    case ExtractFile::Accrual:
        return "Employee Benefit Accrual";
    case ExtractFile::TimeOff:
        return "Time Off";
    case ExtractFile::Work:
        return "Punch In/Out";
    }
    return "";
}

std::string saveMessage(const std::string& record, const std::exception& e)
{
    return "The following error occurred saving the " + record + " record: " + TSQLRecClass::engineErrorText(e) +
           "\r\r" + "The record was NOT saved.";
}

// A row the engine refused; its message was shown.
struct Stopped {};

constexpr int kEndMonths = 960;

struct Rule {
    std::int64_t reason = 0;
    std::int64_t start = 0;
    std::int64_t end = 0;
};

class Loader {
public:
    Loader(THourvaneDataMod& dm, const ExtractData& data, const ConvertOptions& options) :
        m_dm(dm), m_data(data), m_options(options)
    {
    }

    ConvertResult run();

private:
    // Runs one write; an engine error shows the record's message and stops the load.
    template <class Write>
    void guarded(const std::string& record, ExtractFile file, int line, Write&& write)
    {
        try {
            write();
        } catch (const std::exception& e) {
            m_result.failedFile = file;
            m_result.failedLine = line;
            tell(saveMessage(record, e), MsgKind::Error);
            throw Stopped();
        }
    }
    void writePreference(const std::string& key, const std::string& value);
    void takeOverSettings();
    // Appends every row of the file; fill sets the columns of one row.
    // numberColumn: the auto-increment column whose value must be the row's
    // position in the file.
    template <class Fill>
    void loadFile(ExtractFile file, engine::Table& table, Fill&& fill, const char* numberColumn = nullptr);
    void setColumns(engine::Table& t, const ExtractRow& row, ExtractFile file);
    void completePolicies();
    void appendRule(const Rule& rule, bool closing);
    void createStandardPolicy();
    void done(ExtractFile file);

    int rowsOf(ExtractFile f) const { return int(m_data.of(f).rows.size()); }
    bool dangling(std::int64_t id, ExtractFile target) const { return id < 1 || id > rowsOf(target); }

    THourvaneDataMod& m_dm;
    const ExtractData& m_data;
    const ConvertOptions& m_options;
    ConvertResult m_result;
};

void Loader::done(ExtractFile file)
{
    if (m_options.observer)
        m_options.observer->stepDone(file);
}

void Loader::writePreference(const std::string& key, const std::string& value)
{
    engine::Table& t = m_dm.tblPreferences;
    try {
        t.setIndexName("");
        if (t.findKey({engine::Value(key)})) {
            t.edit();
        } else {
            t.append();
            t.fieldByName("PreferID").setAsString(key);
        }
        t.fieldByName("PreferValue").setAsString(value);
        t.fieldByName("LockedBy").clear();
        t.post();
    } catch (const std::exception& e) {
        t.cancel();
        tell(saveFailureText(e), MsgKind::Error);
        throw Stopped();
    }
}

void Loader::takeOverSettings()
{
    const OldSettings& s = m_data.settings;
    if (s.firstDate)
        writePreference("FirstDate", *s.firstDate);
    if (s.weekHours) {
        writePreference("Hours", s.weekHoursText);
        writePreference("Overtime", "0");
    }
    // The old password is scrambled by a scheme nobody knows: storing it would
    // lock the manager out, so the current one stays.
}

void Loader::setColumns(engine::Table& t, const ExtractRow& row, ExtractFile file)
{
    const auto& layout = ExtractLayout(file);
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const ExtractValue& v = row.values[i];
        engine::Field f = t.fieldByName(layout[i].column);
        if (std::holds_alternative<std::monostate>(v)) {
            f.clear();
        } else if (const auto* text = std::get_if<std::string>(&v)) {
            f.setAsString(*text);
        } else if (const auto* n = std::get_if<std::int64_t>(&v)) {
            f.setAsInteger(*n);
        } else if (const auto* d = std::get_if<double>(&v)) {
            if (layout[i].kind == ExtractKind::Float)
                f.setAsFloat(*d);
            else
                f.setAsDateTime(*d);
        } else if (const auto* b = std::get_if<bool>(&v)) {
            f.setAsBoolean(*b);
        } else if (const auto* c = std::get_if<CurrencyUnits>(&v)) {
            f.setAsCurrencyUnits(c->units);
        }
    }
    if (t.findField("LockedBy") >= 0)
        t.fieldByName("LockedBy").clear();
}

// A numbered table must give the n-th line number n: the other files refer to it so.
void checkNumber(engine::Table& t, const char* column, int expected)
{
    const std::int64_t got = t.fieldByName(column).asInteger();
    if (got != expected)
        throw engine::EngineTextError("The new row was numbered " + std::to_string(got) + " instead of " +
                                      std::to_string(expected));
}

template <class Fill>
void Loader::loadFile(ExtractFile file, engine::Table& table, Fill&& fill, const char* numberColumn)
{
    if (m_options.observer)
        m_options.observer->stepStarted(file);
    guarded(recordName(file), file, 0, [&] { engine::EmptyAndRestartNumbering(table); });
    const auto& rows = m_data.of(file).rows;
    const int total = int(rows.size());
    const bool responsive = file == ExtractFile::TimeOff || file == ExtractFile::Work;
    int position = 0;
    for (const ExtractRow& row : rows) {
        ++position;
        guarded(recordName(file), file, row.line, [&] {
            if (m_options.beforeStore)
                m_options.beforeStore(file, row.line);
            table.append();
            try {
                setColumns(table, row, file);
                fill(table, row, position);
                table.post();
            } catch (...) {
                table.cancel();
                throw;
            }
            if (numberColumn)
                checkNumber(table, numberColumn, position);
        });
        if (m_options.observer && (position % 50 == 0 || position == total)) {
            m_options.observer->fileProgress(file, position, total);
            if (responsive)
                m_options.observer->keepResponsive();
        }
    }
    m_result.loaded[int(file)] = total;
}

void Loader::appendRule(const Rule& rule, bool closing)
{
    engine::Table& t = m_dm.tblPolicy;
    guarded("Policy", ExtractFile::Policy, 0, [&] {
        t.append();
        try {
            t.fieldByName("ReasonID").setAsInteger(rule.reason);
            t.fieldByName("EmpTypeID").setAsInteger(1);
            t.fieldByName("StartMonths").setAsInteger(rule.start);
            t.fieldByName("EndMonths").setAsInteger(rule.end);
            t.fieldByName("EarnedHours").setAsFloat(0);
            t.fieldByName("DisplayEarnedHours").setAsFloat(0);
            t.fieldByName("CarryOverHours").setAsFloat(0);
            t.fieldByName("DisplayStartPeriod").setAsString(closing && rule.start % 12 == 0 ? "Y" : "M");
            t.fieldByName("DisplayEndPeriod").setAsString("Y");
            t.fieldByName("DisplayEarnedPeriod").setAsString("Y");
            t.fieldByName("LockedBy").clear();
            t.post();
        } catch (...) {
            t.cancel();
            throw;
        }
    });
}

void Loader::completePolicies()
{
    std::vector<Rule> rules;
    for (const auto& row : m_data.of(ExtractFile::Policy).rows)
        rules.push_back({std::get<std::int64_t>(row.values[0]), std::get<std::int64_t>(row.values[1]),
                         std::get<std::int64_t>(row.values[2])});
    // A benefit without a rule from the first month gets one rule for all of
    // the service time.
    const auto& reasons = m_data.of(ExtractFile::Reason).rows;
    for (std::size_t i = 0; i < reasons.size(); ++i) {
        const std::int64_t id = std::int64_t(i) + 1;
        if (!std::get<bool>(reasons[i].values[4]))
            continue;
        const bool fromZero =
            std::any_of(rules.begin(), rules.end(), [&](const Rule& r) { return r.reason == id && r.start == 0; });
        if (!fromZero) {
            Rule r{id, 0, kEndMonths};
            appendRule(r, false);
            rules.push_back(r);
        }
    }
    // In key order, the last rule of each reason must reach the end of the scale.
    std::sort(rules.begin(), rules.end(),
              [](const Rule& a, const Rule& b) { return std::tie(a.reason, a.start) < std::tie(b.reason, b.start); });
    for (std::size_t i = 0; i < rules.size(); ++i) {
        const bool last = i + 1 == rules.size() || rules[i + 1].reason != rules[i].reason;
        if (!last || rules[i].end >= kEndMonths)
            continue;
        appendRule({rules[i].reason, rules[i].end, kEndMonths}, true);
        const std::int64_t id = rules[i].reason;
        const std::string* name = id >= 1 && id <= std::int64_t(reasons.size())
                                      ? std::get_if<std::string>(&reasons[std::size_t(id - 1)].values[0])
                                      : nullptr;
        if (name)
            m_result.completedReasons.push_back(*name);
        else
            m_result.completedReasons.push_back("reason " + std::to_string(id));
    }
}

void Loader::createStandardPolicy()
{
    engine::Table& p = m_dm.tblOTPolicy;
    std::int64_t policyID = 0;
    guarded("Overtime Policy", ExtractFile::Employee, 0, [&] {
        engine::EmptyAndRestartNumbering(p);
        p.append();
        try {
            p.fieldByName("Policy").setAsString("Standard");
            p.fieldByName("WeeklyFlag").setAsBoolean(true);
            p.fieldByName("ActiveFlag").setAsBoolean(true);
            p.fieldByName("Hours1").setAsFloat(*m_data.settings.weekHours);
            p.fieldByName("Hours2").setAsFloat(0);
            p.fieldByName("Rate1").setAsFloat(1.5);
            p.fieldByName("Rate2").setAsFloat(0);
            p.fieldByName("LockedBy").clear();
            p.post();
        } catch (...) {
            p.cancel();
            throw;
        }
        policyID = p.fieldByName("PolicyID").asInteger();
    });
    engine::Table& a = m_dm.tblEmpOT;
    for (const auto& row : m_data.of(ExtractFile::Employee).rows) {
        ++m_result.standardAssignments;
        guarded("Employee Overtime", ExtractFile::Employee, row.line, [&] {
            a.append();
            try {
                a.fieldByName("EmpID").setAsInteger(m_result.standardAssignments);
                a.fieldByName("StartDate").setAsDateTime(std::get<double>(row.values[2]));
                if (const auto* end = std::get_if<double>(&row.values[3]))
                    a.fieldByName("EndDate").setAsDateTime(*end);
                a.fieldByName("PolicyID").setAsInteger(policyID);
                a.fieldByName("LockedBy").clear();
                a.post();
            } catch (...) {
                a.cancel();
                throw;
            }
        });
    }
    m_result.standardPolicy = true;
}

ConvertResult Loader::run()
{
    using E = ExtractFile;
    try {
        m_dm.ReopenTables(TableMode::Exclusive);
    } catch (const std::exception&) {
        try {
            m_dm.ReopenTables(TableMode::Shared);
        } catch (...) {
        }
        tell("Could not open tables for exclusive access.", MsgKind::Information);
        m_result.outcome = ConvertResult::Outcome::NotExclusive;
        return m_result;
    }
    try {
        m_dm.qryBlank.close();
        m_dm.qryTOTotalHours.close();
    } catch (const std::exception&) {
        try {
            m_dm.ReopenTables(TableMode::Shared);
        } catch (...) {
        }
        tell("Could not deactivate queries for data import.", MsgKind::Information);
        m_result.outcome = ConvertResult::Outcome::NotExclusive;
        return m_result;
    }

    std::optional<TransactionGuard> tx;
    try {
        tx.emplace(m_dm.HourvaneDB);
        takeOverSettings();

        loadFile(
            E::Reason, m_dm.tblReasons,
            [](engine::Table& t, const ExtractRow&, int) { t.fieldByName("ActiveFlag").setAsBoolean(true); },
            "ReasonID");
        done(E::Reason);

        loadFile(E::Policy, m_dm.tblPolicy, [](engine::Table& t, const ExtractRow& row, int) {
            const std::int64_t start = std::get<std::int64_t>(row.values[1]);
            const std::int64_t end = std::get<std::int64_t>(row.values[2]);
            t.fieldByName("EmpTypeID").setAsInteger(1);
            t.fieldByName("DisplayEarnedHours").setAsFloat(std::get<double>(row.values[3]));
            t.fieldByName("DisplayEarnedPeriod").setAsString("Y");
            t.fieldByName("DisplayStartPeriod").setAsString(start != 0 && start % 12 == 0 ? "Y" : "M");
            t.fieldByName("DisplayEndPeriod").setAsString(end % 12 == 0 ? "Y" : "M");
        });
        completePolicies();
        done(E::Policy);

        loadFile(
            E::Dept, m_dm.tblDepts,
            [](engine::Table& t, const ExtractRow&, int) {
                t.fieldByName("ActiveFlag").setAsBoolean(true);
                t.fieldByName("ManagerID").setAsInteger(0);
            },
            "DeptID");
        done(E::Dept);

        // The custom values and overtime assignments of the employees being
        // replaced would otherwise land on the new ones with the same numbers.
        guarded("Employee", E::Employee, 0, [&] {
            engine::EmptyAndRestartNumbering(m_dm.tblEmpOther);
            engine::EmptyAndRestartNumbering(m_dm.tblEmpOT);
        });
        const int depts = rowsOf(E::Dept);
        loadFile(
            E::Employee, m_dm.tblEmps,
            [&](engine::Table& t, const ExtractRow& row, int) {
                t.fieldByName("ActiveFlag").setAsBoolean(true);
                // A department that cannot be read would make every later save of
                // the employee fail.
                const std::int64_t dept = std::get<std::int64_t>(row.values[5]);
                if (dept != 0 && (dept < 1 || dept > depts)) {
                    t.fieldByName("DeptID").setAsInteger(0);
                    ++m_result.employeesWithoutDept;
                }
            },
            "EmpID");
        done(E::Employee);

        const int employees = rowsOf(E::Employee);
        const int reasons = rowsOf(E::Reason);
        auto noteEmp = [&](ExtractFile f, const ExtractRow& row) {
            const std::int64_t id = std::get<std::int64_t>(row.values[0]);
            return id < 1 || id > employees ? (++m_result.danglingRows[int(f)], true) : false;
        };
        loadFile(E::Wage, m_dm.tblWages, [&](engine::Table& t, const ExtractRow& row, int) {
            noteEmp(E::Wage, row);
            t.fieldByName("Shift2").setAsCurrencyUnits(0);
            t.fieldByName("Shift3").setAsCurrencyUnits(0);
            t.fieldByName("ShiftOvertimeFlag").setAsBoolean(false);
        });
        done(E::Wage);
        loadFile(E::Accrual, m_dm.tblAccruals, [&](engine::Table&, const ExtractRow& row, int) {
            const std::int64_t reason = std::get<std::int64_t>(row.values[1]);
            if (!noteEmp(E::Accrual, row) && (reason < 1 || reason > reasons))
                ++m_result.danglingRows[int(E::Accrual)];
        });
        done(E::Accrual);

        if (m_data.settings.weekHours && *m_data.settings.weekHours != 40)
            createStandardPolicy();

        loadFile(E::TimeOff, m_dm.tblTimeOff, [&](engine::Table& t, const ExtractRow& row, int) {
            const std::int64_t reason = std::get<std::int64_t>(row.values[2]);
            if (!noteEmp(E::TimeOff, row) && (reason < 1 || reason > reasons))
                ++m_result.danglingRows[int(E::TimeOff)];
            t.fieldByName("ApprovedBy").clear();
            t.fieldByName("ApprovedWhen").setAsDateTime(0);
        });
        done(E::TimeOff);
        loadFile(E::Work, m_dm.tblWorkDay, [&](engine::Table& t, const ExtractRow& row, int) {
            noteEmp(E::Work, row);
            t.fieldByName("SequenceNum").setAsInteger(0);
            t.fieldByName("Shift").setAsInteger(1);
            t.fieldByName("ApprovedBy").clear();
        });
        done(E::Work);
        tx->commit();
    } catch (const Stopped&) {
        m_result.outcome = ConvertResult::Outcome::Failed;
    } catch (const std::exception& e) {
        tell(saveFailureText(e), MsgKind::Error);
        m_result.outcome = ConvertResult::Outcome::Failed;
    }
    if (m_result.outcome == ConvertResult::Outcome::Failed && tx) {
        try {
            tx->rollback();
        } catch (...) {
        }
        std::fill(std::begin(m_result.loaded), std::end(m_result.loaded), 0);
        m_result.completedReasons.clear();
        m_result.standardPolicy = false;
    }
    try {
        m_dm.ReopenTables(TableMode::Shared);
    } catch (...) {
    }
    RestoreCursor();
    if (m_result.outcome == ConvertResult::Outcome::Loaded && !m_result.completedReasons.empty()) {
        std::string names;
        for (const auto& n : m_result.completedReasons)
            names += (names.empty() ? "" : ", ") + n;
        tell("The following Time Off Reason(s) had an incomplete Benefit Policy so a default record was added:\r\r" +
                 names + "\r\r" + "Please review the policy for the benefit(s) when the" +
                 " data migration is complete.",
             MsgKind::Information);
    }
    return m_result;
}

} // namespace

ConvertResult LoadExtract(THourvaneDataMod& dm, const ExtractData& data, const ConvertOptions& options)
{
    if (!data.problems.empty()) {
        ConvertResult refused;
        refused.outcome = ConvertResult::Outcome::Refused;
        return refused;
    }
    Loader loader(dm, data, options);
    return loader.run();
}

std::string ExtractProblemsText(const ExtractData& data)
{
    std::vector<ExtractProblem> problems = data.problems;
    std::stable_sort(problems.begin(), problems.end(), [](const ExtractProblem& a, const ExtractProblem& b) {
        return std::tie(a.file, a.line) < std::tie(b.file, b.line);
    });
    std::string text;
    std::map<ExtractFile, int> shown;
    for (const auto& p : problems) {
        if (++shown[p.file] > 20)
            continue;
        text += std::string(ExtractFileName(p.file)) + (p.line > 0 ? ", line " + std::to_string(p.line) : "") + ": " +
                p.reason + "\n";
    }
    for (const auto& [file, count] : shown)
        if (count > 20)
            text += std::string(ExtractFileName(file)) + ": " + std::to_string(count - 20) + " more problems\n";
    return text;
}

std::string ConvertSummaryText(const ExtractData& data, const ConvertResult& result)
{
    std::string text;
    for (int i = 0; i < kExtractFileCount; ++i) {
        const auto file = ExtractFile(i);
        text += ExtractFileName(file);
        if (!data.of(file).found)
            text += ": not found, skipped.\n";
        else
            text += ": " + std::to_string(result.loaded[i]) + " lines loaded.\n";
        if (result.danglingRows[i] > 0)
            text += "  " + std::to_string(result.danglingRows[i]) +
                    " of them name an employee or reason that is not in the extracted files.\n";
        if (file == ExtractFile::Employee && result.employeesWithoutDept > 0)
            text += "  " + std::to_string(result.employeesWithoutDept) +
                    " of them name a department that is not in the extracted files and have no department.\n";
    }
    const OldSettings& s = data.settings;
    if (!s.fileFound)
        text += "The settings file of the previous version was not found; no settings were taken over.\n";
    if (s.firstDate)
        text += "The first week start date was taken over.\n";
    if (s.weekHours) {
        text += "The weekly hours (" + s.weekHoursText + ") were taken over.\n";
        if (result.standardPolicy)
            text += "The overtime policy \"Standard\" was assigned to " + std::to_string(result.standardAssignments) +
                    " employees.\n";
    }
    for (const auto& r : s.refused)
        text += r + "\n";
    if (s.passwordPresent)
        text += std::string(kPasswordNote) + "\n";
    return text;
}

} // namespace hv
