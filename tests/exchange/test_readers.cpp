// The readers of files written elsewhere: delimited text, dBase tables and
// the field definition files.
#include "exchange/DbfTable.h"
#include "exchange/DelimitedReader.h"
#include "exchange/FieldDefinitions.h"
#include "exchange/ImportFields.h"
#include "exchange/ImportSource.h"
#include "platform/DateUtil.h"
#include "platform/RegionalSettings.h"
#include "storage/AppState.h"
#include "tests/support/ScriptedMessageService.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <shapefil.h>

#include <filesystem>
#include <fstream>

namespace hv::test {
namespace {

using namespace std::string_literals;
using exchange::DelimitedLine;
using exchange::DelimitedReader;

std::vector<DelimitedLine> readAll(const std::string& bytes, char delimiter = ',')
{
    DelimitedReader reader(delimiter);
    reader.openBytes(bytes);
    std::vector<DelimitedLine> lines;
    DelimitedLine line;
    while (reader.next(line))
        lines.push_back(line);
    return lines;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(DelimitedReaderTest, ReadsLinesFieldsAndQuotesAndGoesOnAfterInvalidLines)
{
    const std::string tooLong(DelimitedReader::kMaxLineBytes + 1, 'x');
    const std::string tooMany(DelimitedReader::kMaxFields, ','); // 257 fields
    const std::string file = "\xEF\xBB\xBF"
                             "Smith,John\r\n"                           // 1: BOM dropped, CR LF
                             "M\xFCller,J\xFCrgen\n"                    // 2: Windows-1252
                             "\"Smith, Jr.\",\"say \"\"hi\"\"\",\"\"\n" // 3: quoted fields
                             "\"Lead\" cook,5\" nails,a\"b\n"           // 4: quotes kept
                             "bad\0line\n"s                             // 5: NUL
                             "good,5\n"                                 // 6
                             "\"never closed,x\n"                       // 7: unclosed quote
                             "good,7\n"                                 // 8
                             + tooMany + "x\n"                          // 9: 257 fields
                             + "good,9\n"                               // 10
                             + tooLong + "\n"                           // 11: too long
                             + "\n"                                     // 12: empty
                             + " , ,\t,\r\n"                            // 13: delimiters, blanks
                             + "Gr\xC3\xBC\xC3\x9F" + "e,last";         // 14: UTF-8, no line end
    const std::string& bytes = file;
    ASSERT_NE(bytes.find(std::string("bad\0line", 8)), std::string::npos);

    struct Expected {
        int number;
        bool valid;
        std::vector<std::string> fields;
    };
    const std::vector<Expected> expected = {
        {1, true, {"Smith", "John"}},
        {2, true, {"Müller", "Jürgen"}},
        {3, true, {"Smith, Jr.", "say \"hi\"", ""}},
        {4, true, {"\"Lead\" cook", "5\" nails", "a\"b"}},
        {5, false, {}},
        {6, true, {"good", "5"}},
        {7, false, {}},
        {8, true, {"good", "7"}},
        {9, false, {}},
        {10, true, {"good", "9"}},
        {11, false, {}},
        {14, true, {"Grüße", "last"}},
    };
    const auto lines = readAll(bytes);
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE("line " + std::to_string(expected[i].number));
        EXPECT_EQ(lines[i].number, expected[i].number);
        EXPECT_EQ(lines[i].valid, expected[i].valid);
        EXPECT_EQ(lines[i].fields, expected[i].fields);
    }
}

TEST(DelimitedReaderTest, TabsSplitAndLinesAreCountedFromTheFile)
{
    const auto lines = readAll("a,b\tc\t\"x\ty\"\n\t\t\n", '\t');
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].fields, (std::vector<std::string>{"a,b", "c", "x\ty"}));

    TempDir dir;
    writeFile(dir.folder() + "a.txt", "1\n2\r\n\n3");
    EXPECT_EQ(DelimitedReader::countLines(dir.folder() + "a.txt"), 4);
    EXPECT_EQ(DelimitedReader::countLines(dir.folder() + "missing.txt"), -1);
}

// --- dBase ---

class DbfTest : public ::testing::Test {
protected:
    void SetUp() override { setRegional(RegionalSettings::usEnglish()); }
    void TearDown() override { setRegional(RegionalSettings::usEnglish()); }

