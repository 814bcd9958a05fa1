#include "tests/fuzz/FuzzTargets.h"

#include "exchange/DbfTable.h"
#include "exchange/DelimitedReader.h"
#include "exchange/FieldDefinitions.h"
#include "exchange/TextDecoding.h"
#include "backup/ArchiveEntries.h"
#include "exchange/migrate/ConvertData.h"
#include "platform/SettingsFile.h"
#include "platform/ZipArchive.h"
#include "reportengine/PageFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace hv::fuzz {
namespace {

void check(bool promise, const char* what)
{
    if (!promise) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        std::abort();
    }
}

std::string bytesOf(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

// Readers that take a path get the input through this process's own file.
std::string fileOf(const std::uint8_t* data, std::size_t size, const char* extension)
{
    const std::string path = "/tmp/hv-fuzz-" + std::to_string(::getpid()) + extension;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path;
}

} // namespace

int delimited(const std::uint8_t* data, std::size_t size)
{
    for (char delimiter : {',', '\t'}) {
        exchange::DelimitedReader reader(delimiter);
        reader.openBytes(bytesOf(data, size));
        exchange::DelimitedLine line;
        int previous = 0;
        while (reader.next(line)) {
            check(line.number > previous, "line numbers grow");
            previous = line.number;
            check(line.fields.size() <= exchange::DelimitedReader::kMaxFields, "at most 256 fields");
            check(line.valid || line.fields.empty(), "an invalid line has no fields");
            for (const auto& f : line.fields)
                check(exchange::isValidUtf8(f), "fields are UTF-8");
        }
    }
    return 0;
}

int dbf(const std::uint8_t* data, std::size_t size)
{
    // shapelib reads tables from files only.
    static const std::string path = "/tmp/hv-fuzz-" + std::to_string(::getpid()) + ".dbf";
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    exchange::DbfTable table;
    std::string error;
    if (table.open(path, error)) {
        check(table.recordCount() >= 0, "a record count");
        std::vector<exchange::DbfValue> values;
        for (int r = 0; r < table.recordCount() && r < 1000; ++r) {
            table.isDeleted(r);
            if (table.readRecord(r, values))
                check(values.size() == table.fields().size(), "one value per field");
            for (const auto& v : values)
                check(exchange::isValidUtf8(v.text), "values are UTF-8");
        }
    }
    for (auto page : {exchange::CodePage::Auto, exchange::CodePage::Utf8, exchange::CodePage::Ibm437,
                      exchange::CodePage::Ibm850, exchange::CodePage::Windows1252})
        check(exchange::isValidUtf8(exchange::decodeText(bytesOf(data, size), page)), "decoded text is UTF-8");
    std::remove(path.c_str());
    return 0;
}

int tid(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes = bytesOf(data, size);
    std::vector<exchange::FieldDefinition> fields, again;
    std::string error;
    if (exchange::parseFieldDefinitions(bytes, fields, error)) {
        check(fields.size() <= exchange::kMaxFieldRecords, "at most 256 records");
        for (const auto& f : fields)
            check(exchange::isValidUtf8(f.displayName) && exchange::isValidUtf8(f.key), "texts are UTF-8");
    }
    if (exchange::parseFieldDefinitionSource(bytes, fields, error)) {
        // What the source tool accepts, the reader reads back as it was.
        check(exchange::parseFieldDefinitions(exchange::encodeFieldDefinitions(fields), again, error),
              "an encoded source reads back");
        check(again.size() == fields.size(), "as many records as fields");
        for (std::size_t i = 0; i < fields.size(); ++i)
            check(again[i].key == exchange::decodeText(fields[i].key, exchange::CodePage::Auto) &&
                      again[i].typeCode == fields[i].typeCode && again[i].size == fields[i].size,
                  "fields read back unchanged");
    }
    return 0;
}

