#include "ui/MatrixGridFull.h"

#include "ui/MatrixGrid.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

namespace ui {
namespace {

constexpr int kCellSize = 24;
const QColor kDiagonalText(0x90, 0x90, 0x90);
const QColor kDiagonalBackground(0xEE, 0xEE, 0xEE);
// Light enough to tell from a stored O at a glance, dark enough to read.
const QColor kImpliedText(0xA8, 0xA8, 0xA8);
const QColor kBlockEdge(0x50, 0x50, 0x50);

// What the user set here: an implied O is no cell of its own.
model::CellValue storedOf(model::FullCell cell)
{
    switch (cell) {
    case model::FullCell::X:
        return model::CellValue::X;
    case model::FullCell::O:
        return model::CellValue::O;
    case model::FullCell::NotAssessed:
    case model::FullCell::ImpliedO:
        break;
    }
    return model::CellValue::NotAssessed;
}

// A top-level parent's edge 3 pixels, the next level's 2, deeper ones 1.
int edgeWidth(int level)
{
    return level <= 0 ? 3 : level == 1 ? 2 : 1;
}

// Where an edge lies along the rows or columns: over the line the table
// draws between the section before `at` and section `at` (which begins at
// `sectionStart`), as wide as its level asks.
std::pair<int, int> edgeBand(int sectionStart, int level)
{
    const int width = edgeWidth(level);
    return {sectionStart - 1 - width / 2, width};
}

// A head that carries the blocks' edges on from the grid, so the heads are
// framed with their cells.
class BlockHeader : public QHeaderView {
public:
    BlockHeader(Qt::Orientation orientation, const FullGridModel& model, QWidget* parent)
        : QHeaderView(orientation, parent), m_model(model)
    {
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QHeaderView::paintEvent(event);
        QPainter painter(viewport());
        const QRect all = viewport()->rect();
        for (const BlockEdge& edge : m_model.snapshot().edges) {
            const auto [from, width] = edgeBand(sectionViewportPosition(edge.at), edge.level);
            painter.fillRect(orientation() == Qt::Vertical ? QRect(all.left(), from, all.width(), width)
                                                           : QRect(from, all.top(), width, all.height()),
                             kBlockEdge);
        }
    }

private:
    const FullGridModel& m_model;
};

} // namespace

void FullGridModel::setSnapshot(FullSnapshot snapshot)
{
    if (snapshot.rowHeads.size() != m_snapshot.rowHeads.size()) {
        beginResetModel();
        m_snapshot = std::move(snapshot);
        m_markedColumn = -1;
        endResetModel();
        return;
    }
    m_snapshot = std::move(snapshot);
    if (size() == 0)
        return;
    emit headerDataChanged(Qt::Vertical, 0, size() - 1);
    emit headerDataChanged(Qt::Horizontal, 0, size() - 1);
    emit dataChanged(index(0, 0), index(size() - 1, size() - 1));
}

model::FullCell FullGridModel::cell(int row, int column) const
{
    if (row < 0 || column < 0 || row >= size() || column >= size())
        return model::FullCell::NotAssessed;
    return m_snapshot.cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(size()) + column];
}

void FullGridModel::setMarkedColumn(int column)
{
    const int before = m_markedColumn;
    m_markedColumn = column >= 0 && column < size() ? column : -1;
    for (int section : {before, m_markedColumn})
        if (section >= 0)
            emit headerDataChanged(Qt::Horizontal, section, section);
}

int FullGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : size();
}

int FullGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : size();
}

QVariant FullGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const bool diagonal = index.row() == index.column();
    const model::FullCell value = cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        if (diagonal || value == model::FullCell::X)
            return QStringLiteral("X");
        if (value == model::FullCell::O || value == model::FullCell::ImpliedO)
            return QStringLiteral("O");
        return {};
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::ForegroundRole:
        if (diagonal)
            return QBrush(kDiagonalText);
        return value == model::FullCell::ImpliedO ? QVariant(QBrush(kImpliedText)) : QVariant();
    case Qt::BackgroundRole:
        return diagonal ? QVariant(QBrush(kDiagonalBackground)) : QVariant();
    case Qt::ToolTipRole:
        return value == model::FullCell::ImpliedO && !diagonal ? QStringLiteral("O implied by an O above") : QVariant();
    default:
        return {};
    }
}

QVariant FullGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section < 0 || section >= size())
        return {};
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(m_snapshot.rowHeads[section]) : QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_snapshot.columnHeads[section];
    case Qt::ToolTipRole:
        return m_snapshot.columnHints[section];
    case Qt::FontRole:
        if (section == m_markedColumn) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

FullMatrixGrid::FullMatrixGrid(QWidget* parent) : QTableView(parent)
{
    setHorizontalHeader(new BlockHeader(Qt::Horizontal, m_model, this));
    setVerticalHeader(new BlockHeader(Qt::Vertical, m_model, this));
    setModel(&m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setDefaultSectionSize(kCellSize + 12); // room for numbers such as 1.12
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kCellSize);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setHighlightSections(false);
    // A click on a column head asks what its parameter disturbs; with single
    // cells to select, it selects nothing.
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &FullMatrixGrid::columnMarked);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        request(index, MatrixGrid::cycled(storedOf(m_model.cell(index.row(), index.column()))));
    });
}

void FullMatrixGrid::request(const QModelIndex& index, model::CellValue value)
{
    if (index.isValid() && index.row() != index.column())
        emit cellRequested(index.row(), index.column(), value);
}

void FullMatrixGrid::keyPressEvent(QKeyEvent* event)
{
    if (const std::optional<model::CellValue> value = cellValueOfKey(event->key())) {
        request(currentIndex(), *value);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (currentIndex().isValid())
            emit columnMarked(currentIndex().column());
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}

void FullMatrixGrid::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    paintBlockEdges();
}

// Over the grid lines: each edge runs across the whole grid, along the line
// the table draws between leaf at - 1 and leaf at.
void FullMatrixGrid::paintBlockEdges()
{
    const int n = m_model.rowCount();
    if (n == 0 || m_model.snapshot().edges.empty())
        return;
    const int right = columnViewportPosition(n - 1) + columnWidth(n - 1) - 1;
    const int bottom = rowViewportPosition(n - 1) + rowHeight(n - 1) - 1;
    const QRect visible = viewport()->rect();
    QPainter painter(viewport());
    for (const BlockEdge& edge : m_model.snapshot().edges) {
        const auto [y, height] = edgeBand(rowViewportPosition(edge.at), edge.level);
        painter.fillRect(QRect(visible.left(), y, std::min(right, visible.right()) - visible.left() + 1, height),
                         kBlockEdge);
        const auto [x, width] = edgeBand(columnViewportPosition(edge.at), edge.level);
        painter.fillRect(QRect(x, visible.top(), width, std::min(bottom, visible.bottom()) - visible.top() + 1),
                         kBlockEdge);
    }
}

} // namespace ui
