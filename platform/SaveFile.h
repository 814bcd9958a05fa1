#pragma once
// Completing a file written through QSaveFile.
#include <string>

class QSaveFile;

namespace hv {

// Renames the temporary file into place only when every byte reached it;
// otherwise removes it, leaves the file it would have replaced as it was, and
// gives the reason. QSaveFile::commit() alone writes the last buffered bytes
// as it closes and renames even when that write failed (a full disk), so the
// old file would be replaced by a truncated one and success reported.
bool CommitSaveFile(QSaveFile& file, std::string& error);

} // namespace hv
