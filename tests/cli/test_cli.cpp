// hourvane-cli as a script runs it: a process on a generated folder, judged
// by its exit code, its output and what it leaves in the folder.
#include "people/TEmp.h"
#include "platform/DateUtil.h"
#include "ports/PickList.h"
#include "storage/DataModule.h"
#include "storage/HVGlobal.h"
#include "storage/Prefer.h"
#include "tests/support/Golden.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TempDir.h"
#include "timekeeping/WeekClip.h"
#include "timekeeping/WorkUtil.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;
using hv::test::PeerProcess;
using hv::test::TempDir;

namespace {

struct Outcome {
    int exit = -1;
    std::string out;
    std::string err;
};

class CliTest : public ::testing::Test {
protected:
    TempDir config;
    TempDir work;

    std::map<QString, QString> extraEnvironment;

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("HOURVANE_CONFIG_DIR", QString::fromStdString(config.path().string()));
        // As cron runs a script: no desktop session, so no runtime folder.
        env.remove("XDG_RUNTIME_DIR");
        env.remove("HOURVANE_MANAGER_PASSWORD");
        for (const auto& [name, value] : extraEnvironment)
            env.insert(name, value);
        return env;
    }

    // In the work folder, with nothing on standard input.
    Outcome run(const QString& program, const QStringList& arguments, int timeoutMs = 120000) const
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.setWorkingDirectory(QString::fromStdString(work.path().string()));
        p.start(program, arguments);
        p.closeWriteChannel();
        Outcome r;
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            r.err = "timed out";
            return r;
        }
        r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput().toStdString();
        r.err = p.readAllStandardError().toStdString();
        return r;
    }

    Outcome cli(const std::string& folder, QStringList arguments) const
    {
        arguments.prepend(QString::fromStdString(folder));
        arguments.prepend("--data");
        return run(HV_CLI, arguments);
    }

    std::string generate(const std::string& name, int employees)
    {
        const std::string folder = (work / name).string() + "/";
        const Outcome r = run(HV_TOOLS_DIR "/hv_generate",
                          {QString::fromStdString(folder), "--employees", QString::number(employees), "--years", "1",
                           "--end", "2026-06-27"});
        EXPECT_EQ(r.exit, 0) << r.err;
        return folder;
    }

    // Table file -> "rows integrity" from info --json.
    std::map<std::string, std::string> tables(const std::string& folder) const
    {
        const Outcome r = cli(folder, {"info", "--json"});
        EXPECT_EQ(r.exit, 0) << r.err;
        std::map<std::string, std::string> out;
        static const QRegularExpression entry(
            R"re(\{"file": "([^"]+)", "rows": (\d+), "integrity": "([^"]*)"\})re");
        auto it = entry.globalMatch(QString::fromStdString(r.out));
        while (it.hasNext()) {
            const auto m = it.next();
            out[m.captured(1).toStdString()] = (m.captured(2) + " " + m.captured(3)).toStdString();
        }
        return out;
    }

    static QByteArray folderDigest(const std::string& folder)
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        std::map<std::string, fs::path> files;
        for (const auto& e : fs::directory_iterator(folder))
            if (e.is_regular_file() && e.path().extension() != ".lck")
                files[e.path().filename().string()] = e.path();
        for (const auto& [name, path] : files) {
            QFile f(QString::fromStdString(path.string()));
            f.open(QIODevice::ReadOnly);
            hash.addData(QByteArray::fromStdString(name));
            hash.addData(f.readAll());
        }
        return hash.result();
    }
};

