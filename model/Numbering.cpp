#include "model/Numbering.h"

namespace model {

std::size_t labelOffset(std::string_view text)
{
    if (text.empty() || text.front() < '1' || text.front() > '9')
        return 0;
    const std::size_t space = text.find(' ');
    return space == std::string_view::npos ? 0 : space + 1;
}

std::string_view strippedLabel(std::string_view text)
{
    return text.substr(labelOffset(text));
}

bool applyNumber(NodeText& text, std::string_view prefix)
{
    const std::size_t offset = labelOffset(text);
    if (offset == prefix.size() && text.view().substr(0, offset) == prefix)
        return false;
    text.replacePrefix(offset, prefix);
    return true;
}

} // namespace model
