#include "io/TreeText.h"

#include "model/Cp1252.h"
#include "model/PreOrder.h"
#include "model/UserError.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <memory>
#include <vector>

namespace io {

namespace {

// Visits every node in row order with its level.
template <typename Visit>
void forEachWithLevel(const model::DesignTree& tree, Visit&& visit)
{
    model::preOrderBelow(tree.root(), [&](const model::Node* n, std::size_t level) { visit(*n, level); });
}

// The first CR, LF or NUL in [p, end), or end: sixteen bytes at a time where
// SSE2 is there (every x86-64), a byte at a time elsewhere.
const char* findLineEnd(const char* p, const char* end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i nul = _mm_setzero_si128();
    for (; end - p >= 16; p += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)),
                                          _mm_cmpeq_epi8(block, nul));
        if (const int mask = _mm_movemask_epi8(hits))
            return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
#endif
    for (; p != end; ++p)
        if (*p == '\r' || *p == '\n' || *p == '\0')
            return p;
    return end;
}

// Splits a tree text into lines. A line runs to the next CR, LF or NUL; one CR
// and then one LF behind it are skipped. A NUL ends the text after its line.
class LineSplitter {
public:
    explicit LineSplitter(std::string_view text) : m_pos(text.data()), m_end(text.data() + text.size()) {}

    bool next(std::string_view& line)
    {
        if (m_pos == m_end || *m_pos == '\0') // nothing from a NUL on is read
            return false;
        const char* eol = findLineEnd(m_pos, m_end);
        line = std::string_view(m_pos, static_cast<std::size_t>(eol - m_pos));
        m_pos = eol;
        if (m_pos != m_end && *m_pos == '\r')
            ++m_pos;
        if (m_pos != m_end && *m_pos == '\n')
            ++m_pos;
        return true;
    }

    bool atEnd() const { return m_pos == m_end; }

private:
    const char* m_pos;
    const char* m_end;
};

std::size_t indentOf(std::string_view line)
{
    std::size_t n = 0;
    while (n < line.size() && (line[n] == '\t' || line[n] == ' '))
        ++n;
    return n;
}

model::UserError invalidLevel(std::size_t level, std::string_view item)
{
    return model::UserError("Invalid level (" + std::to_string(level) + ") for item \"" +
                            model::cp1252ToUtf8(item) + "\"");
}

} // namespace

std::size_t treeTextSize(const model::DesignTree& tree)
{
    std::size_t size = 0;
    forEachWithLevel(tree, [&](const model::Node& n, std::size_t level) { size += level + n.text().size() + 2; });
    return size;
}

void writeTreeText(const model::DesignTree& tree, std::string& out)
{
    writeTreeText(tree, out, nullptr);
}

void writeTreeText(const model::DesignTree& tree, std::string& out, const std::atomic<bool>* stop)
{
    constexpr std::size_t kRowsBetweenLooks = 4096;
    std::size_t untilLook = kRowsBetweenLooks;
    forEachWithLevel(tree, [&](const model::Node& n, std::size_t level) {
        if (stop && --untilLook == 0) {
            untilLook = kRowsBetweenLooks;
            if (stop->load(std::memory_order_relaxed))
                throw EncodeStopped();
        }
        out.append(level, '\t');
        out.append(n.text());
        out.append("\r\n", 2);
    });
}

namespace {

// Builds the tree line by line and records each row's level. branch[d] is
// the last node made at level d on the current branch, so a line attaches to
// branch[level - 1] whether it goes deeper or shallower. The node texts stay
// in `bytes`, which the tree keeps: nothing is copied per line.
bool buildTree(std::string_view bytes, std::shared_ptr<const void> keeper, model::DesignTree& tree, TreeLevels& levels)
{
    tree.adoptBuffer(std::move(keeper));
    std::vector<model::Node*> branch(64); // grows with the depth
    std::size_t depth = 0;                // branch[0 .. depth) is the current branch
    LineSplitter lines(bytes);
    std::string_view line;
    while (lines.next(line)) {
        const std::size_t indent = indentOf(line);
        const std::string_view label = line.substr(indent);
        const std::size_t level = depth == 0 ? 0 : indent; // the first line is always top-level
        if (level > depth)
            throw invalidLevel(indent, label);
        levels.push_back(static_cast<std::uint32_t>(level));
        if (level == branch.size())
            branch.resize(2 * branch.size());
        branch[level] = tree.appendBorrowed(level == 0 ? tree.root() : branch[level - 1], label);
        depth = level + 1;
    }
    return lines.atEnd();
}

// A copy the tree can keep, for bytes that belong to the caller.
std::shared_ptr<const std::string> copyOf(std::string_view text)
{
    return std::make_shared<const std::string>(text);
}

} // namespace

model::DesignTree readTreeText(std::string_view text)
{
    TreeLevels levels;
    return readTreeText(text, levels);
}

model::DesignTree readTreeText(std::string_view text, TreeLevels& levels)
{
    auto copy = copyOf(text);
    model::DesignTree tree;
    buildTree(*copy, copy, tree, levels);
    return tree;
}

bool readTreeTextInto(std::string_view text, std::shared_ptr<const void> keeper, TreeLevels& levels,
                      model::DesignTree& tree)
{
    return buildTree(text, std::move(keeper), tree, levels);
}

std::size_t topLevelLineFrom(std::string_view text, std::size_t from)
{
    // Whatever ends the line before, the line behind an LF starts right after it.
    for (std::size_t lf = text.find('\n', from); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) {
        if (lf + 1 >= text.size())
            break;
        const char c = text[lf + 1];
        if (c != '\t' && c != ' ' && c != '\r' && c != '\n' && c != '\0')
            return lf + 1;
    }
    return std::string_view::npos;
}

} // namespace io
