#include "people/TEmpWage.h"

#include "engine/EngineError.h"
#include "engine/Table.h"
#include "people/Money.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "storage/DataModule.h"
#include "storage/SQLRec.h"

#include <algorithm>

namespace hv {
namespace {

const char* const kEmpWageRecord = "Employee Wage";

} // namespace

std::string PayTypeWord(const std::string& code)
{
    if (code == "W")
        return "Week";
    if (code == "H")
        return "Hour";
    if (code == "M")
        return "Month";
    return "Year";
}

// --- TEmpWageRecClass ---

TEmpWageRecClass::TEmpWageRecClass(THourvaneDataMod& dm) : THistoryRecClass(dm)
{
    setRecordName(kEmpWageRecord);
    setTableName("tblWages");
    Clear();
}

void TEmpWageRecClass::Clear()
{
    TSQLRecClass::Clear();
    m_values.storedStartDate = 0;
    m_values.storedEndDate = 0;
    m_values.endDate = 0;
    m_values.wage = 0;
    m_values.payTypeCode = "H";
    m_values.overtimeFlag = true;
    m_values.deletePending = false;
}

bool TEmpWageRecClass::findStoredRow()
{
    engine::Table& t = table();
    t.setIndexName("");
    return t.findKey({engine::Value(std::int64_t(m_values.empID)), engine::Value(m_values.storedStartDate)});
}

bool TEmpWageRecClass::Load()
{
    Clear();
    engine::Table& t = table();
    t.setIndexName("");
    if (!t.findKey({engine::Value(std::int64_t(m_values.empID)), engine::Value(m_values.startDate)}))
        return false;
    m_values.storedStartDate = m_values.startDate;
    engine::Field end = t.fieldByName("EndDate");
    m_values.endDate = end.isNull() ? 0 : end.asDateTime();
    m_values.storedEndDate = m_values.endDate;
    m_values.wage = float(t.fieldByName("Wage").asFloat());
    m_values.payTypeCode = t.fieldByName("PayTypeCode").asString();
    m_values.overtimeFlag = t.fieldByName("OvertimeFlag").asBoolean();
    setLockHolder(t.fieldByName("LockedBy").asString());
    noteStoredRow(t);
    return true;
}

bool TEmpWageRecClass::Save(const std::string& lockIdentity)
{
    if (!modified())
        return true;
    const bool saved = SaveKeyedRow(
        lockIdentity, m_values.storedStartDate != 0, [this] { return findStoredRow(); }, recreateQuestion(),
        [this](engine::Table& t, bool appended) {
            if (appended)
                t.fieldByName("EmpID").setAsInteger(m_values.empID);
            t.fieldByName("StartDate").setAsDateTime(m_values.startDate);
            if (m_values.endDate > 0)
                t.fieldByName("EndDate").setAsDateTime(m_values.endDate);
            else
                t.fieldByName("EndDate").clear();
            // The column is exact currency; the float is taken at its nearest
            // ten-thousandth so that 10.10 is stored as 10.10.
            t.fieldByName("Wage").setAsCurrencyUnits(RoundUnits(double(m_values.wage) * double(kMoneyScale)));
            t.fieldByName("PayTypeCode").setAsString(m_values.payTypeCode);
            t.fieldByName("OvertimeFlag").setAsBoolean(m_values.overtimeFlag);
        },
        {}, {});
    if (saved) {
        // The row now lives under the new start date: a later save must find
        // it there instead of appending it a second time.
        m_values.storedStartDate = m_values.startDate;
        m_values.storedEndDate = m_values.endDate;
    }
    return saved;
}

bool TEmpWageRecClass::Delete(const std::string& lockIdentity)
{
    if (!deleteStoredRow(lockIdentity, true))
        return false;
    Clear();
    m_values.empID = 0;
    m_values.startDate = 0;
    return true;
}

// --- TWageListClass ---

TWageListClass::TWageListClass(THourvaneDataMod& dm, std::int32_t empID) : THistoryListClass(dm, empID, kEmpWageRecord)
{
}

void TWageListClass::Load()
{
    m_items.clear();
    std::vector<double> starts;
    {
        engine::Table& t = m_dm.tblWages;
        t.setIndexName("");
        engine::FilterScope filter(t, "EmpID = " + std::to_string(m_empID));
        for (t.first(); !t.eof(); t.next())
            starts.push_back(t.fieldByName("StartDate").asDateTime());
    }
    for (double start : starts) {
        auto entry = std::make_unique<TEmpWageRecClass>(m_dm);
        entry->SetEmpID(m_empID);
        entry->SetStartDate(start);
        if (entry->Load())
            m_items.push_back(std::move(entry));
    }
}

const TEmpWageRecClass* TWageListClass::WageInEffect(double date) const
{
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
        if ((*it)->StartDate() <= date)
            return it->get();
    }
    return nullptr;
}

void TWageListClass::FillWageGrid(GridView& grid) const
{
    if (grid.columnCount() < 7)
        grid.setColumnCount(7);
    grid.setRowCount(1);
    grid.clearCells();
    const std::string format = m_dm.state().dateFormatShown();
    int row = 0;
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        const TEmpWageRecClass& e = *m_items[i];
        if (e.DeletePending())
            continue;
        if (row >= grid.rowCount())
            grid.setRowCount(row + 1);
        grid.setCell(row, 0, FormatCurrency(e.Wage(), 2));
        grid.setCell(row, 1, PayTypeWord(e.PayTypeCode()));
        grid.setCell(row, 2, FormatDateTime(format, e.StartDate()));
        grid.setCell(row, 3, e.EndDate() > 0 ? FormatDateTime(format, e.EndDate()) : std::string());
        grid.setCell(row, 4, e.OvertimeFlag() ? "X" : "");
        grid.setCell(row, 5, FormatFloat("0.00", e.Wage()));
        grid.setCell(row, 6, std::to_string(i));
        ++row;
    }
}

} // namespace hv
