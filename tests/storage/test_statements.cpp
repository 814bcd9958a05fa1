// The statements the program runs, against the real tables.
#include "tests/support/DataFolderFixture.h"

namespace hv::test {

class StatementTest : public StorageTest {
protected:
    void SetUp() override
    {
        StorageTest::SetUp();
        start();
    }
    void row(engine::Table& t, std::initializer_list<std::pair<const char*, engine::Value>> values)
    {
        t.append();
        for (const auto& [name, v] : values) {
            engine::Field f = t.fieldByName(name);
            if (auto* i = std::get_if<std::int64_t>(&v))
                f.setAsInteger(*i);
            else if (auto* d = std::get_if<double>(&v))
                f.setAsDateTime(*d);
            else
                f.setAsString(std::get<std::string>(v));
        }
        t.post();
    }
    std::string scalar(const std::string& sql)
    {
        engine::Query& q = dm->qryBlank;
        q.clearSql();
        q.addSql(sql);
        q.open();
        std::string v = q.field(0).asString();
        q.close();
        return v;
    }
    std::int64_t exec(const std::string& sql)
    {
        engine::Query& q = dm->qryBlank;
        q.clearSql();
        q.addSql(sql);
        q.execSql();
        return q.rowsAffected();
    }
    static engine::Value I(std::int64_t v) { return engine::Value(v); }
    static engine::Value D(double v) { return engine::Value(v); }
    static engine::Value S(const char* v) { return engine::Value(std::string(v)); }
    static constexpr double kDay = 44986; // 1 March 2023
};

TEST_F(StatementTest, AggregatesAndTheBenefitReasonList)
{
    EXPECT_EQ(scalar("select min(WeekDate) as OldestDate from WorkDay"), "");
    row(dm->tblWorkDay, {{"EmpID", I(1)}, {"WeekDate", D(kDay + 3)}});
    row(dm->tblWorkDay, {{"EmpID", I(1)}, {"WeekDate", D(kDay + 3)}, {"SequenceNum", I(1)}});
    row(dm->tblWorkDay, {{"EmpID", I(2)}, {"WeekDate", D(kDay)}, {"SequenceNum", I(1)}});
    row(dm->tblWorkDay, {{"EmpID", I(2)}, {"WeekDate", D(kDay + 20)}, {"SequenceNum", I(1)}});
    EXPECT_EQ(scalar("select min(WeekDate) as OldestDate from WorkDay"), "2023-03-01");
    EXPECT_EQ(scalar("select count(*) as Extras from WorkDay where SequenceNum = 1"), "3");
    EXPECT_EQ(scalar("select count(*) as Extras from WorkDay where WeekDate between '2023-03-01' and "
                     "'2023-03-10'\n   and SequenceNum = 1"),
              "2");

    row(dm->tblTimeOff, {{"EmpID", I(1)}, {"WeekDate", D(kDay + 5)}, {"ReasonID", I(1)}});
    EXPECT_EQ(scalar("select min(WeekDate) as OldestDate from TimeOff"), "2023-03-06");

    row(dm->tblReasons, {{"Reason", S("Vacation")}, {"ReasonCode", S("V")}, {"PolicyFlag", I(1)}});
    row(dm->tblReasons, {{"Reason", S("Jury Duty")}, {"ReasonCode", S("J")}, {"PolicyFlag", I(0)}});
    row(dm->tblReasons, {{"Reason", S("Sick")}, {"ReasonCode", S("S")}, {"PolicyFlag", I(1)}});
    engine::Query& q = dm->qryBlank;
    q.clearSql();
    q.addSql("select ReasonID, Reason from Reason where PolicyFlag = True order by Reason");
    q.open();
    std::vector<std::string> names;
    for (; !q.eof(); q.next())
        names.push_back(q.fieldByName("Reason").asString() + "#" + q.fieldByName("ReasonID").asString());
    q.close();
    EXPECT_EQ(names, (std::vector<std::string>{"Sick#3", "Vacation#1"}));
}

TEST_F(StatementTest, CascadingDeletesAndUpdatesTouchOnlyTheirRows)
{
    for (int emp : {5, 6}) {
        row(dm->tblAccruals, {{"EmpID", I(emp)}, {"ReasonID", I(1)}, {"AccruedHours", I(8)}, {"AccrualDate", D(kDay)}});
        row(dm->tblEmpOther, {{"EmpID", I(emp)}, {"FieldID", I(emp)}});
        row(dm->tblTimeOff, {{"EmpID", I(emp)}, {"WeekDate", D(kDay)}, {"ReasonID", I(emp)}});
        row(dm->tblWages, {{"EmpID", I(emp)}, {"StartDate", D(kDay)}, {"Wage", I(10)}, {"PayTypeCode", S("H")}});
        row(dm->tblEmpOT, {{"EmpID", I(emp)}, {"StartDate", D(kDay)}, {"PolicyID", I(emp)}});
        row(dm->tblWorkDay, {{"EmpID", I(emp)}, {"WeekDate", D(kDay)}});
        row(dm->tblUsers, {{"LoginID", S(emp == 5 ? "five" : "six")}, {"EmpID", I(emp)}});
        row(dm->tblPolicy, {{"ReasonID", I(emp)}, {"EmpTypeID", I(0)}, {"StartMonths", I(0)}, {"EndMonths", I(960)}});
        row(dm->tblDepts, {{"DeptName", S(emp == 5 ? "A" : "B")}, {"ManagerID", I(emp)}});
        row(dm->tblEmps, {{"LastName", S("X")}, {"DeptID", I(emp == 5 ? 1 : 2)}});
    }
    for (const char* sql : {"delete from Accrual  where EmpID = 5", "delete from EmpField  where EmpID = 5",
                            "delete from TimeOff  where EmpID = 5", "delete from Wage  where EmpID = 5",
                            "delete from EmpOT  where EmpID = 5", "delete from WorkDay  where EmpID = 5",
                            "delete from HVUser  where EmpID = 5"})
        EXPECT_EQ(exec(sql), 1) << sql;
    for (engine::Table* t : {&dm->tblAccruals, &dm->tblEmpOther, &dm->tblTimeOff, &dm->tblWages, &dm->tblEmpOT,
                             &dm->tblWorkDay, &dm->tblUsers})
        EXPECT_EQ(t->recordCount(), 1) << t->tableName();

    EXPECT_EQ(exec("update Dept set ManagerID = 0 where ManagerID = 5"), 1);
    EXPECT_EQ(scalar("select count(*) from Dept where ManagerID = 0"), "1");
    EXPECT_EQ(exec("update Employee set DeptID = 0 where DeptID = 1"), 1);
    EXPECT_EQ(scalar("select DeptID from Employee where EmpID = 2"), "2");
    EXPECT_EQ(exec("delete from EmpField where (FieldID = 6)"), 1);
    EXPECT_EQ(exec("delete from EmpOT where PolicyID = 6"), 1);
    EXPECT_EQ(exec("delete from Accrual where ReasonID = 1"), 1);
    EXPECT_EQ(exec("delete from Policy where ReasonID = 5"), 1);
    EXPECT_EQ(exec("Delete from Policy where ReasonID = 6"), 1);
    EXPECT_EQ(exec("delete from TimeOff where ReasonID = 6"), 1);
    EXPECT_EQ(dm->tblTimeOff.recordCount(), 0);
    EXPECT_EQ(dm->tblPolicy.recordCount(), 0);
}

TEST_F(StatementTest, TimeOffSumQueryOfTheDataModule)
{
    row(dm->tblTimeOff, {{"EmpID", I(1)}, {"WeekDate", D(kDay)}, {"ReasonID", I(2)}, {"Hours", I(8)}});
    row(dm->tblTimeOff, {{"EmpID", I(1)}, {"WeekDate", D(kDay + 9)}, {"ReasonID", I(2)}, {"Hours", I(4)}});
    row(dm->tblTimeOff, {{"EmpID", I(1)}, {"WeekDate", D(kDay + 10)}, {"ReasonID", I(2)}, {"Hours", I(2)}});
    engine::Query& q = dm->qryTOTotalHours;
    q.setParamInteger("EmpID", 1);
    q.setParamInteger("ReasonID", 2);
    q.setParamDate("StartDate", kDay);
    q.setParamDate("EndDate", kDay + 9);
    q.open();
    EXPECT_DOUBLE_EQ(q.fieldByName("TotalHours").asFloat(), 12);
    q.close();
}

} // namespace hv::test