    // NAME, HOURS (N 6.2), DAY (D); one row per entry, the second deleted.
    std::string makeTable(const char* codePage, const std::vector<std::string>& names)
    {
        const std::string path = dir.folder() + "table.dbf";
        DBFHandle h = DBFCreateEx(path.c_str(), codePage);
        EXPECT_NE(h, nullptr);
        DBFAddField(h, "NAME", FTString, 20, 0);
        DBFAddField(h, "HOURS", FTDouble, 6, 2);
        DBFAddNativeFieldType(h, "DAY", 'D', 8, 0);
        for (int i = 0; i < int(names.size()); ++i) {
            DBFWriteStringAttribute(h, i, 0, names[std::size_t(i)].c_str());
            DBFWriteDoubleAttribute(h, i, 1, 8.5 + i);
            char day[] = "20240312";
            DBFWriteAttributeDirectly(h, i, 2, day);
        }
        if (names.size() > 1)
            DBFMarkRecordDeleted(h, 1, 1);
        DBFClose(h);
        return path;
    }

    TempDir dir;
};

TEST_F(DbfTest, DeletedRowsArePassedOverAndValuesComeAsTheyWereMeant)
{
    // "M\xFC" is Windows-1252 for "Mü": LDID 87 names that code page.
    const std::string path = makeTable("LDID/87", {"M\xFCller", "Gone", "Ng"});
    setRegional([] {
        RegionalSettings r = RegionalSettings::usEnglish();
        r.decimalSeparator = ",";
        r.shortDateFormat = "d/m/yyyy";
        return r;
    }());
    std::string error;
    auto source = ImportSource::Open(ImportFormat::XBase, path, appState().dateFormatShown(), error);
    ASSERT_TRUE(source) << error;
    EXPECT_EQ(source->columnName(0), "NAME");
    EXPECT_EQ(source->columnName(2), "DAY");
    EXPECT_EQ(source->total(), 2); // the deleted row is not counted

    ImportRecord first, second, end;
    ASSERT_TRUE(source->next(first));
    ASSERT_TRUE(source->next(second));
    EXPECT_FALSE(source->next(end));
    EXPECT_EQ(first.number, 1);
    EXPECT_EQ(second.number, 3); // row 2 is deleted
    EXPECT_EQ(first.values[0].text, "Müller");
    EXPECT_EQ(first.values[1].text, "8.50");
    double hours = 0;
    EXPECT_TRUE(ImportHours(first.values[1], hours));
    EXPECT_DOUBLE_EQ(hours, 8.5); // dBase's point, not the regional comma
    EXPECT_EQ(first.values[2].text, "12/3/2024");
    double day = 0;
    EXPECT_TRUE(ImportDate(first.values[2], day));
    EXPECT_EQ(day, EncodeDate(2024, 3, 12));
}

// Other programs write YYYY-MM-DD whatever the regional format: a text file
// and a dBase character field are read both ways, and so is the field map's sample.
TEST_F(DbfTest, ImportDatesAreReadAsYearMonthDayAndInTheRegionalFormat)
{
    setRegional([] {
        RegionalSettings r = RegionalSettings::usEnglish();
        r.shortDateFormat = "d.m.yyyy";
        r.dateSeparator = ".";
        return r;
    }());
    const std::string text = dir.folder() + "dates.csv";
    writeFile(text, "2024-03-12,12.3.2024, 2024-03-12 ,2024-02-30,2024-3-12,2024-03-12x,12/03/2024\n");
    std::string error;
    auto source = ImportSource::Open(ImportFormat::Comma, text, appState().dateFormatShown(), error);
    ASSERT_TRUE(source) << error;
    ImportRecord line;
    ASSERT_TRUE(source->next(line));
    ASSERT_EQ(line.values.size(), 7u);
    const double march12 = EncodeDate(2024, 3, 12);
    for (std::size_t i = 0; i < line.values.size(); ++i) {
        double day = 0;
        const bool read = ImportDate(line.values[i], day);
        EXPECT_EQ(read, i < 3) << line.values[i].text;
        EXPECT_EQ(SampleIsDate(line.values[i].text), i < 3) << line.values[i].text;
        if (read) {
            EXPECT_EQ(day, march12) << line.values[i].text;
        }
    }

    source = ImportSource::Open(ImportFormat::XBase, makeTable(nullptr, {"2024-03-12"}), appState().dateFormatShown(),
                                error);
    ASSERT_TRUE(source) << error;
    ASSERT_TRUE(source->next(line));
    double day = 0;
    EXPECT_TRUE(ImportDate(line.values[0], day)); // NAME, a character field
    EXPECT_EQ(day, march12);
}

