// The Preferences window on its own, and the preferences flow and the Time
// Off Reasons command as the main window runs them: today is Wednesday
// 15 March 2023, the first week starts on Sunday 5 March, 24-hour times.
#include "platform/SettingsFile.h"
#include "settings/PreferenceRules.h"
#include "settings/windows/Preferences.h"
#include "settings/windows/SettingsCommands.h"
#include "tests/support/ScriptedDatePicker.h"
#include "tests/timekeeping/MainWindowFixture.h"
#include "timeoff/windows/Reasons.h"
#include "widgets/TQVDateEdit.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include <functional>

namespace hv::test {
namespace {

class PreferencesTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        RegisterSettingsWindows(commands);
    }
    void TearDown() override
    {
        prefs.reset();
        MainWindowTest::TearDown();
    }

    // The window on its own, over the stored settings.
    TfrmPreferences& openPreferences()
    {
        TPreferenceListClass cache(*dm);
        LoadGlobalSettings(cache);
        prefs = std::make_unique<TfrmPreferences>(*dm, appState(), globalSettings(), true, picker);
        prefs->show();
        prefs->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(prefs.get()));
        return *prefs;
    }
    // The main window's flow; act works in the modal window, which is
    // cancelled afterwards unless act closed it.
    void runFlow(const std::function<void(TfrmPreferences&)>& act)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* w = qobject_cast<TfrmPreferences*>(QApplication::activeModalWidget());
            ASSERT_NE(w, nullptr);
            w->activateWindow();
            for (int i = 0; i < 100 && QApplication::activeWindow() != w; ++i)
                QTest::qWait(10);
            act(*w);
            if (w->isVisible())
                w->reject();
            ran = true;
        });
        window->mnuEditPreferencesClick();
        ASSERT_TRUE(ran);
    }

    template <class T = QWidget>
    static T* in(QWidget& w, const char* name)
    {
        T* found = w.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(QWidget& w, const char* name)
    {
        auto* b = in<QAbstractButton>(w, name);
        const bool marked = qobject_cast<QRadioButton*>(b) != nullptr;
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, marked ? QPoint(6, b->height() / 2) : b->rect().center());
    }
    static void type(QWidget& w, const char* name, const char* keys)
    {
        auto* field = in<QLineEdit>(w, name);
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, keys);
        QTest::keyClick(field, Qt::Key_Tab);
    }
    static QString label(QWidget& w, const char* name) { return in<QLabel>(w, name)->text(); }
    static void pick(QWidget& w, const char* combo, int index) { in<QComboBox>(w, combo)->setCurrentIndex(index); }

    std::string prefer(const std::string& key)
    {
        return read("select PreferValue from Prefer where PreferID = '" + key + "'");
    }
    static std::string setting(const std::string& key)
    {
        return SettingsFile("Hourvane3.ini").read("Initialization", key, "<none>");
    }
    void addPunch(double day, const char* in, const char* out)
    {
        exec(*dm, "insert into WorkDay (EmpID, WeekDate, SequenceNum, TimeIn1, TimeOut1) values (1, '" +
                      FormatDateTime("yyyy-mm-dd", day) + "', 0, '" + in + "', '" + out + "')");
    }

    ScriptedDatePicker picker;
    std::unique_ptr<TfrmPreferences> prefs;
};

// Qt activates the main window again after every message box: the scripted
// answers do the same.
class ReactivatingMessages : public MessageService {
public:
    ReactivatingMessages(MessageService& answers, QWidget& main) : m_answers(answers), m_main(main)
    {
        setMessageService(this);
    }
    ~ReactivatingMessages() override { setMessageService(&m_answers); }
    MsgResult show(const std::string& text, MsgKind kind, MsgButtons buttons, int helpContext) override
    {
        const MsgResult result = m_answers.show(text, kind, buttons, helpContext);
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&m_main, &activate);
        return result;
    }

private:
    MessageService& m_answers;
    QWidget& m_main;
};

const char* const kWeekSaveQuestion =
    "The current Hourvane record has been changed.  Do you want to save your changes?";

