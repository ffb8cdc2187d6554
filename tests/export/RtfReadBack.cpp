#include "RtfReadBack.h"

#include "model/Cp1252.h"

#include <cctype>
#include <charconv>

namespace readback {
namespace {

enum class Destination { Body, FontTable, ColourTable, Skipped };

struct State {
    Destination destination = Destination::Body;
    int colour = 0;
    int halfPoints = 24; // RTF's default size, 12 pt
    int font = 0;
};

class Reader {
public:
    explicit Reader(std::string_view rtf) : m_in(rtf) {}
    Document run();

private:
    void controlWord();
    void word(std::string_view name, std::optional<int> param);
    void character(char c);
    void unicode(int unit);
    void appendUtf8(char32_t u);
    void endParagraph();
    Colour colourOf(int index);
    void fail(std::string what) { if (m_doc.error.empty()) m_doc.error = std::move(what); }

    std::string_view m_in;
    std::size_t m_pos = 0;
    Document m_doc;
    std::vector<State> m_stack;
    Paragraph m_current;
    bool m_currentHasText = false;
    std::uint32_t m_red = 0, m_green = 0, m_blue = 0;
    bool m_colourGiven = false;
    int m_fallbacksToSkip = 0; // in utf8 only: text keeps them
    char32_t m_highSurrogate = 0;
};

Document Reader::run()
{
    if (m_in.substr(0, 6) != "{\\rtf1")
        fail("no {\\rtf1 at the start");
    while (m_pos < m_in.size() && m_doc.error.empty()) {
        const char c = m_in[m_pos++];
        if (c == '{') {
            m_stack.push_back(m_stack.empty() ? State{} : m_stack.back());
        } else if (c == '}') {
            if (m_stack.empty())
                return fail("unbalanced }"), m_doc;
            if (m_stack.size() == 1) { // end of the document: the last paragraph
                endParagraph();
                return m_doc;
            }
            m_stack.pop_back();
        } else if (c == '\\') {
            controlWord();
        } else if (c != '\r' && c != '\n') {
            character(c);
        }
    }
    fail("document not closed");
    return m_doc;
}

void Reader::controlWord()
{
    if (m_pos >= m_in.size())
        return fail("backslash at the end");
    const char c = m_in[m_pos];
    if (std::isalpha(static_cast<unsigned char>(c))) {
        const std::size_t start = m_pos;
        while (m_pos < m_in.size() && std::isalpha(static_cast<unsigned char>(m_in[m_pos])))
            ++m_pos;
        const std::string_view name = m_in.substr(start, m_pos - start);
        std::optional<int> param;
        const std::size_t digits = m_pos;
        if (m_pos < m_in.size() && m_in[m_pos] == '-')
            ++m_pos;
        while (m_pos < m_in.size() && std::isdigit(static_cast<unsigned char>(m_in[m_pos])))
            ++m_pos;
        if (m_pos > digits) {
            int value = 0;
            std::from_chars(m_in.data() + digits, m_in.data() + m_pos, value);
            param = value;
        }
        if (m_pos < m_in.size() && m_in[m_pos] == ' ')
            ++m_pos; // the delimiter belongs to the control word
        return word(name, param);
    }
    ++m_pos;
    if (c == '\'') {
        unsigned value = 0;
        const auto r = std::from_chars(m_in.data() + m_pos, m_in.data() + m_pos + 2, value, 16);
        if (r.ptr != m_in.data() + m_pos + 2)
            return fail("bad \\' escape");
        m_pos += 2;
        character(static_cast<char>(value));
    } else if (c == '\\' || c == '{' || c == '}') {
        character(c);
    } else if (c == '*') {
        m_stack.back().destination = Destination::Skipped;
    } else {
        fail(std::string("unexpected control symbol \\") + c);
    }
}

void Reader::word(std::string_view name, std::optional<int> param)
{
    State& s = m_stack.back();
    const int value = param.value_or(0);
    if (name == "ansi") m_doc.ansi = true;
    else if (name == "ansicpg") m_doc.codePage = value;
    else if (name == "fonttbl") s.destination = Destination::FontTable;
    else if (name == "colortbl") s.destination = Destination::ColourTable;
    else if (name == "red") { m_red = static_cast<std::uint32_t>(value); m_colourGiven = true; }
    else if (name == "green") { m_green = static_cast<std::uint32_t>(value); m_colourGiven = true; }
    else if (name == "blue") { m_blue = static_cast<std::uint32_t>(value); m_colourGiven = true; }
    else if (name == "fcharset" && !m_doc.fonts.empty()) m_doc.fonts.back().charset = value;
    else if (name == "f" && s.destination == Destination::FontTable) m_doc.fonts.push_back({value, -1, {}});
    else if (name == "f") s.font = value;
    else if (name == "cf") s.colour = value;
    else if (name == "fs") s.halfPoints = value;
    else if (name == "plain") { s.colour = 0; s.halfPoints = 24; s.font = 0; }
    else if (name == "par") endParagraph();
    else if (name == "tab") character('\t');
    else if (name == "line") character('\n');
    else if (name == "u") unicode(value);
    // every other word (\rtf, \deff, \pard, family names) has no effect on what is tested
}

void Reader::character(char c)
{
    State& s = m_stack.back();
    switch (s.destination) {
    case Destination::Body:
        if (!m_currentHasText)
            m_current.colour = colourOf(s.colour);
        else if (m_current.colour != colourOf(s.colour))
            m_current.mixedColours = true;
        m_currentHasText = true;
        m_current.text += c;
        if (m_fallbacksToSkip > 0)
            --m_fallbacksToSkip;
        else
            appendUtf8(model::cp1252ToUnicode(static_cast<unsigned char>(c)));
        break;
    case Destination::FontTable:
        if (c != ';' && !m_doc.fonts.empty())
            m_doc.fonts.back().name += c;
        break;
    case Destination::ColourTable:
        if (c == ';') {
            m_doc.colourTable.push_back(m_colourGiven ? Colour(m_red | m_green << 8 | m_blue << 16)
                                                      : std::nullopt);
            m_red = m_green = m_blue = 0;
            m_colourGiven = false;
        }
        break;
    case Destination::Skipped:
        break;
    }
}

// A UTF-16 unit as a signed number, then one fallback character (\uc1).
void Reader::unicode(int unit)
{
    const auto u = static_cast<char32_t>(unit < 0 ? unit + 0x10000 : unit);
    m_fallbacksToSkip = 1;
    if (u >= 0xD800 && u < 0xDC00) {
        m_highSurrogate = u;
    } else if (u >= 0xDC00 && u < 0xE000 && m_highSurrogate) {
        appendUtf8(0x10000 + ((m_highSurrogate - 0xD800) << 10) + (u - 0xDC00));
        m_highSurrogate = 0;
    } else {
        appendUtf8(u);
    }
}

void Reader::appendUtf8(char32_t u)
{
    std::string& out = m_current.utf8;
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

void Reader::endParagraph()
{
    const State& s = m_stack.back();
    if (m_currentHasText && m_current.colour != colourOf(s.colour))
        m_current.mixedColours = true;
    m_current.colour = colourOf(s.colour);
    m_current.halfPoints = s.halfPoints;
    m_current.font = s.font;
    m_doc.paragraphs.push_back(std::move(m_current));
    m_current = {};
    m_currentHasText = false;
}

Colour Reader::colourOf(int index)
{
    if (index == 0 && m_doc.colourTable.empty())
        return std::nullopt; // no table: everything automatic
    if (index < 0 || static_cast<std::size_t>(index) >= m_doc.colourTable.size()) {
        fail("colour index " + std::to_string(index) + " outside the colour table");
        return std::nullopt;
    }
    return m_doc.colourTable[static_cast<std::size_t>(index)];
}

} // namespace

Document read(std::string_view rtf)
{
    return Reader(rtf).run();
}

} // namespace readback