TEST_F(DbfTest, TablesWhoseHeaderDoesNotHoldTogetherAreRefused)
{
    const std::string path = makeTable(nullptr, {"A", "B"});
    exchange::DbfTable table;
    std::string error;
    ASSERT_TRUE(table.open(path, error)) << error;
    EXPECT_EQ(table.recordCount(), 2);
    table.close();

    std::string bytes = readFile(path);
    bytes[4] = char(200); // 200 records claimed, 2 present
    writeFile(path, bytes);
    EXPECT_FALSE(table.open(path, error));
    EXPECT_FALSE(table.isOpen());

    writeFile(path, "not a table at all");
    EXPECT_FALSE(table.open(path, error));
    EXPECT_FALSE(table.open(dir.folder() + "missing.dbf", error));
}

// --- field definition files ---

class DefinitionFileTest : public ::testing::Test {
protected:
    std::vector<TImportFieldType> load(ImportType type, const std::string& folder)
    {
        std::vector<TImportFieldType> fields;
        LoadImportFields(type, folder, fields);
        return fields;
    }

    ScriptedMessageService messages;
    TempDir dir;
};

TEST_F(DefinitionFileTest, OurThreeFilesLoadWithTheKeysAtTheirPositions)
{
    const std::string program = HV_PROGRAM_DIR;
    auto keys = [&](ImportType type) {
        std::vector<std::string> out;
        for (const auto& f : load(type, program))
            out.push_back(std::to_string(f.Position) + ":" + f.Key);
        return out;
    };
    EXPECT_EQ(
        keys(ImportType::TimeCard),
        (std::vector<std::string>{"0:LastName", "1:FirstName", "2:EmpID", "3:WeekDate", "4:TimeIn1", "5:TimeOut1",
                                  "6:TimeIn2", "7:TimeOut2", "8:TimeIn3", "9:TimeOut3", "10:TimeIn4", "11:TimeOut4"}));
    EXPECT_EQ(keys(ImportType::TimeOff).size(), 6u);
    const auto employee = load(ImportType::Employee, program);
    ASSERT_EQ(employee.size(), 19u);
    EXPECT_EQ(employee[14].Key, "PostCode");
    EXPECT_EQ(employee[3].DisplayName, "Start Date");
    EXPECT_EQ(employee[3].DataType, ImportDataType::Date);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(DefinitionFileTest, DamagedFilesAreRefusedWithTheMessage)
{
    const std::string good = readFile(std::string(HV_PROGRAM_DIR) + "hourvane.tid");
    ASSERT_EQ(good.size(), 12 * exchange::kFieldRecordSize);
    const std::string folder = dir.folder();

    std::string longName = good;
    longName[0] = char(31); // one more than its 30 bytes
    std::vector<exchange::FieldDefinition> defs;
    std::string error;
    ASSERT_TRUE(exchange::parseFieldDefinitions(good, defs, error));
    defs.resize(7); // up to TimeIn2: no "TimeOut2"

    for (const std::string& bytes : {good.substr(0, good.size() - 5), longName, exchange::encodeFieldDefinitions(defs),
                                     std::string(257 * exchange::kFieldRecordSize, '\0')}) {
        writeFile(folder + "hourvane.tid", bytes);
        messages.clear();
        EXPECT_TRUE(load(ImportType::TimeCard, folder).empty());
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.last(), "The field definition file hourvane.tid is missing or damaged.");
        EXPECT_EQ(messages.shown()[0].kind, MsgKind::Error);
    }
    std::filesystem::remove(folder + "hourvane.tid");
    EXPECT_TRUE(load(ImportType::TimeCard, folder).empty());
    EXPECT_EQ(messages.last(), "The field definition file hourvane.tid is missing or damaged.");
}

} // namespace
} // namespace hv::test
