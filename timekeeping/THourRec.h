#pragma once
// The punch times of one employee on one calendar day. The table keeps a day
// in up to two rows: SequenceNum 0 holds pairs 1 and 2, SequenceNum 1 holds
// pairs 3 and 4; an empty punch is a null column and a day without times has
// no row at all. Seven of these make up the week the main window shows.
#include "storage/SQLRec.h"
#include "timekeeping/TimeValues.h"

#include <array>
#include <stdexcept>
#include <string>

namespace hv {

// The text the duplicate-entries error carries.
extern const char* const kDuplicateHourKeyText;

// Raised by Save when another copy stored this day's row first; the week save
// catches it and asks the user to pick the employee again.
class EDuplicateHourKeyError : public std::runtime_error {
public:
    EDuplicateHourKeyError();
};

class THoursWorkedRecClass : public TSQLRecClass {
public:
    explicit THoursWorkedRecClass(THourvaneDataMod& dm);

    // Base Clear; every punch empty, both rows new, shifts 1, no approval.
    // The employee and the day date stay.
    void Clear() override;
    // Validates, then writes, re-creates or deletes each row as its pairs
    // require. Throws EDuplicateHourKeyError; every other failure shows its
    // own message and returns false.
    bool Save(const std::string& lockIdentity) override;
    // Deletes the stored rows; on success the record is cleared.
    bool Delete(const std::string& lockIdentity) override;
    // Per row: stored rows through the row-lock protocol, absent rows in
    // memory only. True when both rows succeed.
    bool Lock(const std::string& lockIdentity) override;
    bool Unlock(const std::string& lockIdentity) override;

    // Reads both rows of (employee, day date); always true.
    bool Load();
    // What Load takes from row s, from the row the table (tblWorkDay) is on,
    // for a reader that walks a week's rows at once. Call Clear first and
    // row 0 before row 1.
    void LoadCurrentRow(int s);
    // What Load takes from row s (0: pairs 1 and 2, 1: pairs 3 and 4), for a
    // reader that read many days' rows at once; empty punches are
    // kEmptyPunch. Call Clear first.
    void LoadRow(int s, const std::array<double, 2>& in, const std::array<double, 2>& out, int shift);
    // Shows its own information box and returns false for incomplete or
    // overlapping pairs.
    bool Validate() const;
    // The day's hours with the minute rounding of the global settings.
    float DayHours() const;

    // The key; setting it does not mark the record modified (Load follows).
    int employee() const { return m_employee; }
    void setEmployee(int empId) { m_employee = empId; }
    double dayDate() const { return m_dayDate; }
    void setDayDate(double date) { m_dayDate = date; }

    // Pairs k = 1..4; kEmptyPunch (-1) for an empty punch. Out-of-range k throws.
    double In(int k) const;
    double Out(int k) const;
    void setIn(int k, double value);
    void setOut(int k, double value);
    // Parses the text with the time format in force; a blank text empties the
    // punch. False when the text does not parse: the value stays and the
    // caller shows PunchParseMessage.
    bool SetInText(int k, const std::string& text);
    bool SetOutText(int k, const std::string& text);
    std::string FormatIn(int k) const;
    std::string FormatOut(int k) const;
    const PunchPairs& ins() const { return m_in; }
    const PunchPairs& outs() const { return m_out; }

    // Shift of row s = 0 or 1 (1 to 3).
    int shift(int s) const;
    void setShift(int s, int value);
    // True while row s is not stored and a save must append it.
    bool newRow(int s) const;
    // True when pairs 3 and 4 hold any time (as last loaded or typed).
    bool hasMore() const { return m_hasMore; }

    const std::string& approvedBy() const { return m_approvedBy; }
    double approvedWhen() const { return m_approvedWhen; } // 0 = not approved
    void setApproval(const std::string& by, double when);

    // Loads the same weekday of the previous week into this day, keeping this
    // day's row flags and lock holder; nothing is written until saved.
    void CopyFromPreviousWeek();
    // The oldest day stored for anyone; 0 when there is none.
    double OldestWorkDate();

    // The texts this record shows.
    std::string missingEntryMessage() const;
    std::string overlapMessage() const;

private:
    bool rowEmpty(int s) const;
    bool findRow(int s);
    bool writeRow(int s, const std::string& lockIdentity);
    bool deleteRow(int s, const std::string& lockIdentity);
    void appendRow(int s, const std::string& lockIdentity);
    std::string weekdayName() const;
    void setPunch(PunchPairs& pairs, int k, double value);
    bool setPunchText(PunchPairs& pairs, int k, const std::string& text);

    int m_employee = 0;
    double m_dayDate = 0;
    PunchPairs m_in{};
    PunchPairs m_out{};
    std::array<int, 2> m_shift{1, 1};
    std::array<bool, 2> m_newRow{true, true};
    bool m_hasMore = false;
    std::string m_approvedBy;
    double m_approvedWhen = 0;
};

} // namespace hv
