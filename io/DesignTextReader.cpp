// Reading the text form of a design (see DesignText.h) line by line. Every
// line is checked as it is read, and what refers to rows not yet read (the
// cells of a matrix over a row's children, the cross cells) is checked once
// the rows are all there, each error naming the line it came from.
#include "io/DesignText.h"

#include "io/DesignFile.h"
#include "io/TextEscape.h"
#include "model/Numbering.h"
#include "model/UserError.h"
#include "model/Utf8.h"

#include <vector>

namespace io {
namespace {

constexpr std::string_view kTreeNames[] = {"FR", "DP", "PV"};
constexpr std::string_view kStyleNames[] = {"bold", "italic", "underline", "strikeout", "bit4", "bit5", "bit6", "bit7"};

struct PendingCell {
    int line;
    int parentRow; // -1: the top level
    model::MatrixKind kind;
    int row, column;
    model::CellValue value;
};

struct PendingCross {
    int line;
    model::MatrixKind kind;
    std::string a, b;
    model::CellValue value;
};

std::vector<std::string_view> words(std::string_view s)
{
    std::vector<std::string_view> out;
    std::size_t at = 0;
    while (at <= s.size()) {
        const std::size_t space = s.find(' ', at);
        out.push_back(s.substr(at, space == std::string_view::npos ? std::string_view::npos : space - at));
        if (space == std::string_view::npos)
            break;
        at = space + 1;
    }
    return out;
}

bool startsWith(std::string_view s, std::string_view head) { return s.substr(0, head.size()) == head; }

class TextReader {
public:
    TextReader(const std::string& path, model::Design& design) : m_path(path), m_design(design) {}

    void read(std::string_view text);

private:
    [[noreturn]] void fail(int line, const std::string& what) const
    {
        throw model::UserError(m_path + ":" + std::to_string(line) + ": " + what);
    }
    [[noreturn]] void fail(const std::string& what) const { fail(m_line, what); }

    std::string utf8Of(std::string_view escapedText) const
    {
        text::Unescaped u = text::unescape(escapedText);
        if (u.error)
            fail(u.error);
        if (!model::validUtf8(u.text))
            fail("a text that is not UTF-8");
        return std::move(u.text);
    }
    std::string cp1252Of(std::string_view escapedText) const
    {
        const std::string utf8 = utf8Of(escapedText);
        if (!model::fitsCp1252(utf8))
            fail("a character beyond Windows-1252 where only those are kept");
        return model::questionForm(utf8);
    }
    int treeOf(std::string_view name) const
    {
        for (int t = 0; t < 3; ++t)
            if (name == kTreeNames[t])
                return t;
        fail("expected FR, DP or PV");
    }
    model::MatrixKind kindOf(std::string_view name) const
    {
        if (name == "FR-DP")
            return model::MatrixKind::FrDp;
        if (name == "DP-PV")
            return model::MatrixKind::DpPv;
        fail("expected FR-DP or DP-PV");
    }
    model::CellValue valueOf(std::string_view name) const
    {
        if (name == "X")
            return model::CellValue::X;
        if (name == "O")
            return model::CellValue::O;
        fail("expected X or O");
    }
    template <typename Int> Int integer(std::string_view s, int base = 10) const
    {
        const auto v = text::integerOf<Int>(s, base);
        if (!v)
            fail("expected a number, not \"" + std::string(s) + "\"");
        return *v;
    }
    double number(std::string_view s) const
    {
        const auto v = text::doubleOf(s);
        if (!v)
            fail("expected a number, not \"" + std::string(s) + "\"");
        return *v;
    }
    template <std::size_t N> void takeField(std::array<char, N>& field, std::string_view hex) const
    {
        const auto bytes = text::bytesOfHex(hex);
        if (!bytes || bytes->size() != N)
            fail("expected " + std::to_string(N) + " bytes in hex");
        std::copy(bytes->begin(), bytes->end(), field.begin());
    }

