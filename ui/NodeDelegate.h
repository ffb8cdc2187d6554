#pragma once
// Draws every node of the three views (the views' custom-draw handler): cream
// background, the text colour of the node's level, level 0 bold, a fresh font
// per node. A selected row lies on a band of the system's highlight colour,
// the same in all three views whichever has the focus, so that nobody can miss
// the row every command acts on; its text keeps its level colour. The label
// editor is plainly an editor, and refuses what Windows-1252 cannot hold.

#include <QColor>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <functional>

namespace ui {

inline const QColor kCream(255, 251, 240);

// The band under a selected row: the system's highlight colour, lightened
// over cream so that every level colour stays readable on it.
QColor selectionBand();
// The line along the top and bottom of a selected row: the highlight colour itself.
QColor selectionEdge();

class NodeDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using LevelColour = std::function<QColor(int level)>;

    explicit NodeDelegate(LevelColour levelColour, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

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
