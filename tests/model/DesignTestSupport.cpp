#include "DesignTestSupport.h"

#include "model/Numbering.h"

#include <algorithm>

using model::Design;
using model::DesignTree;
using model::Node;
using model::TreeId;

namespace testsupport {

namespace {

int leadingSpaces(const std::string& s)
{
    return static_cast<int>(s.find_first_not_of(' ') == std::string::npos ? s.size() : s.find_first_not_of(' '));
}

// The pre-order walk, done here independently of the tree's own row cache.
std::vector<const Node*> walk(const DesignTree& tree)
{
    std::vector<const Node*> order;
    std::vector<const Node*> stack(tree.root()->children.rbegin(), tree.root()->children.rend());
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        order.push_back(n);
        stack.insert(stack.end(), n->children.rbegin(), n->children.rend());
    }
    return order;
}

} // namespace

void buildTree(DesignTree& tree, const Outline& outline)
{
    std::vector<Node*> open; // the last node seen at each level
    for (const std::string& line : outline) {
        const int level = leadingSpaces(line);
        if (level > static_cast<int>(open.size()))
            throw std::invalid_argument("outline skips a level at: " + line);
        open.resize(static_cast<std::size_t>(level));
        Node* parent = level == 0 ? tree.root() : open.back();
        open.push_back(tree.appendChild(parent, line.substr(static_cast<std::size_t>(level))));
    }
}

std::string partnerText(const std::string& frText, int primes)
{
    if (frText.rfind(model::kNewNodeLabel, 0) == 0)
        return frText;
    const std::size_t space = frText.find(' ');
    std::string out = frText;
    out.insert(space == std::string::npos ? out.size() : space, static_cast<std::size_t>(primes), '\'');
    return out;
}

void buildTagged(Design& design, const Outline& outline)
{
    for (int primes = 0; primes < model::kTreeCount; ++primes) {
        Outline tagged;
        for (const std::string& line : outline) {
            const auto level = static_cast<std::size_t>(leadingSpaces(line));
            tagged.push_back(line.substr(0, level) + partnerText(line.substr(level), primes));
        }
        buildTree(design.tree(model::kAllTrees[static_cast<std::size_t>(primes)]), tagged);
    }
}

Outline outlineOf(const DesignTree& tree)
{
    Outline out;
    for (const Node* n : tree.preorder())
        out.push_back(std::string(static_cast<std::size_t>(tree.levelOf(n)), ' ') + n->text().str());
    return out;
}

Outline outlineOf(const Design& design, TreeId id)
{
    return outlineOf(design.tree(id));
}

