#include "timekeeping/THourRec.h"

#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"

#include <optional>

namespace hv {

const char* const kDuplicateHourKeyText =
    "Another user has already added Hourvane entries for this Employee for this week.\r\r"
    "Please select the employee again and make changes to the new entries.";

EDuplicateHourKeyError::EDuplicateHourKeyError() : std::runtime_error(kDuplicateHourKeyText) {}

namespace {

const char* const kTimeIn[2] = {"TimeIn1", "TimeIn2"};
const char* const kTimeOut[2] = {"TimeOut1", "TimeOut2"};

void cancelQuietly(engine::Table& t)
{
    try {
        if (t.state() == engine::TableState::Edit || t.state() == engine::TableState::Insert)
            t.cancel();
    } catch (...) {
    }
}

std::size_t pairIndex(int k)
{
    if (k < 1 || k > 4)
        throw std::out_of_range("punch pair " + std::to_string(k) + " is not 1 to 4");
    return std::size_t(k - 1);
}

std::size_t rowIndex(int s)
{
    if (s < 0 || s > 1)
        throw std::out_of_range("sequence " + std::to_string(s) + " is not 0 or 1");
    return std::size_t(s);
}

// The box shows blanks, a colon and placeholders when nothing was typed.
bool isBlankText(const std::string& text) { return text.find_first_not_of(" :_") == std::string::npos; }

} // namespace

THoursWorkedRecClass::THoursWorkedRecClass(THourvaneDataMod& dm) : TSQLRecClass(dm)
{
    setRecordName("Hours Worked");
    setTableName("tblWorkDay");
    Clear();
}

void THoursWorkedRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_in.fill(kEmptyPunch);
    m_out.fill(kEmptyPunch);
    m_newRow = {true, true};
    m_shift = {1, 1};
    m_hasMore = false;
    m_approvedBy.clear();
    m_approvedWhen = 0;
}

// --- values ---

double THoursWorkedRecClass::In(int k) const { return m_in[pairIndex(k)]; }
double THoursWorkedRecClass::Out(int k) const { return m_out[pairIndex(k)]; }
void THoursWorkedRecClass::setIn(int k, double value) { setPunch(m_in, k, value); }
void THoursWorkedRecClass::setOut(int k, double value) { setPunch(m_out, k, value); }
bool THoursWorkedRecClass::SetInText(int k, const std::string& text) { return setPunchText(m_in, k, text); }
bool THoursWorkedRecClass::SetOutText(int k, const std::string& text) { return setPunchText(m_out, k, text); }

void THoursWorkedRecClass::setPunch(PunchPairs& pairs, int k, double value)
{
    double& slot = pairs[pairIndex(k)];
    if (isEmptyPunch(value))
        value = kEmptyPunch;
    if (slot == value)
        return;
    slot = value;
    setModified(true);
}

bool THoursWorkedRecClass::setPunchText(PunchPairs& pairs, int k, const std::string& text)
{
    pairIndex(k);
    double value = kEmptyPunch;
    if (!isBlankText(text)) {
        std::optional<double> parsed = ParsePunch(text, globalSettings().timeFormat);
        if (!parsed)
            return false;
        value = *parsed;
    }
    setPunch(pairs, k, value);
    if (k >= 3)
        m_hasMore = !isEmptyPunch(m_in[2]) || !isEmptyPunch(m_out[2]) || !isEmptyPunch(m_in[3]) ||
                    !isEmptyPunch(m_out[3]);
    return true;
}

std::string THoursWorkedRecClass::FormatIn(int k) const { return FormatPunch(In(k), globalSettings().timeFormat); }
std::string THoursWorkedRecClass::FormatOut(int k) const
{
    return FormatPunch(Out(k), globalSettings().timeFormat);
}

int THoursWorkedRecClass::shift(int s) const { return m_shift[rowIndex(s)]; }

void THoursWorkedRecClass::setShift(int s, int value)
{
    int& slot = m_shift[rowIndex(s)];
    if (value < 1 || value > 3)
        throw std::out_of_range("shift " + std::to_string(value) + " is not 1 to 3");
    if (slot == value)
        return;
    slot = value;
    setModified(true);
}

bool THoursWorkedRecClass::newRow(int s) const { return m_newRow[rowIndex(s)]; }

void THoursWorkedRecClass::setApproval(const std::string& by, double when)
{
    if (by == m_approvedBy && when == m_approvedWhen)
        return;
    m_approvedBy = by;
    m_approvedWhen = when;
    setModified(true);
}

