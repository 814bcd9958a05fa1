#include "reportengine/windows/PagePreview.h"

#include "reportengine/PageRenderer.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace hv::report {

namespace {

constexpr double kMarginShare = 0.025;

} // namespace

PagePreview::PagePreview(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void PagePreview::setPage(const Page* page)
{
    m_page = page;
    resize(sizeFor(m_zoom));
    update();
}

void PagePreview::setZoom(double percent)
{
    m_zoom = percent;
    resize(sizeFor(m_zoom));
    update();
}

double PagePreview::pixelsPerInch() const { return logicalDpiX() * m_zoom / 100.0; }

QPointF PagePreview::pageOrigin() const
{
    if (!m_page)
        return {};
    const double ppi = pixelsPerInch();
    return {m_page->width / 1000.0 * ppi * kMarginShare, m_page->height / 1000.0 * ppi * kMarginShare};
}

QSize PagePreview::sizeFor(double percent) const
{
    if (!m_page)
        return {0, 0};
    const double ppi = logicalDpiX() * percent / 100.0;
    const double factor = 1 + 2 * kMarginShare;
    return {int(std::ceil(m_page->width / 1000.0 * ppi * factor)),
            int(std::ceil(m_page->height / 1000.0 * ppi * factor))};
}

void PagePreview::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(128, 128, 128));
    if (!m_page)
        return;
    const double ppi = pixelsPerInch();
    const QPointF origin = pageOrigin();
    const QRectF paper(origin, QSizeF(m_page->width / 1000.0 * ppi, m_page->height / 1000.0 * ppi));
    painter.fillRect(paper.translated(3, 3), QColor(64, 64, 64));
    painter.fillRect(paper, Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(origin);
    painter.scale(m_zoom / 100.0, m_zoom / 100.0);
    RenderPage(painter, *m_page, logicalDpiX(), logicalDpiY());
}

InchRuler::InchRuler(Qt::Orientation orientation, QWidget* parent) : QWidget(parent), m_orientation(orientation)
{
    if (orientation == Qt::Horizontal)
        setFixedHeight(sizeHint().height());
    else
        setFixedWidth(sizeHint().width());
}

void InchRuler::setScale(double pixelsPerInch, double origin)
{
    m_pixelsPerInch = pixelsPerInch;
    m_origin = origin;
    update();
}

QSize InchRuler::sizeHint() const
{
    const int thickness = fontMetrics().height() + 8;
    return m_orientation == Qt::Horizontal ? QSize(100, thickness) : QSize(thickness, 100);
}

void InchRuler::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(palette().windowText().color());
    const bool horizontal = m_orientation == Qt::Horizontal;
    const int length = horizontal ? width() : height();
    const int thickness = horizontal ? height() : width();
    if (m_pixelsPerInch <= 0)
        return;
    const double step = m_pixelsPerInch / 8;
    const int firstTick = int(std::floor(-m_origin / step));
    for (int tick = firstTick;; ++tick) {
        const double at = m_origin + tick * step;
        if (at > length)
            break;
        if (at < 0)
            continue;
        const int mark = tick % 8 == 0   ? thickness
                         : tick % 4 == 0 ? thickness / 2
                         : tick % 2 == 0 ? thickness / 3
                                         : thickness / 5;
        if (horizontal)
            painter.drawLine(QPointF(at, thickness - mark), QPointF(at, thickness));
        else
            painter.drawLine(QPointF(thickness - mark, at), QPointF(thickness, at));
        if (tick % 8 == 0 && tick > 0) {
            const QString label = QString::number(tick / 8);
            if (horizontal)
                painter.drawText(QPointF(at + 2, fontMetrics().ascent() + 1), label);
            else
                painter.drawText(QPointF(2, at + fontMetrics().ascent() + 1), label);
        }
    }
}

} // namespace hv::report
