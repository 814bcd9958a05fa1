#include "platform/Shell.h"

#include "ports/MessageService.h"

#include <QCoreApplication>

#include <cctype>
#include <cmath>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace hv {
namespace {

namespace fs = std::filesystem;

struct VersionEntry {
    const char* field;
    const char* value;
};

// The program file's version information. An empty value is a field that is
// present but says nothing.
const VersionEntry kVersionInfo[] = {
    {"ProductName", "Hourvane 3"},
    {"FileVersion", HV_FILE_VERSION},
    {"ProductVersion", HV_FILE_VERSION},
    {"FileDescription", "Hourvane Standard"},
    {"LegalCopyright", "Copyright \xC2\xA9 The Hourvane authors. All rights reserved."},
    {"LegalTrademarks", ""},
    {"Comments", "Time cards, time off and benefits for small organisations."},
};

bool sameIgnoringCase(const std::string& a, const char* b)
{
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

[[noreturn]] void cannotExamine(const std::string& fileName, const std::error_code& ec)
{
    throw std::runtime_error("Cannot examine " + fileName + ": " + ec.message());
}

// Whether the file is the running program, which is the only file here that
// carries version information.
bool isProgramFile(const std::string& fileName)
{
    std::error_code ec;
    const fs::file_status st = fs::status(fileName, ec);
    if (st.type() == fs::file_type::not_found)
        return false;
    if (ec)
        cannotExamine(fileName, ec);
    const std::string program = ProgramFileName();
    if (program.empty())
        return false;
    const bool same = fs::equivalent(fileName, program, ec);
    if (ec)
        cannotExamine(fileName, ec);
    return same;
}

} // namespace

std::string CutToCharacters(const std::string& text, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A character starts at every byte that is not a continuation byte.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == maxChars)
                return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

std::string LoginUserName()
{
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found
        && found->pw_name && *found->pw_name)
        return found->pw_name;
    for (const char* variable : {"USER", "LOGNAME"})
        if (const char* value = std::getenv(variable); value && *value)
            return value;
    return {};
}

std::string ProgramFileName()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath().toStdString();
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

std::string GetVersionString(const std::string& fileName, const std::string& field)
{
    std::string result = "No Version Info";
    try {
        if (!isProgramFile(fileName))
            return result;
        result = "Error Retrieving Version Info";
        for (const VersionEntry& entry : kVersionInfo)
            if (sameIgnoringCase(field, entry.field))
                return *entry.value ? std::string(entry.value) : std::string("No such Version Info");
    } catch (const std::exception& e) {
        ShowMessageBox(std::string("Exception Error Retrieving Version Information") + "\r\r"
                           + e.what() + ".",
                       MsgKind::Error, MsgButtons::Abort);
        return "No Version Info";
    }
    return result;
}

std::string ShortenPath(const std::string& path, const TextWidth& measure, int width)
{
    const char sep = path.find('\\') != std::string::npos ? '\\' : '/';
    const std::string ellipsis = std::string("...") + sep;

    const std::size_t lastSep = path.rfind(sep);
    std::string folder = lastSep == std::string::npos ? std::string() : path.substr(0, lastSep + 1);
    const std::string file = lastSep == std::string::npos ? path : path.substr(lastSep + 1);
    std::string drive;
    if (folder.size() > 1 && folder[1] == ':') {
        drive = folder.substr(0, 2);
        folder.erase(0, 2);
    }

    std::string result = path;
    // Every step drops a folder or the drive, so the loop ends; the bound only
    // guards against a path this reasoning missed.
    for (std::size_t steps = 0; (!folder.empty() || !drive.empty()) && steps <= path.size() + 2;
         ++steps) {
        if (measure(result) <= width)
            break;
        if (folder == sep + ellipsis) {
            drive.clear();
            folder = ellipsis;
        } else if (folder.size() == 1 && folder[0] == sep) {
            // A bare root has no folder left to drop; putting the separator
            // back would never shorten the path.
            drive.clear();
            folder.clear();
        } else if (!folder.empty()) {
            const bool leading = folder[0] == sep;
            if (leading)
                folder.erase(0, 1);
            if (folder.compare(0, ellipsis.size(), ellipsis) == 0)
                folder.erase(0, ellipsis.size());
            const std::size_t next = folder.find(sep);
            folder = next == std::string::npos ? std::string() : ellipsis + folder.substr(next + 1);
            if (leading)
                folder.insert(folder.begin(), sep);
        } else {
            drive.clear();
        }
        result = drive + folder + file;
    }
    return result;
}

bool FolderExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

int ScaleLength(int length, double logicalDpi)
{
    const double factor = logicalDpi > 0 ? logicalDpi : 96.0;
    return int(std::lround(length * factor / 96.0));
}

std::string ProgramFilesFolder(const std::string& executableFolder)
{
    namespace fs = std::filesystem;
    std::string folder = executableFolder;
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    std::error_code ec;
    if (fs::exists(folder + "HOURVANE.TIP", ec))
        return folder;
    const fs::path shared = fs::path(folder).parent_path().parent_path() / "share" / "hourvane";
    if (fs::exists(shared / "HOURVANE.TIP", ec))
        return shared.string() + "/";
    return folder;
}

} // namespace hv
