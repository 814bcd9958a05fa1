#pragma once
// Draws laid-out pages with QPainter: the one renderer behind the preview,
// the printer and PDF. Text is justified in its box with the device's own
// measurements, so right and centred text keeps its edges at any zoom.
#include "reportengine/ReportPages.h"

#include <memory>
#include <string>

class QPainter;

namespace hv::report {

// Draws the page with its top-left corner at the painter's origin, dpiX and
// dpiY device units to the inch (before the painter's own transform).
void RenderPage(QPainter& painter, const Page& page, double dpiX, double dpiY);

// Draws page after page of one document on an untransformed painter, as
// RenderPage does, keeping what it worked out for a font and a text (the Qt
// font, the width, the glyphs and their places) for the pages that
// follow: a report repeats a few fonts and many of its texts. The glyphs go
// out as glyph runs, at exactly the places drawText puts them.
class PageSequenceRenderer {
public:
    PageSequenceRenderer(QPainter& painter, double dpiX, double dpiY);
    ~PageSequenceRenderer();
    PageSequenceRenderer(const PageSequenceRenderer&) = delete;
    PageSequenceRenderer& operator=(const PageSequenceRenderer&) = delete;

    void render(const Page& page);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

// Writes the pages as a PDF, each page at its own size, through a temporary
// file renamed into place. False with the reason.
bool WritePdf(const std::string& path, const PageSet& pages, std::string& error,
              const std::string& title = "Hourvane Report");

} // namespace hv::report
