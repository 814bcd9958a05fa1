// libzip behind the archive operations the backup needs. libzip reads file
// sources only when the archive is closed and checks an entry's CRC only when
// the entry is read to its end, so testing means reading every entry through.
#include "platform/ZipArchive.h"

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace hv {
namespace {

constexpr std::size_t kChunk = 256 * 1024;

ZipError fromCode(int code)
{
    zip_error_t e;
    zip_error_init_with_code(&e, code);
    ZipError out{code, zip_error_strerror(&e)};
    zip_error_fini(&e);
    return out;
}

ZipError fromArchive(zip_t* za)
{
    zip_error_t* e = zip_get_error(za);
    return {zip_error_code_zip(e), zip_error_strerror(e)};
}

ZipError fromFile(zip_file_t* f)
{
    zip_error_t* e = zip_file_get_error(f);
    return {zip_error_code_zip(e), zip_error_strerror(e)};
}

ZipError fromErrno(int code, const std::string& what) { return {ZIP_ER_WRITE, what + ": " + std::strerror(code)}; }

// Closes a read-only archive however the caller leaves.
struct Reader {
    zip_t* za = nullptr;
    ~Reader()
    {
        if (za)
            zip_discard(za);
    }
    bool open(const std::string& path, ZipError& error)
    {
        int code = 0;
        za = zip_open(path.c_str(), ZIP_RDONLY, &code);
        if (!za)
            error = fromCode(code);
        return za != nullptr;
    }
};

bool stat(zip_t* za, zip_uint64_t index, ZipEntryInfo& info, ZipError& error)
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(za, index, ZIP_FL_ENC_RAW, &st) != 0) {
        error = fromArchive(za);
        return false;
    }
    info.name = st.name ? st.name : "";
    info.size = (st.valid & ZIP_STAT_SIZE) ? st.size : 0;
    info.crc = (st.valid & ZIP_STAT_CRC) ? st.crc : 0;
    return true;
}

// Reads one entry through, handing each piece to sink; stops one byte past the
// declared size. False with the reason when the entry is bad or sink refused.
template <class Sink>
bool readEntry(zip_t* za, zip_uint64_t index, const ZipEntryInfo& info, ZipProgress* progress, Sink&& sink,
               ZipError& error)
{
    zip_file_t* f = zip_fopen_index(za, index, 0);
    if (!f) {
        error = fromArchive(za);
        return false;
    }
    std::vector<char> buffer(kChunk);
    std::uint64_t done = 0;
    bool ok = true;
    for (;;) {
        std::uint64_t want = std::min<std::uint64_t>(buffer.size(), info.size + 1 - done);
        zip_int64_t n = zip_fread(f, buffer.data(), want);
        if (n < 0) {
            error = fromFile(f);
            ok = false;
            break;
        }
        if (n == 0)
            break;
        done += std::uint64_t(n);
        if (done > info.size) {
            error = {ZIP_ER_INCONS, "Entry " + info.name + " holds more than its declared size"};
            ok = false;
            break;
        }
        if (!sink(buffer.data(), std::size_t(n), error)) {
            ok = false;
            break;
        }
        if (progress)
            progress->progress(std::uint64_t(n));
    }
    if (ok && done != info.size) {
        error = {ZIP_ER_INCONS, "Entry " + info.name + " is shorter than its declared size"};
        ok = false;
    }
    zip_fclose(f);
    return ok;
}

bool syncAndClose(int fd)
{
    bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

} // namespace

namespace ZipArchive {

bool create(const std::string& path, const std::vector<ZipSource>& sources, int level, ZipProgress* progress,
            ZipError& error)
{
    int code = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!za) {
        error = fromCode(code);
        return false;
    }
    std::uint64_t total = 0;
    for (const auto& s : sources) {
        std::error_code ec;
        total += fs::file_size(s.filePath, ec);
        zip_source_t* src = zip_source_file(za, s.filePath.c_str(), 0, -1);
        zip_int64_t index = src ? zip_file_add(za, s.entryName.c_str(), src, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            error = fromArchive(za);
            if (src)
                zip_source_free(src);
            zip_discard(za);
            return false;
        }
        if (zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, zip_uint32_t(level)) != 0) {
            error = fromArchive(za);
            zip_discard(za);
            return false;
        }
    }
    struct State {
        ZipProgress* progress;
        std::uint64_t total;
        std::uint64_t reported = 0;
    } state{progress, total};
    if (progress) {
        progress->totalSize(total);
        // libzip reports a fraction of the whole work, and only while closing.
        zip_register_progress_callback_with_state(
            za, 0.001,
            [](zip_t*, double fraction, void* ud) {
                auto* s = static_cast<State*>(ud);
                auto now = std::uint64_t(std::llround(std::clamp(fraction, 0.0, 1.0) * double(s->total)));
                if (now > s->reported) {
                    s->progress->progress(now - s->reported);
                    s->reported = now;
                }
            },
            nullptr, &state);
    }
    if (zip_close(za) != 0) {
        error = fromArchive(za);
        zip_discard(za);
        if (progress)
            progress->endOfBatch();
        return false;
    }
    if (progress) {
        if (state.reported < total)
            progress->progress(total - state.reported);
        progress->endOfBatch();
    }
    return true;
}