float THoursWorkedRecClass::DayHours() const { return hv::DayHours(m_in, m_out, globalSettings().minuteRound); }

// --- validation ---

std::string THoursWorkedRecClass::weekdayName() const { return FormatDateTime("dddd", m_dayDate); }

std::string THoursWorkedRecClass::missingEntryMessage() const
{
    return "One of the In/Out entries for " + weekdayName() + " is invalid or missing.  " +
           "Please check your times and try again.";
}

std::string THoursWorkedRecClass::overlapMessage() const
{
    return "The second In entry on " + weekdayName() + " cannot be before the first Out entry.  Please check your" +
           " times and try again.";
}

bool THoursWorkedRecClass::Validate() const
{
    int ins = 0, outs = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        if (!isEmptyPunch(m_in[k]))
            ++ins;
        if (!isEmptyPunch(m_out[k]))
            ++outs;
        if (outs > ins) { // an Out before any In of its own
            tell(missingEntryMessage(), MsgKind::Information);
            return false;
        }
    }
    if (ins != outs) {
        tell(missingEntryMessage(), MsgKind::Information);
        return false;
    }
    if (ins == 0)
        return true;

    // Walk the pairs in order on a running clock: a pair whose Out is before
    // its In runs past midnight and moves the following pairs to the next day.
    int dayOffset = 0, lastOut = 0, previousIn = 0;
    std::size_t k = 0;
    while (k < 4) {
        if (isEmptyPunch(m_in[k])) {
            ++k;
            continue;
        }
        int in = MinutesOf(m_in[k]) + dayOffset * 1440;
        if (previousIn < in && in < lastOut) {
            tell(overlapMessage(), MsgKind::Information);
            return false;
        }
        std::size_t m = k;
        while (m < 4 && isEmptyPunch(m_out[m]))
            ++m;
        if (m == 4)
            break; // the counts above leave every In an Out at or after it
        lastOut = MinutesOf(m_out[m]) + dayOffset * 1440;
        if (lastOut < in) {
            lastOut += 1440;
            ++dayOffset;
        }
        previousIn = in;
        k = m + 1;
    }
    return true;
}

// --- rows ---

bool THoursWorkedRecClass::rowEmpty(int s) const
{
    std::size_t a = std::size_t(2 * s), b = a + 1;
    return isEmptyPunch(m_in[a]) && isEmptyPunch(m_out[a]) && isEmptyPunch(m_in[b]) && isEmptyPunch(m_out[b]);
}

bool THoursWorkedRecClass::findRow(int s)
{
    engine::Table& t = table();
    if (!t.indexName().empty())
        t.setIndexName(""); // rows are found by the primary key
    return t.findKey({engine::Value(std::int64_t(m_employee)), engine::Value(m_dayDate),
                      engine::Value(std::int64_t(s))});
}

bool THoursWorkedRecClass::Load()
{
    Clear();
    // The day's first row in key order tells whether it has any: a day
    // without rows (each day an import adds) costs one lookup.
    engine::Table& t = table();
    if (!t.indexName().empty())
        t.setIndexName("");
    if (!t.findKey({engine::Value(std::int64_t(m_employee)), engine::Value(m_dayDate)}))
        return true;
    const std::int64_t first = t.fieldByName("SequenceNum").asInteger();
    if (first == 1) {
        LoadCurrentRow(1); // there is no row 0 before it
        return true;
    }
    if (first == 0)
        LoadCurrentRow(0);
    else if (findRow(0))
        LoadCurrentRow(0);
    if (findRow(1))
        LoadCurrentRow(1);
    return true;
}

void THoursWorkedRecClass::LoadCurrentRow(int s)
{
    engine::Table& t = table();
    for (std::size_t n = 0; n < 2; ++n) {
        engine::Field in = t.fieldByName(kTimeIn[n]);
        engine::Field out = t.fieldByName(kTimeOut[n]);
        if (!in.isNull())
            m_in[2 * std::size_t(s) + n] = in.asDateTime();
        if (!out.isNull())
            m_out[2 * std::size_t(s) + n] = out.asDateTime();
    }
    m_newRow[std::size_t(s)] = false;
    if (s == 1)
        m_hasMore = true;
    engine::Field shiftField = t.fieldByName("Shift");
    m_shift[std::size_t(s)] = shiftField.isNull() ? 1 : int(shiftField.asInteger());
    // Row 1 is read last, so its approval and lock holder win.
    m_approvedBy = t.fieldByName("ApprovedBy").asString();
    engine::Field when = t.fieldByName("ApprovedWhen");
    m_approvedWhen = when.isNull() ? 0 : when.asDateTime();
    setLockHolder(t.fieldByName("LockedBy").asString());
}

