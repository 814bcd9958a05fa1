#pragma once
// The people windows on a fresh database acting as ALICE (BOB is the other
// copy), shown and active on the offscreen platform, with scripted manager
// access and date picker. Today is Monday 20 May 2024; dates show as m/d/yyyy.
#include "people/TEmp.h"
#include "people/TEmpWage.h"
#include "people/windows/Depts.h"
#include "people/windows/Emp.h"
#include "people/windows/OvertimePolicy.h"
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "platform/RegionalSettings.h"
#include "storage/HVGlobal.h"
#include "tests/people/PeopleFixture.h"
#include "tests/support/ScriptedDatePicker.h"
#include "tests/support/ScriptedPasswordDialogs.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVDateEdit.h"
#include "widgets/TQVGrid.h"
#include "widgets/TQVNumberEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <string>
#include <vector>

namespace hv::test {

class PeopleWindowTest : public PeopleTest {
protected:
    void SetUp() override
    {
        PeopleTest::SetUp();
        setRegional(RegionalSettings::usEnglish());
        resetGlobalSettings();
        appState().displayDateFormat = DateFormat();
        today.setToday(date(2024, 5, 20));
        setClock(&today);
    }
    void TearDown() override
    {
        window.reset();
        setClock(nullptr);
        resetGlobalSettings();
        PeopleTest::TearDown();
    }

    template <class W>
    W& show(std::unique_ptr<W>& w)
    {
        window.reset(w.release());
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return static_cast<W&>(*window);
    }
    TfrmEmp& openEmployees()
    {
        auto w = std::make_unique<TfrmEmp>(*dm, appState(), picker, "Hourvane3.ini");
        return show(w);
    }
    TfrmDepts& openDepartments()
    {
        auto w = std::make_unique<TfrmDepts>(*dm, appState());
        return show(w);
    }
    TfrmOvertimePolicy& openPolicies(std::int32_t viewPolicy = -1)
    {
        auto w = std::make_unique<TfrmOvertimePolicy>(*dm, appState());
        w->setViewPolicy(viewPolicy);
        return show(w);
    }

    template <class T = QWidget>
    T* child(const char* name)
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    TQVComboBox* combo(const char* name) { return child<TQVComboBox>(name); }
    QString text(const char* name) { return child<QLineEdit>(name)->text(); }
    bool enabled(const char* name) { return child(name)->isEnabled(); }

    // Chooses an entry as the user does: the drop-down reports the choice.
    void choose(const char* name, const std::string& entry)
    {
        TQVComboBox* box = combo(name);
        const int index = box->indexOfText(entry);
        ASSERT_GE(index, 0) << entry;
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // Types into a field (replacing its text) and leaves it.
    void type(const char* name, const char* keys)
    {
        auto* field = child<QLineEdit>(name);
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        if (*keys == '\0')
            QTest::keyClick(field, Qt::Key_Delete);
        else
            QTest::keyClicks(field, keys);
        QTest::keyClick(field, Qt::Key_Tab);
    }
    void click(const char* name)
    {
        auto* button = child<QAbstractButton>(name);
        // A check box or radio button reacts on its mark and caption only.
        const bool marked = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier,
                          marked ? QPoint(6, button->height() / 2) : button->rect().center());
    }
    void doubleClickRow(const char* grid, int row)
    {
        auto* g = child<TQVGrid>(grid);
        const QRect cell = g->visualRect(g->model()->index(row, 0));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }
    // The grid's shown columns, row by row, "|"-joined.
    std::vector<std::string> rows(const char* grid, int columns)
    {
        auto* g = child<TQVGrid>(grid);
        std::vector<std::string> out;
        for (int r = 0; r < g->rowCount(); ++r) {
            std::string line;
            for (int c = 0; c < columns; ++c)
                line += (c ? "|" : "") + g->cell(r, c);
            out.push_back(line);
        }
        return out;
    }

    std::int32_t addWage(std::int32_t emp, double start, double end, float amount)
    {
        TEmpWageRecClass wage(*dm);
        wage.SetEmpID(emp);
        wage.SetStartDate(start);
        wage.SetEndDate(end);
        wage.SetWage(amount);
        EXPECT_TRUE(wage.Save("ALICE")) << messages.last();
        return emp;
    }

    static std::string lockMessage(const std::string& record, const std::string& holder)
    {
        return "The " + record + " record is already locked by " + holder +
               ".  You may view the information but may not save any changes.\r\rPlease try your update again later.";
    }

    FixedClock today;
    ScriptedPasswordDialogs passwords;
    ScriptedDatePicker picker;
    std::unique_ptr<QDialog> window;
};

} // namespace hv::test
