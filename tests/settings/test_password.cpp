// The manager password: its cipher and rules, and the password window in its
// access and change modes, driven through its named controls.
#include "settings/windows/Password.h"
#include "settings/windows/PasswordWindowService.h"
#include "SettingsFixture.h"
#include "widgets/PasswordDialogs.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

namespace hv::test {
namespace {

const char* const kCurrentInvalid = "The current Manager Access password entered is invalid.  Please try again.";
const char* const kTooShort = "The new password must be between 4 and 15 letters long.";
const char* const kNotConfirmed = "Your new password was not re-entered correctly. Please try again.";
const char* const kUnchanged =
    "Your new password must be different than your old password. Please re-enter your new password.";

// --- the cipher and the rules ---

TEST(PasswordRules, StoredFormIsDeterministicCaseBlindAndFitsThePreferenceValue)
{
    const std::string form = EncipherPassword("LANTERNS");
    EXPECT_EQ(form.size(), 44u);
    EXPECT_LE(form.size(), 50u);
    EXPECT_EQ(EncipherPassword("LANTERNS"), form);
    EXPECT_EQ(EncipherPassword("lanterns"), form);
    EXPECT_NE(EncipherPassword("LANTERN"), form);
    EXPECT_EQ(form.find("LANTERNS"), std::string::npos);
    EXPECT_EQ(EffectiveStoredForm(""), form);
    EXPECT_EQ(EffectiveStoredForm("X"), "X");
}

TEST(PasswordRules, InputKeepsLettersAndDigitsUpperCasedUpTo15)
{
    std::string accepted;
    EXPECT_TRUE(AcceptPasswordInput("abc123Z", accepted));
    EXPECT_EQ(accepted, "ABC123Z");
    EXPECT_TRUE(AcceptPasswordInput("ABCDEFGHIJKLMNO", accepted));
    EXPECT_FALSE(AcceptPasswordInput("ABCDEFGHIJKLMNOP", accepted));
    EXPECT_FALSE(AcceptPasswordInput("AB-1", accepted));
    EXPECT_FALSE(AcceptPasswordInput("AB 1", accepted));
    // The sharp s upper-cases to two letters: it must not slip in as "SS".
    EXPECT_FALSE(AcceptPasswordInput("STRA\xC3\x9F" "E", accepted));
}

TEST(PasswordRules, ChangeChecksRunInOrderAndNameTheirMessages)
{
    const std::string stored = EncipherPassword("LANTERNS");
    // A wrong current password is reported before anything about the new one.
    EXPECT_EQ(CheckPasswordChange(stored, "WRONG", "AB", "CD"), PasswordChange::CurrentInvalid);
    EXPECT_EQ(CheckPasswordChange(stored, "LANTERNS", "ABC", "XYZ"), PasswordChange::TooShort);
    EXPECT_EQ(CheckPasswordChange(stored, "LANTERNS", "ABCD", "ABCE"), PasswordChange::NotConfirmed);
    EXPECT_EQ(CheckPasswordChange(stored, "LANTERNS", "LANTERNS", "LANTERNS"), PasswordChange::Unchanged);
    EXPECT_EQ(CheckPasswordChange(stored, "LANTERNS", "ABCD", "ABCD"), PasswordChange::Accepted);
    EXPECT_EQ(PasswordChangeMessage(PasswordChange::CurrentInvalid), kCurrentInvalid);
    EXPECT_EQ(PasswordChangeMessage(PasswordChange::TooShort), kTooShort);
    EXPECT_EQ(PasswordChangeMessage(PasswordChange::NotConfirmed), kNotConfirmed);
    EXPECT_EQ(PasswordChangeMessage(PasswordChange::Unchanged), kUnchanged);
    EXPECT_EQ(PasswordChangeMessage(PasswordChange::Accepted), "");
}

// --- access mode ---

class PasswordWindowTest : public SettingsTest {};

TEST_F(PasswordWindowTest, AccessModeShowsOnlyTheFirstFieldAndGrantsTheDefaultInLowerCase)
{
    TfrmPassword window(*dm, PasswordMode::Access);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Manager Access");
    EXPECT_EQ(window.helpContext(), 1310);
    EXPECT_EQ(child<QLabel>(window, "lblPassword")->text(), "Enter Password");
    EXPECT_TRUE(child<QLineEdit>(window, "txtPassword")->isVisible());
    EXPECT_FALSE(child<QLineEdit>(window, "txtNew")->isVisible());
    EXPECT_FALSE(child<QLineEdit>(window, "txtConfirm")->isVisible());
    EXPECT_TRUE(child<QPushButton>(window, "cmdOK")->isDefault());
    EXPECT_EQ(child<QLineEdit>(window, "txtPassword")->echoMode(), QLineEdit::Password);

    type(window, "txtPassword", "lanterns");
    EXPECT_EQ(text(window, "txtPassword"), "LANTERNS");
    click(window, "cmdOK");

    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_FALSE(accessRow()) << "access mode never writes the password row";
}

TEST_F(PasswordWindowTest, WrongPasswordIsReportedTheFieldEmptiedAndTheWindowStays)
{
    TfrmPassword window(*dm, PasswordMode::Access);
    window.show();
    type(window, "txtPassword", "LANTERN");
    click(window, "cmdOK");

    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.last(), "The Manager Access password entered is invalid.");
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Information);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(text(window, "txtPassword"), "");
    EXPECT_TRUE(window.isVisible());
    EXPECT_NE(window.result(), QDialog::Accepted);
    EXPECT_EQ(window.focusWidget(), child<QLineEdit>(window, "txtPassword"));

