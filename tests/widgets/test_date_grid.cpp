// The date box (display format, empty for no date, refusing text that names
// no date) and the grid (rows through GridView, sorting, header sections
// that set the column widths).
#include "platform/Clock.h"
#include "platform/DateUtil.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/widgets/WidgetWindow.h"
#include "widgets/TQVDateEdit.h"
#include "widgets/TQVGrid.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

namespace hv {
namespace {

class DateEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        today.setToday(EncodeDate(2024, 5, 20));
        setClock(&today);
        box = window.add<TQVDateEdit>("txtStartDate");
        ASSERT_TRUE(window.show());
    }
    void TearDown() override { setClock(nullptr); }
    void typeAndLeave(const char* keys)
    {
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClicks(box, keys);
        QTest::keyClick(box, Qt::Key_Tab);
    }

    FixedClock today;
    test::ScriptedMessageService messages;
    test::WidgetWindow window;
    TQVDateEdit* box = nullptr;
};

TEST_F(DateEditTest, TakesADateOrNothingAndRefusesTextThatNamesNoDate)
{
    QSignalSpy exited(box, &TQVDateEdit::exitBox);
    box->setDisplayFormat("mm/dd/yyyy");
    typeAndLeave("3/7/2024");
    EXPECT_EQ(box->date(), EncodeDate(2024, 3, 7));
    EXPECT_EQ(box->text(), "03/07/2024");
    box->setFocus(Qt::TabFocusReason);
    box->clear();
    QTest::keyClick(box, Qt::Key_Tab);
    EXPECT_EQ(box->date(), 0);
    EXPECT_EQ(exited.count(), 2);
    EXPECT_TRUE(messages.shown().empty());

    box->setDate(EncodeDate(2024, 1, 2));
    typeAndLeave("13/45/2024");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.last(), "Please enter a valid date, for example 05/20/2024.");
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Information);
    EXPECT_EQ(box->date(), EncodeDate(2024, 1, 2)); // nothing stored
    EXPECT_EQ(QApplication::focusWidget(), box);
    EXPECT_EQ(exited.count(), 2);
}

TEST(GridTest, FillsSortsAndSizesColumnsFromTheHeader)
{
    QWidget owner;
    auto* grid = new TQVGrid(&owner);
    grid->setColumnCount(4);
    grid->resize(300, 120);
    QHeaderView* header = grid->makeHeader("hdrWages", {"Amount", "Start", "End"}, 6);
    header->resize(300, 20);
    EXPECT_EQ(header->objectName(), "hdrWages");
    EXPECT_TRUE(grid->isColumnHidden(3));

    GridView& view = *grid;
    view.setCell(0, 0, "a");
    view.setCell(1, 0, "b");
    view.setCell(2, 0, "c");
    view.setCell(2, 3, "2");
    view.setCellAlert(1, 0, true);
    grid->sortRowsDescending([](int row) { return row == 1 ? 9.0 : 1.0; });
    EXPECT_EQ(view.cell(0, 0), "b");
    EXPECT_TRUE(grid->cellAlert(0, 0));
    EXPECT_EQ(view.cell(1, 0), "a"); // equal keys keep their order
    EXPECT_EQ(view.cell(2, 3), "2");

    // Dragging a section: first column 3 narrower, the others 1; the last
    // section takes the rest of the header, the last column the rest of the
    // grid less 6 pixels (fewer than 4 rows).
    header->resizeSection(0, 83);
    header->resizeSection(1, 61);
    EXPECT_EQ(view.columnWidth(0), 80);
    EXPECT_EQ(view.columnWidth(1), 60);
    EXPECT_EQ(header->sectionSize(2), 300 - 83 - 61);
    EXPECT_EQ(view.columnWidth(2), 300 - 80 - 60 - 6);
    view.setRowCount(4);
    grid->sizeLastColumn();
    EXPECT_EQ(view.columnWidth(2), 300 - 80 - 60 - 8 - grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
}

} // namespace
} // namespace hv
