// A new aspect of the nodes follows every structural command and its undo
// through the aspect list alone: a note per FR node, written here without
// touching a command. Each node's note is the first letter of its label, so
// after every step the notes are right exactly when each node row has the
// note of its own label and no note is left on a node that is gone.
#include "DesignTestSupport.h"

#include "model/CopiedRows.h"
#include "model/Numbering.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <map>

namespace {

using model::Design;
using model::Node;
using model::TreeId;

class NoteAspect final : public model::NodeAspect {
public:
    std::map<const Node*, std::string> notes;
    const Node* lastLeaving = nullptr;

    void subtreeLeaving(const Node* top) override
    {
        Held held;
        std::vector<const Node*> stack{top};
        while (!stack.empty()) {
            const Node* n = stack.back();
            stack.pop_back();
            if (auto it = notes.find(n); it != notes.end())
                held.emplace_back(n, std::move(it->second)), notes.erase(it);
            stack.insert(stack.end(), n->children.begin(), n->children.end());
        }
        changed(std::move(held));
    }
    void childLeavingParent(const Node* child) override { lastLeaving = child; }
    void subtreeCopied(const Node* from, const Node* to) override
    {
        Held held;
        std::vector<std::pair<const Node*, const Node*>> stack{{from, to}};
        while (!stack.empty()) {
            const auto [src, dst] = stack.back();
            stack.pop_back();
            if (auto it = notes.find(src); it != notes.end())
                held.emplace_back(dst, std::exchange(notes[dst], it->second));
            for (std::size_t i = 0; i < src->children.size(); ++i)
                stack.emplace_back(src->children[i], dst->children[i]);
        }
        changed(std::move(held));
    }
    void copyRows(std::span<const Node* const> nodes, model::CopiedRows& rows) const override
    {
        auto copied = std::make_shared<std::vector<std::string>>();
        for (const Node* n : nodes)
            copied->push_back(notes.contains(n) ? notes.at(n) : std::string());
        rows.aspects["note"] = std::move(copied);
    }
    void pasteRows(std::span<const Node* const> nodes, const model::CopiedRows& rows) override
    {
        const auto it = rows.aspects.find("note");
        if (it == rows.aspects.end())
            return;
        const auto& copied = *std::static_pointer_cast<const std::vector<std::string>>(it->second);
        Held held;
        for (std::size_t i = 0; i < nodes.size(); ++i)
            held.emplace_back(nodes[i], std::exchange(notes[nodes[i]], copied[i]));
        changed(std::move(held));
    }
    void treesReplaced() override { notes.clear(); }

private:
    // (node, note) pairs; "" stands for no note.
    using Held = std::vector<std::pair<const Node*, std::string>>;
    class Swap final : public model::AspectChange {
    public:
        Swap(NoteAspect& aspect, Held held) : m_aspect(aspect), m_held(std::move(held)) {}
        void apply() override
        {
            for (auto& [node, note] : m_held) {
                std::string now = m_aspect.notes.contains(node) ? m_aspect.notes[node] : std::string();
                if (note.empty())
                    m_aspect.notes.erase(node);
                else
                    m_aspect.notes[node] = note;
                note = std::move(now);
            }
            m_aspect.noteChanged();
        }
        std::size_t bytes() const override { return m_held.size() * sizeof(Held::value_type); }

    private:
        NoteAspect& m_aspect;
        Held m_held;
    };
    void changed(Held held)
    {
        if (!held.empty())
            record(std::make_unique<Swap>(*this, std::move(held)));
    }
};

class NodeAspectTest : public ::testing::Test {
protected:
    NodeAspectTest()
    {
        testsupport::buildTagged(m_design, {"1 A", " 1.1 B", "  1.1.1 C", " 1.2 D"});
        m_design.addAspect(m_notes);
        for (const Node* n : m_design.tree(TreeId::FR).preorder())
            m_notes.notes[n] = letterOf(n);
    }

    static std::string letterOf(const Node* n)
    {
        const std::string_view text = n->text().view();
        return std::string(1, static_cast<char>(std::tolower(text[model::labelOffset(text)])));
    }
    // Every row has its own label's note, and no other node has one.
    ::testing::AssertionResult notesFollow() const
    {
        const auto rows = m_design.tree(TreeId::FR).preorder();
        if (m_notes.notes.size() != rows.size())
            return ::testing::AssertionFailure() << m_notes.notes.size() << " notes for " << rows.size() << " rows";
        for (const Node* n : rows)
            if (!m_notes.notes.contains(n) || m_notes.notes.at(n) != letterOf(n))
                return ::testing::AssertionFailure() << "row " << m_design.tree(TreeId::FR).rowOf(n) << " lost its note";
        return ::testing::AssertionSuccess();
    }

    NoteAspect m_notes; // outlives the design, as addAspect asks
    Design m_design;
};

TEST_F(NodeAspectTest, FollowsDeleteDropDuplicateCutAndPasteAndTheirUndo)
{
    struct Case {
        const char* name;
        std::function<void(Design&)> command;
        int rowsAfter;
    };
    const std::vector<Case> cases = {
        {"delete B with C", [](Design& d) { d.deleteRow(1); }, 2},
        {"drop C onto D", [](Design& d) { d.drop(2, 3); }, 4},
        {"duplicate B", [](Design& d) { d.duplicate(1); }, 6},
        {"cut B, paste under D", [](Design& d) {
             model::CopiedRows rows;
             d.cut(1, rows);
             d.paste(1, rows, model::PastePlace::LastChildren);
         }, 4},
    };
    const testsupport::Outline before = testsupport::outlineOf(m_design);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_design.startRecording();
        c.command(m_design);
        const std::unique_ptr<model::EditRecord> step = m_design.stopRecording();
        const testsupport::Outline after = testsupport::outlineOf(m_design);
        ASSERT_NE(after, before);
        EXPECT_EQ(m_design.rowCount(), c.rowsAfter);
        EXPECT_TRUE(notesFollow());
        step->undo();
        EXPECT_EQ(testsupport::outlineOf(m_design), before);
        EXPECT_TRUE(notesFollow());
        step->redo();
        EXPECT_EQ(testsupport::outlineOf(m_design), after);
        EXPECT_TRUE(notesFollow());
        step->undo();
    }
    // The drop told the aspect which child left its parent.
    EXPECT_EQ(m_notes.lastLeaving, m_design.tree(TreeId::FR).nodeAt(2));
}

} // namespace
