#pragma once
// The export document: for FR, DP and PV in turn, the column title line in the
// automatic colour, then one line per node in pre-order (collapsed branches
// included), each in the colour of its node's level, and under a node with a
// note its note. Without notes, with N nodes per tree it holds 3 + 3N lines. The design matrices follow, when a cell is assessed,
// and then the information content, when an FR row has both ranges.
//
// Lines are UTF-8 (see FullText.h), views into the titles, node texts and
// notes they were built from where those say it already: the document lives
// only while those do, from building to writing.

#include "export/DesignMatrix.h"
#include "export/FullText.h"
#include "export/TextColour.h"
#include "model/CrossCells.h"
#include "model/InformationRanges.h"
#include "model/MatrixStore.h"
#include "model/RowTexts.h"
#include "model/TreeId.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace model { class DesignTree; }

namespace exporting {

// What export reads of a design: the titles, the three trees, the level
// colours of the current header, the design matrices, the cross cells and the
// information ranges. Nothing here is changed by exporting.
struct ExportSource {
    std::array<std::string_view, model::kTreeCount> titles;
    std::array<const model::DesignTree*, model::kTreeCount> trees{};
    LevelColourValues levelColours{};
    const model::MatrixStore* matrices = nullptr; // keyed by the nodes of trees[0]
    const model::RangeStore* ranges = nullptr;    // keyed by the nodes of trees[0]
    const model::CrossCellStore* crossCells = nullptr; // keyed by the nodes of trees[0]
    // UTF-8 titles where they go beyond Windows-1252 (else empty: `titles` says it all).
    std::array<std::string_view, model::kTreeCount> fullTitles;
    const model::RowTextStore* fullLabels = nullptr; // keyed by the nodes of trees[0] (see RowTexts.h)
    const model::RowTextStore* notes = nullptr;      // keyed by the nodes of trees[0]
};

// One paragraph: a line of text, coloured as a whole; a note may hold line breaks.
struct Paragraph {
    std::string_view text;
    TextColour colour;
    bool note = false; // a node's note, under the node's line
};

class ExportDocument {
public:
    static ExportDocument build(const ExportSource& source, const ColourResolver& resolver);

    const std::vector<Paragraph>& paragraphs() const { return m_paragraphs; }
    // After the PV tree, under "Design matrices" (with cross cells, the full
    // matrices last); none when no cell is assessed.
    const std::vector<DesignMatrix>& matrices() const { return m_matrices; }
    // After the matrices, under "Information content": a line per FR row with
    // both ranges and the total (see informationLines); none without such a row.
    const std::vector<std::string>& information() const { return m_information; }

private:
    // Index 0..10: the level colours; index 11: every level deeper than 10.
    using LevelTable = std::array<TextColour, model::kLevelCount + 1>;
    static LevelTable resolveLevels(const LevelColourValues& values, const ColourResolver& resolver);
    void appendTree(const ExportSource& source, int tree, const LevelTable& colours);

    std::vector<Paragraph> m_paragraphs;
    std::vector<DesignMatrix> m_matrices;
    std::vector<std::string> m_information;
    TextKeeper m_texts; // the lines that are not viewed where the design holds them
};

} // namespace exporting
