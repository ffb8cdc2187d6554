#include "export/RtfWriter.h"

#include "export/InformationContent.h"
#include "model/Cp1252.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace exporting {
namespace {

// How many bytes each text byte takes in the document (see the header).
constexpr std::array<std::uint8_t, 256> makeEncodedSizes()
{
    std::array<std::uint8_t, 256> sizes{};
    for (int c = 0; c < 256; ++c) {
        if (c == '\t')
            sizes[c] = 5; // "\tab "
        else if (c < 0x20)
            sizes[c] = 0;
        else if (c == 0x7F)
            sizes[c] = 4; // "\'7f"
        else if (c > 0x7F)
            sizes[c] = 4; // a byte of a longer character: none takes more than 4 bytes a byte ("\u-1234?")
        else if (c == '\\' || c == '{' || c == '}')
            sizes[c] = 2;
        else
            sizes[c] = 1;
    }
    return sizes;
}
constexpr std::array<std::uint8_t, 256> kEncodedSize = makeEncodedSizes();

constexpr std::string_view kParagraphBreak = "\\par\r\n";
constexpr std::size_t kLongestColourPrefix = 10; // "\cf" + up to 6 digits + " "
constexpr std::size_t kHeaderAllowance = 256;
constexpr std::size_t kColourEntryMax = 24;      // "\red255\green255\blue255;"

// Matrix tables, in twips: the row heads' column, then one column a child,
// narrower for a large matrix so that it keeps to the width of a page.
constexpr unsigned kHeadColumnTwips = 2880;
constexpr unsigned kMarkColumnTwips = 567;
constexpr unsigned kNarrowestMarkTwips = 240;
constexpr unsigned kMarksWidthTwips = 6480;
constexpr unsigned kCellGapTwips = 57;
constexpr std::string_view kMatricesHeading = "Design matrices";

} // namespace

int RtfWriter::ColourTable::indexOf(const TextColour& colour)
{
    if (colour.automatic)
        return 0;
    // Lines of one level follow each other often: remember the last hit.
    if (m_lastIndex > 0 && colour.rgb == m_lastRgb)
        return m_lastIndex;
    std::size_t i = 0;
    while (i < m_rgb.size() && m_rgb[i] != colour.rgb)
        ++i;
    if (i == m_rgb.size())
        m_rgb.push_back(colour.rgb);
    m_lastRgb = colour.rgb;
    m_lastIndex = static_cast<int>(i) + 1;
    return m_lastIndex;
}

std::string RtfWriter::render(const std::vector<Paragraph>& paragraphs, const std::vector<DesignMatrix>& matrices,
                              const std::vector<std::string>& information) const
{
    // First pass: the colours in use and the size of the document.
    ColourTable colours;
    std::size_t size = kHeaderAllowance;
    for (const Paragraph& p : paragraphs) {
        colours.indexOf(p.colour);
        size += kLongestColourPrefix + textSize(p.text) + kParagraphBreak.size() + (p.note ? 8 : 0);
    }
    size += colours.explicitColours().size() * kColourEntryMax;

    std::string out;
    out.reserve(size);
    appendHeader(out, colours);
    for (std::size_t i = 0; i < paragraphs.size(); ++i) {
        const Paragraph& p = paragraphs[i];
        if (i > 0)
            out += kParagraphBreak;
        if (p.note) {
            out += "\\cf0\\fs";
            appendNumber(out, kNoteHalfPoints);
            out += ' ';
            appendText(out, p.text, true);
            continue;
        }
        out += "\\cf";
        appendNumber(out, static_cast<unsigned>(colours.indexOf(p.colour)));
        if (i > 0 && paragraphs[i - 1].note) {
            out += "\\fs";
            appendNumber(out, kHalfPoints);
        }
        out += ' ';
        appendText(out, p.text);
    }
    if (!paragraphs.empty() && paragraphs.back().note && !(matrices.empty() && information.empty())) {
        out += "\\fs"; // the matrices follow in the body's size; the group of the last paragraph is ended first
        appendNumber(out, kHalfPoints);
    }
    if (!matrices.empty())
        appendMatrices(out, matrices, paragraphs.empty());
    if (!information.empty())
        appendInformation(out, information, paragraphs.empty() && matrices.empty());
    out += "}\r\n";
    return out;
}

void RtfWriter::appendHeader(std::string& out, const ColourTable& colours)
{
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 ";
    out += kFontName;
    out += ";}}\r\n{\\colortbl ;";
    for (std::uint32_t bgr : colours.explicitColours()) {
        out += "\\red";
        appendNumber(out, bgr & 0xFFu);
        out += "\\green";
        appendNumber(out, (bgr >> 8) & 0xFFu);
        out += "\\blue";
        appendNumber(out, (bgr >> 16) & 0xFFu);
        out += ';';
    }
    out += "}\r\n\\pard\\plain\\f0\\fs";
    appendNumber(out, kHalfPoints);
    out += "\r\n";
}

void RtfWriter::appendMatrices(std::string& out, const std::vector<DesignMatrix>& matrices, bool first)
{
    if (!first)
        out += kParagraphBreak;
    out += "\\cf0\\b ";
    appendText(out, kMatricesHeading);
    out += "\\b0";
    for (const DesignMatrix& matrix : matrices)
        appendMatrix(out, matrix);
}

