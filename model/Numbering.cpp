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

bool applyNumber(std::string& text, std::string_view number)
{
    const std::size_t offset = labelOffset(text);
    if (offset == number.size() + 1 && text.compare(0, number.size(), number) == 0)
        return false;
    // One replace keeps the label where it is when the prefix length is unchanged.
    text.replace(0, offset, number.size() + 1, ' ');
    text.replace(0, number.size(), number);
    return true;
}

} // namespace model
