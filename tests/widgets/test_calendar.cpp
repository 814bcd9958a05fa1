// The month calendar and the date picker: month stepping, the day grid with
// its grey neighbours, clicks on grey days and on the selected day, the year
// limits and the picker's opening date.
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "platform/Format.h"
#include "widgets/PickDate.h"
#include "widgets/TQVCalendar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace hv {
namespace {

double date(int y, int m, int d) { return EncodeDate(y, m, d); }

class CalendarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        today.setToday(date(2024, 5, 20));
        setClock(&today);
    }
    void TearDown() override { setClock(nullptr); }

    // Runs the picker on the text; act gets the dialog while it is shown.
    bool pick(std::string& text, const std::function<void(TfrmPickDate&)>& act)
    {
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TfrmPickDate*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            act(*dialog);
        });
        return PickDate(text, "m/d/yyyy");
    }
    static QPoint cellCentre(TQVCalendar& c, int column, int row)
    {
        return c.visualRect(c.model()->index(row, column)).center();
    }

    FixedClock today;
};

TEST_F(CalendarTest, NextMonthFromThe31stOfJanuaryGivesTheLastDayOfFebruary)
{
    for (const auto& [year, expected] : {std::pair{2024, date(2024, 2, 29)}, std::pair{2023, date(2023, 2, 28)}}) {
        TfrmPickDate dialog(FormatDateTime("m/d/yyyy", date(year, 1, 31)));
        QTest::mouseClick(dialog.findChild<QToolButton*>("NextMonthBtn"), Qt::LeftButton);
        EXPECT_EQ(dialog.date(), expected) << year;
        EXPECT_EQ(dialog.findChild<QComboBox*>("cboMonth")->currentText(), "February");
        EXPECT_EQ(dialog.findChild<QLineEdit*>("txtYear")->text(), QString::number(year));
    }
}

TEST_F(CalendarTest, MonthStartingOnSaturdayShowsTheFirstInTheLastColumnAfterGreyDays)
{
    TQVCalendar c;
    c.SetCalendarDate(date(2023, 7, 10)); // 1 July 2023 is a Saturday
    EXPECT_EQ(c.CellText(6, 1), "1");
    EXPECT_EQ(c.CellMonth(6, 1), 0);
    // Before it, 25..30 June in grey.
    for (int column = 0; column < 6; ++column) {
        EXPECT_EQ(c.CellText(column, 1), std::to_string(25 + column));
        EXPECT_EQ(c.CellMonth(column, 1), -1);
    }
    EXPECT_EQ(c.CellText(0, 0), "Sun");
    EXPECT_EQ(c.CellText(6, 0), "Sat");
    EXPECT_EQ(c.currentRow(), 3); // the 10th: Monday of the third row
    EXPECT_EQ(c.currentColumn(), 1);
}

TEST_F(CalendarTest, GreyDaysAfterTheMonthCountFromOneAndSelectThatDayOfTheNextMonth)
{
    TQVCalendar c;
    c.resize(280, 200);
    c.SetCalendarDate(date(2024, 1, 3)); // 1 January 2024 is a Monday: 31 days end on Wednesday, row 5
    EXPECT_EQ(c.CellText(4, 5), "1");
    EXPECT_EQ(c.CellMonth(4, 5), 1);
    EXPECT_EQ(c.CellText(6, 6), "10");
    QTest::mouseClick(c.viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(c, 4, 5));
    EXPECT_EQ(c.CalendarDate(), date(2024, 2, 1));
    EXPECT_FALSE(c.UseCurrentDate());

    // A grey day with the selected day's number goes to that month only.
    c.SetCalendarDate(date(2024, 1, 3));
    const int column = 6, row = 5; // 3 February
    ASSERT_EQ(c.CellText(column, row), "3");
    c.ClickCell(column, row);
    EXPECT_EQ(c.CalendarDate(), date(2024, 2, 3));
    // A grey day of the previous month likewise.
    c.ClickCell(0, 1); // 28 January
    EXPECT_EQ(c.CalendarDate(), date(2024, 1, 28));
}

TEST_F(CalendarTest, DayElementKeepsTheSelectedDayAndCutsToTheMonthsLength)
{
    TQVCalendar c;
    c.SetCalendarDate(date(2023, 2, 14));
    c.SetElement(TQVCalendar::Element::Day, 14);
    EXPECT_EQ(c.CalendarDate(), date(2023, 2, 14));
    c.SetElement(TQVCalendar::Element::Day, 31);
    EXPECT_EQ(c.CalendarDate(), date(2023, 2, 28));
    c.SetElement(TQVCalendar::Element::Month, 13); // ignored
    c.SetElement(TQVCalendar::Element::Day, 0);    // ignored
    EXPECT_EQ(c.CalendarDate(), date(2023, 2, 28));
    c.SetElement(TQVCalendar::Element::Year, 2024);
    EXPECT_EQ(c.CalendarDate(), date(2024, 2, 28));
}

TEST_F(CalendarTest, DoubleClickOnTheSelectedDayReturnsThatDay)
{
    std::string text = "1/10/2024";
    const bool chosen = pick(text, [](TfrmPickDate& dialog) {
        TQVCalendar& c = dialog.calendar();
        const QPoint at = cellCentre(c, c.currentColumn(), c.currentRow());
        QTest::mouseClick(c.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(c.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    });
    EXPECT_TRUE(chosen);
    EXPECT_EQ(text, "1/10/2024");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(CalendarTest, EmptyOrUnreadableTextOpensOnTodayAndCancelKeepsTheText)
{
    for (std::string text : {std::string(), std::string("13/45/2024")}) {
        const std::string before = text;
        double shown = 0;
        EXPECT_FALSE(pick(text, [&](TfrmPickDate& dialog) {
            shown = dialog.date();
            QTest::mouseClick(dialog.findChild<QPushButton*>("btnCancel"), Qt::LeftButton);
        }));
        EXPECT_EQ(shown, date(2024, 5, 20));
        EXPECT_EQ(text, before);
    }
}

TEST_F(CalendarTest, YearStepsStopAt1900And2100)
{
    TfrmPickDate dialog("6/1/2100");
    auto* upDown = dialog.findChild<QSpinBox*>("UpDown");
    upDown->stepUp();
    EXPECT_EQ(dialog.date(), date(2100, 6, 1));
    upDown->stepDown();
    EXPECT_EQ(dialog.date(), date(2099, 6, 1));
    dialog.calendar().SetCalendarDate(date(1900, 3, 1));
    upDown->stepDown();
    EXPECT_EQ(dialog.date(), date(1900, 3, 1));
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("txtYear")->isReadOnly());
}

} // namespace
} // namespace hv
