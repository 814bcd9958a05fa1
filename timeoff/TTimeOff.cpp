#include "timeoff/TTimeOff.h"

#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "ports/CursorService.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "timeoff/Balances.h"
#include "timeoff/TReason.h"

#include <algorithm>

namespace hv {
namespace {

constexpr const char* kTimeOffRecord = "Time Off";

engine::Value key(std::int32_t id) { return engine::Value(std::int64_t(id)); }
engine::Value key(double date) { return engine::Value(date); }

std::string quotedDate(double date) { return "'" + FormatDateTime("yyyy-mm-dd", date) + "'"; }

std::string rangeFilter(std::int32_t empID, double first, double last)
{
    return "EmpID = " + std::to_string(empID) + " and WeekDate between " + quotedDate(first) + " and " +
           quotedDate(last);
}

// The keys of the rows the filter lets through, in table order. Entries
// position the table themselves, so the rows are collected first.
struct RowKey {
    std::int32_t reasonID;
    double day;
};

std::vector<RowKey> filteredKeys(engine::Table& t, const std::string& filter)
{
    std::vector<RowKey> keys;
    t.setIndexName("");
    engine::FilterScope scope(t, filter);
    for (t.first(); !t.eof(); t.next())
        keys.push_back({std::int32_t(t.fieldByName("ReasonID").asInteger()), t.fieldByName("WeekDate").asDateTime()});
    return keys;
}

} // namespace

// --- TTimeOffRecClass ---

TTimeOffRecClass::TTimeOffRecClass(THourvaneDataMod& dm, std::int32_t empID, double weekDate, std::int32_t reasonID)
    : TSQLRecClass(dm), m_empID(empID), m_reasonID(reasonID), m_weekDate(weekDate)
{
    setRecordName(kTimeOffRecord);
    setTableName("tblTimeOff");
    Clear();
}

void TTimeOffRecClass::markChanged()
{
    // Locking first: the lock finds the row by the values as stored.
    if (!modified())
        Lock(dataModule().state().lockIdentity);
    setModified(true);
}

void TTimeOffRecClass::SetReasonID(std::int32_t value)
{
    if (value != m_reasonID)
        markChanged();
    m_reasonID = value;
}

void TTimeOffRecClass::SetWeekDate(double value)
{
    if (value != m_weekDate)
        markChanged();
    m_weekDate = value;
}

void TTimeOffRecClass::SetHours(float value)
{
    if (value != m_hours)
        markChanged();
    m_hours = value;
}

void TTimeOffRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_hours = 0;
    m_storedReasonID = 0;
    m_storedDate = 0;
    m_newDay = false;
    m_approvedBy.clear();
    m_approvedWhen = 0;
}

bool TTimeOffRecClass::findStoredRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({key(m_empID), key(m_storedDate), key(m_storedReasonID)});
}

bool TTimeOffRecClass::findLockRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({key(m_empID), key(m_storedDate), key(m_reasonID)});
}

bool TTimeOffRecClass::Load()
{
    Clear();
    engine::Table& t = table();
    t.setIndexName("");
    if (!t.findKey({key(m_empID), key(m_weekDate), key(m_reasonID)}))
        return false;
    m_hours = float(t.fieldByName("Hours").asFloat());
    m_approvedBy = t.fieldByName("ApprovedBy").asString();
    m_approvedWhen = t.fieldByName("ApprovedWhen").isNull() ? 0.0 : t.fieldByName("ApprovedWhen").asDateTime();
    setLockHolder(t.fieldByName("LockedBy").asString());
    m_storedReasonID = m_reasonID;
    m_storedDate = m_weekDate;
    return true;
}

std::string TTimeOffRecClass::ReasonDescription() const
{
    engine::Table& reasons = dataModule().tblReasons;
    reasons.setIndexName("");
    if (!reasons.findKey({key(m_reasonID)}))
        return "Reason Not Found";
    return reasons.fieldByName("Reason").asString();
}

