// Labels beyond Windows-1252 and notes: the question form the trees keep,
// the full text beside it and when it stops standing for the label, and
// both following the rows through commands and undo.
#include "DesignTestSupport.h"

#include "model/Design.h"
#include "model/Limits.h"
#include "model/UserError.h"
#include "model/Utf8.h"

#include <gtest/gtest.h>

namespace {

using model::Design;
using model::TreeId;

TEST(Utf8, ValidityQuestionFormAndOffsets)
{
    struct Case {
        std::string text;
        bool valid;
        const char* question; // when valid
        bool fits;
    };
    const std::vector<Case> cases = {
        {"plain", true, "plain", true},
        {"35 \xC2\xB0" "C \xE2\x82\xAC", true, "35 \xB0" "C \x80", true},       // degree, euro: in the code page
        {"\xCE\x94T \xE2\x89\xA4 2 K", true, "?T ? 2 K", false},             // delta, less-or-equal
        {"\xEC\x9C\xA0\xEB\x9F\x89", true, "??", false},                       // two Hangul syllables
        {"\xF0\x9F\x98\x80!", true, "?!", false},                              // beyond the BMP: one "?"
        {std::string("a\0b", 3), false, nullptr, false},                       // NUL
        {"\xC0\xAF", false, nullptr, false},                                   // overlong
        {"\xED\xA0\x80", false, nullptr, false},                               // surrogate
        {"\xE2\x89", false, nullptr, false},                                   // cut short
        {"\xF4\x90\x80\x80", false, nullptr, false},                           // past U+10FFFF
        {"eight by\xCE\x94", true, "eight by?", false},                      // after a whole ASCII word
        {std::string("eight by\0 more text", 19), false, nullptr, false},     // NUL inside a word
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_EQ(model::validUtf8(c.text), c.valid);
        if (!c.valid)
            continue;
        EXPECT_EQ(model::questionForm(c.text), c.question);
        EXPECT_TRUE(model::questionFormIs(c.text, c.question));
        EXPECT_FALSE(model::questionFormIs(c.text, std::string(c.question) + "?"));
        EXPECT_EQ(model::fitsCp1252(c.text), c.fits);
    }
    EXPECT_EQ(model::utf8Offset("\xCE\x94T x", 2), 3u);
    EXPECT_EQ(model::utf8Offset("ab", 5), 2u);
}

class RowTextsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (TreeId id : model::kAllTrees)
            testsupport::buildTree(design.tree(id), {"1 A", " 1.1 B", " 1.2 C"});
    }
    std::string full(int row, TreeId id = TreeId::DP) const { return design.fullText(id, row); }
    std::string text(int row, TreeId id = TreeId::DP) const { return design.tree(id).nodeAt(row)->text().str(); }

    Design design;
};

constexpr const char* kDelta = "\xCE\x94T \xE2\x89\xA4 2 K"; // "ΔT ≤ 2 K"

// The tree keeps the question form; the full label follows renumbering, stops
// standing when the label is changed by other means, and comes back with undo.
TEST_F(RowTextsTest, AFullLabelStandsBesideItsQuestionFormUntilTheLabelChanges)
{
    design.startRecording();
    design.editFullLabel(TreeId::DP, 2, kDelta);
    auto typed = design.stopRecording();
    EXPECT_EQ(text(2), "1.2 ?T ? 2 K");
    EXPECT_EQ(full(2), std::string("1.2 ") + kDelta);
    EXPECT_EQ(full(2, TreeId::FR), "1.2 C"); // one tree's node only

    design.addSiblingAbove(1);
    design.renumber();
    EXPECT_EQ(full(3), std::string("1.3 ") + kDelta);

    design.startRecording();
    design.editLabel(TreeId::DP, 3, "Plain");
    auto plain = design.stopRecording();
    EXPECT_EQ(full(3), "1.3 Plain");
    plain->undo();
    EXPECT_EQ(full(3), std::string("1.3 ") + kDelta);

    // A label the code page holds keeps no full label.
    design.editFullLabel(TreeId::DP, 3, "35 \xC2\xB0" "C");
    EXPECT_EQ(text(3), "1.3 35 \xB0" "C");
    EXPECT_TRUE(design.fullLabels().empty());
}

