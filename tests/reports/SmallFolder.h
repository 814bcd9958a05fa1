#pragma once
// A small data folder built by hand for the list reports: departments
// Shipping and Office and employees without one, five employees (Dana left
// on 7 March 2023, Ava has no department), punches and time off over the
// three weeks ending 4, 11 and 18 March 2023, reasons paid (Holiday, which
// counts toward overtime), unpaid (Personal) and benefits (Vacation, Sick
// Leave), an hourly and an exempt weekly wage, and one custom data item.
// Lee is not eligible for benefits.
#include "people/TEmp.h"
#include "tests/reports/ReportFixture.h"

#include <string>

namespace hv::test {

class SmallFolderTest : public ReportTest {
protected:
    void wage(std::int64_t emp, double start, double amount, const char* type, bool exempt, double end = 0)
    {
        engine::Table& t = dm->tblWages;
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("StartDate").setAsDateTime(start);
        if (end > 0)
            t.fieldByName("EndDate").setAsDateTime(end);
        t.fieldByName("Wage").setAsFloat(amount);
        t.fieldByName("PayTypeCode").setAsString(type);
        t.fieldByName("OvertimeFlag").setAsBoolean(exempt);
        t.post();
    }
    void setEmployee(std::int64_t emp, const std::string& assignments)
    {
        exec(*dm, "update Employee set " + assignments + " where EmpID = " + std::to_string(emp));
    }

