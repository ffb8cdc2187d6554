// What observers (the view adapters) are told, in which order, with which
// arguments. Lines read "<tree> <what> <parent row> <sibling row>", the hidden
// root being parent row -1; moves add "-> <parent row> <destination row>".

#include "DesignTestSupport.h"

#include "model/CopiedRows.h"

#include <gtest/gtest.h>

#include <functional>

using model::Design;
using model::DesignTree;
using model::Node;
using model::TreeId;
using testsupport::RecordingObserver;
using Lines = std::vector<std::string>;

namespace {

// 1 a
//   1.1 b
//   1.2 c
//   1.3 d
class Notifications : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::buildTagged(m_design, {"a", " b", " c", " d"});
        m_design.renumber();
        m_design.setModified(false);
        m_design.addObserver(&m_rec);
    }

    Lines threeTimes(const std::string& line) const
    {
        return {"FR " + line, "DP " + line, "PV " + line};
    }

    Lines pairs(const std::string& before, const std::string& after) const
    {
        Lines out;
        for (const char* t : {"FR ", "DP ", "PV "}) {
            out.push_back(t + before);
            out.push_back(t + after);
        }
        return out;
    }

    static Lines concat(std::initializer_list<Lines> parts)
    {
        Lines out;
        for (const Lines& p : parts)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    }

    DesignTree& fr() { return m_design.tree(TreeId::FR); }

    Design m_design;
    RecordingObserver m_rec{m_design};
};

TEST_F(Notifications, AddSiblingBelowInsertsInEachTreeThenRenumbersThenFlags)
{
    m_design.addSiblingBelow(1);
    EXPECT_EQ(m_rec.lines, concat({pairs("aboutToInsert 0 3", "inserted 0 3"), threeTimes("textsChanged 0 3..3"),
                                   {"flagsChanged"}}));
}

TEST_F(Notifications, TopLevelNodesHaveTheHiddenRootAsParent)
{
    // Renumbering names every rewritten text, per parent: a's three children, then the new node and a.
    m_design.addSiblingAbove(0);
    EXPECT_EQ(m_rec.lines, concat({pairs("aboutToInsert -1 0", "inserted -1 0"),
                                   pairs("textsChanged 1 0..2", "textsChanged -1 0..1"), {"flagsChanged"}}));
}

TEST_F(Notifications, AddUncleNumbersOnlyTheNewRow)
{
    m_design.addChild(1); // 1.1.1
    m_rec.lines.clear();
    m_design.addUncle(2);
    EXPECT_EQ(m_rec.lines, concat({pairs("aboutToInsert 0 3", "inserted 0 3"), threeTimes("textsChanged 0 3..3"),
                                   {"flagsChanged"}}));
}

TEST_F(Notifications, DeleteRemovesInEachTreeThenRenumbersTheLaterSiblings)
{
    m_design.deleteRow(2);
    EXPECT_EQ(m_rec.lines, concat({pairs("aboutToRemove 0 1", "removed 0 1"), threeTimes("textsChanged 0 1..1"),
                                   {"flagsChanged"}}));
}

TEST_F(Notifications, MoveDownMovesTheNextSiblingUp)
{
    m_design.moveDown(1);
    EXPECT_EQ(m_rec.lines, concat({pairs("aboutToMove 0 1 -> 0 0", "moved 0 1 -> 0 0"), threeTimes("textsChanged 0 0..1"),
                                   {"flagsChanged"}}));
}

TEST_F(Notifications, MoveUpGivesTheDestinationBeforeTheMove)
{
    m_design.moveUp(3);
    EXPECT_EQ(m_rec.lines, concat({pairs("aboutToMove 0 2 -> 0 1", "moved 0 2 -> 0 1"), threeTimes("textsChanged 0 1..2"),
                                   {"flagsChanged"}}));
}

TEST_F(Notifications, MovingDownWithinOneParentCountsTheDestinationBeforeTheMove)
{
    // Qt's convention: to put b behind c, the destination is b's row + 2.
    Node* b = fr().nodeAt(1);
    EXPECT_TRUE(fr().move(b, b->parent, 2));
    EXPECT_EQ(m_rec.lines, (Lines{"FR aboutToMove 0 0 -> 0 2", "FR moved 0 0 -> 0 2"}));
    EXPECT_EQ(testsupport::outlineOf(fr()), (testsupport::Outline{"1 a", " 1.2 c", " 1.1 b", " 1.3 d"}));
    m_rec.lines.clear();
    EXPECT_TRUE(fr().move(b, b->parent, 3));
    EXPECT_EQ(m_rec.lines, (Lines{"FR aboutToMove 0 1 -> 0 3", "FR moved 0 1 -> 0 3"}));
    EXPECT_EQ(testsupport::outlineOf(fr()), (testsupport::Outline{"1 a", " 1.2 c", " 1.3 d", " 1.1 b"}));
}

