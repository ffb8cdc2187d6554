#pragma once
// A small RTF 1.x writer for coloured paragraphs in one font (Tahoma 8 pt,
// ANSI, code page 1252).
//
// The colour table holds the automatic entry (index 0) and then every explicit
// colour in use, in order of first use. Each paragraph is "\cfN text", one
// space always following N so that a text starting with a digit stays text;
// paragraphs are separated by \par, so the document has no empty paragraph at
// its end. Texts are UTF-8 and are written as follows:
//   '\', '{', '}'        escaped with a backslash
//   a Windows-1252 character beyond ASCII   \'hh, its byte in the code page
//   any other character  \uN? (N its UTF-16 unit as a signed 16-bit number,
//                        two for a character past U+FFFF; "?" for a reader
//                        that knows no Unicode)
//   tab                  \tab
//   other bytes < 0x20   dropped: a line break or NUL would split or end the
//                        line in a reader, and one node is one line
// A note is the one text with line breaks: its paragraph is in 7 pt, in the
// automatic colour, each of its line breaks a \line; the paragraph after it
// is back in 8 pt.
// The whole document is built in one string reserved to its exact size.
//
// Design matrices follow the paragraphs: the bold heading "Design matrices",
// then for each a bold caption, a table (row heads, then one narrow centred
// column per child with X, O or nothing) and the classification line, all in
// the automatic colour. A matrix too wide for a grid is its caption, one
// paragraph per assessed cell ("1.2 \u8594? 1.7: X") and its classification.
//
// The information content comes last, when an FR row has both ranges: the
// bold heading "Information content", then its lines (one per such row, and
// the total), in the automatic colour.

#include "export/ExportDocument.h"

#include <string>
#include <string_view>
#include <vector>

namespace exporting {

class RtfWriter {
public:
    static constexpr std::string_view kFontName = "Tahoma";
    static constexpr int kHalfPoints = 16; // 8 pt
    static constexpr int kNoteHalfPoints = 14; // 7 pt

    std::string render(const std::vector<Paragraph>& paragraphs, const std::vector<DesignMatrix>& matrices = {},
                       const std::vector<std::string>& information = {}) const;
    std::string render(const ExportDocument& document) const
    {
        return render(document.paragraphs(), document.matrices(), document.information());
    }

private:
    // Index 0 is the automatic colour; the rest are 0x00BBGGRR values.
    class ColourTable {
    public:
        int indexOf(const TextColour& colour); // adds the colour when new
        const std::vector<std::uint32_t>& explicitColours() const { return m_rgb; }

    private:
        std::vector<std::uint32_t> m_rgb;
        std::uint32_t m_lastRgb = 0;
        int m_lastIndex = -1;
    };

    static void appendHeader(std::string& out, const ColourTable& colours);
    static void appendMatrices(std::string& out, const std::vector<DesignMatrix>& matrices, bool first);
    static void appendInformation(std::string& out, const std::vector<std::string>& lines, bool first);
    static void appendMatrix(std::string& out, const DesignMatrix& matrix);
    static void appendListedCells(std::string& out, const std::vector<ListedCell>& cells);
    static void appendNumber(std::string& out, unsigned value);
    static void appendText(std::string& out, std::string_view text, bool lineBreaks = false);
    static void appendCharacter(std::string& out, std::string_view text, std::size_t& i);
    static std::size_t textSize(std::string_view text);
};

} // namespace exporting
