// The help viewer over the shipped help pages: topics by context number, the
// contents, and the keyword search; and the service windows reach it through.
#include "platform/windows/HelpWindow.h"
#include "ports/HelpService.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <algorithm>

namespace hv::test {
namespace {

// Every page shipped, however many later windows add.
std::size_t shippedPages()
{
    return std::size_t(QDir(HV_HELP_SOURCE_DIR).entryList({"*.html"}, QDir::Files).size());
}

bool contains(const std::vector<std::string>& pages, const std::string& page)
{
    return std::find(pages.begin(), pages.end(), page) != pages.end();
}

TEST(HelpViewer, TopicByContextNumberShowsItsPage)
{
    HelpWindow help(HV_HELP_SOURCE_DIR);
    help.showTopic(1110);
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.currentPage(), "main-window.html");
    auto* browser = help.findChild<QTextBrowser*>("brwTopic");
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("Select Employee"));
    EXPECT_EQ(QFileInfo(browser->source().toLocalFile()).fileName(), "main-window.html");
}

TEST(HelpViewer, OpensInTheMiddleOfTheScreenWithinIt)
{
    HelpWindow help(HV_HELP_SOURCE_DIR);
    help.showContents();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.contains(help.frameGeometry())) << "not jammed past an edge";
    EXPECT_LE((help.frameGeometry().center() - area.center()).manhattanLength(), 8) << "nor in a corner";
}

TEST(HelpViewer, EveryContextOfTheShippedPagesLeadsToAPage)
{
    HelpWindow help(HV_HELP_SOURCE_DIR);
    const std::pair<int, const char*> expected[] = {
        {30, "technical-support.html"}, {1110, "main-window.html"}, {1310, "manager-access.html"},
        {1320, "manager-access.html"}, {8100, "record-locks.html"}};
    for (const auto& [context, page] : expected) {
        help.showTopic(context);
        EXPECT_EQ(help.currentPage(), page) << context;
    }
}

TEST(HelpViewer, UnknownContextAndContentsShowTheContentsPage)
{
    HelpWindow help(HV_HELP_SOURCE_DIR);
    help.showTopic(4242);
    EXPECT_EQ(help.currentPage(), "index.html");
    help.showTopic(1110);
    help.showContents();
    EXPECT_EQ(help.currentPage(), "index.html");
    const std::vector<std::string> listed = help.listedPages();
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(listed.front(), "index.html") << "the contents lead the list";
    EXPECT_EQ(listed.size(), shippedPages()) << "every page is listed";
}

TEST(HelpViewer, SearchListsThePagesHoldingTheWordInAnyCase)
{
    HelpWindow help(HV_HELP_SOURCE_DIR);
    help.search("lanterns");
    EXPECT_EQ(help.listedPages(), std::vector<std::string>{"manager-access.html"});
    EXPECT_EQ(help.currentPage(), "manager-access.html");
    EXPECT_EQ(help.findChild<QLineEdit*>("txtSearch")->text(), "lanterns");

    help.search("midnight");
    EXPECT_TRUE(contains(help.listedPages(), "main-window.html"));
    EXPECT_FALSE(contains(help.listedPages(), "record-locks.html"));

    help.search("zzqx-no-such-word");
    EXPECT_TRUE(help.listedPages().empty());
    EXPECT_TRUE(help.isVisible());

    help.search("");
    EXPECT_EQ(help.listedPages().size(), shippedPages()) << "an empty keyword lists every page";
}

TEST(HelpViewer, TypingInTheSearchBoxFiltersTheList)
{
    HelpWindow help(HV_HELP_SOURCE_DIR);
    help.showContents();
    help.findChild<QLineEdit*>("txtSearch")->setText("LOCKED BY");
    EXPECT_TRUE(contains(help.listedPages(), "record-locks.html"));
    EXPECT_FALSE(contains(help.listedPages(), "time-card-entry.html"));
}

TEST(HelpViewer, MissingFolderShowsNoPageButKeepsWorking)
{
    HelpWindow help("/nonexistent-help-folder/");
    help.showTopic(1110);
    EXPECT_EQ(help.currentPage(), "");
    EXPECT_TRUE(help.listedPages().empty());
    EXPECT_TRUE(help.findChild<QTextBrowser*>("brwTopic")->toPlainText().contains("could not be found"));
}

class RecordingHelp : public HelpService {
public:
    void showContents() override { calls.push_back("contents"); }
    void search(const std::string& keyword) override { calls.push_back("search:" + keyword); }
    void showTopic(int context) override { calls.push_back("topic:" + std::to_string(context)); }
    std::vector<std::string> calls;
};

TEST(HelpViewer, ServiceRoutesToTheInstalledViewerAndIsSilentWithout)
{
    setHelpService(nullptr);
    helpService().showTopic(1110); // does nothing, must not crash
    RecordingHelp recording;
    setHelpService(&recording);
    helpService().showContents();
    helpService().search("");
    helpService().showTopic(30);
    setHelpService(nullptr);
    helpService().showContents();
    EXPECT_EQ(recording.calls, (std::vector<std::string>{"contents", "search:", "topic:30"}));
}

} // namespace
} // namespace hv::test
