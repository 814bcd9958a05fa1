#pragma once
// Shell utilities that need no widgets: version strings, path shortening for
// display, the folder test, screen scaling arithmetic and the login name.
#include <functional>
#include <string>

namespace hv {

// The first maxChars characters of UTF-8 text, never splitting a character.
std::string CutToCharacters(const std::string& text, std::size_t maxChars);

// The login name of the session; empty when it cannot be found.
std::string LoginUserName();

// The running program's file (the file that carries the version information).
std::string ProgramFileName();

// A field of a file's version information ("ProductName", "FileVersion",
// "LegalCopyright", "Comments", ...). Only the program's own file carries
// version information; other files give "No Version Info", an unknown field
// "Error Retrieving Version Info", a known but empty one "No such Version Info".
// A file that cannot be examined shows an error box (Abort) and gives
// "No Version Info".
std::string GetVersionString(const std::string& fileName, const std::string& field);

// Measures the drawn width of a text in pixels.
using TextWidth = std::function<int(const std::string&)>;

// The path shortened folder by folder ("C:\...\C\f.txt", "...\f.txt") until it
// is no wider than width; at worst the bare file name. Paths with "\" use that
// separator, others "/".
std::string ShortenPath(const std::string& path, const TextWidth& measure, int width);

// True when the path exists and is a folder.
bool FolderExists(const std::string& path);

// Where the files that ship beside the programs (tip file, help pages,
// definition files) are: the executable's own folder in a build tree, or
// <prefix>/share/hourvane/ when the programs are installed in <prefix>/bin.
// Always with a trailing separator.
std::string ProgramFilesFolder(const std::string& executableFolder);

// A design-time length at 96 pixels per inch scaled to a screen of the given
// logical pixels per inch, rounded to the nearest integer.
int ScaleLength(int length, double logicalDpi);

} // namespace hv