void THoursWorkedRecClass::LoadRow(int s, const std::array<double, 2>& in, const std::array<double, 2>& out, int shift)
{
    for (std::size_t n = 0; n < 2; ++n) {
        m_in[2 * std::size_t(s) + n] = in[n];
        m_out[2 * std::size_t(s) + n] = out[n];
    }
    m_newRow[std::size_t(s)] = false;
    if (s == 1)
        m_hasMore = true;
    m_shift[std::size_t(s)] = shift;
}

void THoursWorkedRecClass::appendRow(int s, const std::string& lockIdentity)
{
    engine::Table& t = table();
    t.append();
    t.fieldByName("EmpID").setAsInteger(m_employee);
    t.fieldByName("WeekDate").setAsDateTime(m_dayDate);
    t.fieldByName("SequenceNum").setAsInteger(s);
    // A day locked in memory keeps its lock once its row exists, so a later
    // save of the same object passes the lock check.
    const std::string identity = storedIdentity(lockIdentity);
    if (!identity.empty() && lockHolder() == identity)
        t.fieldByName("LockedBy").setAsString(identity);
}

bool THoursWorkedRecClass::writeRow(int s, const std::string& lockIdentity)
{
    engine::Table& t = table();
    try {
        if (m_newRow[s]) {
            appendRow(s, lockIdentity);
        } else if (findRow(s)) {
            if (!TSQLRecClass::Save(lockIdentity))
                return false;
            t.edit();
        } else {
            RestoreCursor();
            if (ShowMessageBox(recreateQuestion(), MsgKind::Confirmation, MsgButtons::YesNo) != MsgResult::Yes)
                return false;
            appendRow(s, lockIdentity);
        }
        for (std::size_t n = 0; n < 2; ++n) {
            double in = m_in[2 * s + n], out = m_out[2 * s + n];
            engine::Field inField = t.fieldByName(kTimeIn[n]);
            engine::Field outField = t.fieldByName(kTimeOut[n]);
            if (isEmptyPunch(in))
                inField.clear();
            else
                inField.setAsDateTime(in);
            if (isEmptyPunch(out))
                outField.clear();
            else
                outField.setAsDateTime(out);
        }
        t.fieldByName("Shift").setAsInteger(m_shift[s]);
        if (m_approvedWhen > 0) {
            t.fieldByName("ApprovedBy").setAsString(m_approvedBy);
            t.fieldByName("ApprovedWhen").setAsDateTime(m_approvedWhen);
        }
        t.post();
    } catch (const engine::EngineError& e) {
        cancelQuietly(t);
        if (e.code() == engine::code::KeyViolation)
            throw EDuplicateHourKeyError(); // another copy stored this day's row first
        tell(saveFailureText(e), MsgKind::Warning);
        return false;
    } catch (const std::exception& e) {
        cancelQuietly(t);
        tell(saveFailureText(e), MsgKind::Warning);
        return false;
    }
    m_newRow[s] = false;
    return true;
}

bool THoursWorkedRecClass::deleteRow(int s, const std::string& lockIdentity)
{
    try {
        // A row that is already gone is what the delete wants; failing here
        // silently would leave the day impossible to save.
        if (!findRow(s))
            return true;
        return TSQLRecClass::Delete(lockIdentity);
    } catch (const std::exception& e) {
        cancelQuietly(table());
        std::string format = dataModule().state().dateFormatShown();
        std::string detail;
        if (auto* ee = dynamic_cast<const engine::EngineError*>(&e))
            detail = std::to_string(ee->code()) + " - " + ee->message() + ".";
        else
            detail = e.what();
        tell("The following error occurred deleting the Work record for " + FormatDateTime(format, m_dayDate) + ":" +
                 "\r\r" + detail,
             MsgKind::Warning);
        return false;
    }
}

