#include "model/Numbering.h"

#include "model/Node.h"

#include <vector>

namespace model {

std::string_view strippedLabel(std::string_view text)
{
    return text.substr(labelOffset(text));
}

std::string outlineNumberOf(const Node* node)
{
    std::vector<std::uint32_t> positions;
    for (const Node* n = node; n->parent; n = n->parent)
        positions.push_back(n->siblingIndex + 1);
    std::string out;
    for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
        if (!out.empty())
            out += '.';
        out += std::to_string(*it);
    }
    return out;
}

} // namespace model