    // The window stays usable: the right password still gets in.
    type(window, "txtPassword", "LANTERNS");
    click(window, "cmdOK");
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

TEST_F(PasswordWindowTest, StoredPasswordReplacesTheDefaultAndAnEmptyValueFallsBackToIt)
{
    storeAccessRow(EncipherPassword("SECRET7"));
    {
        TfrmPassword window(*dm, PasswordMode::Access);
        window.show();
        type(window, "txtPassword", "LANTERNS");
        click(window, "cmdOK");
        EXPECT_EQ(messages.last(), "The Manager Access password entered is invalid.");
        type(window, "txtPassword", "secret7");
        click(window, "cmdOK");
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    dm->tblPreferences.setIndexName("");
    ASSERT_TRUE(dm->tblPreferences.findKey({engine::Value(std::string(kAccessPreferID))}));
    dm->tblPreferences.edit();
    dm->tblPreferences.fieldByName("PreferValue").setAsString("");
    dm->tblPreferences.post();

    TfrmPassword window(*dm, PasswordMode::Access);
    window.show();
    type(window, "txtPassword", "LANTERNS");
    click(window, "cmdOK");
    EXPECT_EQ(window.result(), QDialog::Accepted);
}

TEST_F(PasswordWindowTest, FieldsTakeFifteenLettersOrDigitsAndNothingElse)
{
    TfrmPassword window(*dm, PasswordMode::Change);
    window.show();
    for (const char* name : {"txtPassword", "txtNew", "txtConfirm"}) {
        auto* field = child<QLineEdit>(window, name);
        EXPECT_EQ(field->echoMode(), QLineEdit::Password) << name;
        EXPECT_EQ(field->maxLength(), 15) << name;
    }
    type(window, "txtNew", "ab-1 !c");
    EXPECT_EQ(text(window, "txtNew"), "AB1C");
    type(window, "txtConfirm", "abcdefghijklmnop");
    EXPECT_EQ(text(window, "txtConfirm"), "ABCDEFGHIJKLMNO") << "a sixteenth character cannot be typed";
    QTest::keyClick(child<QLineEdit>(window, "txtConfirm"), Qt::Key_Backspace);
    EXPECT_EQ(text(window, "txtConfirm"), "ABCDEFGHIJKLMN");
}

// --- change mode ---

TEST_F(PasswordWindowTest, ChangeModeRefusesEachRuleWithItsMessageAndClearsTheFields)
{
    TfrmPassword window(*dm, PasswordMode::Change);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Change Password");
    EXPECT_EQ(window.helpContext(), 1320);
    EXPECT_EQ(child<QLabel>(window, "lblPassword")->text(), "Current Password");
    EXPECT_TRUE(child<QLineEdit>(window, "txtNew")->isVisible());
    EXPECT_TRUE(child<QLineEdit>(window, "txtConfirm")->isVisible());

    auto attempt = [&](const char* current, const char* fresh, const char* confirm) {
        child<QLineEdit>(window, "txtPassword")->clear();
        child<QLineEdit>(window, "txtNew")->clear();
        child<QLineEdit>(window, "txtConfirm")->clear();
        type(window, "txtPassword", current);
        type(window, "txtNew", fresh);
        type(window, "txtConfirm", confirm);
        messages.clear();
        click(window, "cmdOK");
        EXPECT_EQ(messages.shown().size(), 1u);
        if (!messages.shown().empty()) {
            EXPECT_EQ(messages.shown()[0].kind, MsgKind::Information);
        }
        return messages.last();
    };

    EXPECT_EQ(attempt("WRONG", "ABCD", "ABCD"), kCurrentInvalid);
    EXPECT_EQ(text(window, "txtPassword"), "");
    EXPECT_EQ(text(window, "txtNew"), "");
    EXPECT_EQ(text(window, "txtConfirm"), "");
    EXPECT_EQ(window.focusWidget(), child<QLineEdit>(window, "txtPassword"));

    EXPECT_EQ(attempt("LANTERNS", "ABC", "ABC"), kTooShort);
    EXPECT_EQ(text(window, "txtPassword"), "LANTERNS") << "the current password stays";
    EXPECT_EQ(text(window, "txtNew"), "");
    EXPECT_EQ(text(window, "txtConfirm"), "");
    EXPECT_EQ(window.focusWidget(), child<QLineEdit>(window, "txtNew"));

    EXPECT_EQ(attempt("LANTERNS", "ABCD", "ABCE"), kNotConfirmed);
    EXPECT_EQ(text(window, "txtNew"), "");
    EXPECT_EQ(text(window, "txtConfirm"), "");
    EXPECT_EQ(window.focusWidget(), child<QLineEdit>(window, "txtNew"));

    EXPECT_EQ(attempt("lanterns", "lanterns", "LANTERNS"), kUnchanged);
    EXPECT_EQ(text(window, "txtNew"), "");
    EXPECT_EQ(text(window, "txtConfirm"), "");

    EXPECT_TRUE(window.isVisible());
    EXPECT_NE(window.result(), QDialog::Accepted);
    EXPECT_FALSE(accessRow()) << "no refusal stores anything";
}

TEST_F(PasswordWindowTest, FifteenCharactersAreStoredEncipheredAndTheNewPasswordGrantsAccess)
{
    {
        TfrmPassword window(*dm, PasswordMode::Change);
        window.show();
        type(window, "txtPassword", "LANTERNS");
        type(window, "txtNew", "abcdefghijklm12");
        type(window, "txtConfirm", "ABCDEFGHIJKLM12");
        click(window, "cmdOK");
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.last(), "Your password has been changed.");
        EXPECT_EQ(messages.shown()[0].kind, MsgKind::Information);
        EXPECT_EQ(window.result(), QDialog::Accepted);
    }
    auto row = accessRow();
    ASSERT_TRUE(row);
    EXPECT_EQ(row->first, EncipherPassword("ABCDEFGHIJKLM12"));
    EXPECT_EQ(row->second, "") << "the row is free once the window is gone";

    messages.clear();
    TfrmPassword old(*dm, PasswordMode::Access);
    old.show();
    type(old, "txtPassword", "LANTERNS");
    click(old, "cmdOK");
    EXPECT_EQ(messages.last(), "The Manager Access password entered is invalid.");
    type(old, "txtPassword", "abcdefghijklm12");
    click(old, "cmdOK");
    EXPECT_EQ(old.result(), QDialog::Accepted);
}

TEST_F(PasswordWindowTest, ChangeModeHoldsTheRowLockForTheWindowsLife)
{
    storeAccessRow(EncipherPassword("FIRST1"));
    {
        TfrmPassword window(*dm, PasswordMode::Change);
        window.show();
        EXPECT_EQ(accessRow()->second, "ALICE") << "locked when the mode is set";
        type(window, "txtPassword", "FIRST1");
        type(window, "txtNew", "SECOND2");
        type(window, "txtConfirm", "SECOND2");
        click(window, "cmdOK");
        EXPECT_EQ(messages.last(), "Your password has been changed.");
        EXPECT_EQ(accessRow()->first, EncipherPassword("SECOND2"));
        EXPECT_EQ(accessRow()->second, "ALICE");
    }
    EXPECT_EQ(accessRow()->second, "") << "unlocked when the window is destroyed";

    // A cancelled window lets go of the row as well.
    {
        TfrmPassword window(*dm, PasswordMode::Change);
        window.show();
        click(window, "cmdCancel");
        EXPECT_EQ(window.result(), QDialog::Rejected);
    }
    EXPECT_EQ(accessRow()->second, "");
}

TEST_F(PasswordWindowTest, RowHeldByAnotherCopyKeepsThePasswordAndItsLock)
{
    storeAccessRow(EncipherPassword("FIRST1"), "BOB");
    {
        TfrmPassword window(*dm, PasswordMode::Change);
        window.show();
        ASSERT_FALSE(messages.shown().empty()) << "the refused lock is reported";
        EXPECT_NE(messages.shown()[0].text.find("BOB"), std::string::npos) << messages.shown()[0].text;
        messages.clear();
        type(window, "txtPassword", "FIRST1");
        type(window, "txtNew", "SECOND2");
        type(window, "txtConfirm", "SECOND2");
        click(window, "cmdOK");
        EXPECT_FALSE(messages.shown().empty());
        for (const std::string& shown : messages.texts())
            EXPECT_NE(shown, "Your password has been changed.");
        EXPECT_NE(window.result(), QDialog::Accepted);
    }
    EXPECT_EQ(accessRow()->first, EncipherPassword("FIRST1"));
    EXPECT_EQ(accessRow()->second, "BOB") << "another copy's lock is not released";
}

// --- the service the main window calls ---

// The password window the service has opened, found among the shown windows.
TfrmPassword* openPasswordWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TfrmPassword*>(w); window && window->isVisible())
            return window;
    return nullptr;
}

