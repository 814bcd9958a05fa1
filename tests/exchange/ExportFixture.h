#pragma once
// A small database for the export: today is Wednesday 18 March 2026, weeks end
// on Saturdays, and the period runs from Wednesday 4 to Tuesday 17 March.
//   Ann Able (Shop, whose manager she is): 10.00 an hour, not exempt; custom
//     "Badge" B-17; an address with a line break; Mon 2 Mar 8 h (before the
//     period); Wed 4 8 h in two pairs; Thu 5 10 h with pairs 3 and 4; Fri 6
//     only an 8-hour holiday (paid); Sat 7 4 h unpaid leave; Tue 3 an 8-hour
//     vacation (before the period); Mon 16 9 h; Tue 17 4 h; Wed 18 4 h (after).
//   Bob "Baker, Jr" (Yard, no manager): 800.00 a week, exempt; Mon 9 to Fri 13
//     10 h a day (50 h: 40 regular and 10 overtime).
//   Cara Cole (no department), left on Tue 10 March: Wed 4 4 h; a 4-hour
//     vacation on Mon 9; 2 h of a reason that no longer exists on Thu 5.
#include "exchange/ExportRun.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"
#include "storage/HVGlobal.h"
#include "tests/support/DataFolderFixture.h"
#include "timekeeping/TimeValues.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace hv::test {

class ExportTest : public StorageTest {
protected:
    void SetUp() override
    {
        setRegional(RegionalSettings::usEnglish());
        StorageTest::SetUp();
        resetAppState();
        appState().lockIdentity = "ALICE";
        appState().programFolder = HV_PROGRAM_DIR;
        today.setToday(date(2026, 3, 18));
        setClock(&today);
        resetGlobalSettings();
        GlobalSettings& g = globalSettings();
        g.firstDate = date(2026, 3, 1); // a Sunday
        g.timeFormat = "hh:nn A/P";
        g.hourFormat = "#0.00";
        g.minuteRound = 0;
        g.overtimeHours = 40;
        start();
    }
    void TearDown() override
    {
        StorageTest::TearDown();
        resetGlobalSettings();
        setClock(nullptr);
        resetAppState();
    }

    static double date(int y, int m, int d) { return EncodeDate(y, m, d); }
    static double at(int h, int m = 0) { return EncodeTime(h, m); }
    void exec(const std::string& sql) { execBlank(*dm, sql); }

    void punches(std::int64_t emp, double day, int sequence, double in1, double out1, double in2 = kEmptyPunch,
                 double out2 = kEmptyPunch)
    {
        engine::Table& t = dm->tblWorkDay;
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("WeekDate").setAsDateTime(day);
        t.fieldByName("SequenceNum").setAsInteger(sequence);
        t.fieldByName("TimeIn1").setAsDateTime(in1);
        t.fieldByName("TimeOut1").setAsDateTime(out1);
        if (in2 >= 0) {
            t.fieldByName("TimeIn2").setAsDateTime(in2);
            t.fieldByName("TimeOut2").setAsDateTime(out2);
        }
        t.fieldByName("Shift").setAsInteger(1);
        t.post();
    }
    void timeOff(std::int64_t emp, double day, std::int32_t reason, float hours)
    {
        engine::Table& t = dm->tblTimeOff;
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("WeekDate").setAsDateTime(day);
        t.fieldByName("ReasonID").setAsInteger(reason);
        t.fieldByName("Hours").setAsFloat(hours);
        t.post();
    }

