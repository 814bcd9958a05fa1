#include "storage/StagedRestore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace hv {
namespace {

constexpr const char* kMarkerHeader = "hourvane restore 1";
constexpr const char* kMarkerEnd = "end";

bool plainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\t') == std::string::npos && name.find('\n') == std::string::npos;
}

std::string at(const std::string& folder, const std::string& name) { return (fs::path(folder) / name).string(); }

bool writeSynced(const std::string& path, const std::string& text, std::string& error)
{
    const std::string tmp = path + ".tmp";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = tmp + ": " + std::strerror(errno);
        return false;
    }
    bool ok = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = path + ": " + std::strerror(errno ? errno : EIO);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

bool readMarker(const std::string& path, std::vector<StagedFile>& files)
{
    std::ifstream in(path);
    std::string line;
    if (!std::getline(in, line) || line != kMarkerHeader)
        return false;
    while (std::getline(in, line)) {
        if (line == kMarkerEnd)
            return true;
        auto tab = line.find('\t');
        if (tab == std::string::npos)
            return false;
        StagedFile f{line.substr(0, tab), line.substr(tab + 1)};
        if (!plainName(f.staged) || !plainName(f.target))
            return false;
        files.push_back(f);
    }
    return false; // no end line: not a marker this program wrote
}

} // namespace

bool SyncFolder(const std::string& folder)
{
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

bool RestoreLeftovers(const std::string& dataFolder)
{
    std::error_code ec;
    return fs::exists(at(dataFolder, kRestoreMarkerFile), ec) || fs::exists(at(dataFolder, kRestoreStagingFolder), ec);
}

bool CommitStagedRestore(const std::string& dataFolder, const std::vector<StagedFile>& files, std::string& error)
{
    std::ostringstream text;
    text << kMarkerHeader << '\n';
    for (const auto& f : files) {
        if (!plainName(f.staged) || !plainName(f.target)) {
            error = "bad file name " + f.staged + " / " + f.target;
            return false;
        }
        text << f.staged << '\t' << f.target << '\n';
    }
    text << kMarkerEnd << '\n';
    // The staged files themselves must be on disk before the marker sends anyone to them.
    if (!SyncFolder(at(dataFolder, kRestoreStagingFolder)) ||
        !writeSynced(at(dataFolder, kRestoreMarkerFile), text.str(), error) || !SyncFolder(dataFolder)) {
        if (error.empty())
            error = dataFolder + ": " + std::strerror(errno ? errno : EIO);
        return false;
    }
    return FinishStagedRestore(dataFolder, error);
}

bool FinishStagedRestore(const std::string& dataFolder, std::string& error)
{
    const std::string marker = at(dataFolder, kRestoreMarkerFile);
    const std::string staging = at(dataFolder, kRestoreStagingFolder);
    std::error_code ec;
    if (fs::exists(marker, ec)) {
        std::vector<StagedFile> files;
        if (!readMarker(marker, files)) {
            error = marker + ": not a restore marker of this program";
            return false;
        }
        for (const auto& f : files) {
            const std::string source = at(staging, f.staged);
            if (!fs::exists(source, ec))
                continue; // moved before the copy that began it stopped
            const std::string target = at(dataFolder, f.target);
            fs::remove(target + "-journal", ec);
            if (ec) {
                error = target + "-journal: " + ec.message();
                return false;
            }
            fs::rename(source, target, ec);
            if (ec) {
                error = target + ": " + ec.message();
                return false;
            }
        }
        if (!SyncFolder(dataFolder)) {
            error = dataFolder + ": " + std::strerror(errno);
            return false;
        }
        fs::remove(marker, ec);
        if (ec) {
            error = marker + ": " + ec.message();
            return false;
        }
        SyncFolder(dataFolder);
    }
    fs::remove_all(staging, ec);
    if (ec) {
        error = staging + ": " + ec.message();
        return false;
    }
    return true;
}

} // namespace hv
