#include "exchange/ImportRun.h"

#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Table.h"
#include "exchange/ImportSource.h"
#include "people/TDept.h"
#include "people/TEmp.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/SQLRec.h"
#include "timekeeping/THourRec.h"
#include "timeoff/TReason.h"
#include "timeoff/TTimeOff.h"

#include <QString>

#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <utility>

namespace hv {
namespace {

// 64 MiB of pages per file for an import's transaction: a hundred thousand
// time card lines change about a tenth of that.
constexpr int kImportCacheKib = 64 * 1024;

const char* const kNotOpened =
    "The Data File you selected does not exist.  Please check your file selection and try again.";

// The tables each kind empties in replace mode. Time off takes the reasons'
// benefit rules and accruals with them, as deleting a reason does.
std::vector<const char*> tablesToEmpty(ImportType type)
{
    switch (type) {
    case ImportType::TimeCard:
        return {"WorkDay"};
    case ImportType::TimeOff:
        return {"Reason", "Policy", "Accrual", "TimeOff"};
    case ImportType::Employee:
        return {"Wage", "EmpField", "Accrual", "Dept", "Employee", "EmpOT", "WorkDay", "TimeOff"};
    }
    return {};
}

// The engine compares these keys without regard to case, for ASCII letters only.
std::string folded(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

// The progress bar moves at most every 1%: repainting for each of a hundred
// thousand lines would cost more than storing them.
class Progress {
public:
    Progress(ProgressDisplay* display, long total) : m_display(display), m_total(total > 0 ? total : 1)
    {
        if (m_display) {
            m_display->setMaximum(100);
            m_display->setPosition(0);
        }
    }
    void at(long done)
    {
        const int percent = int(std::min<long>(100, done * 100 / m_total));
        if (m_display && percent != m_shown) {
            m_shown = percent;
            m_display->setPosition(percent);
        }
    }

private:
    ProgressDisplay* m_display;
    long m_total;
    int m_shown = 0;
};

// Employees by code and by name for the run, so that a record matching
// several of them is told apart from one matching a single employee.
class EmployeeMatcher {
public:
    explicit EmployeeMatcher(THourvaneDataMod& dm)
    {
        engine::Table& t = dm.tblEmps;
        t.setIndexName("");
        for (t.first(); !t.eof(); t.next())
            add(std::int32_t(t.fieldByName("EmpID").asInteger()), t.fieldByName("EmpCode").asString(),
                t.fieldByName("LastName").asString(), t.fieldByName("FirstName").asString());
    }

    enum class Match { One, None, Several };
    Match find(const std::string* code, const std::string* last, const std::string* first, std::int32_t& id) const
    {
        id = 0;
        const std::vector<std::int32_t>* ids = nullptr;
        if (code && !code->empty()) {
            auto it = m_byCode.find(folded(*code));
            ids = it == m_byCode.end() ? nullptr : &it->second;
        } else {
            auto it = m_byName.find({folded(last ? *last : std::string()), folded(first ? *first : std::string())});
            ids = it == m_byName.end() ? nullptr : &it->second;
        }
        if (!ids || ids->empty())
            return Match::None;
        if (ids->size() > 1)
            return Match::Several;
        id = ids->front();
        return Match::One;
    }

    // After an employee was saved: its code and names as they now are.
    void update(std::int32_t id, const std::string& code, const std::string& last, const std::string& first)
    {
        auto it = m_keys.find(id);
        if (it != m_keys.end()) {
            removeFrom(m_byCode, folded(it->second.code), id);
            removeFrom(m_byName, std::make_pair(folded(it->second.last), folded(it->second.first)), id);
        }
        add(id, code, last, first);
    }

private:
    struct Keys {
        std::string code, last, first;
    };
    void add(std::int32_t id, const std::string& code, const std::string& last, const std::string& first)
    {
        m_keys[id] = {code, last, first};
        if (!code.empty())
            m_byCode[folded(code)].push_back(id);
        m_byName[{folded(last), folded(first)}].push_back(id);
    }
    template <class Map, class Key>
    static void removeFrom(Map& map, const Key& key, std::int32_t id)
    {
        auto it = map.find(key);
        if (it == map.end())
            return;
        std::erase(it->second, id);
        if (it->second.empty())
            map.erase(it);
    }

    std::map<std::int32_t, Keys> m_keys;
    std::map<std::string, std::vector<std::int32_t>> m_byCode;
    std::map<std::pair<std::string, std::string>, std::vector<std::int32_t>> m_byName;
};

// Puts the tables back to shared use however the run ends.
class SharedAgain {
public:
    explicit SharedAgain(THourvaneDataMod& dm) : m_dm(dm) {}
    ~SharedAgain()
    {
        if (!m_pending)
            return;
        try {
            m_dm.ReopenTables(TableMode::Shared);
        } catch (...) {
        }
    }
    void now()
    {
        m_pending = false;
        m_dm.ReopenTables(TableMode::Shared);
    }
    void arm() { m_pending = true; }

private:
    THourvaneDataMod& m_dm;
    bool m_pending = false;
};

// A save that failed; its message was shown.
struct SaveFailed {};

class Importer {
public:
    Importer(THourvaneDataMod& dm, const ImportRequest& request) :
        m_dm(dm), m_request(request), m_identity(dm.state().lockIdentity)
    {
        for (std::size_t column = 0; column < request.columnField.size(); ++column) {
            const int position = request.columnField[column];
            if (position >= 0 && position < int(request.fields.size()))
                m_columnOf[position] = int(column);
        }
        for (const auto& f : request.fields) {
            int pair = 0;
            bool in = false;
            if (PunchKey(f.Key, pair, in) && mapped(f.Position))
                m_punchFields.push_back({f.Position, pair, in});
        }
    }

    ImportResult run();

private:
    bool emptyTables();
    void noteReasonCodes();
    // The record's reason for being skipped, or empty when it was stored.
    std::string store(const ImportRecord& record);
    std::string storeDay(const ImportRecord& record);
    std::string storeTimeOff(const ImportRecord& record);
    std::string storeEmployee(const ImportRecord& record);

    bool mapped(int position) const { return m_columnOf.count(position) != 0; }
    // The value of a mapped field; a column the record lacks is empty.
    // Null when the field is not mapped. Read in place: a large import reads
    // a few values on every line.
    const ImportValue* valueAt(const ImportRecord& record, int position) const;
    const ImportValue* valueOfKey(const ImportRecord& record, const std::string& key) const;
    const std::string* textAt(const ImportRecord& record, int position) const;
    // "no employee matches" / "more than one employee matches", or empty with the ID.
    std::string matchEmployee(const ImportRecord& record, std::int32_t& id, bool& none) const;
    std::int32_t reasonFor(const std::string& name);
    std::int32_t departmentFor(const std::string& name);
    std::string newReasonCode(const std::string& name);

    // Runs a record class's save step; false or an exception is a failed save.
    template <class Step>
    void must(Step&& step);

    THourvaneDataMod& m_dm;
    const ImportRequest& m_request;
    std::string m_identity;
    std::map<int, int> m_columnOf; // import field position -> source column
    // The mapped punch fields, in the definition's order.
    struct PunchField {
        int position;
        int pair;
        bool in;
    };
    std::vector<PunchField> m_punchFields;
    std::optional<EmployeeMatcher> m_employees;
    std::map<std::string, std::int32_t> m_reasons;     // folded name -> ID, as met
    std::map<std::string, std::int32_t> m_departments; // folded name -> ID
    std::set<QString> m_usedCodes;
    std::vector<Notice> m_notices; // for the caller, once the run is over
};

template <class Step>
void Importer::must(Step&& step)
{
    bool ok = false;
    try {
        ok = step();
    } catch (const std::exception& e) {
        m_notices.push_back({saveFailureText(e), MsgKind::Warning});
        throw SaveFailed();
    }
    if (!ok)
        throw SaveFailed();
}

// Lets go of a record's row lock however its store ends; a rolled-back run
// takes the lock writes back with it anyway.
template <class Record>
class UnlockAfter {
public:
    UnlockAfter(Record& record, const std::string& identity) : m_record(record), m_identity(identity) {}
    ~UnlockAfter()
    {
        if (!m_done)
            try {
                m_record.Unlock(m_identity);
            } catch (...) {
            }
    }
    // The unlock of a saved record belongs to its store.
    bool unlock()
    {
        m_done = true;
        return m_record.Unlock(m_identity);
    }

private:
    Record& m_record;
    const std::string& m_identity;
    bool m_done = false;
};

const ImportValue* Importer::valueAt(const ImportRecord& record, int position) const
{
    static const ImportValue empty;
    auto it = m_columnOf.find(position);
    if (it == m_columnOf.end())
        return nullptr;
    if (it->second >= int(record.values.size()))
        return &empty;
    return &record.values[std::size_t(it->second)];
}

const ImportValue* Importer::valueOfKey(const ImportRecord& record, const std::string& key) const
{
    for (const auto& f : m_request.fields)
        if (f.Key == key)
            return valueAt(record, f.Position);
    return nullptr;
}

const std::string* Importer::textAt(const ImportRecord& record, int position) const
{
    const ImportValue* v = valueAt(record, position);
    return v ? &v->text : nullptr;
}

std::string Importer::matchEmployee(const ImportRecord& record, std::int32_t& id, bool& none) const
{
    const auto code = textAt(record, importpos::EmpCode);
    const auto last = textAt(record, importpos::LastName);
    const auto first = textAt(record, importpos::FirstName);
    none = false;
    switch (m_employees->find(code, last, first, id)) {
    case EmployeeMatcher::Match::One:
        return {};
    case EmployeeMatcher::Match::None:
        none = true;
        return "no employee matches";
    case EmployeeMatcher::Match::Several:
        return "more than one employee matches";
    }
    return {};
}

bool Importer::emptyTables()
{
    try {
        m_dm.ReopenTables(TableMode::Exclusive);
        if (m_request.replace)
            for (const char* table : tablesToEmpty(m_request.type))
                execBlank(m_dm, std::string("delete from ") + table);
    } catch (const std::exception& e) {
        m_notices.push_back(
            {"The following error occurred removing previous records: " + TSQLRecClass::engineErrorText(e) + "\r\r" +
                 "The previous records have NOT been removed.",
             MsgKind::Warning});
        return false;
    }
    return true;
}

void Importer::noteReasonCodes()
{
    engine::Table& t = m_dm.tblReasons;
    t.setIndexName("");
    for (t.first(); !t.eof(); t.next()) {
        const QString code = QString::fromStdString(t.fieldByName("ReasonCode").asString());
        if (!code.isEmpty())
            m_usedCodes.insert(code.left(1).toUpper());
    }
}

std::string Importer::newReasonCode(const std::string& name)
{
    const QString upper = QString::fromStdString(name).toUpper();
    for (int i = 0; i < upper.size(); ++i) {
        // A character outside the basic plane takes two units; the code keeps it whole.
        const int length = upper.at(i).isHighSurrogate() && i + 1 < upper.size() ? 2 : 1;
        const QString c = upper.mid(i, length);
        i += length - 1;
        if (!m_usedCodes.count(c)) {
            m_usedCodes.insert(c);
            return c.toStdString();
        }
    }
    for (char digit = '0'; digit <= '9'; ++digit) {
        const QString c(QChar::fromLatin1(digit));
        if (!m_usedCodes.count(c)) {
            m_usedCodes.insert(c);
            return c.toStdString();
        }
    }
    return " ";
}

std::int32_t Importer::reasonFor(const std::string& name)
{
    auto it = m_reasons.find(folded(name));
    if (it != m_reasons.end())
        return it->second;
    TReasonRecClass reason(m_dm);
    reason.SetReason(name);
    if (reason.LoadByDescription()) {
        m_reasons[folded(name)] = reason.ReasonID();
        return reason.ReasonID();
    }
    reason.Clear();
    reason.SetReasonID(0);
    UnlockAfter<TReasonRecClass> unlock(reason, m_identity);
    must([&] { return reason.Lock(m_identity); });
    reason.SetReason(name);
    reason.SetReasonCode(newReasonCode(name));
    reason.SetActiveFlag(true);
    reason.SetPaidFlag(false);
    reason.SetOvertimeFlag(false);
    reason.SetPolicyFlag(false);
    must([&] { return reason.Save(m_identity); });
    must([&] { return unlock.unlock(); });
    m_reasons[folded(name)] = reason.ReasonID();
    return reason.ReasonID();
}

std::int32_t Importer::departmentFor(const std::string& name)
{
    const std::string key = folded(name);
    auto it = m_departments.find(key);
    if (it != m_departments.end())
        return it->second;
    TDeptRecClass dept(m_dm);
    dept.SetDeptName(name);
    if (!dept.LoadByName()) {
        dept.Clear();
        dept.SetDeptID(0);
        UnlockAfter<TDeptRecClass> unlock(dept, m_identity);
        must([&] { return dept.Lock(m_identity); });
        dept.SetDeptName(name);
        dept.SetActiveFlag(true);
        dept.SetManagerID(0);
        must([&] { return dept.Save(m_identity); });
        must([&] { return unlock.unlock(); });
        // The new row's number is read back by the name it was stored under.
        dept.SetDeptName(name);
        if (!dept.LoadByName())
            throw SaveFailed();
    }
    m_departments[key] = dept.DeptID();
    return dept.DeptID();
}

std::string Importer::store(const ImportRecord& record)
{
    if (!record.valid)
        return m_request.format == ImportFormat::XBase ? "the record is not valid" : "the line is not valid";
    switch (m_request.type) {
    case ImportType::TimeCard:
        return storeDay(record);
    case ImportType::TimeOff:
        return storeTimeOff(record);
    case ImportType::Employee:
        return storeEmployee(record);
    }
    return {};
}

std::string Importer::storeDay(const ImportRecord& record)
{
    double day = 0;
    const auto dateValue = valueAt(record, importpos::Date);
    if (!dateValue || IsEmptyValue(dateValue->text) || !ImportDate(*dateValue, day))
        return "the date is not valid";

    struct Punch {
        int pair;
        bool in;
        double value;
    };
    std::vector<Punch> punches;
    punches.reserve(m_punchFields.size());
    for (const PunchField& f : m_punchFields) {
        const ImportValue& v = *valueAt(record, f.position);
        double time = kEmptyPunch;
        if (!IsEmptyValue(v.text) && !ImportTime(v.text, time))
            return "a time is not valid";
        punches.push_back({f.pair, f.in, time});
    }

    std::int32_t empID = 0;
    bool none = false;
    if (std::string why = matchEmployee(record, empID, none); !why.empty())
        return why;

    THoursWorkedRecClass hours(m_dm);
    hours.setEmployee(empID);
    hours.setDayDate(std::floor(day));
    hours.Load();
    // A day without stored rows is locked in memory only, and a save that
    // appends its rows would write the lock only for the unlock to clear it
    // again: such a day is saved unlocked, which ends in the same rows at a
    // third of the statements.
    std::optional<UnlockAfter<THoursWorkedRecClass>> unlock;
    if (!hours.newRow(0) || !hours.newRow(1)) {
        unlock.emplace(hours, m_identity);
        must([&] { return hours.Lock(m_identity); });
    }
    // A table stores a whole day: its pairs without imported values become
    // empty. A text file replaces only the punches it maps.
    if (m_request.format == ImportFormat::XBase)
        for (int k = 1; k <= 4; ++k) {
            hours.setIn(k, kEmptyPunch);
            hours.setOut(k, kEmptyPunch);
        }
    for (const auto& p : punches) {
        if (p.in)
            hours.setIn(p.pair, p.value);
        else
            hours.setOut(p.pair, p.value);
    }
    must([&] { return hours.Save(m_identity); });
    if (unlock)
        must([&] { return unlock->unlock(); });
    return {};
}

std::string Importer::storeTimeOff(const ImportRecord& record)
{
    double day = 0;
    const auto dateValue = valueAt(record, importpos::Date);
    if (!dateValue || IsEmptyValue(dateValue->text) || !ImportDate(*dateValue, day))
        return "the date is not valid";
    double hoursTaken = 0;
    if (auto v = valueAt(record, importpos::Hours); v && !IsEmptyValue(v->text) && !ImportHours(*v, hoursTaken))
        return "the hours are not valid";
    const auto reasonName = textAt(record, importpos::Reason);
    if (!reasonName || reasonName->empty())
        return "the reason is empty";

    std::int32_t empID = 0;
    bool none = false;
    if (std::string why = matchEmployee(record, empID, none); !why.empty())
        return why;

    const std::int32_t reasonID = reasonFor(*reasonName);
    TTimeOffRecClass entry(m_dm, empID, std::floor(day), reasonID);
    entry.Load();
    UnlockAfter<TTimeOffRecClass> unlock(entry, m_identity);
    must([&] { return entry.Lock(m_identity); });
    entry.SetHours(float(hoursTaken)); // replaces the stored hours, never adds
    must([&] { return entry.Save(m_identity); });
    must([&] { return unlock.unlock(); });
    return {};
}

std::string Importer::storeEmployee(const ImportRecord& record)
{
    double start = 0;
    const auto dateValue = valueAt(record, importpos::Date);
    if (!dateValue || IsEmptyValue(dateValue->text) || !ImportDate(*dateValue, start))
        return "the date is not valid";
    double end = 0;
    const auto termDate = valueOfKey(record, "TermDate");
    if (termDate && !IsEmptyValue(termDate->text) && !ImportDate(*termDate, end))
        return "the end date is not valid";

    std::int32_t empID = 0;
    bool none = false;
    if (std::string why = matchEmployee(record, empID, none); !why.empty() && !none)
        return why; // no match makes a new employee

    TEmployeeRecClass employee(m_dm);
    employee.SetEmpID(empID);
    if (empID == 0 || !employee.LoadByID()) {
        employee.SetEmpID(0);
        employee.Clear();
    }
    UnlockAfter<TEmployeeRecClass> unlock(employee, m_identity);
    must([&] { return employee.Lock(m_identity); });

    auto text = [&](const char* key, void (TEmployeeRecClass::*set)(const std::string&)) {
        if (auto v = valueOfKey(record, key))
            (employee.*set)(v->text);
    };
    text("FirstName", &TEmployeeRecClass::SetFirstName);
    text("LastName", &TEmployeeRecClass::SetLastName);
    text("EmpID", &TEmployeeRecClass::SetEmpCode);
    if (termDate)
        employee.SetEndDate(IsEmptyValue(termDate->text) ? 0 : std::floor(end));
    if (auto v = valueOfKey(record, "Eligible"))
        employee.SetEligibleFlag(EligibleValue(v->text));
    if (auto v = valueOfKey(record, "DeptName"))
        employee.SetDeptID(IsEmptyValue(v->text) ? 0 : departmentFor(v->text));
    if (auto v = valueOfKey(record, "DeptID")) {
        std::int32_t deptID = 0;
        if (!IsEmptyValue(v->text)) { // an empty code names no department, not the first without one
            TDeptRecClass dept(m_dm);
            dept.SetDeptCode(v->text);
            if (dept.LoadByCode())
                deptID = dept.DeptID();
        }
        employee.SetDeptID(deptID);
    }
    text("Position", &TEmployeeRecClass::SetPosition);
    text("Address1", &TEmployeeRecClass::SetAddress1);
    text("Address2", &TEmployeeRecClass::SetAddress2);
    text("City", &TEmployeeRecClass::SetCity);
    text("State", &TEmployeeRecClass::SetState);
    text("PostCode", &TEmployeeRecClass::SetPostalCode);
    text("HomePhone", &TEmployeeRecClass::SetHomePhone);
    text("Contact", &TEmployeeRecClass::SetContact);
    text("CDayPhone", &TEmployeeRecClass::SetContactWorkPhone);
    text("CNitePhone", &TEmployeeRecClass::SetContactHomePhone);
    text("Relation", &TEmployeeRecClass::SetRelationship);
    employee.SetStartDate(std::floor(start));

    must([&] { return employee.Save(m_identity); });
    must([&] { return unlock.unlock(); });
    m_employees->update(employee.EmpID(), employee.EmpCode(), employee.LastName(), employee.FirstName());
    return {};
}

ImportResult Importer::run()
{
    ImportResult result;
    result.fromTable = m_request.format == ImportFormat::XBase;
    ProgressDisplay* display = m_request.progress ? m_request.progress : m_dm.progress();
    // The whole run is one transaction: its changed pages stay in memory
    // until the commit instead of going to the files, and the journal, on
    // the way.
    engine::PageCacheScope cache(m_dm.HourvaneDB, kImportCacheKib);

    std::optional<TransactionGuard> tx;
    try {
        tx.emplace(m_dm.HourvaneDB);
    } catch (const std::exception& e) {
        result.notices.push_back({saveFailureText(e), MsgKind::Warning});
        result.outcome = ImportResult::Outcome::Stopped;
        return result;
    }
    SharedAgain shared(m_dm);
    shared.arm();
    if (!emptyTables()) {
        try {
            tx->rollback();
        } catch (...) {
        }
        result.outcome = ImportResult::Outcome::ClearFailed;
        result.notices = std::move(m_notices);
        return result; // the tables are shared again as the guard goes
    }

    int stoppedAt = 0;
    try {
        shared.now();
        noteReasonCodes();
        m_employees.emplace(m_dm);

        std::string error;
        auto source = ImportSource::Open(m_request.format, m_request.fileName, m_dm.state().dateFormatShown(), error);
        if (!source) {
            tx->rollback();
            result.notices.push_back({kNotOpened, MsgKind::Information});
            result.outcome = ImportResult::Outcome::NotOpened;
            return result;
        }
        Progress progress(display, source->total());
        ImportRecord record;
        long done = 0;
        while (source->next(record)) {
            progress.at(++done);
            stoppedAt = record.number;
            std::string why = store(record);
            if (why.empty())
                ++result.imported;
            else
                result.skipped.push_back({record.number, std::move(why)});
        }
        progress.at(source->total());
        tx->commit();
    } catch (const SaveFailed&) {
        result.outcome = ImportResult::Outcome::Stopped;
    } catch (const std::exception& e) {
        // The engine failed outside a record's save (reading, committing).
        m_notices.push_back({saveFailureText(e), MsgKind::Warning});
        result.outcome = ImportResult::Outcome::Stopped;
    }
    result.notices = std::move(m_notices);
    if (result.outcome == ImportResult::Outcome::Stopped) {
        try {
            tx->rollback();
        } catch (...) {
        }
        result.stoppedAt = stoppedAt;
        result.imported = 0;
        result.skipped.clear();
        result.notices.push_back({std::string("The import stopped at ") + (result.fromTable ? "record " : "line ") +
                                      std::to_string(stoppedAt) + ".  Nothing was imported.",
                                  MsgKind::Information});
    }
    RestoreCursor();
    return result;
}

} // namespace

ImportResult RunImport(THourvaneDataMod& dm, const ImportRequest& request)
{
    Importer importer(dm, request);
    return importer.run();
}

std::string ImportSummaryText(const ImportResult& result)
{
    const std::size_t skipped = result.skipped.size();
    if (skipped == 0)
        return {};
    const std::string head =
        std::to_string(result.imported) + " records were imported and " + std::to_string(skipped) + " were skipped:";
    const char* unit = result.fromTable ? "Record " : "Line ";
    for (std::size_t shown = std::min<std::size_t>(5, skipped);; --shown) {
        std::string text = head;
        for (std::size_t i = 0; i < shown; ++i)
            text +=
                "\r" + std::string(unit) + std::to_string(result.skipped[i].number) + ": " + result.skipped[i].reason;
        if (shown < skipped)
            text += "\r... and " + std::to_string(skipped - shown) + " more.";
        if (text.size() <= kMaxMessageLength || shown == 0)
            return text;
    }
}

} // namespace hv
