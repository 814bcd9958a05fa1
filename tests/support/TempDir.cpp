#include "tests/support/TempDir.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace hv::test {

TempDir::TempDir()
{
    std::string tmpl = (std::filesystem::temp_directory_path() / "hvtest-XXXXXX").string();
    if (!mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = tmpl;
}

TempDir::~TempDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

} // namespace hv::test