TEST_F(CliTest, BackupThenRestoreIntoAnotherFolderGivesTheSameTablesAndADamagedArchiveChangesNothing)
{
    const std::string source = generate("source", 20);
    const std::string archive = (work / "nightly.zip").string();
    Outcome r = cli(source, {"backup", QString::fromStdString(archive)});
    ASSERT_EQ(r.exit, 0) << r.err;
    ASSERT_TRUE(fs::exists(archive));

    const std::string target = (work / "target").string() + "/";
    ASSERT_EQ(cli(target, {"init"}).exit, 0);
    r = cli(target, {"restore", QString::fromStdString(archive)});
    ASSERT_EQ(r.exit, 0) << r.err;

    const auto before = tables(source);
    const auto after = tables(target);
    ASSERT_EQ(before.size(), 14u);
    EXPECT_EQ(after, before);
    for (const auto& [file, value] : after)
        EXPECT_TRUE(value.ends_with(" ok")) << file << ": " << value;
    EXPECT_NE(before.at("workday.DAT"), "0 ok"); // the generator wrote punches

    // Bytes in the middle of the archive overwritten: its test fails.
    const std::string damaged = (work / "damaged.zip").string();
    fs::copy_file(archive, damaged);
    {
        std::fstream f(damaged, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(std::streamoff(fs::file_size(damaged) / 3));
        const std::string junk(64, '\x5a');
        f.write(junk.data(), std::streamsize(junk.size()));
    }
    const QByteArray untouched = folderDigest(target);
    r = cli(target, {"restore", QString::fromStdString(damaged)});
    EXPECT_EQ(r.exit, 3) << r.err;
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(folderDigest(target), untouched);
}

TEST_F(CliTest, BackupIsRefusedWithExitCodeTwoWhileAnotherCopyIsPresent)
{
    const std::string folder = generate("shared", 3);
    PeerProcess peer;
    ASSERT_EQ(peer.send("start " + folder), "ok");
    ASSERT_NE(peer.send("slot"), "ok 0");
    const std::string archive = (work / "refused.zip").string();
    const Outcome r = cli(folder, {"backup", QString::fromStdString(archive)});
    EXPECT_EQ(r.exit, 2) << r.err;
    EXPECT_NE(r.err.find("you must have exclusive access to backup the database"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(archive));
}

// What an import must reproduce of a week: the punches, each day's hours and
// time off, and the hours in all. The import carries no wages or overtime
// policy assignments, so pay and the regular/overtime split are not compared.
QJsonObject weekShape(const std::string& json)
{
    const QJsonObject week = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
    QJsonArray days;
    for (const auto& d : week["days"].toArray()) {
        const QJsonObject day = d.toObject();
        days.append(QJsonObject{{"date", day["date"]},
                                {"punches", day["punches"]},
                                {"hours", day["hours"]},
                                {"time_off", day["time_off"]}});
    }
    return {{"employee", week["employee"].toObject()["name"]},
            {"days", days},
            {"worked", week["regular"].toDouble() + week["overtime"].toDouble()},
            {"time_off", week["time_off"]}};
}

TEST_F(CliTest, ExportThenImportIntoAnEmptyDatabaseGivesTheSameWeeks)
{
    const std::string source = generate("exported", 6);
    const std::string target = (work / "imported").string() + "/";
    ASSERT_EQ(cli(target, {"init"}).exit, 0);
    const QString from = "2026-05-31", to = "2026-06-27"; // four program weeks
    auto file = [this](const char* name) { return QString::fromStdString((work / name).string()); };

    Outcome r = cli(source, {"export", "employees", "--format", "comma", "-o", file("emps.csv")});
    ASSERT_EQ(r.exit, 0) << r.err;
    r = cli(target, {"import", "employees", file("emps.csv")});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_NE(r.out.find("6 records were imported and 0 were skipped"), std::string::npos) << r.out;

    r = cli(source, {"export", "time-cards", "--format", "tab", "--from", from, "--to", to, "--items",
                     "LastName,FirstName,EmpID,WorkDate,TimeIn1", "-o", file("cards.tab")});
    ASSERT_EQ(r.exit, 0) << r.err;
    r = cli(target, {"import", "time-cards", file("cards.tab"), "--format", "tab", "--columns",
                     "LastName,FirstName,EmpID,WeekDate,TimeIn1,TimeOut1,TimeIn2,TimeOut2"});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_NE(r.out.find(" were skipped."), std::string::npos) << r.out;

    r = cli(source, {"export", "time-off-detail", "--format", "comma", "--from", from, "--to", to, "--items",
                     "LastName,FirstName,EmpID,OffDate,Reason,Hours", "-o", file("off.csv")});
    ASSERT_EQ(r.exit, 0) << r.err;
    r = cli(target, {"import", "time-off", file("off.csv")});
    ASSERT_EQ(r.exit, 0) << r.err;

    int compared = 0;
    for (int emp = 1; emp <= 6; ++emp)
        for (const char* week : {"2026-06-06", "2026-06-13", "2026-06-20", "2026-06-27"}) {
            const Outcome a = cli(source, {"week", QString::number(emp), week, "--json"});
            ASSERT_EQ(a.exit, 0) << a.err;
            const QJsonObject expected = weekShape(a.out);
            // The import numbers employees in its own order: find them by name.
            const std::string name = expected["employee"].toString().toStdString();
            const Outcome b = cli(target, {"week", QString::fromStdString(name), week, "--json"});
            ASSERT_EQ(b.exit, 0) << b.err;
            EXPECT_EQ(weekShape(b.out), expected) << name << " week ending " << week << "\n" << a.out << "\n"
                                                  << b.out;
            ++compared;
        }
    EXPECT_EQ(compared, 24);
}

TEST_F(CliTest, TheHoursWorkedReportAsPdfHoldsTheTotalsTheWeeksGiveForThePeriod)
{
    const std::string folder = generate("report", 8);
    const std::string pdf = (work / "hours.pdf").string();
    // A period that cuts weeks at both ends.
    const Outcome r = cli(folder, {"report", "hours-worked", "--from", "2026-05-06", "--to", "2026-06-24", "--pdf",
                                   QString::fromStdString(pdf)});
    ASSERT_EQ(r.exit, 0) << r.err;

    // The same period computed week by week through the time card's own load.
    double regular = 0, overtime = 0, other = 0;
    {
        hv::DataModuleOptions options((work / "program").string() + "/");
        options.dataFolder = folder;
        hv::THourvaneDataMod dm(options);
        hv::TPreferenceListClass preferences(dm);
        hv::LoadGlobalSettings(preferences);
        const double start = hv::EncodeDate(2026, 5, 6), end = hv::EncodeDate(2026, 6, 24);
        hv::MemoryPickList employees;
        hv::TEmployeeRecClass(dm).FillEmployeesForPeriod(employees, -1, end, start);
        ASSERT_GE(employees.count(), 6); // the generator lets some leave
        for (int e = 0; e < employees.count(); ++e) {
            hv::TWorkWeekRecClass week(dm);
            week.SetEmployee(employees.id(e));
            for (double weekEnd = hv::FirstWeekEnd(start); weekEnd - 6 <= end; weekEnd += 7) {
                week.SetWeekEnd(weekEnd);
                week.Load();
                const hv::WeekClip clip = hv::ClipWeek(week, start, end);
                regular += clip.regular;
                overtime += clip.overtime;
                other += clip.paidTimeOff;
            }
        }
    }
    QProcess text;
    text.start("pdftotext", {"-layout", QString::fromStdString(pdf), "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    const auto line = QRegularExpression(R"(Report Total\s+([\d,.]+)\s+([\d,.]+)\s+([\d,.]+)\s+([\d,.]+))").match(out);
    ASSERT_TRUE(line.hasMatch()) << out.right(2000).toStdString();
    auto number = [&line](int i) { return line.captured(i).remove(',').toDouble(); };
    EXPECT_NEAR(number(1), regular, 0.005);
    EXPECT_NEAR(number(2), overtime, 0.005);
    EXPECT_NEAR(number(3), other, 0.005);
    EXPECT_NEAR(number(4), regular + overtime + other, 0.005);
    EXPECT_GT(regular, 6 * 6 * 30.0); // the generated weeks are there
}

TEST_F(CliTest, UsageAndBadInputHaveTheirExitCodes)
{
    const std::string folder = (work / "empty").string() + "/";
    EXPECT_EQ(run(HV_CLI, {"no-such-command"}).exit, 1);
    EXPECT_EQ(cli(folder, {"init"}).exit, 0);
    Outcome r = cli(folder, {"week", "1", "12/09/2026"});
    EXPECT_EQ(r.exit, 3);
    EXPECT_NE(r.err.find("'12/09/2026' is not a date of the form YYYY-MM-DD"), std::string::npos) << r.err;
    r = cli(folder, {"balance", "Nobody, Here"});
    EXPECT_EQ(r.exit, 3);
    EXPECT_NE(r.err.find("No employee has the number, code or name 'Nobody, Here'."), std::string::npos) << r.err;
    EXPECT_EQ(cli(folder, {"restore", QString::fromStdString((work / "missing.zip").string())}).exit, 3);

    // A missing or wrong manager password is no refusal (2) that trying again would cure.
    const QStringList wages = {"report", "hours-worked", "--from", "2026-06-01",
                               "--to",   "2026-06-07",   "--text", "--wages"};
    r = cli(folder, wages);
    EXPECT_EQ(r.exit, 3) << r.err;
    extraEnvironment["HOURVANE_MANAGER_PASSWORD"] = "WRONG";
    r = cli(folder, wages);
    EXPECT_EQ(r.exit, 3) << r.err;
    EXPECT_NE(r.err.find("HOURVANE_MANAGER_PASSWORD is not correct"), std::string::npos) << r.err;
}

TEST_F(CliTest, OnlyInitCreatesADatabaseAndEveryCommandPrintsOnlyItsOwnWords)
{
    // A mistyped folder, and a folder that is there but holds no database.
    const std::string typo = (work / "Dta").string();
    const std::string bare = (work / "bare").string();
    fs::create_directory(bare);
    const std::string archive = (work / "b.zip").string();
    for (const std::string& folder : {typo, bare})
        for (const QStringList& command : {QStringList{"info"}, QStringList{"week", "1", "2026-06-12"},
                                           QStringList{"backup", QString::fromStdString(archive)}}) {
            const Outcome r = cli(folder, command);
            EXPECT_EQ(r.exit, 3) << command.join(' ').toStdString() << ": " << r.err;
            EXPECT_EQ(r.err, "hourvane-cli: There is no Hourvane database in " + folder +
                                 ". Check the folder, or create a database there with init.\n");
        }
    EXPECT_FALSE(fs::exists(typo));
    EXPECT_TRUE(fs::is_empty(bare));
    EXPECT_FALSE(fs::exists(archive));

    // Qt has its say about the missing runtime folder; the commands do not pass it on.
    Outcome r = cli(typo, {"init"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err, "");
    r = cli(typo, {"info"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.err, "");
}

// Dates as YYYY-MM-DD in every import file; the week's text names each figure.
TEST_F(CliTest, ImportsReadIsoDatesAndTheWeekAsTextLabelsEveryFigure)
{
    const std::string folder = (work / "iso").string() + "/";
    ASSERT_EQ(cli(folder, {"init"}).exit, 0);
    auto file = [this](const char* name, const std::string& text) {
        const std::string path = (work / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return QString::fromStdString(path);
    };
    Outcome r = cli(folder, {"import", "employees", file("emps.csv", "Baker,Ann,E1,2026-01-05\n")});
    ASSERT_EQ(r.exit, 0) << r.err;
    r = cli(folder, {"import", "time-cards",
                     file("cards.csv", "Baker,Ann,E1,2026-06-08,8:00 AM,12:00 PM,12:30 PM,5:00 PM\n"
                                       "Baker,Ann,E1,2026-06-09,07:45 A,11:30 A,12:00 P,06:15 P\n")});
    ASSERT_EQ(r.exit, 0) << r.err;
    r = cli(folder, {"import", "time-off", file("off.csv", "Baker,Ann,E1,2026-06-12,Vacation,8\n")});
    ASSERT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "1 records were imported and 0 were skipped.\n");
    r = cli(folder, {"week", "E1", "2026-06-10"});
    ASSERT_EQ(r.exit, 0) << r.err;
    hv::test::ExpectGolden(r.out, HV_GOLDEN_DIR "/week.txt", "build/tests/cli/test_cli");
}

TEST_F(CliTest, AnImportThatUsesNoRecordOrUnderStrictSkipsOneFailsAndChangesNothing)
{
    const std::string folder = generate("skips", 3);
    auto file = [this](const char* name, const std::string& text) {
        const std::string path = (work / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return QString::fromStdString(path);
    };
    const auto before = tables(folder);
    ASSERT_NE(before.at("workday.DAT"), "0 ok");
    // Every line skipped, with --replace: the current time cards stay.
    Outcome r = cli(folder, {"import", "time-cards", "--replace",
                             file("bad.csv", "Nobody,Here,X9,2026-06-08,8:00 AM,12:00 PM\n"
                                             "Nobody,Else,X8,2026-06-09,8:00 AM,12:00 PM\n")});
    EXPECT_EQ(r.exit, 3) << r.out;
    EXPECT_NE(r.err.find("Line 2: no employee matches"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("every record was skipped"), std::string::npos) << r.err;
    EXPECT_EQ(tables(folder), before);

    // One good line and one bad: --strict keeps neither; without it the good one is imported.
    const QString mixed = file("mixed.csv", "Nobody,Here,X9,2026-06-08,8:00 AM,12:00 PM\n"
                                            "x,y,E1001,2026-07-01,8:00 AM,12:00 PM\n");
    r = cli(folder, {"import", "time-cards", mixed, "--strict", "--columns", "-,-,EmpID,WeekDate,TimeIn1,TimeOut1"});
    EXPECT_EQ(r.exit, 3) << r.out;
    EXPECT_NE(r.err.find("1 of 2 records would be skipped, and --strict allows none"), std::string::npos) << r.err;
    EXPECT_EQ(tables(folder), before);
    r = cli(folder, {"import", "time-cards", mixed, "--columns", "-,-,EmpID,WeekDate,TimeIn1,TimeOut1"});
    EXPECT_EQ(r.exit, 0) << r.err;
    EXPECT_EQ(r.out, "1 records were imported and 1 were skipped.\nLine 1: no employee matches\n");
}

TEST_F(CliTest, TheToolsPrintTheirUsageAndRefuseWhatTheyDoNotKnow)
{
    const QString generator = HV_TOOLS_DIR "/hv_generate";
    Outcome r = run(generator, {"--help"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_TRUE(r.out.starts_with("usage: hv_generate FOLDER")) << r.out;
    EXPECT_FALSE(fs::exists(work / "--help"));
    const fs::path folder = work / "generated";
    for (const QStringList& wrong : {QStringList{"--employes", "3"}, QStringList{"--employees"},
                                     QStringList{"--years", "two"}, QStringList{"other"}}) {
        r = run(generator, QStringList{QString::fromStdString(folder.string())} + wrong);
        EXPECT_EQ(r.exit, 2) << wrong.join(' ').toStdString();
        EXPECT_TRUE(r.err.starts_with("hv_generate: ")) << r.err;
    }
    EXPECT_FALSE(fs::exists(folder));

    r = run(HV_TOOLS_DIR "/hv_peer", {"--help"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_TRUE(r.out.starts_with("usage: hv_peer")) << r.out;
    EXPECT_EQ(run(HV_TOOLS_DIR "/hv_peer", {"connect"}).exit, 2);
}

// Overtime flag set means exempt from the overtime policy: the generated data
// must pay most hourly employees their overtime.
TEST_F(CliTest, GeneratedHourlyEmployeesAreMostlyPaidTheirOvertime)
{
    const std::string folder = generate("mix", 40);
    hv::DataModuleOptions options((work / "program").string() + "/");
    options.dataFolder = folder;
    hv::THourvaneDataMod dm(options);
    std::map<std::pair<std::string, bool>, int> employees; // (pay type, exempt) -> employees
    std::map<std::int64_t, std::pair<std::string, bool>> kind;
    for (dm.tblWages.first(); !dm.tblWages.eof(); dm.tblWages.next())
        kind[dm.tblWages.fieldByName("EmpID").asInteger()] = {dm.tblWages.fieldByName("PayTypeCode").asString(),
                                                              dm.tblWages.fieldByName("OvertimeFlag").asBoolean()};
    for (const auto& [id, k] : kind)
        ++employees[k];
    const int hourlyPaid = employees[{"H", false}], hourlyExempt = employees[{"H", true}];
    EXPECT_GT(hourlyPaid, 3 * hourlyExempt);
    EXPECT_GT(hourlyExempt, 0);
    const int salariedExempt = employees[{"W", true}];
    EXPECT_GT(salariedExempt, 0);
}

} // namespace
