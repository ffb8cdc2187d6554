// Writing the text form of a design (see DesignText.h): the header first,
// then the rows in row order with what belongs to each right below it, so
// that a moved subtree moves its notes, ranges and matrices with it.
#include "io/DesignText.h"

#include "io/DesignFile.h"
#include "io/HeaderCodec.h"
#include "io/TextEscape.h"
#include "model/Cp1252.h"
#include "model/Numbering.h"
#include "model/UserError.h"

#include <algorithm>
#include <tuple>

namespace io {

using text::appendEscaped;
using text::escaped;

namespace {

constexpr const char* kTreeNames[] = {"FR", "DP", "PV"};
constexpr const char* kStyleNames[] = {"bold", "italic", "underline", "strikeout", "bit4", "bit5", "bit6", "bit7"};

const char* kindName(model::MatrixKind kind) { return kind == model::MatrixKind::FrDp ? "FR-DP" : "DP-PV"; }
const char* valueName(model::CellValue value) { return value == model::CellValue::X ? "X" : "O"; }

// The header a save of the design writes, but for the section fields.
model::HeaderRecord savedHeader(const model::Design& design)
{
    model::HeaderRecord header = design.look().currentHeader();
    header.magic = model::kDesignMagic;
    for (model::TreeId id : model::kAllTrees)
        model::setFieldText(header.titles[static_cast<std::size_t>(model::index(id))], design.title(id));
    design.look().storeStylesInto(header);
    return header;
}

// Whether the field holds anything behind the text up to its NUL.
template <std::size_t N>
bool hasTail(const std::array<char, N>& field)
{
    std::array<char, N> plain{};
    model::setFieldText(plain, model::fieldText(field));
    return plain != field;
}

std::string colourText(std::uint32_t colour)
{
    std::string out;
    if ((colour & 0xFF000000u) == 0) {
        out = "#";
        text::appendHexByte(out, colour & 0xFF);
        text::appendHexByte(out, (colour >> 8) & 0xFF);
        text::appendHexByte(out, (colour >> 16) & 0xFF);
    } else if ((colour & 0xFF000000u) == model::kSystemColour) {
        out = "system:" + std::to_string(colour & 0xFFFFFFu);
    } else {
        out = "0x";
        for (int shift = 24; shift >= 0; shift -= 8)
            text::appendHexByte(out, (colour >> shift) & 0xFF);
    }
    return out;
}

std::string styleText(std::uint8_t style)
{
    std::string out;
    for (int bit = 0; bit < 8; ++bit)
        if (style & (1u << bit))
            out += (out.empty() ? "" : ",") + std::string(kStyleNames[bit]);
    return out.empty() ? "plain" : out;
}

void appendRecord(std::string& out, const std::string& name, const model::LevelRecord& r)
{
    out += name + ": " + std::to_string(r.size) + " pt " + styleText(r.style) + " colour " + colourText(r.colour) +
           " charset " + std::to_string(r.charset) + " font ";
    appendEscaped(out, model::cp1252ToUtf8(model::fieldText(r.name)));
    out += '\n';
    if (hasTail(r.name))
        out += name + " field: " + text::hexOf({r.name.data(), r.name.size()}) + '\n';
}

void appendHeader(std::string& out, const model::Design& design)
{
    const model::HeaderRecord header = savedHeader(design);
    out += kDesignTextHead;
    out += '\n';
    for (model::TreeId id : model::kAllTrees) {
        const auto i = static_cast<std::size_t>(model::index(id));
        out += "title " + std::string(kTreeNames[i]) + ": ";
        appendEscaped(out, design.fullTitle(id));
        out += '\n';
        if (hasTail(header.titles[i]))
            out += "title " + std::string(kTreeNames[i]) + " field: " +
                   text::hexOf({header.titles[i].data(), header.titles[i].size()}) + '\n';
    }
    if (!(header.reserved == model::LevelRecord{}))
        appendRecord(out, "reserved", header.reserved);
    for (std::size_t level = 0; level < header.levels.size(); ++level)
        appendRecord(out, "level " + std::to_string(level), header.levels[level]);
}

void appendMatrixLines(std::string& out, std::string_view indent, const model::MatrixStore& matrices,
                       const model::Node* parent)
{
    if (!matrices.hasCells(parent))
        return;
    for (model::MatrixKind kind : model::kMatrixKinds)
        for (const model::IndexedCell& cell : matrices.indexedCells(parent, kind)) {
            out += indent;
            out += '@';
            out += kindName(kind);
            out += ' ' + std::to_string(cell.row + 1) + ' ' + std::to_string(cell.column + 1) + ' ';
            out += valueName(cell.value);
            out += '\n';
        }
}

void appendRangeLines(std::string& out, std::string_view indent, const model::FrRanges& ranges)
{
    const model::DesignRange& d = ranges.design;
    if (d.present() || !d.unit.empty()) {
        out += indent;
        out += "@design " + (d.hasLower ? text::numberOf(d.lower) : "-") + " .. " +
               (d.hasUpper ? text::numberOf(d.upper) : "-");
        if (!d.unit.empty()) {
            out += ' ';
            appendEscaped(out, model::cp1252ToUtf8(d.unit));
        }
        out += '\n';
    }
    const model::SystemRange& s = ranges.system;
    if (s.present()) {
        out += indent;
        out += s.kind == model::SystemKind::Uniform ? "@system uniform " : "@system normal ";
        out += text::numberOf(s.first) + ' ' + text::numberOf(s.second) + '\n';
    }
}

void appendNoteLines(std::string& out, std::string_view indent, const model::RowTextArray& notes)
{
    for (std::size_t t = 0; t < notes.size(); ++t) {
        if (notes[t].empty())
            continue;
        std::string_view rest = notes[t];
        bool first = true;
        for (;;) {
            const std::size_t lineEnd = rest.find('\n');
            out += indent;
            out += first ? "@note " + std::string(kTreeNames[t]) + ": " : std::string("@+ ");
            appendEscaped(out, rest.substr(0, lineEnd));
            out += '\n';
            if (lineEnd == std::string_view::npos)
                break;
            rest.remove_prefix(lineEnd + 1);
            first = false;
        }
    }
}

// "1.2 Deliver | Impeller | Speed": the FR number once, the DP and PV
// labels behind the same number; a text without it is written whole.
void appendRow(std::string& out, const model::Design& design, int row, int depth)
{
    out.append(static_cast<std::size_t>(depth) * 2, ' ');
    const std::string_view fr = design.tree(model::TreeId::FR).nodeAt(row)->text().view();
    const std::size_t offset = model::labelOffset(fr);
    const std::string_view number = fr.substr(0, offset == 0 ? 0 : offset - 1);
    const std::string numberUtf8 = model::cp1252ToUtf8(number);
    if (offset == 0)
        out += '-';
    else
        appendEscaped(out, numberUtf8);
    for (model::TreeId id : model::kAllTrees) {
        out += id == model::TreeId::FR ? " " : " | ";
        const std::string_view own = design.tree(id).nodeAt(row)->text().view();
        const std::string whole = design.fullText(id, row);
        if (offset == 0) {
            appendEscaped(out, whole);
        } else if (own.size() >= offset && own.substr(0, offset - 1) == number && own[offset - 1] == ' ' &&
                   model::labelOffset(own) == offset) {
            appendEscaped(out, std::string_view(whole).substr(numberUtf8.size() + 1));
        } else {
            out += "\\=";
            appendEscaped(out, whole);
        }
    }
    out += '\n';
}

void appendCrossCells(std::string& out, const model::Design& design)
{
    const model::DesignTree& fr = design.tree(model::TreeId::FR);
    std::vector<std::tuple<model::MatrixKind, int, int, model::CellValue>> cells;
    cells.reserve(design.crossCells().size());
    for (const auto& [key, value] : design.crossCells().all())
        cells.emplace_back(key.kind, fr.rowOf(key.a), fr.rowOf(key.b), value);
    std::sort(cells.begin(), cells.end());
    for (const auto& [kind, a, b, value] : cells)
        out += std::string("cross ") + kindName(kind) + ' ' + model::outlineNumberOf(fr.nodeAt(a)) + ' ' +
               model::outlineNumberOf(fr.nodeAt(b)) + ' ' + valueName(value) + '\n';
}

void appendKeptBlocks(std::string& out, const model::KeptBlocks& kept)
{
    constexpr std::size_t kBytesPerLine = 32;
    for (const model::KeptBlock& block : kept) {
        out += block.why == model::KeptBlock::Why::Unreadable ? "kept unreadable: " : "kept unknown: ";
        appendEscaped(out, model::cp1252ToUtf8(block.name));
        out += '\n';
        for (std::size_t at = 0; at < block.bytes.size(); at += kBytesPerLine)
            out += "hex " + text::hexOf(std::string_view(block.bytes).substr(at, kBytesPerLine)) + '\n';
    }
}

} // namespace

std::string designText(const model::Design& design)
{
    std::string out;
    out.reserve(2048 + static_cast<std::size_t>(design.rowCount()) * 64);
    appendHeader(out, design);
    const model::DesignTree& fr = design.tree(model::TreeId::FR);
    appendMatrixLines(out, "", design.matrices(), fr.root());
    std::vector<const model::Node*> path; // the rows above the current one
    std::string indent;
    for (int row = 0; row < design.rowCount(); ++row) {
        const model::Node* node = fr.nodeAt(row);
        while (!path.empty() && path.back() != node->parent)
            path.pop_back();
        const int depth = static_cast<int>(path.size());
        appendRow(out, design, row, depth);
        indent.assign(static_cast<std::size_t>(depth) * 2 + 2, ' ');
        appendMatrixLines(out, indent, design.matrices(), node);
        if (const model::FrRanges* ranges = design.ranges().find(node))
            appendRangeLines(out, indent, *ranges);
        if (const model::RowTextArray* notes = design.notes().find(node))
            appendNoteLines(out, indent, *notes);
        path.push_back(node);
    }
    appendCrossCells(out, design);
    appendKeptBlocks(out, design.keptBlocks());
    return out;
}

std::string designTextFromFile(std::string_view bytes, const std::string& pathForMessages)
{
    DesignFileContents contents = parseDesignFile(bytes, pathForMessages);
    if (contents.header.magic != model::kDesignMagic)
        throw model::UserError(pathForMessages + " is not a design file");
    const model::HeaderRecord header = contents.header;
    model::Design design;
    openInto(design, std::move(contents));
    // The header as read, tails and reserved record too: a file this program
    // wrote comes back as the same bytes.
    design.look().saved(header);
    return designText(design);
}

} // namespace io