bool TTimeOffRecClass::confirmBalance()
{
    TReasonRecClass reason(dataModule());
    reason.SetReasonID(m_reasonID);
    if (!reason.LoadByID() || !reason.PolicyFlag())
        return true;

    TEmployeeRecClass employee(dataModule());
    employee.SetEmpID(m_empID);
    employee.LoadByID();

    std::string warning;
    try {
        const double balanceDate = BalanceDate(dataModule(), employee, m_reasonID);
        const float earned = EarnedHours(dataModule(), employee, m_reasonID, balanceDate);
        const int year = Year(balanceDate - 1);
        const float taken = TakenHours(dataModule(), employee, m_reasonID, year);
        float remaining = float(double(earned) - double(taken));
        // An edited entry's stored hours are part of taken; without giving them
        // back, an unchanged entry would be measured against itself.
        if (m_storedReasonID == m_reasonID && m_storedReasonID != 0 && findStoredRow()) {
            // The benefit year TakenHours counted for the year number.
            const DayRange counted = takenYearRange(accrualBasisOf(reason.AccrualBasis()), employee.StartDate(),
                                                    userYearStart(), year, clock().today());
            if (m_storedDate >= counted.first && m_storedDate <= counted.last)
                remaining = float(double(remaining) + table().fieldByName("Hours").asFloat());
        }
        if (remaining < m_hours)
            warning = "There are only " + FormatFloat(globalSettings().hourFormat, remaining) + " " +
                      UpperCase(reason.Reason()) + " hours remaining.";
    } catch (const ENotEligibleError& e) {
        warning = e.what();
    }
    if (warning.empty())
        return true;
    RestoreCursor();
    const std::string question = warning + "\r\r" + "Do you want to save " + FormatDateTime("dddd", m_weekDate) +
                                 "s  record?";
    return ShowMessageBox(question, MsgKind::Confirmation, MsgButtons::YesNo) == MsgResult::Yes;
}

TTimeOffRecClass::Snapshot TTimeOffRecClass::snapshot() const
{
    return Snapshot{m_empID,      m_reasonID,   m_hours,  m_approvedBy, m_approvedWhen,
                    m_storedReasonID, m_storedDate, m_newDay, modified(),   lockHolder()};
}

void TTimeOffRecClass::restore(const Snapshot& s)
{
    m_empID = s.empID;
    m_reasonID = s.reasonID;
    m_hours = s.hours;
    m_approvedBy = s.approvedBy;
    m_approvedWhen = s.approvedWhen;
    m_storedReasonID = s.storedReasonID;
    m_storedDate = s.storedDate;
    m_newDay = s.newDay;
    setModified(s.modified);
    setLockHolder(s.lockHolder);
}

bool TTimeOffRecClass::Save(const std::string& lockIdentity)
{
    if (!modified())
        return true;
    if (!confirmBalance())
        return false;

    engine::Table& t = table();
    if (m_newDay) {
        t.setIndexName("");
        if (t.findKey({key(m_empID), key(m_weekDate)}))
            throw EDuplicateTODayError();
    }
    try {
        if (m_storedReasonID != 0) {
            if (findStoredRow()) {
                if (!TSQLRecClass::Save(lockIdentity))
                    return false;
                t.edit();
            } else {
                RestoreCursor();
                if (ShowMessageBox(recreateQuestion(), MsgKind::Confirmation, MsgButtons::YesNo) != MsgResult::Yes)
                    return false;
                t.append();
                t.fieldByName("EmpID").setAsInteger(m_empID);
            }
        } else {
            t.append();
            t.fieldByName("EmpID").setAsInteger(m_empID);
        }
        t.fieldByName("ReasonID").setAsInteger(m_reasonID);
        t.fieldByName("WeekDate").setAsDateTime(m_weekDate);
        t.fieldByName("Hours").setAsFloat(m_hours);
        if (m_approvedWhen > 0) {
            t.fieldByName("ApprovedBy").setAsString(m_approvedBy);
            t.fieldByName("ApprovedWhen").setAsDateTime(m_approvedWhen);
        }
        t.fieldByName("LockedBy").setAsString("");
        t.post();
    } catch (const engine::EngineError& e) {
        t.cancel();
        if (e.code() == engine::code::KeyViolation)
            throw EDuplicateTOKeyError();
        tell(saveFailureText(e));
        return false;
    } catch (const engine::EngineTextError& e) {
        t.cancel();
        tell(saveFailureText(e));
        return false;
    }
    // The row now lives under the new key; it is no longer a new day either.
    m_storedReasonID = m_reasonID;
    m_storedDate = m_weekDate;
    m_newDay = false;
    setLockHolder("");
    setModified(false);
    return true;
}