TEST_F(PreferencesTest, BenefitYearFollowsTheMonthAndItsDayLimit)
{
    TfrmPreferences& w = openPreferences();
    EXPECT_EQ(w.minimumSize(), w.maximumSize()) << "a small dialog offers no maximise button";
    w.showPage(TfrmPreferences::BenefitYear);
    pick(w, "cboStartMonth", 0);
    pick(w, "cboStartDay", 30);
    pick(w, "cboStartMonth", 1);
    EXPECT_EQ(in<QComboBox>(w, "cboStartDay")->currentText(), "28");
    EXPECT_EQ(in<QComboBox>(w, "cboStartDay")->count(), 28);
    EXPECT_EQ(label(w, "lblYearFrom"), "February 28");
    EXPECT_EQ(label(w, "lblYearTo"), "February 27");

    pick(w, "cboStartDay", 0);
    pick(w, "cboStartMonth", 2);
    EXPECT_EQ(label(w, "lblYearFrom"), "March 1");
    EXPECT_EQ(label(w, "lblYearTo"), "February 28");
}

TEST_F(PreferencesTest, OvertimeSwitchesBetweenWeekAndDayAndStaysWithinAHundred)
{
    TfrmPreferences& w = openPreferences();
    w.showPage(TfrmPreferences::Overtime);
    EXPECT_EQ(in<QLineEdit>(w, "txtOvertime")->text(), "40.00");
    click(w, "optPerDay");
    EXPECT_EQ(in<QLineEdit>(w, "txtOvertime")->text(), "8.00");
    click(w, "optPerWeek");
    EXPECT_EQ(in<QLineEdit>(w, "txtOvertime")->text(), "40.00");

    // 25 a day is 125 a week: more than anyone can work over a threshold.
    click(w, "optPerDay");
    type(w, "txtOvertime", "25");
    click(w, "optPerWeek");
    EXPECT_EQ(in<QLineEdit>(w, "txtOvertime")->text(), "125.00");
    w.showPage(TfrmPreferences::HoursDisplay);
    EXPECT_FALSE(w.cmdSaveClick());
    expectOnlyMessage("Please enter between 1 and 100 overtime hours.", MsgKind::Information);
    EXPECT_EQ(w.page(), TfrmPreferences::Overtime);
}

TEST_F(PreferencesTest, EqualShortcutKeysAreRefused)
{
    TfrmPreferences& w = openPreferences();
    w.showPage(TfrmPreferences::PunchTimes);
    EXPECT_FALSE(in(w, "txtAMKey")->isEnabled()) << "24-hour times take no keys";
    click(w, "opt12Hour");
    for (const char* box : {"txtAMKey", "txtPMKey"}) {
        in(w, box)->setFocus();
        QTest::keyClick(in(w, box), Qt::Key_A, Qt::ControlModifier);
        EXPECT_EQ(in<QLineEdit>(w, box)->text(), "Ctrl+A");
    }
    w.showPage(TfrmPreferences::HoursDisplay);
    EXPECT_FALSE(w.cmdSaveClick());
    expectOnlyMessage("Your AM Shortcut key must be different than your PM Shortcut key.", MsgKind::Information);
    EXPECT_EQ(w.page(), TfrmPreferences::PunchTimes);

    // Backspace clears a filled box; on the empty box it is the key itself.
    QTest::keyClick(in(w, "txtPMKey"), Qt::Key_Backspace);
    EXPECT_EQ(in<QLineEdit>(w, "txtPMKey")->text(), "");
    QTest::keyClick(in(w, "txtPMKey"), Qt::Key_F5);
    EXPECT_EQ(in<QLineEdit>(w, "txtPMKey")->text(), "F5");
}

TEST_F(PreferencesTest, AFirstWeekAfterTheEarliestPunchAsksToUseThatDay)
{
    addPunch(date(2023, 3, 8), "08:00:00", "16:00:00");
    TfrmPreferences& w = openPreferences();
    w.showPage(TfrmPreferences::StartDate);
    type(w, "txtStartDate", "");
    w.showPage(TfrmPreferences::HoursDisplay);
    EXPECT_FALSE(w.cmdSaveClick()) << "an empty date would be 30 December 1899";
    expectOnlyMessage("Please enter the date your first Hourvane week starts on.", MsgKind::Information);
    EXPECT_EQ(w.page(), TfrmPreferences::StartDate);
    messages.clear();

    type(w, "txtStartDate", "3/12/2023");
    EXPECT_EQ(label(w, "lblWeekStart"), "Sunday");
    w.showPage(TfrmPreferences::HoursDisplay);
    messages.answer(MsgResult::Yes);
    EXPECT_TRUE(w.cmdSaveClick());
    expectOnlyMessage("Your first Hourvane week cannot start after the date of any Hourvane records already entered.  "
                      "The earliest Hourvane record date is 3/8/2023.\r\rWould you like to use this date?  (Your "
                      "work week would begin on Wednesday.)",
                      MsgKind::Confirmation, MsgButtons::YesNo);
    EXPECT_EQ(w.values().firstDate, date(2023, 3, 8));
}

