#pragma once
// The real main window on a fresh data folder, shown and active on the
// offscreen platform, with today set through the clock, the preferences put in
// place before its first activation, and a scripted manager password window.
#include "people/TEmp.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "storage/HVGlobal.h"
#include "storage/Prefer.h"
#include "tests/people/PeopleFixture.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "tests/support/ScriptedPasswordDialogs.h"
#include "timekeeping/windows/Main.h"
#include "timekeeping/WorkUtil.h"
#include "timeoff/windows/TimeOffCommands.h"
#include "widgets/CommandRegistry.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVNumberEdit.h"
#include "widgets/TQVTimeEdit.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <deque>
#include <map>
#include <memory>
#include <string>

namespace hv::test {

class MainWindowTest : public PeopleTest {
protected:
    void SetUp() override
    {
        PeopleTest::SetUp();
        setRegional(RegionalSettings::usEnglish());
        appState().displayDateFormat = DateFormat();
        appState().programFolder = programFolder;
        today.setToday(date(2023, 3, 15)); // a Wednesday
        setClock(&today);
        setPreference("FirstDate", date(2023, 3, 5)); // a Sunday: weeks end on Saturdays
        setPreference("TimeFormat", "hh:nn");
    }
    void TearDown() override
    {
        window.reset();
        setClock(nullptr);
        resetGlobalSettings();
        PeopleTest::TearDown();
    }

    void setPreference(const std::string& key, const std::string& value)
    {
        TPreferenceListClass cache(*dm);
        cache.LoadAll();
        const std::string& me = appState().lockIdentity;
        ASSERT_TRUE(cache.LockAll(me)) << messages.last();
        cache.SetValue(key, value);
        ASSERT_TRUE(cache.SaveAll(me)) << messages.last();
        ASSERT_TRUE(cache.UnlockAll(me)) << messages.last();
    }
    void setPreference(const std::string& key, double day)
    {
        setPreference(key, std::to_string(static_cast<long long>(day)));
    }

    // Builds, shows and activates the window; the activation refresh runs.
    TfrmMain& open(MainWindowHooks hooks = {})
    {
        window = std::make_unique<TfrmMain>(*dm, appState(), commands, fileDialogs, std::move(hooks));
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        if (cboWeekEnd()->count() == 0)
            window->FormActivate(); // the platform did not deliver the activation
        return *window;
    }

    template <class W = QWidget> W* control(const char* name) const
    {
        W* found = window->findChild<W*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    TQVTimeEdit* box(const char* name) const { return control<TQVTimeEdit>(name); }
    TQVNumberEdit* number(const char* name) const { return control<TQVNumberEdit>(name); }
    TQVComboBox* cboEmployee() const { return control<TQVComboBox>("cboEmployee"); }
    TQVComboBox* cboWeekEnd() const { return control<TQVComboBox>("cboWeekEnd"); }
    QPushButton* button(const char* name) const { return control<QPushButton>(name); }

    // As the user does it: choose the item, which the drop-down reports.
    static void choose(TQVComboBox* combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void chooseEmployee(const std::string& name)
    {
        const int index = cboEmployee()->findText(QString::fromStdString(name));
        ASSERT_GE(index, 0) << name;
        choose(cboEmployee(), index);
    }
    void chooseWeekEnd(double weekEnd)
    {
        const int index = cboWeekEnd()->findText(QString::fromStdString(FormatDateTime(DateFormat(), weekEnd)));
        ASSERT_GE(index, 0);
        choose(cboWeekEnd(), index);
    }

    // Focus into a box and type there, as the keyboard does.
    void typeInto(QWidget* target, const char* keys)
    {
        target->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(target, keys);
    }
    QString focused() const
    {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }

    std::int32_t addPlainReason(const std::string& name, const std::string& code)
    {
        return addReasonRow(*dm, {.name = name, .code = code});
    }

    // The windows the program registers that these tests open.
    static CommandRegistry programCommands()
    {
        CommandRegistry registry;
        RegisterTimeOffWindows(registry);
        return registry;
    }

    FixedClock today;
    ScriptedPasswordDialogs passwords;
    CommandRegistry commands = programCommands();
    ScriptedFileDialogs fileDialogs;
    std::unique_ptr<TfrmMain> window;
};

} // namespace hv::test
