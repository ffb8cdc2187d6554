#pragma once
// One design matrix as a table for the pane: a snapshot of the heads and the
// cells, taken from the design whenever the pane refreshes, so the grid never
// reaches into nodes that a command may have removed meanwhile.
//
// Row heads are "1.2.1 Label", column heads the numbers with the label as
// hint; a cell shows X, O or nothing, and the diagonal a greyed X.

#include "model/MatrixStore.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace ui {

struct MatrixSnapshot {
    QStringList rowHeads;     // number and label
    QStringList columnHeads;  // numbers
    QStringList columnHints;  // the columns' labels
    std::vector<model::CellValue> cells; // row by row, n x n; the diagonal is ignored
};

class MatrixGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Takes a new snapshot: the same size is a change of data, another size a reset.
    void setSnapshot(MatrixSnapshot snapshot);
    model::CellValue cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int size() const { return static_cast<int>(m_snapshot.rowHeads.size()); }

    MatrixSnapshot m_snapshot;
};

} // namespace ui
