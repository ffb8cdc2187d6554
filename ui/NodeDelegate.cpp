#include "ui/NodeDelegate.h"

#include "model/LevelStyle.h"
#include "ui/Cp1252Validator.h"
#include "ui/TreeAdapter.h"

#include <QLineEdit>
#include <QPainter>
#include <QStyle>

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

const QStaticText& NodeDelegate::laidOut(const QString& text, const QFont& font) const
{
    // Shaping a line of text costs far more than drawing it; the rows on
    // screen are drawn again at every click, so their layouts are kept.
    const QString key = font.bold() ? text + QChar(1) : text;
    if (auto it = m_layouts.find(key); it != m_layouts.end())
        return *it;
    if (m_layouts.size() >= kMaxLayouts)
        m_layouts.clear();
    QStaticText laid(text);
    laid.setTextFormat(Qt::PlainText);
    laid.prepare(QTransform(), font);
    return *m_layouts.insert(key, laid);
}

void NodeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QStyleOptionViewItem opt = nodeOption(option, index);
    // Selection, focus and hover do not change a node's colours; a frame marks the selected row.
    painter->save();
    painter->fillRect(opt.rect, kCream);
    painter->setClipRect(opt.rect);
    painter->setFont(opt.font);
    const QColor text = opt.palette.color(QPalette::Text);
    painter->setPen(text);
    const QStaticText& laid = laidOut(opt.text, opt.font);
    const int margin = opt.widget ? opt.widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, &opt, opt.widget) + 1 : 3;
    const qreal top = opt.rect.top() + (opt.rect.height() - laid.size().height()) / 2;
    painter->drawStaticText(QPointF(opt.rect.left() + margin, top), laid);
    if (m_paintHook)
        m_paintHook(index, opt.text);
    if (opt.state & QStyle::State_Selected) {
        QPen pen(text);
        pen.setStyle(Qt::DotLine);
        painter->setPen(pen);
        painter->drawRect(opt.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

QWidget* NodeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setValidator(new Cp1252Validator(line));
    return editor;
}

} // namespace ui
