#include "model/EditRecord.h"

#include "model/Design.h"

#include <stdexcept>

namespace model {

namespace {
constexpr std::size_t kChangeBytes = 64; // a recorded change's own size, roughly
}

EditRecord::EditRecord(Design& design) : m_design(&design), m_lifetime(design.lifetime()) {}

EditRecord::~EditRecord()
{
    // Subtrees held here go back to their tree, unless the trees they came
    // from are gone already (another design was opened, or the window closed).
    if (!designAlive())
        return;
    for (Change& change : m_changes)
        if (auto* link = std::get_if<Link>(&change); link && !link->linked)
            for (Node* top : link->nodes)
                m_design->tree(link->tree).destroySubtree(top);
}

bool EditRecord::designAlive() const
{
    return !m_lifetime.expired();
}

// --- recording ----------------------------------------------------------------

void EditRecord::linked(TreeId tree, Node* parent, int index, std::span<Node* const> tops)
{
    m_changes.push_back(Link{tree, parent, index, {tops.begin(), tops.end()}, true});
    m_bytes += kChangeBytes + tops.size() * sizeof(Node*);
}

void EditRecord::unlinked(TreeId tree, Node* parent, int index, Node* node, std::size_t bytes)
{
    m_changes.push_back(Link{tree, parent, index, {node}, false});
    m_bytes += kChangeBytes + bytes;
}

void EditRecord::moved(TreeId tree, Node* node, Node* fromParent, int fromIndex)
{
    m_changes.push_back(Move{tree, node, fromParent, fromIndex});
    m_bytes += kChangeBytes;
}

void EditRecord::textSet(TreeId tree, Node* node, std::string_view before)
{
    m_changes.push_back(Text{tree, node, std::string(before)});
    m_bytes += kChangeBytes + before.size();
}

void EditRecord::numbersSet(TreeId tree, PrefixSwaps&& swaps)
{
    m_bytes += kChangeBytes + swaps.bytes();
    m_changes.push_back(Numbers{tree, std::move(swaps)});
}

void EditRecord::renumbered(TreeId tree)
{
    m_changes.push_back(Renumbered{tree});
    m_bytes += kChangeBytes;
}

void EditRecord::titleSet(TreeId tree, std::string_view before, std::string_view beforeFull)
{
    m_changes.push_back(Title{tree, std::string(before), std::string(beforeFull)});
    m_bytes += kChangeBytes + before.size() + beforeFull.size();
}

void EditRecord::aspectChanged(std::unique_ptr<AspectChange> change)
{
    m_bytes += kChangeBytes + change->bytes();
    m_changes.push_back(Aspect{std::move(change)});
}

void EditRecord::staleFlags(const std::array<bool, kTreeCount>& before, const std::array<bool, kTreeCount>& after)
{
    m_staleBefore = before;
    m_staleAfter = after;
    m_hasStaleFlags = true;
}

void EditRecord::append(EditRecord&& later)
{
    for (Change& change : later.m_changes)
        m_changes.push_back(std::move(change));
    later.m_changes.clear(); // the subtrees it held are held here now
    m_bytes += later.m_bytes;
    later.m_bytes = 0;
    if (later.m_hasStaleFlags) {
        if (!m_hasStaleFlags)
            m_staleBefore = later.m_staleBefore;
        m_staleAfter = later.m_staleAfter;
        m_hasStaleFlags = true;
    }
}

// --- undo and redo ----------------------------------------------------------------

void EditRecord::undo()
{
    if (!designAlive())
        throw std::logic_error("an edit record outlived the trees it was made on");
    const Design::Step step(*m_design, Design::Step::Kind::Quiet);
    // A renumbering that kept no numbers: once every other change is undone,
    // renumbering the tree gives back the numbers the step started from. The
    // changes undone mark where numbers may be wrong, as the step's own did,
    // so only those places are renumbered.
    std::array<bool, kTreeCount> renumber{};
    for (auto it = m_changes.rbegin(); it != m_changes.rend(); ++it)
        apply(*it, true, renumber);
    std::vector<DesignTree*> trees;
    for (TreeId id : kAllTrees)
        if (renumber[static_cast<std::size_t>(index(id))])
            trees.push_back(&m_design->tree(id));
    DesignTree::renumberSideBySide(trees);
    applyStaleFlags(true);
}

void EditRecord::redo()
{
    if (!designAlive())
        throw std::logic_error("an edit record outlived the trees it was made on");
    const Design::Step step(*m_design, Design::Step::Kind::Quiet);
    std::array<bool, kTreeCount> unused{};
    for (Change& change : m_changes)
        apply(change, false, unused);
    applyStaleFlags(false);
}

void EditRecord::applyStaleFlags(bool undoing)
{
    if (!m_hasStaleFlags)
        return;
    for (TreeId id : kAllTrees)
        m_design->tree(id).setNumbersMayBeStale((undoing ? m_staleBefore : m_staleAfter)[static_cast<std::size_t>(index(id))]);
}

// The subtrees of a run, taken out where they stand now: as one run while
// they are still side by side, as they are after the step that linked them.
void EditRecord::detachLinked(DesignTree& tree, const std::vector<Node*>& tops)
{
    Node* parent = tops.front()->parent;
    const std::size_t first = tops.front()->siblingIndex;
    bool sideBySide = first + tops.size() <= parent->children.size();
    for (std::size_t i = 0; sideBySide && i < tops.size(); ++i)
        sideBySide = parent->children[first + i] == tops[i];
    if (sideBySide) {
        tree.detachRun(parent, static_cast<int>(first), static_cast<int>(tops.size()));
        return;
    }
    for (auto it = tops.rbegin(); it != tops.rend(); ++it)
        tree.detach(*it);
}

// Each change swaps the design's state with the state it holds, so the same
// call undoes and redoes it.
void EditRecord::apply(Change& change, bool undoing, std::array<bool, kTreeCount>& renumberAfter)
{
    std::visit(
        [&](auto& c) {
            using C = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<C, Aspect>) {
                c.change->apply();
            } else {
                DesignTree& tree = m_design->tree(c.tree);
                if constexpr (std::is_same_v<C, Link>) {
                    if (c.linked)
                        detachLinked(tree, c.nodes);
                    else
                        tree.insertRun(c.parent, c.index, c.nodes);
                    c.linked = !c.linked;
                } else if constexpr (std::is_same_v<C, Move>) {
                    Node* parent = c.node->parent;
                    const int at = static_cast<int>(c.node->siblingIndex);
                    // move() counts the destination among the children before the move.
                    const int before = (c.otherParent == parent && c.otherIndex > at) ? c.otherIndex + 1 : c.otherIndex;
                    tree.move(c.node, c.otherParent, before);
                    c.otherParent = parent;
                    c.otherIndex = at;
                } else if constexpr (std::is_same_v<C, Text>) {
                    std::string now(c.node->text().view());
                    tree.setText(c.node, c.other);
                    c.other = std::move(now);
                } else if constexpr (std::is_same_v<C, Numbers>) {
                    tree.swapPrefixes(c.swaps);
                } else if constexpr (std::is_same_v<C, Renumbered>) {
                    if (undoing)
                        renumberAfter[static_cast<std::size_t>(index(c.tree))] = true;
                    else
                        tree.renumber(); // the same numbers as when it was recorded
                } else if constexpr (std::is_same_v<C, Title>) {
                    const auto i = static_cast<std::size_t>(index(c.tree));
                    std::string now = m_design->m_titles[i];
                    std::string nowFull = m_design->m_fullTitles[i];
                    m_design->putTitle(c.tree, std::move(c.other), std::move(c.otherFull));
                    c.other = std::move(now);
                    c.otherFull = std::move(nowFull);
                }
            }
        },
        change);
}

} // namespace model