bool list(const std::string& path, std::vector<ZipEntryInfo>& entries, ZipError& error)
{
    entries.clear();
    Reader r;
    if (!r.open(path, error))
        return false;
    zip_int64_t n = zip_get_num_entries(r.za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        ZipEntryInfo info;
        if (!stat(r.za, zip_uint64_t(i), info, error))
            return false;
        entries.push_back(std::move(info));
    }
    return true;
}

bool test(const std::string& path, ZipTestResult& result, ZipProgress* progress, ZipError& error)
{
    result = {};
    std::vector<ZipEntryInfo> entries;
    if (!list(path, entries, error))
        return false;
    Reader r;
    if (!r.open(path, error))
        return false;
    result.entries = int(entries.size());
    if (progress) {
        std::uint64_t total = 0;
        for (const auto& e : entries)
            total += e.size;
        progress->totalSize(total);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ZipError bad;
        std::uint32_t crc = crc32(0, nullptr, 0);
        auto sink = [&crc](const char* data, std::size_t n, ZipError&) {
            crc = crc32(crc, reinterpret_cast<const Bytef*>(data), uInt(n));
            return true;
        };
        if (readEntry(r.za, i, entries[i], progress, sink, bad) && crc == entries[i].crc)
            result.good.push_back(entries[i]);
        else if (progress)
            progress->message(bad.code ? bad.code : ZIP_ER_CRC,
                              entries[i].name + ": " + (bad.text.empty() ? "CRC error" : bad.text));
    }
    if (progress)
        progress->endOfBatch();
    return true;
}

bool extract(const std::string& path, const std::vector<ZipExtractItem>& items, ZipProgress* progress, ZipError& error)
{
    std::vector<ZipEntryInfo> entries;
    if (!list(path, entries, error))
        return false;
    Reader r;
    if (!r.open(path, error))
        return false;
    std::uint64_t total = 0;
    for (const auto& item : items) {
        if (item.index < 0 || std::size_t(item.index) >= entries.size()) {
            error = fromCode(ZIP_ER_INVAL);
            return false;
        }
        total += entries[std::size_t(item.index)].size;
    }
    if (progress)
        progress->totalSize(total);
    bool ok = true;
    for (const auto& item : items) {
        const ZipEntryInfo& info = entries[std::size_t(item.index)];
        std::string part = item.targetPath + ".part";
        int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            error = fromErrno(errno, part);
            ok = false;
            break;
        }
        std::uint32_t crc = crc32(0, nullptr, 0);
        auto sink = [&](const char* data, std::size_t n, ZipError& e) {
            crc = crc32(crc, reinterpret_cast<const Bytef*>(data), uInt(n));
            while (n > 0) {
                ssize_t w = ::write(fd, data, n);
                if (w < 0 && errno == EINTR)
                    continue;
                if (w <= 0) {
                    e = fromErrno(w < 0 ? errno : EIO, item.targetPath);
                    return false;
                }
                data += w;
                n -= std::size_t(w);
            }
            return true;
        };
        bool good = readEntry(r.za, zip_uint64_t(item.index), info, progress, sink, error);
        if (good && crc != info.crc) {
            error = fromCode(ZIP_ER_CRC);
            good = false;
        }
        if (!syncAndClose(fd) && good) {
            error = fromErrno(errno, item.targetPath);
            good = false;
        }
        if (good && std::rename(part.c_str(), item.targetPath.c_str()) != 0) {
            error = fromErrno(errno, item.targetPath);
            good = false;
        }
        if (!good) {
            ::unlink(part.c_str());
            ok = false;
            break;
        }
    }
    if (progress)
        progress->endOfBatch();
    return ok;
}

} // namespace ZipArchive

bool FileCrc32(const std::string& path, std::uint64_t& size, std::uint32_t& crc)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::vector<unsigned char> buffer(kChunk);
    size = 0;
    crc = crc32(0, nullptr, 0);
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), f)) > 0) {
        crc = crc32(crc, buffer.data(), uInt(n));
        size += n;
    }
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

} // namespace hv
