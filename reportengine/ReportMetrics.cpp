#include "reportengine/ReportMetrics.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QString>

#include <cmath>
#include <map>
#include <optional>

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

    struct Key {
        std::string face;
        int size;
        bool bold, italic;
        auto operator<=>(const Key&) const = default;
    };
    QFontMetricsF& metrics(const ReportFont& font)
    {
        // Underline and strike-out change nothing measured.
        const Key key{font.face, font.size, font.bold, font.italic};
        auto it = cache.find(key);
        if (it == cache.end()) {
            ReportFont plain = font;
            plain.underline = plain.strikeOut = false;
            it = cache.emplace(key, QFontMetricsF(ToQFont(plain), &device)).first;
        }
        return it->second;
    }

    QImage device;
    std::map<Key, QFontMetricsF> cache;
};

FontMeasure::FontMeasure() : m(std::make_unique<Impl>()) {}
FontMeasure::~FontMeasure() = default;

double FontMeasure::width(const ReportFont& font, const std::string& text)
{
    return m->metrics(font).horizontalAdvance(QString::fromStdString(text)) / kMeasureDpi;
}

double FontMeasure::ascent(const ReportFont& font) { return m->metrics(font).ascent() / kMeasureDpi; }
double FontMeasure::descent(const ReportFont& font) { return m->metrics(font).descent() / kMeasureDpi; }
double FontMeasure::lineHeight(const ReportFont& font) { return m->metrics(font).lineSpacing() / kMeasureDpi; }

int toMils(double inches) { return int(std::lround(inches * 1000.0)); }

} // namespace hv::report
