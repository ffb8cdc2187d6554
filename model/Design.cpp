#include "model/Design.h"

#include "model/Cp1252.h"
#include "model/Limits.h"
#include "model/Numbering.h"
#include "model/Utf8.h"
#include "model/TreeObserver.h"
#include "model/FullMatrix.h"
#include "model/UserError.h"

#include <algorithm>

namespace model {

Design::Design()
{
    for (TreeId id : kAllTrees)
        tree(id).attach(id, &m_observers);
    m_aspects.add(m_matrices, *this);
    m_aspects.add(m_crossCells, *this);
    m_aspects.add(m_information, *this);
    m_aspects.add(m_notes, *this);
    m_aspects.add(m_fullLabels, *this);
}

// --- steps ------------------------------------------------------------------------

Design::Step::Step(Design& design, Kind kind) : m_design(design)
{
    if (m_design.m_stepDepth++ > 0)
        return;
    m_design.aboutToChange();
    // What the trees announced outside any command (a test building trees) is no step's.
    m_design.m_collector.changes = {};
    m_design.m_stepKind = kind;
    m_design.m_actedWithoutChange = false;
}

Design::Step::~Step()
{
    if (--m_design.m_stepDepth == 0)
        m_design.finishStep();
}

void Design::finishStep()
{
    constexpr unsigned kContent = StepChanges::Structure | StepChanges::Texts | StepChanges::Titles | StepChanges::Aspects;
    if (m_stepKind == Step::Kind::Edit && (m_collector.changes.has(kContent) || m_actedWithoutChange)) {
        m_modified = true;
        m_backedUp = false;
        announceFlags();
    }
    const StepChanges changes = std::exchange(m_collector.changes, {});
    if (!changes.any())
        return;
    for (TreeObserver* o : m_observers)
        o->stepFinished(changes);
}

void Design::announceFlags()
{
    for (TreeObserver* o : m_observers)
        o->flagsChanged();
}

// --- aspects ------------------------------------------------------------------------

void AspectList::add(NodeAspect& aspect, Design& design)
{
    aspect.m_design = &design;
    m_aspects.push_back(&aspect);
}

const DesignTree& NodeAspect::frTree() const
{
    return m_design->tree(TreeId::FR);
}

bool NodeAspect::recording() const
{
    return m_design->recording();
}

void NodeAspect::record(std::unique_ptr<AspectChange> change)
{
    if (change && m_design->m_recording)
        m_design->m_recording->aspectChanged(std::move(change));
    noteChanged();
}

void NodeAspect::noteChanged()
{
    m_design->m_collector.changes.bits |= StepChanges::Aspects;
}

const std::vector<TreeObserver*>& NodeAspect::observers() const
{
    return m_design->m_observers;
}

template <typename F>
void Design::eachTree(F&& step)
{
    for (TreeId id : kAllTrees)
        step(tree(id));
}

bool Design::hasSameShape() const
{
    for (TreeId id : {TreeId::DP, TreeId::PV})
        if (!sameShape(tree(TreeId::FR), tree(id)))
            return false;
    return true;
}

// Same shape: the same number of children at every place, found by walking
// both trees in step (linear, without recursion or row lookups).
bool Design::sameShape(const DesignTree& a, const DesignTree& b)
{
    if (a.size() != b.size())
        return false;
    std::vector<std::pair<const Node*, const Node*>> stack{{a.root(), b.root()}};
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        if (x->children.size() != y->children.size())
            return false;
        for (std::size_t i = 0; i < x->children.size(); ++i)
            if (!x->children[i]->children.empty() || !y->children[i]->children.empty())
                stack.emplace_back(x->children[i], y->children[i]);
    }
    return true;
}

void Design::replaceTrees(std::array<DesignTree, kTreeCount>&& trees)
{
    // Refused before anything changes: partner lookups would leave a tree.
    for (std::size_t i = 1; i < trees.size(); ++i)
        if (!sameShape(trees[0], trees[i]))
            throw UserError("The three trees do not have the same shape");
    assignTrees(std::move(trees));
}

