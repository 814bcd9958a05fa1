#pragma once
// A fresh database folder with a few small tables shaped like the program's.
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Query.h"
#include "engine/Table.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>

namespace hv::test {

using namespace hv::engine;

inline TableDef workDayDef()
{
    TableDef d;
    d.description = "Punches";
    d.fields = {{"EmpID", FieldType::Integer, 1, true, 0, ""},
                {"WeekDate", FieldType::Date, 2, true, 0, ""},
                {"SequenceNum", FieldType::Integer, 3, true, 0, "0"},
                {"TimeIn1", FieldType::Time, 4, false, 0, ""},
                {"LockedBy", FieldType::Text, 5, false, 15, ""}};
    d.indexes = {{"", "EmpID;WeekDate;SequenceNum", ixPrimary}};
    return d;
}

inline TableDef timeOffDef()
{
    TableDef d;
    d.description = "Time off";
    d.fields = {{"EmpID", FieldType::Integer, 1, true, 0, ""},
                {"WeekDate", FieldType::Date, 2, true, 0, ""},
                {"ReasonID", FieldType::Integer, 3, true, 0, ""},
                {"Hours", FieldType::Float, 4, false, 0, ""},
                {"LockedBy", FieldType::Text, 5, false, 15, ""}};
    d.indexes = {{"", "EmpID;WeekDate;ReasonID", ixPrimary}};
    return d;
}

inline TableDef deptDef()
{
    TableDef d;
    d.description = "Departments";
    d.fields = {{"DeptID", FieldType::AutoInc, 1, true, 0, ""},
                {"DeptName", FieldType::Text, 2, false, 10, ""},
                {"ActiveFlag", FieldType::Boolean, 3, false, 0, ""},
                {"Budget", FieldType::Currency, 4, false, 0, ""},
                {"Small", FieldType::SmallInt, 5, false, 0, ""},
                {"Stamp", FieldType::DateTime, 6, false, 0, ""},
                {"Notes", FieldType::Memo, 7, false, 0, ""},
                {"LockedBy", FieldType::Text, 8, false, 15, ""}};
    d.indexes = {{"", "DeptID", ixPrimary}, {"DeptName", "DeptName", ixUnique | ixCaseInsensitive}};
    return d;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.setDirectory(dir.folder());
        create("workday.dat", workDayDef());
        create("timeoff.dat", timeOffDef());
        create("dept.dat", deptDef());
        db.connect();
    }

    void create(const std::string& name, const TableDef& def)
    {
        Table t(db);
        t.setTableName(name);
        t.definition() = def;
        t.createTable();
    }

    std::unique_ptr<Table> open(const std::string& name)
    {
        auto t = std::make_unique<Table>(db, name);
        t->setTableName(name);
        t->open();
        return t;
    }

    static void addDay(Table& t, int emp, double day, int seq)
    {
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("WeekDate").setAsDateTime(day);
        t.fieldByName("SequenceNum").setAsInteger(seq);
        t.post();
    }

    TempDir dir;
    Database db;
};

// 1 March 2023 as a day number.
inline constexpr double kMarch1 = 44986;

} // namespace hv::test
