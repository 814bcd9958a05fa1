#pragma once
// The Employee Time Off window on a fresh database acting as ALICE, shown and
// active on the offscreen platform, with a manager access window that answers
// from a script. Today is Tuesday 15 June 2010; the current week ends on
// Saturday 19 June 2010.
#include "engine/Table.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "storage/HVGlobal.h"
#include "tests/people/PeopleFixture.h"
#include "tests/support/ScriptedPasswordDialogs.h"
#include "timeoff/windows/TimeOff.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVNumberEdit.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace hv::test {

class TimeOffWindowTest : public PeopleTest {
protected:
    void SetUp() override
    {
        PeopleTest::SetUp();
        setRegional(RegionalSettings::usEnglish());
        resetGlobalSettings();
        appState().displayDateFormat = DateFormat();
        today.setToday(date(2010, 6, 15));
        setClock(&today);
    }
    void TearDown() override
    {
        window.reset();
        setClock(nullptr);
        resetGlobalSettings();
        PeopleTest::TearDown();
    }

    std::int32_t addReason(const std::string& name, const std::string& code, bool active = true)
    {
        return addReasonRow(*dm, {.name = name, .code = code, .active = active});
    }
    void addTimeOff(std::int64_t emp, std::int32_t reason, double day, float hours, const std::string& lockedBy = {})
    {
        engine::Table& t = dm->tblTimeOff;
        t.append();
        t.fieldByName("EmpID").setAsInteger(emp);
        t.fieldByName("WeekDate").setAsDateTime(day);
        t.fieldByName("ReasonID").setAsInteger(reason);
        t.fieldByName("Hours").setAsFloat(hours);
        if (!lockedBy.empty())
            t.fieldByName("LockedBy").setAsString(lockedBy);
        t.post();
    }
    std::string where(std::int64_t emp, std::int32_t reason, double day)
    {
        return "EmpID = " + std::to_string(emp) + " and ReasonID = " + std::to_string(reason) + " and WeekDate = '" +
               FormatDateTime("yyyy-mm-dd", day) + "'";
    }
    // Hours of the stored row as the other copy reads them; -1 when there is none.
    float storedHours(std::int64_t emp, std::int32_t reason, double day)
    {
        const std::string v = read("select Hours from TimeOff where " + where(emp, reason, day));
        return v == "<no row>" ? -1.0f : std::stof(v);
    }
    std::string lockedBy(std::int64_t emp, std::int32_t reason, double day)
    {
        return read("select LockedBy from TimeOff where " + where(emp, reason, day));
    }

    // Opens as the main window's command does, on the employee's key.
    TfrmTimeOff& open(std::int64_t empID, double weekEnd)
    {
        window = std::make_unique<TfrmTimeOff>(*dm, appState(), std::int32_t(empID), weekEnd, "Hourvane3.ini");
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }
    // The employee named as the lists show it ("Last, First"); none for "".
    TfrmTimeOff& open(const std::string& employee, double weekEnd)
    {
        const std::string id =
            read("select EmpID from Employee where LastName || ', ' || FirstName = '" + employee + "'");
        return open(id == "<no row>" ? 0 : std::stoll(id), weekEnd);
    }

    template <class T = QWidget>
    T* child(const char* name)
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    TQVComboBox* combo(const char* name) { return child<TQVComboBox>(name); }

    static std::vector<std::string> items(const TQVComboBox* box)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < box->count(); ++i)
            texts.push_back(box->text(i));
        return texts;
    }
    // Chooses an entry the way the keyboard does, so the window hears a choice.
    void choose(const char* name, const std::string& text)
    {
        TQVComboBox* box = combo(name);
        const int target = box->indexOfText(text);
        ASSERT_GE(target, 0) << text;
        box->setFocus(Qt::TabFocusReason);
        if (box->currentIndex() == target && target == 0 && box->count() > 1)
            QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < target; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        ASSERT_EQ(box->currentIndex(), target);
    }
    // Types the hours and leaves the box.
    void typeHours(const char* hours)
    {
        auto* box = child<TQVNumberEdit>("txtHours");
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClicks(box, hours);
        QTest::keyClick(box, Qt::Key_Tab);
    }
    void click(const char* button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }
    bool enabled(const char* name) { return child(name)->isEnabled(); }
    void doubleClickRow(int row)
    {
        auto* grid = child<QTableWidget>("grdTimeOff");
        const QRect cell = grid->visualRect(grid->model()->index(row, 0));
        // A real double-click starts with a click: the view opens only the row it was pressed on.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }
    // The grid's visible columns, row by row.
    std::vector<std::vector<std::string>> gridRows()
    {
        auto* grid = child<QTableWidget>("grdTimeOff");
        std::vector<std::vector<std::string>> rows;
        for (int r = 0; r < grid->rowCount(); ++r) {
            std::vector<std::string> row;
            for (int c = 0; c < 3; ++c)
                row.push_back(grid->item(r, c) ? grid->item(r, c)->text().toStdString() : std::string());
            rows.push_back(row);
        }
        return rows;
    }

    FixedClock today;
    ScriptedPasswordDialogs dialogs;
    std::unique_ptr<TfrmTimeOff> window;
    const double weekEnd = date(2010, 6, 19);
};

} // namespace hv::test