void Design::replaceTrees(ComparedTrees&& trees)
{
    assignTrees(std::move(trees.m_trees));
}

void Design::assignTrees(std::array<DesignTree, kTreeCount>&& trees)
{
    const Step step(*this, Step::Kind::Quiet);
    m_lifetime = std::make_shared<const int>(0);
    for (TreeId id : kAllTrees)
        tree(id).assign(std::move(trees[static_cast<std::size_t>(index(id))]));
    m_aspects.treesReplaced();
    m_kept.clear();
}

void Design::setTitle(TreeId id, std::string text)
{
    putTitle(id, std::move(text), {});
}

void Design::setFullTitle(TreeId id, std::string_view utf8)
{
    if (!validUtf8(utf8))
        return;
    putTitle(id, questionForm(utf8), fitsCp1252(utf8) ? std::string() : std::string(utf8));
}

void Design::putTitle(TreeId id, std::string text, std::string full)
{
    const Step step(*this, Step::Kind::Quiet);
    const auto i = static_cast<std::size_t>(index(id));
    if (m_titles[i] == text && m_fullTitles[i] == full)
        return;
    if (m_recording)
        m_recording->titleSet(id, m_titles[i], m_fullTitles[i]);
    m_titles[i] = std::move(text);
    m_fullTitles[i] = std::move(full);
    for (TreeObserver* o : m_observers)
        o->titleChanged(id);
}

std::string Design::fullTitle(TreeId id) const
{
    const auto i = static_cast<std::size_t>(index(id));
    return m_fullTitles[i].empty() ? cp1252ToUtf8(m_titles[i]) : m_fullTitles[i];
}

void Design::typeTitle(TreeId id, std::string text)
{
    const Step step(*this);
    // Typing is never a step: not even within one being recorded.
    std::unique_ptr<EditRecord> recording = std::move(m_recording);
    setTitle(id, std::move(text));
    m_recording = std::move(recording);
    m_actedWithoutChange = true; // each keystroke counts as an edit, as it always did
}

void Design::typeFullTitle(TreeId id, std::string_view utf8)
{
    const Step step(*this);
    std::unique_ptr<EditRecord> recording = std::move(m_recording);
    setFullTitle(id, utf8);
    m_recording = std::move(recording);
    m_actedWithoutChange = true;
}

// --- design matrices ------------------------------------------------------------

const Node* Design::matrixParent(int parentRow) const
{
    const DesignTree& fr = tree(TreeId::FR);
    return parentRow == kNoRow ? fr.root() : fr.nodeAt(parentRow);
}

bool Design::setMatrixCell(int parentRow, MatrixKind kind, int row, int column, CellValue value)
{
    const Step step(*this);
    if (parentRow != kNoRow && !validRow(parentRow))
        return false;
    const Node* parent = matrixParent(parentRow);
    const int n = DesignTree::childCount(parent);
    if (row < 0 || column < 0 || row >= n || column >= n || row == column)
        return false;
    const Node* r = parent->children[static_cast<std::size_t>(row)];
    const Node* c = parent->children[static_cast<std::size_t>(column)];
    return m_matrices.setCell(parent, kind, r, c, value);
}

void Design::replaceMatrices(MatrixStore&& matrices)
{
    const Step step(*this, Step::Kind::Quiet);
    m_matrices.replace(std::move(matrices));
}

bool Design::setCrossCell(MatrixKind kind, int aRow, int bRow, CellValue value)
{
    const Step step(*this);
    if (!validRow(aRow) || !validRow(bRow))
        return false;
    const DesignTree& fr = tree(TreeId::FR);
    const Node* a = fr.nodeAt(aRow);
    const Node* b = fr.nodeAt(bRow);
    if (!crossPair(fr, a, b))
        return false;
    if (value == CellValue::X)
        if (const std::optional<NodePair> above = oPairAbove(matrices(), crossCells(), kind, a, b))
            throw UserError(markedOMessage(kind, *above));
    return m_crossCells.setCell(kind, a, b, value);
}

