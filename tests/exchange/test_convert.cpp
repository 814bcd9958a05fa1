// The migration of the previous version's data: the whole flow through the
// window with a fake extractor, the settings taken over, a database that
// already holds data, input that must leave everything as it was, references
// that point nowhere, and the extractor's failures.
#include "engine/EngineError.h"
#include "exchange/migrate/windows/Convert.h"
#include "tests/exchange/ConvertFixture.h"
#include "tests/support/DatabaseFingerprint.h"
#include "tests/support/Golden.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <gtest/gtest.h>

namespace hv::test {
namespace {

bool waitFor(const std::function<bool()>& condition, int ms = 15000)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

const char* const kCompleted =
    "The following Time Off Reason(s) had an incomplete Benefit Policy so a default record was added:\r\r"
    "Vacation\r\rPlease review the policy for the benefit(s) when the data migration is complete.";

class ConvertWindowTest : public ConvertTest {
protected:
    std::unique_ptr<TfrmConvert> window()
    {
        auto w = std::make_unique<TfrmConvert>(*dm, "Hourvane3.ini", programFolder);
        w->setTickInterval(20);
        w->setWaitLimit(5000);
        return w;
    }
    // Clicks Migrate and waits until the window gives a button back.
    static void migrate(TfrmConvert& w)
    {
        w.cmdMigrate->click();
        ASSERT_TRUE(waitFor([&] { return w.cmdClose->isEnabled(); }));
    }
    std::string summary(TfrmConvert& w) { return w.memSummary->toPlainText().toStdString(); }
};

TEST_F(ConvertWindowTest, MigrateRunsTheExtractorAndLoadsEveryFileInOneGo)
{
    putOldSettings(fixtureText("HOURVANE.INI"));
    putExtractor(copyingScript());
    execBlank(*dm, "insert into Prefer (PreferID, PreferValue) values ('HourvaneAccess', 'current scrambled')");
    auto w = window();
    migrate(*w);

    // An empty database asks nothing; only the reason whose last rule ended
    // at 60 months is named (the policy reason without rules gets 0-960 quietly).
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kCompleted});
    EXPECT_TRUE(w->cmdClose->isEnabled());
    EXPECT_FALSE(w->cmdMigrate->isEnabled());
    EXPECT_FALSE(w->lblCompleted->isHidden());
    for (QLabel* mark : w->imgStep)
        EXPECT_EQ(mark->property("mark").toString(), "check") << mark->objectName().toStdString();
    EXPECT_EQ(w->pbFile[int(ExtractFile::Work)]->value(), 3);

    // Numbers in file order, every default, the closing rule 60-960 and the
    // rule 0-960, wages from their text (21.1234 is 211234 units), "Standard"
    // for 45 hours from each start to each end, FirstDate 1/3/2021 = day 44199,
    // and the stored password as it was.
    ExpectGolden(dumpMigrated(), std::string(HV_SOURCE_DIR) + "/tests/exchange/golden/convert_tables.txt",
                 "build/tests/exchange/test_convert");
    EXPECT_EQ(summary(*w), "Reason.Txt: 3 lines loaded.\n"
                           "Policy.Txt: 2 lines loaded.\n"
                           "Dept.Txt: 2 lines loaded.\n"
                           "Employee.Txt: 3 lines loaded.\n"
                           "Wage.Txt: 3 lines loaded.\n"
                           "Accrual.Txt: 1 lines loaded.\n"
                           "TimeOff.Txt: 2 lines loaded.\n"
                           "Work.Txt: 3 lines loaded.\n"
                           "The first week start date was taken over.\n"
                           "The weekly hours (45) were taken over.\n"
                           "The overtime policy \"Standard\" was assigned to 3 employees.\n"
                           "The manager access password of the previous version could not be taken over.  Use this "
                           "version's password (LANTERNS if it was never changed) and change it with Change "
                           "Password.\n");
}

