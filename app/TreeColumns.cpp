#include "app/TreeColumns.h"

#include <QAbstractItemDelegate>
#include <QScrollBar>
#include <utility>

namespace app {

using model::TreeId;

namespace {
constexpr const char* kViewNames[model::kTreeCount] = {"FRV", "DPV", "PVV"};
constexpr const char* kColumnNames[model::kTreeCount] = {"Functional Requirements", "Design Parameters",
                                                         "Process Variables"};
} // namespace

TreeColumns::TreeColumns(model::Design& design, const DelegateFactory& makeDelegate, QWidget* parent)
    : m_design(design)
{
    for (TreeId id : model::kAllTrees) {
        const auto i = idx(id);
        m_adapters[i] = new ui::TreeAdapter(design, id, parent);
        m_views[i] = new ui::TTreeView(QString::fromLatin1(kViewNames[i]), QString::fromLatin1(kColumnNames[i]), parent);
        m_views[i]->setModel(m_adapters[i]);
        m_views[i]->setItemDelegate(makeDelegate(m_views[i]));
        for (auto textsChanged : {&ui::TreeAdapter::fullLabelsChanged, &ui::TreeAdapter::manyTextsChanged})
            QObject::connect(m_adapters[i], textsChanged, m_views[i]->viewport(), qOverload<>(&QWidget::update));
    }
    scrollTogether();
    followOneAnother();
    m_design.addObserver(this);
}

TreeColumns::~TreeColumns()
{
    m_design.removeObserver(this);
    m_following = m_expanding = true; // no column follows another while they go
    // The views go first, while the design their open editors write to still exists.
    for (auto*& view : m_views)
        delete std::exchange(view, nullptr);
    for (auto*& adapter : m_adapters)
        delete std::exchange(adapter, nullptr);
}

void TreeColumns::scrollTogether()
{
    for (TreeId id : model::kAllTrees) {
        ui::TTreeView* v = view(id);
        // Equal viewports give equal ranges: each column keeps its horizontal
        // scroll bar, needed or not, and the vertical one shows on the right only.
        v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        v->setVerticalScrollBarPolicy(id == TreeId::PV ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        QScrollBar* bar = v->verticalScrollBar();
        QObject::connect(bar, &QScrollBar::valueChanged, v, [this, id](int top) { scrolled(id, top); });
        QObject::connect(bar, &QScrollBar::rangeChanged, v, [this, id] { rangeChanged(id); });
    }
}

void TreeColumns::scrolled(TreeId from, int top)
{
    // A column being brought along may stop short: its layout can lag behind
    // (its tree changes after the others'); it catches up when its range does.
    if (m_following)
        return;
    m_top = top;
    m_following = true;
    for (TreeId id : model::kAllTrees)
        if (id != from)
            view(id)->verticalScrollBar()->setValue(top);
    m_following = false;
}

void TreeColumns::rangeChanged(TreeId id)
{
    if (m_following)
        return;
    QScrollBar* bar = view(id)->verticalScrollBar();
    m_following = true;
    bar->setValue(m_top);
    m_following = false;
    // All three laid out alike (a collapse that shortened them all): where
    // they stand now is the common place.
    bool same = true;
    for (TreeId other : model::kAllTrees)
        same = same && view(other)->verticalScrollBar()->maximum() == bar->maximum();
    if (same)
        m_top = bar->value();
}

void TreeColumns::followOneAnother()
{
    for (TreeId id : model::kAllTrees) {
        ui::TTreeView* v = view(id);
        QObject::connect(v, &ui::TTreeView::expanded, v, [this, id](const QModelIndex& i) { expansionChanged(id, i, true); });
        QObject::connect(v, &ui::TTreeView::collapsed, v, [this, id](const QModelIndex& i) { expansionChanged(id, i, false); });
        QObject::connect(v, &ui::TTreeView::subtreeExpanded, v, [this, id](const QModelIndex& i) {
            if (!m_expanding)
                expandSubtree(adapter(id)->rowOf(i));
        });
        // The row a view makes current by itself when the focus arrives: the partners' current too.
        QObject::connect(v, &ui::TTreeView::currentPicked, v, [this, id] {
            const int row = adapter(id)->rowOf(view(id)->currentIndex());
            for (TreeId other : model::kAllTrees)
                if (other != id)
                    view(other)->selectionModel()->setCurrentIndex(indexOfRow(other, row), QItemSelectionModel::NoUpdate);
        });
    }
}

void TreeColumns::expansionChanged(TreeId from, const QModelIndex& index, bool expanded)
{
    // One view expanded or collapsed a row by itself (the arrow, a key, Enter
    // showing a row hidden in a collapsed branch): its partners follow.
    if (m_expanding)
        return;
    const int row = adapter(from)->rowOf(index);
    m_expanding = true;
    for (TreeId id : model::kAllTrees)
        if (id != from)
            view(id)->setExpanded(indexOfRow(id, row), expanded);
    m_expanding = false;
}

std::optional<TreeId> TreeColumns::treeOf(const QObject* view) const
{
    for (TreeId id : model::kAllTrees)
        if (m_views[idx(id)] == view)
            return id;
    return std::nullopt;
}

int TreeColumns::selectedRow(TreeId id) const
{
    const QModelIndexList selected = view(id)->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : adapter(id)->rowOf(selected.first());
}

int TreeColumns::rowAt(TreeId id, const QPoint& viewportPos) const
{
    return adapter(id)->rowOf(view(id)->indexAt(viewportPos));
}

void TreeColumns::selectRowIn(TreeId id, int row)
{
    const QModelIndex index = indexOfRow(id, row);
    if (!index.isValid())
        return;
    view(id)->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view(id)->scrollTo(index);
}

void TreeColumns::selectRow(int row)
{
    for (TreeId id : model::kAllTrees)
        selectRowIn(id, row);
}

void TreeColumns::setExpanded(int row, bool expanded)
{
    const bool was = std::exchange(m_expanding, true); // each view is told itself
    for (TreeId id : model::kAllTrees)
        view(id)->setExpanded(indexOfRow(id, row), expanded);
    m_expanding = was;
}

void TreeColumns::expandSubtree(int row)
{
    expandSubtrees({&row, 1});
}

void TreeColumns::expandSubtrees(std::span<const int> rows)
{
    const bool was = std::exchange(m_expanding, true); // each view is told itself
    for (TreeId id : model::kAllTrees) {
        QModelIndexList tops;
        tops.reserve(static_cast<qsizetype>(rows.size()));
        for (int row : rows)
            tops.push_back(indexOfRow(id, row));
        view(id)->expandSubtreesWithinLimit(tops);
    }
    m_expanding = was;
}

void TreeColumns::expandAll()
{
    const bool was = std::exchange(m_expanding, true); // each view is told itself
    for (TreeId id : model::kAllTrees)
        view(id)->expandAllWithinLimit();
    m_expanding = was;
}

void TreeColumns::collapseAll()
{
    const bool was = std::exchange(m_expanding, true); // each view is told itself
    for (TreeId id : model::kAllTrees)
        view(id)->collapseAll();
    m_expanding = was;
}

void TreeColumns::editRow(TreeId id, int row)
{
    const QModelIndex index = indexOfRow(id, row);
    if (!index.isValid())
        return;
    view(id)->setFocus();
    view(id)->edit(index);
}

// In the level colours now set: opening, saving and the options change them.
void TreeColumns::levelStylesChanged(int)
{
    for (ui::TTreeView* view : m_views)
        view->viewport()->update();
}

} // namespace app
