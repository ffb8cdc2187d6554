#pragma once
// A design: the three design trees FR, DP and PV, which always keep the same
// shape, the three column titles, the state kept per FR node (its aspects:
// the design matrices first), the blocks of its file it did not take in, the
// level styles and header state its file carries (its look), and the
// modified and backed-up flags.
//
// Every command takes the row index of the selected node row, does the same
// step in FR, then DP, then PV, and reports what the window should select.
// The aspects follow every change of structure in the same step: each
// command tells the list of aspects once what happens to the nodes (see
// NodeAspect), and knows no aspect by name.
//
// Every public command runs as one step (Design::Step): when the outermost
// command ends, a command that changed the content sets the modified flag
// (the one place it is set for an edit), and the observers are told once
// what the step changed (TreeObserver::stepFinished).

#include "model/CopiedRows.h"
#include "model/DesignLook.h"
#include "model/DesignTree.h"
#include "model/CrossCells.h"
#include "model/EditRecord.h"
#include "model/InformationAspect.h"
#include "model/KeptBlocks.h"
#include "model/MatrixAspect.h"
#include "model/MatrixStore.h"
#include "model/NodeAspect.h"
#include "model/RowTextAspect.h"
#include "model/TreeId.h"
#include "model/TreeObserver.h"

#include <array>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace io { class DesignFileReader; }

namespace model {

// Three trees that the design file reader compared line by line as it built
// them, so that opening a large design need not walk them once more. Only the
// reader makes them; anyone may look at them, or take the trees out, which
// drops the promise.
class ComparedTrees {
public:
    ComparedTrees() = default; // three empty trees: the same shape
    ComparedTrees(ComparedTrees&&) noexcept = default;
    ComparedTrees& operator=(ComparedTrees&&) noexcept = default;

    const DesignTree& operator[](std::size_t i) const { return m_trees[i]; }
    const DesignTree* begin() const { return m_trees.data(); }
    const DesignTree* end() const { return m_trees.data() + m_trees.size(); }
    std::array<DesignTree, kTreeCount> release() && { return std::move(m_trees); }

private:
    friend class io::DesignFileReader;
    friend class Design;
    std::array<DesignTree, kTreeCount> m_trees;
};

inline constexpr const char* kNewNodeLabel = "__________";
inline constexpr const char* kCopySuffix = " copy";
inline constexpr int kNoRow = -1;

// What Delete did: refused (the first row, or no row) or which row to select.
struct DeleteResult {
    bool refused = false;
    int selectRow = kNoRow;
};

// What Move up / Move down did. `acted` means the rows were renumbered and the
// modified flag set; `moved` that the order really changed.
struct MoveResult {
    bool acted = false;
    bool moved = false;
    int row = kNoRow; // the selected node's row afterwards
};

// Where Paste puts the rows: right behind the selected node among its
// siblings, or behind its last child.
enum class PastePlace { NextSiblings, LastChildren };

class Design {
public:
    Design();
    Design(const Design&) = delete;
    Design& operator=(const Design&) = delete;

    // --- trees ------------------------------------------------------------
    DesignTree& tree(TreeId id) { return m_trees[static_cast<std::size_t>(index(id))]; }
    const DesignTree& tree(TreeId id) const { return m_trees[static_cast<std::size_t>(index(id))]; }
    int rowCount() const { return tree(TreeId::FR).size(); }
    bool empty() const { return rowCount() == 0; }
    bool hasSameShape() const;                 // the invariant; O(n)
    // Replace the three trees at once (opening a design). Trees of unequal
    // shape are refused with a UserError and the design stays as it was;
    // trees the reader compared as it read them are taken as they are.
    void replaceTrees(std::array<DesignTree, kTreeCount>&& trees);
    void replaceTrees(ComparedTrees&& trees);

    // --- column titles ------------------------------------------------------
    const std::string& title(TreeId id) const { return m_titles[static_cast<std::size_t>(index(id))]; }
    // A title put in (opening a design, the finished edit of a title, as a
    // step of its own); recorded, and of itself leaves the modified flag alone.
    void setTitle(TreeId id, std::string text);
    // A title as the user types it: in the design at once, so that a save in
    // the middle of typing stores what is shown, and the design is modified;
    // never recorded, for the finished edit is the step (setTitle).
    void typeTitle(TreeId id, std::string text);
    // The same for a title in UTF-8: the title (title()) is its question form,
    // and the full text is kept beside it when Windows-1252 lacks a character.
    void setFullTitle(TreeId id, std::string_view utf8);
    void typeFullTitle(TreeId id, std::string_view utf8);
    // The title in UTF-8, whole.
    std::string fullTitle(TreeId id) const;
    // The UTF-8 title kept beside title(); empty when Windows-1252 says it all.
    const std::string& unicodeTitle(TreeId id) const { return m_fullTitles[static_cast<std::size_t>(index(id))]; }

