#pragma once
// Draws every node of the three views (the views' custom-draw handler): cream
// background, the text colour of the node's level, level 0 bold, a fresh font
// per node. A selected row lies on a band of the system's highlight colour,
// the same in all three views whichever has the focus, so that nobody can miss
// the row every command acts on; its text keeps its level colour. Where Find
// found its query in a label, the found characters lie on a marker colour.
// A row a feature marks (the rows a design parameter disturbs) lies on a
// light band under its whole label, beneath Find's marks.
// A feature may put a short note after a label (an annotation): it is drawn,
// never part of the label, so the editor and every command see the label alone.
// A node with a note shows a small marker at the end of its row.
// The label editor is plainly an editor, takes any character, and cuts a
// label longer than model::kLongestLabel.

#include <QColor>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <functional>
#include <string>

namespace ui {

inline const QColor kCream(255, 251, 240);

// The band under a selected row: the system's highlight colour, lightened
// over cream so that every level colour stays readable on it.
QColor selectionBand();
// The line along the top and bottom of a selected row: the highlight colour itself.
QColor selectionEdge();

// The marker under found characters, and under those of the current match.
inline const QColor kFoundMark(255, 226, 110);
inline const QColor kCurrentFoundMark(255, 150, 50);

// Characters start .. start+length-1 of a node's text hold what Find looks for.
// A node whose note holds it says "in note" after its label, on the same marks.
struct TextMark {
    int start = -1; // -1: nothing found in this node's label
    int length = 0;
    bool current = false; // the match Find stands on
    bool inNote = false;     // found in the node's note
    bool noteCurrent = false; // and that is the match Find stands on
    bool marked() const { return start >= 0 && length > 0; }
};
inline constexpr const char* kFoundInNote = "in note";

// The band under the label of a marked row: green, apart from Find's yellow
// and the selection's highlight.
inline const QColor kRowMark(196, 234, 196);

// How a row differs from the design it is compared with. The whole row lies
// on a light tint with a stronger bar along its left edge, one colour a kind;
// the bar stays on a selected row, whose band hides the tint. A removed row
// has no row here: its colour is for the list of changes.
enum class RowChange : unsigned char { None, Added, Moved, Changed, Removed };
QColor changeTint(RowChange change);
QColor changeBar(RowChange change);
inline constexpr int kChangeBarWidth = 3; // within the margin before the label

// A note drawn after a node's label, in grey, or in a warning red.
struct Annotation {
    QString text; // empty: nothing after the label
    bool warning = false;
    bool present() const { return !text.isEmpty(); }
};
inline const QColor kAnnotationGrey(128, 128, 128);
inline const QColor kAnnotationWarning(205, 60, 60);
// The space between a label and its annotation, as drawn and in the hint.
inline constexpr const char* kAnnotationGap = "   ";

// The marker at the end of a row whose node has a note: a corner, as a
// note pinned to the row, in a colour no other mark uses.
inline const QColor kNoteMarker(214, 120, 30);
inline constexpr int kNoteMarkerSize = 7;
// The most of a note's first line a hint shows, in characters.
inline constexpr int kNoteHintLength = 200;

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

    // Called with every label paint() draws, and the annotation drawn after
    // it (empty when none): tests compare what the views really show with
    // what the design holds.
    using PaintHook = std::function<void(const QModelIndex& index, const QString& text, const QString& annotation)>;
    void setPaintHook(PaintHook hook) { m_paintHook = std::move(hook); }

    // Asked for every node paint() draws: whether Find marks it, and where.
    // Asking costs nothing when no search is open, and only the rows on
    // screen are asked, so a search need not keep a set of marked rows.
    using MarkFinder = std::function<TextMark(const QModelIndex& index)>;
    void setMarkFinder(MarkFinder finder) { m_markFinder = std::move(finder); }
    TextMark markOf(const QModelIndex& index) const { return m_markFinder ? m_markFinder(index) : TextMark{}; }

    // Asked, like the MarkFinder, for every node paint() draws: whether its
    // whole label lies on the row mark.
    using RowMarker = std::function<bool(const QModelIndex& index)>;
    void setRowMarker(RowMarker marker) { m_rowMarker = std::move(marker); }
    bool rowMarked(const QModelIndex& index) const { return m_rowMarker && m_rowMarker(index); }

    // Asked, like the MarkFinder, for every node paint() draws: how its row
    // differs from the design it is compared with.
    using ChangeMarker = std::function<RowChange(const QModelIndex& index)>;
    void setChangeMarker(ChangeMarker marker) { m_changeMarker = std::move(marker); }
    RowChange changeOf(const QModelIndex& index) const { return m_changeMarker ? m_changeMarker(index) : RowChange::None; }

    // Asked, like the MarkFinder, for every node paint() draws and for the
    // view's hint: what to note after the label.
    using Annotator = std::function<Annotation(const QModelIndex& index)>;
    void setAnnotator(Annotator annotator) { m_annotator = std::move(annotator); }
    Annotation annotationOf(const QModelIndex& index) const { return m_annotator ? m_annotator(index) : Annotation{}; }

    // Asked, like the MarkFinder, for every node paint() draws and for the
    // view's hint: the node's note (UTF-8), or nullptr when it has none.
    using NoteFinder = std::function<const std::string*(const QModelIndex& index)>;
    void setNoteFinder(NoteFinder finder) { m_noteFinder = std::move(finder); }
    bool hasNote(const QModelIndex& index) const { return m_noteFinder && m_noteFinder(index); }
    // The first line of the node's note, as its hint shows it; empty when it has none.
    QString noteLineOf(const QModelIndex& index) const;

signals:
    // The label editor cut a label longer than model::kLongestLabel.
    void labelCut() const;

private:
    static constexpr qsizetype kMaxLayouts = 4096;
    const QStaticText& laidOut(const QString& text, const QFont& font) const;
    qreal baselineShift(const QString& text, const QFont& font, const QStaticText& laid) const;

    void paintMark(QPainter* painter, const QStyleOptionViewItem& opt, const TextMark& mark, qreal left) const;
    void paintNoteMarker(QPainter* painter, const QRect& row) const;

    LevelColour m_levelColour;
    PaintHook m_paintHook;
    MarkFinder m_markFinder;
    RowMarker m_rowMarker;
    ChangeMarker m_changeMarker;
    Annotator m_annotator;
    NoteFinder m_noteFinder;
    mutable QHash<QString, QStaticText> m_layouts;
    mutable QHash<QString, qreal> m_shifts; // by the keys of m_layouts, for text beyond Latin-1
};

} // namespace ui
