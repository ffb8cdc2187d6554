#pragma once
// A table as the page renderer lays it out: a head row repeated on every page
// the table runs onto, then rows of cells, each column a share of the width.
// Cells view UTF-8 texts; nothing is copied.

#include "export/DesignMatrix.h"
#include "export/TableDocument.h"
#include "export/TextColour.h"

#include <string_view>
#include <vector>

namespace exporting {

struct GridCell {
    std::string_view text;
    TextColour colour;  // automatic: the page's text colour
    bool bold = false;
    int indent = 0;     // in levels
    bool centred = false;
};

class PageGrid {
public:
    virtual ~PageGrid() = default;
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual GridCell head(int column) const = 0;
    virtual GridCell cell(int row, int column) const = 0;
    // The column's width out of `tableWidth`, in the same units.
    virtual double columnWidth(int column, double tableWidth) const = 0;
};

// Where a grid's columns fall within a table `tableWidth` wide, in its units.
struct GridColumns {
    std::vector<double> left;
    std::vector<double> width;
    double total = 0;

    static GridColumns of(const PageGrid& grid, double tableWidth);
};

// The design table: No., FR, DP, PV; labels indented and coloured by level,
// level 0 bold. With notes, each tree's notes follow its labels; with the
// information columns, they follow FR (and its notes).
class DesignTableGrid final : public PageGrid {
public:
    explicit DesignTableGrid(const TableDocument& document) : m_document(document) {}
    int rowCount() const override { return static_cast<int>(m_document.rows().size()); }
    int columnCount() const override { return model::kTreeCount * perTree() + 1 + informationColumns(); }
    GridCell head(int column) const override;
    GridCell cell(int row, int column) const override;
    double columnWidth(int column, double tableWidth) const override;

private:
    int informationColumns() const
    {
        return m_document.hasInformation() ? static_cast<int>(TableDocument::kInformationHeads.size()) : 0;
    }
    int perTree() const { return m_document.hasNotes() ? 2 : 1; } // labels, and notes
    // What a grid column past No. shows: a tree's labels or notes, or an information column.
    struct Column {
        enum class Kind { Label, Note, Information } kind;
        int index; // the tree, or the information column (0 to 2)
    };
    Column columnAt(int column) const;

    const TableDocument& m_document;
};

// A design matrix: the row heads, then one narrow centred column per column head.
class MatrixGrid final : public PageGrid {
public:
    explicit MatrixGrid(const DesignMatrix& matrix) : m_matrix(matrix) {}
    int rowCount() const override { return static_cast<int>(m_matrix.rowHeads.size()); }
    int columnCount() const override { return static_cast<int>(m_matrix.columnHeads.size()) + 1; }
    GridCell head(int column) const override;
    GridCell cell(int row, int column) const override;
    double columnWidth(int column, double tableWidth) const override;

private:
    const DesignMatrix& m_matrix;
};

} // namespace exporting
