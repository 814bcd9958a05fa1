#include "reportengine/PageRenderer.h"
#include "platform/SaveFile.h"

#include "reportengine/ReportMetrics.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>

#include <optional>
#include <unordered_map>

namespace hv::report {

namespace {

// Where a text starts in its box, from its width.
double justifiedLeft(Justify justify, double left, double right, double width)
{
    if (justify == Justify::Right)
        return right - width;
    if (justify == Justify::Centre)
        return (left + right - width) / 2;
    return left;
}

// Lines and shades as they come; text through texts.draw(item, box left,
// box right, baseline), all in device units, and texts.flush() before
// anything else is drawn and at the page's end, for text held back.
template <typename Texts>
void renderItems(QPainter& painter, const Page& page, double dpiX, double dpiY, Texts& texts)
{
    auto x = [&](int mils) { return mils / 1000.0 * dpiX; };
    auto y = [&](int mils) { return mils / 1000.0 * dpiY; };
    painter.save();
    // A line taller than the page is cut at the paper's edge.
    painter.setClipRect(QRectF(0, 0, x(page.width), y(page.height)), Qt::IntersectClip);
    painter.setPen(Qt::black);
    for (const PageItem& item : page.items) {
        if (const auto* t = std::get_if<TextItem>(&item)) {
            texts.draw(*t, x(t->left), x(t->right), y(t->baseline));
            continue;
        }
        texts.flush();
        if (const auto* l = std::get_if<LineItem>(&item)) {
            QPen pen(Qt::black);
            pen.setWidthF(std::max(x(l->width), 0.5));
            painter.setPen(pen);
            painter.drawLine(QPointF(x(l->x1), y(l->y1)), QPointF(x(l->x2), y(l->y2)));
            painter.setPen(Qt::black);
        } else if (const auto* s = std::get_if<ShadeItem>(&item)) {
            const int grey = 255 - s->percent * 255 / 100;
            painter.fillRect(QRectF(QPointF(x(s->left), y(s->top)), QPointF(x(s->right), y(s->bottom))),
                             QColor(grey, grey, grey));
        }
    }
    texts.flush();
    painter.restore();
}

// Text that Qt lays out one glyph for each character of one font, left to
// right, each glyph at the end of the one before (report fonts are neither
// shaped nor kerned): printable ASCII and Latin-1 letters. Anything else is
// drawn by drawText itself.
bool plainText(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u > 0x7e && u < 0xa1) || u == 0xad || u > 0xff)
            return false;
    }
    return true;
}

// Each text measured and drawn as it comes.
class DirectTexts {
public:
    explicit DirectTexts(QPainter& painter) : m_painter(painter) {}

    void draw(const TextItem& t, double left, double right, double baseline)
    {
        if (!m_current || !(*m_current == t.font)) {
            m_font = ToQFont(t.font);
            m_painter.setFont(m_font);
            m_current = &t.font;
        }
        const QString text = QString::fromStdString(t.text);
        const double width = QFontMetricsF(m_font, m_painter.device()).horizontalAdvance(text);
        m_painter.drawText(QPointF(justifiedLeft(t.justify, left, right, width), baseline), text);
    }
    void flush() {}

private:
    QPainter& m_painter;
    const ReportFont* m_current = nullptr;
    QFont m_font;
};

} // namespace

void RenderPage(QPainter& painter, const Page& page, double dpiX, double dpiY)
{
    DirectTexts texts(painter);
    renderItems(painter, page, dpiX, dpiY, texts);
}

struct PageSequenceRenderer::Impl {
    // What one text in one font comes to, worked out when first needed.
    struct Shaped {
        std::optional<double> width;
        bool laidOut = false;
        // Its glyphs and where each starts from the text's start; none when
        // drawText draws the text.
        QList<quint32> glyphs;
        QList<double> offsets;
    };
    struct Font {
        ReportFont key;
        QFont font;
        // The font as the painter holds it once set: bound to the device.
        QFont painterFont;
        QFontMetricsF metrics;
        // Its glyphs and their advances, on the painter's device.
        QRawFont raw;
        // Underline and strike-out lines are drawn with the text by drawText.
        bool decorated;
        std::unordered_map<std::string, Shaped> texts;
    };

    QPainter& painter;
    double dpiX;
    double dpiY;
    std::vector<std::unique_ptr<Font>> fonts;
    Font* current = nullptr;

    Impl(QPainter& p, double x, double y) : painter(p), dpiX(x), dpiY(y) {}

