#include "ui/DialogIcons.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

namespace ui::icons {
namespace {

constexpr int kSide = 16;

QPixmap blank()
{
    QPixmap pixmap(kSide, kSide);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QIcon themed(const char* name, QStyle::StandardPixmap fallback)
{
    const QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
    return icon.isNull() ? QApplication::style()->standardIcon(fallback) : icon;
}

QPixmap marker(bool pointsRight)
{
    QPixmap pixmap = blank();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath head;
    const qreal tip = pointsRight ? 13.5 : 2.5;
    const qreal back = pointsRight ? 4.5 : 11.5;
    head.moveTo(back, 3);
    head.lineTo(tip, 8);
    head.lineTo(back, 13);
    head.closeSubpath();
    painter.fillPath(head, QColor(32, 96, 176));
    return pixmap;
}

QIcon colourSquares()
{
    QPixmap pixmap = blank();
    QPainter painter(&pixmap);
    const QColor colours[] = {QColor(208, 48, 48), QColor(48, 160, 64), QColor(48, 96, 208),
                              QColor(232, 192, 32)};
    for (int i = 0; i < 4; ++i) {
        const QRect square(1 + (i % 2) * 7, 1 + (i / 2) * 7, 7, 7);
        painter.fillRect(square, colours[i]);
        painter.setPen(QColor(64, 64, 64));
        painter.drawRect(square.adjusted(0, 0, -1, -1));
    }
    return QIcon(pixmap);
}

QIcon letters(const QString& text, bool bold, bool italic, bool underline)
{
    QPixmap pixmap = blank();
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(96, 96, 96));
    painter.setBrush(QColor(250, 250, 250));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPixelSize(text.size() > 1 ? 9 : 12);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    painter.setFont(font);
    painter.setPen(QColor(24, 24, 24));
    painter.drawText(QRect(0, 0, kSide, kSide), Qt::AlignCenter, text);
    return QIcon(pixmap);
}

} // namespace ui::icons
