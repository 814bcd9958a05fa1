#pragma once
// The printer as the report engine needs it, and the settings of one run
// that the setup window edits. The program's printer (Qt's print support)
// implements the interface in the windows layer; tests record what would be
// printed. Nothing here needs a printer to exist.
#include "reportengine/ReportPages.h"

#include <functional>
#include <string>
#include <vector>

namespace hv::report {

struct PaperSize {
    double width = 8.5; // inches, portrait
    double height = 11.0;
};

enum class Destination { Printer, Preview, File };

// Which choices the setup step offers.
struct SetupAllowed {
    bool setup = true;
    bool copies = true;
    bool collate = true;
    bool duplex = true;
    bool preview = true;
    bool printer = true;
    bool file = true;
    bool printerSetup = true;
};

inline constexpr int kMaxCopies = 999;

struct PrintJob {
    int copies = 1;
    bool collate = false;
    bool duplex = false;
    int firstPage = 1;
    int lastPage = 9999;
    std::string selection; // "1-3,5"; when set it wins over first and last
};

// The run's report settings.
struct ReportSettings {
    SetupAllowed allowed;
    Destination destination = Destination::Preview;
    std::string outputFile;
    PrintJob job;
};

class ReportPrinter {
public:
    virtual ~ReportPrinter() = default;
    // Makes the installed printer of this name the one that prints; false
    // when there is none of that name.
    virtual bool select(const std::string& name) = 0;
    // Empty while no printer is selected.
    virtual std::string name() const = 0;
    virtual std::string port() const = 0;
    // How many copies the printer makes of a job itself (1: it cannot copy).
    virtual int maxCopies() const = 0;
    virtual bool canCollate() const = 0;
    virtual bool canDuplex() const = 0;
    // The selected printer's default paper, portrait.
    virtual PaperSize paper() const = 0;
    // One pass over the pages with the job's copies, collation and duplex;
    // pass of passes names the pass to the printer. onPage is told each page
    // number as it is drawn. False with the reason.
    virtual bool printPass(const std::vector<const Page*>& pages, const PrintJob& job, int pass, int passes,
                           const std::function<void(int)>& onPage, std::string& error) = 0;
};

// "1-3, 5, 7-" style selections: pages in the order given, each once, those
// past the report left out. False with the first part that is no page
// number.
bool ParsePageSelection(const std::string& text, int pageCount, std::vector<int>& pages, std::string& badPart);

// The page numbers the job prints of a report of pageCount pages.
std::vector<int> PagesToPrint(const PrintJob& job, int pageCount);

// The copies rule: a printer that makes copies itself, or a job of fewer
// than 2 copies, gets one pass with the copies asked for; otherwise one pass
// per copy, one copy each, numbered 1..copies.
bool PrintWithCopiesRule(ReportPrinter& printer, const PageSet& pages, const PrintJob& job, std::string& error,
                         const std::function<void(int)>& onPage = {});

} // namespace hv::report
