#pragma once
// One employee's week: the seven daily punch records and the week's time off
// entries, loaded, saved, deleted, locked and unlocked as one unit, and the
// split of the week's hours into regular and overtime hours under the
// overtime policy in force on the week-ending date.
#include "timekeeping/THourRec.h"
#include "timeoff/TTimeOff.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;
class TEmpOTPolicyListClass;
class TOTPolicyRecClass;

// One stored punch row of a day, as a reader of many weeks reads it.
struct DayPunchRow {
    double day = 0;
    int sequence = 0;
    std::array<double, 2> in{-1, -1};
    std::array<double, 2> out{-1, -1};
    int shift = 1;
};

// The overtime split of one week, in single precision as the reports repeat it.
struct WeekSplit {
    std::array<float, 7> regular{};  // worked plus overtime-counting time off, up to the threshold
    std::array<float, 7> overtime{}; // beyond the threshold
    float regularTotal = 0;          // worked hours less overtime, never below 0
    float overtimeTotal = 0;
};

// worked[i] and counting[i] (time off that counts toward overtime) are by
// position in the week, day 0 first. Exactly the threshold is not overtime.
WeekSplit SplitWeek(const std::array<float, 7>& worked, const std::array<float, 7>& counting, bool weekly,
                    float threshold);

// The numbers a week save is known by: -1 saved, 0..6 the day that failed.
inline constexpr int kWeekSaved = -1;
inline constexpr int kWeekTimeOffFailed = 7;
inline constexpr int kWeekDuplicate = 8; // another copy added entries first
inline constexpr int kWeekNotStored = 9; // the engine could not start or commit the transaction

// What TWorkWeekRecClass::Save reports.
struct WeekSaveResult {
    enum class Outcome {
        Saved,
        DayFailed,          // day holds the failing day, 0..6
        TimeOffFailed,      // an entry of the week's time off list
        AddedByAnotherCopy, // another copy stored entries of this week first
        NotStored,          // the transaction failed to start or commit (a full disk); nothing is stored
    };
    Outcome outcome = Outcome::Saved;
    int day = -1;

    static WeekSaveResult dayFailed(int day) { return {Outcome::DayFailed, day}; }
    bool saved() const { return outcome == Outcome::Saved; }
    // kWeekSaved, the day, kWeekTimeOffFailed, kWeekDuplicate or kWeekNotStored.
    int code() const;
    friend bool operator==(const WeekSaveResult& result, int code) { return result.code() == code; }
    friend bool operator==(const WeekSaveResult& a, const WeekSaveResult& b) = default;
};
std::ostream& operator<<(std::ostream& out, const WeekSaveResult& result);

class TWorkWeekRecClass {
public:
    // Makes the seven days and the time off list.
    explicit TWorkWeekRecClass(THourvaneDataMod& dm);
    ~TWorkWeekRecClass();
    TWorkWeekRecClass(const TWorkWeekRecClass&) = delete;
    TWorkWeekRecClass& operator=(const TWorkWeekRecClass&) = delete;

    // The employee of day 0; setting it sets every day and the time off list.
    std::int32_t EmployeeID() const;
    void SetEmployee(std::int32_t empID);
    // Day i becomes E - 6 + i; the time off list covers the same days.
    void SetWeekEnd(double weekEnd);
    double WeekEnd() const { return m_weekEnd; }

    THoursWorkedRecClass& Day(int i) const { return *m_days.at(std::size_t(i)); }
    float DayRegular(int i) const { return m_split.regular.at(std::size_t(i)); }
    float DayOvertime(int i) const { return m_split.overtime.at(std::size_t(i)); }
    float RegularTotal() const { return m_split.regularTotal; }
    float OvertimeTotal() const { return m_split.overtimeTotal; }
    float UnpaidTimeOff() const { return m_unpaidTimeOff; }
    float TimeOffTotal() const { return m_timeOffTotal; }
    bool Loaded() const { return m_loaded; }

    TTimeOffListClass& TimeOffList() const { return *m_timeOff; }
    // All time off of weekday w (0 = Sunday .. 6 = Saturday).
    float TimeOffOnWeekday(int w) const { return m_timeOff->DayTotal(w); }

    bool IsModified() const;
    // Every number 0, every day and the time off list cleared, not loaded.
    void Clear();
    // Reads the days, the time off and the overtime assignments of the week
    // in one read transaction and computes; true. Employee and week end must
    // be set first.
    bool Load();
    // Recomputes from the days and time off held in memory with the overtime
    // policy in force: the assignments and the policy the last Load read (read
    // now when none was), so that recomputing while the week is edited reads
    // nothing.
    void Compute();
    // The same with the employee's overtime assignments read by the caller.
    void Compute(const TEmpOTPolicyListClass& assignments);
    // Load from rows a reader of many weeks read itself (the reports): the
    // days' punch rows of this week and its time off hours, then Compute with
    // the assignments. The time off list then holds its totals only.
    void LoadRows(const std::vector<DayPunchRow>& punches, const std::vector<TimeOffHours>& timeOff,
                  const TEmpOTPolicyListClass& assignments);

    // Nothing is stored on a failure; when another copy added entries first
    // the rows written before the conflict stay and every pending change is
    // dropped. A transaction the engine cannot start or commit shows its
    // error and leaves the week modified in memory.
    WeekSaveResult Save(const std::string& lockIdentity);
    bool Delete(const std::string& lockIdentity);
    // All rows of the week or none.
    bool Lock(const std::string& lockIdentity);
    // Load, then Lock and read again under the lock in one transaction:
    // another copy may have saved the week between the first read and the
    // lock, and a save of the older values would undo its work. False when
    // the lock was refused (the refusal has been shown; the week as stored
    // stays loaded, locked by nobody here).
    bool LoadLocked(const std::string& lockIdentity);
    bool Unlock(const std::string& lockIdentity);
    // The previous week's punches into this week (unsaved); time off emptied
    // in memory.
    bool CopyPreviousWeek();

private:
    // Rebuilds day i from the table as it is now with the values it held, so
    // that a rolled-back write is written again by the next save.
    void rebuildDay(int i, const std::string& lockIdentity);
    bool lockEach(const std::string& lockIdentity, bool lock);
    // The files of the week's tables that hold its rows (what a lock,
    // unlock or delete writes), and those a save writes: a week without
    // time off, or with only its days changed, leaves timeoff.dat out of the
    // transaction and commits one file.
    std::vector<std::string> storedFiles() const;
    std::vector<std::string> changedFiles() const;
    // The week's punch rows in one walk of the table.
    void loadDays();
    void loadAssignments();

    THourvaneDataMod& m_dm;
    double m_weekEnd = 0;
    std::array<std::unique_ptr<THoursWorkedRecClass>, 7> m_days;
    std::unique_ptr<TTimeOffListClass> m_timeOff;
    std::unique_ptr<TEmpOTPolicyListClass> m_assignments; // of m_assignmentsOf, as Load read them
    std::int32_t m_assignmentsOf = 0;
    // The policy last found in force: the next week of the same policy reads nothing.
    std::unique_ptr<TOTPolicyRecClass> m_policy;
    WeekSplit m_split;
    float m_unpaidTimeOff = 0;
    float m_timeOffTotal = 0;
    bool m_loaded = false;
};

} // namespace hv
