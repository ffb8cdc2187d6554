#pragma once
// The options dialog's colour strip (`Panel6`): a spacer, the colour slider
// (`Splitter`) right of it, and the colour bar (`Image1`) lying over both.
// Dragging the slider sideways resizes the spacer; pressing the strip itself
// (right of the slider, below the bar) drags the whole strip sideways over
// its page.

#include <QFrame>
#include <QImage>

class QLabel;

namespace ui {

class ColourStrip : public QFrame {
    Q_OBJECT
public:
    static constexpr int kWidth = 285;
    static constexpr int kHeight = 25;
    static constexpr int kSpacerWidth = 200;
    static constexpr int kSliderWidth = 6;

    explicit ColourStrip(QWidget* page);

    // The bar's picture, 280 x 30: one saturated hue per column, from red at
    // the left through magenta, blue, cyan, green and yellow back to red.
    static QImage huePicture();

    const QImage& picture() const { return m_picture; }
    QWidget* slider() const { return m_slider; }
    QWidget* spacer() const { return m_spacer; }
    QLabel* bar() const { return m_bar; }
    // The slider's centre in strip coordinates, halves truncated.
    QPoint sliderCentre() const;
    // Puts the slider `left` pixels from the strip's left edge (at least 1).
    // True when it moved.
    bool placeSlider(int left);

signals:
    void barHovered(QPoint pos);   // the pointer moved over the bar
    void sliderMoved();            // the slider stands somewhere new

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void buildChildren();
    bool sliderEvent(QEvent* event);
    bool acceptsDragAt(QPoint inPage) const;

    QImage m_picture;
    QWidget* m_spacer = nullptr;
    QWidget* m_slider = nullptr;
    QLabel* m_bar = nullptr;
    int m_grabX = -1;               // where the slider was taken, or -1
    bool m_dragging = false;        // the strip itself is being dragged
    int m_rememberedHeight = kHeight;
};

} // namespace ui
