#pragma once
// The pane's full view: the whole design at once, over its leaf rows. The
// full FR-DP matrix (leaf FRs down, leaf DPs across) and the full DP-PV
// matrix (leaf DPs down, leaf PVs across) side by side, framed by the blocks
// of their parents, each with its classification in words and colour under
// it, positions named by the leaves' own numbers. Above model::kMostFullLeaves
// leaves a message takes the grids' place; the classification stays.
//
// Like the per-row view it shows what it is given and asks for changes
// (cellChangeRequested, naming the two leaf rows) and for what a column's
// parameter disturbs (columnMarked); it never changes the design itself.

#include "model/Design.h"
#include "model/FullMatrix.h"
#include "ui/MatrixGridFull.h"

#include <QWidget>

#include <array>
#include <vector>

class QLabel;
class QStackedWidget;

namespace ui {

class FullMatrixView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMostLeaves = model::kMostFullLeaves;
    static constexpr const char* kTooManyLeaves = "Too many leaves for a full matrix view";

    explicit FullMatrixView(QWidget* parent = nullptr);

    // Reads both full matrices of `design` now; call again after it changed.
    void showDesign(const model::Design& design);

    FullMatrixGrid* grid(model::MatrixKind kind) const { return m_grids[model::slot(kind)]; }
    QLabel* classification(model::MatrixKind kind) const { return m_classifications[model::slot(kind)]; }
    // The message shown instead of the grids, or nothing while they show.
    QString message() const;
    std::size_t leafCount() const { return m_leafRows.size(); }
    // Draws the head of the column of leaf row `row` bold (model::kNoRow: none).
    void markColumn(model::MatrixKind kind, int row);

signals:
    // The cell of leaf rows `aRow` (down) and `bRow` (across).
    void cellChangeRequested(model::MatrixKind kind, int aRow, int bRow, model::CellValue value);
    // What the parameter of the column of leaf row `row` disturbs.
    void columnMarked(model::MatrixKind kind, int row);

private:
    void showGrid(const model::Design& design, const model::LeafIndex& leaves, model::MatrixKind kind,
                  const std::vector<std::string>& numbers, const std::vector<BlockEdge>& edges);
    void showClassification(const model::Design& design, const model::LeafIndex& leaves, model::MatrixKind kind,
                            std::vector<std::string>& numbers);
    int leafRow(int leaf) const;

    std::array<QStackedWidget*, model::kMatrixKindCount> m_pages{};
    std::array<FullMatrixGrid*, model::kMatrixKindCount> m_grids{};
    std::array<QLabel*, model::kMatrixKindCount> m_messages{};
    std::array<QLabel*, model::kMatrixKindCount> m_classifications{};
    std::vector<int> m_leafRows; // the FR row of every leaf, in leaf order
};

} // namespace ui
