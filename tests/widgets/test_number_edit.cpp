#include "tests/support/ScriptedMessageService.h"
#include "tests/widgets/WidgetWindow.h"
#include "widgets/TQVNumberEdit.h"

#include <gtest/gtest.h>

#include <QPalette>
#include <QSignalSpy>
#include <QTest>

namespace hv {
namespace {

class NumberEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        box = window.add<TQVNumberEdit>("txtNonWork0");
        box->setMaximum(24);
        box->setBlankForZero(true);
        ASSERT_TRUE(window.show());
        enter();
    }
    void enter() { box->setFocus(Qt::TabFocusReason); }
    void leave() { QTest::keyClick(box, Qt::Key_Tab); }
    void type(const char* keys) { QTest::keyClicks(box, keys); }

    test::ScriptedMessageService messages;
    test::WidgetWindow window;
    TQVNumberEdit* box = nullptr;
};

TEST_F(NumberEditTest, ShowsTheValueThroughThePattern)
{
    box->setValue(8.5);
    EXPECT_EQ(box->text(), "8.50");
    box->setDisplayPattern("#0.0");
    EXPECT_EQ(box->text(), "8.5");
    EXPECT_EQ(box->displayPattern(), "#0.0");
    box->setValue(0);
    EXPECT_EQ(box->text(), "");
    box->setBlankForZero(false);
    EXPECT_EQ(box->text(), "0.0");
}

TEST_F(NumberEditTest, TypedTextBecomesTheValueOnLeaving)
{
    QSignalSpy exited(box, &TQVNumberEdit::exitBox);
    type("7.5");
    EXPECT_EQ(box->value(), 0); // taken on leaving, not while typing
    leave();
    EXPECT_DOUBLE_EQ(box->value(), 7.5);
    EXPECT_EQ(box->text(), "7.50");
    EXPECT_EQ(exited.count(), 1);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(NumberEditTest, ReapplyingThePatternKeepsATypedNumber)
{
    type("4.2");
    box->setDisplayPattern("#0.00");
    box->setBlankForZero(true);
    EXPECT_EQ(box->text(), "4.2");
    leave();
    EXPECT_DOUBLE_EQ(box->value(), 4.2);
}

TEST_F(NumberEditTest, AcceptsOnlyDigitsAndOneSeparatorWithTwoDecimals)
{
    type("1a2.3.45-6");
    EXPECT_EQ(box->text(), "12.34");
}

TEST_F(NumberEditTest, EmptyTextIsZero)
{
    box->setValue(5);
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    leave();
    EXPECT_EQ(box->value(), 0);
    EXPECT_EQ(box->text(), "");
}

TEST_F(NumberEditTest, ValueAboveTheMaximumIsRefused)
{
    QSignalSpy exited(box, &TQVNumberEdit::exitBox);
    box->setValue(3);
    enter();
    box->selectAll();
    type("25");
    leave();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.last(), "Please enter a number between 0 and 24.00.");
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Information);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->value(), 3);
    EXPECT_EQ(exited.count(), 0);

    type("24"); // the refused text is selected: typing replaces it
    leave();
    EXPECT_EQ(box->value(), 24);
    EXPECT_EQ(exited.count(), 1);
}

TEST_F(NumberEditTest, ShownValueIsNotReadBackWhenNothingWasTyped)
{
    box->setMaximum(0);
    box->setDisplayPattern("#,##0.00");
    box->setValue(1234.567);
    EXPECT_EQ(box->text(), "1,234.57");
    leave();
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_DOUBLE_EQ(box->value(), 1234.567);
}

TEST_F(NumberEditTest, ReadOnlyBoxIgnoresTyping)
{
    box->setReadOnly(true);
    box->setValue(3);
    type("9");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), "3.00");
    leave();
    EXPECT_EQ(box->value(), 3);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(NumberEditTest, GreyedBoxIsDisabledInTheWindowColour)
{
    const QColor normalBase = box->palette().color(QPalette::Base);
    box->setGreyed(true);
    EXPECT_TRUE(box->greyed());
    EXPECT_FALSE(box->isEnabled());
    EXPECT_EQ(box->palette().color(QPalette::Base), box->palette().color(QPalette::Window));
    EXPECT_EQ(box->palette().color(QPalette::Disabled, QPalette::Base),
              box->palette().color(QPalette::Window));
    box->setGreyed(true);
    box->setGreyed(false);
    EXPECT_FALSE(box->greyed());
    EXPECT_TRUE(box->isEnabled());
    EXPECT_EQ(box->palette().color(QPalette::Base), normalBase);
}

} // namespace
} // namespace hv
