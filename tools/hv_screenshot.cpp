// Makes the README's picture of the main window with the program's own
// window: a scratch data folder with a few employees and one filled week,
// the window opened on that week, and the window drawn into a PNG file.
//   QT_QPA_PLATFORM=offscreen hv_screenshot docs/main-window.png
#include "app/QtFileDialogs.h"
#include "app/Startup.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"
#include "storage/AppState.h"
#include "storage/DataModule.h"
#include "timekeeping/windows/Main.h"
#include "timekeeping/WorkUtil.h"
#include "timeoff/TTimeOff.h"
#include "widgets/CommandRegistry.h"
#include "widgets/TQVComboBox.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::int32_t addEmployee(hv::THourvaneDataMod& dm, const char* last, const char* first)
{
    hv::engine::Table& t = dm.tblEmps;
    t.append();
    t.fieldByName("LastName").setAsString(last);
    t.fieldByName("FirstName").setAsString(first);
    t.fieldByName("StartDate").setAsDateTime(hv::EncodeDate(2019, 4, 1));
    t.fieldByName("ActiveFlag").setAsBoolean(true);
    t.fieldByName("EligibleFlag").setAsBoolean(true);
    t.post();
    return std::int32_t(t.fieldByName("EmpID").asInteger());
}

std::int32_t addReason(hv::THourvaneDataMod& dm, const char* name, const char* code)
{
    hv::engine::Table& t = dm.tblReasons;
    t.append();
    t.fieldByName("Reason").setAsString(name);
    t.fieldByName("ReasonCode").setAsString(code);
    t.fieldByName("ActiveFlag").setAsBoolean(true);
    t.fieldByName("PaidFlag").setAsBoolean(true);
    t.fieldByName("OvertimeFlag").setAsBoolean(false);
    t.fieldByName("PolicyFlag").setAsBoolean(false);
    t.post();
    return std::int32_t(t.fieldByName("ReasonID").asInteger());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: hv_screenshot <out.png>\n");
        return 2;
    }
    QApplication app(argc, argv);
    QTemporaryDir scratch;
    const std::string folder = scratch.path().toStdString() + "/";
    setenv("HOURVANE_CONFIG_DIR", folder.c_str(), 1);

    hv::setRegional(hv::RegionalSettings::usEnglish());
    hv::FixedClock today;
    today.setToday(hv::EncodeDate(2026, 12, 9));
    hv::setClock(&today);
    hv::AppState& state = hv::appState();
    state.lockIdentity = "README";
    state.programFolder = folder;
    state.displayDateFormat = hv::DateFormat();

    hv::THourvaneDataMod dm(hv::DataModuleOptions{folder, "Hourvane3.ini", nullptr, &state});
    addEmployee(dm, "Adams", "Bob");
    const std::int32_t baker = addEmployee(dm, "Baker", "Ann");
    addEmployee(dm, "Cole", "Ben");
    const std::int32_t vacation = addReason(dm, "Vacation", "V");
    addReason(dm, "Sick", "S");

    // Monday to Thursday worked with a lunch break, a long Thursday, Friday off.
    const double weekEnd = hv::EncodeDate(2026, 12, 5);
    {
        hv::TWorkWeekRecClass week(dm);
        week.SetWeekEnd(weekEnd);
        week.SetEmployee(baker);
        week.Load();
        for (int day = 1; day <= 4; ++day) {
            week.Day(day).setIn(1, hv::EncodeTime(8, 0));
            week.Day(day).setOut(1, hv::EncodeTime(12, 0));
            week.Day(day).setIn(2, hv::EncodeTime(12, 30));
            week.Day(day).setOut(2, hv::EncodeTime(day == 4 ? 19 : 17, day == 4 ? 15 : 0));
        }
        if (week.Save(state.lockIdentity) != hv::kWeekSaved)
            return 1;
        hv::TTimeOffRecClass friday(dm, baker, weekEnd - 1, vacation);
        friday.SetHours(8);
        friday.SetNewDay(true);
        if (!friday.Save(state.lockIdentity))
            return 1;
    }

    hv::CommandRegistry commands;
    hv::RegisterProgramWindows(commands);
    hv::QtFileDialogs fileDialogs;
    hv::TfrmMain window(dm, state, commands, fileDialogs);
    window.show();
    window.FormActivate();
    auto* weeks = window.findChild<hv::TQVComboBox*>("cboWeekEnd");
    weeks->setCurrentIndex(2);
    emit weeks->activated(2);
    auto* employees = window.findChild<hv::TQVComboBox*>("cboEmployee");
    employees->setCurrentIndex(employees->findText("Baker, Ann"));
    emit employees->activated(employees->currentIndex());
    QApplication::processEvents();
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]), "PNG");
    window.week().Unlock(state.lockIdentity);
    hv::setClock(nullptr);
    return saved ? 0 : 1;
}
