#pragma once
// A small picture button: the picture centred, a raised one-pixel edge while
// the mouse is over it and a sunken edge while the left button is held down
// on it. Used by the employee and preferences windows.
#include <QPixmap>
#include <QWidget>

namespace hv {

class TFlatImage : public QWidget {
    Q_OBJECT
public:
    enum class Edge { None, Raised, Sunken };

    explicit TFlatImage(QWidget* parent = nullptr);

    const QPixmap& picture() const { return m_picture; }
    // Repaints with the new picture.
    void setPicture(const QPixmap& picture);
    Edge edge() const;
    QSize sizeHint() const override { return {105, 105}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap m_picture;
    bool m_hover = false;
    bool m_pressed = false;
};

} // namespace hv
