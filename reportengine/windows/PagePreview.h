#pragma once
// One page on screen at a zoom, on a grey ground with a margin of 2.5 % of
// the page around it, and the inch rulers that go beside it.
#include "reportengine/ReportPages.h"

#include <QWidget>

namespace hv::report {

class PagePreview : public QWidget {
    Q_OBJECT
public:
    explicit PagePreview(QWidget* parent = nullptr);

    void setPage(const Page* page);
    const Page* page() const { return m_page; }
    // Percent of the page's real size.
    void setZoom(double percent);
    double zoom() const { return m_zoom; }

    // Screen pixels to the inch at the current zoom.
    double pixelsPerInch() const;
    // The page's top-left corner within the widget.
    QPointF pageOrigin() const;
    // The widget's size for a zoom: the page and its margin.
    QSize sizeFor(double percent) const;
    QSize sizeHint() const override { return sizeFor(m_zoom); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const Page* m_page = nullptr;
    double m_zoom = 100;
};

// Inch marks along the top or the left edge of a page preview: a number at
// each inch, ticks at halves, quarters and eighths.
class InchRuler : public QWidget {
    Q_OBJECT
public:
    InchRuler(Qt::Orientation orientation, QWidget* parent = nullptr);

    // pixelsPerInch at the zoom; origin: where inch 0 sits on the ruler.
    void setScale(double pixelsPerInch, double origin);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
    double m_pixelsPerInch = 96;
    double m_origin = 0;
};

} // namespace hv::report