// --- the flow in the main window ---

TEST_F(PreferencesTest, SettingsLockedByAnotherCopyCanOnlyBeViewed)
{
    TPreferenceListClass theirs(second());
    theirs.LoadAll();
    ASSERT_TRUE(theirs.LockAll("BOB"));
    open();
    runFlow([](TfrmPreferences& w) { EXPECT_FALSE(in(w, "cmdSave")->isEnabled()); });
    EXPECT_EQ(count("Prefer", "LockedBy = 'ALICE'"), 0);
    EXPECT_GT(count("Prefer", "LockedBy = 'BOB'"), 0);
}

TEST_F(PreferencesTest, ConfirmedValuesAreStoredAndTheRowsLetGo)
{
    open();
    runFlow([](TfrmPreferences& w) {
        EXPECT_TRUE(in(w, "cmdSave")->isEnabled());
        click(w, "optRound0");
        w.showPage(TfrmPreferences::PunchTimes);
        click(w, "opt12Hour");
        in(w, "txtAMKey")->setFocus();
        QTest::keyClick(in(w, "txtAMKey"), Qt::Key_A, Qt::ControlModifier);
        in(w, "txtPMKey")->setFocus();
        QTest::keyClick(in(w, "txtPMKey"), Qt::Key_A, Qt::ShiftModifier);
        EXPECT_TRUE(w.cmdSaveClick());
    });
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(prefer("MinuteRound"), "0");
    EXPECT_EQ(setting("TimeFormat"), "hh:nn A/P");
    EXPECT_EQ(setting("AMKey"), "65");
    EXPECT_EQ(setting("AMShift"), "2");
    EXPECT_EQ(setting("PMKey"), "65");
    EXPECT_EQ(setting("PMShift"), "3");
    EXPECT_EQ(count("Prefer", "LockedBy <> ''"), 0);
    EXPECT_EQ(box("msk1In0")->timeType(), TimeType::te12Hour);
}

TEST_F(PreferencesTest, ANewFirstDateAndHourFormatAreStoredWhenUnsavedPunchesAreDropped)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    open();
    chooseEmployee("Baker, Ann");
    typeInto(box("msk1In0"), "0800");
    box("msk1Out0")->setFocus(Qt::TabFocusReason);
    messages.answer(MsgResult::No);
    ReactivatingMessages reactivating(messages, *window);
    runFlow([](TfrmPreferences& w) {
        click(w, "optTenths");
        type(w, "txtStartDate", "2/26/2023");
        EXPECT_TRUE(w.cmdSaveClick());
    });
    EXPECT_EQ(messages.texts(), std::vector<std::string>{kWeekSaveQuestion});
    EXPECT_EQ(prefer("FirstDate"), std::to_string(static_cast<long long>(date(2023, 2, 26))));
    EXPECT_EQ(setting("HourFormat"), "#0.0");
    EXPECT_EQ(count("WorkDay"), 0);
    EXPECT_EQ(number("txtRegHours")->displayPattern(), "#0.0");
}

TEST_F(PreferencesTest, ADayRoundedAnewIsComputedAnew)
{
    addEmp("Baker", "Ann", date(2020, 1, 1));
    addPunch(date(2023, 3, 12), "08:07:00", "16:00:00");
    open();
    chooseEmployee("Baker, Ann");
    // 7 hours 53 minutes: 8.00 to the quarter hour, 7.88 unrounded.
    EXPECT_EQ(number("txtRegular0")->text(), "8.00");
    runFlow([](TfrmPreferences& w) {
        click(w, "optRound0");
        EXPECT_TRUE(w.cmdSaveClick());
    });
    EXPECT_EQ(number("txtRegular0")->text(), "7.88");
    EXPECT_EQ(number("txtRegHours")->text(), "7.88");
}

TEST_F(PreferencesTest, AfterTimeOffReasonsANewCodeIsInThePopUpMenu)
{
    open();
    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<TfrmReasons*>(QApplication::activeModalWidget());
        ASSERT_NE(w, nullptr);
        type(*w, "txtDescription", "Jury Duty");
        type(*w, "txtCode", "j");
        EXPECT_TRUE(w->cmdSaveClick()) << messages.last();
        w->reject();
        ran = true;
    });
    ASSERT_TRUE(window->runCommand("mnuEditReasons"));
    ASSERT_TRUE(ran);
    auto* item = control<QMenu>("PopupMenu")->findChild<QAction*>("mnuJ");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "&J Jury Duty");
}

} // namespace
} // namespace hv::test
