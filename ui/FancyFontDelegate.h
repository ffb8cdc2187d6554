#pragma once
// Draws a font name in its own face, 10 pt black on white, whatever the
// entry's state; the style adds only its focus frame. Every entry keeps the
// list's standard height.

#include <QStyledItemDelegate>

namespace ui {

class FancyFontDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kPointSize = 10;
    static constexpr int kItemHeight = 16;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Draws one name into `rect`; also used for the closed control's field.
    static void drawName(QPainter* painter, const QRect& rect, const QString& name);
};

} // namespace ui
