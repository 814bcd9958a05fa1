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

// Writes a PDF as WritePdf does while its pages are still being laid out:
// each page handed over is drawn on a thread of its own, so laying out and
// drawing share the machine's cores. Only finish() renames the file into
// place; a stream dropped unfinished leaves nothing behind.
class PdfPageStream {
public:
    explicit PdfPageStream(const std::string& path, const std::string& title = "Hourvane Report");
    ~PdfPageStream();
    PdfPageStream(const PdfPageStream&) = delete;
    PdfPageStream& operator=(const PdfPageStream&) = delete;

    // The next page, copied: the caller keeps its own.
    void add(const Page& page);
    // Waits for the drawing to end; false with the reason (no pages, a file
    // that could not be written).
    bool finish(std::string& error);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace hv::report
