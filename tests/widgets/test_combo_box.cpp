#include "ports/PickList.h"
#include "tests/widgets/WidgetWindow.h"
#include "widgets/TQVComboBox.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QSignalSpy>
#include <QTest>

namespace hv {
namespace {

class ComboBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        combo = window.add<TQVComboBox>("cboEmployee");
        PickList& list = *combo;
        list.add("Adams, Ann", 17);
        list.add("Baker, Bob", 4);
        list.add("Cole, Cy", 230);
        ASSERT_TRUE(window.show());
        combo->setFocus(Qt::TabFocusReason);
    }

    test::WidgetWindow window;
    TQVComboBox* combo = nullptr;
};

TEST_F(ComboBoxTest, ItemsCarryTheirIdByPosition)
{
    const PickList& list = *combo;
    EXPECT_EQ(list.kind(), PickListKind::DropDown);
    EXPECT_FALSE(list.carriesObjects());
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(list.text(1), "Baker, Bob");
    EXPECT_EQ(list.id(0), 17);
    EXPECT_EQ(combo->ItemID(2), 230);
    EXPECT_EQ(list.object(0), nullptr);
    EXPECT_EQ(list.text(3), "");
    EXPECT_EQ(list.id(-1), 0);
    EXPECT_EQ(list.indexOfId(230), 2);
    EXPECT_FALSE(combo->isEditable());

    combo->SetItemID(1, 99);
    EXPECT_EQ(combo->ItemID(1), 99);
    combo->SetItemID(7, 5); // out of range: nothing changes
    EXPECT_EQ(combo->count(), 3);
}

TEST_F(ComboBoxTest, SelectingByIdOrTextDoesNotCountAsAClick)
{
    QSignalSpy clicked(combo, &TQVComboBox::itemClicked);
    EXPECT_EQ(combo->SelectID(230), 2);
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(combo->SelectedID(), 230);
    EXPECT_EQ(combo->SelectText("Adams, Ann"), 0);
    EXPECT_EQ(combo->SelectedID(), 17);
    EXPECT_EQ(combo->SelectID(12345), -1);
    EXPECT_EQ(combo->SelectedID(), 0);
    EXPECT_EQ(combo->SelectText("Nobody"), -1);
    EXPECT_EQ(clicked.count(), 0);
}

TEST_F(ComboBoxTest, ClearEmptiesTheList)
{
    combo->SelectID(4);
    PickList& list = *combo;
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(combo->SelectedID(), 0);
    list.add("Dale, Di", 8);
    EXPECT_EQ(combo->ItemID(0), 8);
}

TEST_F(ComboBoxTest, UserChoiceIsAClick)
{
    combo->SelectID(17);
    QSignalSpy clicked(combo, &TQVComboBox::itemClicked);
    QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 1);
    EXPECT_EQ(combo->SelectedID(), 4);
}

TEST_F(ComboBoxTest, DropDownComesBeforeTheListOpens)
{
    bool openAtSignal = true;
    QObject::connect(combo, &TQVComboBox::dropDown, [&] {
        openAtSignal = combo->view()->isVisible();
        // The owner refills the list here; the opened list shows the new items.
        combo->clear();
        combo->add("Evans, Eve", 31);
    });
    QSignalSpy dropped(combo, &TQVComboBox::dropDown);
    combo->showPopup();
    EXPECT_EQ(dropped.count(), 1);
    EXPECT_FALSE(openAtSignal);
    EXPECT_TRUE(combo->view()->isVisible());
    EXPECT_EQ(combo->view()->model()->rowCount(), 1);
    combo->hidePopup();
}

} // namespace
} // namespace hv
