#include "platform/Shell.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempDir.h"
#include "widgets/WindowUtil.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QScreen>
#include <QUrl>
#include <QWidget>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace hv {
namespace {

namespace fs = std::filesystem;

int characters(const std::string& text) { return int(text.size()); }

// --- ShortenPath --------------------------------------------------------------

TEST(ShortenPath, PathThatFitsIsUnchanged)
{
    EXPECT_EQ(ShortenPath("C:\\A\\B\\C\\f.txt", characters, 14), "C:\\A\\B\\C\\f.txt");
    EXPECT_EQ(ShortenPath("f.txt", characters, 1), "f.txt");
}

TEST(ShortenPath, DropsOneFolderAtATimeThenTheDrive)
{
    std::vector<std::string> tried;
    const std::string result = ShortenPath(
        "C:\\A\\B\\C\\f.txt",
        [&](const std::string& text) {
            tried.push_back(text);
            return 1000;
        },
        10);
    EXPECT_EQ(tried, (std::vector<std::string>{"C:\\A\\B\\C\\f.txt", "C:\\...\\B\\C\\f.txt",
                                               "C:\\...\\C\\f.txt", "C:\\...\\f.txt",
                                               "...\\f.txt"}));
    EXPECT_EQ(result, "f.txt");
}

TEST(ShortenPath, StopsAtTheFirstStepThatFits)
{
    const std::string path = "C:\\A\\B\\C\\f.txt";
    EXPECT_EQ(ShortenPath(path, characters, 13), "C:\\...\\f.txt");
    EXPECT_EQ(ShortenPath(path, characters, 14), path);
    EXPECT_EQ(ShortenPath(path, characters, 9), "...\\f.txt");
    EXPECT_EQ(ShortenPath(path, characters, 8), "f.txt");
}

TEST(ShortenPath, FileNameThatAloneDoesNotFitIsGivenBare)
{
    EXPECT_EQ(ShortenPath("C:\\A\\B\\C\\averylongname.txt", characters, 3), "averylongname.txt");
}

TEST(ShortenPath, FileInTheRootEndsAsTheBareName)
{
    EXPECT_EQ(ShortenPath("C:\\report.txt", characters, 5), "report.txt");
    EXPECT_EQ(ShortenPath("/report.txt", characters, 5), "report.txt");
}

TEST(ShortenPath, SlashPathsShortenTheSameWay)
{
    std::vector<std::string> tried;
    const std::string result = ShortenPath(
        "/home/ann/data/f.txt",
        [&](const std::string& text) {
            tried.push_back(text);
            return 1000;
        },
        10);
    EXPECT_EQ(tried, (std::vector<std::string>{"/home/ann/data/f.txt", "/.../ann/data/f.txt",
                                               "/.../data/f.txt", "/.../f.txt", ".../f.txt"}));
    EXPECT_EQ(result, "f.txt");
}

TEST(ShortenPath, MeasuresWithAFont)
{
    QFontMetrics metrics(QApplication::font());
    const std::string path = "C:\\Payroll\\Exports\\2024\\week.txt";
    EXPECT_EQ(ShortenPath(path, metrics, 10000), path);
    EXPECT_EQ(ShortenPath(path, metrics, 1), "week.txt");
    const int width = metrics.horizontalAdvance(QStringLiteral("C:\\...\\week.txt"));
    EXPECT_EQ(ShortenPath(path, metrics, width), "C:\\...\\week.txt");
}

// --- FolderExists -------------------------------------------------------------

TEST(FolderExists, OnlyExistingFolders)
{
    test::TempDir dir;
    std::ofstream(dir / "file.txt") << "x";
    EXPECT_TRUE(FolderExists(dir.path().string()));
    EXPECT_TRUE(FolderExists(dir.folder()));
    EXPECT_FALSE(FolderExists((dir / "file.txt").string()));
    EXPECT_FALSE(FolderExists((dir / "missing").string()));
    EXPECT_FALSE(FolderExists(""));
}

// --- ScaleToScreen ------------------------------------------------------------

TEST(ScaleToScreen, ScalesByTheLogicalDpi)
{
    EXPECT_EQ(ScaleLength(60, 96), 60);
    EXPECT_EQ(ScaleLength(60, 120), 75);
    EXPECT_EQ(ScaleLength(7, 120), 9);   // 8.75
    EXPECT_EQ(ScaleLength(1, 120), 1);   // 1.25
    EXPECT_EQ(ScaleLength(2, 144), 3);
    EXPECT_EQ(ScaleLength(-40, 120), -50);
}

TEST(ScaleToScreen, UsesThePrimaryScreen)
{
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInch();
    EXPECT_EQ(ScaleToScreen(60), ScaleLength(60, dpi));
    EXPECT_EQ(ScaleToScreen(40), ScaleLength(40, dpi));
}

// --- RestoreAndRaise -----------------------------------------------------------

TEST(RestoreAndRaise, AWokenWindowComesBackInTheStateItHad)
{
    QWidget maximised;
    maximised.showMaximized();
    RestoreAndRaise(maximised);
    EXPECT_TRUE(maximised.isMaximized()) << "waking must not shrink a maximised window";

    maximised.setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
    RestoreAndRaise(maximised);
    EXPECT_FALSE(maximised.isMinimized());
    EXPECT_TRUE(maximised.isMaximized());
    EXPECT_TRUE(maximised.isVisible());
}

// --- GetVersionString ---------------------------------------------------------

TEST(GetVersionString, ProgramFileCarriesTheVersionInformation)
{
    const std::string program = ProgramFileName();
    EXPECT_EQ(GetVersionString(program, "ProductName"), "Hourvane 3");
    EXPECT_EQ(GetVersionString(program, "productname"), "Hourvane 3");
    EXPECT_TRUE(std::regex_match(GetVersionString(program, "FileVersion"),
                                 std::regex(R"(\d+\.\d+\.\d+\.\d+)")));
    EXPECT_NE(GetVersionString(program, "LegalCopyright").find("Copyright"), std::string::npos);
    const std::string comments = GetVersionString(program, "Comments");
    EXPECT_FALSE(comments.empty());
    EXPECT_NE(comments, "No such Version Info");
}

TEST(GetVersionString, TextsForWhatIsNotThere)
{
    test::ScriptedMessageService messages;
    test::TempDir dir;
    std::ofstream(dir / "other.exe") << "MZ";
    const std::string program = ProgramFileName();
    EXPECT_EQ(GetVersionString(program, "NoSuchField"), "Error Retrieving Version Info");
    EXPECT_EQ(GetVersionString(program, "LegalTrademarks"), "No such Version Info");
    EXPECT_EQ(GetVersionString((dir / "other.exe").string(), "ProductName"), "No Version Info");
    EXPECT_EQ(GetVersionString((dir / "missing.exe").string(), "ProductName"), "No Version Info");
    EXPECT_EQ(GetVersionString("", "ProductName"), "No Version Info");
    EXPECT_TRUE(messages.shown().empty());
}

TEST(GetVersionString, FileThatCannotBeExaminedShowsAnErrorBox)
{
    test::ScriptedMessageService messages;
    test::TempDir dir;
    const fs::path loop = dir / "loop.exe";
    fs::create_symlink(loop, loop);

    EXPECT_EQ(GetVersionString(loop.string(), "ProductName"), "No Version Info");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text,
              "Exception Error Retrieving Version Information\r\rCannot examine " + loop.string()
                  + ": Too many levels of symbolic links.");
    EXPECT_EQ(messages.shown()[0].kind, MsgKind::Error);
    EXPECT_EQ(messages.shown()[0].buttons, MsgButtons::Abort);
}

// --- OpenDocument -------------------------------------------------------------

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.push_back(url); }
};

TEST(OpenDocument, HandsAddressesAndFilesToTheSystem)
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("https", &catcher, "open");
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    EXPECT_TRUE(OpenDocument("https://example.com/help/index.html"));
    EXPECT_TRUE(OpenDocument("/opt/hourvane/Read Me.txt"));
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("file");

    ASSERT_EQ(catcher.opened.size(), 2u);
    EXPECT_EQ(catcher.opened[0], QUrl("https://example.com/help/index.html"));
    EXPECT_EQ(catcher.opened[1], QUrl::fromLocalFile("/opt/hourvane/Read Me.txt"));
}

} // namespace
} // namespace hv

#include "test_shell_utilities.moc"
