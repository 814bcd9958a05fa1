#include "tests/fuzz/FuzzTargets.h"

#include "exchange/DbfTable.h"
#include "exchange/DelimitedReader.h"
#include "exchange/FieldDefinitions.h"
#include "exchange/TextDecoding.h"

#include <cstdio>
#include <cstdlib>
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

} // namespace hv::fuzz
