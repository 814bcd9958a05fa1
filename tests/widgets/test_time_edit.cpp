#include "storage/HVGlobal.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/widgets/WidgetWindow.h"
#include "widgets/TQVTimeEdit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <string>
#include <vector>

namespace hv {
namespace {

class TimeEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        box = window.add<TQVTimeEdit>("msk1In0");
        box->SetSettings(&settings);
        ASSERT_TRUE(window.show());
        use24Hour();
        enter();
    }

    void use24Hour()
    {
        settings.timeFormat = "hh:nn";
        box->SetTimeType(TimeType::te24Hour);
        box->SetTimeFormat("hh:nn");
    }
    void use12Hour()
    {
        settings.timeFormat = "hh:nn A/P";
        box->SetTimeType(TimeType::te12Hour);
        box->SetTimeFormat("hh:nn A/P");
    }
    void enter() { box->setFocus(Qt::TabFocusReason); }
    void leave() { QTest::keyClick(box, Qt::Key_Tab); }
    void type(const char* keys) { QTest::keyClicks(box, keys); }

    test::ScriptedMessageService messages;
    GlobalSettings settings;
    test::WidgetWindow window;
    TQVTimeEdit* box = nullptr;
};

// --- The mask -------------------------------------------------------------------

TEST_F(TimeEditTest, ModesShowTheirBlankTextAndLength)
{
    EXPECT_EQ(box->Text(), "  :  ");
    EXPECT_EQ(box->maxLength(), 5);
    EXPECT_FALSE(box->isModified());

    use12Hour();
    EXPECT_EQ(box->Text(), "  :    ");
    EXPECT_EQ(box->maxLength(), 7);
    EXPECT_EQ(box->timeType(), TimeType::te12Hour);
}

TEST_F(TimeEditTest, ReapplyingTheModeInForceKeepsTheTypedText)
{
    type("083");
    box->SetTimeType(TimeType::te24Hour);
    EXPECT_EQ(box->Text(), "08:3 ");
    EXPECT_TRUE(box->isModified());
    box->SetTimeType(TimeType::te12Hour);
    EXPECT_EQ(box->Text(), "  :    ");
    EXPECT_FALSE(box->isModified());
}

TEST_F(TimeEditTest, FourDigitsCompleteA24HourEntry)
{
    QSignalSpy changed(box, &TQVTimeEdit::boxChanged);
    type("0800");
    EXPECT_EQ(box->Text(), "08:00");
    EXPECT_EQ(box->cursorPosition(), 5);
    EXPECT_TRUE(box->isModified());
    EXPECT_EQ(changed.count(), 4);
}

TEST_F(TimeEditTest, OnlyDigitsGoIntoDigitPositions)
{
    type("0a8:x0 0");
    EXPECT_EQ(box->Text(), "08:00");
    type("9");
    EXPECT_EQ(box->Text(), "08:00"); // past the last position
}

TEST_F(TimeEditTest, TwelveHourEntryTakesTheLetterInUpperCase)
{
    use12Hour();
    enter();
    type("0830");
    EXPECT_EQ(box->Text(), "08:30  ");
    type("7"); // a digit does not go into the letter position
    EXPECT_EQ(box->Text(), "08:30  ");
    type("p");
    EXPECT_EQ(box->Text(), "08:30 P");
}

TEST_F(TimeEditTest, SetTextPlacesCharactersAndKeepsTheLiterals)
{
    QSignalSpy changed(box, &TQVTimeEdit::boxChanged);
    box->SetText("12:45");
    EXPECT_EQ(box->Text(), "12:45");
    box->SetText("0830");
    EXPECT_EQ(box->Text(), "08:0 "); // position by position; ':' stays
    box->setText("7");
    EXPECT_EQ(box->Text(), "7 :  ");
    EXPECT_FALSE(box->isModified());
    // Through the base class the mask still holds.
    static_cast<QLineEdit*>(box)->setText("9x");
    EXPECT_EQ(box->Text(), "9 :  ");
    EXPECT_EQ(changed.count(), 0);

    use12Hour();
    box->SetText("08:30 p");
    EXPECT_EQ(box->Text(), "08:30 P");
    box->SetText("  :   "); // the 12-hour blank display
    EXPECT_EQ(box->Text(), "  :    ");
    EXPECT_FALSE(box->isModified());
}

