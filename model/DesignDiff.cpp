#include "model/DesignDiff.h"

#include "model/Cp1252.h"
#include "model/Design.h"
#include "model/MatrixClassification.h"
#include "model/Numbering.h"
#include "model/RowMatching.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace model {

namespace {

using Kind = DesignChange::Kind;

// Where a change stands among the others: the row it is filed under (0 for
// the whole design, row r of the newer design at r + 1), then what it is
// (Phase), then whatever tells two of the same kind apart.
enum Phase { Added, Moved, Relabelled, Ranges, Notes, Class, Cell, Cross, Removed };

struct Placed {
    int slot;
    int phase;
    long long tie;
    DesignChange change;
};

std::string quoted(std::string_view text)
{
    return '"' + std::string(text) + '"';
}

std::string rowsText(std::size_t rows)
{
    std::string text = "(";
    text += std::to_string(rows);
    text += rows == 1 ? " row)" : " rows)";
    return text;
}

const char* valueText(CellValue v)
{
    return v == CellValue::X ? "X" : v == CellValue::O ? "O" : "not assessed";
}

const char* couplingText(Coupling c)
{
    switch (c) {
    case Coupling::Incomplete: return "incomplete";
    case Coupling::Uncoupled: return "uncoupled";
    case Coupling::Decoupled: return "decoupled";
    case Coupling::Coupled: return "coupled";
    }
    return "";
}

std::string colourText(std::uint32_t colour)
{
    if (colour >= kSystemColour)
        return "system colour " + std::to_string(colour - kSystemColour);
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
    return text;
}

std::string fontText(const LevelStyle& s)
{
    std::string out = cp1252ToUtf8(s.name) + ' ' + std::to_string(s.size);
    for (auto [flag, word] : {std::pair{kBold, " bold"}, {kItalic, " italic"}, {kUnderline, " underlined"}, {kStrikeOut, " struck out"}})
        if (s.style & flag)
            out += word;
    if (s.charset != 0)
        out += " charset " + std::to_string(s.charset);
    return out;
}

std::string bitsOf(const FrRanges* r)
{
    return r && r->complete() ? bitsText(informationBits(probabilityOfSuccess(*r))) : "none";
}

std::string textOrNone(const std::string& cp1252)
{
    return cp1252.empty() ? "none" : quoted(cp1252ToUtf8(cp1252));
}

class Comparison {
public:
    Comparison(const Design& older, const Design& newer)
        : m_older(older), m_newer(newer), m_oldFr(older.tree(TreeId::FR)), m_newFr(newer.tree(TreeId::FR)),
          m_oldRows(m_oldFr.preorder()), m_newRows(m_newFr.preorder()),
          m_oldLabels(older), m_newLabels(newer), m_match(matchRows(older, m_oldLabels, newer, m_newLabels))
    {
    }

    DesignDiff run() &&
    {
        compareTitles();
        compareLook();
        compareRows();
        compareMatrices();
        compareCrossCells();
        compareRanges();
        compareNotes();
        std::stable_sort(m_placed.begin(), m_placed.end(), [](const Placed& a, const Placed& b) {
            return std::tie(a.slot, a.phase, a.tie) < std::tie(b.slot, b.phase, b.tie);
        });
        DesignDiff diff;
        diff.changes.reserve(m_placed.size());
        for (Placed& p : m_placed)
            diff.changes.push_back(std::move(p.change));
        diff.oldRowOf = std::move(m_match.oldRowOf);
        return diff;
    }

private:
    void add(int slot, Phase phase, long long tie, DesignChange change)
    {
        m_placed.push_back({slot, phase, tie, std::move(change)});
    }
    // A change of row r of the newer design (kNoRow: the top level).
    void addAt(int newRow, Phase phase, long long tie, DesignChange change) { add(newRow + 1, phase, tie, std::move(change)); }

