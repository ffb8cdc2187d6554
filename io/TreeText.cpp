#include "io/TreeText.h"

#include "io/Cp1252.h"
#include "model/UserError.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace io {

namespace {

// Visits every node in row order with its level. Iterative: the stack holds
// one frame per level, so depth costs memory, never the call stack.
template <typename Visit>
void forEachWithLevel(const model::DesignTree& tree, Visit&& visit)
{
    struct Frame {
        const model::Node* node;
        std::size_t next;
    };
    std::vector<Frame> stack{{tree.root(), 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == f.node->children.size()) {
            stack.pop_back();
            continue;
        }
        const model::Node* child = f.node->children[f.next++];
        visit(*child, stack.size() - 1);
        if (!child->children.empty())
            stack.push_back({child, 0});
    }
}

// Splits a tree text into lines. A line runs to the next CR, LF or NUL; one CR
// and then one LF behind it are skipped. The next CR and the next LF are each
// found with memchr and kept until passed, so every byte is scanned at most
// once per character sought.
class LineSplitter {
public:
    explicit LineSplitter(std::string_view text)
        : m_pos(text.data()),
          m_end(endAtNul(text)),
          m_cr(find(m_pos, '\r')),
          m_lf(find(m_pos, '\n'))
    {
    }

    bool next(std::string_view& line)
    {
        if (m_pos == m_end)
            return false;
        if (m_cr < m_pos)
            m_cr = find(m_pos, '\r');
        if (m_lf < m_pos)
            m_lf = find(m_pos, '\n');
        const char* eol = std::min(m_cr, m_lf);
        line = std::string_view(m_pos, static_cast<std::size_t>(eol - m_pos));
        m_pos = eol;
        if (m_pos != m_end && *m_pos == '\r')
            ++m_pos;
        if (m_pos != m_end && *m_pos == '\n')
            ++m_pos;
        return true;
    }

private:
    static const char* endAtNul(std::string_view text)
    {
        const void* nul = std::memchr(text.data(), '\0', text.size());
        return nul ? static_cast<const char*>(nul) : text.data() + text.size();
    }

    const char* find(const char* from, char c) const
    {
        const void* hit = std::memchr(from, c, static_cast<std::size_t>(m_end - from));
        return hit ? static_cast<const char*>(hit) : m_end;
    }

    const char* m_pos;
    const char* m_end;
    const char* m_cr;
    const char* m_lf;
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
                            cp1252ToUtf8(item) + "\"");
}

} // namespace

std::size_t treeTextSize(const model::DesignTree& tree)
{
    std::size_t size = 0;
    forEachWithLevel(tree, [&](const model::Node& n, std::size_t level) { size += level + n.text.size() + 2; });
    return size;
}

void writeTreeText(const model::DesignTree& tree, std::string& out)
{
    out.reserve(out.size() + treeTextSize(tree));
    forEachWithLevel(tree, [&](const model::Node& n, std::size_t level) {
        out.append(level, '\t');
        out.append(n.text);
        out.append("\r\n", 2);
    });
}

model::DesignTree readTreeText(std::string_view text)
{
    model::DesignTree tree;
    // branch[d] is the last node read at level d on the current branch, so a
    // line attaches to branch[level - 1] whether it goes deeper or shallower.
    std::vector<model::Node*> branch;
    LineSplitter lines(text);
    std::string_view line;
    while (lines.next(line)) {
        const std::size_t indent = indentOf(line);
        const std::string_view label = line.substr(indent);
        const std::size_t level = branch.empty() ? 0 : indent; // the first line is always top-level
        if (level > branch.size())
            throw invalidLevel(indent, label);
        branch.resize(level);
        branch.push_back(level == 0 ? tree.appendTopLevel(std::string(label))
                                    : tree.appendChild(branch.back(), std::string(label)));
    }
    return tree;
}

} // namespace io
