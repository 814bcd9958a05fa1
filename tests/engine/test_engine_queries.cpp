#include "EngineFixture.h"

namespace hv::test {

class QueryTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        t = open("timeoff.dat");
        add(1, kMarch1, 1, 8);
        add(1, kMarch1 + 1, 1, 4);
        add(1, kMarch1 + 40, 1, 2);
        add(1, kMarch1, 2, 5);
        add(2, kMarch1, 1, 7);
    }
    void add(int emp, double day, int reason, double hours)
    {
        t->append();
        t->fieldByName("EmpID").setAsInteger(emp);
        t->fieldByName("WeekDate").setAsDateTime(day);
        t->fieldByName("ReasonID").setAsInteger(reason);
        t->fieldByName("Hours").setAsFloat(hours);
        t->post();
    }
    std::unique_ptr<Table> t;
};

TEST_F(QueryTest, PreparedSumWithNamedParametersAcrossReopens)
{
    Query q(db, "qryTOTotalHours");
    for (const char* line : {"select sum(Hours) as TotalHours", "from TimeOff", "where EmpID = :EmpID",
                             "   and ReasonID = :ReasonID", "   and WeekDate >= :StartDate",
                             "   and WeekDate <= :EndDate"})
        q.addSql(line);
    q.prepare();
    EXPECT_TRUE(q.prepared());
    auto sum = [&](int emp, int reason, double from, double to) {
        q.setParamInteger("EmpID", emp);
        q.setParamInteger("ReasonID", reason);
        q.setParamDate("StartDate", from);
        q.setParamDate("EndDate", to);
        q.open();
        double v = q.fieldByName("TotalHours").isNull() ? -1 : q.fieldByName("TotalHours").asFloat();
        q.close();
        return v;
    };
    EXPECT_DOUBLE_EQ(sum(1, 1, kMarch1, kMarch1 + 30), 12);
    EXPECT_DOUBLE_EQ(sum(1, 1, kMarch1, kMarch1 + 40), 14); // both ends count
    EXPECT_DOUBLE_EQ(sum(1, 2, kMarch1, kMarch1 + 40), 5);
    EXPECT_DOUBLE_EQ(sum(3, 1, kMarch1, kMarch1 + 40), -1); // no rows: null
    q.unprepare();
    EXPECT_FALSE(q.prepared());
    EXPECT_DOUBLE_EQ(sum(2, 1, kMarch1, kMarch1), 7);
}

TEST_F(QueryTest, StatementsReadAndWriteAndRefuseBadInput)
{
    Query q(db);
    q.addSql("select min(WeekDate) as OldestDate from TimeOff");
    q.open();
    EXPECT_DOUBLE_EQ(q.fieldByName("OldestDate").asDateTime(), kMarch1);
    q.close();

    q.clearSql();
    q.addSql("SELECT EmpID, Hours FROM timeoff WHERE Hours >= 5 ORDER BY Hours");
    q.open();
    std::vector<double> hours;
    for (; !q.eof(); q.next())
        hours.push_back(q.fieldByName("hours").asFloat());
    EXPECT_EQ(hours, (std::vector<double>{5, 7, 8}));
    q.close();

    q.clearSql();
    q.addSql("delete from TimeOff  where EmpID = 1");
    q.execSql();
    EXPECT_EQ(q.rowsAffected(), 4);
    EXPECT_EQ(t->recordCount(), 1);

    q.clearSql();
    q.addSql("select * from NoSuchTable");
    try {
        q.open();
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.code(), code::SqlError);
    }
    q.clearSql();
    q.addSql("delete from TimeOff; delete from WorkDay");
    EXPECT_THROW(q.execSql(), EngineError);
    EXPECT_EQ(t->recordCount(), 1);
    q.clearSql();
    q.addSql("select count(*) as N from TimeOff where EmpID = :Missing");
    EXPECT_THROW(q.open(), EngineError);
}

} // namespace hv::test