class RecordingDialogs : public PasswordDialogs {
public:
    bool run(PasswordMode mode, THourvaneDataMod&, QWidget*) override
    {
        modes.push_back(mode);
        return true;
    }
    std::vector<PasswordMode> modes;
};

TEST_F(PasswordWindowTest, ServiceOpensTheWindowTheProgramInstallsAndRefusesWithoutOne)
{
    RecordingDialogs recording;
    setPasswordDialogs(&recording);
    EXPECT_TRUE(passwordDialogs().run(PasswordMode::Change, *dm, nullptr));
    EXPECT_EQ(recording.modes, std::vector<PasswordMode>{PasswordMode::Change});
    setPasswordDialogs(nullptr);
    EXPECT_FALSE(passwordDialogs().run(PasswordMode::Access, *dm, nullptr));

    // The real window, as the program installs it, answered as soon as it is up.
    PasswordWindowService real;
    setPasswordDialogs(&real);

    QTimer::singleShot(0, [] {
        TfrmPassword* window = openPasswordWindow();
        ASSERT_NE(window, nullptr);
        type(*window, "txtPassword", "lanterns");
        click(*window, "cmdOK");
    });
    EXPECT_TRUE(passwordDialogs().run(PasswordMode::Access, *dm, nullptr));

    QTimer::singleShot(0, [] {
        TfrmPassword* window = openPasswordWindow();
        ASSERT_NE(window, nullptr);
        click(*window, "cmdCancel");
    });
    EXPECT_FALSE(passwordDialogs().run(PasswordMode::Access, *dm, nullptr));
    setPasswordDialogs(nullptr);
}

} // namespace
} // namespace hv::test