    // --- design matrices ----------------------------------------------------
    // A matrix parent is an FR node, or the FR tree's hidden root for the top
    // level; `matrixParent(kNoRow)` gives the hidden root.
    const MatrixStore& matrices() const { return m_matrices.store(); }
    const Node* matrixParent(int parentRow) const;
    // Cell (row, column) of the matrix of `kind` over the children of row
    // `parentRow` (kNoRow: the top level), both counted among those children.
    // Returns false, changing nothing, for a diagonal cell, a cell outside the
    // matrix or the value it holds already.
    bool setMatrixCell(int parentRow, MatrixKind kind, int row, int column, CellValue value);
    // Opening a design: matrices keyed by the nodes of the trees just put in.
    void replaceMatrices(MatrixStore&& matrices);
    // Undo and redo: every cell takes the value given, which then holds the cell's old one.
    void swapCells(std::span<StoredCell> cells);

    // --- cross cells: between rows that are not siblings (see CrossCells.h) ---
    const CrossCellStore& crossCells() const { return m_crossCells.store(); }
    // Cell (aRow, bRow) of `kind`. False, changing nothing, when the rows are
    // not a cross pair (the same, siblings or one inside the other) or the
    // cell holds `value` already. An X where a pair above holds O is refused
    // with a UserError ("FR 1 and DP 2 are marked O one level up").
    bool setCrossCell(MatrixKind kind, int aRow, int bRow, CellValue value);
    // Opening a design: cells keyed by the nodes of the trees just put in.
    void replaceCrossCells(CrossCellStore&& cells);

    // --- information ranges (see InformationRanges.h) -------------------------
    const RangeStore& ranges() const { return m_information.store(); }
    // The ranges of FR row `row`, empty ranges taking them off. Ranges that
    // cannot be kept are refused with a UserError saying why (problemWith);
    // false, changing nothing, for no row k or the ranges it holds already.
    bool setRanges(int row, FrRanges ranges);
    // Opening a design: ranges keyed by the nodes of the trees just put in.
    void replaceRanges(RangeStore&& ranges);

    // --- notes, and labels beyond Windows-1252 (see RowTexts.h) ---------------
    const RowTextStore& notes() const { return m_notes.store(); }
    // The note of row `row` in tree `id` (UTF-8; empty takes it off). A note
    // that is not valid UTF-8 or longer than kLongestNote is refused with a
    // UserError; false, changing nothing, for no row or the note it holds.
    bool setNote(TreeId id, int row, std::string note);
    const RowTextStore& fullLabels() const { return m_fullLabels.store(); }
    // The label as typed, in UTF-8: editLabel with its question form, and the
    // full label kept beside it when Windows-1252 lacks a character. Text that
    // is not UTF-8 changes nothing.
    void editFullLabel(TreeId id, int row, std::string_view utf8);
    // A node's whole text in UTF-8, its number included.
    std::string fullText(TreeId id, const Node* node) const;
    std::string fullText(TreeId id, int row) const { return fullText(id, tree(id).nodeAt(row)); }
    // Opening a design: texts keyed by the FR nodes of the trees just put in.
    void replaceNotes(RowTextStore&& notes)
    {
        aboutToChange();
        m_notes.replace(std::move(notes));
    }
    void replaceFullLabels(RowTextStore&& labels)
    {
        aboutToChange();
        m_fullLabels.replace(std::move(labels));
    }

    // --- aspects: state kept per FR node (see NodeAspect) ---------------------
    // The aspect follows every command from now on; it must outlive the design.
    void addAspect(NodeAspect& aspect) { m_aspects.add(aspect, *this); }
    const AspectList& aspects() const { return m_aspects; }

    // --- blocks kept from the file --------------------------------------------
    // What the file held that the design did not take in (see KeptBlocks.h).
    // Replacing the trees lets go of them; opening a file then puts its own in.
    const KeptBlocks& keptBlocks() const { return m_kept; }
    void replaceKeptBlocks(KeptBlocks&& kept)
    {
        aboutToChange();
        m_kept = std::move(kept);
    }

    // --- the level styles and header state of its file (see DesignLook) ------
    DesignLook& look() { return m_look; }
    const DesignLook& look() const { return m_look; }

    // --- flags ----------------------------------------------------------------
    bool modified() const { return m_modified; }
    bool backedUp() const { return m_backedUp; }
    void setModified(bool on);   // setting it also clears the backed-up flag
    void setBackedUp(bool on);

    // --- readers on other threads ----------------------------------------------
    // Called on the changing thread before the first change of every step,
    // and before each change made outside one: whoever reads the design on
    // another thread stops or is waited for there, so that no read meets a
    // change half made.
    void setBeforeChange(std::function<void()> hook) { m_beforeChange = std::move(hook); }

    // --- observers ------------------------------------------------------------
    void addObserver(TreeObserver* o);
    void removeObserver(TreeObserver* o);