TEST_F(ConvertTest, SettingsAreTakenOverOnlyWhenValid)
{
    putExtract(extract.path());
    struct Case {
        std::string ini;
        std::string firstDate, hours; // "<no row>" when not written
        bool standard;
        bool refused;
    };
    const Case cases[] = {
        {"[Application]\nFirstWeekStartDate=1/3/2021\nWeekHours=40\n", "44199", "40", false, false},
        {"[Application]\nFirstWeekStartDate=soon\nWeekHours=0\n", "<no row>", "<no row>", false, true},
        {"[Application]\nWeekHours=200\n", "<no row>", "<no row>", false, true},
        // Last: the overtime policies stay unless "Standard" replaces them.
        {"[Application]\nFirstWeekStartDate=44199\nWeekHours=45\n", "44199", "45", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        start();
        execBlank(*dm, "delete from Prefer where PreferID in ('FirstDate', 'Hours', 'Overtime')");
        putOldSettings(c.ini);
        const ExtractData data = readExtract();
        ASSERT_TRUE(data.problems.empty());
        const ConvertResult result = LoadExtract(*dm, data);
        ASSERT_EQ(result.outcome, ConvertResult::Outcome::Loaded);
        EXPECT_EQ(read("select PreferValue from Prefer where PreferID = 'FirstDate'"), c.firstDate);
        EXPECT_EQ(read("select PreferValue from Prefer where PreferID = 'Hours'"), c.hours);
        EXPECT_EQ(read("select PreferValue from Prefer where PreferID = 'Overtime'"),
                  c.hours == "<no row>" ? "<no row>" : "0");
        EXPECT_EQ(countRows(*dm, "OTPolicy"), c.standard ? 1 : 0);
        EXPECT_EQ(countRows(*dm, "EmpOT"), c.standard ? 3 : 0);
        EXPECT_EQ(ConvertSummaryText(data, result).find("was not taken over") != std::string::npos ||
                      ConvertSummaryText(data, result).find("were not taken over") != std::string::npos,
                  c.refused);
    }
}

TEST_F(ConvertWindowTest, ADatabaseWithDataIsReplacedOnlyAfterYes)
{
    putExtractor(copyingScript());
    auto w = window();
    // Reasons but no employees: the question comes, and No changes nothing.
    addReasonRow(*dm, {.name = "Old", .code = "O"});
    const std::string before = DatabaseFingerprint(dm->HourvaneDB);
    messages.answer(MsgResult::No);
    w->cmdMigrate->click();
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"The migration will replace all information you already "
                                                         "have in Hourvane.  Are you sure you want to continue?"});
    EXPECT_TRUE(w->cmdMigrate->isEnabled());
    EXPECT_EQ(DatabaseFingerprint(dm->HourvaneDB), before);

    // Old numbers went past what the files hold; the old employees' custom
    // values and overtime assignments must not land on the new ones.
    for (int i = 0; i < 5; ++i)
        addEmployeeRow(*dm, {.last = "Old" + std::to_string(i), .first = "X", .start = 40000});
    execBlank(*dm, "delete from Employee where EmpID < 5");
    addDeptRow(*dm, "Gone");
    execBlank(*dm, "insert into EmpField (EmpID, FieldID, FieldValue) values (1, 1, 'shoe 9')");
    execBlank(*dm, "insert into EmpOT (EmpID, StartDate, PolicyID) values (2, '2020-01-01', 1)");
    messages.clear();
    messages.answer(MsgResult::Yes);
    migrate(*w);
    EXPECT_EQ(messages.texts().size(), 2u); // the question, then the completed policy
    auto rows = [&](const std::string& columns, const std::string& table) {
        return read("select group_concat(r, ', ') from (select " + columns + " as r from " + table + " order by 1)");
    };
    EXPECT_EQ(rows("EmpID||' '||LastName", "Employee"), "1 Smith, 2 Jones, 3 Brown");
    EXPECT_EQ(rows("ReasonID||' '||Reason", "Reason"), "1 Vacation, 2 Sick, 3 Jury Duty");
    EXPECT_EQ(rows("DeptID||' '||DeptName", "Dept"), "1 Office, 2 Shop Floor");
    EXPECT_EQ(countRows(*dm, "EmpField"), 0);
    EXPECT_EQ(countRows(*dm, "EmpOT"), 0); // no old settings file: no "Standard" either
}

