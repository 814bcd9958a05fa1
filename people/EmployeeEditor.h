#pragma once
// The Employees window's save, apart from its controls: the employee record,
// its custom values and its history lists written in one transaction. When a
// step fails, the rows are rolled back and every object is put back as it
// was, so that a retry writes each row exactly once. The window hands over
// what its name and start date boxes hold and shows the result.
#include <cstdint>
#include <string>
#include <vector>

namespace hv {

class THourvaneDataMod;
class TEmployeeRecClass;
class TEmpOtherValueListClass;

// One of the employee's history lists as the save sees it. The benefit
// balances belong to a folder above this one, so the save knows the lists
// only through this face; EmployeeHistoryOf gives it to any history list.
class EmployeeHistory {
public:
    virtual ~EmployeeHistory() = default;
    virtual void SetEmpID(std::int32_t empID) = 0;
    virtual bool AnyModified() const = 0;
    // Locks, saves and unlocks every entry; false at the first failure, whose
    // message was shown.
    virtual bool Write(const std::string& lockIdentity) = 0;
    // Remembers the list's save state; putBack restores what was remembered.
    virtual void keep() = 0;
    virtual void putBack() = 0;
};

template <class List>
class EmployeeHistoryOf final : public EmployeeHistory {
public:
    explicit EmployeeHistoryOf(List& list) : m_list(list) {}
    void SetEmpID(std::int32_t empID) override { m_list.SetEmpID(empID); }
    bool AnyModified() const override { return m_list.AnyModified(); }
    bool Write(const std::string& lockIdentity) override
    {
        return m_list.LockAll(lockIdentity) && m_list.SaveAll(lockIdentity) == -1 && m_list.UnlockAll(lockIdentity);
    }
    void keep() override { m_before = m_list.snapshot(); }
    void putBack() override { m_list.restore(m_before); }

private:
    List& m_list;
    typename List::Snapshot m_before;
};

// What the window's boxes hold when the save starts.
struct EmployeeBoxes {
    std::string firstName;
    std::string lastName;
    std::string startDateText; // as the box shows it
    double startDate = 0;      // the box's date; 0 when it holds none
};

struct EmployeeSaveResult {
    enum class Outcome {
        Saved,
        NameMissing,      // both names empty; the message was shown
        StartDateMissing, // the start date box is empty; the message was shown
        Failed,           // a step failed and said why; nothing was written
    };
    Outcome outcome = Outcome::Saved;
    bool saved() const { return outcome == Outcome::Saved; }
};

class TEmployeeEditor {
public:
    // histories are written in this order after the custom values (the
    // overtime assignments, the opening benefit balances, the wages).
    TEmployeeEditor(THourvaneDataMod& dm, TEmployeeRecClass& employee, TEmpOtherValueListClass& values,
                    std::vector<EmployeeHistory*> histories);

    // The record, a custom value or a history entry holds a change.
    bool AnyModified() const;

    // Checks the boxes, then saves the record, every modified custom value
    // and the histories in one transaction and unlocks the record. A new
    // employee whose start date box was never left takes the date it shows.
    EmployeeSaveResult Save(const EmployeeBoxes& boxes, const std::string& lockIdentity);

private:
    bool writeAll(const std::string& lockIdentity);

    THourvaneDataMod& m_dm;
    TEmployeeRecClass& m_employee;
    TEmpOtherValueListClass& m_values;
    std::vector<EmployeeHistory*> m_histories;
};

} // namespace hv
