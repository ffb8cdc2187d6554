#include "model/Limits.h"

#include "model/Numbering.h"

namespace model {

std::string tooDeepToPaste()
{
    return "Cannot paste: the rows would lie deeper than level " + std::to_string(kDeepestLevel);
}

std::string_view withLabelCut(std::string_view text)
{
    return text.substr(0, labelOffset(text) + kLongestLabel);
}

} // namespace model
