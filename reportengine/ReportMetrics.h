#pragma once
// The report font and its measurements. Layouts ask for "Times New Roman";
// the program ships Liberation Serif (fonts-liberation2), which has the same
// metrics, and registers it with the application. Text is measured at one
// fixed resolution without hinting, so a layout comes out the same offscreen,
// on screen, on paper and in PDF.
#include "reportengine/ReportPages.h"

#include <QFont>

#include <memory>
#include <string>

namespace hv::report {

// Where the shipped font files live.
inline constexpr const char* kReportFontFolder = "/usr/share/fonts/truetype/liberation2/";

// Registers the four Liberation Serif files of folder (once per process for
// the default folder). False with an error naming the missing file and the
// package to install. Needs a QGuiApplication.
bool RegisterReportFonts(std::string& error, const std::string& folder = kReportFontFolder);

// The Qt font a report font draws with: the shipped family for the faces it
// stands for, styles as asked, no shaping (so PDF text reads back as typed)
// and no hinting.
QFont ToQFont(const ReportFont& font);

// Measures in inches at the fixed resolution.
class FontMeasure {
public:
    FontMeasure();
    ~FontMeasure();
    FontMeasure(const FontMeasure&) = delete;
    FontMeasure& operator=(const FontMeasure&) = delete;

    double width(const ReportFont& font, const std::string& text);
    double ascent(const ReportFont& font);
    double descent(const ReportFont& font);
    // The distance from one line to the next.
    double lineHeight(const ReportFont& font);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace hv::report