TEST_F(TimeEditTest, BackspaceAndDeleteBlankPositions)
{
    type("0800");
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->Text(), "08:0 ");
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace); // skips the colon
    EXPECT_EQ(box->Text(), "0 :  ");
    EXPECT_EQ(box->cursorPosition(), 1);

    box->SetText("08:00");
    box->setCursorPosition(2);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->Text(), "08: 0");
    EXPECT_EQ(box->cursorPosition(), 2);
    EXPECT_TRUE(box->isModified());
}

TEST_F(TimeEditTest, ASelectionIsBlankedAsAWholeAndTypedFromItsStart)
{
    box->SetText("08:00");
    box->setSelection(1, 3);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->Text(), "0 : 0");
    EXPECT_EQ(box->cursorPosition(), 1);

    box->SetText("08:00");
    box->selectAll();
    type("1");
    EXPECT_EQ(box->Text(), "1 :  ");
    type("7");
    EXPECT_EQ(box->Text(), "17:  ");
}

TEST_F(TimeEditTest, PasteTakesOnlyTextThatFitsTheMask)
{
    QApplication::clipboard()->setText("12:45");
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), "12:45");

    box->SetText("  :  ");
    box->setCursorPosition(0);
    QApplication::clipboard()->setText("0930");
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), "09:30");

    box->setCursorPosition(0);
    QApplication::clipboard()->setText("8:3x");
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), "09:30");
    QApplication::clipboard()->setText("123456");
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), "09:30");
}

// --- The A/P keys ---------------------------------------------------------------

