#pragma once
// The three tree views with their adapters, and what is done to all three at
// once: the views behave as three columns of one table of node rows. Row k
// of each stands at the same height in all three at all times: they scroll
// vertically as one, through the rightmost column's scroll bar (the only one
// shown) or the wheel or keys in any of them; a row expanded or collapsed in
// one is so in all three, whatever did it.

#include "model/Design.h"
#include "model/TreeObserver.h"
#include "ui/TTreeView.h"
#include "ui/TreeAdapter.h"

#include <array>
#include <functional>
#include <optional>
#include <span>

class QAbstractItemDelegate;

namespace app {

// They are drawn again whenever the level styles or colours change.
class TreeColumns : private model::TreeObserver {
public:
    using DelegateFactory = std::function<QAbstractItemDelegate*(QObject* parent)>;

    // Each view gets its own delegate: a shared one would send one view's
    // editor to all three.
    TreeColumns(model::Design& design, const DelegateFactory& makeDelegate, QWidget* parent);
    ~TreeColumns();
    TreeColumns(const TreeColumns&) = delete;
    TreeColumns& operator=(const TreeColumns&) = delete;

    ui::TTreeView* view(model::TreeId id) const { return m_views[idx(id)]; }
    ui::TreeAdapter* adapter(model::TreeId id) const { return m_adapters[idx(id)]; }
    std::optional<model::TreeId> treeOf(const QObject* view) const;

    int selectedRow(model::TreeId id) const;   // -1 when none
    int rowAt(model::TreeId id, const QPoint& viewportPos) const; // -1 over empty space
    QModelIndex indexOfRow(model::TreeId id, int row) const { return adapter(id)->indexOfRow(row); }

    void selectRow(int row);                         // in all three, scrolled into view
    void selectRowIn(model::TreeId id, int row);
    void setExpanded(int row, bool expanded);        // one level, in all three
    void expandSubtree(int row);                     // every level below, in all three, as far as is safe
    void expandSubtrees(std::span<const int> rows);  // the same for many rows at once (the tops of a paste)
    void expandAll();                                // as far as is safe (ui::safeExpansionDepth)
    void collapseAll();
    void editRow(model::TreeId id, int row);         // opens the label editor

private:
    static std::size_t idx(model::TreeId id) { return static_cast<std::size_t>(model::index(id)); }
    void scrollTogether();
    void scrolled(model::TreeId from, int top);
    void rangeChanged(model::TreeId id);
    void followOneAnother(); // expansions, and the current row a view picks by itself
    void expansionChanged(model::TreeId from, const QModelIndex& index, bool expanded);
    void levelStylesChanged(int level) override;

    model::Design& m_design;

    int m_top = 0;            // the first row shown, the same in all three
    bool m_following = false; // the other columns are being brought to m_top
    bool m_expanding = false; // all three are being expanded or collapsed at once

    std::array<ui::TTreeView*, model::kTreeCount> m_views{};
    std::array<ui::TreeAdapter*, model::kTreeCount> m_adapters{};
};

} // namespace app