void Design::replaceCrossCells(CrossCellStore&& cells)
{
    const Step step(*this, Step::Kind::Quiet);
    m_crossCells.replace(std::move(cells));
}

bool Design::setRanges(int row, FrRanges ranges)
{
    const Step step(*this);
    if (!validRow(row))
        return false;
    ranges = normalised(std::move(ranges));
    if (const std::optional<std::string> problem = problemWith(ranges))
        throw UserError(*problem);
    return m_information.setRanges(tree(TreeId::FR).nodeAt(row), std::move(ranges));
}

void Design::replaceRanges(RangeStore&& ranges)
{
    const Step step(*this, Step::Kind::Quiet);
    m_information.replace(std::move(ranges));
}

void Design::swapCells(std::span<StoredCell> cells)
{
    const Step step(*this, Step::Kind::Quiet);
    m_matrices.swapCells(cells);
}

// --- recording -------------------------------------------------------------------

void Design::startRecording(Joining joining)
{
    m_recording.reset(new EditRecord(*this));
    for (TreeId id : kAllTrees) {
        m_staleAtStart[static_cast<std::size_t>(index(id))] = tree(id).numbersMayBeStale();
        tree(id).recordInto(m_recording.get(), joining == Joining::Yes);
    }
}

std::unique_ptr<EditRecord> Design::stopRecording()
{
    std::array<bool, kTreeCount> staleNow{};
    for (TreeId id : kAllTrees) {
        staleNow[static_cast<std::size_t>(index(id))] = tree(id).numbersMayBeStale();
        tree(id).recordInto(nullptr, false);
    }
    if (m_recording && !m_recording->empty())
        m_recording->staleFlags(m_staleAtStart, staleNow);
    return std::move(m_recording);
}

// Commands set the flag at their end (finishStep); this is for whoever knows
// better: opening and saving, and the undo history's saved state.
void Design::setModified(bool on)
{
    const Step step(*this, Step::Kind::Quiet);
    m_modified = on;
    if (on)
        m_backedUp = false;
    announceFlags();
}

void Design::setBackedUp(bool on)
{
    const Step step(*this, Step::Kind::Quiet);
    m_backedUp = on;
    announceFlags();
}

void Design::addObserver(TreeObserver* o)
{
    m_observers.push_back(o);
}

void Design::removeObserver(TreeObserver* o)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), o), m_observers.end());
}

void Design::renumber()
{
    // A click on a design whose numbers are right costs nothing, not even a step.
    if (std::none_of(m_trees.begin(), m_trees.end(), [](const DesignTree& t) { return t.numbersMayBeStale(); }))
        return;
    const Step step(*this);
    std::array<DesignTree*, kTreeCount> trees{};
    for (TreeId id : kAllTrees)
        trees[static_cast<std::size_t>(index(id))] = &tree(id);
    DesignTree::renumberSideBySide(trees);
}

// --- adding ---------------------------------------------------------------

int Design::addFirstRow()
{
    const Step step(*this);
    if (!empty())
        return kNoRow;
    eachTree([](DesignTree& t) { t.appendTopLevel(kNewNodeLabel); });
    renumber();
    return 0;
}

int Design::addSiblingBelow(int k)
{
    const Step step(*this);
    if (!validRow(k))
        return kNoRow;
    int row = kNoRow;
    eachTree([&](DesignTree& t) {
        Node* parent = t.nodeAt(k)->parent;
        row = t.rowOf(t.insert(parent, DesignTree::childCount(parent), kNewNodeLabel));
    });
    renumber();
    return row;
}

int Design::addSiblingAbove(int k)
{
    const Step step(*this);
    if (!validRow(k))
        return kNoRow;
    eachTree([&](DesignTree& t) {
        Node* s = t.nodeAt(k);
        t.insert(s->parent, static_cast<int>(s->siblingIndex), kNewNodeLabel);
    });
    renumber();
    return k;
}

int Design::addChild(int k)
{
    const Step step(*this);
    if (!validRow(k))
        return kNoRow;
    int row = kNoRow;
    eachTree([&](DesignTree& t) {
        Node* s = t.nodeAt(k);
        row = t.rowOf(t.insert(s, DesignTree::childCount(s), kNewNodeLabel));
    });
    renumber();
    return row;
}