    void readLine(std::string_view line);
    void readTitle(std::string_view rest);
    void readRecord(model::LevelRecord& record, std::string_view rest);
    void readRow(std::size_t indent, std::string_view rest);
    void readAttribute(std::string_view rest);
    void readRange(std::string_view rest);
    void readKept(std::string_view rest);
    void takeText(std::size_t tree, model::Node* node, const std::string& whole);
    void flushNotes();
    void finish();
    const model::Node* rowAt(int line, std::string_view number) const;

    std::string m_path;
    model::Design& m_design;
    int m_line = 0;
    model::HeaderRecord m_header{};
    std::array<std::string, 3> m_titles;
    std::array<model::DesignTree, 3> m_trees;
    std::vector<model::Node*> m_path3[3]; // the rows above the last one, per tree
    std::vector<model::Node*> m_frRows;
    std::string m_number; // the last row's FR number, "-" for none
    model::MatrixStore m_matrices;
    model::CrossCellStore m_cross;
    model::RangeStore m_ranges;
    model::RowTextStore m_fullLabels;
    model::RowTextStore m_notes;
    model::KeptBlocks m_kept;
    std::vector<PendingCell> m_cells;
    std::vector<PendingCross> m_crossCells;
    model::RowTextArray m_rowNotes;  // the notes of the last row, put in with the next row
    std::array<bool, 3> m_noteSeen{};
    std::string* m_note = nullptr; // the note "@+" continues
    bool m_keptOpen = false;
};

void TextReader::read(std::string_view text)
{
    m_header.magic = model::kDesignMagic;
    for (std::size_t level = 0; level < m_header.levels.size(); ++level)
        model::storeStyle(m_header.levels[level], model::DesignLook::defaultStyle(static_cast<int>(level)));
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') // a checkout with Windows line ends
            line.remove_suffix(1);
        ++m_line;
        if (m_line == 1 && line != kDesignTextHead)
            fail("expected \"" + std::string(kDesignTextHead) + "\"");
        if (m_line > 1)
            readLine(line);
        at = end + 1;
    }
    if (m_line == 0)
        fail(1, "expected \"" + std::string(kDesignTextHead) + "\"");
    finish();
}

void TextReader::readLine(std::string_view line)
{
    std::size_t indent = 0;
    while (indent < line.size() && line[indent] == ' ')
        ++indent;
    const std::string_view rest = line.substr(indent);
    if (rest.empty())
        return;
    if (rest.front() == '@') {
        readAttribute(rest.substr(1));
        return;
    }
    m_note = nullptr;
    const char c = rest.front();
    if (c == '-' || (c >= '1' && c <= '9')) {
        readRow(indent, rest);
        return;
    }
    if (indent != 0)
        fail("expected a row");
    if (m_keptOpen && startsWith(rest, "hex ")) {
        const auto bytes = text::bytesOfHex(rest.substr(4));
        if (!bytes)
            fail("expected bytes in hex");
        m_kept.back().bytes += *bytes;
        return;
    }
    m_keptOpen = false;
    if (startsWith(rest, "title "))
        readTitle(rest.substr(6));
    else if (startsWith(rest, "reserved: "))
        readRecord(m_header.reserved, rest.substr(10));
    else if (startsWith(rest, "reserved field: "))
        takeField(m_header.reserved.name, rest.substr(16));
    else if (startsWith(rest, "level ")) {
        const std::size_t colon = rest.find(':');
        const auto name = words(rest.substr(6, colon == std::string_view::npos ? 0 : colon - 6));
        const auto level = text::integerOf<int>(name.front());
        if (colon == std::string_view::npos || !level || *level < 0 || *level >= model::kLevelCount ||
            name.size() > 2 || (name.size() == 2 && name[1] != "field"))
            fail("expected a level from 0 to 10");
        model::LevelRecord& record = m_header.levels[static_cast<std::size_t>(*level)];
        if (name.size() == 2)
            takeField(record.name, rest.substr(colon + 2));
        else
            readRecord(record, rest.substr(colon + 2));
    } else if (startsWith(rest, "cross ")) {
        const auto w = words(rest.substr(6));
        if (w.size() != 4)
            fail("expected \"cross FR-DP|DP-PV ROW ROW X|O\"");
        m_crossCells.push_back({m_line, kindOf(w[0]), std::string(w[1]), std::string(w[2]), valueOf(w[3])});
    } else if (startsWith(rest, "kept ")) {
        readKept(rest.substr(5));
    } else {
        fail("expected a row");
    }
}

void TextReader::readTitle(std::string_view rest)
{
    const std::size_t t = static_cast<std::size_t>(treeOf(rest.substr(0, 2)));
    if (startsWith(rest.substr(2), ": "))
        m_titles[t] = utf8Of(rest.substr(4));
    else if (startsWith(rest.substr(2), " field: "))
        takeField(m_header.titles[t], rest.substr(10));
    else
        fail("expected \"title FR: TEXT\"");
}

// "8 pt bold colour system:8 charset 0 font Tahoma"
void TextReader::readRecord(model::LevelRecord& record, std::string_view rest)
{
    const auto w = words(rest);
    if (w.size() < 8 || w[1] != "pt" || w[3] != "colour" || w[5] != "charset" || w[7] != "font")
        fail("expected \"SIZE pt STYLE colour COLOUR charset N font NAME\"");
    record.size = integer<std::int32_t>(w[0]);
    record.style = 0;
    if (w[2] != "plain")
        for (std::size_t at = 0; at <= w[2].size();) {
            const std::size_t comma = std::min(w[2].find(',', at), w[2].size());
            const std::string_view name = w[2].substr(at, comma - at);
            const auto bit = std::find(std::begin(kStyleNames), std::end(kStyleNames), name);
            if (bit == std::end(kStyleNames))
                fail("unknown style \"" + std::string(name) + "\"");
            record.style |= static_cast<std::uint8_t>(1u << (bit - std::begin(kStyleNames)));
            at = comma + 1;
        }
    const std::string_view colour = w[4];
    if (startsWith(colour, "#") && colour.size() == 7) {
        const auto rgb = integer<std::uint32_t>(colour.substr(1), 16);
        record.colour = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    } else if (startsWith(colour, "system:")) {
        record.colour = model::kSystemColour | (integer<std::uint32_t>(colour.substr(7)) & 0xFFFFFF);
    } else if (startsWith(colour, "0x")) {
        record.colour = integer<std::uint32_t>(colour.substr(2), 16);
    } else {
        fail("expected a colour: #RRGGBB, system:N or 0xHHHHHHHH");
    }
    record.charset = integer<std::uint8_t>(w[6]);
    const std::size_t font = rest.find(" font") + 5;
    const std::string name = font < rest.size() ? cp1252Of(rest.substr(font + 1)) : std::string();
    if (name.size() > model::kNameFieldSize)
        fail("a font name longer than 32 bytes");
    model::setFieldText(record.name, name);
}

void TextReader::flushNotes()
{
    if (!m_frRows.empty())
        m_notes.set(m_frRows.back(), std::move(m_rowNotes));
    m_rowNotes = {};
    m_noteSeen = {};
}

void TextReader::takeText(std::size_t tree, model::Node* node, const std::string& whole)
{
    std::string bytes = model::questionForm(whole);
    if (!model::fitsCp1252(whole)) {
        model::RowTextArray labels = m_fullLabels.find(m_frRows.back()) ? *m_fullLabels.find(m_frRows.back())
                                                                        : model::RowTextArray{};
        labels[tree] = whole.substr(model::utf8Offset(whole, model::labelOffset(bytes)));
        m_fullLabels.set(m_frRows.back(), std::move(labels));
    }
    m_trees[tree].setText(node, bytes);
}

void TextReader::readRow(std::size_t indent, std::string_view rest)
{
    if (indent % 2 != 0)
        fail("a row indented by an odd number of spaces");
    const std::size_t depth = indent / 2;
    if (depth > m_path3[0].size())
        fail("a row two levels deeper than the row before");
    const std::size_t space = rest.find(' ');
    if (space == std::string_view::npos)
        fail("expected a row");
    const std::string number = rest.substr(0, space) == "-" ? std::string() : utf8Of(rest.substr(0, space));
    if (!model::fitsCp1252(number))
        fail("an outline number beyond Windows-1252");
    flushNotes();
    std::array<std::string_view, 3> cells;
    std::string_view line = rest.substr(space + 1);
    for (std::size_t t = 0; t < 3; ++t) {
        const std::size_t bar = t < 2 ? line.find(" | ") : std::string_view::npos;
        if (t < 2 && bar == std::string_view::npos)
            fail("expected three labels separated by \" | \"");
        cells[t] = line.substr(0, bar);
        if (t < 2)
            line.remove_prefix(bar + 3);
    }
    for (std::size_t t = 0; t < 3; ++t) {
        m_path3[t].resize(depth);
        model::Node* parent = depth == 0 ? m_trees[t].root() : m_path3[t].back();
        model::Node* node = m_trees[t].appendChild(parent, "");
        if (t == 0)
            m_frRows.push_back(node);
        std::string whole;
        if (number.empty())
            whole = utf8Of(cells[t]);
        else if (t > 0 && startsWith(cells[t], "\\="))
            whole = utf8Of(cells[t].substr(2));
        else
            whole = number + ' ' + utf8Of(cells[t]);
        if (t == 0 && !number.empty() && model::labelOffset(model::questionForm(whole)) != model::questionForm(number).size() + 1)
            fail("\"" + number + "\" is not an outline number");
        if (t == 0 && number.empty() && model::labelOffset(model::questionForm(whole)) != 0)
            fail("a label behind \"-\" that begins with an outline number");
        takeText(t, node, whole);
        m_path3[t].push_back(node);
    }
}

void TextReader::readAttribute(std::string_view rest)
{
    if (startsWith(rest, "+ ") || rest == "+") {
        if (!m_note)
            fail("\"@+\" continues a note, and no note is before it");
        *m_note += '\n';
        *m_note += utf8Of(rest.substr(std::min<std::size_t>(2, rest.size())));
        return;
    }
    m_note = nullptr;
    const int parentRow = static_cast<int>(m_frRows.size()) - 1;
    if (startsWith(rest, "FR-DP ") || startsWith(rest, "DP-PV ")) {
        const auto w = words(rest);
        if (w.size() != 4)
            fail("expected \"@FR-DP ROW COLUMN X|O\"");
        m_cells.push_back({m_line, parentRow, kindOf(w[0]), integer<int>(w[1]) - 1, integer<int>(w[2]) - 1,
                           valueOf(w[3])});
        return;
    }
    if (parentRow < 0)
        fail("a note or range before the first row");
    if (startsWith(rest, "design ") || startsWith(rest, "system ")) {
        readRange(rest);
    } else if (startsWith(rest, "note ") && rest.size() >= 9 && rest.substr(7, 2) == ": ") {
        const auto t = static_cast<std::size_t>(treeOf(rest.substr(5, 2)));
        if (m_noteSeen[t])
            fail("a second note for the same label");
        m_noteSeen[t] = true;
        m_rowNotes[t] = utf8Of(rest.substr(9));
        m_note = &m_rowNotes[t];
    } else {
        fail("expected @FR-DP, @DP-PV, @design, @system, @note or @+");
    }
}

// "design 5 .. 12 l/min", "design - .. 12", "system uniform 6 11", "system normal 8.5 1.2"
void TextReader::readRange(std::string_view rest)
{
    model::FrRanges ranges = m_ranges.find(m_frRows.back()) ? *m_ranges.find(m_frRows.back()) : model::FrRanges{};
    const auto w = words(rest);
    if (w[0] == "design") {
        if (w.size() < 4 || w[2] != "..")
            fail("expected \"@design LOWER .. UPPER UNIT\"");
        auto& d = ranges.design;
        d.hasLower = w[1] != "-";
        d.lower = d.hasLower ? number(w[1]) : 0;
        d.hasUpper = w[3] != "-";
        d.upper = d.hasUpper ? number(w[3]) : 0;
        const std::size_t unitAt = w[0].size() + w[1].size() + w[2].size() + w[3].size() + 4;
        d.unit = unitAt < rest.size() ? cp1252Of(rest.substr(unitAt)) : std::string();
    } else {
        if (w.size() != 4 || (w[1] != "uniform" && w[1] != "normal"))
            fail("expected \"@system uniform A B\" or \"@system normal MEAN SIGMA\"");
        ranges.system = {w[1] == "uniform" ? model::SystemKind::Uniform : model::SystemKind::Normal, number(w[2]),
                         number(w[3])};
    }
    if (const auto problem = model::problemWith(ranges))
        fail(*problem);
    m_ranges.set(m_frRows.back(), ranges);
}

void TextReader::readKept(std::string_view rest)
{
    model::KeptBlock block;
    if (startsWith(rest, "unreadable: "))
        block.why = model::KeptBlock::Why::Unreadable;
    else if (!startsWith(rest, "unknown: "))
        fail("expected \"kept unreadable: NAME\" or \"kept unknown: NAME\"");
    block.name = cp1252Of(rest.substr(rest.find(": ") + 2));
    m_kept.push_back(std::move(block));
    m_keptOpen = true;
}

// "2.1.3" by the rows' places, whatever their texts say.
const model::Node* TextReader::rowAt(int line, std::string_view number) const
{
    const model::Node* node = m_trees[0].root();
    std::size_t at = 0;
    while (at <= number.size()) {
        const std::size_t dot = std::min(number.find('.', at), number.size());
        const auto place = text::integerOf<std::size_t>(number.substr(at, dot - at));
        if (!place || *place == 0 || *place > node->children.size())
            fail(line, "no row " + std::string(number));
        node = node->children[*place - 1];
        at = dot + 1;
    }
    return node;
}

void TextReader::finish()
{
    flushNotes();
    for (const PendingCell& c : m_cells) {
        const model::Node* parent = c.parentRow < 0 ? m_trees[0].root() : m_frRows[static_cast<std::size_t>(c.parentRow)];
        const int n = static_cast<int>(parent->children.size());
        if (c.row < 0 || c.column < 0 || c.row >= n || c.column >= n || c.row == c.column)
            fail(c.line, "no cell " + std::to_string(c.row + 1) + " " + std::to_string(c.column + 1) +
                             " off the diagonal of a matrix over " + std::to_string(n) + " rows");
        m_matrices.set(parent, c.kind, parent->children[static_cast<std::size_t>(c.row)],
                       parent->children[static_cast<std::size_t>(c.column)], c.value);
    }
    for (const PendingCross& c : m_crossCells) {
        const model::Node* a = rowAt(c.line, c.a);
        const model::Node* b = rowAt(c.line, c.b);
        if (!model::crossPair(m_trees[0], a, b))
            fail(c.line, "rows " + c.a + " and " + c.b + " are the same, siblings or one inside the other");
        m_cross.set(c.kind, a, b, c.value);
    }
    m_design.replaceTrees(std::move(m_trees));
    for (model::TreeId id : model::kAllTrees) {
        const std::string& title = m_titles[static_cast<std::size_t>(model::index(id))];
        if (model::fitsCp1252(title))
            m_design.setTitle(id, model::questionForm(title));
        else
            m_design.setFullTitle(id, title);
    }
    m_design.replaceMatrices(std::move(m_matrices));
    m_design.replaceCrossCells(std::move(m_cross));
    m_design.replaceRanges(std::move(m_ranges));
    m_design.replaceFullLabels(std::move(m_fullLabels));
    m_design.replaceNotes(std::move(m_notes));
    m_design.replaceKeptBlocks(std::move(m_kept));
    m_design.look().opened(m_header);
    m_design.look().saved(m_header);
}

} // namespace

void readDesignText(std::string_view text, const std::string& pathForMessages, model::Design& design)
{
    TextReader(pathForMessages, design).read(text);
}

std::string designFileFromText(std::string_view text, const std::string& pathForMessages)
{
    model::Design design;
    readDesignText(text, pathForMessages, design);
    return encodeDesignFile(design, KeptBlocksToo::Yes);
}

} // namespace io