bool TTimeOffRecClass::Delete(const std::string& lockIdentity)
{
    try {
        if (!findStoredRow())
            return false;
        if (!TSQLRecClass::Delete(lockIdentity))
            return false;
    } catch (const std::exception& e) {
        tell(deleteFailureText(e));
        return false;
    }
    Clear();
    m_empID = 0;
    m_reasonID = 0;
    return true;
}

bool TTimeOffRecClass::Lock(const std::string& lockIdentity)
{
    return LockStoredRow(lockIdentity, [this] { return findLockRow(); });
}

bool TTimeOffRecClass::Unlock(const std::string& lockIdentity)
{
    return UnlockStoredRow(lockIdentity, [this] { return findLockRow(); });
}

// --- TTimeOffListClass ---

TTimeOffListClass::TTimeOffListClass(THourvaneDataMod& dm, std::int32_t empID, double weekEnd)
    : m_dm(dm), m_empID(empID), m_weekEnd(weekEnd)
{
}

void TTimeOffListClass::zeroTotals()
{
    m_total.fill(0);
    m_paid.fill(0);
    m_overtime.fill(0);
    m_unpaid.fill(0);
    m_grandTotal = 0;
}

void TTimeOffListClass::Clear()
{
    m_items.clear();
    zeroTotals();
    m_lockedBySomeoneElse = false;
}

void TTimeOffListClass::addToTotals(const TTimeOffRecClass& entry)
{
    TReasonRecClass reason(m_dm);
    reason.SetReasonID(entry.ReasonID());
    reason.LoadByID();
    addHours(entry.WeekDate(), entry.Hours(), reason.PaidFlag(), reason.OvertimeFlag());
}

void TTimeOffListClass::addHours(double day, float hours, bool paid, bool overtime)
{
    const std::size_t d = std::size_t(DayOfWeek(day));
    m_total[d] += hours;
    m_grandTotal += hours;
    if (paid)
        m_paid[d] += hours;
    else
        m_unpaid[d] += hours;
    if (overtime)
        m_overtime[d] += hours;
}

void TTimeOffListClass::LoadTotals(const std::vector<TimeOffHours>& entries)
{
    Clear();
    for (const TimeOffHours& e : entries)
        addHours(e.day, e.hours, e.paid, e.overtime);
}

bool TTimeOffListClass::Load()
{
    Clear();
    const auto keys = filteredKeys(m_dm.tblTimeOff, rangeFilter(m_empID, m_weekEnd - 6, m_weekEnd));
    for (const RowKey& k : keys) {
        auto entry = std::make_unique<TTimeOffRecClass>(m_dm, m_empID, k.day, k.reasonID);
        entry->Load();
        addToTotals(*entry);
        m_items.push_back(std::move(entry));
    }
    return true;
}

void TTimeOffListClass::ComputeTotals()
{
    zeroTotals();
    for (const auto& item : m_items)
        addToTotals(*item);
}

TTimeOffRecClass& TTimeOffListClass::Add(std::unique_ptr<TTimeOffRecClass> entry)
{
    m_items.push_back(std::move(entry));
    return *m_items.back();
}

void TTimeOffListClass::Remove(int index) { m_items.erase(m_items.begin() + index); }

