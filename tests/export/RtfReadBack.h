#pragma once
// An RTF reader for the tests, written apart from the writer: it follows the
// font and colour tables, \cfN, \fsN, \plain, \par, \line, \tab, \'hh, \uN
// and the escaped characters, and returns the paragraphs with their colours. Paragraphs are
// the pieces between \par marks; the piece after the last mark is one too, as
// a word processor shows it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace readback {

// std::nullopt is the automatic colour; otherwise 0x00BBGGRR.
using Colour = std::optional<std::uint32_t>;

struct Font {
    int number = -1;
    int charset = -1;
    std::string name;
};

struct Paragraph {
    std::string text;          // code page 1252, each \uN as its fallback character
    std::string utf8;          // the text as a Unicode reader gives it, fallbacks skipped
    Colour colour;             // in force at the paragraph mark
    bool mixedColours = false; // some text stood in another colour
    int halfPoints = 0;        // size in force at the paragraph mark
    int font = -1;
};

struct Document {
    bool ansi = false;
    int codePage = 0;
    std::vector<Font> fonts;
    std::vector<Colour> colourTable;
    std::vector<Paragraph> paragraphs;
    std::string error; // empty when the document read cleanly
};

Document read(std::string_view rtf);

} // namespace readback