    Font& select(const ReportFont& key)
    {
        if (current && current->key == key)
            return *current;
        Font* found = nullptr;
        for (const auto& f : fonts)
            if (f->key == key)
                found = f.get();
        if (!found) {
            const QFont font = ToQFont(key);
            painter.setFont(font);
            fonts.push_back(std::make_unique<Font>(Font{key,
                                                        font,
                                                        painter.font(),
                                                        QFontMetricsF(font, painter.device()),
                                                        QRawFont(),
                                                        key.underline || key.strikeOut,
                                                        {}}));
            found = fonts.back().get();
        } else {
            painter.setFont(found->font);
        }
        current = found;
        return *found;
    }

    // The glyphs of the text and their places, as drawText sets them.
    void layOut(const QString& text, Font& font, Shaped& shaped) const
    {
        shaped.laidOut = true;
        if (font.decorated || !plainText(text))
            return;
        if (!font.raw.isValid())
            font.raw = QRawFont::fromFont(font.painterFont);
        QList<quint32> glyphs = font.raw.glyphIndexesForString(text);
        // A character the font lacks is drawn from another font.
        if (glyphs.size() != text.size() || glyphs.contains(0u))
            return;
        double x = 0;
        for (const QPointF& advance : font.raw.advancesForGlyphIndexes(glyphs)) {
            shaped.offsets.push_back(x);
            x += advance.x();
        }
        shaped.glyphs = std::move(glyphs);
    }

    // Glyphs of consecutive texts in one font on one baseline, drawn as one
    // run when something else comes: one PDF text object instead of one for
    // every text, each glyph at the same place.
    struct Held {
        const Font* font = nullptr;
        double baseline = 0;
        QList<quint32> glyphs;
        QList<QPointF> positions;
    };
    Held held;

    void flush()
    {
        if (!held.font)
            return;
        QGlyphRun run;
        run.setRawFont(held.font->raw);
        run.setGlyphIndexes(held.glyphs);
        run.setPositions(held.positions);
        painter.drawGlyphRun(QPointF(0, held.baseline), run);
        held.font = nullptr;
        held.glyphs.clear();
        held.positions.clear();
    }

    void draw(const TextItem& t, double boxLeft, double boxRight, double baseline)
    {
        Font& font = select(t.font);
        Shaped& shaped = font.texts[t.text];
        std::optional<QString> text;
        auto qtext = [&]() -> const QString& {
            if (!text)
                text = QString::fromStdString(t.text);
            return *text;
        };
        double left = boxLeft;
        if (t.justify != Justify::Left) {
            if (!shaped.width)
                shaped.width = font.metrics.horizontalAdvance(qtext());
            left = justifiedLeft(t.justify, boxLeft, boxRight, *shaped.width);
        }
        if (!shaped.laidOut)
            layOut(qtext(), font, shaped);
        if (shaped.glyphs.isEmpty()) {
            flush();
            painter.drawText(QPointF(left, baseline), qtext());
            return;
        }
        if (held.font != &font || held.baseline != baseline) {
            flush();
            held.font = &font;
            held.baseline = baseline;
        }
        // drawText starts the glyphs at the point taken to Qt's fixed point
        // (1/64 unit, cut toward zero); the run's offsets are in that grid,
        // so the sums are exact and every glyph lands where drawText puts it.
        const double start = double(int(left * 64)) / 64;
        held.glyphs += shaped.glyphs;
        for (const double offset : shaped.offsets)
            held.positions.push_back(QPointF(start + offset, 0));
    }
};

PageSequenceRenderer::PageSequenceRenderer(QPainter& painter, double dpiX, double dpiY) :
    m(std::make_unique<Impl>(painter, dpiX, dpiY))
{
}

PageSequenceRenderer::~PageSequenceRenderer() = default;

void PageSequenceRenderer::render(const Page& page)
{
    // The painter's font is reset by the page's restore.
    m->current = nullptr;
    renderItems(m->painter, page, m->dpiX, m->dpiY, *m);
}

bool WritePdf(const std::string& path, const PageSet& pages, std::string& error, const std::string& title)
{
    if (pages.empty()) {
        error = "The report has no pages.";
        return false;
    }
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    auto pageSize = [](const Page& p) {
        return QPageSize(QSizeF(p.width / 1000.0, p.height / 1000.0), QPageSize::Inch, QString(),
                         QPageSize::ExactMatch);
    };
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setCreator("Hourvane Standard");
        writer.setTitle(QString::fromStdString(title));
        writer.setPageSize(pageSize(pages.front()));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            error = "The PDF writer could not start.";
            return false;
        }
        PageSequenceRenderer renderer(painter, writer.resolution(), writer.resolution());
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0) {
                writer.setPageSize(pageSize(pages[i]));
                writer.newPage();
            }
            renderer.render(pages[i]);
        }
        painter.end();
    }
    return CommitSaveFile(file, error);
}

} // namespace hv::report
