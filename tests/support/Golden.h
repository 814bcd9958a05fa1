#pragma once
// Compares a text with its golden file. On a mismatch the test fails with the
// first differing lines and the command that rewrites the golden files;
// with HV_UPDATE_GOLDEN=1 in the environment the file is rewritten instead
// (review the rewritten files in the diff).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace hv::test {

inline std::vector<std::string> goldenLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// rerun: the test program's path, for the message ("build/tests/reports/test_reports").
inline void ExpectGolden(const std::string& actual, const std::string& goldenPath, const std::string& rerun)
{
    const char* update = std::getenv("HV_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream out(goldenPath, std::ios::binary | std::ios::trunc);
        out << actual;
        ASSERT_TRUE(out.good()) << "could not write " << goldenPath;
        return;
    }
    std::ifstream in(goldenPath, std::ios::binary);
    ASSERT_TRUE(in.good()) << goldenPath << " is missing; create it with:\n  HV_UPDATE_GOLDEN=1 " << rerun;
    std::ostringstream expected;
    expected << in.rdbuf();
    if (expected.str() == actual)
        return;
    const std::vector<std::string> want = goldenLines(expected.str());
    const std::vector<std::string> got = goldenLines(actual);
    std::size_t i = 0;
    while (i < want.size() && i < got.size() && want[i] == got[i])
        ++i;
    std::ostringstream report;
    report << goldenPath << " differs from line " << i + 1 << ":\n";
    for (std::size_t k = i; k < i + 5; ++k) {
        if (k < want.size())
            report << "  golden: " << want[k] << "\n";
        if (k < got.size())
            report << "  actual: " << got[k] << "\n";
    }
    report << "If the change is intended, rewrite the golden files and review the diff:\n  HV_UPDATE_GOLDEN=1 "
           << rerun;
    ADD_FAILURE() << report.str();
}

} // namespace hv::test
