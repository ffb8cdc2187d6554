#pragma once
// A grid of the 16 standard colours. The left button picks the foreground
// colour, the right (or middle) button the background colour; both choices
// are marked with "FG", "BG" or "FB" drawn in a contrasting colour.

#include <QWidget>
#include <cstdint>

namespace ui {

class TCColorGrid : public QWidget {
    Q_OBJECT
public:
    // Columns x rows; ordering k has 16 >> k columns and 1 << k rows.
    enum GridOrdering { go16x1, go8x2, go4x4, go2x8, go1x16 };
    static constexpr int kSquareCount = 16;

    explicit TCColorGrid(QWidget* parent = nullptr);

    // The colour of square i: the 16 colours of the standard 20-entry palette.
    static QColor squareColour(int square);

    GridOrdering gridOrdering() const { return m_ordering; }
    void SetGridOrdering(GridOrdering ordering);
    int columns() const { return 16 >> m_ordering; }
    int rows() const { return 1 << m_ordering; }
    QSize cellSize() const;
    QRect squareRect(int square) const;
    // The square under `pos`, which is clamped into the control first.
    int squareAt(QPoint pos) const;

    int ForegroundIndex() const { return m_foreground; }
    int BackgroundIndex() const { return m_background; }
    int Selection() const { return m_selection; }
    void SetForegroundIndex(int square);
    void SetBackgroundIndex(int square);
    void SetSelection(int square);

    bool ForegroundEnabled() const { return m_foregroundEnabled; }
    bool BackgroundEnabled() const { return m_backgroundEnabled; }
    void EnableForeground(bool enabled);
    void EnableBackground(bool enabled);
    bool ClickEnablesColor() const { return m_clickEnables; }
    void SetClickEnablesColor(bool enables) { m_clickEnables = enables; }

    // The chosen colours as 0x00BBGGRR.
    std::uint32_t ForegroundColor() const;
    std::uint32_t BackgroundColor() const;

    QSize sizeHint() const override { return {100, 100}; }

signals:
    void OnChange();   // after ForegroundIndex or BackgroundIndex changed
    void OnClick();    // the left button was released over the control

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void drawSquare(QPainter& painter, int square, bool marked) const;
    void drawMarker(QPainter& painter, int square, const QString& text) const;
    void shrinkToWholeCells();
    void pick(bool foreground, int square);
    static int clampSquare(int square);

    GridOrdering m_ordering = go4x4;
    int m_foreground = 0;
    int m_background = 0;
    int m_selection = 0;
    bool m_foregroundEnabled = true;
    bool m_backgroundEnabled = true;
    bool m_clickEnables = false;
    bool m_leftHeld = false;
    bool m_otherHeld = false;
};

} // namespace ui
