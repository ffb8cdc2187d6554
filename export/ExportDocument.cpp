#include "export/ExportDocument.h"

#include "export/InformationContent.h"
#include "export/MatrixTables.h"
#include "model/DesignTree.h"

#include <algorithm>

namespace exporting {

ExportDocument ExportDocument::build(const ExportSource& source, const ColourResolver& resolver)
{
    // System colours are resolved once, at the moment of the export.
    const LevelTable colours = resolveLevels(source.levelColours, resolver);
    std::size_t lines = model::kTreeCount;
    for (const model::DesignTree* tree : source.trees)
        lines += tree ? static_cast<std::size_t>(tree->size()) : 0u;

    ExportDocument document;
    document.m_paragraphs.reserve(lines);
    for (int t = 0; t < model::kTreeCount; ++t) {
        document.m_paragraphs.push_back({fullTitleText(source, t, document.m_texts), TextColour::automaticColour()});
        if (source.trees[t])
            document.appendTree(source, t, colours);
    }
    document.m_matrices = matrixTables(source);
    document.m_information = informationLines(source);
    return document;
}

ExportDocument::LevelTable ExportDocument::resolveLevels(const LevelColourValues& values,
                                                         const ColourResolver& resolver)
{
    LevelTable table{};
    for (std::size_t level = 0; level < values.size(); ++level)
        table[level] = documentColour(values[level], resolver);
    table.back() = TextColour::explicitColour(0); // no style that deep: black, as the trees draw it
    return table;
}

void ExportDocument::appendTree(const ExportSource& source, int t, const LevelTable& colours)
{
    const model::DesignTree& tree = *source.trees[t];
    // The FR tree's rows key the full labels and the notes.
    const std::span<const model::Node* const> frRows =
        source.trees[0] ? source.trees[0]->preorder() : std::span<const model::Node* const>{};
    // A node's level comes from its parent's, found by the parent's row:
    // linear even for a chain of a million nodes, where levelOf would not be.
    // Levels are capped at 11, the "deeper than 10" entry.
    const std::span<const model::Node* const> order = tree.preorder();
    std::vector<std::uint8_t> level(order.size());
    constexpr int kDeepest = model::kLevelCount;
    for (std::size_t row = 0; row < order.size(); ++row) {
        const model::Node* node = order[row];
        level[row] = tree.isTopLevel(node)
                         ? 0
                         : static_cast<std::uint8_t>(std::min(level[node->parent->row] + 1, kDeepest));
        const model::Node* frNode = row < frRows.size() ? frRows[row] : nullptr;
        m_paragraphs.push_back({fullNodeText(source, t, frNode, node, m_texts), colours[level[row]]});
        if (const std::string_view note = noteOf(source, t, frNode); !note.empty())
            m_paragraphs.push_back({note, TextColour::automaticColour(), true});
    }
}

} // namespace exporting
