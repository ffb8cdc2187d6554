#pragma once
// The design as one table for a review: one row per node row in row order
// (collapsed branches included), each with its outline number taken from the
// row's position, its level, and the FR, DP and PV labels without their
// stored numbers; the level colours resolved once; then the design matrices,
// when there are any. Every format (ODT, HTML, PDF, CSV, Markdown, print)
// renders this one document.
//
// Labels and column titles are Windows-1252 bytes viewed where the design
// holds them: the document lives only while the design does, from building
// to writing. The title, a file name, is UTF-8.

#include "export/DesignMatrix.h"
#include "export/ExportDocument.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

struct TableRow {
    std::string number; // "1.2.3"; past 16 levels only the last 16 parts, behind "…"
    int level = 0;      // 0 for a top-level row
    std::array<std::string_view, model::kTreeCount> labels;
};

class TableDocument {
public:
    static constexpr std::string_view kNumberHead = "No.";
    static constexpr std::string_view kLevelHead = "Level";
    static constexpr std::string_view kMatricesHeading = "Design matrices";
    static constexpr std::string_view kUntitled = "Untitled";
    // Indentation grows with the level up to here and then stays: a design a
    // thousand levels deep keeps its labels on the page.
    static constexpr int kDeepestIndent = model::kLevelCount - 1;

    static TableDocument build(const ExportSource& source, const ColourResolver& resolver, std::string title);

    const std::string& title() const { return m_title; }
    std::string_view columnTitle(int tree) const { return m_columnTitles[static_cast<std::size_t>(tree)]; }
    const std::vector<TableRow>& rows() const { return m_rows; }
    const std::vector<DesignMatrix>& matrices() const { return m_matrices; }
    void setMatrices(std::vector<DesignMatrix> matrices) { m_matrices = std::move(matrices); }

    // The level's colour; deeper than level 10 black, as the trees draw it.
    TextColour colourOf(int level) const;
    static int indentOf(int level) { return level < kDeepestIndent ? level : kDeepestIndent; }

private:
    void appendRows(const ExportSource& source);

    std::string m_title;
    std::array<std::string_view, model::kTreeCount> m_columnTitles;
    std::vector<TableRow> m_rows;
    std::array<TextColour, model::kLevelCount + 1> m_colours{}; // the last: deeper than 10
    std::vector<DesignMatrix> m_matrices;
};

// The document title for a design file path: its file name, or "Untitled".
std::string tableTitleFor(std::string_view designPath);

} // namespace exporting
