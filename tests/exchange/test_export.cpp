// The export without windows: golden files of every kind, the hours clipped
// to the period, the detail's punch columns, the offered items, values that
// hold a separator, and a destination that stays as it was when a run fails.
#include "engine/EngineError.h"
#include "exchange/DbfTable.h"
#include "people/WageCalc.h"
#include "tests/exchange/ExportFixture.h"
#include "tests/support/Golden.h"
#include "tests/support/PeerProcess.h"
#include "timekeeping/WeekClip.h"
#include "timekeeping/WeekPay.h"
#include "timekeeping/WorkUtil.h"

#include <cmath>
#include <set>

namespace hv::test {
namespace {

namespace fs = std::filesystem;

struct GoldenCase {
    ExportKind kind;
    ExportFormat format;
    const char* name;
};

class ExportGolden : public ExportTest, public ::testing::WithParamInterface<GoldenCase> {};

// Every item ticked, Manager Access on. Regenerate with
//   HV_UPDATE_GOLDEN=1 build/tests/exchange/test_export --gtest_filter='Kinds/ExportGolden.*'
TEST_P(ExportGolden, MatchesItsGoldenFile)
{
    addScene();
    const GoldenCase c = GetParam();
    const std::string file = out(std::string(c.name) + (c.format == ExportFormat::XBase ? ".dbf" : ".txt"));
    const std::string actual = run(request(c.kind, c.format, file));
    const std::string golden =
        std::string(HV_SOURCE_DIR) + "/tests/exchange/golden/" + fs::path(file).filename().string();
    ExpectGolden(actual, golden, "build/tests/exchange/test_export");
    if (c.format != ExportFormat::XBase)
        return;
    // The hidden folder the table was built in is gone.
    for (const auto& e : fs::directory_iterator(program.folder()))
        EXPECT_NE(e.path().filename().string().rfind(".hvexport", 0), 0u) << e.path();
    // The table reads back through the import's reader: dates as dates, numbers with ".".
    exchange::DbfTable table;
    std::string error;
    ASSERT_TRUE(table.open(DbfTableName(file), error)) << error;
    EXPECT_EQ(table.codePage(), exchange::CodePage::Windows1252);
    std::vector<exchange::DbfValue> row;
    ASSERT_TRUE(table.readRecord(0, row));
    if (c.kind == ExportKind::HoursWorked) {
        EXPECT_EQ(table.recordCount(), 3);
        EXPECT_EQ(table.fields()[5].name, "RegHours");
        EXPECT_EQ(table.fields()[9].nativeType, 'N'); // currency as a number, never a memo
        EXPECT_EQ(row[0].text, "Able");
        EXPECT_EQ(row[5].text, "31.00"); // Ann: 18 + 13 regular hours in the period
        EXPECT_EQ(row[12].text, "390.00");
    } else {
        EXPECT_EQ(table.recordCount(), 3);
        EXPECT_TRUE(row[3].isDate());
        EXPECT_EQ(row[3].year * 10000 + row[3].month * 100 + row[3].day, 20200106);
        EXPECT_FALSE(row[4].isDate()); // no end date: not written
        EXPECT_EQ(table.fields().back().name, "Custom1");
        EXPECT_EQ(row.back().text, "B-17");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ExportGolden,
    ::testing::Values(GoldenCase{ExportKind::HoursWorked, ExportFormat::Comma, "hours_comma"},
                      GoldenCase{ExportKind::HoursWorked, ExportFormat::Fixed, "hours_fixed"},
                      GoldenCase{ExportKind::HoursWorked, ExportFormat::Tab, "hours_tab"},
                      GoldenCase{ExportKind::HoursWorked, ExportFormat::XBase, "hours_dbase"},
                      GoldenCase{ExportKind::Detail, ExportFormat::Comma, "detail_comma"},
                      GoldenCase{ExportKind::TimeOffSummary, ExportFormat::Comma, "timeoff_summary_comma"},
                      GoldenCase{ExportKind::TimeOffDetail, ExportFormat::Comma, "timeoff_detail_comma"},
                      GoldenCase{ExportKind::Benefit, ExportFormat::Comma, "benefit_comma"},
                      GoldenCase{ExportKind::Employee, ExportFormat::Comma, "employee_comma"},
                      GoldenCase{ExportKind::Employee, ExportFormat::Fixed, "employee_fixed"},
                      GoldenCase{ExportKind::Employee, ExportFormat::Tab, "employee_tab"},
                      GoldenCase{ExportKind::Employee, ExportFormat::XBase, "employee_dbase"},
                      GoldenCase{ExportKind::Department, ExportFormat::Comma, "department_comma"}),
    [](const ::testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

// Ann over Wednesday 4 to Tuesday 17 March. Week ending 7 March: Wed 8 h and
// Thu 10 h are in, Mon 2's 8 h is not; the holiday (paid, Fri 6) is in, the
// unpaid leave is left out and the vacation of Tue 3 lies before the period.
// Week ending 21 March: Mon 16 9 h and Tue 17 4 h, not Wed 18.
// Regular 18 + 13 = 31, overtime 0, other 8, total 39; at 10.00 an hour
// 310.00 + 0.00 + 80.00 = 390.00.
TEST_F(ExportTest, HoursWorkedAreClippedToAPeriodStartingOnAWednesday)
{
    addScene();
    const std::string text = run(request(ExportKind::HoursWorked, ExportFormat::Comma, out("h.txt")));
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "Able,Ann,A1,Shop,SH,31.00,0.00,8.00,39.00,310.00,0.00,80.00,390.00");

    // The pay is the sum of the week pay within the period.
    Money total;
    TWorkWeekRecClass week(*dm);
    for (double end = FirstWeekEnd(date(2026, 3, 4)); end - 6 <= date(2026, 3, 17); end += 7) {
        week.SetEmployee(ann);
        week.SetWeekEnd(end);
        week.Load();
        const WeekPayAmounts p = WeeklyPay(*dm, week, date(2026, 3, 4), date(2026, 3, 17));
        total += p.RegularPay + p.RegularDifferential + p.OvertimePay + p.OvertimeDifferential + p.TimeOffPay +
                 p.TimeOffDifferential;
    }
    EXPECT_EQ(total.Units(), 3900000);
}

// Bob's week has no second punch row: two pairs. Over the whole period Ann's
// Thursday has one, so every record carries four. A day with time off only
// is written only with item 8 or 9 ticked.
TEST_F(ExportTest, DetailPunchColumnsAndTimeOffOnlyDays)
{
    addScene();
    ExportRequest bobWeek = request(ExportKind::Detail, ExportFormat::Comma, out("d1.txt"), true, {2, 5, 6});
    bobWeek.periodStart = date(2026, 3, 9);
    bobWeek.periodEnd = date(2026, 3, 13);
    EXPECT_EQ(ExportPunchPairs(*dm, bobWeek.periodStart, bobWeek.periodEnd), 2);
    const std::string two = run(bobWeek);
    EXPECT_EQ(two.substr(0, two.find("\r\n")), "B2,3/9/2026,07:00AM,05:00PM,,");

    const std::string four = run(request(ExportKind::Detail, ExportFormat::Comma, out("d2.txt"), true, {0, 5, 6}));
    EXPECT_EQ(goldenLines(four)[0], "Able,3/4/2026,08:00AM,12:00PM,01:00PM,05:00PM,,,,\r");
    EXPECT_EQ(goldenLines(four)[1], "Able,3/5/2026,08:00AM,12:00PM,01:00PM,05:00PM,06:00PM,07:00PM,07:30PM,08:30PM\r");

    // Ann's Friday holiday: a record only when hours worked or time off is ticked.
    const std::string without = run(request(ExportKind::Detail, ExportFormat::Comma, out("d3.txt"), true, {0, 5}));
    EXPECT_EQ(without.find("3/6/2026"), std::string::npos);
    const std::string with = run(request(ExportKind::Detail, ExportFormat::Comma, out("d4.txt"), true, {0, 5, 9}));
    EXPECT_NE(with.find("Able,3/6/2026,8.00\r\n"), std::string::npos);

    // "hh:nn" makes the fixed-length punch columns 5 wide.
    globalSettings().timeFormat = "hh:nn";
    const std::string fixed = run(request(ExportKind::Detail, ExportFormat::Fixed, out("d5.txt"), true, {6}));
    EXPECT_EQ(goldenLines(fixed)[0], "08:0012:0013:0017:00                    \r");

    // A failed run leaves the time format as it was.
    globalSettings().timeFormat = "hh:nn A/P";
    ExportRequest failing = request(ExportKind::Detail, ExportFormat::Comma, out("no/such/folder.txt"));
    EXPECT_EQ(runExport(failing).outcome, ExportResult::Outcome::NotOpened);
    EXPECT_EQ(globalSettings().timeFormat, "hh:nn A/P");
}

TEST_F(ExportTest, OfferedItemsFollowManagerAccessAndCustomItemsKeepTheirNames)
{
    addScene();
    auto names = [&](bool access) {
        std::vector<std::string> n;
        for (const auto& f : request(ExportKind::Employee, ExportFormat::Comma, "", access).fields)
            n.push_back(f.DisplayName);
        return n;
    };
    const auto with = names(true), without = names(false);
    ASSERT_EQ(with.size(), 24u); // 23 items and the custom item
    ASSERT_EQ(without.size(), 20u);
    for (const auto& n : without)
        EXPECT_EQ(n.find("Wage"), std::string::npos) << n;
    EXPECT_EQ(with[23], "Badge");
    EXPECT_EQ(without[19], "Badge");

    // The first custom item's value sits under its own name either way.
    for (bool access : {true, false}) {
        ExportRequest r =
            request(ExportKind::Employee, ExportFormat::Comma, out("c.txt"), access, {0, access ? 23 : 19});
        EXPECT_EQ(ExportColumns(r, 2)[1].key, "Custom1");
        EXPECT_EQ(goldenLines(run(r))[0], "Able,B-17\r") << access;
    }
    // No wage item is offered without Manager Access in the hours either.
    for (const auto& f : request(ExportKind::HoursWorked, ExportFormat::Comma, "", false).fields)
        EXPECT_EQ(f.DisplayName.find("Wage"), std::string::npos);

    // Time off whose reason is gone is tallied under "Reason Not Found",
    // after the list's reasons (Cara is still employed on 9 March).
    today.setToday(date(2026, 3, 9));
    EXPECT_EQ(run(request(ExportKind::TimeOffSummary, ExportFormat::Comma, out("t.txt"), true, {0, 5, 6})),
              "Able,Holiday,8.00\r\nAble,Unpaid Leave,4.00\r\nCole,Vacation,4.00\r\nCole,Reason Not Found,2.00\r\n");
    today.setToday(date(2026, 3, 18));

    // Department Data with only the employee ID ticked: a line per employee
    // employed today (Cara left on 10 March).
    EXPECT_EQ(run(request(ExportKind::Department, ExportFormat::Comma, out("e.txt"), true, {5})), "A1\r\nB2\r\n");
}

// Our seven files keep the rules a dBase table and the offered-item rule
// need; a file with a type or size outside them is refused whole.
TEST_F(ExportTest, DefinitionFilesKeepTheirRulesAndADamagedOneIsRefused)
{
    for (int k = 0; k < kExportKindCount; ++k) {
        std::vector<exchange::FieldDefinition> defs;
        std::string error;
        const std::string name = ExportDefinitionFileName(ExportKind(k));
        ASSERT_TRUE(exchange::readFieldDefinitionFile(std::string(HV_PROGRAM_DIR) + name, defs, error)) << name;
        std::set<std::string> keys;
        for (const auto& d : defs) {
            EXPECT_TRUE(d.key.size() >= 1 && d.key.size() <= 10 && keys.insert(d.key).second) << name << " " << d.key;
            EXPECT_EQ(d.displayName.find("Shift"), std::string::npos) << name;
            EXPECT_GT(d.size, 0) << name << " " << d.key;
        }
    }
    exchange::FieldDefinition bad{"Memo", "Notes", 'M', 255, 0};
    std::vector<TDBFFieldType> fields;
    EXPECT_FALSE(ToExportFields({bad}, true, fields));
    bad.size = 254;
    EXPECT_TRUE(ToExportFields({bad}, true, fields));
    bad.typeCode = 'X';
    EXPECT_FALSE(ToExportFields({bad}, true, fields));
    // Two keys alike make no dBase table; the message says so, not that the file cannot be opened.
    ExportRequest twice = request(ExportKind::Department, ExportFormat::XBase, out("twice.dbf"), true, {0, 1});
    twice.fields[1].Key = "deptname";
    EXPECT_EQ(runExport(twice).outcome, ExportResult::Outcome::Failed);
    EXPECT_EQ(messages.last(), "The export did not finish.  " + out("twice.dbf") +
                                   " was left as it was.\r\rTwo columns are named deptname.");
    EXPECT_FALSE(fs::exists(out("twice.dbf")));

    std::string error;
    ASSERT_TRUE(exchange::writeFieldDefinitionFile(programFolder + "dept.ted", {bad}, error)) << error;
    EXPECT_FALSE(LoadExportFields(*dm, ExportKind::Department, programFolder, true, fields));
    EXPECT_TRUE(fields.empty());
    EXPECT_EQ(messages.last(), "The field definition file dept.ted is missing or damaged.");
    EXPECT_EQ(messages.shown().back().kind, MsgKind::Error);
}

// Bob's last name holds a comma and Ann's address a line break: each becomes
// one blank, and the run counts them. A tab file keeps the comma.
TEST_F(ExportTest, SeparatorsAndLineBreaksInValuesBecomeBlanks)
{
    addScene();
    ExportRequest r = request(ExportKind::Employee, ExportFormat::Comma, out("s.txt"), false, {0, 1, 10});
    const ExportResult result = runExport(r);
    EXPECT_EQ(result.changedValues, 2);
    EXPECT_EQ(ChangedValuesMessage(result.changedValues),
              "2 values held the separator or a line break; each was written as a blank.");
    EXPECT_EQ(bytes(r.fileName), "Able,Ann,1 Main St Apt 2\r\nBaker  Jr,Bob,\r\nCole,Cara,\r\n");

    r.format = ExportFormat::Tab;
    EXPECT_EQ(run(r), "Able\tAnn\t1 Main St Apt 2\r\nBaker, Jr\tBob\t\r\nCole\tCara\t\r\n");

    // Under a decimal-comma setting a comma file writes its numbers with ".".
    RegionalSettings german = RegionalSettings::usEnglish();
    german.decimalSeparator = ",";
    german.thousandSeparator = ".";
    setRegional(german);
    const std::string hours = run(request(ExportKind::HoursWorked, ExportFormat::Comma, out("g.txt"), true, {0, 5, 9}));
    setRegional(RegionalSettings::usEnglish());
    EXPECT_EQ(goldenLines(hours)[0], "Able,31.00,310.00\r");
}

// A progress display that fails with an engine error when the third
// employee's record is due.
class FailingProgress : public RecordingProgress {
public:
    void step() override
    {
        RecordingProgress::step();
        if (steps == 2)
            throw engine::EngineError(engine::code::ReadError, "Read error on workday.dat");
    }
};

TEST_F(ExportTest, AFailedRunLeavesTheDestinationAsItWas)
{
    addScene();
    for (ExportFormat format : {ExportFormat::Comma, ExportFormat::XBase}) {
        const std::string folder = out(format == ExportFormat::XBase ? "dbf/" : "txt/");
        fs::create_directory(folder);
        const std::string file = folder + (format == ExportFormat::XBase ? "payroll.dbf" : "payroll.txt");
        std::ofstream(file, std::ios::binary) << "the good file";
        FailingProgress failing;
        ExportRequest r = request(ExportKind::HoursWorked, format, file);
        r.progress = &failing;
        messages.clear();
        EXPECT_EQ(runExport(r).outcome, ExportResult::Outcome::Failed);
        EXPECT_EQ(messages.last(),
                  "The export did not finish.  " + file + " was left as it was.\r\rRead error on workday.dat");
        EXPECT_EQ(bytes(file), "the good file");
        int entries = 0;
        for (const auto& e : fs::directory_iterator(folder)) {
            (void)e;
            ++entries;
        }
        EXPECT_EQ(entries, 1) << "a temporary file remains in " << folder;
    }
}

// A folder that cannot be written (a read-only mount, which binds even the
// root user): nothing can be made, the destination stays and the run says so.
TEST_F(ExportTest, AReadOnlyFolderIsReportedAndLeftAlone)
{
    addScene();
    const std::string folder = out("kept/");
    fs::create_directory(folder);
    std::ofstream(folder + "payroll.txt", std::ios::binary) << "the good file";
    std::ofstream(folder + "payroll.dbf", std::ios::binary) << "the good table";
    PeerProcess readOnly("mount --bind '" + folder + "' '" + folder + "' && mount -o remount,bind,ro '" + folder + "'");
    if (!readOnly.usable())
        GTEST_SKIP() << "no mount namespace for a read-only folder here";
    ASSERT_EQ(readOnly.send("start " + dataFolder), "ok");
    const std::string notOpened =
        "ok 1 The Data File you selected can not be opened.  Please check your file selection and try again.";
    EXPECT_EQ(readOnly.send("export 5 1 " + std::string(HV_PROGRAM_DIR) + " " + folder + "payroll.txt"), notOpened);
    EXPECT_EQ(readOnly.send("export 5 3 " + std::string(HV_PROGRAM_DIR) + " " + folder + "payroll.dbf"), notOpened);
    EXPECT_EQ(bytes(folder + "payroll.txt"), "the good file");
    EXPECT_EQ(bytes(folder + "payroll.dbf"), "the good table");
    int entries = 0;
    for (const auto& e : fs::directory_iterator(folder)) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2);
}

} // namespace
} // namespace hv::test
