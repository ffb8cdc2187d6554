#pragma once
// The design as one table for a review: one row per node row in row order
// (collapsed branches included), each with its outline number taken from the
// row's position, its level, and the FR, DP and PV labels without their
// stored numbers; the level colours resolved once; then the design matrices,
// when there are any, and the flow diagram with them (a picture: CSV and
// Markdown leave it out). Every format (ODT, HTML, PDF, CSV, Markdown, print)
// renders this one document.
//
// A design holding any information range has three more columns after FR:
// the design range, the system range and I (for a row with both ranges), and
// the total follows the table ("Total: 2.830 bits over 4 FRs") when a row has
// both. A design without ranges has neither, and its formats are as before.
//
// A design holding any note has a "Notes" column after each tree's column,
// the note of the row's node in that tree in each cell, line breaks and all.
// A design without notes has none.
//
// Every text is UTF-8 (see FullText.h). Labels, column titles and notes are
// viewed where the design holds them when they say it already: the document
// lives only while the design does, from building to writing.

#include "export/DesignMatrix.h"
#include "export/ExportDocument.h"
#include "export/FullText.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

struct FlowLayout;

struct TableRow {
    std::string number; // "1.2.3"; past 16 levels only the last 16 parts, behind "…"
    int level = 0;      // 0 for a top-level row
    std::array<std::string_view, model::kTreeCount> labels;
};

// The information columns of a row; empty where the row has none.
struct RowInformation {
    std::string designRange; // "5 to 12 l/min"
    std::string systemRange; // "uniform 6 to 11", "normal 8.5 \xC2\xB1 1.2"
    std::string bits;        // I: "0.415", "inf"; only with both ranges
};

class TableDocument {
public:
    static constexpr std::string_view kNumberHead = "No.";
    static constexpr std::string_view kLevelHead = "Level";
    static constexpr std::string_view kMatricesHeading = "Design matrices";
    static constexpr std::string_view kUntitled = "Untitled";
    static constexpr std::string_view kFlowHeading = "Flow diagram";
    static constexpr std::string_view kNotesHead = "Notes";
    // The information columns' heads, in their order after FR.
    static constexpr std::array<std::string_view, 3> kInformationHeads = {"Design range", "System range", "I (bits)"};
    // Indentation grows with the level up to here and then stays: a design a
    // thousand levels deep keeps its labels on the page.
    static constexpr int kDeepestIndent = model::kLevelCount - 1;

    static TableDocument build(const ExportSource& source, const ColourResolver& resolver, std::string title);

    const std::string& title() const { return m_title; }
    std::string_view columnTitle(int tree) const { return m_columnTitles[static_cast<std::size_t>(tree)]; }
    const std::vector<TableRow>& rows() const { return m_rows; }
    const std::vector<DesignMatrix>& matrices() const { return m_matrices; }
    void setMatrices(std::vector<DesignMatrix> matrices) { m_matrices = std::move(matrices); }

    // The flow diagram, after the matrices: only when the design has an
    // assessed matrix cell, so that a design without keeps its documents.
    const FlowLayout* flow() const { return m_flow.get(); }

    // Whether the table has the information columns: the design holds a range.
    bool hasInformation() const { return !m_information.empty(); }
    // The row's information cells in the order of kInformationHeads; only with hasInformation().
    std::array<std::string_view, 3> informationCells(std::size_t row) const
    {
        const RowInformation& r = m_information[row];
        return {r.designRange, r.systemRange, r.bits};
    }
    // Whether the table has the notes columns: the design holds a note.
    bool hasNotes() const { return !m_notes.empty(); }
    // The row's note in tree `tree`; empty without one (always, without hasNotes()).
    std::string_view note(std::size_t row, int tree) const
    {
        return m_notes.empty() ? std::string_view{} : m_notes[row][static_cast<std::size_t>(tree)];
    }

    // "Total: 2.830 bits over 4 FRs", said after the table; empty when no row has both ranges.
    const std::string& total() const { return m_total; }

    // The level's colour; deeper than level 10 black, as the trees draw it.
    TextColour colourOf(int level) const;
    static int indentOf(int level) { return level < kDeepestIndent ? level : kDeepestIndent; }

private:
    void appendInformation(const ExportSource& source);
    void appendNotes(const ExportSource& source);

    std::string m_title;
    std::array<std::string_view, model::kTreeCount> m_columnTitles;
    std::vector<TableRow> m_rows;
    std::array<TextColour, model::kLevelCount + 1> m_colours{}; // the last: deeper than 10
    std::vector<DesignMatrix> m_matrices;
    std::shared_ptr<const FlowLayout> m_flow;
    std::vector<RowInformation> m_information; // by row; empty without ranges
    std::string m_total;
    std::vector<std::array<std::string_view, model::kTreeCount>> m_notes; // by row; empty without notes
    std::shared_ptr<TextKeeper> m_texts; // shared: a copy of the document views the same texts
};

// The rows of a design as the table shows them: numbers from the rows'
// places, labels without their stored numbers, a label still holding a new
// row's blank line ("__________") left empty. Labels view the trees' texts,
// or what `keeper` keeps.
std::vector<TableRow> tableRowsOf(const ExportSource& source, TextKeeper& keeper);

// The document title for a design file path: its file name, or "Untitled".
std::string tableTitleFor(std::string_view designPath);

} // namespace exporting
