#pragma once
// The version lines of the splash and about windows, made from the program
// file's version information.
#include <functional>
#include <string>

namespace hv {

// A field of the program's version information ("ProductName", "FileVersion",
// "LegalCopyright", "Comments"); the program passes GetVersionString for its
// own file.
using VersionLookup = std::function<std::string(const std::string& field)>;

// "Version " + major + "." + minor, + "." + release when the release is above 0;
// withBuild appends "   Build " + the text after the last dot.
std::string VersionText(const std::string& fileVersion, bool withBuild);

inline constexpr const char* kEditionText = "Hourvane Standard";

} // namespace hv