int pagefile(const std::uint8_t* data, std::size_t size)
{
    report::PageSet pages, again;
    std::string error;
    report::PageFileLimits limits;
    limits.pages = 50;
    limits.itemsPerPage = 2000;
    limits.totalItems = 20000;
    if (report::ParsePageFile(bytesOf(data, size), pages, error, limits)) {
        check(int(pages.size()) <= limits.pages, "at most the page limit");
        // What the reader accepts, the writer writes back the same.
        check(report::ParsePageFile(report::PageFileText(pages), again, error, limits), "a written file reads back");
        check(again.size() == pages.size(), "as many pages read back");
        for (std::size_t p = 0; p < pages.size(); ++p)
            check(again[p].items == pages[p].items, "the same items read back");
    } else {
        check(!error.empty(), "a refusal says why");
    }
    return 0;
}

int settings(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fileOf(data, size, ".ini");
    {
        SettingsFile file(path);
        for (const char* key : {"HourvaneDataDir", "ShowTips", "LastBackup", "FirstWeekStartDate"})
            file.read("Initialization", key, "default");
        // A write keeps the rest of the file readable and holds the value written.
        if (file.write("Initialization", "LastBackup", "/tmp/x.zip"))
            check(file.read("Initialization", "LastBackup", "") == "/tmp/x.zip", "a written value reads back");
    }
    std::remove(path.c_str());
    return 0;
}

int archive(const std::uint8_t* data, std::size_t size)
{
    namespace fs = std::filesystem;
    const std::string path = fileOf(data, size, ".zip");
    const fs::path folder = path + ".d";
    std::vector<ZipEntryInfo> entries;
    ZipError error;
    // The restore's order: list, bound, test every entry, extract.
    if (ZipArchive::list(path, entries, error) && ArchiveEntriesAcceptable(entries, 1u << 20)) {
        ZipTestResult tested;
        if (ZipArchive::test(path, tested, nullptr, error)) {
            check(tested.entries == int(entries.size()), "every entry tested");
            check(tested.good.size() <= entries.size(), "no more good entries than entries");
        }
        std::error_code ec;
        fs::create_directory(folder, ec);
        std::vector<ZipExtractItem> items;
        for (std::size_t i = 0; i < entries.size(); ++i)
            items.push_back({int(i), (folder / ("e" + std::to_string(i))).string()});
        if (ZipArchive::extract(path, items, nullptr, error))
            for (std::size_t i = 0; i < entries.size(); ++i)
                check(fs::file_size(items[i].targetPath, ec) == entries[i].size, "extracted to the declared size");
        std::size_t files = 0;
        for (const auto& e : fs::directory_iterator(folder, ec)) {
            (void)e;
            ++files;
        }
        check(files <= entries.size(), "nothing but the chosen entries in the folder");
        fs::remove_all(folder, ec);
    }
    std::remove(path.c_str());
    return 0;
}

int extract(const std::uint8_t* data, std::size_t size)
{
    // The first byte picks the extract file the rest is read as.
    if (size == 0)
        return 0;
    const auto file = ExtractFile(data[0] % kExtractFileCount);
    std::vector<ExtractProblem> problems;
    const ExtractFileData read = ReadExtractFile(file, bytesOf(data + 1, size - 1), problems);
    for (const auto& p : problems) {
        check(p.line >= 0, "a problem names a line");
        check(!p.reason.empty() && exchange::isValidUtf8(p.reason), "a problem says why, in UTF-8");
    }
    (void)read;
    return 0;
}

int oldsettings(const std::uint8_t* data, std::size_t size)
{
    const std::string path = fileOf(data, size, ".INI");
    const OldSettings settings = ReadOldSettings(path);
    check(settings.fileFound, "the file is found");
    if (settings.weekHours)
        check(*settings.weekHours > 0 && *settings.weekHours <= 168, "week hours only when above 0 and at most 168");
    std::remove(path.c_str());
    return 0;
}

} // namespace hv::fuzz