bool THoursWorkedRecClass::Save(const std::string& lockIdentity)
{
    if (!modified())
        return true;
    if (!Validate())
        return false;

    // Both rows or neither: a failure on row 1 must not leave row 0 written.
    std::optional<TransactionGuard> guard;
    try {
        guard.emplace(dataModule().HourvaneDB, std::vector<std::string>{"workday"});
    } catch (const std::exception& e) {
        tell(saveFailureText(e), MsgKind::Warning);
        return false;
    }
    const auto newRows = m_newRow;
    const bool hasMore = m_hasMore;
    auto restoreFlags = [&] {
        m_newRow = newRows;
        m_hasMore = hasMore;
    };

    bool ok = true;
    try {
        for (int s = 0; s < 2 && ok; ++s) {
            if (!rowEmpty(s)) {
                ok = writeRow(s, lockIdentity);
            } else if (!m_newRow[s]) {
                ok = deleteRow(s, lockIdentity);
                if (ok) {
                    m_newRow[s] = true;
                    if (s == 1)
                        m_hasMore = false;
                }
            }
        }
    } catch (...) {
        restoreFlags();
        throw; // the guard rolls back an own transaction
    }
    if (ok) {
        try {
            guard->commit();
        } catch (const std::exception& e) {
            tell(saveFailureText(e), MsgKind::Warning);
            ok = false;
        }
    }
    if (!ok) {
        try {
            guard->rollback();
        } catch (...) {
        }
        restoreFlags();
        return false;
    }
    // Cleared only now: a day whose second row failed is still unsaved.
    setModified(false);
    return true;
}

bool THoursWorkedRecClass::Delete(const std::string& lockIdentity)
{
    std::optional<TransactionGuard> guard;
    try {
        guard.emplace(dataModule().HourvaneDB, std::vector<std::string>{"workday"});
    } catch (const std::exception& e) {
        tell("The following error occurred deleting the " + recordName() + " record: " + engineErrorText(e) + "\r\r" +
                 "The record has NOT been deleted.",
             MsgKind::Warning);
        return false;
    }
    for (int s = 0; s < 2; ++s) {
        if (!m_newRow[s] && !deleteRow(s, lockIdentity)) {
            guard->rollback();
            return false;
        }
    }
    try {
        guard->commit();
    } catch (const std::exception& e) {
        tell("The following error occurred deleting the " + recordName() + " record: " + engineErrorText(e) + "\r\r" +
                 "The record has NOT been deleted.",
             MsgKind::Warning);
        return false;
    }
    Clear();
    return true;
}

bool THoursWorkedRecClass::Lock(const std::string& lockIdentity)
{
    bool ok = true;
    bool anyAbsent = false;
    for (int s = 0; s < 2; ++s) {
        bool stored = false;
        try {
            stored = !m_newRow[s] && findRow(s);
        } catch (const std::exception& e) {
            tell("The following error occurred locking the " + recordName() + " record: " + engineErrorText(e) +
                     "\r\r" + "The record was NOT locked.",
                 MsgKind::Warning);
            return false;
        }
        if (!stored)
            anyAbsent = true; // a row that does not exist yet is locked in memory only
        else if (!TSQLRecClass::Lock(lockIdentity))
            ok = false;
    }
    // Never claim in memory a day whose stored row another copy holds.
    if (ok && anyAbsent)
        setLockHolder(storedIdentity(lockIdentity));
    return ok;
}

bool THoursWorkedRecClass::Unlock(const std::string& lockIdentity)
{
    bool ok = true;
    for (int s = 0; s < 2; ++s) {
        bool stored = false;
        try {
            stored = !m_newRow[s] && findRow(s);
        } catch (const std::exception& e) {
            tell("The following error occurred unlocking the " + recordName() + " record: " + engineErrorText(e) +
                     "\r\r" + "The record was NOT unlocked.",
                 MsgKind::Warning);
            return false;
        }
        if (stored && !TSQLRecClass::Unlock(lockIdentity))
            ok = false;
    }
    if (ok)
        setLockHolder("");
    return ok;
}

void THoursWorkedRecClass::CopyFromPreviousWeek()
{
    const auto newRows = m_newRow;
    const std::string holder = lockHolder();
    m_dayDate -= 7;
    try {
        Load();
    } catch (...) {
        m_dayDate += 7;
        throw;
    }
    m_dayDate += 7;
    // The rows stay this day's: a save edits or deletes them, and the lock
    // this day holds is not the previous week's.
    m_newRow = newRows;
    setLockHolder(holder);
    setModified(true);
}

double THoursWorkedRecClass::OldestWorkDate()
{
    engine::Query& q = dataModule().qryBlank;
    q.clearSql();
    q.addSql("select min(WeekDate) as OldestDate from WorkDay");
    q.open();
    double oldest = 0;
    try {
        if (!q.eof() && !q.fieldByName("OldestDate").isNull())
            oldest = q.fieldByName("OldestDate").asDateTime();
    } catch (...) {
        q.close();
        throw;
    }
    q.close();
    return oldest;
}

} // namespace hv
