#include "export/FullText.h"

#include "export/ExportDocument.h"
#include "model/Cp1252.h"
#include "model/Node.h"
#include "model/Numbering.h"
#include "model/TreeId.h"

#include <algorithm>

namespace exporting {
namespace {

model::TreeId treeIdOf(int tree) { return model::kAllTrees[static_cast<std::size_t>(tree)]; }

} // namespace

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string_view TextKeeper::utf8(std::string_view cp1252)
{
    return isAscii(cp1252) ? cp1252 : keep(model::cp1252ToUtf8(cp1252));
}

const std::string* standingFullLabel(const ExportSource& source, int tree, const model::Node* frNode,
                                     const model::Node* node)
{
    // A design without full labels never looks a row up.
    if (!source.fullLabels || source.fullLabels->empty() || !frNode)
        return nullptr;
    const std::string* label = source.fullLabels->find(treeIdOf(tree), frNode);
    return label && model::fullLabelStands(node->text(), *label) ? label : nullptr;
}

std::string_view fullNodeText(const ExportSource& source, int tree, const model::Node* frNode,
                              const model::Node* node, TextKeeper& keeper)
{
    const std::string* label = standingFullLabel(source, tree, frNode, node);
    if (!label)
        return keeper.utf8(node->text());
    return keeper.keep(model::fullNodeText(node->text(), label));
}

std::string_view fullLabelText(const ExportSource& source, int tree, const model::Node* frNode,
                               const model::Node* node, TextKeeper& keeper)
{
    const std::string* label = standingFullLabel(source, tree, frNode, node);
    return label ? std::string_view(*label) : keeper.utf8(model::strippedLabel(node->text()));
}

std::string_view fullTitleText(const ExportSource& source, int tree, TextKeeper& keeper)
{
    const std::string_view full = source.fullTitles[static_cast<std::size_t>(tree)];
    return full.empty() ? keeper.utf8(source.titles[static_cast<std::size_t>(tree)]) : full;
}

bool hasNotes(const ExportSource& source)
{
    return source.notes && !source.notes->empty();
}

std::string_view noteOf(const ExportSource& source, int tree, const model::Node* frNode)
{
    if (!hasNotes(source) || !frNode)
        return {};
    const std::string* note = source.notes->find(treeIdOf(tree), frNode);
    return note ? std::string_view(*note) : std::string_view{};
}

} // namespace exporting