int Design::addUncle(int k)
{
    const Step step(*this);
    if (!validRow(k) || tree(TreeId::FR).levelOf(tree(TreeId::FR).nodeAt(k)) < 2)
        return kNoRow;
    int row = kNoRow;
    eachTree([&](DesignTree& t) {
        Node* grandparent = t.nodeAt(k)->parent->parent;
        row = t.rowOf(t.insert(grandparent, DesignTree::childCount(grandparent), kNewNodeLabel));
    });
    renumber();
    return row;
}

// --- removing, reordering, duplicating ----------------------------------------

DeleteResult Design::deleteRow(int k)
{
    const Step step(*this);
    if (k <= 0 || !validRow(k))
        return {true, kNoRow};
    // The same remaining row in all three views: next sibling, else previous, else parent.
    const DesignTree& fr = tree(TreeId::FR);
    const Node* s = fr.nodeAt(k);
    int select = k;
    if (!DesignTree::nextSibling(s)) {
        const Node* other = DesignTree::prevSibling(s);
        select = fr.rowOf(other ? other : fr.parentOf(s));
    }
    m_aspects.subtreeLeaving(s);
    eachTree([&](DesignTree& t) { t.remove(t.nodeAt(k)); });
    renumber();
    return {false, select};
}

MoveResult Design::moveUp(int k)
{
    const Step step(*this);
    if (k <= 0 || !validRow(k))
        return {};
    m_actedWithoutChange = true; // a deliberate quirk: Move up on a first child still marks the design modified
    MoveResult result{true, false, k};
    if (const Node* p = DesignTree::prevSibling(tree(TreeId::FR).nodeAt(k))) {
        result.moved = true;
        result.row = k - tree(TreeId::FR).subtreeSize(p);
    }
    eachTree([&](DesignTree& t) {
        Node* n = t.nodeAt(k);
        if (Node* p = DesignTree::prevSibling(n))
            t.move(n, n->parent, static_cast<int>(p->siblingIndex));
    });
    renumber();
    return result;
}

MoveResult Design::moveDown(int k)
{
    const Step step(*this);
    if (!validRow(k))
        return {};
    const Node* x = DesignTree::nextSibling(tree(TreeId::FR).nodeAt(k));
    if (!x)
        return {};
    MoveResult result{true, true, k + tree(TreeId::FR).subtreeSize(x)};
    eachTree([&](DesignTree& t) {
        Node* n = t.nodeAt(k);
        t.move(DesignTree::nextSibling(n), n->parent, static_cast<int>(n->siblingIndex));
    });
    renumber();
    return result;
}

int Design::duplicate(int k)
{
    const Step step(*this);
    if (!validRow(k))
        return kNoRow;
    // The copy keeps the source's texts, numbers included, so renumbering strips
    // each number exactly once; the copy's top gets the suffix.
    int row = kNoRow;
    const Node* source = tree(TreeId::FR).nodeAt(k);
    const Node* frCopy = nullptr;
    eachTree([&](DesignTree& t) {
        Node* s = t.nodeAt(k);
        Node* copy = t.cloneSubtree(s, kCopySuffix);
        Node* parent = s->parent;
        row = t.rowOf(t.insertSubtree(parent, DesignTree::childCount(parent), copy));
        if (t.id() == TreeId::FR)
            frCopy = copy;
    });
    m_aspects.subtreeCopied(source, frCopy);
    renumber();
    return row;
}

bool Design::drop(int source, int target)
{
    const Step step(*this);
    if (!validRow(source) || !validRow(target))
        return false;
    const DesignTree& fr = tree(TreeId::FR);
    const Node* dragged = fr.nodeAt(source);
    const Node* onto = fr.nodeAt(target);
    const bool leavesParent = dragged->parent != onto && !fr.isInSubtree(onto, dragged);
    if (leavesParent)
        m_aspects.childLeavingParent(dragged); // a drop out of its parent
    bool moved = false;
    eachTree([&](DesignTree& t) {
        Node* s = t.nodeAt(source);
        Node* n = t.nodeAt(target);
        moved = t.move(s, n, DesignTree::childCount(n)) || moved;
    });
    if (leavesParent && moved)
        m_aspects.subtreeArrived(dragged);
    renumber();
    return moved;
}

