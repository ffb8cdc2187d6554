#include "ui/MatrixPaneFull.h"

#include "model/Numbering.h"
#include "ui/FullText.h"
#include "ui/MatrixPane.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace ui {
namespace {

enum Page { kGridPage = 0, kMessagePage = 1 };

// A sentence longer than this is cut at a list's comma: a decoupled design of
// thousands of leaves names every one, and a label that long would take the
// whole pane and time to lay out at every step.
constexpr int kLongestSentence = 1000;

QString shortened(const std::string& sentence)
{
    QString text = QString::fromStdString(sentence);
    if (text.size() <= kLongestSentence)
        return text;
    const qsizetype cut = text.lastIndexOf(QLatin1Char(','), kLongestSentence);
    return text.left(cut > 0 ? cut : kLongestSentence) + QStringLiteral(", \u2026");
}

// The inner edges of every parent's block (the grid's border frames the
// whole), each at the level of the shallowest parent that has one there.
std::vector<BlockEdge> blockEdges(const model::DesignTree& fr, const model::LeafIndex& leaves)
{
    std::vector<int> levelAt(leaves.size() + 1, INT_MAX);
    std::vector<int> levels(static_cast<std::size_t>(fr.size()), 0);
    const std::span<const model::Node* const> rows = fr.preorder();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const model::Node* node = rows[r];
        if (const model::Node* parent = fr.parentOf(node))
            levels[r] = levels[static_cast<std::size_t>(fr.rowOf(parent))] + 1;
        if (node->children.empty())
            continue;
        for (std::uint32_t at : {leaves.first(node), leaves.end(node)})
            levelAt[at] = std::min(levelAt[at], levels[r]);
    }
    std::vector<BlockEdge> edges;
    for (std::size_t at = 1; at < leaves.size(); ++at)
        if (levelAt[at] != INT_MAX)
            edges.push_back({static_cast<int>(at), levelAt[at]});
    return edges;
}

std::vector<std::string> leafNumbers(const model::LeafIndex& leaves)
{
    std::vector<std::string> numbers;
    numbers.reserve(leaves.size());
    for (const model::Node* leaf : leaves.leaves())
        numbers.push_back(model::outlineNumberOf(leaf));
    return numbers;
}

} // namespace

FullMatrixView::FullMatrixView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FullMatrixView"));
    auto* side = new QHBoxLayout(this);
    side->setContentsMargins(0, 0, 0, 0);
    for (model::MatrixKind kind : model::kMatrixKinds) {
        const std::size_t k = model::slot(kind);
        auto* column = new QVBoxLayout;
        auto* heading = new QLabel(QString::fromLatin1(model::kindName(kind).data()), this);
        heading->setStyleSheet(QStringLiteral("font-weight: bold"));
        m_pages[k] = new QStackedWidget(this);
        m_grids[k] = new FullMatrixGrid(m_pages[k]);
        m_grids[k]->setObjectName(kind == model::MatrixKind::FrDp ? QStringLiteral("FullFrDpGrid")
                                                                  : QStringLiteral("FullDpPvGrid"));
        m_messages[k] = new QLabel(QString::fromLatin1(kTooManyLeaves), m_pages[k]);
        m_messages[k]->setAlignment(Qt::AlignCenter);
        m_messages[k]->setStyleSheet(QStringLiteral("color: #777777"));
        m_pages[k]->addWidget(m_grids[k]);
        m_pages[k]->addWidget(m_messages[k]);
        m_classifications[k] = new QLabel(this);
        m_classifications[k]->setWordWrap(true);
        column->addWidget(heading);
        column->addWidget(m_pages[k], 1);
        column->addWidget(m_classifications[k]);
        side->addLayout(column, 1);
        connect(m_grids[k], &FullMatrixGrid::cellRequested, this,
                [this, kind](int row, int column, model::CellValue value) {
                    emit cellChangeRequested(kind, leafRow(row), leafRow(column), value);
                });
        connect(m_grids[k], &FullMatrixGrid::columnMarked, this,
                [this, kind](int column) { emit columnMarked(kind, leafRow(column)); });
    }
}