    // --- recording the steps of an undo history -------------------------------
    // Between the two calls every change is recorded; the record can then undo
    // and redo exactly those changes. Undo and redo run while not recording.
    // A record that will join an earlier one (a click's renumbering) keeps
    // every number it replaces: the earlier record may have started from
    // numbers that were out of date.
    enum class Joining { No, Yes };
    void startRecording(Joining joining = Joining::No);
    std::unique_ptr<EditRecord> stopRecording();
    bool recording() const { return m_recording != nullptr; }
    // Expires when the trees are replaced (or the design is gone): records
    // made on the old trees then know not to touch them.
    std::weak_ptr<const int> lifetime() const { return m_lifetime; }

    // --- commands on the selected row k; each returns the row to select ------
    int addSiblingBelow(int k);
    int addSiblingAbove(int k);
    int addChild(int k);
    int addUncle(int k);           // kNoRow unless row k is at level 2 or deeper
    DeleteResult deleteRow(int k);
    MoveResult moveUp(int k);
    MoveResult moveDown(int k);
    int duplicate(int k);          // the row of the copy
    bool drop(int source, int target); // true when something moved
    void editText(TreeId id, int row, std::string_view text); // CR, LF, tab, NUL become blanks
    // The label as typed, behind the node's outline number: the number its
    // text begins with, or the number of its place when it has none. So a
    // label that begins with a digit and a space is kept whole.
    void editLabel(TreeId id, int row, std::string_view label);
    void renumber();               // FR, DP, PV; free when nothing changed

    // --- copy, cut and paste (see CopiedRows and copySubtree) -----------------
    // Pastes the rows with their matrices at `place` of row k (on an empty
    // design, as the first rows) and renumbers; returns the row of the first
    // pasted row.
    int paste(int k, const CopiedRows& rows, PastePlace place);
    // Row k with its subtree into `rows`, then deleted as Delete deletes it;
    // the first row is refused, and nothing is copied then.
    DeleteResult cut(int k, CopiedRows& rows);

    // The first row of an empty design ("1 __________" in each tree).
    int addFirstRow();

private:
    friend class EditRecord;
    friend class NodeAspect;
    friend class DesignLook;

    // One command from start to end; commands within it are part of it. When
    // the outermost ends, an Edit that changed the content sets the modified
    // flag, and the observers are told what the step changed. A Quiet step
    // (opening, undo, redo, titles put in, the flags set) leaves the flag to
    // whoever called it.
    class Step {
    public:
        enum class Kind { Edit, Quiet };
        explicit Step(Design& design, Kind kind = Kind::Edit);
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        Design& m_design;
    };
    // Gathers what the primitives announce into the step's changes; it is
    // the first observer of every tree.
    struct ChangeCollector final : TreeObserver {
        StepChanges changes;
        void inserted(TreeId, Node*, int, int) override { changes.bits |= StepChanges::Structure; }
        void removed(TreeId, Node*, int, int) override { changes.bits |= StepChanges::Structure; }
        void moved(TreeId, Node*, int, Node*, int) override { changes.bits |= StepChanges::Structure; }
        void textChanged(TreeId, Node*) override { changes.bits |= StepChanges::Texts; }
        void textsChanged(TreeId, std::span<const TextRun>) override { changes.bits |= StepChanges::Numbers; }
        void reset(TreeId) override { changes.bits |= StepChanges::Replaced; }
        void flagsChanged() override { changes.bits |= StepChanges::Flags; }
        void titleChanged(TreeId) override { changes.bits |= StepChanges::Titles; }
        void levelStylesChanged(int) override { changes.bits |= StepChanges::Looks; }
        // Aspects note their changes themselves (NodeAspect::noteChanged).
    };

    bool validRow(int k) const { return k >= 0 && k < rowCount(); }
    static bool sameShape(const DesignTree& a, const DesignTree& b);
    static std::string oneLineLabel(std::string_view text);
    template <typename F> void eachTree(F&& step);
    void assignTrees(std::array<DesignTree, kTreeCount>&& trees);
    void finishStep();
    void aboutToChange()
    {
        if (m_beforeChange)
            m_beforeChange();
    }
    void announceFlags();
    void putTitle(TreeId id, std::string text, std::string full);

    std::array<DesignTree, kTreeCount> m_trees;
    std::array<std::string, kTreeCount> m_titles;
    std::array<std::string, kTreeCount> m_fullTitles; // UTF-8 when a title goes beyond Windows-1252
    MatrixAspect m_matrices;
    CrossCellAspect m_crossCells;
    InformationAspect m_information;
    RowTextAspect m_notes{&CopiedRows::notes};
    FullLabelAspect m_fullLabels;
    AspectList m_aspects;
    KeptBlocks m_kept;
    DesignLook m_look{*this};
    ChangeCollector m_collector;
    std::vector<TreeObserver*> m_observers{&m_collector};
    std::function<void()> m_beforeChange;
    int m_stepDepth = 0;
    Step::Kind m_stepKind = Step::Kind::Edit; // the outermost command's
    bool m_actedWithoutChange = false;
    std::unique_ptr<EditRecord> m_recording;
    std::array<bool, kTreeCount> m_staleAtStart{};
    std::shared_ptr<const int> m_lifetime = std::make_shared<const int>(0);
    bool m_modified = false;
    bool m_backedUp = true;
};

} // namespace model
