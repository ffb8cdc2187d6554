#include "ui/JpegPicture.h"

#include "ui/JpegDecoder.h"

#include <QPainter>
#include <QTimer>

namespace ui {

JpegPicture::JpegPicture(QWidget* parent) : QWidget(parent) {}

void JpegPicture::setJpegData(const QByteArray& data)
{
    m_data = data;
    m_image = QImage();
    m_error.clear();
    m_decoded = false;
    if (isVisible())
        QTimer::singleShot(0, this, &JpegPicture::decodeNow);
    update();
}

void JpegPicture::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Decoding waits until the window is on screen, so its rows can be seen.
    if (!m_decoded)
        QTimer::singleShot(0, this, &JpegPicture::decodeNow);
}

void JpegPicture::decodeNow()
{
    if (m_decoded)
        return;
    m_decoded = true;
    const JpegDecoder::Result result = JpegDecoder::decode(
        m_data, size(), [this](const QImage& partial, int rows) { showRows(partial, rows); });
    m_image = result.image;
    m_error = result.error;
    update();
}

void JpegPicture::showRows(const QImage& partial, int rows)
{
    if (!isVisible())
        return;
    m_partial = &partial;
    m_partialRows = rows;
    repaint();
    m_partial = nullptr;
}

void JpegPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_partial) {
        // Only the rows decoded so far, each where it belongs in the box.
        const int shown = m_partialRows * height() / std::max(1, m_partial->height());
        painter.drawImage(QRect(0, 0, width(), shown), *m_partial,
                          QRect(0, 0, m_partial->width(), m_partialRows));
    } else if (!m_image.isNull()) {
        painter.drawImage(rect(), m_image);
    }
}

} // namespace ui
