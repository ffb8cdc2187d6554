#include "app/TreeColumns.h"

#include <QAbstractItemDelegate>
#include <utility>

namespace app {

using model::TreeId;

namespace {
constexpr const char* kViewNames[model::kTreeCount] = {"FRV", "DPV", "PVV"};
constexpr const char* kColumnNames[model::kTreeCount] = {"Functional Requirements", "Design Parameters",
                                                         "Process Variables"};
} // namespace

TreeColumns::TreeColumns(model::Design& design, const DelegateFactory& makeDelegate, QWidget* parent)
{
    for (TreeId id : model::kAllTrees) {
        const auto i = idx(id);
        m_adapters[i] = new ui::TreeAdapter(design, id, parent);
        m_views[i] = new ui::TTreeView(QString::fromLatin1(kViewNames[i]), QString::fromLatin1(kColumnNames[i]), parent);
        m_views[i]->setModel(m_adapters[i]);
        m_views[i]->setItemDelegate(makeDelegate(m_views[i]));
    }
}

TreeColumns::~TreeColumns()
{
    // The views go first, while the design their open editors write to still exists.
    for (auto*& view : m_views)
        delete std::exchange(view, nullptr);
    for (auto*& adapter : m_adapters)
        delete std::exchange(adapter, nullptr);
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
    for (TreeId id : model::kAllTrees)
        view(id)->setExpanded(indexOfRow(id, row), expanded);
}

void TreeColumns::expandSubtree(int row)
{
    for (TreeId id : model::kAllTrees)
        view(id)->expandSubtreeWithinLimit(indexOfRow(id, row));
}

void TreeColumns::expandAll()
{
    for (TreeId id : model::kAllTrees)
        view(id)->expandAllWithinLimit();
}

void TreeColumns::collapseAll()
{
    for (TreeId id : model::kAllTrees)
        view(id)->collapseAll();
}

void TreeColumns::editRow(TreeId id, int row)
{
    const QModelIndex index = indexOfRow(id, row);
    if (!index.isValid())
        return;
    view(id)->setFocus();
    view(id)->edit(index);
}

} // namespace app
