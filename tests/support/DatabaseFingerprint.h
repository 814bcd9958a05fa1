#pragma once
// Synthetic data folders from tools/hv_generate, and a fingerprint of every
// row of every table to tell two databases apart (or show them equal).
#include <string>

namespace hv::engine {
class Database;
}

namespace hv::test {

// Fills the folder with hv_generate; false (with the tool's output in
// errorText) when it fails.
bool GenerateData(const std::string& folder, int employees, int years, const std::string& seed,
                  std::string* errorText = nullptr);

// "<table file>=<rows>:<hash>;" for each of the fourteen tables and the memo
// file, over every column of every row, through a connection that has all of
// them open.
std::string DatabaseFingerprint(engine::Database& db);

// The same over a folder that no connection of this process has open (a
// second connection's closing would drop the first one's locks).
std::string FolderFingerprint(const std::string& folder);

} // namespace hv::test
