#pragma once
// The "Design matrix" pane: the FR-DP and DP-PV matrices over the children
// of one node row (or of the top level) side by side, each grid headed by
// the children's numbers and labels, with its classification under it in
// words and colour: "Uncoupled" green, "Decoupled: set DP ..." amber,
// "Coupled: ..." red, "... cells not assessed" grey. Above kMostRows
// children the grids give way to a message; the stored cells stay.
//
// The pane moves between levels: Enter on a cell or a double click on a row
// head asks for the level of that row's children (when it has two or more),
// Backspace or the "Up one level" button for the level its parent belongs to.
//
// The pane's "Full matrix" button switches to the full view over the leaf
// rows (MatrixPaneFull.h) and back; the button carries the command the
// window gives it (setFullViewCommand), so the window's key and the button
// are one switch.
//
// The pane shows what it is given and asks for changes through
// cellChangeRequested and levelRequested: it never changes the design itself.

#include "model/Design.h"
#include "model/MatrixClassification.h"
#include "ui/MatrixGrid.h"

#include <QWidget>

#include <array>
#include <vector>

class QAction;
class QLabel;
class QStackedWidget;
class QToolButton;

namespace ui {

class FullMatrixView;

// A classification under its grid: the sentence, in green, amber, red or grey.
void showClassification(QLabel* line, const model::Classification& c, const QString& sentence);

class MatrixPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMostRows = model::kMostGridRows;
    static constexpr const char* kTooManyRows = "Too many rows for a matrix view";
    static constexpr const char* kNoMatrix = "No design matrix here: a level needs two or more rows";
    static constexpr const char* kUpOneLevel = "Up one level";
    // The height the pane asks for when it is shown: the columns keep most of the window.
    static constexpr int kPreferredHeight = 220;

    explicit MatrixPane(QWidget* parent = nullptr);

    // The matrices over the children of `parentRow` (model::kNoRow: the top
    // level), read from `design` now; call again after the design changed.
    void showMatrices(const model::Design& design, int parentRow);
    // Nothing to show (an empty design).
    void showNothing();
    // Both full matrices of `design`, read now; call again after it changed.
    void showFull(const model::Design& design);
    // The command the "Full matrix" button carries (checkable).
    void setFullViewCommand(QAction* command);

    int parentRow() const { return m_parentRow; }
    MatrixGrid* grid(model::MatrixKind kind) const { return m_grids[model::slot(kind)]; }
    QLabel* classification(model::MatrixKind kind) const { return m_classifications[model::slot(kind)]; }
    QLabel* caption() const { return m_caption; }
    QToolButton* upButton() const { return m_up; }
    QToolButton* fullButton() const { return m_fullButton; }
    FullMatrixView* fullView() const { return m_full; }
    bool showsFull() const;
    // The message shown instead of the grids, or nothing while they show.
    QString message() const;

    QSize sizeHint() const override;

signals:
    void cellChangeRequested(int parentRow, model::MatrixKind kind, int row, int column, model::CellValue value);
    // Show the matrices over the children of `parentRow` (model::kNoRow: the top level).
    void levelRequested(int parentRow);

private:
    void goUp();
    void openRow(int row);
    void showMessage(const QString& text);
    void showGrid(const model::Design& design, const model::Node* parent, model::MatrixKind kind,
                  const std::string& number);

    QLabel* m_caption;
    QToolButton* m_up;
    QToolButton* m_fullButton;
    QStackedWidget* m_pages;
    QLabel* m_message;
    FullMatrixView* m_full;
    std::array<MatrixGrid*, model::kMatrixKindCount> m_grids{};
    std::array<QLabel*, model::kMatrixKindCount> m_classifications{};
    int m_parentRow = model::kNoRow;
    static constexpr int kNoLevel = -2;
    int m_upRow = model::kNoRow;    // the level above, while the button is enabled
    std::vector<int> m_childLevels; // per grid row: the child's row when it has two or more children, else kNoLevel
};

} // namespace ui