::testing::AssertionResult treeIsConsistent(const DesignTree& tree)
{
    const std::vector<const Node*> order = walk(tree);
    if (static_cast<int>(order.size()) != tree.size())
        return ::testing::AssertionFailure() << "size() " << tree.size() << " but " << order.size() << " nodes";
    std::vector<const Node*> parents{tree.root()};
    for (const Node* n : order)
        parents.push_back(n);
    for (const Node* p : parents)
        for (std::size_t i = 0; i < p->children.size(); ++i)
            if (p->children[i]->parent != p || p->children[i]->siblingIndex != i)
                return ::testing::AssertionFailure() << "bad parent link or sibling index at child " << i
                                                     << " of \"" << p->text() << "\"";
    // Row lookups first (after a structural change nodeAt descends the tree),
    // then the list of all nodes, then lookups answered from that list.
    // A descent costs the depth, so in big trees the first pass takes a sample.
    for (int pass = 0; pass < 2; ++pass) {
        const std::size_t stride = pass == 0 && order.size() > 20000 ? 997 : 1;
        for (std::size_t row = 0; row < order.size(); row += stride)
            if (tree.rowOf(order[row]) != static_cast<int>(row) || tree.nodeAt(static_cast<int>(row)) != order[row])
                return ::testing::AssertionFailure() << "row lookup wrong at row " << row << " pass " << pass;
        if (tree.preorder().size() != order.size()
            || !std::equal(order.begin(), order.end(), tree.preorder().begin()))
            return ::testing::AssertionFailure() << "preorder() differs from the tree";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult shapeHolds(const Design& design)
{
    for (TreeId id : model::kAllTrees)
        if (auto ok = treeIsConsistent(design.tree(id)); !ok)
            return ok << " (tree " << static_cast<int>(id) << ")";
    const DesignTree& fr = design.tree(TreeId::FR);
    for (TreeId id : {TreeId::DP, TreeId::PV}) {
        const DesignTree& other = design.tree(id);
        if (other.size() != fr.size())
            return ::testing::AssertionFailure() << "sizes differ: " << fr.size() << " and " << other.size();
        for (int row = 0; row < fr.size(); ++row) {
            const Node* a = fr.nodeAt(row);
            const Node* b = other.nodeAt(row);
            if (fr.levelOf(a) != other.levelOf(b) || a->children.size() != b->children.size()
                || a->siblingIndex != b->siblingIndex)
                return ::testing::AssertionFailure() << "shapes differ at row " << row;
        }
    }
    if (!design.hasSameShape())
        return ::testing::AssertionFailure() << "hasSameShape() says no";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult partnersHold(const Design& design)
{
    for (int row = 0; row < design.rowCount(); ++row) {
        const std::string fr(model::strippedLabel(design.tree(TreeId::FR).nodeAt(row)->text()));
        for (int primes : {1, 2}) {
            const std::string other(
                model::strippedLabel(design.tree(model::kAllTrees[static_cast<std::size_t>(primes)]).nodeAt(row)->text()));
            if (other != partnerText(fr, primes))
                return ::testing::AssertionFailure() << "row " << row << " holds \"" << fr << "\" with \"" << other
                                                     << "\"";
        }
        // All three trees are renumbered together, so the numbers agree too.
        const std::string frText = design.tree(TreeId::FR).nodeAt(row)->text().str();
        for (TreeId id : {TreeId::DP, TreeId::PV}) {
            const std::string text = design.tree(id).nodeAt(row)->text().str();
            if (text.compare(0, model::labelOffset(text), frText, 0, model::labelOffset(frText)) != 0)
                return ::testing::AssertionFailure() << "numbers differ at row " << row << ": \"" << frText
                                                     << "\" and \"" << text << "\"";
        }
    }
    return ::testing::AssertionSuccess();
}

void copyTree(const DesignTree& from, DesignTree& to)
{
    for (const Node* top : from.root()->children)
        to.insertSubtree(to.root(), DesignTree::childCount(to.root()), to.cloneSubtree(top));
}

// --- recording observer ---------------------------------------------------------

std::string RecordingObserver::name(TreeId t)
{
    static const char* names[] = {"FR", "DP", "PV"};
    return names[model::index(t)];
}

std::string RecordingObserver::rowText(TreeId t, const Node* parent) const
{
    const DesignTree& tree = m_design.tree(t);
    return parent == tree.root() ? "-1" : std::to_string(tree.rowOf(parent));
}

void RecordingObserver::log(TreeId t, const char* what, Node* parent, int first, int last)
{
    lines.push_back(name(t) + " " + what + " " + rowText(t, parent) + " " + std::to_string(first)
                    + (last > first ? ".." + std::to_string(last) : ""));
}

void RecordingObserver::logMove(TreeId t, const char* what, Node* sp, int sr, Node* dp, int dr)
{
    lines.push_back(name(t) + " " + what + " " + rowText(t, sp) + " " + std::to_string(sr) + " -> " + rowText(t, dp)
                    + " " + std::to_string(dr));
}

void RecordingObserver::aboutToMove(TreeId t, Node* sp, int sr, Node* dp, int dr)
{
    logMove(t, "aboutToMove", sp, sr, dp, dr);
}

void RecordingObserver::moved(TreeId t, Node* sp, int sr, Node* dp, int dr)
{
    logMove(t, "moved", sp, sr, dp, dr);
}

void RecordingObserver::textChanged(TreeId t, Node* n)
{
    lines.push_back(name(t) + " textChanged " + std::to_string(m_design.tree(t).rowOf(n)) + " " + n->text().str());
}

} // namespace testsupport

namespace testsupport {

void RecordingObserver::textsChanged(TreeId t, std::span<const model::TextRun> runs)
{
    for (const model::TextRun& run : runs)
        lines.push_back(name(t) + " textsChanged " + rowText(t, run.parent) + " " + std::to_string(run.first) + ".." +
                        std::to_string(run.last));
}

} // namespace testsupport
