// The Data Import Wizard and its command, built for real on the offscreen
// platform; the opening checks against a second process.
#include "exchange/windows/ExchangeCommands.h"
#include "exchange/windows/Import.h"
#include "platform/SettingsFile.h"
#include "tests/exchange/ImportFixture.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "widgets/CommandRegistry.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTimer>

namespace hv::test {
namespace {

class ImportWindowTest : public ImportTest {
protected:
    void SetUp() override
    {
        ImportTest::SetUp();
        appState().programFolder = HV_PROGRAM_DIR;
    }
    void TearDown() override
    {
        window.reset();
        ImportTest::TearDown();
    }

    TfrmImport& open()
    {
        window = std::make_unique<TfrmImport>(*dm, appState(), dialogs, "Hourvane3.ini");
        window->show();
        return *window;
    }
    template <class W>
    W* find(const char* name)
    {
        return window->findChild<W*>(name);
    }
    void click(const char* name) { find<QAbstractButton>(name)->click(); }
    void next() { click("btnNext"); }
    // Chooses the import field for a grid row through the drop-down list.
    void map(int row, const std::string& displayName)
    {
        window->grdFieldsClick(row);
        auto* list = find<QComboBox>("cboImportFields");
        const int index = list->findText(QString::fromStdString(displayName));
        ASSERT_GE(index, 0) << displayName << " is not offered";
        emit list->activated(index);
    }
    std::string sample(int row) { return find<QTableWidget>("grdFields")->item(row, 1)->text().toStdString(); }
    // Runs the command; a wizard that opens is handed to during() and closed.
    bool runImportCommand(unsigned& refreshAfter, const std::function<void()>& during = {})
    {
        CommandRegistry registry;
        RegisterExchangeWindows(registry);
        const Command* command = registry.find("mnuFileImport");
        EXPECT_NE(command, nullptr);
        CommandContext context(*dm, appState(), dialogs, "Hourvane3.ini", nullptr);
        context.refresh = command->refresh;
        bool shown = false;
        QTimer::singleShot(0, [&] {
            if (auto* wizard = qobject_cast<TfrmImport*>(QApplication::activeModalWidget())) {
                shown = true;
                if (during)
                    during();
                wizard->reject();
            }
        });
        command->run(context);
        QApplication::processEvents(); // the timer of a command that showed nothing
        refreshAfter = context.refresh;
        return shown;
    }

    ScriptedFileDialogs dialogs;
    std::unique_ptr<TfrmImport> window;
};

TEST_F(ImportWindowTest, OpensOnlyWithTheDatabaseToItselfAndLetsGoAfterwards)
{
    PeerProcess peer;
    ASSERT_EQ(peer.send("connect " + dataFolder), "ok");
    unsigned refreshAfter = 0;

    ASSERT_EQ(peer.send("sem-lock reason.DAT 1"), "ok 1"); // the peer's backup holds the marker
    EXPECT_FALSE(runImportCommand(refreshAfter));
    EXPECT_EQ(messages.last(), "Unable to lock the database to import data. Please try again later.");
    EXPECT_EQ(messages.shown().back().kind, MsgKind::Information);
    ASSERT_EQ(peer.send("sem-unlock reason.DAT 1"), "ok");

    // This copy has no slot of its own yet; the peer's one slot is enough to refuse.
    ASSERT_EQ(appState().presenceSlot, 0);
    ASSERT_EQ(peer.send("sem-lock hvuser.DAT 5"), "ok 1");
    messages.clear();
    EXPECT_FALSE(runImportCommand(refreshAfter));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Other users are currently accessing Hourvane and you must "
                                                          "have exclusive access to import data. Please try again "
                                                          "later."}));
    EXPECT_EQ(peer.send("sem-lock reason.DAT 1"), "ok 1"); // the marker was let go
    ASSERT_EQ(peer.send("sem-unlock reason.DAT 1"), "ok");
    ASSERT_EQ(peer.send("sem-unlock hvuser.DAT 5"), "ok");

    std::string whileOpen;
    EXPECT_TRUE(runImportCommand(refreshAfter, [&] { whileOpen = peer.send("sem-lock reason.DAT 1"); }));
    EXPECT_EQ(whileOpen, "ok 0");
    EXPECT_EQ(peer.send("sem-lock reason.DAT 1"), "ok 1");
    EXPECT_EQ(dm->HourvaneDB.lockRetryCount(), 50);
    EXPECT_EQ(dm->HourvaneDB.lockWaitTime(), 100);
    EXPECT_TRUE(refreshAfter & refresh::EmployeeList);
}

