#include "reportengine/PageRenderer.h"
#include "platform/SaveFile.h"

#include "reportengine/ReportMetrics.h"

#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace hv::report {

void RenderPage(QPainter& painter, const Page& page, double dpiX, double dpiY)
{
    auto x = [&](int mils) { return mils / 1000.0 * dpiX; };
    auto y = [&](int mils) { return mils / 1000.0 * dpiY; };
    painter.save();
    // A line taller than the page is cut at the paper's edge.
    painter.setClipRect(QRectF(0, 0, x(page.width), y(page.height)), Qt::IntersectClip);
    painter.setPen(Qt::black);
    const ReportFont* current = nullptr;
    QFont font;
    for (const PageItem& item : page.items) {
        if (const auto* t = std::get_if<TextItem>(&item)) {
            if (!current || !(*current == t->font)) {
                font = ToQFont(t->font);
                painter.setFont(font);
                current = &t->font;
            }
            const QString text = QString::fromStdString(t->text);
            const double width = QFontMetricsF(font, painter.device()).horizontalAdvance(text);
            double left = x(t->left);
            if (t->justify == Justify::Right)
                left = x(t->right) - width;
            else if (t->justify == Justify::Centre)
                left = (x(t->left) + x(t->right) - width) / 2;
            painter.drawText(QPointF(left, y(t->baseline)), text);
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
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (i > 0) {
                writer.setPageSize(pageSize(pages[i]));
                writer.newPage();
            }
            RenderPage(painter, pages[i], writer.resolution(), writer.resolution());
        }
        painter.end();
    }
    return CommitSaveFile(file, error);
}

} // namespace hv::report