void RtfWriter::appendInformation(std::string& out, const std::vector<std::string>& lines, bool first)
{
    if (!first)
        out += kParagraphBreak;
    out += "\\cf0\\b ";
    appendText(out, kInformationHeading);
    out += "\\b0";
    for (const std::string& line : lines) {
        out += kParagraphBreak;
        appendText(out, line);
    }
}

// The caption ends its paragraph before the table's rows; the classification
// line starts a plain paragraph after them and is ended by what follows.
void RtfWriter::appendMatrix(std::string& out, const DesignMatrix& matrix)
{
    out += kParagraphBreak;
    out += "\\b ";
    appendText(out, matrix.caption);
    out += "\\b0";
    out += kParagraphBreak;
    if (matrix.listed) {
        appendListedCells(out, matrix.cells);
        appendText(out, matrix.classification);
        return;
    }
    const std::size_t n = matrix.columnHeads.size();
    const unsigned mark =
        n == 0 ? kMarkColumnTwips
               : std::max(kNarrowestMarkTwips, std::min(kMarkColumnTwips, kMarksWidthTwips / static_cast<unsigned>(n)));
    std::string rowHead = "\\trowd\\trgaph";
    appendNumber(rowHead, kCellGapTwips);
    for (std::size_t c = 0; c <= n; ++c) {
        rowHead += "\\cellx";
        appendNumber(rowHead, kHeadColumnTwips + static_cast<unsigned>(c) * mark);
    }
    rowHead += "\r\n";
    // The head row: the corner, then the columns' numbers.
    out += rowHead;
    out += "\\pard\\intbl ";
    appendText(out, matrix.corner);
    out += "\\cell";
    for (const std::string& head : matrix.columnHeads) {
        out += "\\pard\\intbl\\qc ";
        appendText(out, head);
        out += "\\cell";
    }
    out += "\\row\r\n";
    for (std::size_t r = 0; r < matrix.rowHeads.size(); ++r) {
        out += rowHead;
        out += "\\pard\\intbl ";
        appendText(out, matrix.rowHeads[r]);
        out += "\\cell";
        for (std::size_t c = 0; c < n; ++c) {
            out += "\\pard\\intbl\\qc ";
            appendText(out, markText(matrix.mark(r, c)));
            out += "\\cell";
        }
        out += "\\row\r\n";
    }
    // In a group of its own: some readers end a table only where a group begins.
    out += "\\pard{";
    appendText(out, matrix.classification);
    out += '}';
}

// One paragraph a cell, the arrow as a Unicode character ("?" for a reader without it).
void RtfWriter::appendListedCells(std::string& out, const std::vector<ListedCell>& cells)
{
    for (const ListedCell& cell : cells) {
        appendText(out, cell.row);
        out += " \\u8594? ";
        appendText(out, cell.column);
        out += ": ";
        appendText(out, markText(cell.mark));
        out += kParagraphBreak;
    }
}

void RtfWriter::appendNumber(std::string& out, unsigned value)
{
    char digits[12];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

std::size_t RtfWriter::textSize(std::string_view text)
{
    std::size_t size = 0;
    for (unsigned char c : text)
        size += kEncodedSize[c];
    return size;
}

void RtfWriter::appendText(std::string& out, std::string_view text, bool lineBreaks)
{
    std::size_t runStart = 0; // plain bytes are copied in runs
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (kEncodedSize[c] == 1)
            continue;
        out.append(text.data() + runStart, i - runStart);
        if (c == '\t') {
            out += "\\tab ";
        } else if (c == '\n' || c == '\r') {
            if (lineBreaks && !(c == '\n' && i > 0 && text[i - 1] == '\r'))
                out += "\\line ";
        } else if (c >= 0x7F) {
            appendCharacter(out, text, i);
        } else if (kEncodedSize[c] == 2) {
            const char escaped[2] = {'\\', static_cast<char>(c)};
            out.append(escaped, 2);
        } // other control bytes are dropped
        runStart = i + 1;
    }
    out.append(text.data() + runStart, text.size() - runStart);
}

// The character starting at byte `i`, which is not ASCII (or is DEL); `i` is
// left on its last byte. A byte that starts no well-formed character is "?".
void RtfWriter::appendCharacter(std::string& out, std::string_view text, std::size_t& i)
{
    static constexpr char kHex[] = "0123456789abcdef";
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) {
        out += '?';
        return;
    }
    char32_t u = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k)
        u = (u << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
    i += static_cast<std::size_t>(length - 1);
    if (u <= 0xFFFF) {
        if (const auto byte = model::unicodeToCp1252(static_cast<char16_t>(u))) {
            const char escaped[4] = {'\\', '\'', kHex[*byte >> 4], kHex[*byte & 0xF]};
            out.append(escaped, 4);
            return;
        }
    }
    // RTF takes UTF-16 units as signed 16-bit numbers.
    auto appendUnit = [&out](char32_t unit) {
        out += "\\u";
        out += std::to_string(unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit));
        out += '?';
    };
    if (u > 0xFFFF) {
        appendUnit(0xD800 + ((u - 0x10000) >> 10));
        appendUnit(0xDC00 + ((u - 0x10000) & 0x3FF));
    } else {
        appendUnit(u);
    }
}

} // namespace exporting
