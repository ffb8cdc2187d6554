#include "model/LabelSearch.h"

#include "model/Cp1252.h"
#include "model/Design.h"
#include "model/Numbering.h"
#include "model/RowTexts.h"
#include "model/Utf8.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

namespace model {

namespace {

constexpr std::array<unsigned char, 256> kFold = [] {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[static_cast<std::size_t>(b)] = foldCp1252(static_cast<unsigned char>(b));
    return t;
}();

unsigned char fold(char c)
{
    return kFold[static_cast<unsigned char>(c)];
}

// foldCp1252 on UTF-8, byte by byte: every Windows-1252 capital becomes its
// small letter, whose UTF-8 is as long, so offsets into the folded text are
// offsets into the text.
void foldUtf8(std::string_view text, std::string& out)
{
    out.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        out[i] = b < 0x80 ? static_cast<char>(kFold[b]) : text[i];
        if (b < 0x80 || i + 1 == text.size())
            continue;
        auto next = static_cast<unsigned char>(text[i + 1]);
        if (b == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) { // U+00C0..U+00DE
            next += 0x20;
        } else if (b == 0xC5) {
            switch (next) {
            case 0x92: next = 0x93; break; // OE
            case 0xA0: next = 0xA1; break; // S caron
            case 0xBD: next = 0xBE; break; // Z caron
            case 0xB8: out[i] = static_cast<char>(0xC3), next = 0xBF; break; // Y diaeresis, U+00FF
            default: break;
            }
        }
        out[++i] = static_cast<char>(next);
    }
}

} // namespace

bool foundBefore(const FoundLabel& a, const FoundLabel& b)
{
    if (a.row != b.row)
        return a.row < b.row;
    if (a.tree != b.tree)
        return index(a.tree) < index(b.tree);
    return a.inNote < b.inNote;
}

LabelSearch::LabelSearch(std::string_view query)
{
    m_folded.reserve(query.size());
    for (char c : query)
        m_folded.push_back(static_cast<char>(fold(c)));
    // The bytes the query may begin with: a letter in either case, or one byte.
    if (!m_folded.empty())
        for (int b = 0; b < 256; ++b)
            if (static_cast<char>(kFold[static_cast<std::size_t>(b)]) == m_folded.front())
                m_firstBytes.push_back(static_cast<char>(b));
    foldUtf8(cp1252ToUtf8(query), m_foldedUtf8);
}

LabelSearch LabelSearch::ofUtf8(std::string_view utf8)
{
    if (!validUtf8(utf8))
        return LabelSearch();
    if (fitsCp1252(utf8))
        return LabelSearch(questionForm(utf8));
    LabelSearch search;
    foldUtf8(utf8, search.m_foldedUtf8);
    return search;
}

std::size_t LabelSearch::findInUtf8(std::string_view utf8, std::size_t from) const
{
    if (empty() || utf8.size() < from + m_foldedUtf8.size())
        return std::string_view::npos;
    std::string folded;
    foldUtf8(utf8.substr(from), folded);
    const std::size_t at = folded.find(m_foldedUtf8);
    return at == std::string::npos ? std::string_view::npos : from + at;
}

// The label as shown: in full where a full label stands, else the node's text.
bool LabelSearch::labelHolds(const Design& design, TreeId id, int row, std::string& scratch) const
{
    const Node* node = design.tree(id).nodeAt(row);
    if (!design.fullLabels().empty()) {
        const std::string* full = design.fullLabels().find(id, design.tree(TreeId::FR).nodeAt(row));
        if (full && fullLabelStands(node->text(), *full)) {
            foldUtf8(*full, scratch);
            return scratch.find(m_foldedUtf8) != std::string::npos;
        }
    }
    return findIn(node->text()) != std::string_view::npos;
}

