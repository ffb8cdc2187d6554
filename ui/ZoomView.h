#pragma once
// A picture in a scrolling view, fitted to the view at first: whole (never
// drawn larger than twice its size), or, when the whole would be too small to
// read, as wide as the view to scroll down. Ctrl+wheel zooms in and out
// around the pointer (out as far as the whole picture), and once zoomed the
// wheel and the scroll bars move it. The picture is painted by whoever owns
// it, told which part of it shows, so a large one paints only what is in view.

#include <QAbstractScrollArea>

#include <functional>

namespace ui {

class ZoomView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Paints the picture in its own units; `visible` is the part in view.
    using Painter = std::function<void(QPainter& painter, const QRectF& visible)>;

    explicit ZoomView(QWidget* parent = nullptr);

    // A new picture, or the same one changed: the zoom and the place stay.
    void setPicture(QSizeF size, Painter paint);
    // 1 when fitted; more when zoomed in, less when zoomed out.
    double zoom() const { return m_zoom; }
    // View pixels per picture unit.
    double scale() const { return fitScale() * m_zoom; }
    // Zooms keeping the picture's point under `anchor` (view pixels) where it is.
    void zoomAt(double zoom, QPointF anchor);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    double fitScale() const;
    double wholeScale() const;
    // Where the picture's top left lies in the view: centred while it is smaller, else scrolled.
    QPointF offset() const;
    void updateBars();

    QSizeF m_size;
    Painter m_paint;
    double m_zoom = 1;
};

} // namespace ui
