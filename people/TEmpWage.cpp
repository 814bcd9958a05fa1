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

TEmpWageRecClass::TEmpWageRecClass(THourvaneDataMod& dm) : TDatedHistoryRecClass(dm)
{
    setRecordName(kEmpWageRecord);
    setTableName("tblWages");
    Clear();
}

void TEmpWageRecClass::clearColumns()
{
    m_values.wage = 0;
    m_values.payTypeCode = "H";
    m_values.overtimeFlag = true;
}

void TEmpWageRecClass::readColumns(engine::Table& t)
{
    m_values.wage = float(t.fieldByName("Wage").asFloat());
    m_values.payTypeCode = t.fieldByName("PayTypeCode").asString();
    m_values.overtimeFlag = t.fieldByName("OvertimeFlag").asBoolean();
}

void TEmpWageRecClass::writeColumns(engine::Table& t)
{
    // The column is exact currency; the float is taken at its nearest
    // ten-thousandth so that 10.10 is stored as 10.10.
    t.fieldByName("Wage").setAsCurrencyUnits(RoundUnits(double(m_values.wage) * double(kMoneyScale)));
    t.fieldByName("PayTypeCode").setAsString(m_values.payTypeCode);
    t.fieldByName("OvertimeFlag").setAsBoolean(m_values.overtimeFlag);
}

// --- TWageListClass ---

TWageListClass::TWageListClass(THourvaneDataMod& dm, std::int32_t empID) : THistoryListClass(dm, empID, kEmpWageRecord)
{
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
