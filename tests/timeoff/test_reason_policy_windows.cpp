// The Time Off Reasons window and the Benefit Policy Wizard, built for real
// on the offscreen platform and driven through their controls, acting as
// ALICE; the other copy reads the tables from disk.
#include "platform/RegionalSettings.h"
#include "storage/HVGlobal.h"
#include "tests/people/PeopleFixture.h"
#include "tests/support/PeerProcess.h"
#include "timeoff/PolicyBands.h"
#include "timeoff/TReason.h"
#include "timeoff/windows/Reasons.h"
#include "timeoff/windows/Wizard.h"
#include "widgets/TQVComboBox.h"
#include "widgets/TQVGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace hv::test {
namespace {

class ReasonPolicyWindowTest : public PeopleTest {
protected:
    void SetUp() override
    {
        PeopleTest::SetUp();
        setRegional(RegionalSettings::usEnglish());
        resetGlobalSettings();
    }
    void TearDown() override
    {
        window.reset();
        PeopleTest::TearDown();
    }

    template <class W, class... Args>
    W& open(Args&&... args)
    {
        window = std::make_unique<W>(*dm, appState(), std::forward<Args>(args)...);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return static_cast<W&>(*window);
    }
    template <class T = QWidget>
    T* child(const char* name)
    {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char* name) { return child<QLineEdit>(name)->text(); }
    void choose(const char* name, const std::string& entry)
    {
        auto* box = child<TQVComboBox>(name);
        const int index = box->indexOfText(entry);
        ASSERT_GE(index, 0) << entry;
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    // Replaces the field's text by typing, then leaves it.
    void type(const char* name, const char* keys)
    {
        auto* field = child<QLineEdit>(name);
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, keys);
        QTest::keyClick(field, Qt::Key_Tab);
    }
    void click(const char* name)
    {
        auto* button = child<QAbstractButton>(name);
        const bool marked = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier,
                          marked ? QPoint(6, button->height() / 2) : button->rect().center());
    }

    // The rules of a benefit as the other copy reads them: "start-end earned" in key order.
    std::vector<std::string> chain(std::int32_t reason)
    {
        std::vector<std::string> out;
        const std::string where = "ReasonID = " + std::to_string(reason);
        const std::int64_t rows = count("Policy", where);
        for (std::int64_t i = 0; i < rows; ++i) {
            const std::string tail =
                " from Policy where " + where + " order by StartMonths limit 1 offset " + std::to_string(i);
            out.push_back(read("select StartMonths" + tail) + "-" + read("select EndMonths" + tail) + " " +
                          read("select EarnedHours" + tail));
        }
        return out;
    }
    std::int32_t benefit(const std::vector<std::pair<int, int>>& bands)
    {
        const std::int32_t id = addReasonRow(*dm, {.name = "Vacation", .code = "V", .policy = true});
        for (auto [start, end] : bands)
            addRuleRow(*dm, {.reason = id, .startMonths = start, .endMonths = end});
        return id;
    }
    // Band by band on the wizard's page: the "up to" number in years or months.
    void band(const char* upTo, bool years = true, const char* hours = nullptr, bool forPeriod = false)
    {
        click(years ? "optEndYears" : "optEndMonths");
        type("txtEnd", upTo);
        if (hours)
            type("txtHours", hours);
        if (forPeriod)
            click("optHoursPeriod");
        click("cmdNext");
    }
    TfrmPolicy& startWizard()
    {
        auto& w = open<TfrmPolicy>(std::string("Hourvane3.ini"));
        choose("cboBenefits", "Vacation");
        click("cmdNext");
        return w;
    }

    std::unique_ptr<QDialog> window;
};

// --- Time Off Reasons ---

TEST_F(ReasonPolicyWindowTest, CodeAndDescriptionAreCheckedAsTheyAreTyped)
{
    open<TfrmReasons>();
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "a small dialog offers no maximise button";
    type("txtCode", "v");
    EXPECT_EQ(text("txtCode"), "V");
    type("txtCode", ",");
    EXPECT_EQ(text("txtCode"), "") << "punctuation is refused";

    type("txtDescription", "   ");
    EXPECT_EQ(text("txtDescription"), "") << "blanks are trimmed on leaving";
    ASSERT_TRUE(child("cmdSave")->isEnabled());
    click("cmdSave");
    expectOnlyMessage("Please enter a Description for this Time Off Reason.", MsgKind::Information);
    EXPECT_EQ(count("Reason"), 0);
}