TEST_F(TimeEditTest, ConfiguredPmKeyWithItsModifierCompletesTheEntry)
{
    use12Hour();
    settings.pmKey = 80; // Ctrl+P
    settings.pmModifier = KeyModifier::Ctrl;
    enter();
    type("0830");
    QTest::keyClick(box, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(box->Text(), "08:30 P");
    EXPECT_EQ(box->pendingLetter(), 0);
}

TEST_F(TimeEditTest, KeypadKeyTurnsItsOwnCharacterIntoTheLetter)
{
    use12Hour();
    settings.pmKey = 107; // keypad "+"
    settings.pmModifier = KeyModifier::None;
    settings.amKey = 109; // keypad "-"
    enter();
    type("0830");
    QTest::keyClick(box, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(box->Text(), "08:30 P");

    box->SetText("11:15");
    box->setCursorPosition(5);
    QTest::keyClick(box, Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_EQ(box->Text(), "11:15 A");
}

TEST_F(TimeEditTest, KeyWithoutACharacterMakesTheNextOneTheLetter)
{
    use12Hour();
    settings.amKey = 113; // F2
    enter();
    type("0830");
    QTest::keyClick(box, Qt::Key_F2);
    EXPECT_EQ(box->pendingLetter(), 'A');
    EXPECT_EQ(box->Text(), "08:30  ");
    type("5");
    EXPECT_EQ(box->Text(), "08:30 A");
    EXPECT_EQ(box->pendingLetter(), 0);
}

TEST_F(TimeEditTest, ApKeysMatchOnlyWhenJustTheLetterIsMissing)
{
    use12Hour();
    settings.pmKey = 80;
    settings.pmModifier = KeyModifier::Ctrl;
    enter();
    type("08");
    QTest::keyClick(box, Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(box->pendingLetter(), 0);
    EXPECT_EQ(box->Text(), "08:    ");

    type("30");
    QTest::keyClick(box, Qt::Key_P, Qt::ShiftModifier); // wrong modifier: a plain "P"
    EXPECT_EQ(box->Text(), "08:30 P");
    EXPECT_EQ(box->pendingLetter(), 0);
}

TEST_F(TimeEditTest, AmKeyZeroMatchesNothing)
{
    use12Hour();
    settings.amKey = 0;
    settings.amModifier = KeyModifier::None;
    enter();
    type("0830");
    QTest::keyClick(box, Qt::Key_Minus); // a key without a virtual key code
    EXPECT_EQ(box->pendingLetter(), 0);
    EXPECT_EQ(box->Text(), "08:30  ");
}

TEST_F(TimeEditTest, ApKeysNeedTheFormatWithAP)
{
    use12Hour();
    settings.timeFormat = "hh:nn AM/PM";
    settings.pmKey = 107;
    enter();
    type("0830");
    QTest::keyClick(box, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(box->pendingLetter(), 0);
    EXPECT_EQ(box->Text(), "08:30  ");
}

TEST_F(TimeEditTest, ThePendingLetterIsForgottenOnReEntering)
{
    use12Hour();
    settings.amKey = 113;
    box->SetText("08:30");
    enter();
    QSignalSpy entered(box, &TQVTimeEdit::enterBox);
    QTest::keyClick(box, Qt::Key_F2);
    ASSERT_EQ(box->pendingLetter(), 'A');
    leave();
    EXPECT_TRUE(messages.shown().empty()); // not typed in: not checked
    enter();
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(box->pendingLetter(), 0);
    box->setCursorPosition(6);
    type("5");
    EXPECT_EQ(box->Text(), "08:30  ");
}

// --- The check on leaving -------------------------------------------------------

TEST_F(TimeEditTest, LeavingACompleteEntryIsValid)
{
    QSignalSpy exited(box, &TQVTimeEdit::exitBox);
    type("0800");
    leave();
    EXPECT_TRUE(box->valid());
    EXPECT_TRUE(window.next()->hasFocus());
    EXPECT_TRUE(messages.shown().empty());
    ASSERT_EQ(exited.count(), 1);
    EXPECT_TRUE(exited.at(0).at(0).toBool());
}

TEST_F(TimeEditTest, LeavingAPartialEntryShowsTheMaskMessageAndKeepsFocus)
{
    QSignalSpy exited(box, &TQVTimeEdit::exitBox);
    type("083");
    leave();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.last(), "Your entry \"08:3\" was not in a valid time format.\r\r"
                               "Please try again using an HH:MM format.");
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Information);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_FALSE(box->valid());
    EXPECT_EQ(box->cursorPosition(), 4);
    ASSERT_EQ(exited.count(), 1);
    EXPECT_FALSE(exited.at(0).at(0).toBool());

    // Completed, it passes on the next leaving.
    box->setCursorPosition(4);
    type("0");
    leave();
    EXPECT_TRUE(box->valid());
    EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(TimeEditTest, TwelveHourEntryWithoutTheLetterIsRefused)
{
    use12Hour();
    enter();
    type("0830");
    leave();
    EXPECT_EQ(messages.last(), "Your entry \"08:30\" was not in a valid time format.\r\r"
                               "Please try again using an HH:MM A/P format.");
    EXPECT_EQ(box->cursorPosition(), 6);
    EXPECT_FALSE(box->valid());
}

TEST_F(TimeEditTest, ClearedBoxMarkedUnchangedLeavesWithoutAMessage)
{
    // The owner marks a blank box unchanged as its text changes.
    QObject::connect(box, &TQVTimeEdit::boxChanged, [this] {
        if (box->Text() == "  :  ")
            box->MarkUnchanged();
    });
    box->SetText("08:00");
    enter();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->Text(), "  :  ");
    leave();
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(box->valid());
}

TEST_F(TimeEditTest, ClearedBoxStillMarkedChangedIsAnIncompleteEntry)
{
    box->SetText("08:00");
    enter();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    leave();
    EXPECT_EQ(messages.last(), "Your entry \":\" was not in a valid time format.\r\r"
                               "Please try again using an HH:MM format.");
    EXPECT_EQ(box->cursorPosition(), 1); // the first required position
}

TEST_F(TimeEditTest, PartialTextSetByTheOwnerIsNotChecked)
{
    box->SetText("08:3");
    enter();
    leave();
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_TRUE(box->valid());
}

TEST_F(TimeEditTest, SwitchingToAnotherWindowIsNotLeaving)
{
    QSignalSpy exited(box, &TQVTimeEdit::exitBox);
    type("08");
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(box, &out);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(exited.count(), 0);
}

// A message box takes focus while it is open; the box must not check again.
class FocusTakingMessages : public test::ScriptedMessageService {
public:
    explicit FocusTakingMessages(QWidget* taker) : m_taker(taker) {}
    MsgResult show(const std::string& text, MsgKind kind, MsgButtons buttons,
                   int helpContext) override
    {
        m_taker->setFocus(Qt::TabFocusReason);
        return ScriptedMessageService::show(text, kind, buttons, helpContext);
    }

private:
    QWidget* m_taker;
};

TEST_F(TimeEditTest, FocusMovingWhileTheMessageIsOpenShowsItOnce)
{
    FocusTakingMessages focusTaking(window.next());
    QSignalSpy exited(box, &TQVTimeEdit::exitBox);
    QSignalSpy entered(box, &TQVTimeEdit::enterBox);
    type("08");
    leave();
    EXPECT_EQ(focusTaking.shown().size(), 1u);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(exited.count(), 1);
    EXPECT_EQ(entered.count(), 0); // focus given back is not entering anew
    EXPECT_FALSE(box->valid());
}

// --- Events for the owner -------------------------------------------------------

TEST_F(TimeEditTest, KeyUpCarriesTheVirtualKeyCode)
{
    QSignalSpy up(box, &TQVTimeEdit::keyUp);
    QTest::keyClick(box, Qt::Key_0);
    QTest::keyClick(box, Qt::Key_9);
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(box, Qt::Key_Up);
    QTest::keyClick(box, Qt::Key_7, Qt::KeypadModifier);
    QTest::keyClick(box, Qt::Key_F1);
    std::vector<int> codes;
    for (const auto& args : up)
        codes.push_back(args.at(0).toInt());
    EXPECT_EQ(codes, (std::vector<int>{48, 57, 40, 38, 103, 112}));
}

TEST(VirtualKeyOf, MapsKeysToTheCodesTheSettingsStore)
{
    auto code = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return VirtualKeyOf(QKeyEvent(QEvent::KeyPress, key, modifiers));
    };
    EXPECT_EQ(code(Qt::Key_A), 65);
    EXPECT_EQ(code(Qt::Key_Z, Qt::ShiftModifier), 90);
    EXPECT_EQ(code(Qt::Key_5), 53);
    EXPECT_EQ(code(Qt::Key_0, Qt::KeypadModifier), 96);
    EXPECT_EQ(code(Qt::Key_Plus, Qt::KeypadModifier), 107);
    EXPECT_EQ(code(Qt::Key_Minus, Qt::KeypadModifier), 109);
    EXPECT_EQ(code(Qt::Key_F12), 123);
    EXPECT_EQ(code(Qt::Key_Plus), 0);
    EXPECT_EQ(code(Qt::Key_Exclam), 0);
}

TEST(HeldModifierOf, NamesTheOneModifierHeld)
{
    auto held = [](Qt::KeyboardModifiers modifiers) {
        return HeldModifierOf(QKeyEvent(QEvent::KeyPress, Qt::Key_P, modifiers));
    };
    EXPECT_EQ(held(Qt::NoModifier), KeyModifier::None);
    EXPECT_EQ(held(Qt::ControlModifier), KeyModifier::Ctrl);
    EXPECT_EQ(held(Qt::AltModifier), KeyModifier::Alt);
    EXPECT_EQ(held(Qt::ShiftModifier), KeyModifier::Shift);
    EXPECT_EQ(held(Qt::ShiftModifier | Qt::KeypadModifier), KeyModifier::Shift);
    EXPECT_EQ(held(Qt::ControlModifier | Qt::ShiftModifier), KeyModifier::None);
    EXPECT_EQ(held(Qt::KeypadModifier), KeyModifier::None);
}

TEST_F(TimeEditTest, ClickIsReportedAndTypingChangesButSettingDoesNot)
{
    QSignalSpy clicked(box, &TQVTimeEdit::boxClicked);
    QSignalSpy changed(box, &TQVTimeEdit::boxChanged);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    box->SetText("10:00");
    EXPECT_EQ(changed.count(), 0);
    box->setCursorPosition(0);
    type("1"); // the same character: nothing changed
    EXPECT_EQ(changed.count(), 0);
    type("2");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(box->Text(), "12:00");
}

TEST_F(TimeEditTest, ReadOnlyBoxTakesNoTyping)
{
    box->SetText("08:00");
    box->setReadOnly(true);
    box->setCursorPosition(0);
    type("1");
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(box->Text(), "08:00");
    EXPECT_FALSE(box->isModified());
}

} // namespace
} // namespace hv