TEST_F(RowTextsTest, UndoOfALabelWhoseQuestionFormStaysTheSameGivesBackTheOldCharacters)
{
    design.editFullLabel(TreeId::FR, 1, kDelta);
    design.startRecording();
    design.editFullLabel(TreeId::FR, 1, "\xCE\xA3T \xE2\x89\xA5 2 K"); // "ΣT ≥ 2 K": the same "?T ? 2 K"
    auto step = design.stopRecording();
    ASSERT_TRUE(step);
    EXPECT_TRUE(design.modified());
    step->undo();
    EXPECT_EQ(full(1, TreeId::FR), std::string("1.1 ") + kDelta);
}

TEST_F(RowTextsTest, NotesAndFullLabelsFollowDuplicateDeleteAndUndo)
{
    design.setNote(TreeId::PV, 1, "Chosen for\nits cost");
    design.editFullLabel(TreeId::FR, 1, kDelta);
    design.duplicate(1);
    design.renumber();
    const model::DesignTree& fr = design.tree(TreeId::FR);
    ASSERT_EQ(design.rowCount(), 4);
    for (int row : {1, 3}) {
        const std::string* note = design.notes().find(TreeId::PV, fr.nodeAt(row));
        ASSERT_TRUE(note) << row;
        EXPECT_EQ(*note, "Chosen for\nits cost");
    }
    EXPECT_EQ(full(3, TreeId::FR), std::string("1.3 ") + kDelta + model::kCopySuffix);
    design.startRecording();
    design.deleteRow(1);
    auto gone = design.stopRecording();
    EXPECT_EQ(design.notes().size(), 1u);
    EXPECT_EQ(design.fullLabels().size(), 1u);
    gone->undo();
    EXPECT_EQ(design.notes().size(), 2u);
    EXPECT_EQ(full(3, TreeId::FR), std::string("1.3 ") + kDelta + model::kCopySuffix);
}

TEST_F(RowTextsTest, ANoteTooLongOrNotTextIsRefusedAndChangesNothing)
{
    EXPECT_THROW(design.setNote(TreeId::FR, 0, std::string(model::kLongestNote + 1, 'x')), model::UserError);
    EXPECT_THROW(design.setNote(TreeId::FR, 0, "\xFF"), model::UserError);
    EXPECT_TRUE(design.setNote(TreeId::FR, 0, std::string(model::kLongestNote, 'x')));
    EXPECT_FALSE(design.setNote(TreeId::FR, 0, std::string(model::kLongestNote, 'x')));
    EXPECT_TRUE(design.setNote(TreeId::FR, 0, ""));
    EXPECT_TRUE(design.notes().empty());
}

TEST_F(RowTextsTest, ATitleBeyondTheCodePageKeepsBothFormsAndUndoGivesBothBack)
{
    design.setTitle(TreeId::FR, "Functions");
    design.startRecording();
    design.setFullTitle(TreeId::FR, "\xD0\xA4\xD1\x83\xD0\xBD\xD0\xBA\xD1\x86\xD0\xB8\xD0\xB8"); // Cyrillic
    auto step = design.stopRecording();
    EXPECT_EQ(design.title(TreeId::FR), "???????");
    EXPECT_EQ(design.fullTitle(TreeId::FR), "\xD0\xA4\xD1\x83\xD0\xBD\xD0\xBA\xD1\x86\xD0\xB8\xD0\xB8");
    step->undo();
    EXPECT_EQ(design.title(TreeId::FR), "Functions");
    EXPECT_EQ(design.unicodeTitle(TreeId::FR), "");
    step->redo();
    EXPECT_EQ(design.unicodeTitle(TreeId::FR).size(), 14u);
}

} // namespace