TEST_F(ConvertTest, InputThatCannotBeStoredLeavesEverythingAsItWas)
{
    addReasonRow(*dm, {.name = "Old", .code = "O"});
    addEmployeeRow(*dm, {.last = "Kept", .first = "K", .start = 40000});
    const std::string before = DatabaseFingerprint(dm->HourvaneDB);
    putOldSettings(fixtureText("HOURVANE.INI"));
    struct Case {
        const char* file;
        std::string text;
        const char* problem;
    };
    const std::string employees = fixtureText("Employee.Txt");
    const Case cases[] = {
        // The last line cut before the start date, which may not be blank.
        {"Employee.Txt", employees + "Cut\tShort", "Employee.Txt, line 4: the line ends before StartDate"},
        {"TimeOff.Txt", "1\t1/8/2021\t1\t8\textra\r\n", "TimeOff.Txt, line 1: the line has 5 fields, 4 were expected"},
        {"Wage.Txt", "1\t3/1/2015\t\t18.5\tH\tT\r\n2\t13/45/2020\t\t9\tH\tT\r\n",
         "Wage.Txt, line 2: StartDate \"13/45/2020\" is not a valid date"},
        {"Work.Txt", "1\t1/4/2021\t25:00\r\n", "Work.Txt, line 1: TimeIn1 \"25:00\" is not a valid time"},
        {"TimeOff.Txt", "1\t1/8/2021\t1\t4,5\r\n", "TimeOff.Txt, line 1: Hours \"4,5\" is not a valid number"},
        {"Reason.Txt", "Vacation\tV\r\nVACATION\tW\r\n",
         "Reason.Txt, line 2: the reason \"VACATION\" is also on line 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problem);
        putExtract(extract.path(), c.file, c.text);
        const ExtractData data = readExtract();
        EXPECT_EQ(ExtractProblemsText(data), std::string(c.problem) + "\n");
        EXPECT_EQ(LoadExtract(*dm, data).outcome, ConvertResult::Outcome::Refused);
        EXPECT_EQ(DatabaseFingerprint(dm->HourvaneDB), before);
    }
}

TEST_F(ConvertWindowTest, AFailedCheckOrAnEngineErrorLoadsNothing)
{
    addReasonRow(*dm, {.name = "Old", .code = "O"});
    putOldSettings(fixtureText("HOURVANE.INI"));
    const std::string before = DatabaseFingerprint(dm->HourvaneDB);
    auto w = window();

    const std::string to = "'" + extract.path().string() + "/";
    putExtractor("cp '" + std::string(HV_CONVERT_FIXTURES) + "'/*.Txt " + to + "' && printf 'x\\t1/1/2021\\n' > " + to +
                 "Work.Txt' && touch " + to + "Done.Txt'");
    migrate(*w);
    EXPECT_EQ(messages.last(), kExtractProblemsMessage);
    EXPECT_EQ(summary(*w), "Work.Txt, line 1: EmpID \"x\" is not a whole number\n");
    EXPECT_TRUE(w->cmdMigrate->isEnabled());
    EXPECT_EQ(DatabaseFingerprint(dm->HourvaneDB), before);

    // The engine refuses the second punch line: every table and preference
    // goes back to where it was, though six files had gone in.
    putExtractor(copyingScript());
    w->setLoadHook([](ExtractFile file, int line) {
        if (file == ExtractFile::Work && line == 2)
            throw engine::EngineError(engine::code::RequiredField, "disk full");
    });
    messages.clear();
    migrate(*w);
    ASSERT_EQ(messages.texts().size(), 2u); // the replace question, then the record's message
    EXPECT_EQ(messages.shown()[1].kind, MsgKind::Error);
    EXPECT_EQ(messages.last().rfind("The following error occurred saving the Punch In/Out record: ", 0), 0u);
    EXPECT_NE(messages.last().find("\r\rThe record was NOT saved."), std::string::npos);
    EXPECT_EQ(summary(*w), "The loading stopped at Work.Txt, line 2.  Nothing was loaded and your Hourvane data has "
                           "not been changed.");
    EXPECT_TRUE(w->cmdMigrate->isEnabled());
    EXPECT_EQ(DatabaseFingerprint(dm->HourvaneDB), before);
}

TEST_F(ConvertTest, AnotherCopyOnTheDataFolderKeepsTheLoadingOut)
{
    putExtract(extract.path());
    auto other =
        std::make_unique<THourvaneDataMod>(DataModuleOptions{programFolder, "Hourvane3.ini", nullptr, &appState()});
    dm->HourvaneDB.setLockRetryCount(0);
    const std::string before = DatabaseFingerprint(dm->HourvaneDB);
    EXPECT_EQ(LoadExtract(*dm, readExtract()).outcome, ConvertResult::Outcome::NotExclusive);
    EXPECT_EQ(messages.texts(), std::vector<std::string>{"Could not open tables for exclusive access."});
    EXPECT_EQ(DatabaseFingerprint(dm->HourvaneDB), before);
}

TEST_F(ConvertTest, OldTextAndReferencesToRowsNotInTheFilesAreLoaded)
{
    // Windows-1252 text (0xFC is u-umlaut), and a quote that opens no quoted field.
    putExtract(extract.path(), "Employee.Txt", "M\xFCller\t\"Bud\t3/1/2015\t\tE01\t7\tClerk\tT\r\n");
    std::ofstream(extract.path() / "TimeOff.Txt", std::ios::binary) << "1\t1/8/2021\t9\t8\r\n";
    const ExtractData data = readExtract();
    ASSERT_EQ(ExtractProblemsText(data), "");
    const ConvertResult result = LoadExtract(*dm, data);
    ASSERT_EQ(result.outcome, ConvertResult::Outcome::Loaded);
    EXPECT_EQ(read("select LastName||' '||FirstName||' '||DeptID from Employee where EmpID = 1"),
              "M\u00FCller \"Bud 0");
    EXPECT_EQ(read("select ReasonID||' '||Hours from TimeOff"), "9 8.0");
    const std::string summary = ConvertSummaryText(data, result);
    EXPECT_NE(summary.find("Employee.Txt: 1 lines loaded.\n  1 of them name a department that is not in the "
                           "extracted files and have no department.\n"),
              std::string::npos);
    EXPECT_NE(summary.find("TimeOff.Txt: 1 lines loaded.\n  1 of them name an employee or reason that is not in "
                           "the extracted files.\n"),
              std::string::npos);
    EXPECT_NE(summary.find("no settings were taken over"), std::string::npos);
}

TEST_F(ConvertWindowTest, ExtractorFailuresGiveTheButtonsBack)
{
    auto w = window();
    const std::string folder = converter.path().string();
    const std::string name = "The program to extract information from your current copy of Hourvane (CONVERT.EXE)";

    w->cmdMigrate->click(); // missing
    EXPECT_EQ(messages.last(), name + " is missing.\r\rPlease copy it to the '" + folder + "' folder and try again.");

    putExtractor("exit 0", false); // not executable
    w->cmdMigrate->click();
    EXPECT_EQ(messages.last().rfind(name + " could not be started.\r\r", 0), 0u);
    EXPECT_GT(messages.last().size(), (name + " could not be started.\r\r").size()); // the system's reason
    EXPECT_TRUE(w->cmdMigrate->isEnabled() && w->cmdClose->isEnabled());

    // Files of an earlier run are removed first, so this Reason.Txt is not
    // taken for the extractor's work and no Done.Txt appears.
    putExtract(extract.path());
    std::ofstream(extract.path() / "DONE.TXT") << "";
    putExtractor("exit 3");
    migrate(*w);
    EXPECT_EQ(messages.last(), name + " ended before it finished.  Nothing was loaded.");
    EXPECT_TRUE(w->cmdMigrate->isEnabled());
    EXPECT_TRUE(std::filesystem::is_empty(extract.path()));

    // Nothing written within the waiting time: No gives up and enables Close.
    w->setWaitLimit(100);
    putExtractor("exec sleep 20");
    messages.answer(MsgResult::No);
    migrate(*w);
    EXPECT_EQ(messages.last(), "It looks like the Conversion is having a problem.\r\rWould you like to keep waiting?");
    EXPECT_EQ(messages.shown().back().kind, MsgKind::Confirmation);
    EXPECT_FALSE(w->cmdMigrate->isEnabled());
}

} // namespace
} // namespace hv::test