TEST_F(Notifications, MovesThatChangeNothingAreNotAnnounced)
{
    Node* a = fr().nodeAt(0);
    Node* b = fr().nodeAt(1);
    EXPECT_FALSE(fr().move(b, a, 0)); // before itself
    EXPECT_FALSE(fr().move(b, a, 1)); // before its next sibling: where it is
    EXPECT_FALSE(fr().move(a, a, 0)); // onto itself
    EXPECT_FALSE(fr().move(a, b, 0)); // into its own subtree
    EXPECT_TRUE(m_rec.lines.empty());
    EXPECT_FALSE(fr().numbersMayBeStale());
}

TEST_F(Notifications, CommandsThatMoveNothingAnnounceOnlyTheFlag)
{
    m_design.moveDown(3); // last child: nothing at all
    m_design.moveUp(0);   // first row: nothing at all
    m_design.drop(1, 1);  // onto itself: renumbers, but nothing changed
    EXPECT_TRUE(m_rec.lines.empty());
    m_design.moveUp(1);   // first child: nothing moves, the flag is set
    EXPECT_EQ(m_rec.lines, (Lines{"flagsChanged"}));
}

TEST_F(Notifications, DropAcrossParentsNamesBothParents)
{
    // Drop d on b: d becomes b's only child. The parent rows are looked up at
    // each call, so "moved" already sees b at its place after the move.
    m_design.drop(3, 1);
    EXPECT_EQ(m_rec.lines, concat({pairs("aboutToMove 0 2 -> 1 0", "moved 0 2 -> 1 0"), threeTimes("textsChanged 1 0..0"),
                                   {"flagsChanged"}}));
}

TEST_F(Notifications, DuplicateInsertsTheWholeCopyAtOnce)
{
    m_design.duplicate(1);
    EXPECT_EQ(m_rec.lines, concat({pairs("aboutToInsert 0 3", "inserted 0 3"), threeTimes("textsChanged 0 3..3"),
                                   {"flagsChanged"}}));
}

TEST_F(Notifications, EditTextAnnouncesOneTextAndTheFlag)
{
    m_design.editText(TreeId::DP, 2, "changed");
    EXPECT_EQ(m_rec.lines, (Lines{"DP textChanged 2 changed", "flagsChanged"}));
    m_rec.lines.clear();
    m_design.renumber(); // only DP is stale
    EXPECT_EQ(m_rec.lines, (Lines{"DP textsChanged 0 1..1"}));
}

TEST_F(Notifications, ReplacingTheTreesIsAResetOfEach)
{
    std::array<DesignTree, model::kTreeCount> trees;
    for (auto& t : trees)
        t.appendTopLevel("x");
    m_design.replaceTrees(std::move(trees));
    EXPECT_EQ(m_rec.lines, (Lines{"FR aboutToReset", "FR reset", "DP aboutToReset", "DP reset", "PV aboutToReset",
                                  "PV reset"}));
}

TEST_F(Notifications, RemovedObserverHearsNothing)
{
    m_design.removeObserver(&m_rec);
    m_design.addSiblingBelow(0);
    m_design.setModified(true);
    EXPECT_TRUE(m_rec.lines.empty());
}

// An adapter reads the tree inside the notifications: before a change it must
// see the old tree, after it the new one.
class SnapshotObserver : public model::TreeObserver {
public:
    explicit SnapshotObserver(const Design& d) : m_design(d) {}
    std::vector<std::string> seen;

    void aboutToInsert(TreeId t, Node* p, int, int) override { note(t, "before", p); }
    void inserted(TreeId t, Node* p, int row, int) override { note(t, "after", p, row); }
    void aboutToRemove(TreeId t, Node* p, int row, int) override { note(t, "before", p, row); }
    void removed(TreeId t, Node* p, int, int) override { note(t, "after", p); }
    void aboutToMove(TreeId t, Node* sp, int sr, Node*, int) override { note(t, "before", sp, sr); }
    void moved(TreeId t, Node*, int, Node* dp, int) override { note(t, "after", dp); }

private:
    void note(TreeId t, const char* when, Node* parent, int row = -1)
    {
        const DesignTree& tree = m_design.tree(t);
        std::string line = std::string(when) + " size " + std::to_string(tree.size()) + " children "
                           + std::to_string(parent->children.size());
        if (row >= 0)
            line += " row " + std::to_string(row) + " = " + parent->children[static_cast<std::size_t>(row)]->text().str();
        if (t == TreeId::FR)
            seen.push_back(line);
        // The row cache answers consistently inside a notification too.
        for (int r = 0; r < tree.size(); ++r)
            ASSERT_EQ(tree.rowOf(tree.nodeAt(r)), r);
    }
    const Design& m_design;
};

