#include "ui/ZoomView.h"

#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace ui {
namespace {

constexpr double kLargestFit = 2;     // a small picture is not blown up past this
constexpr double kSmallestWhole = 0.7; // a whole picture smaller than this is not read, only seen
constexpr double kLargestScale = 4;   // zoomed in, at most this many view pixels to a unit
constexpr double kStepPerNotch = 1.25;
constexpr int kFitMargin = 8;

} // namespace

ZoomView::ZoomView(QWidget* parent) : QAbstractScrollArea(parent)
{
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

void ZoomView::setPicture(QSizeF size, Painter paint)
{
    m_size = size;
    m_paint = std::move(paint);
    updateBars();
    viewport()->update();
}

double ZoomView::wholeScale() const
{
    if (m_size.isEmpty())
        return 1;
    const double width = std::max(viewport()->width() - 2 * kFitMargin, 1);
    const double height = std::max(viewport()->height() - 2 * kFitMargin, 1);
    return std::min({width / m_size.width(), height / m_size.height(), kLargestFit});
}

double ZoomView::fitScale() const
{
    const double whole = wholeScale();
    if (whole >= kSmallestWhole || m_size.isEmpty())
        return whole;
    const double width = std::max(viewport()->width() - 2 * kFitMargin - verticalScrollBar()->sizeHint().width(), 1);
    return std::max(whole, std::min(width / m_size.width(), 1.0));
}

QPointF ZoomView::offset() const
{
    const double s = scale();
    const auto along = [](double picture, double view, const QScrollBar* bar) {
        return picture <= view ? (view - picture) / 2 : -static_cast<double>(bar->value());
    };
    return {along(m_size.width() * s, viewport()->width(), horizontalScrollBar()),
            along(m_size.height() * s, viewport()->height(), verticalScrollBar())};
}

void ZoomView::updateBars()
{
    const double s = scale();
    const auto set = [](QScrollBar* bar, double picture, int view) {
        bar->setRange(0, std::max(0, static_cast<int>(std::ceil(picture)) - view));
        bar->setPageStep(view);
        bar->setSingleStep(std::max(view / 20, 1));
    };
    set(horizontalScrollBar(), m_size.width() * s, viewport()->width());
    set(verticalScrollBar(), m_size.height() * s, viewport()->height());
}

void ZoomView::zoomAt(double zoom, QPointF anchor)
{
    const double most = std::max(1.0, kLargestScale / fitScale());
    zoom = std::clamp(zoom, std::min(1.0, wholeScale() / fitScale()), most);
    if (zoom == m_zoom)
        return;
    const QPointF at = (anchor - offset()) / scale(); // the picture's point under the anchor
    m_zoom = zoom;
    updateBars();
    const QPointF moved = at * scale() - anchor;
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(moved.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(moved.y())));
    viewport()->update();
}

void ZoomView::paintEvent(QPaintEvent*)
{
    if (!m_paint || m_size.isEmpty())
        return;
    QPainter painter(viewport());
    const double s = scale();
    const QPointF origin = offset();
    painter.translate(origin);
    painter.scale(s, s);
    const QRectF visible(-origin / s, QSizeF(viewport()->width() / s, viewport()->height() / s));
    m_paint(painter, visible);
}

void ZoomView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateBars();
}

void ZoomView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const double notches = event->angleDelta().y() / 120.0;
    zoomAt(m_zoom * std::pow(kStepPerNotch, notches), event->position());
    event->accept();
}

void ZoomView::scrollContentsBy(int, int)
{
    viewport()->update();
}

} // namespace ui