TEST_F(ImportWindowTest, OneWizardFlowFromTheFirstPageToAnotherImport)
{
    addEmployeeRow(*dm, {.last = "Adams", .first = "Ann", .code = "A1"});
    const std::string file = program.folder() + "cards.txt";
    std::ofstream(file) << "Adams,Ann,A1,3/4/2024,8:00 AM,12:00 PM\n"
                           "Adams,Ann,A1,3/5/2024,9:00 AM,1:00 PM,2:00 PM,6:00 PM\n";
    open();
    EXPECT_EQ(window->windowTitle(), "Data Import Wizard");
    EXPECT_EQ(window->page(), 0);
    EXPECT_FALSE(find<QPushButton>("btnBack")->isEnabled());
    next();
    next();
    click("rdoHourvane");
    next();
    next();
    click("rdoComma");
    next();
    find<QLineEdit>("txtFileName")->setText(QString::fromStdString(program.folder() + "missing.txt"));
    next();
    EXPECT_EQ(window->page(), 2);
    dialogs.answer(file);
    click("btnBrowse");
    ASSERT_EQ(dialogs.asked().size(), 1u);
    EXPECT_EQ(dialogs.asked()[0].request.title, "Import Data File");
    EXPECT_EQ(dialogs.asked()[0].request.filter, "Text Files (*.txt);;Any file (*.*)");
    EXPECT_EQ(dialogs.asked()[0].request.proposedName, program.folder() + "missing.txt"); // the current name
    next();
    ASSERT_EQ(window->page(), 3);
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{
                  "Please select the type of data you wish to import.", "Please select your data file format.",
                  "Please select your import data file.",
                  "The Data File you selected does not exist.  Please check your file selection and try again."}));
    EXPECT_EQ(SettingsFile("Hourvane3.ini").read("Initialization", "ExportPath", ""), program.path().string());

    // The grid keeps the rows of the widest record shown.
    auto* grid = find<QTableWidget>("grdFields");
    EXPECT_EQ(grid->rowCount(), 6);
    EXPECT_FALSE(find<QPushButton>("btnPrevRecord")->isEnabled());
    click("btnNextRecord");
    EXPECT_EQ(grid->rowCount(), 8);
    EXPECT_EQ(sample(7), "6:00 PM");
    EXPECT_FALSE(find<QPushButton>("btnNextRecord")->isEnabled());
    click("btnPrevRecord");
    EXPECT_EQ(grid->rowCount(), 8);
    EXPECT_EQ(sample(3), "3/4/2024");
    EXPECT_EQ(sample(7), "");

    messages.clear();
    next();
    map(0, "Week Date");
    map(0, "Punch In 1");
    map(4, "Punch In 1");
    next();
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{
                  "Please select the fields your import data will be stored in.",
                  "The Sample Data for Week Date is not a valid date.  Please check your fields and try again.",
                  "The Sample Data for Punch In 1 is not a valid time.  Please check your fields and try again.",
                  "Please select the following fields:\r\r  -  Employee First and Last Name or Employee ID\r  -  "
                  "Week Date\r  -  Punch In and Punch Out Time\r\rfor the data you are importing."}));
    EXPECT_EQ(grid->item(0, 2)->text(), "");
    map(2, "Employee ID");
    map(3, "Week Date");
    map(5, "Punch Out 1");
    map(6, "Punch In 2");
    map(7, "Punch Out 2");
    next();
    EXPECT_EQ(window->page(), 4);
    next();
    EXPECT_EQ(window->page(), 5);
    EXPECT_EQ(find<QPushButton>("btnNext")->text(), "&Import");
    const std::string summary = find<QLabel>("lblSummary")->text().toStdString();
    EXPECT_EQ(summary.substr(0, 28), "Import:\tHourvane Data\n\nFrom:");
    EXPECT_NE(summary.find("\n\nFormat:\tComma Delimited Text\n\nAdd to/Update the current information"),
              std::string::npos);

    messages.clear();
    messages.answer(MsgResult::Yes);
    next();
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{"Import complete.  Do you want to Import another file?"}));
    EXPECT_EQ(window->page(), 1);
    EXPECT_EQ(find<QPushButton>("btnNext")->text(), "&Next");
    EXPECT_EQ(find<QProgressBar>("prgImport")->value(), 0);
    EXPECT_EQ(days(), "1 2024-03-04 0 08:00:00 12:00:00 - -; 1 2024-03-05 0 09:00:00 13:00:00 14:00:00 18:00:00");

    click("chkSkipPage");
    window->reject();
    EXPECT_EQ(SettingsFile("Hourvane3.ini").read("Initialization", "ShowImportPage", ""), "1");
}

TEST_F(ImportWindowTest, AFileOfTheWrongKindIsSaidSo)
{
    std::ofstream(program.folder() + "junk.dbf") << "this is no table";
    std::ofstream(program.folder() + "picture.png", std::ios::binary)
        << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    open();
    EXPECT_EQ(window->page(), 0);
    next();
    click("rdoEmployee");
    next();
    click("rdoXBase");
    for (const std::string name : {"junk.dbf", "missing.dbf"}) {
        find<QLineEdit>("txtFileName")->setText(QString::fromStdString(program.folder() + name));
        next();
        EXPECT_EQ(window->page(), 2);
    }
    click("rdoComma");
    find<QLineEdit>("txtFileName")->setText(QString::fromStdString(program.folder() + "picture.png"));
    next();
    EXPECT_EQ(window->page(), 2) << "no empty field map";
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{
                  "The xBase file you selected could not be read.  It may be damaged or not an xBase table.",
                  "The Data File you selected does not exist.  Please check your file selection and try again.",
                  "The file you selected is not a text file.  Choose a comma or tab delimited text file, or "
                  "choose xBase for a .dbf table."}));
}

} // namespace
} // namespace hv::test
