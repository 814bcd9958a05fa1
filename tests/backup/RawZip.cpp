#include "tests/backup/RawZip.h"

#include "platform/ZipArchive.h"
#include "tests/support/TempDir.h"

#include <zlib.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace hv::test {
namespace {

void put16(std::string& out, unsigned v)
{
    out += char(v & 0xff);
    out += char((v >> 8) & 0xff);
}

void put32(std::string& out, std::uint32_t v)
{
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// The entry's stored bytes and CRC; zeros are fed in pieces.
std::string body(const RawEntry& e, std::uint32_t& crc, std::uint32_t& size)
{
    const std::string zeroChunk(1 << 20, '\0');
    crc = crc32(0, nullptr, 0);
    std::uint64_t total = 0;
    std::string out;
    z_stream z{};
    if (e.deflate && deflateInit2(&z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    auto feed = [&](const std::string& piece, bool last) {
        crc = crc32(crc, reinterpret_cast<const Bytef*>(piece.data()), uInt(piece.size()));
        total += piece.size();
        if (!e.deflate) {
            out += piece;
            return;
        }
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.data()));
        z.avail_in = uInt(piece.size());
        char buffer[65536];
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            deflate(&z, last ? Z_FINISH : Z_NO_FLUSH);
            out.append(buffer, sizeof buffer - z.avail_out);
        } while (z.avail_out == 0 || (last && z.avail_in > 0));
    };
    feed(e.data, e.zeros == 0);
    for (std::uint64_t left = e.zeros; left > 0;) {
        const std::uint64_t n = std::min<std::uint64_t>(left, zeroChunk.size());
        left -= n;
        feed(zeroChunk.substr(0, n), left == 0);
    }
    if (e.deflate)
        deflateEnd(&z);
    size = std::uint32_t(total);
    return out;
}

} // namespace

void WriteRawZip(const std::string& path, const std::vector<RawEntry>& entries)
{
    std::string file, directory;
    for (const auto& e : entries) {
        std::uint32_t crc = 0, size = 0;
        std::string data = body(e, crc, size);
        if (e.flipByte && *e.flipByte < data.size())
            data[*e.flipByte] = char(data[*e.flipByte] ^ 0x5a);
        const std::uint32_t declared = e.declaredSize.value_or(size);
        auto header = [&](std::string& out, bool central) {
            put32(out, central ? 0x02014b50 : 0x04034b50);
            if (central)
                put16(out, 20); // made by
            put16(out, 20);     // needed
            put16(out, 0);      // flags
            put16(out, e.deflate ? 8 : 0);
            put16(out, 0);    // time
            put16(out, 0x21); // 1 January 1980
            put32(out, crc);
            put32(out, std::uint32_t(data.size()));
            put32(out, declared);
            put16(out, unsigned(e.name.size()));
            put16(out, 0); // extra
        };
        const std::uint32_t offset = std::uint32_t(file.size());
        header(file, false);
        file += e.name;
        file += data;
        header(directory, true);
        put16(directory, 0); // comment
        put16(directory, 0); // disk
        put16(directory, 0); // internal attributes
        put32(directory, 0); // external attributes
        put32(directory, offset);
        directory += e.name;
    }
    const std::uint32_t start = std::uint32_t(file.size());
    file += directory;
    put32(file, 0x06054b50);
    put16(file, 0);
    put16(file, 0);
    put16(file, unsigned(entries.size()));
    put16(file, unsigned(entries.size()));
    put32(file, std::uint32_t(directory.size()));
    put32(file, start);
    put16(file, 0);
    std::ofstream(path, std::ios::binary) << file;
}

std::vector<RawEntry> ReadEntries(const std::string& path)
{
    std::vector<ZipEntryInfo> infos;
    ZipError error;
    if (!ZipArchive::list(path, infos, error))
        throw std::runtime_error(error.text);
    TempDir dir;
    std::vector<ZipExtractItem> items;
    for (std::size_t i = 0; i < infos.size(); ++i)
        items.push_back({int(i), dir.folder() + std::to_string(i)});
    if (!ZipArchive::extract(path, items, nullptr, error))
        throw std::runtime_error(error.text);
    std::vector<RawEntry> out;
    for (std::size_t i = 0; i < infos.size(); ++i) {
        std::ifstream in(items[i].targetPath, std::ios::binary);
        std::ostringstream data;
        data << in.rdbuf();
        out.push_back({infos[i].name, data.str()});
    }
    return out;
}

} // namespace hv::test
