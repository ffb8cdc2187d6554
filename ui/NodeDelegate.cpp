#include "ui/NodeDelegate.h"

#include "model/LevelStyle.h"
#include "ui/Cp1252Validator.h"
#include "ui/TreeAdapter.h"

#include <QLineEdit>
#include <QPainter>

namespace ui {

NodeDelegate::NodeDelegate(LevelColour levelColour, QObject* parent)
    : QStyledItemDelegate(parent), m_levelColour(std::move(levelColour))
{
}

QStyleOptionViewItem NodeDelegate::nodeOption(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option; // a fresh copy of the view's font for every node
    initStyleOption(&opt, index);
    const int level = index.data(TreeAdapter::LevelRole).toInt();
    const QColor text = level < model::kLevelCount ? m_levelColour(level) : QColor(Qt::black);
    if (level == 0)
        opt.font.setBold(true);
    opt.backgroundBrush = kCream;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        opt.palette.setColor(group, QPalette::Text, text);
        opt.palette.setColor(group, QPalette::HighlightedText, text);
        opt.palette.setColor(group, QPalette::Highlight, kCream);
    }
    return opt;
}

void NodeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = nodeOption(option, index);
    // Selection and hover do not change a node's colours; a frame marks the selected row.
    const bool selected = opt.state & QStyle::State_Selected;
    opt.state &= ~(QStyle::State_Selected | QStyle::State_MouseOver | QStyle::State_HasFocus);
    painter->save();
    painter->setFont(opt.font); // some styles draw item text with the painter's font
    QStyledItemDelegate::paint(painter, opt, index);
    painter->restore();
    if (selected) {
        painter->save();
        QPen pen(opt.palette.color(QPalette::Text));
        pen.setStyle(Qt::DotLine);
        painter->setPen(pen);
        painter->drawRect(opt.rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}

QWidget* NodeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setValidator(new Cp1252Validator(line));
    return editor;
}

} // namespace ui
