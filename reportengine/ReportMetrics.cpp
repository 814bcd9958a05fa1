#include "reportengine/ReportMetrics.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QString>

#include <cmath>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace hv::report {

namespace {

constexpr int kMeasureDpi = 1200;
const char* const kShippedFamily = "Liberation Serif";
const char* const kFontFiles[] = {"LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf",
                                  "LiberationSerif-Italic.ttf", "LiberationSerif-BoldItalic.ttf"};

// The faces the shipped family stands for.
bool shippedFace(const std::string& face)
{
    return face == "Times New Roman" || face == "Times" || face == kShippedFamily;
}

} // namespace

bool RegisterReportFonts(std::string& error, const std::string& folder)
{
    static std::optional<bool> defaultDone;
    const bool isDefault = folder == kReportFontFolder;
    if (isDefault && defaultDone && *defaultDone)
        return true;
    for (const char* file : kFontFiles) {
        const QString path = QString::fromStdString(folder) + QString::fromLatin1(file);
        if (!QFileInfo::exists(path) || QFontDatabase::addApplicationFont(path) < 0) {
            error = "The report font " + path.toStdString() +
                    " is missing or unreadable.  Install the package fonts-liberation2.";
            return false;
        }
    }
    if (isDefault)
        defaultDone = true;
    return true;
}

QFont ToQFont(const ReportFont& font)
{
    QFont q(shippedFace(font.face) ? QString::fromLatin1(kShippedFamily) : QString::fromStdString(font.face));
    q.setPointSizeF(font.size / 1000.0);
    q.setBold(font.bold);
    q.setItalic(font.italic);
    q.setUnderline(font.underline);
    q.setStrikeOut(font.strikeOut);
    q.setKerning(false);
    q.setHintingPreference(QFont::PreferNoHinting);
    q.setStyleStrategy(QFont::StyleStrategy(QFont::PreferNoShaping | QFont::PreferOutline));
    return q;
}

struct FontMeasure::Impl {
    Impl() : device(8, 8, QImage::Format_ARGB32)
    {
        const int dotsPerMeter = int(std::lround(kMeasureDpi / 0.0254));
        device.setDotsPerMeterX(dotsPerMeter);
        device.setDotsPerMeterY(dotsPerMeter);
    }

    // One face, size and weight with what was measured in it: a layout asks
    // for the same few fonts and many of the same texts over and over.
    struct Measured {
        std::string face;
        int size;
        bool bold, italic;
        QFontMetricsF metrics;
        double ascent, descent, lineHeight;
        std::unordered_map<std::string, double> widths;

        // Underline and strike-out change nothing measured.
        bool matches(const ReportFont& font) const
        {
            return size == font.size && bold == font.bold && italic == font.italic && face == font.face;
        }
    };

    Measured& measured(const ReportFont& font)
    {
        if (last && last->matches(font))
            return *last;
        for (const auto& m : fonts)
            if (m->matches(font)) {
                last = m.get();
                return *last;
            }
        ReportFont plain = font;
        plain.underline = plain.strikeOut = false;
        const QFontMetricsF metrics(ToQFont(plain), &device);
        fonts.push_back(std::make_unique<Measured>(Measured{font.face,
                                                            font.size,
                                                            font.bold,
                                                            font.italic,
                                                            metrics,
                                                            metrics.ascent() / kMeasureDpi,
                                                            metrics.descent() / kMeasureDpi,
                                                            metrics.lineSpacing() / kMeasureDpi,
                                                            {}}));
        last = fonts.back().get();
        return *last;
    }

    QImage device;
    std::vector<std::unique_ptr<Measured>> fonts;
    Measured* last = nullptr;
};

FontMeasure::FontMeasure() : m(std::make_unique<Impl>()) {}
FontMeasure::~FontMeasure() = default;

double FontMeasure::width(const ReportFont& font, const std::string& text)
{
    Impl::Measured& measured = m->measured(font);
    const auto [it, added] = measured.widths.try_emplace(text, 0.0);
    if (added)
        it->second = measured.metrics.horizontalAdvance(QString::fromStdString(text)) / kMeasureDpi;
    return it->second;
}

double FontMeasure::ascent(const ReportFont& font) { return m->measured(font).ascent; }
double FontMeasure::descent(const ReportFont& font) { return m->measured(font).descent; }
double FontMeasure::lineHeight(const ReportFont& font) { return m->measured(font).lineHeight; }

int toMils(double inches) { return int(std::lround(inches * 1000.0)); }

} // namespace hv::report
