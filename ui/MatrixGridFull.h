#pragma once
// The grid of one full design matrix: leaf rows down, their partners across,
// framed by the blocks of their parents. A cell shows X, O, or a lighter O
// where an O above implies it; the diagonal a greyed X. Clicks and keys ask
// for a cell as in the per-row grid (an implied O counts as not assessed, so
// a click asks for X and the design says why it refuses). A click on a
// column head, or Enter on a cell, asks what that column's parameter
// disturbs (columnMarked).
//
// Like the per-row grid it holds a snapshot taken when the pane refreshes:
// one dense table, so a change of cells is one dataChanged, not a rebuild.

#include "model/FullMatrix.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <QTableView>

#include <vector>

namespace ui {

// Where a parent's block begins or ends: between leaf `at` - 1 and leaf
// `at`, drawn the heavier the nearer the top the parent's level is.
struct BlockEdge {
    int at;
    int level;
};

struct FullSnapshot {
    QStringList rowHeads;    // leaf number and label
    QStringList columnHeads; // leaf numbers
    QStringList columnHints; // the columns' labels
    std::vector<model::FullCell> cells; // row by row, n x n
    std::vector<BlockEdge> edges;       // ordered by `at`, one per place
};

class FullGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The same size is a change of data, another size a reset.
    void setSnapshot(FullSnapshot snapshot);
    const FullSnapshot& snapshot() const { return m_snapshot; }
    model::FullCell cell(int row, int column) const;
    // The column whose head is drawn bold (its parameter's rows are marked); -1: none.
    void setMarkedColumn(int column);
    int markedColumn() const { return m_markedColumn; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int size() const { return static_cast<int>(m_snapshot.rowHeads.size()); }

    FullSnapshot m_snapshot;
    int m_markedColumn = -1;
};

class FullMatrixGrid : public QTableView {
    Q_OBJECT
public:
    explicit FullMatrixGrid(QWidget* parent = nullptr);

    FullGridModel& grid() { return m_model; }

signals:
    void cellRequested(int row, int column, model::CellValue value);
    void columnMarked(int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void request(const QModelIndex& index, model::CellValue value);
    void paintBlockEdges();

    FullGridModel m_model;
};

} // namespace ui
