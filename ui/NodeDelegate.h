#pragma once
// Draws every node of the three views (the views' custom-draw handler): cream
// background also for selected rows, the text colour of the node's level,
// level 0 bold, a fresh font per node. A selected row keeps its colours and
// is marked by a frame. The label editor refuses what Windows-1252 cannot hold.

#include <QColor>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <functional>

namespace ui {

inline const QColor kCream(255, 251, 240);

class NodeDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using LevelColour = std::function<QColor(int level)>;

    explicit NodeDelegate(LevelColour levelColour, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // What paint() will draw with, for tests and for the export's eyes.
    QStyleOptionViewItem nodeOption(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    // Called with every text paint() draws: tests compare what the views
    // really show with what the design holds.
    using PaintHook = std::function<void(const QModelIndex& index, const QString& text)>;
    void setPaintHook(PaintHook hook) { m_paintHook = std::move(hook); }

private:
    static constexpr qsizetype kMaxLayouts = 4096;
    const QStaticText& laidOut(const QString& text, const QFont& font) const;

    LevelColour m_levelColour;
    PaintHook m_paintHook;
    mutable QHash<QString, QStaticText> m_layouts;
};

} // namespace ui