TEST_F(ReasonPolicyWindowTest, PolicyBoxOnANewReasonSavesCalendarAndYearEnd)
{
    open<TfrmReasons>();
    EXPECT_FALSE(child("btnCalendar")->isEnabled());
    type("txtDescription", "Vacation");
    type("txtCode", "v");
    click("chkPolicy");
    EXPECT_TRUE(child<QRadioButton>("btnCalendar")->isChecked());
    EXPECT_TRUE(child<QRadioButton>("btnYearEnd")->isChecked());
    click("cmdSave");
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(read("select AccrualBasis from Reason"), "C");
    EXPECT_EQ(read("select ValidateBasis from Reason"), "Y");
    EXPECT_EQ(read("select ReasonCode from Reason"), "V");
    EXPECT_EQ(count("Policy"), 1) << "a new benefit gets its first rule";
    EXPECT_EQ(child<TQVComboBox>("cboReasons")->currentIndex(), 0) << "back on a new reason";
}

TEST_F(ReasonPolicyWindowTest, MovingToAnotherReasonDropsTheChangeAndItsLock)
{
    const std::int32_t sick = addReasonRow(*dm, {.name = "Sick", .code = "S"});
    addReasonRow(*dm, {.name = "Holiday", .code = "H"});
    open<TfrmReasons>();
    choose("cboReasons", "Sick");
    type("txtDescription", "Sick Leave");
    ASSERT_EQ(read("select LockedBy from Reason where ReasonID = " + std::to_string(sick)), "ALICE");

    choose("cboReasons", "Holiday");
    EXPECT_EQ(text("txtDescription"), "Holiday");
    EXPECT_TRUE(messages.shown().empty()) << messages.last();
    EXPECT_EQ(read("select Reason from Reason where ReasonID = " + std::to_string(sick)), "Sick");
    TReasonRecClass other(second());
    other.SetReasonID(sick);
    ASSERT_TRUE(other.LoadByID());
    EXPECT_TRUE(other.Lock("BOB"));
}

TEST_F(ReasonPolicyWindowTest, DeleteNeedsTheDatabaseToItself)
{
    addReasonRow(*dm, {.name = "Sick", .code = "S"});
    PeerProcess peer;
    ASSERT_EQ(peer.send("connect " + dataFolder), "ok");
    ASSERT_EQ(peer.send("sem-lock hvuser.DAT 1"), "ok 1");
    open<TfrmReasons>();
    choose("cboReasons", "Sick");
    click("cmdDelete");
    expectOnlyMessage("More than one person is currently using Hourvane.  You must have exclusive access to delete a "
                      "Reason.\r\rPlease try again later.",
                      MsgKind::Information);
    EXPECT_EQ(count("Reason"), 1);
}

TEST_F(ReasonPolicyWindowTest, ClosingWithADuplicateDescriptionKeepsTheWindowAndTheWork)
{
    addReasonRow(*dm, {.name = "Sick", .code = "S"});
    open<TfrmReasons>();
    type("txtDescription", "sick");
    type("txtCode", "k");
    messages.answer(MsgResult::Yes);
    window->reject();
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{
                  "The current Time Off Reason record has been changed.  Do you want to save your changes?",
                  "This Reason Description has already been used.  Please try another one."}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(text("txtDescription"), "sick");
    EXPECT_EQ(count("Reason"), 1);
}

// --- Benefit Policy Wizard ---

TEST_F(ReasonPolicyWindowTest, BandsInYearsBecomeAContiguousChain)
{
    const std::int32_t id = benefit({{0, 960}});
    TfrmPolicy& w = startWizard();
    EXPECT_EQ(w.windowTitle(), "Vacation Benefit Policy Wizard");
    EXPECT_FALSE(child("pnlAtLeast")->isVisible()) << "the first band starts at 0";
    band("1");
    EXPECT_EQ(text("txtStart"), "1");
    band("5");
    band("80");
    ASSERT_EQ(w.page(), 2);
    EXPECT_EQ(child<QPushButton>("cmdNext")->text(), "&Finish");
    EXPECT_EQ(child<TQVGrid>("grdPolicy")->cell(1, 0), "  1 years");
    messages.answer(MsgResult::No);
    click("cmdNext");
    EXPECT_EQ(chain(id), (std::vector<std::string>{"0-12 0", "12-60 0", "60-960 0"}));
    EXPECT_EQ(count("Policy", "LockedBy <> ''"), 0);
}

