#include "ui/TreeAdapter.h"

#include "model/Numbering.h"
#include "ui/FullText.h"

#include <QMimeData>

namespace ui {

namespace {
constexpr std::size_t kRunsAnnouncedOneByOne = 1024;
}

using model::Node;
using model::TreeId;

TreeAdapter::TreeAdapter(model::Design& design, TreeId tree, QObject* parent)
    : QAbstractItemModel(parent), m_design(design), m_id(tree)
{
    m_design.addObserver(this);
}

TreeAdapter::~TreeAdapter()
{
    m_design.removeObserver(this);
}

const Node* TreeAdapter::nodeOf(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<const Node*>(index.constInternalPointer()) : tree().root();
}

QModelIndex TreeAdapter::indexOfNode(const Node* node) const
{
    if (!node || node == tree().root())
        return {};
    return createIndex(static_cast<int>(node->siblingIndex), 0, node);
}

QModelIndex TreeAdapter::indexOfRow(int row) const
{
    if (row < 0 || row >= tree().size())
        return {};
    return indexOfNode(tree().nodeAt(row));
}

int TreeAdapter::rowOf(const QModelIndex& index) const
{
    return index.isValid() ? tree().rowOf(nodeOf(index)) : -1;
}

QModelIndex TreeAdapter::index(int row, int column, const QModelIndex& parent) const
{
    const Node* p = nodeOf(parent);
    if (column != 0 || row < 0 || row >= static_cast<int>(p->children.size()))
        return {};
    return createIndex(row, 0, p->children[static_cast<std::size_t>(row)]);
}

QModelIndex TreeAdapter::parent(const QModelIndex& child) const
{
    return child.isValid() ? indexOfNode(nodeOf(child)->parent) : QModelIndex();
}

int TreeAdapter::rowCount(const QModelIndex& parent) const
{
    return parent.column() > 0 ? 0 : static_cast<int>(nodeOf(parent)->children.size());
}

int TreeAdapter::columnCount(const QModelIndex&) const
{
    return 1;
}

bool TreeAdapter::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant TreeAdapter::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node* node = nodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
        return fullTextOf(m_design, m_id, node);
    case Qt::EditRole: // the label alone: its number is put back in front when it is confirmed
        return fullLabelOf(m_design, m_id, node);
    case LevelRole:
        return tree().levelOf(node);
    default:
        return {};
    }
}

bool TreeAdapter::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    // The design changes only through its owner's commands, never behind them.
    if (!m_labelEditor)
        return false;
    m_labelEditor(rowOf(index), value.toString().toStdString());
    return true;
}

Qt::ItemFlags TreeAdapter::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled
        | Qt::ItemIsDropEnabled;
}

QStringList TreeAdapter::mimeTypes() const
{
    return {kRowMimeType};
}

QMimeData* TreeAdapter::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    auto* mime = new QMimeData;
    mime->setData(kRowMimeType, QByteArray::number(rowOf(indexes.first())));
    return mime;
}

Qt::DropActions TreeAdapter::supportedDropActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions TreeAdapter::supportedDragActions() const
{
    return Qt::MoveAction;
}

// --- model notifications --------------------------------------------------------

void TreeAdapter::aboutToInsert(TreeId id, Node* parent, int first, int last)
{
    if (id == m_id)
        beginInsertRows(indexOfNode(parent), first, last);
}

void TreeAdapter::inserted(TreeId id, Node*, int, int)
{
    if (id == m_id)
        endInsertRows();
}

void TreeAdapter::aboutToRemove(TreeId id, Node* parent, int first, int last)
{
    if (id == m_id)
        beginRemoveRows(indexOfNode(parent), first, last);
}

void TreeAdapter::removed(TreeId id, Node*, int, int)
{
    if (id == m_id)
        endRemoveRows();
}

void TreeAdapter::aboutToMove(TreeId id, Node* srcParent, int srcRow, Node* destParent, int destRow)
{
    if (id == m_id)
        beginMoveRows(indexOfNode(srcParent), srcRow, srcRow, indexOfNode(destParent), destRow);
}

void TreeAdapter::moved(TreeId id, Node*, int, Node*, int)
{
    if (id == m_id)
        endMoveRows();
}

void TreeAdapter::textChanged(TreeId id, Node* node)
{
    if (id != m_id)
        return;
    const QModelIndex i = indexOfNode(node);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
}

void TreeAdapter::textsChanged(TreeId id, std::span<const model::TextRun> runs)
{
    if (id != m_id)
        return;
    // Each run of changed siblings is announced, so every view repaints
    // exactly those rows. A tree view looks each run up among the rows it
    // shows, which for a run inside a collapsed branch means all of them:
    // past a thousand runs (a renumbering of a whole large design), one
    // repaint of the views costs less (bench_window: FirstClickRenumbers).
    if (runs.size() > kRunsAnnouncedOneByOne) {
        emit manyTextsChanged();
        return;
    }
    for (const model::TextRun& run : runs) {
        const QModelIndex p = indexOfNode(run.parent);
        emit dataChanged(index(run.first, 0, p), index(run.last, 0, p), {Qt::DisplayRole, Qt::EditRole});
    }
}

void TreeAdapter::aboutToReset(TreeId id)
{
    if (id == m_id)
        beginResetModel();
}

void TreeAdapter::reset(TreeId id)
{
    if (id == m_id)
        endResetModel();
}

} // namespace ui

namespace ui {

void TreeAdapter::stepFinished(const model::StepChanges& changes)
{
    // The aspects do not say which of them changed; a design that holds no
    // full label, and held none, has none that changed.
    const bool holds = !m_design.fullLabels().empty();
    if (changes.has(model::StepChanges::Aspects) && (holds || m_heldFullLabels))
        emit fullLabelsChanged();
    m_heldFullLabels = holds;
}

} // namespace ui
