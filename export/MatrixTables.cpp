#include "export/MatrixTables.h"

#include "model/DesignTree.h"
#include "model/MatrixClassification.h"
#include "model/Numbering.h"

#include <algorithm>

namespace exporting {
namespace {

constexpr std::string_view kTopLevelCaption = "Top level";

// The partner of an FR parent in another tree: the node at the same row, or its hidden root.
const model::Node* partnerOf(const model::DesignTree& fr, const model::DesignTree& other, const model::Node* parent)
{
    return parent == fr.root() ? other.root() : other.nodeAt(fr.rowOf(parent));
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

DesignMatrix tableOf(const model::MatrixStore& store, const model::Node* parent, model::MatrixKind kind,
                     const model::Node* rowParent, const std::string& number)
{
    const auto n = static_cast<std::uint32_t>(parent->children.size());
    DesignMatrix m;
    m.caption = (number.empty() ? std::string(kTopLevelCaption) : number) + ' ' + std::string(model::kindName(kind));
    m.corner = kind == model::MatrixKind::FrDp ? "FR \\ DP" : "DP \\ PV";
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
        m.rowHeads.push_back(child + ' ' + std::string(model::strippedLabel(rowParent->children[i]->text())));
    }
    m.marks.assign(std::size_t{n} * n, MatrixMark::Blank);
    for (std::uint32_t i = 0; i < n; ++i)
        m.marks[std::size_t{i} * n + i] = MatrixMark::X;
    for (const model::IndexedCell& c : cells)
        m.marks[std::size_t{c.row} * n + c.column] = markOf(c.value);
    return m;
}

} // namespace

std::vector<DesignMatrix> matrixTables(const ExportSource& source)
{
    std::vector<DesignMatrix> out;
    if (!source.matrices || source.matrices->empty() || !source.trees[0] || !source.trees[1] || !source.trees[2])
        return out;
    const model::DesignTree& fr = *source.trees[0];
    std::vector<std::pair<int, const model::Node*>> parents;
    for (const model::Node* p : source.matrices->parents())
        parents.emplace_back(p == fr.root() ? -1 : fr.rowOf(p), p);
    std::sort(parents.begin(), parents.end());
    for (const auto& [row, parent] : parents) {
        const std::string number = model::outlineNumberOf(parent);
        out.push_back(tableOf(*source.matrices, parent, model::MatrixKind::FrDp, parent, number));
        out.push_back(tableOf(*source.matrices, parent, model::MatrixKind::DpPv,
                              partnerOf(fr, *source.trees[1], parent), number));
    }
    return out;
}

} // namespace exporting
