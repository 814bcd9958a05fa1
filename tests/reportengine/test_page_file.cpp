// The page file: written and read back unchanged, and every kind of damage
// answered with "line N: ..." instead of a crash, a hang or a wrong page.
#include "reportengine/PageFile.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

namespace hv::test {
namespace {

using namespace hv::report;

// Two pages with every record kind and every escape.
PageSet samplePages()
{
    ReportFont plain;
    ReportFont bold{"Times New Roman", 14000, true, false, true, false};
    Page one;
    one.items.push_back(TextItem{500, 8000, 467, Justify::Right, "Page: 1", plain});
    one.items.push_back(TextItem{500, 8000, 800, Justify::Centre, "Quote \" back\\slash\ttab", bold});
    one.items.push_back(ShadeItem{500, 1000, 1500, 1200, 20});
    one.items.push_back(LineItem{500, 1000, 3900, 1000, 10});
    Page two;
    two.width = 8268;
    two.height = 11693;
    two.items.push_back(TextItem{-40, 900, 1300, Justify::Left, "Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m\n\r\x01", plain});
    return {one, two};
}

std::string sampleText() { return PageFileText(samplePages()); }

::testing::AssertionResult cleanError(const std::string& text, const std::string& expected = {})
{
    PageSet pages;
    std::string error;
    if (ParsePageFile(text, pages, error))
        return ::testing::AssertionFailure() << "accepted";
    if (!pages.empty())
        return ::testing::AssertionFailure() << "kept pages after: " << error;
    static const std::regex form("line [0-9]+: .+");
    if (!std::regex_match(error, form))
        return ::testing::AssertionFailure() << "unclear error: " << error;
    if (!expected.empty() && error != expected)
        return ::testing::AssertionFailure() << "error: " << error;
    return ::testing::AssertionSuccess();
}

// The sample with one line replaced (1-based), the checksum made right again.
std::string withLine(int number, const std::string& replacement)
{
    std::string text = sampleText();
    std::size_t pos = 0;
    for (int i = 1; i < number; ++i)
        pos = text.find('\n', pos) + 1;
    text.replace(pos, text.find('\n', pos) - pos, replacement);
    return text;
}

TEST(PageFileTest, WrittenPagesReadBackUnchanged)
{
    TempDir dir;
    const std::string path = (dir / kPageFileName).string();
    std::string error;
    ASSERT_TRUE(WritePageFile(path, samplePages(), error)) << error;
    PageSet read;
    ASSERT_TRUE(ReadPageFile(path, read, error)) << error;
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].items, samplePages()[0].items);
    EXPECT_EQ(read[1].items, samplePages()[1].items);
    EXPECT_EQ(read[1].width, 8268);
    EXPECT_EQ(PageFileText(read), sampleText());
}

TEST(PageFileTest, DamagedFilesGiveTheLineAndWhatIsWrong)
{
    const std::string text = sampleText();
    // Cut at every line end and inside every line.
    int lines = 0;
    for (std::size_t pos = 0; pos < text.size(); pos = text.find('\n', pos) + 1) {
        ++lines;
        EXPECT_TRUE(cleanError(text.substr(0, pos))) << "cut before line " << lines;
        EXPECT_TRUE(cleanError(text.substr(0, pos + 3))) << "cut inside line " << lines;
    }
    EXPECT_TRUE(cleanError(text.substr(0, text.size() - 1), "line 12: the file ends in the middle of a line"));
    EXPECT_TRUE(cleanError(text + "P 8500 11000\n", "line 13: text follows the end record"));

    EXPECT_TRUE(
        cleanError(withLine(1, "HVREPORT 2"), "line 1: version 2 is not supported (this program reads version 1)"));
    EXPECT_TRUE(cleanError(withLine(1, "%PDF-1.4"), "line 1: this is not a report page file"));
    EXPECT_TRUE(cleanError(withLine(4, "T 500 100001 467 R \"x\""), "line 4: coordinate 100001 is out of range"));
    EXPECT_TRUE(cleanError(withLine(2, "P 0 11000"), "line 2: page width 0 is out of range"));
    EXPECT_TRUE(
        cleanError(withLine(3, "F 1000001 - \"Times New Roman\""), "line 3: font size 1000001 is out of range"));
    EXPECT_TRUE(cleanError(withLine(7, "L 500 1000 3900 1000 99999"), "line 7: line width 99999 is out of range"));
    EXPECT_TRUE(cleanError(withLine(4, "T 500 8000 467 R \"caf\xC3\x28\""), "line 4: the line is not valid UTF-8"));
    EXPECT_TRUE(cleanError(withLine(4, "T 500 8000 467 R \"\\xC3\\x28\""), "line 4: the text is not valid UTF-8"));
    EXPECT_TRUE(cleanError(withLine(4, "T 500 8000 467 R \"open"), "line 4: a quoted text is not closed"));
    EXPECT_TRUE(cleanError(withLine(4, "T 500 8000 467 X \"x\""), "line 4: the justification must be L, C or R"));
    EXPECT_TRUE(cleanError(withLine(4, "T 500  8000 467 R \"x\""), "line 4: a number is missing"));
    EXPECT_TRUE(
        cleanError(withLine(12, "END 3 0000000000000000"), "line 12: the end record counts 3 pages, the file holds 2"));
    EXPECT_TRUE(cleanError(withLine(5, "F 14000 UB \"Times New Roman\""), "line 5: the font style is not readable"));
    EXPECT_TRUE(cleanError(std::string(70000, 'x') + "\n", "line 1: the line is longer than 65536 bytes"));
}

TEST(PageFileTest, CountsPastTheBoundsAreRefused)
{
    const PageFileLimits limits;
    std::string pages = "HVREPORT 1\n";
    for (int i = 0; i <= limits.pages; ++i)
        pages += "P 8500 11000\n";
    EXPECT_TRUE(cleanError(pages, "line 10001: more than 9999 pages"));

    std::string items = "HVREPORT 1\nP 8500 11000\n";
    for (int i = 0; i <= limits.itemsPerPage; ++i)
        items += "L 0 0 1 1 1\n";
    EXPECT_TRUE(cleanError(items, "line 100003: page 1 holds more than 100000 items"));
}

TEST(PageFileTest, TenThousandRandomMutationsEachGiveACleanError)
{
    const std::string text = sampleText();
    std::mt19937 random(20230315);
    std::uniform_int_distribution<std::size_t> position(0, text.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255), kind(0, 2);
    for (int i = 0; i < 10000; ++i) {
        std::string damaged = text;
        const std::size_t at = position(random);
        switch (kind(random)) {
        case 0: { // replace a byte by a different one
            char c = char(byte(random));
            if (c == damaged[at])
                c = char(c ^ 0x20);
            damaged[at] = c;
            break;
        }
        case 1:
            damaged.insert(at, 1, char(byte(random)));
            break;
        default:
            damaged.erase(at, 1);
            break;
        }
        ASSERT_TRUE(cleanError(damaged)) << "mutation " << i << " at " << at;
    }
}

} // namespace
} // namespace hv::test