bool LabelSearch::noteHolds(const Design& design, TreeId id, int row, std::string& scratch) const
{
    const std::string* note = design.notes().find(id, design.tree(TreeId::FR).nodeAt(row));
    if (!note)
        return false;
    foldUtf8(*note, scratch);
    return scratch.find(m_foldedUtf8) != std::string::npos;
}

void LabelSearch::findInNotes(const Design& design, std::vector<FoundLabel>& found) const
{
    const DesignTree& fr = design.tree(TreeId::FR);
    std::string scratch;
    for (const auto& [frNode, texts] : design.notes().all())
        for (TreeId id : kAllTrees) {
            const std::string& note = texts[static_cast<std::size_t>(index(id))];
            if (note.size() < m_foldedUtf8.size())
                continue;
            foldUtf8(note, scratch);
            if (scratch.find(m_foldedUtf8) != std::string::npos)
                found.push_back({fr.rowOf(frNode), id, true});
        }
}

std::size_t LabelSearch::findIn(std::string_view text) const
{
    const std::size_t m = m_folded.size();
    if (m == 0 || text.size() < m)
        return std::string_view::npos;
    // memchr finds where the query may begin far faster than a loop folding
    // every byte; only there are the other bytes compared.
    const char* const begin = text.data();
    const char* const lastStart = begin + (text.size() - m);
    for (const char* at = begin + labelOffset(text); at <= lastStart; ++at) {
        const char* next = nullptr;
        for (char first : m_firstBytes)
            if (const void* p = std::memchr(at, first, static_cast<std::size_t>(lastStart - at) + 1))
                next = next ? std::min(next, static_cast<const char*>(p)) : static_cast<const char*>(p);
        if (!next)
            break;
        at = next;
        std::size_t j = 1;
        while (j < m && static_cast<char>(fold(at[j])) == m_folded[j])
            ++j;
        if (j == m)
            return static_cast<std::size_t>(at - begin);
    }
    return std::string_view::npos;
}

std::vector<FoundLabel> LabelSearch::findAll(const Design& design) const
{
    std::vector<FoundLabel> found;
    if (empty())
        return found;
    if (!design.fullLabels().empty()) {
        std::string scratch;
        for (int row = 0; row < design.rowCount(); ++row)
            for (TreeId id : kAllTrees)
                if (labelHolds(design, id, row, scratch))
                    found.push_back({row, id});
    } else if (!m_folded.empty()) { // the labels as they always were: nothing but bytes to look at
        std::array<std::span<const Node* const>, kTreeCount> rows;
        for (TreeId id : kAllTrees)
            rows[static_cast<std::size_t>(index(id))] = design.tree(id).preorder();
        for (int row = 0; row < design.rowCount(); ++row)
            for (TreeId id : kAllTrees)
                if (findIn(rows[static_cast<std::size_t>(index(id))][static_cast<std::size_t>(row)]->text())
                    != std::string_view::npos)
                    found.push_back({row, id});
    }
    if (design.notes().empty())
        return found;
    std::vector<FoundLabel> inNotes;
    findInNotes(design, inNotes);
    std::sort(inNotes.begin(), inNotes.end(), foundBefore);
    std::vector<FoundLabel> all;
    all.reserve(found.size() + inNotes.size());
    std::merge(found.begin(), found.end(), inNotes.begin(), inNotes.end(), std::back_inserter(all), foundBefore);
    return all;
}

std::vector<FoundLabel> LabelSearch::findAmong(const Design& design, const std::vector<FoundLabel>& candidates) const
{
    std::vector<FoundLabel> found;
    std::string scratch;
    for (const FoundLabel& f : candidates)
        if (f.row < design.rowCount()
            && (f.inNote ? noteHolds(design, f.tree, f.row, scratch) : labelHolds(design, f.tree, f.row, scratch)))
            found.push_back(f);
    return found;
}

bool LabelSearch::narrows(const LabelSearch& shorter) const
{
    return !shorter.empty() && m_foldedUtf8.find(shorter.m_foldedUtf8) != std::string::npos;
}

} // namespace model
