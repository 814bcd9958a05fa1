#pragma once
// Wage histories, overtime policies and assignments put in place the way
// another copy would have stored them, for the wage record and pay tests.
#include "PeopleFixture.h"
#include "people/TEmpWage.h"
#include "people/TOTPolicy.h"
#include "ports/PrinterQuery.h"
#include "storage/AppState.h"
#include "storage/HVGlobal.h"

#include <memory>
#include <string>

namespace hv::test {

class PayTest : public PeopleTest {
protected:
    void SetUp() override
    {
        PeopleTest::SetUp();
        resetGlobalSettings();
        setPrinterQuery([] { return SystemPrinter{}; });
    }
    void TearDown() override
    {
        setPrinterQuery({});
        resetGlobalSettings();
        appState().displayDateFormat.clear();
        PeopleTest::TearDown();
    }

    void addWage(std::int64_t emp, double start, double wage, const std::string& code = "H", bool exempt = false,
                 double end = 0, const std::string& lockedBy = {})
    {
        engine::Table& t = dm->tblWages;
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("StartDate").setAsDateTime(start);
        if (end > 0)
            t.fieldByName("EndDate").setAsDateTime(end);
        t.fieldByName("Wage").setAsFloat(wage);
        t.fieldByName("PayTypeCode").setAsString(code);
        t.fieldByName("OvertimeFlag").setAsBoolean(exempt);
        if (!lockedBy.empty())
            t.fieldByName("LockedBy").setAsString(lockedBy);
        t.post();
    }
    std::int64_t addPolicy(const std::string& name, float hours1, bool weekly = true, float rate1 = 1.5f,
                           float hours2 = 0, float rate2 = 0)
    {
        engine::Table& t = dm->tblOTPolicy;
        t.append();
        t.fieldByName("Policy").setAsString(name);
        t.fieldByName("WeeklyFlag").setAsBoolean(weekly);
        t.fieldByName("ActiveFlag").setAsBoolean(true);
        t.fieldByName("Hours1").setAsFloat(hours1);
        t.fieldByName("Hours2").setAsFloat(hours2);
        t.fieldByName("Rate1").setAsFloat(rate1);
        t.fieldByName("Rate2").setAsFloat(rate2);
        t.post();
        return t.fieldByName("PolicyID").asInteger();
    }
    void assign(std::int64_t emp, double start, std::int64_t policy)
    {
        engine::Table& t = dm->tblEmpOT;
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("StartDate").setAsDateTime(start);
        t.fieldByName("PolicyID").setAsInteger(policy);
        t.post();
    }
    // A policy record holding the given values without a row.
    std::unique_ptr<TOTPolicyRecClass> policyOf(float hours1, bool weekly)
    {
        auto p = std::make_unique<TOTPolicyRecClass>(*dm);
        p->LoadDefault();
        p->SetWeeklyFlag(weekly); // the default policy has no row: nothing to lock
        p->SetHours1(hours1);
        return p;
    }
    static std::unique_ptr<TEmpWageRecClass> wageEntry(THourvaneDataMod& d, double start, float wage,
                                                       const std::string& code = "H", bool exempt = false)
    {
        auto e = std::make_unique<TEmpWageRecClass>(d);
        e->SetStartDate(start);
        e->SetWage(wage);
        e->SetPayTypeCode(code);
        e->SetOvertimeFlag(exempt);
        return e;
    }
};

} // namespace hv::test
