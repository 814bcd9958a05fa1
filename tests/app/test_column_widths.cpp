#include "platform/SettingsFile.h"
#include "tests/support/TempDir.h"
#include "widgets/WindowUtil.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableWidget>

#include <cstdlib>
#include <memory>

namespace hv {
namespace {

// A header control of three sections above a grid of four columns, as the
// windows lay them out, with its own settings folder.
class ColumnWidthsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("HOURVANE_CONFIG_DIR", m_config.path().c_str(), 1);
        build();
    }
    void TearDown() override { unsetenv("HOURVANE_CONFIG_DIR"); }

    void build()
    {
        model = std::make_unique<QStandardItemModel>(0, 3);
        header = std::make_unique<QHeaderView>(Qt::Horizontal);
        header->setObjectName("hdrTimeOff");
        header->setModel(model.get());
        header->setMinimumSectionSize(0);
        header->resize(400, 20);
        grid = std::make_unique<QTableWidget>(2, 4);
        grid->horizontalHeader()->setMinimumSectionSize(0);
        const int widths[] = {60, 70, 80, 50};
        for (int i = 0; i < 4; ++i)
            grid->setColumnWidth(i, widths[i]);
        grid->verticalHeader()->setMinimumSectionSize(0);
        grid->verticalHeader()->setDefaultSectionSize(18);
    }

    void store(const std::string& value)
    {
        ASSERT_TRUE(SettingsFile(kFile).write("Hourvane 3", "TimeOffSettings", value));
    }

    std::vector<int> sections() const
    {
        std::vector<int> sizes;
        for (int i = 0; i < header->count(); ++i)
            sizes.push_back(header->sectionSize(i));
        return sizes;
    }

    const std::string kFile = "Hourvane3.ini";
    std::unique_ptr<QStandardItemModel> model;
    std::unique_ptr<QHeaderView> header;
    std::unique_ptr<QTableWidget> grid;

private:
    test::TempDir m_config;
};

TEST_F(ColumnWidthsTest, SectionAndKeyComeFromProductAndHeaderName)
{
    EXPECT_EQ(ColumnWidthsSection(), "Hourvane 3");
    EXPECT_EQ(ColumnWidthsKey(*header), "TimeOffSettings");
    QHeaderView shortName(Qt::Horizontal);
    shortName.setObjectName("hdr");
    EXPECT_EQ(ColumnWidthsKey(shortName), "Settings");
}

TEST_F(ColumnWidthsTest, NothingStoredSizesTheSectionsFromTheGrid)
{
    const int scaled0 = ScaleToScreen(60), scaled1 = ScaleToScreen(70);
    const int rowHeight = ScaleToScreen(18);
    LoadColumnWidths(header.get(), grid.get(), kFile);

    EXPECT_EQ(grid->columnWidth(0), scaled0);
    EXPECT_EQ(grid->columnWidth(1), scaled1);
    EXPECT_EQ(header->sectionSize(0), scaled0 + 3);
    EXPECT_EQ(header->sectionSize(1), scaled1 + 1);
    int total = 0;
    for (int size : sections())
        total += size;
    EXPECT_EQ(total, header->width());
    EXPECT_FALSE(grid->isColumnHidden(2));
    EXPECT_TRUE(grid->isColumnHidden(3));
    EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(), rowHeight);
}

TEST_F(ColumnWidthsTest, StoredWidthsAreRestored)
{
    // The last piece counts with its first four characters only.
    store("100,80,12345");
    LoadColumnWidths(header.get(), grid.get(), kFile);

    EXPECT_EQ(sections(), (std::vector<int>{100, 80, 1234}));
    EXPECT_EQ(grid->columnWidth(0), 97);
    EXPECT_EQ(grid->columnWidth(1), 79);
    EXPECT_EQ(grid->columnWidth(2), 1233);
    EXPECT_TRUE(grid->isColumnHidden(3));
    EXPECT_FALSE(grid->isColumnHidden(2));
}

// A column dragged to nothing, or missing from an older stored list, is shown
// at its own width again: only columns beyond the header's sections are hidden.
TEST_F(ColumnWidthsTest, NarrowOrMissingStoredWidthsLeaveTheColumnVisible)
{
    store("100,0");
    LoadColumnWidths(header.get(), grid.get(), kFile);

    EXPECT_EQ(header->sectionSize(0), 100);
    EXPECT_EQ(header->sectionSize(1), ScaleToScreen(70) + 1);
    EXPECT_EQ(grid->columnWidth(1), ScaleToScreen(70));
    EXPECT_EQ(header->sectionSize(2), 400 - 100 - header->sectionSize(1)) << "the last section fills the header";
    EXPECT_FALSE(grid->isColumnHidden(1));
    EXPECT_FALSE(grid->isColumnHidden(2));
    EXPECT_TRUE(grid->isColumnHidden(3));
}

TEST_F(ColumnWidthsTest, UnreadableValueFallsBackToTheGrid)
{
    store("100,wide,50");
    LoadColumnWidths(header.get(), grid.get(), kFile);

    EXPECT_EQ(header->sectionSize(0), ScaleToScreen(60) + 3);
    int total = 0;
    for (int size : sections())
        total += size;
    EXPECT_EQ(total, header->width());
}

TEST_F(ColumnWidthsTest, SavedWidthsComeBack)
{
    LoadColumnWidths(header.get(), grid.get(), kFile);
    header->resizeSection(0, 120);
    header->resizeSection(1, 90);
    header->resizeSection(2, 190);
    SaveColumnWidths(header.get(), kFile);
    EXPECT_EQ(SettingsFile(kFile).read("Hourvane 3", "TimeOffSettings", ""), "120,90,190");

    build();
    LoadColumnWidths(header.get(), grid.get(), kFile);
    EXPECT_EQ(sections(), (std::vector<int>{120, 90, 190}));
    EXPECT_EQ(grid->columnWidth(0), 117);
    EXPECT_EQ(grid->columnWidth(1), 89);
    EXPECT_EQ(grid->columnWidth(2), 189);
    EXPECT_TRUE(grid->isColumnHidden(3));
}

} // namespace
} // namespace hv
