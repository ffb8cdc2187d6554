#pragma once
// The colour of one line of the export document, and how a level colour value
// (0x00BBGGRR or a system-colour reference) becomes one.

#include "model/LevelStyle.h"

#include <array>
#include <cstdint>
#include <functional>

namespace model { struct HeaderRecord; }

namespace exporting {

// Gives the current 0x00BBGGRR value of a system-colour reference
// (0x80000000 + n). The ui layer owns the table; headless runs pass one over
// the default palette.
using ColourResolver = std::function<std::uint32_t(std::uint32_t colourValue)>;

// A line's colour: the document's automatic colour, or an explicit RGB value.
struct TextColour {
    bool automatic = true;
    std::uint32_t rgb = 0; // 0x00BBGGRR, meaningful only when not automatic

    static constexpr TextColour automaticColour() { return {}; }
    static constexpr TextColour explicitColour(std::uint32_t bgr) { return {false, bgr & 0x00FFFFFFu}; }
    bool operator==(const TextColour&) const = default;
};

// The colour values of the eleven level styles, level 0 first.
using LevelColourValues = std::array<std::uint32_t, model::kLevelCount>;

// Window text stays automatic so the word processor shows its own text colour;
// other system colours are resolved now (black without a resolver); an RGB
// value is kept; a value whose top byte is neither 0 nor 0x80 keeps its low
// 24 bits.
TextColour documentColour(std::uint32_t colourValue, const ColourResolver& resolver);

// The colour values of the current header's level records.
LevelColourValues levelColourValues(const model::HeaderRecord& header);

} // namespace exporting
