#pragma once
// Laid-out report pages as plain text for a terminal or a script: each
// baseline becomes a line, each text sits at the column its position gives
// (a tenth of an inch per column), and a form feed parts the pages.
#include "reportengine/ReportPages.h"

#include <string>

namespace hv::cli {

std::string PagesAsText(const report::PageSet& pages);

} // namespace hv::cli
