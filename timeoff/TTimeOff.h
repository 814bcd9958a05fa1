#pragma once
// Time off entries: one row of timeoff.dat (table component tblTimeOff) holds
// the hours one employee was away on one day for one reason. The week list
// loads one employee's entries of one week with their per-weekday totals; the
// report list loads the entries of a date range.
#include "storage/SQLRec.h"

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace hv {

// The text both duplicate errors carry; the callers show it as an information box.
inline constexpr const char* kDuplicateTimeOffText =
    "Another user has already added Time Off entries for this Employee for this week.\r\r"
    "Please select the employee again and make changes to the new entries.";

// Another copy stored entries for the employee and week first.
class EDuplicateTOError : public std::runtime_error {
public:
    EDuplicateTOError() : std::runtime_error(kDuplicateTimeOffText) {}
};
// A new-day entry met a day that already has an entry of any reason.
class EDuplicateTODayError : public EDuplicateTOError {};
// The post met an entry with the same employee, day and reason.
class EDuplicateTOKeyError : public EDuplicateTOError {};

class TTimeOffRecClass : public TSQLRecClass {
public:
    explicit TTimeOffRecClass(THourvaneDataMod& dm, std::int32_t empID = 0, double weekDate = 0,
                              std::int32_t reasonID = 0);

    // The key parts select the row Load reads; EmpID never marks the entry.
    std::int32_t EmpID() const { return m_empID; }
    void SetEmpID(std::int32_t id) { m_empID = id; }
    std::int32_t ReasonID() const { return m_reasonID; }
    // The calendar day the time was taken.
    double WeekDate() const { return m_weekDate; }
    float Hours() const { return m_hours; }
    // The key of the row as last loaded or saved; 0 while not stored.
    std::int32_t StoredReasonID() const { return m_storedReasonID; }
    double StoredDate() const { return m_storedDate; }
    const std::string& ApprovedBy() const { return m_approvedBy; }
    double ApprovedWhen() const { return m_approvedWhen; } // 0 = none
    // Set by the weekly time card on entries it creates: Save then refuses a
    // day that already has an entry of any reason.
    bool NewDay() const { return m_newDay; }
    void SetNewDay(bool value) { m_newDay = value; }

    // Each marks the entry modified when the value changes; the first change
    // takes the row lock (of the row as stored) with this copy's identity.
    void SetReasonID(std::int32_t value);
    void SetWeekDate(double value);
    void SetHours(float value);
    // Approval is carried through; these mark nothing.
    void SetApprovedBy(const std::string& value) { m_approvedBy = value; }
    void SetApprovedWhen(double value) { m_approvedWhen = value; }

    bool IsModified() const { return modified(); }
    // Marks nothing as locked: used to drop pending changes after the week
    // met another copy's entries.
    void SetModified(bool value) { setModified(value); }

    // What a save or delete changes in the entry, so that a rolled-back one
    // can be undone in memory too and the entry is written (or deleted) again
    // by the next one.
    struct Snapshot {
        std::int32_t empID = 0;
        std::int32_t reasonID = 0;
        float hours = 0;
        std::string approvedBy;
        double approvedWhen = 0;
        std::int32_t storedReasonID = 0;
        double storedDate = 0;
        bool newDay = false;
        bool modified = false;
        std::string lockHolder;
    };
    Snapshot snapshot() const;
    void restore(const Snapshot& s);

    // Base clear; hours 0, no stored key, new-day off, approval empty.
    // EmpID, ReasonID and WeekDate keep their values.
    void Clear() override;
    // The row (EmpID, WeekDate, ReasonID); false when there is none.
    bool Load();
    // The reason's description, or "Reason Not Found".
    std::string ReasonDescription() const;

    // True when saved or when nothing was modified; false when the user
    // declined or the save failed (its message shown). Throws
    // EDuplicateTODayError / EDuplicateTOKeyError, and ENoReasonRecError /
    // ENoPolicyRecError from the balance check.
    bool Save(const std::string& lockIdentity) override;
    // Deletes the stored row; false (silently) when it is gone. On success
    // the entry is new again with EmpID and ReasonID 0.
    bool Delete(const std::string& lockIdentity) override;
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

private:
    void markChanged();
    bool findStoredRow();
    bool findLockRow();
    // The balance check; false when the user chose not to save.
    bool confirmBalance();

    std::int32_t m_empID = 0;
    std::int32_t m_reasonID = 0;
    double m_weekDate = 0;
    float m_hours = 0;
    std::int32_t m_storedReasonID = 0;
    double m_storedDate = 0;
    std::string m_approvedBy;
    double m_approvedWhen = 0;
    bool m_newDay = false;
};

// Hours of one time off entry with its reason's flags, as a reader of many
// weeks at once hands them over.
struct TimeOffHours {
    double day = 0;
    float hours = 0;
    bool paid = false;
    bool overtime = false;
};

// One employee's entries of the week ending on the week-ending date, with day
// totals indexed by weekday (0 = Sunday .. 6 = Saturday), not by position in
// the week.
class TTimeOffListClass {
public:
    explicit TTimeOffListClass(THourvaneDataMod& dm, std::int32_t empID = 0, double weekEnd = 0);
    TTimeOffListClass(const TTimeOffListClass&) = delete;
    TTimeOffListClass& operator=(const TTimeOffListClass&) = delete;

    std::int32_t EmpID() const { return m_empID; }
    void SetEmpID(std::int32_t id) { m_empID = id; }
    double WeekEnd() const { return m_weekEnd; }
    void SetWeekEnd(double date) { m_weekEnd = date; }

    // Clear, then every entry from WeekEnd - 6 to WeekEnd with the totals; true.
    bool Load();
    // Clear, then the totals of these entries without the entry records: for
    // readers (the reports) that read many weeks' rows at once.
    void LoadTotals(const std::vector<TimeOffHours>& entries);
    // Recomputes the totals from the entries held in memory (after the owner
    // added, removed or changed entries).
    void ComputeTotals();

    float DayTotal(int weekday) const { return m_total.at(std::size_t(weekday)); }
    float DayPaid(int weekday) const { return m_paid.at(std::size_t(weekday)); }
    float DayOvertime(int weekday) const { return m_overtime.at(std::size_t(weekday)); }
    float DayUnpaid(int weekday) const { return m_unpaid.at(std::size_t(weekday)); }
    float GrandTotal() const { return m_grandTotal; }

    int Count() const { return int(m_items.size()); }
    TTimeOffRecClass& Items(int index) { return *m_items.at(std::size_t(index)); }
    const TTimeOffRecClass& Items(int index) const { return *m_items.at(std::size_t(index)); }
    // The list takes the entry over; returns it.
    TTimeOffRecClass& Add(std::unique_ptr<TTimeOffRecClass> entry);
    // Frees the entry at the position (in memory only).
    void Remove(int index);

    bool AnyModified() const;
    void SetAllModified(bool value);

    // Save / Delete of every entry in list order inside one transaction
    // (owned only when none is active); -1 when all succeeded, else the
    // position of the first failing entry after rolling back an owned one.
    // The duplicate errors pass to the caller after the same rollback.
    int SaveAll(const std::string& lockIdentity);
    // The entries' save state by position, for a caller whose transaction
    // rolls back after SaveAll wrote some of them.
    std::vector<TTimeOffRecClass::Snapshot> snapshot() const;
    void restore(const std::vector<TTimeOffRecClass::Snapshot>& saved);
    int DeleteAll(const std::string& lockIdentity);
    // Locks every entry not already held by the identity; on a refusal rolls
    // back, sets LockedBySomeoneElse and returns false.
    bool LockAll(const std::string& lockIdentity);
    bool UnlockAll(const std::string& lockIdentity);
    // Stays set after a refused LockAll until the next Load or Clear.
    bool LockedBySomeoneElse() const { return m_lockedBySomeoneElse; }

    // Frees the entries, zeroes the totals, clears the flag.
    void Clear();

private:
    void addToTotals(const TTimeOffRecClass& entry);
    void addHours(double day, float hours, bool paid, bool overtime);
    void zeroTotals();

    THourvaneDataMod& m_dm;
    std::int32_t m_empID;
    double m_weekEnd;
    std::vector<std::unique_ptr<TTimeOffRecClass>> m_items;
    std::array<float, 7> m_total{};
    std::array<float, 7> m_paid{};
    std::array<float, 7> m_overtime{};
    std::array<float, 7> m_unpaid{};
    float m_grandTotal = 0;
    bool m_lockedBySomeoneElse = false;
};

// One employee's entries from the first to the last date (both inclusive),
// by day and then reason number.
class TTimeOffReportListClass {
public:
    explicit TTimeOffReportListClass(THourvaneDataMod& dm, std::int32_t empID = 0, double firstDate = 0,
                                     double lastDate = 0);
    TTimeOffReportListClass(const TTimeOffReportListClass&) = delete;
    TTimeOffReportListClass& operator=(const TTimeOffReportListClass&) = delete;

    std::int32_t EmpID() const { return m_empID; }
    void SetEmpID(std::int32_t id) { m_empID = id; }
    double FirstDate() const { return m_firstDate; }
    void SetFirstDate(double date) { m_firstDate = date; }
    double LastDate() const { return m_lastDate; }
    void SetLastDate(double date) { m_lastDate = date; }

    // Empties the list and reads the range afresh; true.
    bool Load();
    int Count() const { return int(m_items.size()); }
    TTimeOffRecClass& Items(int index) { return *m_items.at(std::size_t(index)); }
    const TTimeOffRecClass& Items(int index) const { return *m_items.at(std::size_t(index)); }
    void Clear() { m_items.clear(); }

private:
    THourvaneDataMod& m_dm;
    std::int32_t m_empID;
    double m_firstDate;
    double m_lastDate;
    std::vector<std::unique_ptr<TTimeOffRecClass>> m_items;
};

// The earliest day of any time off entry; 0 when there are none.
double OldestTimeOffDate(THourvaneDataMod& dm);

} // namespace hv
