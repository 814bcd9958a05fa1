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

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <utility>

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

// Lines and shades as they come; text through drawText(item, box left, box
// right, baseline), all in device units.
template <typename DrawText>
void renderItems(QPainter& painter, const Page& page, double dpiX, double dpiY, DrawText&& drawText)
{
    auto x = [&](int mils) { return mils / 1000.0 * dpiX; };
    auto y = [&](int mils) { return mils / 1000.0 * dpiY; };
    painter.save();
    // A line taller than the page is cut at the paper's edge.
    painter.setClipRect(QRectF(0, 0, x(page.width), y(page.height)), Qt::IntersectClip);
    painter.setPen(Qt::black);
    for (const PageItem& item : page.items) {
        if (const auto* t = std::get_if<TextItem>(&item)) {
            drawText(*t, x(t->left), x(t->right), y(t->baseline));
        } else if (const auto* l = std::get_if<LineItem>(&item)) {
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

} // namespace

void RenderPage(QPainter& painter, const Page& page, double dpiX, double dpiY)
{
    // Each text measured and drawn as it comes.
    const ReportFont* current = nullptr;
    QFont font;
    renderItems(painter, page, dpiX, dpiY, [&](const TextItem& t, double left, double right, double baseline) {
        if (!current || !(*current == t.font)) {
            font = ToQFont(t.font);
            painter.setFont(font);
            current = &t.font;
        }
        const QString text = QString::fromStdString(t.text);
        const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
        painter.drawText(QPointF(justifiedLeft(t.justify, left, right, width), baseline), text);
    });
}

struct PageSequenceRenderer::Impl {
    // What one text in one font comes to, worked out when first needed.
    struct Shaped {
        std::optional<double> width;
        bool laidOut = false;
        // Its glyphs, each placed from the text's start on its baseline;
        // none when drawText draws the text.
        std::optional<QGlyphRun> glyphs;
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
        const QList<quint32> glyphs = font.raw.glyphIndexesForString(text);
        // A character the font lacks is drawn from another font.
        if (glyphs.size() != text.size() || glyphs.contains(0u))
            return;
        QList<QPointF> positions;
        positions.reserve(glyphs.size());
        double x = 0;
        for (const QPointF& advance : font.raw.advancesForGlyphIndexes(glyphs)) {
            positions.push_back(QPointF(x, 0));
            x += advance.x();
        }
        QGlyphRun run;
        run.setRawFont(font.raw);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        shaped.glyphs = std::move(run);
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
        if (!shaped.glyphs) {
            painter.drawText(QPointF(left, baseline), qtext());
            return;
        }
        // drawText starts the glyphs at the point taken to Qt's fixed point
        // (1/64 unit, cut toward zero); the run's offsets are in that grid,
        // so the sums are exact and every glyph lands where drawText puts it.
        // One run a text: Qt writes each text's first place as drawText does,
        // to the digit.
        const double start = double(int(left * 64)) / 64;
        painter.drawGlyphRun(QPointF(start, baseline), *shaped.glyphs);
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
    renderItems(m->painter, page, m->dpiX, m->dpiY, [&](const TextItem& t, double left, double right, double baseline) {
        m->draw(t, left, right, baseline);
    });
}

namespace {

QPageSize pageSizeOf(const Page& page)
{
    return QPageSize(QSizeF(page.width / 1000.0, page.height / 1000.0), QPageSize::Inch, QString(),
                     QPageSize::ExactMatch);
}

// One PDF being written: page after page, each at its own size, into a
// temporary file that commit() renames into place. Anything left unfinished
// is removed when the document goes.
class PdfDocument {
public:
    PdfDocument(const std::string& path, std::string title) :
        m_file(QString::fromStdString(path)), m_title(std::move(title))
    {
    }
    ~PdfDocument()
    {
        if (m_painter.isActive())
            m_painter.end();
        m_renderer.reset();
        m_writer.reset();
        m_file.cancelWriting();
    }
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    bool add(const Page& page, std::string& error)
    {
        if (!m_writer)
            return begin(page, error);
        m_writer->setPageSize(pageSizeOf(page));
        m_writer->newPage();
        m_renderer->render(page);
        return true;
    }

    bool commit(std::string& error)
    {
        if (!m_writer) {
            error = "The report has no pages.";
            return false;
        }
        m_painter.end();
        m_renderer.reset();
        m_writer.reset();
        return CommitSaveFile(m_file, error);
    }

private:
    bool begin(const Page& first, std::string& error)
    {
        if (!m_file.open(QIODevice::WriteOnly)) {
            error = m_file.errorString().toStdString();
            return false;
        }
        m_writer.emplace(&m_file);
        m_writer->setResolution(1200);
        m_writer->setCreator("Hourvane Standard");
        m_writer->setTitle(QString::fromStdString(m_title));
        m_writer->setPageSize(pageSizeOf(first));
        m_writer->setPageMargins(QMarginsF(0, 0, 0, 0));
        if (!m_painter.begin(&*m_writer)) {
            error = "The PDF writer could not start.";
            return false;
        }
        m_renderer.emplace(m_painter, m_writer->resolution(), m_writer->resolution());
        m_renderer->render(first);
        return true;
    }

    QSaveFile m_file;
    std::string m_title;
    std::optional<QPdfWriter> m_writer;
    QPainter m_painter;
    std::optional<PageSequenceRenderer> m_renderer;
};

} // namespace

bool WritePdf(const std::string& path, const PageSet& pages, std::string& error, const std::string& title)
{
    if (pages.empty()) {
        error = "The report has no pages.";
        return false;
    }
    PdfDocument document(path, title);
    for (const Page& page : pages)
        if (!document.add(page, error))
            return false;
    return document.commit(error);
}

struct PdfPageStream::Impl {
    Impl(std::string path, std::string title) : path(std::move(path)), title(std::move(title)) {}

    // The drawing thread: Qt's painter and PDF writer live and die on it.
    void draw()
    {
        std::string why;
        {
            PdfDocument document(path, title);
            for (;;) {
                Page page;
                {
                    std::unique_lock lock(mutex);
                    ready.wait(lock, [&] { return !queue.empty() || closed; });
                    if (queue.empty())
                        break;
                    page = std::move(queue.front());
                    queue.pop_front();
                }
                if (!failed && !document.add(page, why))
                    failed = true;
            }
            bool keep;
            {
                std::lock_guard lock(mutex);
                keep = kept;
            }
            if (keep && !failed)
                written = document.commit(why);
        }
        std::lock_guard lock(mutex);
        error = why;
    }

    // Ends the drawing thread, the file committed or not.
    void close(bool keep)
    {
        {
            std::lock_guard lock(mutex);
            closed = true;
            kept = keep;
        }
        ready.notify_one();
        worker.join();
    }

    const std::string path;
    const std::string title;
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<Page> queue;
    bool closed = false;
    bool kept = false;
    std::atomic<bool> failed = false;
    bool written = false;
    std::string error;
    std::thread worker;
};

PdfPageStream::PdfPageStream(const std::string& path, const std::string& title) : m(std::make_unique<Impl>(path, title))
{
    m->worker = std::thread([impl = m.get()] { impl->draw(); });
}

PdfPageStream::~PdfPageStream()
{
    if (m->worker.joinable())
        m->close(false);
}

void PdfPageStream::add(const Page& page)
{
    // Once the file has failed, pages are not worth copying.
    if (m->failed || !m->worker.joinable())
        return;
    {
        std::lock_guard lock(m->mutex);
        m->queue.push_back(page);
    }
    m->ready.notify_one();
}

bool PdfPageStream::finish(std::string& error)
{
    if (m->worker.joinable())
        m->close(true);
    error = m->error;
    return m->written;
}

} // namespace hv::report
