// The canvas: one scripted layout through every operation, compared with its
// golden page file, and the fonts it needs.
#include "reportengine/PageFile.h"
#include "reportengine/ReportCanvas.h"
#include "tests/support/Golden.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

namespace hv::test {
namespace {

using namespace hv::report;

TEST(CanvasTest, ScriptedLayoutThroughEveryOperationMatchesItsGoldenAndEnds)
{
    std::string error;
    ASSERT_TRUE(RegisterReportFonts(error)) << error;

    ReportCanvas c;
    // Each page as it was when handed on must be the page the canvas ends with.
    PageSet done;
    c.onPageDone = [&](const Page& page) { done.push_back(page); };
    int headers = 0;
    c.onPageHeader = [&](ReportCanvas& h) {
        ++headers;
        h.SetAreaTop(0.3);
        h.SetFont("Times New Roman", 11);
        h.PrintHeader("Page: " + std::to_string(h.CurrentPage()), Justify::Right);
        h.PrintHeader("Date: 3/15/2023", Justify::Left);
        h.SetAreaTop(0.6);
        h.SetFont("Times New Roman", 14);
        h.Bold(true);
        h.PrintHeader("Every Canvas Operation", Justify::Centre);
        h.SetAreaTop(1.0);
        h.FixBodyTop();
        h.SetAreaBottom(10.5);
        h.Home();
        // The header leaves its own font and tabs; the body must get its own back.
        h.SetFont("Times New Roman", 11);
        h.ClearTabs();
        h.SetTab(1.0, Justify::Left, 2.0, 0.02);
        h.SetTabJustify(TabOverride::Centre);
        h.Underline(true);
        h.PrintLn("\tColumn heading");
    };
    c.Start();

    // Three justifications in boxes with the inner margin, a following tab
    // with box lines and shade, and a tab without width.
    c.SetFont("Times New Roman", 10);
    c.SetTabJustify(TabOverride::None);
    c.ClearTabs();
    c.SetTab(0.5, Justify::Left, 2.0, 0.02);
    c.SetTab(2.5, Justify::Right, 1.0, 0.02);
    c.SetTab(3.5, Justify::Centre, 1.0, 0.02);
    c.SetTab(kTabFollows, Justify::Left, 1.0, 0.02, box::All, 20);
    c.SetTab(7.5, Justify::Right);
    c.PrintLn("\tLeft\tRight\tCentre\tBoxed\tNo width");
    // The override wins over every tab's own justification.
    c.SetTabJustify(TabOverride::Right);
    c.PrintLn("\tL\tR\tC\tB");
    c.SetTabJustify(TabOverride::None);
    // Styles switch one by one; SetFont switches them all off.
    c.Bold(true);
    c.Print("bold ");
    c.Italic(true);
    c.Print("bold italic ");
    c.Bold(false);
    c.Underline(true);
    c.Print("italic underlined ");
    c.StrikeOut(true);
    c.PrintLn("struck");
    c.SetFont("Times New Roman", 10);
    c.PrintLn("plain again, " + std::to_string(c.LinesLeft()) + " lines left");
    c.PrintLn();
    // Signature lines: a top line along a box.
    c.ClearTabs();
    c.SetTab(0.5, Justify::Left, 3.4, 0.02);
    c.SetTab(4.4, Justify::Left, 3.4, 0.02);
    c.TabTopLine();
    c.Print("Employee:");
    c.TabTopLine();
    c.PrintLn("Manager:");

    // Fill the page; the New line that passes the bottom breaks to a page
    // that starts with the header event, and the body keeps its font, tabs
    // and override.
    c.SetFont("Times New Roman", 9);
    c.Italic(true);
    c.ClearTabs();
    c.SetTab(0.75, Justify::Left, 1.0, 0.02);
    c.SetTab(2.0, Justify::Right, 1.0, 0.02);
    c.SetTabJustify(TabOverride::Centre);
    int line = 0;
    while (c.CurrentPage() == 1) {
        c.Print("\tline " + std::to_string(++line));
        c.PrintLn("\t" + std::to_string(c.LinesLeft()));
    }
    EXPECT_EQ(headers, 2);
    c.SetTabJustify(TabOverride::None);

    // Two columns near the bottom: the first fills, the rest goes on in the
    // second from the same top, and the text after them on the next page.
    while (c.LinesLeft() > 2)
        c.PrintLn("filler");
    c.SetColumns(2, 0.5);
    c.ColumnStart();
    for (int i = 1; i <= 4; ++i)
        c.PrintLn("column line " + std::to_string(i));
    c.ColumnEnd();
    c.SetColumns(0, 0);
    EXPECT_EQ(c.CurrentPage(), 2);
    c.PrintLn("after the columns");

    // A wrapped block that crosses a page, with a word wider than the block.
    while (c.LinesLeft() > 3)
        c.PrintLn("filler");
    c.PrintWrapped("A wrapped block keeps its line breaks\nand breaks Pneumonoultramicroscopicsilicovolcanoconiosis "
                   "between characters when a word is wider than the block itself.",
                   1.0, 2.0);
    EXPECT_EQ(c.CurrentPage(), 4);

    // A 900 pt line is taller than the body: a fresh page takes it, clipped,
    // and the next line goes on the page after.
    c.NewPage();
    c.SetFont("Times New Roman", 900);
    c.PrintLn("W");
    c.SetFont("Times New Roman", 11);
    c.PrintLn("after the tall line");

    const PageSet pages = c.Finish();
    EXPECT_EQ(pages.size(), 6u);
    EXPECT_EQ(PageFileText(done), PageFileText(pages));
    ExpectGolden(PageFileText(pages), HV_GOLDEN_DIR "canvas.rpt", HV_TEST_PROGRAM);
}

TEST(CanvasTest, MissingFontFileNamesThePackage)
{
    TempDir empty;
    std::string error;
    EXPECT_FALSE(RegisterReportFonts(error, empty.folder()));
    EXPECT_NE(error.find("LiberationSerif-Regular.ttf"), std::string::npos) << error;
    EXPECT_NE(error.find("fonts-liberation2"), std::string::npos) << error;
}

} // namespace
} // namespace hv::test
