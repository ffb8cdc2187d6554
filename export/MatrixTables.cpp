#include "export/MatrixTables.h"

#include "export/FullText.h"
#include "model/Cp1252.h"
#include "model/DesignTree.h"
#include "model/FullMatrix.h"
#include "model/MatrixClassification.h"
#include "model/Numbering.h"
#include "model/PreOrder.h"

#include <algorithm>

namespace exporting {
namespace {

constexpr std::string_view kTopLevelCaption = "Top level";

// The partner of an FR parent in another tree: the node at the same row, or its hidden root.
const model::Node* partnerOf(const model::DesignTree& fr, const model::DesignTree& other, const model::Node* parent)
{
    return parent == fr.root() ? other.root() : other.nodeAt(fr.rowOf(parent));
}

// What rows and columns are: "FR \\ DP" or "DP \\ PV".
std::string cornerOf(model::MatrixKind kind)
{
    return kind == model::MatrixKind::FrDp ? "FR \\ DP" : "DP \\ PV";
}

// A row's head: its number and the label of its node in tree `tree`, in UTF-8.
std::string rowHead(const ExportSource& source, int tree, const model::Node* frNode, const model::Node* node,
                    const std::string& number)
{
    std::string head = number + ' ';
    if (const std::string* full = standingFullLabel(source, tree, frNode, node))
        head += *full;
    else
        model::appendCp1252AsUtf8(head, model::strippedLabel(node->text()));
    return head;
}

MatrixMark markOf(model::CellValue value)
{
    return value == model::CellValue::X ? MatrixMark::X : MatrixMark::O;
}

// Past the grid limit only the assessed cells: linear in what the store holds.
void listCells(DesignMatrix& m, const std::vector<model::IndexedCell>& cells, const std::string& number)
{
    m.listed = true;
    m.cells.reserve(cells.size());
    for (const model::IndexedCell& c : cells)
        m.cells.push_back({model::childNumber(number, c.row), model::childNumber(number, c.column), markOf(c.value)});
}

DesignMatrix tableOf(const ExportSource& source, const model::Node* parent, model::MatrixKind kind,
                     const model::Node* rowParent, const std::string& number)
{
    const model::MatrixStore& store = *source.matrices;
    const int rowTree = kind == model::MatrixKind::FrDp ? 0 : 1;
    const auto n = static_cast<std::uint32_t>(parent->children.size());
    DesignMatrix m;
    m.caption = (number.empty() ? std::string(kTopLevelCaption) : number) + ' ' + std::string(model::kindName(kind));
    m.corner = cornerOf(kind);
    const std::vector<model::IndexedCell> cells = store.indexedCells(parent, kind);
    // Classifying counts the cells before it looks at them: an incomplete wide matrix costs nothing.
    m.classification = model::describe(model::classify(n, cells), kind, number);
    if (n > static_cast<std::uint32_t>(model::kMostGridRows)) {
        listCells(m, cells, number);
        return m;
    }
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::string child = model::childNumber(number, i);
        m.columnHeads.push_back(child);
        m.rowHeads.push_back(rowHead(source, rowTree, parent->children[i], rowParent->children[i], child));
    }
    m.marks.assign(std::size_t{n} * n, MatrixMark::Blank);
    for (std::uint32_t i = 0; i < n; ++i)
        m.marks[std::size_t{i} * n + i] = MatrixMark::X;
    for (const model::IndexedCell& c : cells)
        m.marks[std::size_t{c.row} * n + c.column] = markOf(c.value);
    return m;
}

MatrixMark markOf(model::FullCell cell)
{
    switch (cell) {
    case model::FullCell::X:
        return MatrixMark::X;
    case model::FullCell::O:
        return MatrixMark::O;
    case model::FullCell::ImpliedO:
        return MatrixMark::ImpliedO;
    case model::FullCell::NotAssessed:
        break;
    }
    return MatrixMark::Blank;
}

// The leaf rows' outline numbers, in row order (the full matrix's positions).
std::vector<std::string> leafNumbers(const model::DesignTree& fr)
{
    std::vector<std::string> numbers;
    model::preOrderNumbered(fr.root(), [&](const model::Node* n, std::size_t, const std::string& number) {
        if (n->children.empty())
            numbers.push_back(number);
    });
    return numbers;
}

// `rowTree` gives the row heads' labels (FR for FR-DP, DP for DP-PV).
DesignMatrix fullTableOf(const ExportSource& source, const model::MatrixStore& matrices, model::MatrixKind kind,
                         const model::LeafIndex& leaves, const std::vector<std::string>& numbers,
                         int rowTree)
{
    const model::CrossCellStore& cross = *source.crossCells;
    DesignMatrix m;
    m.caption = "Full " + std::string(model::kindName(kind));
    m.corner = cornerOf(kind);
    m.classification = model::describe(model::classifyFull(matrices, cross, kind, leaves), kind,
                                       [&](std::uint32_t i) { return numbers[i]; });
    const std::vector<model::FullCell> cells = model::fullMatrixCells(matrices, cross, kind, leaves);
    if (cells.empty()) { // too many leaves for a grid
        m.listed = true;
        return m;
    }
    const model::DesignTree& fr = *source.trees[0];
    const std::span<const model::Node* const> labelled = source.trees[static_cast<std::size_t>(rowTree)]->preorder();
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        const model::Node* frLeaf = leaves.leaves()[i];
        const model::Node* leaf = labelled[static_cast<std::size_t>(fr.rowOf(frLeaf))];
        m.columnHeads.push_back(numbers[i]);
        m.rowHeads.push_back(rowHead(source, rowTree, frLeaf, leaf, numbers[i]));
    }
    m.marks.reserve(cells.size());
    for (model::FullCell cell : cells)
        m.marks.push_back(markOf(cell));
    return m;
}

void appendFullTables(const ExportSource& source, std::vector<DesignMatrix>& out)
{
    static const model::MatrixStore kNoMatrices;
    const model::MatrixStore& matrices = source.matrices ? *source.matrices : kNoMatrices;
    const model::LeafIndex leaves(*source.trees[0]);
    const std::vector<std::string> numbers = leafNumbers(*source.trees[0]);
    out.push_back(fullTableOf(source, matrices, model::MatrixKind::FrDp, leaves, numbers, 0));
    out.push_back(fullTableOf(source, matrices, model::MatrixKind::DpPv, leaves, numbers, 1));
}

void appendRowTables(const ExportSource& source, std::vector<DesignMatrix>& out)
{
    const model::DesignTree& fr = *source.trees[0];
    std::vector<std::pair<int, const model::Node*>> parents;
    for (const model::Node* p : source.matrices->parents())
        parents.emplace_back(p == fr.root() ? -1 : fr.rowOf(p), p);
    std::sort(parents.begin(), parents.end());
    for (const auto& [row, parent] : parents) {
        const std::string number = model::outlineNumberOf(parent);
        out.push_back(tableOf(source, parent, model::MatrixKind::FrDp, parent, number));
        out.push_back(tableOf(source, parent, model::MatrixKind::DpPv,
                              partnerOf(fr, *source.trees[1], parent), number));
    }
}

} // namespace

std::vector<DesignMatrix> matrixTables(const ExportSource& source)
{
    std::vector<DesignMatrix> out;
    if (!source.trees[0] || !source.trees[1] || !source.trees[2])
        return out;
    if (source.matrices && !source.matrices->empty())
        appendRowTables(source, out);
    if (source.crossCells && !source.crossCells->empty())
        appendFullTables(source, out);
    return out;
}

} // namespace exporting