    // Nodes of the FR trees; the hidden roots match each other.
    const Node* oldNodeOf(const Node* newNode) const
    {
        if (newNode == m_newFr.root())
            return m_oldFr.root();
        const int o = m_match.oldRowOf[newNode->row];
        return o < 0 ? nullptr : m_oldRows[static_cast<std::size_t>(o)];
    }
    const Node* newNodeOf(const Node* oldNode) const
    {
        if (oldNode == m_oldFr.root())
            return m_newFr.root();
        const int n = m_match.newRowOf[oldNode->row];
        return n < 0 ? nullptr : m_newRows[static_cast<std::size_t>(n)];
    }
    int newRowOf(const Node* newNode) const { return newNode == m_newFr.root() ? kNoRow : static_cast<int>(newNode->row); }
    int oldRowOf(const Node* oldNode) const { return oldNode == m_oldFr.root() ? kNoRow : static_cast<int>(oldNode->row); }
    // A matrix's parent number with the space behind it; nothing for the top level.
    static std::string parentPrefix(const Node* parent)
    {
        const std::string number = outlineNumberOf(parent);
        return number.empty() ? number : number + ' ';
    }

    void compareTitles()
    {
        for (TreeId id : kAllTrees) {
            const std::string before = m_older.fullTitle(id);
            const std::string after = m_newer.fullTitle(id);
            if (before != after)
                add(0, Added, index(id), {Kind::TitleChanged, kNoRow, kNoRow, id, 1,
                                          "title " + treeName(id) + ": " + quoted(before) + " → " + quoted(after)});
        }
    }

    void compareLook()
    {
        for (int level = 0; level < kLevelCount; ++level) {
            const LevelStyle& before = m_older.look().style(level);
            const LevelStyle& after = m_newer.look().style(level);
            const std::string name = "level " + std::to_string(level);
            if (before.colour != after.colour)
                add(0, Moved, level, {Kind::LookChanged, kNoRow, kNoRow, TreeId::FR, 1,
                                      name + " colour " + colourText(before.colour) + " → " + colourText(after.colour)});
            const std::string beforeFont = fontText(before);
            const std::string afterFont = fontText(after);
            if (beforeFont != afterFont)
                add(0, Moved, level, {Kind::LookChanged, kNoRow, kNoRow, TreeId::FR, 1,
                                      name + " font " + quoted(beforeFont) + " → " + quoted(afterFont)});
        }
    }

    static std::string treeName(TreeId id) { return id == TreeId::FR ? "FR" : id == TreeId::DP ? "DP" : "PV"; }

    void compareRows();
    void reportGroups(bool added);
    std::vector<bool> movedRows() const;
    void compareMatrices();
    void compareMatrix(const Node* oldParent, const Node* newParent, MatrixKind kind);
    bool sameChildren(const Node* oldParent, const Node* newParent) const;
    void compareCrossCells();
    void compareRanges();
    void compareNotes();

