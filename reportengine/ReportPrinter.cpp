#include "reportengine/ReportPrinter.h"

#include <algorithm>
#include <charconv>

namespace hv::report {

namespace {

std::string trimmed(const std::string& s)
{
    const auto first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// A page number as typed: digits only, at least 1.
bool pageNumber(const std::string& text, int& value)
{
    const std::string t = trimmed(text);
    if (t.empty() || t.size() > 9 || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    std::from_chars(t.data(), t.data() + t.size(), value);
    return value >= 1;
}

} // namespace

bool ParsePageSelection(const std::string& text, int pageCount, std::vector<int>& pages, std::string& badPart)
{
    pages.clear();
    std::vector<bool> taken(std::size_t(std::max(pageCount, 0)) + 1, false);
    std::size_t start = 0;
    bool any = false;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (part.empty()) {
            if (end == text.size() && any)
                break;
            badPart = part;
            return false;
        }
        int from = 0, to = 0;
        const std::size_t dash = part.find('-');
        if (dash == std::string::npos) {
            if (!pageNumber(part, from)) {
                badPart = part;
                return false;
            }
            to = from;
        } else {
            const std::string a = trimmed(part.substr(0, dash));
            const std::string b = trimmed(part.substr(dash + 1));
            from = 1;
            to = pageCount;
            const bool ok =
                !(a.empty() && b.empty()) && (a.empty() || pageNumber(a, from)) && (b.empty() || pageNumber(b, to));
            if (!ok) {
                badPart = part;
                return false;
            }
        }
        any = true;
        for (int p = from; p <= std::min(to, pageCount); ++p)
            if (!taken[std::size_t(p)]) {
                taken[std::size_t(p)] = true;
                pages.push_back(p);
            }
    }
    return true;
}

std::vector<int> PagesToPrint(const PrintJob& job, int pageCount)
{
    std::vector<int> pages;
    if (pageCount <= 0)
        return pages;
    if (!job.selection.empty()) {
        std::string bad;
        ParsePageSelection(job.selection, pageCount, pages, bad);
        return pages;
    }
    const int first = std::clamp(job.firstPage, 1, pageCount);
    const int last = std::clamp(job.lastPage, 1, pageCount);
    for (int p = first; p <= last; ++p)
        pages.push_back(p);
    return pages;
}

bool PrintWithCopiesRule(ReportPrinter& printer, const PageSet& pages, const PrintJob& job, std::string& error,
                         const std::function<void(int)>& onPage)
{
    std::vector<const Page*> chosen;
    for (int p : PagesToPrint(job, int(pages.size())))
        chosen.push_back(&pages[std::size_t(p - 1)]);
    if (chosen.empty()) {
        error = "There are no pages to print.";
        return false;
    }
    const int copies = std::clamp(job.copies, 1, kMaxCopies);
    if (printer.maxCopies() > 1 || copies < 2) {
        PrintJob once = job;
        once.copies = copies;
        return printer.printPass(chosen, once, 1, 1, onPage, error);
    }
    PrintJob single = job;
    single.copies = 1;
    for (int pass = 1; pass <= copies; ++pass)
        if (!printer.printPass(chosen, single, pass, copies, onPage, error))
            return false;
    return true;
}

} // namespace hv::report
