#pragma once
// Find in the window: the find bar's query searched over the labels of the
// three trees and the notes of their nodes as the user types, every found
// label marked in its column (a node whose note holds the query says "in
// note" after its label),
// and the next or previous match selected as a click on it would select it,
// with its ancestors expanded in all three columns.
//
// Typing does not move the selection: the current match is the first one
// at or after the selected row, marked more strongly, and the first Enter
// goes there. Marks are not stored per row: the node drawing asks for the
// rows it paints, so a keystroke costs one search and one repaint.

#include "model/LabelSearch.h"
#include "model/TreeObserver.h"
#include "ui/NodeDelegate.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class QAction;

namespace model { class Design; }
namespace ui { class FindBar; }

namespace app {

class TreeColumns;

class FindController : public QObject, private model::TreeObserver {
    Q_OBJECT
public:
    // Selects `row` as a click on it in column `tree` would (the window's own
    // handling of a click: all three columns, renumbering, the active tree).
    using SelectAsClick = std::function<void(model::TreeId tree, int row)>;

    FindController(model::Design& design, TreeColumns& columns, ui::FindBar& bar, SelectAsClick selectAsClick,
                   QObject* parent = nullptr);
    ~FindController() override;

    // Find (Ctrl+F), anywhere in the window: the bar opens.
    QAction* findAction() const { return m_findAction; }

    void open();   // the bar opens, searching its text again
    void next();
    void previous();

    bool active() const { return m_active; }
    const std::vector<model::FoundLabel>& matches() const { return m_matches; }
    int current() const { return m_current; } // index into matches(), -1 when none
    // What the node drawing marks on this node of `tree`.
    ui::TextMark markOf(model::TreeId tree, const QModelIndex& index) const;

private:
    void search(const QString& query);
    ui::TextMark labelMarkOf(model::TreeId tree, const model::Node* node) const;
    void closed();
    void researchSoon();
    int firstMatchFrom(const model::FoundLabel& place) const;
    void pickCurrentNearSelection();
    void go(int step);
    void showCount();
    void repaint();

    // model::TreeObserver: labels or notes may have changed or moved to other
    // rows. A renumbering alone changes only numbers, which are not searched.
    void stepFinished(const model::StepChanges& changes) override;

    QAction* m_findAction;
    model::Design& m_design;
    TreeColumns& m_columns;
    ui::FindBar& m_bar;
    SelectAsClick m_selectAsClick;
    QPointer<QWidget> m_focusBefore;
    model::LabelSearch m_search;
    std::vector<model::FoundLabel> m_matches;
    int m_current = -1;
    bool m_active = false;  // the bar is open with a query: rows are marked
    bool m_visited = false; // the current match has been selected
    bool m_stale = false;   // the design changed since the last search
    bool m_researchQueued = false;
};

} // namespace app
