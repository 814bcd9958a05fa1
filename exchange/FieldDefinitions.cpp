#include "exchange/FieldDefinitions.h"

#include "exchange/TextDecoding.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace hv::exchange {
namespace {

constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kKeyOffset = 31;
constexpr std::size_t kTypeOffset = 42;
constexpr std::size_t kSizeOffset = 44;

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

void putText(std::string& record, std::size_t offset, std::size_t room, const std::string& text)
{
    const std::size_t n = std::min(text.size(), room);
    record[offset] = char(n);
    record.replace(offset + 1, n, text.substr(0, n));
}

} // namespace

bool parseFieldDefinitions(const std::string& bytes, std::vector<FieldDefinition>& out, std::string& error)
{
    out.clear();
    if (bytes.size() % kFieldRecordSize != 0) {
        error = "the size is not a multiple of 48 bytes";
        return false;
    }
    const std::size_t count = bytes.size() / kFieldRecordSize;
    if (count > kMaxFieldRecords) {
        error = "more than 256 fields";
        return false;
    }
    for (std::size_t r = 0; r < count; ++r) {
        const char* rec = bytes.data() + r * kFieldRecordSize;
        const auto nameLength = static_cast<unsigned char>(rec[kNameOffset]);
        const auto keyLength = static_cast<unsigned char>(rec[kKeyOffset]);
        const auto typeLength = static_cast<unsigned char>(rec[kTypeOffset]);
        if (nameLength > kMaxDisplayNameBytes || keyLength > kMaxKeyBytes || typeLength > 1) {
            error = "record " + std::to_string(r + 1) + " has a length byte larger than its field";
            out.clear();
            return false;
        }
        FieldDefinition f;
        f.displayName = decodeText(std::string(rec + kNameOffset + 1, nameLength), CodePage::Auto);
        f.key = decodeText(std::string(rec + kKeyOffset + 1, keyLength), CodePage::Auto);
        f.typeCode = typeLength == 1 ? rec[kTypeOffset + 1] : 0;
        const auto* s = reinterpret_cast<const unsigned char*>(rec + kSizeOffset);
        f.size = std::int32_t(std::uint32_t(s[0]) | std::uint32_t(s[1]) << 8 | std::uint32_t(s[2]) << 16 |
                              std::uint32_t(s[3]) << 24);
        f.position = int(r);
        out.push_back(std::move(f));
    }
    return true;
}

bool readFieldDefinitionFile(const std::string& path, std::vector<FieldDefinition>& out, std::string& error)
{
    out.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        error = "the file cannot be opened";
        return false;
    }
    // More than 256 records is refused anyway: read no further than that.
    std::string bytes(kFieldRecordSize * kMaxFieldRecords + 1, '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(std::size_t(in.gcount()));
    return parseFieldDefinitions(bytes, out, error);
}

std::string encodeFieldDefinitions(const std::vector<FieldDefinition>& fields)
{
    std::string bytes;
    for (const auto& f : fields) {
        std::string record(kFieldRecordSize, '\0');
        putText(record, kNameOffset, kMaxDisplayNameBytes, f.displayName);
        putText(record, kKeyOffset, kMaxKeyBytes, f.key);
        record[kTypeOffset] = f.typeCode ? 1 : 0;
        record[kTypeOffset + 1] = f.typeCode;
        const auto size = std::uint32_t(f.size);
        for (int i = 0; i < 4; ++i)
            record[kSizeOffset + std::size_t(i)] = char((size >> (8 * i)) & 0xFF);
        bytes += record;
    }
    return bytes;
}

bool writeFieldDefinitionFile(const std::string& path, const std::vector<FieldDefinition>& fields, std::string& error)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        const std::string bytes = encodeFieldDefinitions(fields);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            error = "cannot write " + temporary;
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "cannot rename " + temporary + " to " + path;
        return false;
    }
    return true;
}

bool parseFieldDefinitionSource(const std::string& text, std::vector<FieldDefinition>& out, std::string& error)
{
    out.clear();
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const std::string content = trimmed(line);
        if (content.empty() || content.front() == '#')
            continue;
        std::vector<std::string> parts;
        std::size_t start = 0;
        for (;;) {
            const std::size_t bar = content.find('|', start);
            parts.push_back(trimmed(content.substr(start, bar - start)));
            if (bar == std::string::npos)
                break;
            start = bar + 1;
        }
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (parts.size() != 4) {
            error = where + "expected display name|key|type|size";
            return false;
        }
        FieldDefinition f;
        f.displayName = parts[0];
        f.key = parts[1];
        if (f.displayName.size() > kMaxDisplayNameBytes || f.key.size() > kMaxKeyBytes) {
            error = where + "the display name or key is too long";
            return false;
        }
        if (parts[2].size() != 1) {
            error = where + "the type is one letter";
            return false;
        }
        f.typeCode = parts[2][0];
        try {
            std::size_t used = 0;
            f.size = std::stoi(parts[3], &used);
            if (used != parts[3].size())
                throw std::invalid_argument(parts[3]);
        } catch (const std::exception&) {
            error = where + "the size is not a whole number";
            return false;
        }
        f.position = int(out.size());
        out.push_back(std::move(f));
        if (out.size() > kMaxFieldRecords) {
            error = "more than 256 fields";
            return false;
        }
    }
    return true;
}

} // namespace hv::exchange
