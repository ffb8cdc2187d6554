#include "ui/TCColorGrid.h"

#include "ui/SystemColours.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>
#include <algorithm>
#include <array>

namespace ui {
namespace {

// Entries 0-7 and 12-19 of the standard 20-colour palette, as red, green, blue.
constexpr std::array<std::array<int, 3>, TCColorGrid::kSquareCount> kColours{{
    {0, 0, 0}, {128, 0, 0}, {0, 128, 0}, {128, 128, 0},
    {0, 0, 128}, {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
    {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
}};

// Black on a light component, white on a dark one, component by component.
QColor contrastOf(const QColor& c)
{
    auto flip = [](int component) { return component >= 128 ? 0 : 255; };
    return QColor(flip(c.red()), flip(c.green()), flip(c.blue()));
}

} // namespace

TCColorGrid::TCColorGrid(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    resize(100, 100);
}

QColor TCColorGrid::squareColour(int square)
{
    const auto& c = kColours[clampSquare(square)];
    return QColor(c[0], c[1], c[2]);
}

int TCColorGrid::clampSquare(int square)
{
    return std::clamp(square, 0, kSquareCount - 1);
}

void TCColorGrid::SetGridOrdering(GridOrdering ordering)
{
    if (ordering == m_ordering || ordering < go16x1 || ordering > go1x16)
        return;
    m_ordering = ordering;
    shrinkToWholeCells();
    update();
}

QSize TCColorGrid::cellSize() const
{
    return {width() / columns(), height() / rows()};
}

QRect TCColorGrid::squareRect(int square) const
{
    const QSize cell = cellSize();
    const int column = square % columns();
    const int row = square / columns();
    return QRect(QPoint(column * cell.width(), row * cell.height()), cell);
}

int TCColorGrid::squareAt(QPoint pos) const
{
    const QSize cell = cellSize();
    if (cell.isEmpty())
        return 0;
    const int x = std::clamp(pos.x(), 0, cell.width() * columns() - 1);
    const int y = std::clamp(pos.y(), 0, cell.height() * rows() - 1);
    return clampSquare(y / cell.height() * columns() + x / cell.width());
}

void TCColorGrid::SetForegroundIndex(int square)
{
    square = clampSquare(square);
    if (square == m_foreground || !m_foregroundEnabled)
        return;
    m_foreground = square;
    update();
    emit OnChange();
}

void TCColorGrid::SetBackgroundIndex(int square)
{
    square = clampSquare(square);
    if (square == m_background || !m_backgroundEnabled)
        return;
    m_background = square;
    update();
    emit OnChange();
}

void TCColorGrid::SetSelection(int square)
{
    square = clampSquare(square);
    if (square == m_selection)
        return;
    m_selection = square;
    update();
}

void TCColorGrid::EnableForeground(bool enabled)
{
    if (enabled == m_foregroundEnabled)
        return;
    m_foregroundEnabled = enabled;
    update();
}

void TCColorGrid::EnableBackground(bool enabled)
{
    if (enabled == m_backgroundEnabled)
        return;
    m_backgroundEnabled = enabled;
    update();
}

std::uint32_t TCColorGrid::ForegroundColor() const
{
    return toColourValue(squareColour(m_foreground));
}

std::uint32_t TCColorGrid::BackgroundColor() const
{
    return toColourValue(squareColour(m_background));
}

void TCColorGrid::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    shrinkToWholeCells();
}

// Every square has the same size: the control keeps no odd pixels over.
void TCColorGrid::shrinkToWholeCells()
{
    const QSize whole(width() / columns() * columns(), height() / rows() * rows());
    if (whole != size())
        resize(whole);
}

void TCColorGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int square = 0; square < kSquareCount; ++square)
        drawSquare(painter, square, false);
    if (hasFocus())
        drawSquare(painter, m_selection, true);
    const bool same = m_foreground == m_background;
    if (m_foregroundEnabled)
        drawMarker(painter, m_foreground, same && m_backgroundEnabled ? "FB" : "FG");
    if (m_backgroundEnabled)
        drawMarker(painter, m_background, same && m_foregroundEnabled ? "FB" : "BG");
}

// A button-face border, a two-pixel sunken frame, then the colour itself.
void TCColorGrid::drawSquare(QPainter& painter, int square, bool marked) const
{
    const QRect cell = squareRect(square);
    painter.setPen(palette().color(QPalette::Button));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
    const QRect framed = cell.adjusted(1, 1, -1, -1);
    qDrawShadePanel(&painter, framed, palette(), true, 2);
    const QRect colour = framed.adjusted(2, 2, -2, -2);
    painter.fillRect(colour, squareColour(square));
    if (marked) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = colour.adjusted(1, 1, -1, -1);
        option.backgroundColor = squareColour(square);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void TCColorGrid::drawMarker(QPainter& painter, int square, const QString& text) const
{
    painter.setFont(font());
    painter.setPen(contrastOf(squareColour(square)));
    painter.drawText(squareRect(square), Qt::AlignCenter, text);
}

void TCColorGrid::pick(bool foreground, int square)
{
    if (foreground) {
        if (!m_foregroundEnabled && m_clickEnables)
            EnableForeground(true);
        SetForegroundIndex(square);
    } else {
        if (!m_backgroundEnabled && m_clickEnables)
            EnableBackground(true);
        SetBackgroundIndex(square);
    }
    SetSelection(square);
}

void TCColorGrid::mousePressEvent(QMouseEvent* event)
{
    const bool left = event->button() == Qt::LeftButton;
    (left ? m_leftHeld : m_otherHeld) = true;
    pick(left, squareAt(event->position().toPoint()));
    if (focusPolicy() & Qt::TabFocus)
        setFocus(Qt::MouseFocusReason);
}

void TCColorGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_leftHeld && !m_otherHeld)
        return;
    const int square = squareAt(event->position().toPoint());
    if (m_leftHeld)
        SetForegroundIndex(square);
    else
        SetBackgroundIndex(square);
    SetSelection(square);
}

void TCColorGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_leftHeld = false;
        if (rect().contains(event->position().toPoint()))
            emit OnClick();
    } else {
        m_otherHeld = false;
    }
}

} // namespace ui
