#pragma once
// The test side of the report printer: installed printers come from the
// printer query port, each may or may not make copies itself, and every
// pass is recorded with its pages and copies.
#include "ports/PrinterQuery.h"
#include "reportengine/ReportPrinter.h"
#include "storage/HVGlobal.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace hv::test {

class RecordingPrinter : public report::ReportPrinter {
public:
    struct Pass {
        std::string printer;
        int pass = 0;
        int passes = 0;
        int copies = 0;
        std::vector<report::Page> pages;
    };

    bool select(const std::string& name) override
    {
        const std::vector<std::string> installed = installedPrinters();
        if (std::find(installed.begin(), installed.end(), name) == installed.end())
            return false;
        m_name = name;
        return true;
    }
    std::string name() const override { return m_name; }
    std::string port() const override { return "LPT1:"; }
    int maxCopies() const override { return cannotCopy.count(m_name) ? 1 : report::kMaxCopies; }
    bool canCollate() const override { return true; }
    bool canDuplex() const override { return true; }
    report::PaperSize paper() const override { return {}; }
    bool printPass(const std::vector<const report::Page*>& pages, const report::PrintJob& job, int pass, int passes,
                   const std::function<void(int)>& onPage, std::string& error) override
    {
        Pass p{m_name, pass, passes, job.copies, {}};
        for (const report::Page* page : pages) {
            p.pages.push_back(*page);
            if (onPage)
                onPage(int(p.pages.size()));
        }
        recorded.push_back(p);
        return true;
    }

    // Printers that make one copy a job.
    std::set<std::string> cannotCopy;
    std::vector<Pass> recorded;

private:
    std::string m_name;
};

// Hands the recording printer to code that wants to own its printer.
class BorrowedPrinter : public report::ReportPrinter {
public:
    explicit BorrowedPrinter(report::ReportPrinter& target) : m_target(target) {}
    bool select(const std::string& name) override { return m_target.select(name); }
    std::string name() const override { return m_target.name(); }
    std::string port() const override { return m_target.port(); }
    int maxCopies() const override { return m_target.maxCopies(); }
    bool canCollate() const override { return m_target.canCollate(); }
    bool canDuplex() const override { return m_target.canDuplex(); }
    report::PaperSize paper() const override { return m_target.paper(); }
    bool printPass(const std::vector<const report::Page*>& pages, const report::PrintJob& job, int pass, int passes,
                   const std::function<void(int)>& onPage, std::string& error) override
    {
        return m_target.printPass(pages, job, pass, passes, onPage, error);
    }

private:
    report::ReportPrinter& m_target;
};

// Every text of a page, in the order laid out.
inline std::vector<std::string> pageTexts(const report::Page& page)
{
    std::vector<std::string> texts;
    for (const report::PageItem& item : page.items)
        if (const auto* t = std::get_if<report::TextItem>(&item))
            texts.push_back(t->text);
    return texts;
}

} // namespace hv::test