TEST_F(ReasonPolicyWindowTest, BackThenNextKeepsTheNextBandStartingAtTheNewEnd)
{
    const std::int32_t id = benefit({{0, 960}});
    TfrmPolicy& w = startWizard();
    band("1");
    band("5");
    ASSERT_EQ(w.band(), 2);
    click("cmdBack");
    EXPECT_EQ(text("txtEnd"), "5");
    band("3");
    EXPECT_EQ(text("txtStart"), "3");
    band("80");
    messages.answer(MsgResult::No);
    click("cmdNext");
    EXPECT_EQ(chain(id), (std::vector<std::string>{"0-12 0", "12-36 0", "36-960 0"}));
}

TEST_F(ReasonPolicyWindowTest, UpToNotAfterAtLeastIsRefused)
{
    benefit({{0, 960}});
    TfrmPolicy& w = startWizard();
    band("1");
    band("6", false);
    expectOnlyMessage(kUpToMessage, MsgKind::Information, MsgButtons::Ok, 1019);
    EXPECT_EQ(w.band(), 1);
    EXPECT_EQ(w.policy().Items(1).EndMonths(), 960) << "nothing is stored";
}

TEST_F(ReasonPolicyWindowTest, HoursForThePeriodAreShownAsTypedAndEarnedPerYear)
{
    const std::int32_t id = benefit({{0, 960}});
    startWizard();
    // 40 hours over 24 months: 40 x 12 / 24 = 20 hours a year.
    band("24", false, "40", true);
    band("80");
    EXPECT_EQ(child<TQVGrid>("grdPolicy")->cell(0, 2), " 40.00 hours for the period");
    messages.answer(MsgResult::No);
    click("cmdNext");
    EXPECT_EQ(chain(id), (std::vector<std::string>{"0-24 20", "24-960 0"}));
}

TEST_F(ReasonPolicyWindowTest, CancelAfterALastBandLeavesThePolicyWhole)
{
    const std::int32_t id = benefit({{0, 12}, {12, 24}, {24, 960}});
    TfrmPolicy& w = startWizard();
    band("100");
    ASSERT_EQ(w.page(), 2);
    EXPECT_EQ(w.policy().Count(), 1);
    click("cmdCancel");
    EXPECT_EQ(chain(id), (std::vector<std::string>{"0-12 0", "12-24 0", "24-960 0"}));
    EXPECT_EQ(count("Policy", "LockedBy <> ''"), 0);
}

TEST_F(ReasonPolicyWindowTest, LengthenedBandsSaveWithoutMeetingOnAKey)
{
    const std::int32_t id = benefit({{0, 12}, {12, 24}, {24, 960}});
    startWizard();
    band("2");
    band("3");
    band("80");
    messages.answer(MsgResult::No);
    click("cmdNext");
    EXPECT_TRUE(messages.texts() == std::vector<std::string>{"Would you like to review or edit another Policy?"})
        << messages.last();
    EXPECT_EQ(chain(id), (std::vector<std::string>{"0-24 0", "24-36 0", "36-960 0"}));
}

TEST_F(ReasonPolicyWindowTest, ABenefitWithoutRulesGetsAFirstBandFromZero)
{
    const std::int32_t id = benefit({});
    startWizard();
    band("2");
    band("80");
    messages.answer(MsgResult::No);
    click("cmdNext");
    EXPECT_EQ(chain(id), (std::vector<std::string>{"0-24 0", "24-960 0"}));
}

TEST_F(ReasonPolicyWindowTest, ASecondPassEditsTheChainAsSaved)
{
    const std::int32_t id = benefit({{0, 960}});
    TfrmPolicy& w = startWizard();
    band("1");
    band("80");
    messages.answer(MsgResult::Yes);
    click("cmdNext");
    ASSERT_EQ(w.page(), 0);
    EXPECT_EQ(chain(id), (std::vector<std::string>{"0-12 0", "12-960 0"}));
    EXPECT_EQ(count("Policy", "LockedBy = 'ALICE'"), 2) << "the saved benefit is locked again";

    click("cmdNext");
    band("2");
    band("80");
    messages.answer(MsgResult::No);
    click("cmdNext");
    EXPECT_EQ(messages.texts().size(), 2u) << messages.last();
    EXPECT_EQ(chain(id), (std::vector<std::string>{"0-24 0", "24-960 0"}));
}

} // namespace
} // namespace hv::test
