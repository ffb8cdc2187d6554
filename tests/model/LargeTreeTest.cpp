// Deep and wide trees. The deep cases run on a thread with a 256 KB stack, so
// that anything recursing over the depth fails here rather than on a user's
// design.

#include "DesignTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <pthread.h>

using model::Design;
using model::DesignTree;
using model::Node;
using model::TreeId;

namespace {

constexpr int kChain = 100000;

// Runs `body` on a thread with a small stack; gtest assertions work there.
void onSmallStack(const std::function<void()>& body)
{
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 256 * 1024);
    pthread_t thread;
    auto* arg = const_cast<std::function<void()>*>(&body);
    ASSERT_EQ(pthread_create(
                  &thread, &attr,
                  [](void* p) -> void* {
                      (*static_cast<std::function<void()>*>(p))();
                      return nullptr;
                  },
                  arg),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

// A chain: every node the only child of the one before.
Node* buildChain(DesignTree& tree, int length, const std::string& label = "n")
{
    Node* n = tree.root();
    for (int i = 0; i < length; ++i)
        n = tree.appendChild(n, label);
    return n;
}

TEST(DeepTree, ChainOfOneHundredThousandRowsIsFoundMovedCopiedAndFreed)
{
    onSmallStack([] {
        auto tree = std::make_unique<DesignTree>();
        Node* deepest = buildChain(*tree, kChain);
        EXPECT_EQ(tree->rowOf(deepest), kChain - 1);
        EXPECT_EQ(tree->nodeAt(kChain - 1), deepest);
        EXPECT_EQ(tree->levelOf(deepest), kChain - 1);
        EXPECT_EQ(tree->subtreeSize(tree->nodeAt(0)), kChain);
        EXPECT_EQ(tree->subtreeSize(tree->nodeAt(kChain / 2)), kChain / 2);

        // Cut the chain in half, hang the lower half at the top level, then
        // back under the deepest node of the upper half.
        Node* middle = tree->nodeAt(kChain / 2);
        EXPECT_TRUE(tree->move(middle, tree->root(), 1));
        EXPECT_EQ(tree->rowOf(middle), kChain / 2);
        EXPECT_EQ(tree->levelOf(deepest), kChain / 2 - 1);
        EXPECT_FALSE(tree->move(middle, deepest, 0)); // into its own subtree
        EXPECT_TRUE(tree->move(middle, tree->nodeAt(kChain / 2 - 1), 0));
        EXPECT_EQ(tree->levelOf(deepest), kChain - 1);
        EXPECT_TRUE(testsupport::treeIsConsistent(*tree));

        // A whole copy of the chain beside it, then gone again.
        Node* copy = tree->insertSubtree(tree->root(), 1, tree->cloneSubtree(tree->nodeAt(0)));
        EXPECT_EQ(tree->size(), 2 * kChain);
        EXPECT_EQ(tree->subtreeSize(copy), kChain);
        tree->remove(copy);
        tree->remove(tree->nodeAt(10));
        EXPECT_EQ(tree->size(), 10);
        EXPECT_TRUE(testsupport::treeIsConsistent(*tree));

        buildChain(*tree, kChain);
        tree.reset(); // destroying a deep tree frees it without recursion
    });
}

TEST(DeepTree, DesignCommandsOnADeepChain)
{
    // Add uncle and Delete renumber, and the numbers of a chain grow with the
    // square of its length: 5,000 levels (25 MB of numbers) on a small stack.
    onSmallStack([] {
        constexpr int kDeep = 5000;
        auto d = std::make_unique<Design>();
        for (TreeId id : model::kAllTrees)
            buildChain(d->tree(id), kDeep);
        EXPECT_EQ(d->addUncle(kDeep - 1), kDeep);
        EXPECT_EQ(d->tree(TreeId::PV).levelOf(d->tree(TreeId::PV).nodeAt(kDeep)), kDeep - 2);
        EXPECT_EQ(d->deleteRow(kDeep / 2).selectRow, kDeep / 2 - 1);
        EXPECT_EQ(d->rowCount(), kDeep / 2);
        EXPECT_TRUE(d->hasSameShape());
        d.reset();
    });
}

TEST(DeepTree, RenumberingADeepChainDoesNotRecurse)
{
    // The number at depth d is 2d - 1 characters long, so the texts of a chain
    // grow with the square of its length; 5,000 levels make 25 MB of numbers.
    onSmallStack([] {
        DesignTree tree;
        Node* deepest = buildChain(tree, 5000, "deep");
        tree.renumber();
        std::string expected;
        for (int i = 0; i < 5000; ++i)
            expected += i == 0 ? "1" : ".1";
        EXPECT_EQ(deepest->text(), expected + " deep");
        tree.stripNumbers();
        EXPECT_EQ(deepest->text(), "deep");
    });
}

TEST(WideTree, RowLookupsAndRenumberingWithAHundredThousandSiblings)
{
    Design d;
    for (TreeId id : model::kAllTrees) {
        DesignTree& t = d.tree(id);
        Node* top = t.appendTopLevel("top");
        for (int i = 0; i < kChain; ++i)
            t.appendChild(top, "w");
    }
    d.renumber();
    EXPECT_EQ(d.tree(TreeId::DP).nodeAt(kChain)->text(), "1.100000 w");
    EXPECT_EQ(d.moveUp(kChain).row, kChain - 1);
    EXPECT_EQ(d.tree(TreeId::FR).nodeAt(kChain - 1)->siblingIndex, static_cast<std::uint32_t>(kChain - 2));
    EXPECT_EQ(d.deleteRow(1).selectRow, 1);
    d.renumber();
    EXPECT_EQ(d.tree(TreeId::PV).nodeAt(kChain - 1)->text(), "1.99999 w");
    EXPECT_EQ(d.duplicate(0), kChain);
    EXPECT_EQ(d.tree(TreeId::FR).nodeAt(2 * kChain - 1)->text(), "2.99999 w");
    EXPECT_TRUE(testsupport::shapeHolds(d));
}

} // namespace

namespace {

TEST(NodeStorage, EveryNodeBlockIsFreedWhenDesignsAreChangedAndDestroyed)
{
    const std::size_t before = model::NodePool::slotsHeld();
    {
        Design d;
        testsupport::buildTagged(d, {"a", " b", "  c", " d", "e"});
        d.duplicate(0);
        d.duplicate(1);
        d.deleteRow(5);
        d.drop(2, 0);
        d.addUncle(2);
        std::array<DesignTree, model::kTreeCount> trees;
        for (auto& t : trees)
            buildChain(t, 1000);
        d.replaceTrees(std::move(trees));
        d.deleteRow(500);
        if (model::NodePool::kPooled) {
            EXPECT_GT(model::NodePool::slotsHeld(), before);
        }
        DesignTree moved(std::move(d.tree(TreeId::FR)));
        DesignTree assigned;
        assigned = std::move(moved);
    }
    EXPECT_EQ(model::NodePool::slotsHeld(), before);
}

} // namespace

namespace {

// A reader builds a large tree in pieces and joins them. The joined tree must
// take every command like a tree built in one go, whatever storage its nodes,
// child lists and texts came from.
void buildPieceWithLeftovers(DesignTree& tree, const testsupport::Outline& rows, const std::string& tag)
{
    testsupport::Outline tagged;
    for (const std::string& row : rows)
        tagged.push_back(row + tag);
    testsupport::buildTree(tree, tagged);
    // Nodes and child lists given back: the pieces come with free lists.
    Node* spare = tree.appendTopLevel("spare");
    for (int i = 0; i < 40; ++i)
        tree.appendChild(spare, "leaf");
    tree.remove(spare);
}

TEST(TreeJoin, JoinedPiecesTakeCommandsLikeATreeBuiltInOneGo)
{
    const testsupport::Outline first{"a", " b", "  c", " d", "e", " f"};
    const testsupport::Outline second{"g", " h", "  i", "  j", " k", "l", " m", "  n"};
    testsupport::Outline whole = first;
    whole.insert(whole.end(), second.begin(), second.end());

    Design joined;
    std::array<DesignTree, model::kTreeCount> trees;
    const char* tags[] = {"", "'", "''"};
    for (std::size_t t = 0; t < trees.size(); ++t) {
        buildPieceWithLeftovers(trees[t], first, tags[t]);
        DesignTree rest;
        buildPieceWithLeftovers(rest, second, tags[t]);
        trees[t].appendTree(std::move(rest));
        EXPECT_TRUE(rest.empty());
        EXPECT_TRUE(testsupport::treeIsConsistent(trees[t]));
    }
    joined.replaceTrees(std::move(trees));
    Design built;
    testsupport::buildTagged(built, whole);
    ASSERT_EQ(testsupport::outlineOf(joined), testsupport::outlineOf(built));

    // Commands that take nodes and child lists from the joined storage and give them back.
    auto both = [&](const std::function<void(Design&)>& command) {
        command(joined);
        command(built);
        for (TreeId id : model::kAllTrees)
            ASSERT_EQ(testsupport::outlineOf(joined, id), testsupport::outlineOf(built, id));
        ASSERT_TRUE(testsupport::shapeHolds(joined));
    };
    both([](Design& d) { d.duplicate(6); });          // g and its subtree, in the second piece
    both([](Design& d) { d.drop(14, 1); });           // a node of the second piece under one of the first
    both([](Design& d) { d.deleteRow(0); });
    for (int i = 0; i < 30; ++i)
        both([&](Design& d) { d.addChild(i % 7); });
    both([](Design& d) { d.moveUp(5); });
    both([](Design& d) { d.editText(TreeId::DP, 3, "changed"); });
}

TEST(NodeStorage, TreesPastAQuarterMillionNodesKeepEveryNode)
{
    constexpr int kTops = 300;
    constexpr int kChildren = 999; // 300,000 nodes: beyond the small blocks
    const std::size_t before = model::NodePool::slotsHeld();
    {
        DesignTree tree;
        std::vector<Node*> made;
        for (int t = 0; t < kTops; ++t) {
            Node* top = tree.appendTopLevel("top " + std::to_string(t));
            made.push_back(top);
            for (int c = 0; c < kChildren; ++c)
                made.push_back(tree.appendChild(top, std::to_string(t) + "." + std::to_string(c)));
        }
        ASSERT_EQ(tree.size(), kTops * (kChildren + 1));
        EXPECT_GE(model::NodePool::slotsHeld(), before + made.size());
        for (std::size_t row = 0; row < made.size(); row += 997)
            ASSERT_EQ(tree.nodeAt(static_cast<int>(row)), made[row]) << row;
        EXPECT_EQ(tree.nodeAt(tree.size() - 1)->text(), "299.998");
        // Nodes given back are handed out again before any new block is taken.
        const std::size_t held = model::NodePool::slotsHeld();
        tree.remove(made[0]);
        for (int c = 0; c < kChildren + 1; ++c)
            tree.appendChild(made[1000], "again");
        EXPECT_EQ(model::NodePool::slotsHeld(), held);
        EXPECT_EQ(tree.nodeAt(0)->text(), "top 1");
        EXPECT_TRUE(testsupport::treeIsConsistent(tree));
    }
    EXPECT_EQ(model::NodePool::slotsHeld(), before);
}

} // namespace
