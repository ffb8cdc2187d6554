#include "ui/MatrixGridModel.h"

#include <QBrush>
#include <QColor>

namespace ui {
namespace {

const QColor kDiagonalText(0x90, 0x90, 0x90);
const QColor kDiagonalBackground(0xEE, 0xEE, 0xEE);

QString markOf(model::CellValue value)
{
    switch (value) {
    case model::CellValue::X:
        return QStringLiteral("X");
    case model::CellValue::O:
        return QStringLiteral("O");
    case model::CellValue::NotAssessed:
        break;
    }
    return {};
}

} // namespace

void MatrixGridModel::setSnapshot(MatrixSnapshot snapshot)
{
    if (snapshot.rowHeads.size() != m_snapshot.rowHeads.size()) {
        beginResetModel();
        m_snapshot = std::move(snapshot);
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

model::CellValue MatrixGridModel::cell(int row, int column) const
{
    if (row < 0 || column < 0 || row >= size() || column >= size())
        return model::CellValue::NotAssessed;
    return m_snapshot.cells[static_cast<std::size_t>(row * size() + column)];
}

int MatrixGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : size();
}

int MatrixGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : size();
}

QVariant MatrixGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const bool diagonal = index.row() == index.column();
    switch (role) {
    case Qt::DisplayRole:
        return diagonal ? QStringLiteral("X") : markOf(cell(index.row(), index.column()));
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::ForegroundRole:
        return diagonal ? QVariant(QBrush(kDiagonalText)) : QVariant();
    case Qt::BackgroundRole:
        return diagonal ? QVariant(QBrush(kDiagonalBackground)) : QVariant();
    default:
        return {};
    }
}

QVariant MatrixGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section < 0 || section >= size())
        return {};
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(m_snapshot.rowHeads[section]) : QVariant();
    if (role == Qt::DisplayRole)
        return m_snapshot.columnHeads[section];
    if (role == Qt::ToolTipRole)
        return m_snapshot.columnHints[section];
    return {};
}

} // namespace ui