bool TTimeOffListClass::AnyModified() const
{
    return std::any_of(m_items.begin(), m_items.end(), [](const auto& item) { return item->modified(); });
}

void TTimeOffListClass::SetAllModified(bool value)
{
    for (auto& item : m_items)
        item->setModified(value);
}

int TTimeOffListClass::SaveAll(const std::string& lockIdentity)
{
    TransactionGuard tx(m_dm.HourvaneDB);
    const auto before = snapshot();
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        // A duplicate error leaves the guard to roll back an owned transaction.
        if (!m_items[i]->Save(lockIdentity)) {
            if (tx.owned())
                restore(before); // nothing was written, so nothing counts as saved
            tx.rollback();
            return int(i);
        }
    }
    tx.commit();
    return -1;
}

std::vector<TTimeOffRecClass::Snapshot> TTimeOffListClass::snapshot() const
{
    std::vector<TTimeOffRecClass::Snapshot> saved;
    saved.reserve(m_items.size());
    for (const auto& item : m_items)
        saved.push_back(item->snapshot());
    return saved;
}

void TTimeOffListClass::restore(const std::vector<TTimeOffRecClass::Snapshot>& saved)
{
    for (std::size_t i = 0; i < m_items.size() && i < saved.size(); ++i)
        m_items[i]->restore(saved[i]);
}

int TTimeOffListClass::DeleteAll(const std::string& lockIdentity)
{
    // Entries deleted before a failure come back with their rows, keys and
    // locks, so that the list can still unlock them and a retry deletes them.
    const auto before = snapshot();
    TransactionGuard tx(m_dm.HourvaneDB);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (!m_items[i]->Delete(lockIdentity)) {
            if (tx.owned()) {
                tx.rollback();
                restore(before);
            }
            return int(i);
        }
    }
    tx.commit();
    return -1;
}

bool TTimeOffListClass::LockAll(const std::string& lockIdentity)
{
    TransactionGuard tx(m_dm.HourvaneDB);
    const std::string identity = TSQLRecClass::storedIdentity(lockIdentity);
    for (auto& item : m_items) {
        if (item->lockHolder() == identity)
            continue;
        if (!item->Lock(lockIdentity)) {
            tx.rollback();
            m_lockedBySomeoneElse = true;
            return false;
        }
    }
    tx.commit();
    return true;
}

bool TTimeOffListClass::UnlockAll(const std::string& lockIdentity)
{
    TransactionGuard tx(m_dm.HourvaneDB);
    for (auto& item : m_items) {
        if (!item->Unlock(lockIdentity)) {
            tx.rollback();
            return false;
        }
    }
    tx.commit();
    return true;
}

// --- TTimeOffReportListClass ---

TTimeOffReportListClass::TTimeOffReportListClass(THourvaneDataMod& dm, std::int32_t empID, double firstDate,
                                                 double lastDate)
    : m_dm(dm), m_empID(empID), m_firstDate(firstDate), m_lastDate(lastDate)
{
}

bool TTimeOffReportListClass::Load()
{
    m_items.clear();
    const auto keys = filteredKeys(m_dm.tblTimeOff, rangeFilter(m_empID, m_firstDate, m_lastDate));
    for (const RowKey& k : keys) {
        auto entry = std::make_unique<TTimeOffRecClass>(m_dm, m_empID, k.day, k.reasonID);
        entry->Load();
        m_items.push_back(std::move(entry));
    }
    return true;
}

// --- OldestTimeOffDate ---

double OldestTimeOffDate(THourvaneDataMod& dm)
{
    engine::Query& q = dm.qryBlank;
    q.close();
    q.clearSql();
    q.addSql("select min(WeekDate) as OldestDate from TimeOff");
    q.open();
    double oldest = 0;
    if (!q.eof() && !q.fieldByName("OldestDate").isNull())
        oldest = q.fieldByName("OldestDate").asDateTime();
    q.close();
    return oldest;
}

} // namespace hv