// --- cut and paste -------------------------------------------------------------

int Design::paste(int k, const CopiedRows& rows, PastePlace place)
{
    const Step step(*this);
    const bool intoEmpty = empty(); // FR is pasted first: ask before
    if (rows.empty() || !rows.wellFormed() || (!intoEmpty && !validRow(k)))
        return kNoRow;
    int first = kNoRow;
    eachTree([&](DesignTree& t) {
        Node* parent = t.root();
        int at = 0;
        if (!intoEmpty) {
            Node* s = t.nodeAt(k);
            parent = place == PastePlace::LastChildren ? s : s->parent;
            at = place == PastePlace::LastChildren ? DesignTree::childCount(s) : static_cast<int>(s->siblingIndex) + 1;
        }
        const std::vector<Node*> tops = t.createDetachedRows(rows.levels, rows.textsOf(t.id()));
        t.insertRun(parent, at, tops); // one insert per tree, however many rows
        first = t.rowOf(tops.front());
    });
    m_aspects.pasteRows(tree(TreeId::FR).preorder().subspan(static_cast<std::size_t>(first), rows.size()), rows);
    renumber();
    return first;
}

DeleteResult Design::cut(int k, CopiedRows& rows)
{
    const Step step(*this);
    if (k <= 0 || !validRow(k))
        return {true, kNoRow};
    rows = copySubtree(*this, k);
    return deleteRow(k);
}

// A tree text holds one node a line with its level as leading tabs, and a
// NUL ends it: such characters in a label would split or cut the saved tree,
// so a typed or pasted label keeps blanks in their place.
std::string Design::oneLineLabel(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c == '\r' || c == '\n' || c == '\t' || c == '\0')
            c = ' ';
    return out;
}

void Design::editLabel(TreeId id, int row, std::string_view label)
{
    const Step step(*this);
    if (!validRow(row))
        return;
    const std::string_view text = tree(id).nodeAt(row)->text().view();
    std::string full(text.substr(0, labelOffset(text)));
    if (full.empty())
        full = outlineNumberOf(tree(id).nodeAt(row)) + ' ';
    full += label;
    editText(id, row, full);
}

void Design::editText(TreeId id, int row, std::string_view typed)
{
    const Step step(*this);
    const std::string text = oneLineLabel(typed);
    if (!validRow(row) || tree(id).nodeAt(row)->text() == text)
        return;
    tree(id).setText(tree(id).nodeAt(row), text);
}

// --- notes and full labels ---------------------------------------------------------

bool Design::setNote(TreeId id, int row, std::string note)
{
    const Step step(*this);
    if (note.size() > kLongestNote)
        throw UserError("A note holds at most 1 MB");
    if (!validUtf8(note))
        throw UserError("A note must be text");
    if (!validRow(row))
        return false;
    return m_notes.setText(id, tree(TreeId::FR).nodeAt(row), std::move(note));
}

void Design::editFullLabel(TreeId id, int row, std::string_view typed)
{
    const Step step(*this);
    const std::string label = oneLineLabel(typed);
    if (!validRow(row) || !validUtf8(label))
        return;
    editLabel(id, row, questionForm(label));
    m_fullLabels.setText(id, tree(TreeId::FR).nodeAt(row), fitsCp1252(label) ? std::string() : label);
}

std::string Design::fullText(TreeId id, const Node* node) const
{
    const std::string_view text = node->text().view();
    if (m_fullLabels.store().empty())
        return cp1252ToUtf8(text);
    const Node* frNode = id == TreeId::FR ? node : tree(TreeId::FR).nodeAt(tree(id).rowOf(node));
    return fullNodeText(text, m_fullLabels.store().find(id, frNode));
}

} // namespace model