    void addScene()
    {
        holiday = addReasonRow(*dm, {.name = "Holiday", .code = "H", .paid = true});
        unpaid = addReasonRow(*dm, {.name = "Unpaid Leave", .code = "U", .paid = false});
        vacation = addReasonRow(*dm, {.name = "Vacation", .code = "V", .paid = true, .policy = true});
        addRuleRow(*dm, {.reason = vacation, .earned = 80});
        shop = addDeptRow(*dm, "Shop", true, 0, "SH");
        yard = addDeptRow(*dm, "Yard", true, 0, "YD");
        ann = addEmployeeRow(*dm,
                             {.last = "Able", .first = "Ann", .start = date(2020, 1, 6), .dept = shop, .code = "A1"});
        bob = addEmployeeRow(
            *dm, {.last = "Baker, Jr", .first = "Bob", .start = date(2021, 5, 3), .dept = yard, .code = "B2"});
        cara = addEmployeeRow(
            *dm, {.last = "Cole", .first = "Cara", .start = date(2019, 2, 1), .end = date(2026, 3, 10), .code = "C3"});
        exec("update Dept set ManagerID = " + std::to_string(ann) + " where DeptID = " + std::to_string(shop));
        exec("update Employee set Address1 = '1 Main St' || char(10) || 'Apt 2', City = 'Springfield' where EmpID = " +
             std::to_string(ann));
        exec("insert into Wage (EmpID, StartDate, Wage, PayTypeCode, OvertimeFlag) values (" + std::to_string(ann) +
             ", '2026-01-01', 100000, 'H', 0)");
        exec("insert into Wage (EmpID, StartDate, Wage, PayTypeCode, OvertimeFlag) values (" + std::to_string(bob) +
             ", '2025-07-01', 8000000, 'W', 1)");
        exec("insert into Field (FieldDesc, ActiveFlag) values ('Badge', 1)");
        exec("insert into EmpField (EmpID, FieldID, FieldValue) values (" + std::to_string(ann) + ", 1, 'B-17')");

        punches(ann, date(2026, 3, 2), 0, at(8), at(16));
        punches(ann, date(2026, 3, 4), 0, at(8), at(12), at(13), at(17));
        punches(ann, date(2026, 3, 5), 0, at(8), at(12), at(13), at(17));
        punches(ann, date(2026, 3, 5), 1, at(18), at(19), at(19, 30), at(20, 30));
        timeOff(ann, date(2026, 3, 6), holiday, 8);
        timeOff(ann, date(2026, 3, 7), unpaid, 4);
        timeOff(ann, date(2026, 3, 3), vacation, 8);
        punches(ann, date(2026, 3, 16), 0, at(8), at(17));
        punches(ann, date(2026, 3, 17), 0, at(8), at(12));
        punches(ann, date(2026, 3, 18), 0, at(8), at(12));
        for (int d = 9; d <= 13; ++d)
            punches(bob, date(2026, 3, d), 0, at(7), at(17));
        punches(cara, date(2026, 3, 4), 0, at(9), at(13));
        timeOff(cara, date(2026, 3, 9), vacation, 4);
        timeOff(cara, date(2026, 3, 5), 9999, 2);
    }

    // The offered items of the kind with every item ticked, or those listed.
    ExportRequest request(ExportKind kind, ExportFormat format, const std::string& file, bool managerAccess = true,
                          std::vector<int> tick = {})
    {
        ExportRequest r;
        r.kind = kind;
        r.format = format;
        r.fileName = file;
        r.managerAccess = managerAccess;
        EXPECT_TRUE(LoadExportFields(*dm, kind, HV_PROGRAM_DIR, managerAccess, r.fields)) << messages.last();
        for (std::size_t i = 0; i < r.fields.size(); ++i)
            r.fields[i].Ticked = tick.empty() || std::find(tick.begin(), tick.end(), int(i)) != tick.end();
        if (ExportKindHasPeriod(kind)) {
            r.periodStart = date(2026, 3, 4);
            r.periodEnd = date(2026, 3, 17);
        }
        r.progress = &progress;
        return r;
    }

    std::string out(const std::string& name) { return program.folder() + name; }
    static std::string bytes(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The export's text, run into a file of the program folder.
    // The run, its notices shown as the wizard shows them.
    ExportResult runExport(const ExportRequest& r)
    {
        ExportResult result = RunExport(*dm, r);
        tellAll(result.notices);
        return result;
    }
    std::string run(const ExportRequest& r)
    {
        const ExportResult result = runExport(r);
        EXPECT_EQ(result.outcome, ExportResult::Outcome::Completed) << messages.last();
        return bytes(r.format == ExportFormat::XBase ? DbfTableName(r.fileName) : r.fileName);
    }

    FixedClock today;
    std::int32_t holiday = 0, unpaid = 0, vacation = 0, shop = 0, yard = 0, ann = 0, bob = 0, cara = 0;
};

} // namespace hv::test
