#pragma once
// The grid of one design matrix. A click on a cell cycles it: not assessed,
// X, O, not assessed again. Keys: the arrows move, X sets X, O or 0 sets O,
// Delete or Space clears. The diagonal never changes. The grid only asks
// for a change (cellRequested); the design decides. Enter on a cell, or a
// double click on a row head, asks for that row's own children (rowOpened).

#include "model/MatrixStore.h"
#include "ui/MatrixGridModel.h"

#include <QTableView>

#include <optional>

namespace ui {

// What a key sets a cell to in any matrix grid: X, O (also 0), or not
// assessed (Delete, Space); nothing for other keys.
std::optional<model::CellValue> cellValueOfKey(int key);

class MatrixGrid : public QTableView {
    Q_OBJECT
public:
    explicit MatrixGrid(QWidget* parent = nullptr);

    MatrixGridModel& grid() { return m_model; }

    // What a click makes of a cell.
    static model::CellValue cycled(model::CellValue value);

signals:
    void cellRequested(int row, int column, model::CellValue value);
    void rowOpened(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void request(const QModelIndex& index, model::CellValue value);

    MatrixGridModel m_model;
};

} // namespace ui
