// The Data Export Wizard built for real on the offscreen platform: one flow
// through every page message, the kinds without a period skipping the dates
// page both ways, and another export after Yes.
#include "exchange/windows/Export.h"
#include "exchange/windows/ExportCommands.h"
#include "tests/exchange/ExportFixture.h"
#include "tests/support/ScriptedDatePicker.h"
#include "tests/support/ScriptedFileDialogs.h"
#include "widgets/CommandRegistry.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace hv::test {
namespace {

class ExportWindowTest : public ExportTest {
protected:
    void TearDown() override
    {
        window.reset();
        ExportTest::TearDown();
    }
    template <class W>
    W* find(const char* name)
    {
        return window->findChild<W*>(name);
    }
    void click(const char* name) { find<QAbstractButton>(name)->click(); }
    void next() { click("btnNext"); }
    void back() { click("btnBack"); }
    void chooseKind(int row) { find<QListWidget>("lstExportType")->setCurrentRow(row); }
    void toggle(int row)
    {
        auto* list = find<QListWidget>("lstItems");
        emit list->itemDoubleClicked(list->item(row));
    }

    ScriptedFileDialogs dialogs;
    ScriptedDatePicker picker;
    std::unique_ptr<TfrmExport> window;
};

TEST_F(ExportWindowTest, OneWizardFlowThroughEveryPageAndAnotherExport)
{
    addScene();
    CommandRegistry registry;
    RegisterExportWindows(registry);
    ASSERT_NE(registry.find("mnuFileExport"), nullptr);

    window = std::make_unique<TfrmExport>(*dm, appState(), dialogs, picker, "Hourvane3.ini");
    window->show();
    EXPECT_EQ(window->windowTitle(), "Data Export Wizard");
    EXPECT_EQ(window->page(), 0);
    EXPECT_FALSE(find<QPushButton>("btnBack")->isEnabled());
    next();
    next();
    EXPECT_EQ(messages.last(), "Please select the type of data you wish to export.");
    chooseKind(0); // Hours Worked Data
    next();
    EXPECT_EQ(window->page(), 2);
    next();
    EXPECT_EQ(messages.last(), "Please select the items you wish to export.");
    toggle(0);
    toggle(5);
    toggle(1);
    toggle(1); // a second double click takes the tick away
    next();
    EXPECT_EQ(window->page(), 3);
    EXPECT_EQ(find<QLabel>("lblDates")->text().toStdString(),
              "Select the dates for the Hourvane entries you wish to export.");
    next();
    EXPECT_EQ(messages.last(), "Please select your Starting on Date.");
    picker.answer("3/17/2026");
    click("spdStartDate");
    next();
    EXPECT_EQ(messages.last(), "Please select your Ending on Date.");
    picker.answer("3/4/2026");
    click("spdEndDate");
    next();
    EXPECT_EQ(messages.last(),
              "The Ending on Date can not be before the Starting on Date.  Please select your date range again.");
    picker.answer("3/4/2026");
    click("spdStartDate");
    picker.answer("3/17/2026");
    click("spdEndDate");
    next();
    EXPECT_EQ(window->page(), 4);
    next();
    EXPECT_EQ(messages.last(), "Please select the export format for your data.");
    click("rdoComma");
    next();
    EXPECT_EQ(messages.last(), "Please select the destination file for your data.");
    const std::string file = out("hours.txt");
    dialogs.answer(file);
    click("btnBrowse");
    EXPECT_EQ(dialogs.asked().back().request.title, "Export Data File");
    EXPECT_EQ(dialogs.asked().back().request.defaultExtension, "txt");
    EXPECT_EQ(find<QLineEdit>("txtFileName")->text().toStdString(), file);
    next();
    EXPECT_EQ(window->page(), 5);
    EXPECT_EQ(find<QPushButton>("btnNext")->text(), "&Export");
    const std::string summary = find<QLabel>("lblSummary")->text().toStdString();
    EXPECT_EQ(summary.substr(0, summary.find("Destination:")),
              "Export:\tHours Worked Data\n\nFrom:\t3/4/2026\nTo:\t3/17/2026\n\nFormat:\tComma Delimited\n\n");

    messages.answer(MsgResult::Yes);
    next();
    EXPECT_EQ(bytes(file), "Able,31.00\r\nBaker  Jr,40.00\r\nCole,4.00\r\n");
    EXPECT_EQ(messages.texts().back(), "Export complete.  Do you want to Export another file?");
    EXPECT_EQ(messages.texts()[messages.texts().size() - 2],
              "1 values held the separator or a line break; each was written as a blank.");
    EXPECT_EQ(window->page(), 1);
    EXPECT_EQ(find<QPushButton>("btnNext")->text(), "&Next");
    EXPECT_EQ(find<QProgressBar>("prgExport")->value(), 0);

    // Employee Data has no period: Next skips the dates page and Back skips it again.
    chooseKind(5);
    next();
    toggle(0);
    next();
    EXPECT_EQ(window->page(), 4);
    back();
    EXPECT_EQ(window->page(), 2);
    next();
    click("rdoFixed");
    next();
    EXPECT_EQ(window->page(), 5);
    EXPECT_EQ(
        find<QLabel>("lblSummary")->text().toStdString().rfind("Export:\tEmployee Data\n\nFormat:\tFixed Length", 0),
        0u);
    messages.answer(MsgResult::No);
    next();
    EXPECT_EQ(bytes(file), "Able                \r\nBaker, Jr           \r\nCole                \r\n");
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

} // namespace
} // namespace hv::test
