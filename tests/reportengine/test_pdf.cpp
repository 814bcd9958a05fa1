// PDF output: the writer draws texts as glyph runs it lays out once per font
// and text; every page must come out exactly as Qt's own drawText draws it.
#include "reportengine/PageRenderer.h"
#include "reportengine/ReportMetrics.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QtEndian>

namespace hv::test {
namespace {

using namespace hv::report;

// The page content streams of a PDF, inflated, in file order: everything a
// page draws, each glyph's place as Qt wrote it.
std::vector<QByteArray> pageContents(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    const QByteArray pdf = file.readAll();
    std::vector<QByteArray> pages;
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at + 1)) {
        if (at >= 3 && pdf.mid(at - 3, 3) == "end")
            continue;
        // Page contents are deflated; fonts' other streams may not be.
        const qsizetype object = pdf.lastIndexOf(" obj", at);
        if (!pdf.mid(object, at - object).contains("/FlateDecode"))
            continue;
        const qsizetype start = at + 7;
        const qsizetype end = pdf.indexOf("endstream", start);
        // qUncompress wants the size up front; it grows past a short guess.
        QByteArray packed(4, '\0');
        qToBigEndian<quint32>(1u << 16, packed.data());
        packed += pdf.mid(start, end - start);
        const QByteArray content = qUncompress(packed);
        if (content.startsWith("/GSa gs"))
            pages.push_back(content);
    }
    return pages;
}

TEST(PdfTest, TextLandsExactlyWhereDrawTextPutsIt)
{
    std::string error;
    ASSERT_TRUE(RegisterReportFonts(error)) << error;
    // Texts that go out as glyph runs (ASCII, Latin-1 letters) and texts that
    // stay with drawText (a trailing blank, other scripts, a soft hyphen,
    // underline and strike-out), in every justification, on box edges that
    // fall between device units.
    const std::vector<std::string> texts = {
        "Page: 1",        "$1,234.56", "(12.50)",  "Time Office", "Zoë Ångström",
        "Müller, Jürgen", "trailing ", " leading", "Ελληνικά",    "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d",
        "co\xc2\xadop",   "AVAWAY"};
    ReportFont regular;
    ReportFont bold{"Times New Roman", 14000, true};
    ReportFont italic{"Times New Roman", 9500, false, true};
    ReportFont underlined{"Times New Roman", 11000, true, false, true};
    ReportFont struck{"Times New Roman", 12000, false, false, false, true};
    const ReportFont fonts[] = {regular, bold, italic, underlined, struck};
    // 565 and 1005 mils come to a hair below a whole device unit.
    const std::pair<int, int> boxes[] = {{565, 3245}, {1005, 3233}, {1021, 7481}};
    PageSet pages(2);
    int baseline = 600;
    for (const ReportFont& font : fonts)
        for (const std::string& text : texts)
            for (Justify justify : {Justify::Left, Justify::Right, Justify::Centre}) {
                // A line of three texts.
                baseline += 33;
                for (const auto& [left, right] : boxes) {
                    pages[0].items.push_back(TextItem{left, right, baseline, justify, text, font});
                    // Again on the next page, from what the first one laid out.
                    pages[1].items.push_back(TextItem{left + 10, right, baseline, justify, text, font});
                }
            }
    // A line and a shade among the texts.
    pages[1].items.insert(pages[1].items.begin() + 1, LineItem{500, 700, 8000, 700, 10});
    pages[1].items.insert(pages[1].items.begin() + 40, ShadeItem{1000, 2000, 3000, 2400, 20});

    TempDir folder;
    const std::string viaWriter = folder.folder() + "writer.pdf";
    ASSERT_TRUE(WritePdf(viaWriter, pages, error)) << error;
    // The same pages drawn on the stream's own thread as they come.
    const std::string viaStream = folder.folder() + "stream.pdf";
    {
        PdfPageStream stream(viaStream);
        for (const Page& page : pages)
            stream.add(page);
        ASSERT_TRUE(stream.finish(error)) << error;
    }

    const std::string viaDrawText = folder.folder() + "drawtext.pdf";
    {
        QPdfWriter writer(QString::fromStdString(viaDrawText));
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QSizeF(8.5, 11), QPageSize::Inch, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        RenderPage(painter, pages[0], 1200, 1200);
        writer.newPage();
        RenderPage(painter, pages[1], 1200, 1200);
    }

    const std::vector<QByteArray> expected = pageContents(viaDrawText);
    const std::vector<QByteArray> written = pageContents(viaWriter);
    ASSERT_EQ(expected.size(), 2u);
    ASSERT_EQ(written.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_GT(expected[i].count(" Tj"), 1000) << "page " << i + 1;
        EXPECT_EQ(written[i], expected[i]) << "page " << i + 1;
    }
    EXPECT_EQ(pageContents(viaStream), written);
}

TEST(PdfTest, AStreamLeavesTheWholeFileOrNothing)
{
    std::string error;
    ASSERT_TRUE(RegisterReportFonts(error)) << error;
    TempDir folder;
    const std::string path = folder.folder() + "report.pdf";
    Page page;
    page.items.push_back(TextItem{500, 8000, 700, Justify::Left, "Hours Worked", ReportFont{}});
    {
        // A run that failed after some pages were laid out.
        PdfPageStream dropped(path);
        dropped.add(page);
        dropped.add(page);
    }
    {
        PdfPageStream empty(path);
        EXPECT_FALSE(empty.finish(error));
        EXPECT_EQ(error, "The report has no pages.");
    }
    EXPECT_TRUE(QDir(QString::fromStdString(folder.folder())).isEmpty());

    PdfPageStream nowhere(folder.folder() + "missing/report.pdf");
    nowhere.add(page);
    nowhere.add(page);
    EXPECT_FALSE(nowhere.finish(error));
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace hv::test
