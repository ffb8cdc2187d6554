#include "ui/ColourStrip.h"

#include "model/LevelStyle.h"
#include "ui/SystemColours.h"

#include <QLabel>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>

namespace ui {
namespace {

constexpr int kPictureWidth = 280;
constexpr int kPictureHeight = 30;
constexpr QSize kBarSize{289, 17};
constexpr std::uint32_t kHotLight = model::kSystemColour + 26;

// Fully saturated, fully bright colour for a hue in sixths of the circle.
QRgb hueColour(double sixths)
{
    const double whole = std::floor(sixths);
    const int up = int(std::lround(255 * (sixths - whole)));
    const int down = 255 - up;
    switch (int(whole) % 6) {
    case 0: return qRgb(255, up, 0);
    case 1: return qRgb(down, 255, 0);
    case 2: return qRgb(0, 255, up);
    case 3: return qRgb(0, down, 255);
    case 4: return qRgb(up, 0, 255);
    default: return qRgb(255, 0, down);
    }
}

} // namespace

QImage ColourStrip::huePicture()
{
    QImage picture(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    const int last = kPictureWidth - 1;
    for (int x = 0; x < kPictureWidth; ++x) {
        // Hue falls from 360 degrees at the left edge to 0 at the right one.
        const QRgb colour = hueColour(6.0 * (last - x) / last);
        for (int y = 0; y < kPictureHeight; ++y)
            picture.setPixel(x, y, colour);
    }
    return picture;
}

ColourStrip::ColourStrip(QWidget* page) : QFrame(page), m_picture(huePicture())
{
    setObjectName("Panel6");
    resize(kWidth, kHeight);
    buildChildren();
}

void ColourStrip::buildChildren()
{
    m_spacer = new QWidget(this);
    m_spacer->setObjectName("Spacer");
    m_spacer->setGeometry(0, 0, kSpacerWidth, kHeight);

    m_slider = new QWidget(this);
    m_slider->setObjectName("Splitter");
    m_slider->setGeometry(kSpacerWidth, 0, kSliderWidth, kHeight);
    m_slider->setAutoFillBackground(true);
    QPalette sliderPalette = m_slider->palette();
    sliderPalette.setColor(QPalette::Window, resolveColour(kHotLight));
    m_slider->setPalette(sliderPalette);
    m_slider->setCursor(Qt::PointingHandCursor);
    m_slider->setToolTip("Colour slider");
    m_slider->installEventFilter(this);

    m_bar = new QLabel(this);
    m_bar->setObjectName("Image1");
    m_bar->setGeometry(QRect(QPoint(0, 0), kBarSize));
    m_bar->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_bar->setPixmap(QPixmap::fromImage(m_picture));
    m_bar->setToolTip("Click to select a colour");
    m_bar->setMouseTracking(true);
    m_bar->installEventFilter(this);
    m_bar->raise();
}

QPoint ColourStrip::sliderCentre() const
{
    const QRect r = m_slider->geometry();
    return {r.left() + r.width() / 2, r.top() + r.height() / 2};
}

bool ColourStrip::placeSlider(int left)
{
    left = std::clamp(left, 1, std::max(1, width() - m_slider->width()));
    if (left == m_slider->x())
        return false;
    m_spacer->resize(left, m_spacer->height());
    m_slider->move(left, m_slider->y());
    return true;
}

bool ColourStrip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_bar && event->type() == QEvent::MouseMove) {
        emit barHovered(static_cast<QMouseEvent*>(event)->position().toPoint());
        return false;
    }
    if (watched == m_slider)
        return sliderEvent(event);
    return QFrame::eventFilter(watched, event);
}

// The slider follows the pointer while the left button holds it.
bool ColourStrip::sliderEvent(QEvent* event)
{
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const int x = m_slider->mapToParent(mouse->position().toPoint()).x();
    if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
        m_grabX = x - m_slider->x();
    else if (type == QEvent::MouseMove && m_grabX >= 0 && placeSlider(x - m_grabX))
        emit sliderMoved();
    else if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton)
        m_grabX = -1;
    return true;
}

void ColourStrip::mousePressEvent(QMouseEvent* event)
{
    // Presses on the bar and the spacer come here too: only the strip's own
    // background starts a drag.
    const bool ownBackground = childAt(event->position().toPoint()) == nullptr;
    if (event->button() != Qt::LeftButton || !ownBackground || !parentWidget())
        return QFrame::mousePressEvent(event);
    m_dragging = true;
    m_rememberedHeight = height();
    setCursor(Qt::DragMoveCursor);
}

void ColourStrip::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return QFrame::mouseMoveEvent(event);
    // The pointer is measured on the page, so the strip does not jump when
    // the pointer passes from the page onto the strip.
    const QPoint inPage = mapToParent(event->position().toPoint());
    if (!acceptsDragAt(inPage))
        return;
    resize(width(), m_rememberedHeight);
    move(inPage.x() - width() / 2, y());
}

void ColourStrip::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return QFrame::mouseReleaseEvent(event);
    m_dragging = false;
    unsetCursor();
}

// The strip may be dropped over its page or over itself, not over the page's
// other controls.
bool ColourStrip::acceptsDragAt(QPoint inPage) const
{
    const QWidget* page = parentWidget();
    if (!page->rect().contains(inPage))
        return false;
    const QWidget* under = page->childAt(inPage);
    return under == nullptr || under == this || isAncestorOf(under);
}

} // namespace ui
