#include "ui/FancyFontDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace ui {
namespace {

// The named face at the list's size; a missing face falls to a substitute.
QFont faceFont(const QString& name)
{
    return QFont(name, FancyFontDelegate::kPointSize);
}

} // namespace

void FancyFontDelegate::drawName(QPainter* painter, const QRect& rect, const QString& name)
{
    painter->save();
    painter->fillRect(rect, Qt::white);
    painter->setFont(faceFont(name));
    painter->setPen(Qt::black);
    painter->setClipRect(rect);
    painter->drawText(rect.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      name);
    painter->restore();
}

void FancyFontDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const
{
    drawName(painter, option.rect, index.data(Qt::DisplayRole).toString());
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.backgroundColor = Qt::white;
        const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
}

QSize FancyFontDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    Q_UNUSED(option);
    const QString name = index.data(Qt::DisplayRole).toString();
    return {QFontMetrics(faceFont(name)).horizontalAdvance(name) + 4, kItemHeight};
}

} // namespace ui