    const Design& m_older;
    const Design& m_newer;
    const DesignTree& m_oldFr;
    const DesignTree& m_newFr;
    std::span<const Node* const> m_oldRows;
    std::span<const Node* const> m_newRows;
    RowLabels m_oldLabels;
    RowLabels m_newLabels;
    RowMatch m_match;
    std::vector<Placed> m_placed;
};


// Rows added and removed, one line for each subtree that came or went
// whole; rows moved, one line for the top of what moved; rows relabelled.
void Comparison::compareRows()
{
    reportGroups(true);
    reportGroups(false);
    const std::vector<bool> moved = movedRows();
    for (const Node* node : m_newRows) {
        const int n = static_cast<int>(node->row);
        const int o = m_match.oldRowOf[node->row];
        if (o < 0)
            continue;
        const std::string number = outlineNumberOf(node);
        if (moved[node->row])
            addAt(n, Moved, 0, {Kind::RowMoved, o, n, TreeId::FR, static_cast<std::size_t>(m_newFr.subtreeSize(node)),
                                "moved " + outlineNumberOf(m_oldRows[static_cast<std::size_t>(o)]) + " → " + number + ' ' +
                                    std::string(m_newLabels.label(TreeId::FR, n))});
        for (TreeId id : kAllTrees) {
            const std::string_view before = m_oldLabels.label(id, o);
            const std::string_view after = m_newLabels.label(id, n);
            if (before != after)
                addAt(n, Relabelled, index(id), {Kind::Relabelled, o, n, id, 1,
                                                 number + ' ' + treeName(id) + ": " + quoted(before) + " → " + quoted(after)});
        }
    }
}

// The rows of one design that the other lacks, in groups: a row whose parent
// is matched (or the top level) heads a group, and every unmatched row below
// it through unmatched parents belongs to it. A removed group stands behind
// the last matched row before it in the older design.
void Comparison::reportGroups(bool added)
{
    const auto rows = added ? m_newRows : m_oldRows;
    const std::vector<int>& other = added ? m_match.oldRowOf : m_match.newRowOf;
    const DesignTree& tree = added ? m_newFr : m_oldFr;
    std::vector<int> head(rows.size(), -1);
    std::vector<std::size_t> size(rows.size(), 0);
    std::vector<int> tops;
    int lastMatched = kNoRow; // in the newer design
    std::vector<int> placeOf(rows.size(), kNoRow);
    for (const Node* node : rows) {
        const std::size_t r = node->row;
        if (other[r] >= 0) {
            lastMatched = other[r];
            continue;
        }
        const Node* parent = node->parent;
        const bool underGroup = !tree.isTopLevel(node) && other[parent->row] < 0;
        head[r] = underGroup ? head[parent->row] : static_cast<int>(r);
        ++size[static_cast<std::size_t>(head[r])];
        if (!underGroup) {
            tops.push_back(static_cast<int>(r));
            placeOf[r] = lastMatched;
        }
    }
    for (int top : tops) {
        const Node* node = rows[static_cast<std::size_t>(top)];
        const std::string text = outlineNumberOf(node) + ' ' +
                                 std::string((added ? m_newLabels : m_oldLabels).label(TreeId::FR, top)) + ' ' +
                                 rowsText(size[static_cast<std::size_t>(top)]);
        if (added)
            addAt(top, Added, 0, {Kind::RowAdded, kNoRow, top, TreeId::FR, size[static_cast<std::size_t>(top)], "+ " + text});
        else
            addAt(placeOf[static_cast<std::size_t>(top)], Removed, top,
                  {Kind::RowRemoved, top, kNoRow, TreeId::FR, size[static_cast<std::size_t>(top)], "- " + text});
    }
}

// The matched rows of the newer design that moved: under another parent
// than their match, or out of order among the siblings that stayed, the
// fewest such (the siblings off a longest run in the old order).
std::vector<bool> Comparison::movedRows() const
{
    std::vector<bool> moved(m_newRows.size(), false);
    auto siblingsOf = [&](const Node* newParent) {
        const Node* oldParent = oldNodeOf(newParent);
        std::vector<std::pair<std::uint32_t, const Node*>> stayed; // old sibling index, new node
        for (const Node* child : newParent->children) {
            const Node* old = oldNodeOf(child);
            if (!old)
                continue;
            if (oldParent && old->parent == oldParent)
                stayed.push_back({old->siblingIndex, child});
            else
                moved[child->row] = true;
        }
        // Longest increasing run of old indexes, by patience sorting.
        std::vector<std::size_t> tails, before(stayed.size());
        for (std::size_t i = 0; i < stayed.size(); ++i) {
            const auto at = std::lower_bound(tails.begin(), tails.end(), stayed[i].first,
                                             [&](std::size_t t, std::uint32_t v) { return stayed[t].first < v; });
            before[i] = at == tails.begin() ? stayed.size() : *(at - 1);
            if (at == tails.end())
                tails.push_back(i);
            else
                *at = i;
        }
        std::vector<bool> inRun(stayed.size(), false);
        for (std::size_t i = tails.empty() ? stayed.size() : tails.back(); i < stayed.size(); i = before[i])
            inRun[i] = true;
        for (std::size_t i = 0; i < stayed.size(); ++i)
            if (!inRun[i])
                moved[stayed[i].second->row] = true;
    };
    siblingsOf(m_newFr.root());
    for (const Node* node : m_newRows)
        if (!node->children.empty())
            siblingsOf(node);
    return moved;
}

void Comparison::compareMatrices()
{
    std::unordered_set<const Node*> seen; // new parents
    std::vector<std::pair<const Node*, const Node*>> pairs;
    auto take = [&](const Node* oldParent, const Node* newParent) {
        if (oldParent && newParent && seen.insert(newParent).second)
            pairs.push_back({oldParent, newParent});
    };
    for (const Node* p : m_newer.matrices().parents())
        take(oldNodeOf(p), p);
    for (const Node* p : m_older.matrices().parents())
        take(p, newNodeOf(p));
    for (const auto& [oldParent, newParent] : pairs)
        for (MatrixKind kind : kMatrixKinds)
            compareMatrix(oldParent, newParent, kind);
}

bool Comparison::sameChildren(const Node* oldParent, const Node* newParent) const
{
    if (oldParent->children.size() != newParent->children.size())
        return false;
    for (std::size_t i = 0; i < newParent->children.size(); ++i)
        if (oldNodeOf(newParent->children[i]) != oldParent->children[i])
            return false;
    return true;
}

// The cells between children both designs have under the parent (a row
// added or removed says its cells went with it), and the matrix's class
// when anything it rests on changed.
void Comparison::compareMatrix(const Node* oldParent, const Node* newParent, MatrixKind kind)
{
    const MatrixStore& oldStore = m_older.matrices();
    const MatrixStore& newStore = m_newer.matrices();
    const int newRow = newRowOf(newParent);
    const std::string prefix = parentPrefix(newParent) + std::string(kindName(kind));
    auto cellLine = [&](const Node* row, const Node* column, CellValue before, CellValue after) {
        addAt(newRow, Cell, static_cast<long long>(row->siblingIndex) * (1LL << 32) + column->siblingIndex,
              {Kind::CellChanged, oldRowOf(oldParent), newRow, TreeId::FR, 1,
               prefix + " (" + outlineNumberOf(row) + ", " + outlineNumberOf(column) + "): " + valueText(before) + " → " +
                   valueText(after)});
    };
    bool changed = false;
    for (const IndexedCell& c : newStore.indexedCells(newParent, kind, MatrixStore::Order::Any)) {
        const Node* row = newParent->children[c.row];
        const Node* column = newParent->children[c.column];
        const Node* oldRow = oldNodeOf(row);
        const Node* oldColumn = oldNodeOf(column);
        if (!oldRow || !oldColumn || oldRow->parent != oldParent || oldColumn->parent != oldParent)
            continue;
        const CellValue before = oldStore.cell(oldParent, kind, oldRow, oldColumn);
        if (before != c.value) {
            cellLine(row, column, before, c.value);
            changed = true;
        }
    }
    for (const IndexedCell& c : oldStore.indexedCells(oldParent, kind, MatrixStore::Order::Any)) {
        const Node* row = newNodeOf(oldParent->children[c.row]);
        const Node* column = newNodeOf(oldParent->children[c.column]);
        if (!row || !column || row->parent != newParent || column->parent != newParent)
            continue;
        if (newStore.cell(newParent, kind, row, column) == CellValue::NotAssessed) {
            cellLine(row, column, c.value, CellValue::NotAssessed);
            changed = true;
        }
    }
    if (!changed && sameChildren(oldParent, newParent))
        return;
    const Classification before = classify(oldStore, oldParent, kind);
    const Classification after = classify(newStore, newParent, kind);
    if (before.coupling == after.coupling)
        return;
    std::string line = prefix + ": " + couplingText(before.coupling) + " → " + couplingText(after.coupling);
    if (after.coupling == Coupling::Coupled) {
        std::string groups;
        for (const auto& group : after.groups) {
            groups += groups.empty() ? ": " : "; ";
            for (std::size_t i = 0; i < group.size(); ++i)
            {
                if (i)
                    groups += ' ';
                groups += outlineNumberOf(newParent->children[group[i]]);
            }
        }
        line += groups;
    } else if (after.coupling == Coupling::Incomplete) {
        line += ": " + std::to_string(after.notAssessed) + " of " + std::to_string(after.offDiagonal) + " cells not assessed";
    }
    addAt(newRow, Class, static_cast<long long>(kind), {Kind::ClassChanged, oldRowOf(oldParent), newRow, TreeId::FR, 1, line});
}

// Cross cells between rows both designs have.
void Comparison::compareCrossCells()
{
    const CrossCellStore& oldStore = m_older.crossCells();
    const CrossCellStore& newStore = m_newer.crossCells();
    auto cellLine = [&](MatrixKind kind, const Node* a, const Node* b, const Node* oldA, CellValue before, CellValue after) {
        const int row = static_cast<int>(a->row);
        addAt(row, Cross, static_cast<long long>(b->row) * 2 + static_cast<long long>(slot(kind)),
              {Kind::CellChanged, static_cast<int>(oldA->row), row, TreeId::FR, 1,
               "cross " + std::string(kindName(kind)) + " (" + outlineNumberOf(a) + ", " + outlineNumberOf(b) +
                   "): " + valueText(before) + " → " + valueText(after)});
    };
    for (const auto& [key, value] : newStore.all()) {
        const Node* oldA = oldNodeOf(key.a);
        const Node* oldB = oldNodeOf(key.b);
        if (!oldA || !oldB)
            continue;
        const CellValue before = oldStore.cell(key.kind, oldA, oldB);
        if (before != value)
            cellLine(key.kind, key.a, key.b, oldA, before, value);
    }
    for (const auto& [key, value] : oldStore.all()) {
        const Node* a = newNodeOf(key.a);
        const Node* b = newNodeOf(key.b);
        if (a && b && newStore.cell(key.kind, a, b) == CellValue::NotAssessed)
            cellLine(key.kind, a, b, key.a, value, CellValue::NotAssessed);
    }
}

void Comparison::compareRanges()
{
    auto compare = [&](const Node* oldNode, const Node* newNode) {
        const FrRanges* before = m_older.ranges().find(oldNode);
        const FrRanges* after = m_newer.ranges().find(newNode);
        const FrRanges none;
        const FrRanges& b = before ? *before : none;
        const FrRanges& a = after ? *after : none;
        if (a == b)
            return;
        const int row = static_cast<int>(newNode->row);
        const std::string head = outlineNumberOf(newNode) + " FR: ";
        auto line = [&](int tie, std::string text) {
            addAt(row, Ranges, tie, {Kind::RangesChanged, static_cast<int>(oldNode->row), row, TreeId::FR, 1, head + text});
        };
        if (!(a.design == b.design))
            line(0, "design range " + textOrNone(designRangeText(b.design)) + " → " + textOrNone(designRangeText(a.design)));
        if (!(a.system == b.system))
            line(1, "system range " + textOrNone(systemRangeText(b.system)) + " → " + textOrNone(systemRangeText(a.system)));
        const std::string bitsBefore = bitsOf(before);
        const std::string bitsAfter = bitsOf(after);
        if (bitsBefore != bitsAfter)
            line(2, "I " + bitsBefore + " → " + bitsAfter + " bits");
    };
    for (const auto& entry : m_newer.ranges().all())
        if (const Node* old = oldNodeOf(entry.first))
            compare(old, entry.first);
    for (const auto& entry : m_older.ranges().all())
        if (const Node* now = newNodeOf(entry.first); now && !m_newer.ranges().find(now))
            compare(entry.first, now);
}

void Comparison::compareNotes()
{
    auto compare = [&](const Node* oldNode, const Node* newNode) {
        const int row = static_cast<int>(newNode->row);
        for (TreeId id : kAllTrees) {
            const std::string* before = m_older.notes().find(id, oldNode);
            const std::string* after = m_newer.notes().find(id, newNode);
            const std::string_view b = before ? std::string_view(*before) : std::string_view();
            const std::string_view a = after ? std::string_view(*after) : std::string_view();
            if (a == b)
                continue;
            const char* what = b.empty() ? "note added" : a.empty() ? "note removed" : "note changed";
            addAt(row, Notes, index(id), {Kind::NoteChanged, static_cast<int>(oldNode->row), row, id, 1,
                                          outlineNumberOf(newNode) + ' ' + treeName(id) + ": " + what});
        }
    };
    for (const auto& entry : m_newer.notes().all())
        if (const Node* old = oldNodeOf(entry.first))
            compare(old, entry.first);
    for (const auto& entry : m_older.notes().all())
        if (const Node* now = newNodeOf(entry.first); now && !m_newer.notes().find(now))
            compare(entry.first, now);
}

} // namespace

DesignDiff compareDesigns(const Design& older, const Design& newer)
{
    return Comparison(older, newer).run();
}

} // namespace model
