#include "widgets/TFlatImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace hv {

TFlatImage::TFlatImage(QWidget* parent) : QWidget(parent)
{
    resize(105, 105);
    setAttribute(Qt::WA_Hover);
}

void TFlatImage::setPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

TFlatImage::Edge TFlatImage::edge() const
{
    if (m_pressed)
        return Edge::Sunken;
    return m_hover ? Edge::Raised : Edge::None;
}

void TFlatImage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_picture.isNull()) {
        const QSizeF size = m_picture.deviceIndependentSize();
        painter.drawPixmap(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), m_picture);
    }
    const Edge e = edge();
    if (e == Edge::None)
        return;
    // One pixel: light above and left, dark below and right when raised; the other way when sunken.
    const QColor light = palette().light().color();
    const QColor dark = palette().dark().color();
    const QColor topLeft = e == Edge::Raised ? light : dark;
    const QColor bottomRight = e == Edge::Raised ? dark : light;
    const int r = width() - 1, b = height() - 1;
    painter.setPen(topLeft);
    painter.drawLine(0, 0, r, 0);
    painter.drawLine(0, 0, 0, b);
    painter.setPen(bottomRight);
    painter.drawLine(0, b, r, b);
    painter.drawLine(r, 0, r, b);
}

void TFlatImage::enterEvent(QEnterEvent* event)
{
    m_hover = true;
    update();
    QWidget::enterEvent(event);
}

void TFlatImage::leaveEvent(QEvent* event)
{
    m_hover = false;
    update();
    QWidget::leaveEvent(event);
}

void TFlatImage::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        update();
    }
    QWidget::mousePressEvent(event);
}

void TFlatImage::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        update();
        if (rect().contains(event->position().toPoint()))
            emit clicked();
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace hv
