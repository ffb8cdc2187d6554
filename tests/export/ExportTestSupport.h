#pragma once
// Building designs and sources for the export tests.

#include "export/ExportDocument.h"
#include "model/Design.h"
#include "model/DesignTree.h"
#include "model/HeaderRecord.h"

#include <QString>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace exporttest {

// One node per entry, in pre-order: its level and its text.
using Outline = std::vector<std::pair<int, std::string>>;

inline void fillTree(model::DesignTree& tree, const Outline& outline)
{
    std::vector<model::Node*> lastAtLevel;
    for (const auto& [level, text] : outline) {
        lastAtLevel.resize(static_cast<std::size_t>(level));
        model::Node* node = level == 0 ? tree.appendTopLevel(text) : tree.appendChild(lastAtLevel.back(), text);
        lastAtLevel.push_back(node);
    }
}

// Three trees of the same shape; texts get the tree's letter appended.
inline void fillDesign(model::Design& design, const Outline& outline)
{
    const char letters[] = {'F', 'D', 'P'};
    for (model::TreeId id : model::kAllTrees) {
        Outline own = outline;
        for (auto& line : own)
            line.second += letters[model::index(id)];
        fillTree(design.tree(id), own);
    }
}

// A current header whose level records hold the given colour values.
inline model::HeaderRecord headerWith(const exporting::LevelColourValues& colours)
{
    model::HeaderRecord header;
    for (std::size_t level = 0; level < colours.size(); ++level)
        header.levels[level].colour = colours[level];
    return header;
}

inline model::HeaderRecord headerWithAllLevels(std::uint32_t colour)
{
    exporting::LevelColourValues values;
    values.fill(colour);
    return headerWith(values);
}

inline void setDefaultTitles(model::Design& design)
{
    design.setTitle(model::TreeId::FR, "Functional Requirements");
    design.setTitle(model::TreeId::DP, "Design Parameters");
    design.setTitle(model::TreeId::PV, "Process Variables");
}

} // namespace exporttest

// Readable failure messages for texts read back through Qt.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
