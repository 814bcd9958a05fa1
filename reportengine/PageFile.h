#pragma once
// The page file "HVReport.rpt": every report run writes its pages here and
// the preview and the printer read them back. Versioned UTF-8 text, one
// record a line, positions in thousandths of an inch:
//
//   HVREPORT 1
//   P <width> <height>                          a page starts
//   F <size> <style> "<face>"                   font of the following text;
//                                               size in thousandths of a point,
//                                               style "-" or letters of BIUS
//   T <left> <right> <baseline> <L|C|R> "<text>" text justified in [left, right]
//   L <x1> <y1> <x2> <y2> <width>               a line
//   S <left> <top> <right> <bottom> <percent>   a grey box
//   END <pages> <checksum>                      FNV-1a 64 of everything before
//
// Texts are quoted with \" \\ \t \n \r and \xHH for other control bytes. The
// reader trusts nothing: it bounds line length, counts, sizes and
// coordinates and answers "line N: what is wrong".
#include "reportengine/ReportPages.h"

#include <cstddef>
#include <string>

namespace hv::report {

inline constexpr const char* kPageFileName = "HVReport.rpt";
inline constexpr int kPageFileVersion = 1;

struct PageFileLimits {
    std::size_t fileSize = 256u << 20;
    std::size_t lineLength = 65536;
    int pages = 9999;
    int itemsPerPage = 100000;
    long long totalItems = 2000000;
    int coordinate = 100000; // 100 in either way
    int fontSize = 1000000;  // 1000 pt
    int lineWidth = 10000;
};

std::string PageFileText(const PageSet& pages);
// Through a temporary file renamed into place; false with the reason.
bool WritePageFile(const std::string& path, const PageSet& pages, std::string& error);

// False with "line N: ..." (or the reason the file could not be read).
bool ParsePageFile(const std::string& text, PageSet& pages, std::string& error, const PageFileLimits& limits = {});
bool ReadPageFile(const std::string& path, PageSet& pages, std::string& error);

} // namespace hv::report
