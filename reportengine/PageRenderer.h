#pragma once
// Draws laid-out pages with QPainter: the one renderer behind the preview,
// the printer and PDF. Text is justified in its box with the device's own
// measurements, so right and centred text keeps its edges at any zoom.
#include "reportengine/ReportPages.h"

#include <string>

class QPainter;

namespace hv::report {

// Draws the page with its top-left corner at the painter's origin, dpiX and
// dpiY device units to the inch (before the painter's own transform).
void RenderPage(QPainter& painter, const Page& page, double dpiX, double dpiY);

// Writes the pages as a PDF, each page at its own size, through a temporary
// file renamed into place. False with the reason.
bool WritePdf(const std::string& path, const PageSet& pages, std::string& error,
              const std::string& title = "Hourvane Report");

} // namespace hv::report
