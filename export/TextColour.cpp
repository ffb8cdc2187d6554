#include "export/TextColour.h"

#include "model/HeaderRecord.h"

namespace exporting {

TextColour documentColour(std::uint32_t colourValue, const ColourResolver& resolver)
{
    if (colourValue == model::kWindowTextColour)
        return TextColour::automaticColour();
    const std::uint32_t topByte = colourValue >> 24;
    if (topByte == (model::kSystemColour >> 24))
        return TextColour::explicitColour(resolver ? resolver(colourValue) : 0u);
    return TextColour::explicitColour(colourValue); // keeps the low 24 bits
}

LevelColourValues levelColourValues(const model::HeaderRecord& header)
{
    LevelColourValues values{};
    for (std::size_t level = 0; level < values.size(); ++level)
        values[level] = header.levels[level].colour;
    return values;
}

} // namespace exporting
