#pragma once
// The "Design matrix" pane: the FR-DP and DP-PV matrices over the children
// of one node row (or of the top level) side by side, each grid headed by
// the children's numbers and labels, with its classification under it in
// words and colour: "Uncoupled" green, "Decoupled: set DP ..." amber,
// "Coupled: ..." red, "... cells not assessed" grey. Above kMostRows
// children the grids give way to a message; the stored cells stay.
//
// The pane shows what it is given and asks for changes through
// cellChangeRequested: it never changes the design itself.

#include "model/Design.h"
#include "model/MatrixClassification.h"
#include "ui/MatrixGrid.h"

#include <QWidget>

#include <array>

class QLabel;
class QStackedWidget;

namespace ui {

class MatrixPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMostRows = model::kMostGridRows;
    static constexpr const char* kTooManyRows = "Too many rows for a matrix view";
    static constexpr const char* kNoMatrix = "No design matrix here: a level needs two or more rows";
    // The height the pane asks for when it is shown: the columns keep most of the window.
    static constexpr int kPreferredHeight = 220;

    explicit MatrixPane(QWidget* parent = nullptr);

    // The matrices over the children of `parentRow` (model::kNoRow: the top
    // level), read from `design` now; call again after the design changed.
    void showMatrices(const model::Design& design, int parentRow);
    // Nothing to show (an empty design).
    void showNothing();

    int parentRow() const { return m_parentRow; }
    MatrixGrid* grid(model::MatrixKind kind) const { return m_grids[model::slot(kind)]; }
    QLabel* classification(model::MatrixKind kind) const { return m_classifications[model::slot(kind)]; }
    QLabel* caption() const { return m_caption; }
    // The message shown instead of the grids, or nothing while they show.
    QString message() const;

    QSize sizeHint() const override;

signals:
    void cellChangeRequested(int parentRow, model::MatrixKind kind, int row, int column, model::CellValue value);

private:
    void showMessage(const QString& text);
    void showGrid(const model::Design& design, const model::Node* parent, model::MatrixKind kind,
                  const std::string& number);

    QLabel* m_caption;
    QStackedWidget* m_pages;
    QLabel* m_message;
    std::array<MatrixGrid*, model::kMatrixKindCount> m_grids{};
    std::array<QLabel*, model::kMatrixKindCount> m_classifications{};
    int m_parentRow = model::kNoRow;
};

} // namespace ui