    void addSmallFolder()
    {
        holiday = addReasonRow(*dm, {.name = "Holiday", .code = "H", .paid = true, .overtime = true});
        personal = addReasonRow(*dm, {.name = "Personal", .code = "P", .paid = false});
        vacation = addReasonRow(*dm, {.name = "Vacation", .code = "V", .paid = true, .policy = true});
        sick = addReasonRow(*dm, {.name = "Sick Leave",
                                  .code = "S",
                                  .paid = true,
                                  .policy = true,
                                  .accrualBasis = "A",
                                  .validateBasis = "Y"});
        addRuleRow(*dm, {.reason = vacation, .startMonths = 0, .endMonths = 12, .earned = 40, .carryOver = 8});
        addRuleRow(*dm, {.reason = vacation, .startMonths = 12, .endMonths = 24, .earned = 60, .carryOver = 16});
        addRuleRow(*dm, {.reason = vacation, .startMonths = 24, .endMonths = 36, .earned = 80, .carryOver = 24});
        addRuleRow(*dm, {.reason = sick, .startMonths = 0, .endMonths = 6, .earned = 24, .carryOver = 0});

        shipping = addDept("Shipping", true, 0, "SH");
        office = addDept("Office", true, 0, "OF");
        zoe = addEmp("\xC3\x85ngstr\xC3\xB6m", "Zo\xC3\xAB", date(2021, 6, 1), 0, shipping, true, "Z01");
        sam = addEmp("Baker", "Sam", date(2019, 5, 3), 0, shipping, true, "S02");
        ava = addEmp("Cole", "Ava", date(2022, 10, 3), 0, 0, true, "A03");
        dana = addEmp("Evans", "Dana", date(2018, 2, 1), date(2023, 3, 7), office, true, "D04");
        lee = addEmp("Fox", "Lee", date(2023, 3, 1), 0, shipping, true, "L05");
        exec(*dm, "update Dept set ManagerID = " + std::to_string(sam) + " where DeptID = " + std::to_string(shipping));

        wage(zoe, date(2021, 6, 1), 18.5, "H", false, date(2022, 12, 31));
        wage(zoe, date(2023, 1, 1), 20, "H", false);
        wage(sam, date(2019, 5, 3), 1000, "W", true);
        wage(ava, date(2022, 10, 3), 15.5, "H", false);
        wage(lee, date(2023, 3, 1), 52000, "Y", true);
        exec(*dm, "insert into Field (FieldDesc, ActiveFlag) values ('Badge Number', 1)");
        exec(*dm, "insert into EmpField (EmpID, FieldID, FieldValue) values (" + std::to_string(ava) + ", 1, 'B-17')");

        setEmployee(ava, "Position = 'Clerk', Address1 = '12 Elm Street', Address2 = 'Apt 4', City = 'Dayton', "
                         "State = 'OH', PostalCode = '45402', HomePhone = '555-0101', Contact = 'Max Cole', "
                         "Relationship = 'Brother', ContactWorkPhone = '555-0102', ContactHomePhone = '555-0103'");
        std::string comments;
        for (int i = 1; i <= 40; ++i)
            comments += "Note " + std::to_string(i) +
                        ": reviewed the schedule with the shift lead and agreed on "
                        "the hours for the coming weeks.\r\n";
        TEmployeeRecClass record(*dm);
        record.SetEmpID(std::int32_t(ava));
        record.LoadByID();
        record.SetComments(comments);
        record.Save("ALICE");
        record.Unlock("ALICE");
        setEmployee(lee, "EligibleFlag = 0");
        setEmployee(zoe, "Position = 'Packer', Address1 = '3 Dock Road', EligibleFlag = 1");

        // Week ending 4 March: Zoë 8 hours Wednesday 1 to Friday 3; Sam 9
        // hours Monday 27 February to Friday 3 March.
        for (int d = 1; d <= 3; ++d)
            punches(zoe, date(2023, 3, d), 0, at(8), at(12), at(13), at(17));
        for (double day = date(2023, 2, 27); day <= date(2023, 3, 3); day += 1)
            punches(sam, day, 0, at(8), at(17));
        // Week ending 11 March: Zoë a holiday Monday and 8 hours Tuesday to
        // Friday; Sam 10 hours Monday to Friday; Ava 6 hours Monday to
        // Thursday and 8 hours of vacation on Friday; Dana 8 hours Monday and
        // Tuesday, her last day.
        timeOff(zoe, date(2023, 3, 6), holiday, 8);
        for (int d = 7; d <= 10; ++d)
            punches(zoe, date(2023, 3, d), 0, at(8), at(12), at(13), at(17));
        for (int d = 6; d <= 10; ++d)
            punches(sam, date(2023, 3, d), 0, at(7), at(17));
        for (int d = 6; d <= 9; ++d)
            punches(ava, date(2023, 3, d), 0, at(9), at(15));
        timeOff(ava, date(2023, 3, 10), vacation, 8);
        punches(dana, date(2023, 3, 6), 0, at(8), at(16));
        punches(dana, date(2023, 3, 7), 0, at(8), at(16));
        // Week ending 18 March: Zoë 8 hours Monday, 4 hours and 4 unpaid
        // personal hours Tuesday; Ava 16 hours of vacation Monday and
        // Tuesday (below her balance), an entry of a deleted reason
        // Wednesday; Lee 8 hours Monday and Tuesday.
        punches(zoe, date(2023, 3, 13), 0, at(8), at(12), at(13), at(17));
        punches(zoe, date(2023, 3, 14), 0, at(8), at(12));
        timeOff(zoe, date(2023, 3, 14), personal, 4);
        timeOff(ava, date(2023, 3, 13), vacation, 8);
        timeOff(ava, date(2023, 3, 14), vacation, 8);
        timeOff(ava, date(2023, 3, 15), 9999, 2.5f);
        punches(lee, date(2023, 3, 13), 0, at(8), at(16));
        punches(lee, date(2023, 3, 14), 0, at(8), at(16));
    }

    std::vector<SelectionEntry> departments() const
    {
        return {{"<No Department>", 0}, {"Office", std::int32_t(office)}, {"Shipping", std::int32_t(shipping)}};
    }
    SelectionEntry entry(std::int64_t emp) const
    {
        TEmployeeRecClass e(*dm);
        e.SetEmpID(std::int32_t(emp));
        e.LoadByID();
        return {e.FullName(), std::int32_t(emp)};
    }

    std::int32_t vacation = 0, sick = 0;
    std::int64_t shipping = 0, office = 0, ava = 0, dana = 0, lee = 0;
};

} // namespace hv::test