TEST(Observers, SeeTheTreeBeforeAndAfterEachChange)
{
    Design d;
    testsupport::buildTagged(d, {"a", " b", " c"});
    d.renumber();
    SnapshotObserver snap(d);
    d.addObserver(&snap);
    d.addChild(1);    // under b
    d.deleteRow(3);   // c
    d.moveUp(1);      // b is the first child: nothing moves
    d.addSiblingAbove(1);
    d.moveDown(1);
    EXPECT_EQ(snap.seen, (Lines{"before size 3 children 0", "after size 4 children 1 row 0 = __________",
                                "before size 4 children 2 row 1 = 1.2 c", "after size 3 children 1",
                                "before size 3 children 1", "after size 4 children 2 row 0 = __________",
                                "before size 4 children 2 row 1 = 1.2 b", "after size 4 children 2"}));
}

} // namespace

namespace {

// The end of a step, told once, when the three trees have the same shape again.
class StepObserver : public model::TreeObserver {
public:
    explicit StepObserver(const Design& d) : m_design(d) {}
    std::vector<unsigned> steps;

    void stepFinished(const model::StepChanges& changes) override
    {
        EXPECT_TRUE(m_design.hasSameShape());
        steps.push_back(changes.bits);
    }

private:
    const Design& m_design;
};

TEST_F(Notifications, EachCommandEndsInOneStepFinishedSayingWhatItChanged)
{
    using S = model::StepChanges;
    StepObserver observer(m_design);
    m_design.addObserver(&observer);
    model::CopiedRows rows;
    std::unique_ptr<model::EditRecord> cut;
    struct Case {
        const char* name;
        std::function<void()> command;
        unsigned bits; // 0: no step told at all
    };
    const std::vector<Case> cases = {
        {"add a child", [&] { m_design.addChild(1); }, S::Structure | S::Numbers | S::Flags},
        {"edit a label", [&] { m_design.editLabel(TreeId::DP, 1, "x"); }, S::Texts | S::Flags},
        {"set a cell", [&] { m_design.setMatrixCell(0, model::MatrixKind::FrDp, 0, 1, model::CellValue::X); },
         S::Aspects | S::Flags},
        {"cut a row with its cells", [&] {
             m_design.startRecording();
             m_design.cut(1, rows);
             cut = m_design.stopRecording();
         }, S::Structure | S::Numbers | S::Aspects | S::Flags},
        {"undo the cut", [&] { cut->undo(); }, S::Structure | S::Numbers | S::Aspects},
        {"move up a first child", [&] { m_design.moveUp(1); }, S::Flags},
        {"renumber right numbers", [&] { m_design.renumber(); }, 0},
        {"put in a title", [&] { m_design.setTitle(TreeId::PV, "Ways"); }, S::Titles},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        observer.steps.clear();
        c.command();
        EXPECT_EQ(observer.steps, c.bits ? std::vector<unsigned>{c.bits} : std::vector<unsigned>{});
    }
    m_design.removeObserver(&observer);
}

} // namespace

namespace {

// A paste links its rows in side by side, and undo and redo take them out and
// put them back the same way: one run per tree each time, however many rows,
// so each view relays itself out once (four rows here: p with its child q, r, s).
TEST_F(Notifications, PasteAndItsUndoAndRedoAreOneRunPerTree)
{
    model::CopiedRows rows;
    rows.levels = {0, 1, 0, 0};
    for (auto& texts : rows.texts)
        texts = {"p", "q", "r", "s"};
    auto structural = [this] {
        Lines out;
        for (const std::string& line : m_rec.lines)
            if (line.find("nsert") != std::string::npos || line.find("emove") != std::string::npos)
                out.push_back(line);
        m_rec.lines.clear();
        return out;
    };
    m_design.startRecording();
    ASSERT_EQ(m_design.paste(1, rows, model::PastePlace::NextSiblings), 2);
    auto record = m_design.stopRecording();
    EXPECT_EQ(structural(), pairs("aboutToInsert 0 1..3", "inserted 0 1..3"));
    record->undo(); // last tree first
    EXPECT_EQ(structural(), (Lines{"PV aboutToRemove 0 1..3", "PV removed 0 1..3", "DP aboutToRemove 0 1..3",
                                   "DP removed 0 1..3", "FR aboutToRemove 0 1..3", "FR removed 0 1..3"}));
    EXPECT_EQ(testsupport::outlineOf(m_design), (testsupport::Outline{"1 a", " 1.1 b", " 1.2 c", " 1.3 d"}));
    record->redo();
    EXPECT_EQ(structural(), pairs("aboutToInsert 0 1..3", "inserted 0 1..3"));
    EXPECT_TRUE(testsupport::shapeHolds(m_design));
}

} // namespace