QString FullMatrixView::message() const
{
    const QStackedWidget* page = m_pages[0];
    return page->currentIndex() == kMessagePage ? m_messages[0]->text() : QString();
}

int FullMatrixView::leafRow(int leaf) const
{
    return leaf >= 0 && static_cast<std::size_t>(leaf) < m_leafRows.size() ? m_leafRows[static_cast<std::size_t>(leaf)]
                                                                         : model::kNoRow;
}

void FullMatrixView::markColumn(model::MatrixKind kind, int row)
{
    const auto at = std::find(m_leafRows.begin(), m_leafRows.end(), row);
    const int column = row == model::kNoRow || at == m_leafRows.end() ? -1 : static_cast<int>(at - m_leafRows.begin());
    for (model::MatrixKind k : model::kMatrixKinds)
        grid(k)->grid().setMarkedColumn(k == kind ? column : -1);
}

void FullMatrixView::showDesign(const model::Design& design)
{
    const model::DesignTree& fr = design.tree(model::TreeId::FR);
    const model::LeafIndex leaves(fr);
    m_leafRows.clear();
    m_leafRows.reserve(leaves.size());
    for (const model::Node* leaf : leaves.leaves())
        m_leafRows.push_back(fr.rowOf(leaf));
    const bool gridsFit = leaves.size() <= static_cast<std::size_t>(kMostLeaves);
    // Over the limit the numbers are made only if a sentence names leaves.
    std::vector<std::string> numbers = gridsFit ? leafNumbers(leaves) : std::vector<std::string>();
    const std::vector<BlockEdge> edges = gridsFit ? blockEdges(fr, leaves) : std::vector<BlockEdge>();
    for (model::MatrixKind kind : model::kMatrixKinds) {
        if (gridsFit)
            showGrid(design, leaves, kind, numbers, edges);
        m_pages[model::slot(kind)]->setCurrentIndex(gridsFit ? kGridPage : kMessagePage);
        showClassification(design, leaves, kind, numbers);
    }
}

// FR-DP: leaf FRs down, leaf DPs across; DP-PV: leaf DPs down, leaf PVs across.
void FullMatrixView::showGrid(const model::Design& design, const model::LeafIndex& leaves, model::MatrixKind kind,
                              const std::vector<std::string>& numbers, const std::vector<BlockEdge>& edges)
{
    const bool frDp = kind == model::MatrixKind::FrDp;
    const model::TreeId rowTree = frDp ? model::TreeId::FR : model::TreeId::DP;
    const model::TreeId columnTree = frDp ? model::TreeId::DP : model::TreeId::PV;
    const model::DesignTree& rows = design.tree(rowTree);
    const model::DesignTree& columns = design.tree(columnTree);
    FullSnapshot snapshot;
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        const QString number = QString::fromStdString(numbers[i]);
        snapshot.rowHeads << number + QLatin1Char(' ') + fullLabelOf(design, rowTree, rows.nodeAt(m_leafRows[i]));
        snapshot.columnHeads << number;
        snapshot.columnHints << fullLabelOf(design, columnTree, columns.nodeAt(m_leafRows[i]));
    }
    snapshot.cells = model::fullMatrixCells(design.matrices(), design.crossCells(), kind, leaves);
    snapshot.edges = edges;
    grid(kind)->grid().setSnapshot(std::move(snapshot));
}

void FullMatrixView::showClassification(const model::Design& design, const model::LeafIndex& leaves,
                                        model::MatrixKind kind, std::vector<std::string>& numbers)
{
    const model::Classification c = model::classifyFull(design.matrices(), design.crossCells(), kind, leaves);
    if (numbers.empty() && (!c.order.empty() || !c.groups.empty()))
        numbers = leafNumbers(leaves);
    const std::string text = model::describe(c, kind, [&numbers](std::uint32_t i) { return numbers[i]; });
    ui::showClassification(classification(kind), c, shortened(text));
}

} // namespace ui
