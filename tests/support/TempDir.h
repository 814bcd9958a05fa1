#pragma once
// A fresh folder per test, removed with everything in it when the test ends.
#include <filesystem>
#include <string>

namespace hv::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    // The folder with a trailing separator, as the data module uses folders.
    std::string folder() const { return m_path.string() + "/"; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

} // namespace hv::test
