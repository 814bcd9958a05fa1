#include "timekeeping/WorkUtil.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "people/TEmpOTPolicy.h"
#include "people/TOTPolicy.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "ports/MessageService.h"
#include "storage/DataModule.h"
#include "storage/SQLRec.h"

#include <cmath>
#include <optional>
#include <ostream>

namespace hv {

WeekSplit SplitWeek(const std::array<float, 7>& worked, const std::array<float, 7>& counting, bool weekly,
                    float threshold)
{
    WeekSplit s;
    std::array<float, 7> counted{};
    for (std::size_t i = 0; i < 7; ++i)
        counted[i] = worked[i] + counting[i];

    if (weekly) {
        float carry = 0;
        for (std::size_t i = 0; i < 7; ++i) {
            if (carry + counted[i] > threshold) {
                s.overtime[i] = carry + counted[i] - threshold;
                s.regular[i] = threshold - carry;
                carry = threshold;
            } else {
                s.overtime[i] = 0;
                s.regular[i] = counted[i];
                carry += counted[i];
            }
        }
    } else {
        for (std::size_t i = 0; i < 7; ++i) {
            if (counted[i] > threshold) {
                s.overtime[i] = counted[i] - threshold;
                s.regular[i] = threshold;
            } else {
                s.overtime[i] = 0;
                s.regular[i] = counted[i];
            }
        }
    }

    // Time off that counts toward overtime moves worked hours into overtime
    // but is not itself worked time, so the regular total starts from the
    // worked hours alone.
    float workedTotal = 0;
    for (std::size_t i = 0; i < 7; ++i) {
        workedTotal += worked[i];
        s.overtimeTotal += s.overtime[i];
    }
    s.regularTotal = workedTotal - s.overtimeTotal;
    if (s.regularTotal < 0)
        s.regularTotal = 0;
    return s;
}

int WeekSaveResult::code() const
{
    switch (outcome) {
    case Outcome::Saved:
        return kWeekSaved;
    case Outcome::DayFailed:
        return day;
    case Outcome::TimeOffFailed:
        return kWeekTimeOffFailed;
    case Outcome::AddedByAnotherCopy:
        return kWeekDuplicate;
    case Outcome::NotStored:
        return kWeekNotStored;
    }
    return kWeekSaved;
}

std::ostream& operator<<(std::ostream& out, const WeekSaveResult& result) { return out << result.code(); }

TWorkWeekRecClass::TWorkWeekRecClass(THourvaneDataMod& dm) : m_dm(dm)
{
    for (auto& day : m_days)
        day = std::make_unique<THoursWorkedRecClass>(dm);
    m_timeOff = std::make_unique<TTimeOffListClass>(dm);
    m_policy = std::make_unique<TOTPolicyRecClass>(dm);
}

TWorkWeekRecClass::~TWorkWeekRecClass() = default;

std::int32_t TWorkWeekRecClass::EmployeeID() const { return m_days[0]->employee(); }

void TWorkWeekRecClass::SetEmployee(std::int32_t empID)
{
    m_policy->SetPolicyID(0); // read again at the next computation
    for (auto& day : m_days)
        day->setEmployee(empID);
    m_timeOff->SetEmpID(empID);
}

void TWorkWeekRecClass::SetWeekEnd(double weekEnd)
{
    m_weekEnd = weekEnd;
    for (std::size_t i = 0; i < 7; ++i)
        m_days[i]->setDayDate(weekEnd - 6 + double(i));
    m_timeOff->SetWeekEnd(weekEnd);
}

bool TWorkWeekRecClass::IsModified() const
{
    for (const auto& day : m_days)
        if (day->modified())
            return true;
    return m_timeOff->AnyModified();
}

void TWorkWeekRecClass::Clear()
{
    m_split = WeekSplit{};
    m_unpaidTimeOff = 0;
    m_timeOffTotal = 0;
    for (auto& day : m_days)
        day->Clear();
    m_timeOff->Clear();
    m_loaded = false;
}

namespace {
// Every table a week's Load reads: its read transaction locks only these.
const std::vector<std::string> kWeekTables = {"workday", "timeoff", "reason", "empot", "otpolicy"};
const char* const kDaysFile = "workday";
const char* const kTimeOffFile = "timeoff";
} // namespace

std::vector<std::string> TWorkWeekRecClass::storedFiles() const
{
    std::vector<std::string> files;
    for (const auto& day : m_days)
        if (!day->newRow(0) || !day->newRow(1)) {
            files.push_back(kDaysFile);
            break;
        }
    for (int i = 0; i < m_timeOff->Count(); ++i)
        if (m_timeOff->Items(i).StoredReasonID() != 0) {
            files.push_back(kTimeOffFile);
            break;
        }
    return files;
}

std::vector<std::string> TWorkWeekRecClass::changedFiles() const
{
    std::vector<std::string> files;
    for (const auto& day : m_days)
        if (day->modified()) {
            files.push_back(kDaysFile);
            break;
        }
    if (m_timeOff->AnyModified())
        files.push_back(kTimeOffFile);
    return files;
}

bool TWorkWeekRecClass::Load()
{
    engine::ReadTransaction reading(m_dm.HourvaneDB, kWeekTables);
    Clear();
    loadDays();
    m_timeOff->Load();
    loadAssignments();
    m_policy->SetPolicyID(0); // the policy as stored now
    Compute(*m_assignments);
    m_loaded = true;
    return true;
}

void TWorkWeekRecClass::loadDays()
{
    engine::Table& t = m_dm.tblWorkDay;
    const double first = std::floor(m_weekEnd) - 6;
    t.setIndexName("");
    engine::FilterScope filter(t, "EmpID = " + std::to_string(EmployeeID()) + " and WeekDate between '" +
                                      FormatDateTime("yyyy-mm-dd", first) + "' and '" +
                                      FormatDateTime("yyyy-mm-dd", first + 6) + "'");
    // In key order: a day's row 0 comes before its row 1, as Load reads them.
    for (t.first(); !t.eof(); t.next()) {
        const double i = std::floor(t.fieldByName("WeekDate").asDateTime()) - first;
        const std::int64_t s = t.fieldByName("SequenceNum").asInteger();
        if (i < 0 || i > 6 || s < 0 || s > 1)
            continue;
        m_days[std::size_t(i)]->LoadCurrentRow(int(s));
    }
}

void TWorkWeekRecClass::loadAssignments()
{
    m_assignments = std::make_unique<TEmpOTPolicyListClass>(m_dm, EmployeeID());
    m_assignments->Load();
    m_assignmentsOf = EmployeeID();
}

void TWorkWeekRecClass::LoadRows(const std::vector<DayPunchRow>& punches, const std::vector<TimeOffHours>& timeOff,
                                 const TEmpOTPolicyListClass& assignments)
{
    Clear();
    const double first = m_weekEnd - 6;
    for (const DayPunchRow& row : punches) {
        const double i = row.day - first;
        if (i < 0 || i > 6 || row.sequence < 0 || row.sequence > 1)
            continue;
        m_days[std::size_t(i)]->LoadRow(row.sequence, row.in, row.out, row.shift);
    }
    m_timeOff->LoadTotals(timeOff);
    Compute(assignments);
    m_loaded = true;
}

void TWorkWeekRecClass::Compute()
{
    if (!m_assignments || m_assignmentsOf != EmployeeID()) {
        engine::ReadTransaction reading(m_dm.HourvaneDB, kWeekTables);
        loadAssignments();
    }
    Compute(*m_assignments);
}

void TWorkWeekRecClass::Compute(const TEmpOTPolicyListClass& assignments)
{
    TOTPolicyRecClass& policy = *m_policy;
    assignments.PolicyInForce(policy, m_weekEnd);

    std::array<float, 7> worked{}, counting{};
    for (std::size_t i = 0; i < 7; ++i) {
        worked[i] = m_days[i]->DayHours();
        counting[i] = m_timeOff->DayOvertime(DayOfWeek(m_days[i]->dayDate()));
    }
    m_split = SplitWeek(worked, counting, policy.WeeklyFlag(), policy.Hours1());

    // The unpaid totals are by weekday; the seven days cover each weekday once.
    m_unpaidTimeOff = 0;
    for (int w = 0; w < 7; ++w)
        m_unpaidTimeOff += m_timeOff->DayUnpaid(w);
    m_timeOffTotal = m_timeOff->GrandTotal();
}

void TWorkWeekRecClass::rebuildDay(int i, const std::string& lockIdentity)
{
    const THoursWorkedRecClass& old = *m_days[std::size_t(i)];
    auto fresh = std::make_unique<THoursWorkedRecClass>(m_dm);
    fresh->setEmployee(old.employee());
    fresh->setDayDate(old.dayDate());
    fresh->Load();
    for (int k = 1; k <= 4; ++k) {
        fresh->setIn(k, old.In(k));
        fresh->setOut(k, old.Out(k));
    }
    for (int s = 0; s < 2; ++s)
        fresh->setShift(s, old.shift(s));
    if (old.approvedWhen() > 0)
        fresh->setApproval(old.approvedBy(), old.approvedWhen());
    // A day locked only in memory (no row yet) must keep that lock, or its
    // next save would append a row nobody holds.
    const std::string identity = TSQLRecClass::storedIdentity(lockIdentity);
    if (!identity.empty() && old.lockHolder() == identity && fresh->lockHolder() != identity)
        fresh->Lock(lockIdentity);
    fresh->setModified(true);
    m_days[std::size_t(i)] = std::move(fresh);
}

WeekSaveResult TWorkWeekRecClass::Save(const std::string& lockIdentity)
{
    // The engine's own failures (a full disk, a share gone, a lock held too
    // long) end the save with a message instead of an exception the window
    // cannot catch.
    auto notStored = [this](const std::exception& e) {
        tell("The following error occurred saving the " + m_days[0]->recordName() +
                 " record: " + TSQLRecClass::engineErrorText(e) + "\r\r" + "The record was NOT saved.",
             MsgKind::Warning);
        return WeekSaveResult{WeekSaveResult::Outcome::NotStored};
    };
    std::optional<TransactionGuard> started;
    try {
        started.emplace(m_dm.HourvaneDB, changedFiles());
    } catch (const std::exception& e) {
        return notStored(e);
    }
    TransactionGuard& guard = *started;
    std::array<bool, 7> wasModified{};
    for (std::size_t i = 0; i < 7; ++i)
        wasModified[i] = m_days[i]->modified();
    const auto timeOffBefore = m_timeOff->snapshot();

    // After a rollback the days written before the failure believe their
    // rows exist; rebuilt, they are written again by the next save.
    auto undo = [&](int upTo) {
        guard.rollback();
        if (!guard.owned())
            return;
        for (int j = 0; j < upTo; ++j)
            if (wasModified[std::size_t(j)])
                rebuildDay(j, lockIdentity);
        // Entries written before the failing one were undone as well.
        m_timeOff->restore(timeOffBefore);
    };

    std::string duplicateText;
    try {
        for (int i = 0; i < 7; ++i) {
            if (!m_days[std::size_t(i)]->Save(lockIdentity)) {
                undo(i);
                return WeekSaveResult::dayFailed(i);
            }
        }
        if (m_timeOff->SaveAll(lockIdentity) >= 0) {
            undo(7);
            return {WeekSaveResult::Outcome::TimeOffFailed};
        }
        try {
            guard.commit();
        } catch (const std::exception& e) {
            try {
                undo(7);
            } catch (const std::exception&) {
                // The engine rolls the journal back when the folder is next opened.
            }
            return notStored(e);
        }
        return {WeekSaveResult::Outcome::Saved};
    } catch (const EDuplicateHourKeyError& e) {
        duplicateText = e.what();
    } catch (const EDuplicateTOError& e) {
        duplicateText = e.what();
    }

    ShowMessageBox(duplicateText, MsgKind::Information, MsgButtons::Ok);
    for (auto& day : m_days)
        day->setModified(false);
    m_timeOff->SetAllModified(false);
    guard.commit();
    return {WeekSaveResult::Outcome::AddedByAnotherCopy};
}

bool TWorkWeekRecClass::Delete(const std::string& lockIdentity)
{
    // As in Save: a transaction the engine cannot start or commit ends the
    // delete with a message, never with an exception the window cannot catch.
    auto notDeleted = [this](const std::exception& e) {
        tell("The following error occurred deleting the " + m_days[0]->recordName() +
                 " record: " + TSQLRecClass::engineErrorText(e) + "\r\r" + "The record was NOT deleted.",
             MsgKind::Warning);
        return false;
    };
    std::optional<TransactionGuard> started;
    try {
        started.emplace(m_dm.HourvaneDB, storedFiles());
    } catch (const std::exception& e) {
        return notDeleted(e);
    }
    TransactionGuard& guard = *started;
    // A deleted day is cleared in memory; after a rollback its rows are back,
    // so it is read again to show what the table holds.
    const auto timeOffBefore = m_timeOff->snapshot();
    auto undo = [&](int upTo) {
        guard.rollback();
        for (int j = 0; j < upTo; ++j)
            m_days[std::size_t(j)]->Load();
        // Entries deleted before the failure are back in the table too.
        if (guard.owned())
            m_timeOff->restore(timeOffBefore);
    };
    for (int i = 0; i < 7; ++i) {
        if (!m_days[std::size_t(i)]->Delete(lockIdentity)) {
            undo(i);
            return false;
        }
    }
    if (m_timeOff->DeleteAll(lockIdentity) >= 0) {
        undo(7);
        return false;
    }
    try {
        guard.commit();
    } catch (const std::exception& e) {
        try {
            undo(7);
        } catch (const std::exception&) {
            // The engine rolls the journal back when the folder is next opened.
        }
        return notDeleted(e);
    }
    return true;
}

bool TWorkWeekRecClass::lockEach(const std::string& lockIdentity, bool lock)
{
    try {
        TransactionGuard guard(m_dm.HourvaneDB, storedFiles());
        // Inside a caller's transaction a refusal still takes back the locks
        // of this week taken before it, and only those.
        std::optional<engine::Savepoint> whole;
        if (!guard.owned())
            whole.emplace(m_dm.HourvaneDB, "week_lock");
        for (auto& day : m_days) {
            if (!(lock ? day->Lock(lockIdentity) : day->Unlock(lockIdentity))) {
                whole.reset();
                guard.rollback();
                return false;
            }
        }
        if (!(lock ? m_timeOff->LockAll(lockIdentity) : m_timeOff->UnlockAll(lockIdentity))) {
            whole.reset();
            guard.rollback();
            return false;
        }
        if (whole)
            whole->release();
        guard.commit();
        return true;
    } catch (const engine::EngineError& e) {
        // The transaction could not start or commit (other copies held the
        // files past the engine's wait, a full disk); the guard rolled back.
        tell(lockFailureText(m_days[0]->recordName(), lock, e), MsgKind::Warning);
    } catch (const engine::EngineTextError& e) {
        tell(lockFailureText(m_days[0]->recordName(), lock, e), MsgKind::Warning);
    }
    return false;
}

bool TWorkWeekRecClass::Lock(const std::string& lockIdentity) { return lockEach(lockIdentity, true); }

bool TWorkWeekRecClass::Unlock(const std::string& lockIdentity) { return lockEach(lockIdentity, false); }

bool TWorkWeekRecClass::LoadLocked(const std::string& lockIdentity)
{
    Load();
    // The lock and the second read under it are one transaction, committed
    // once: no other copy can save between them, and the week is not locked
    // and read again in two more transactions that would each wait for the
    // other copies' commits. Only the files holding the week's rows are
    // locked for writing.
    std::optional<TransactionGuard> started;
    try {
        started.emplace(m_dm.HourvaneDB, storedFiles());
    } catch (const std::exception& e) {
        tell(lockFailureText(m_days[0]->recordName(), true, e), MsgKind::Warning);
        return false;
    }
    TransactionGuard& guard = *started;
    // Inside a caller's transaction (a copy saving one week and opening the
    // next in one commit) a refusal takes back this week's locks only.
    std::optional<engine::Savepoint> whole;
    try {
        if (!guard.owned())
            whole.emplace(m_dm.HourvaneDB, "week_load_lock");
    } catch (const std::exception& e) {
        tell(lockFailureText(m_days[0]->recordName(), true, e), MsgKind::Warning);
        return false;
    }
    // A refusal takes every lock of the week back; the week shows the rows
    // as stored.
    auto refused = [&] {
        whole.reset();
        guard.rollback();
        Load();
        return false;
    };
    if (!Lock(lockIdentity))
        return refused();
    Load();
    // Rows another copy added before the lock are locked too; when one of
    // them is held elsewhere, the week is refused whole, as by the first lock.
    try {
        m_dm.HourvaneDB.lockForWriting(storedFiles()); // the first rows of a table new to the week
        if (!Lock(lockIdentity))
            return refused();
        if (whole)
            whole->release();
        guard.commit();
    } catch (const std::exception& e) {
        tell(lockFailureText(m_days[0]->recordName(), true, e), MsgKind::Warning);
        try {
            refused();
        } catch (const std::exception&) {
            // The engine rolls the journal back when the folder is next opened.
        }
        return false;
    }
    return true;
}

bool TWorkWeekRecClass::CopyPreviousWeek()
{
    m_timeOff->Clear();
    for (auto& day : m_days)
        day->CopyFromPreviousWeek();
    Compute();
    return true;
}

} // namespace hv
