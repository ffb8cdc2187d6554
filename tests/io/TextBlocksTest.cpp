// The Unicode text block and the note block of the design file: written byte
// for byte as their tables say, behind the information block and only when
// they hold a record; a node's full text taken back only while the file's
// section still holds its question form; and each block refused whole, with
// everything else read, in every case its table does not allow.
#include "IoTestSupport.h"

#include "io/DesignFile.h"
#include "model/Utf8.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

using model::TreeId;

std::string rec(std::uint8_t tree, std::uint32_t row, const std::string& text)
{
    return std::string(1, static_cast<char>(tree)) + std::string(3, '\0') + iotest::le32(row)
           + iotest::le32(static_cast<std::uint32_t>(text.size())) + text;
}

std::string block(const std::string& tag, const std::string& payload, std::uint32_t version = 1,
                  std::int64_t lengthOff = 0, std::uint32_t crcFlip = 0)
{
    const auto crc = static_cast<std::uint32_t>(
        crc32(0L, reinterpret_cast<const Bytef*>(payload.data()), static_cast<uInt>(payload.size())));
    return tag + iotest::le32(version) + iotest::le32(static_cast<std::uint32_t>(payload.size() + lengthOff))
           + iotest::le32(crc ^ crcFlip) + payload;
}

const std::string kDelta = "\xCE\x94p \xE2\x89\xA4 3 bar"; // "Δp ≤ 3 bar"
const std::string kPump = "\xE6\xB3\xB5";                   // "泵"
const std::string kTitle = "Design \xE2\x80\x93 \xCE\xB7";  // "Design – η": the dash is in the code page
const std::string kNote = "line one\nzwei \xE2\x80\x93 \xC3\xBC";

class TextBlocks : public ::testing::Test {
protected:
    // Rows 0 "1", 1 "1.1", 2 "2"; the same in `plain` with the question forms.
    void SetUp() override
    {
        for (model::Design* d : {&design, &plain}) {
            d->addFirstRow();
            d->addChild(0);
            d->addSiblingBelow(0);
        }
        sections = io::encodeDesignFile(plain);
    }
    void putTexts()
    {
        design.editFullLabel(TreeId::FR, 0, kDelta);
        design.editFullLabel(TreeId::PV, 2, kPump);
        design.setFullTitle(TreeId::DP, kTitle);
        design.setNote(TreeId::FR, 2, kNote);
        design.setNote(TreeId::DP, 0, "\xCE\xB7");
        design.setNote(TreeId::FR, 0, "x");
        plain.editLabel(TreeId::FR, 0, "?p ? 3 bar");
        plain.editLabel(TreeId::PV, 2, "?");
        plain.setTitle(TreeId::DP, "Design \x96 ?");
    }
    model::Design design;
    model::Design plain;
    std::string sections; // the file of the three rows alone
};

TEST_F(TextBlocks, FollowTheSectionsAsTheirTablesSay)
{
    putTexts();
    const std::string texts = rec(1, 0, "1 " + kDelta) + rec(3, 2, "2 " + kPump) + rec(4, 1, kTitle);
    const std::string notes = rec(1, 0, "x") + rec(1, 2, kNote) + rec(2, 0, "\xCE\xB7");
    EXPECT_EQ(io::encodeDesignFile(design), io::encodeDesignFile(plain) + block("TUTF", texts) + block("TNOT", notes));
}

// Texts the code page holds, and a full label that no longer stands, need no block.
TEST_F(TextBlocks, AreNotWrittenForTextsTheCodePageHolds)
{
    design.editFullLabel(TreeId::DP, 1, "Caf\xC3\xA9");
    design.setFullTitle(TreeId::FR, "\xC3\x9C" "ber");
    design.editFullLabel(TreeId::FR, 0, kDelta);
    design.editLabel(TreeId::FR, 0, "?p ? 4 bar");
    plain.editLabel(TreeId::DP, 1, "Caf\xE9");
    plain.setTitle(TreeId::FR, "\xDC" "ber");
    plain.editLabel(TreeId::FR, 0, "?p ? 4 bar");
    EXPECT_EQ(io::encodeDesignFile(design), io::encodeDesignFile(plain));
}

TEST_F(TextBlocks, ReadBackWholeAndWriteTheSameBytesAgain)
{
    putTexts();
    const std::string longTitle = std::string(36, 'a') + kPump; // past the title field's 32 bytes
    design.setFullTitle(TreeId::PV, longTitle);
    design.editFullLabel(TreeId::DP, 1, "\xF0\x9F\x98\x80 smile"); // four bytes, one "?"
    const std::string bytes = io::encodeDesignFile(design);
    model::Design reopened;
    io::openInto(reopened, io::parseDesignFile(bytes, "f.vok"));
    for (TreeId id : model::kAllTrees)
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(reopened.fullText(id, row), design.fullText(id, row));
            const model::Node* fr = reopened.tree(TreeId::FR).nodeAt(row);
            const std::string* note = reopened.notes().find(id, fr);
            const std::string* was = design.notes().find(id, design.tree(TreeId::FR).nodeAt(row));
            EXPECT_EQ(note ? *note : "-", was ? *was : "-");
        }
    EXPECT_EQ(reopened.fullText(TreeId::DP, 1), "1.1 \xF0\x9F\x98\x80 smile");
    EXPECT_EQ(reopened.fullTitle(TreeId::DP), kTitle);
    EXPECT_EQ(reopened.fullTitle(TreeId::PV), longTitle);
    EXPECT_EQ(io::encodeDesignFile(reopened), bytes);
}

// What a program that knows no full text may have done to the sections.
struct SectionCase {
    const char* name;
    std::string sectionLabel; // FR row 0's label in the section
    std::string record;       // FR row 0's record
    std::string taken;        // the full label taken, or empty
};

class TextBlockOpened : public TextBlocks, public ::testing::WithParamInterface<SectionCase> {};

TEST_P(TextBlockOpened, TakesARecordOnlyWhileTheSectionHoldsItsQuestionForm)
{
    const SectionCase& c = GetParam();
    plain.editLabel(TreeId::FR, 0, c.sectionLabel);
    const io::DesignFileContents contents =
        io::parseDesignFile(io::encodeDesignFile(plain) + block("TUTF", rec(1, 0, c.record)), "f.vok");
    const std::string* taken = contents.fullLabels.find(TreeId::FR, contents.trees[0].nodeAt(0));
    EXPECT_EQ(taken ? *taken : "", c.taken);
    EXPECT_TRUE(contents.kept.empty());
}

const SectionCase kSectionCases[] = {
    {"Unchanged", "?p ? 3 bar", "1 " + kDelta, kDelta},
    {"FourByteCharacter", "? pump", "1 \xF0\x9F\x98\x80 pump", "\xF0\x9F\x98\x80 pump"},
    {"LabelChanged", "Xp ? 3 bar", "1 " + kDelta, ""},
    {"Renumbered", "?p ? 3 bar", "2 " + kDelta, ""},
    {"QuestionMarkTyped", "?p ? 3 bar?", "1 " + kDelta, ""},
    {"CodePageSaysItAll", "Caf\xE9", "1 Caf\xC3\xA9", ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, TextBlockOpened, ::testing::ValuesIn(kSectionCases),
                         [](const ::testing::TestParamInfo<SectionCase>& info) { return std::string(info.param.name); });

TEST_F(TextBlocks, TakeATitleOnlyWhileTheTitleFieldHoldsItsQuestionForm)
{
    const std::string longTitle = std::string(36, 'a') + kPump;
    plain.setTitle(TreeId::FR, std::string(36, 'a') + "?"); // the field holds its first 32 bytes
    plain.setTitle(TreeId::DP, "Design \x96 ?");
    plain.setTitle(TreeId::PV, "Changed");
    const std::string payload = rec(4, 0, longTitle) + rec(4, 1, kTitle) + rec(4, 2, kPump);
    const io::DesignFileContents c = io::parseDesignFile(io::encodeDesignFile(plain) + block("TUTF", payload), "f.vok");
    EXPECT_EQ(c.fullTitles, (std::array<std::string, 3>{longTitle, kTitle, ""}));
}

struct Refusal {
    const char* name;
    std::string payload;
    std::uint32_t version = 1;
    std::int64_t lengthOff = 0;
    std::uint32_t crcFlip = 0;
    std::size_t cutTo = std::string::npos; // the file ends inside the block
};

struct TaggedRefusal {
    std::string tag;
    Refusal refusal;
};

class TextBlockRefused : public TextBlocks, public ::testing::WithParamInterface<TaggedRefusal> {};

TEST_P(TextBlockRefused, LeavesOutEveryTextOfItsKindAndNothingElse)
{
    const auto& [tag, r] = GetParam();
    const std::string tail = block(tag, r.payload, r.version, r.lengthOff, r.crcFlip).substr(0, r.cutTo);
    const std::string file = io::encodeDesignFile(plain) + tail;
    const io::DesignFileContents c = io::parseDesignFile(file, "f.vok");
    EXPECT_TRUE(c.fullLabels.empty());
    EXPECT_TRUE(c.notes.empty());
    EXPECT_EQ(c.fullTitles, (std::array<std::string, 3>{}));
    EXPECT_EQ(iotest::outline(c.trees[2]), iotest::outline(plain.tree(TreeId::PV)));
    ASSERT_EQ(c.kept.size(), 1u);
    EXPECT_EQ(c.kept[0].bytes, tail);
    const std::string what = tag == "TUTF" ? "The Unicode texts" : "The notes";
    EXPECT_EQ(io::leftOutMessages(c.kept, "f.vok"),
              std::vector<std::string>{what + " in f.vok could not be read and are left out"});
}

// The section's FR row 0 is "1 __________": its record stands.
const std::string kGood = rec(1, 0, "1 __________") + rec(3, 2, "2 __________");

std::vector<TaggedRefusal> refusals()
{
    const Refusal common[] = {
        {"HeadCutShort", kGood, 1, 0, 0, 10},
        {"VersionTwo", kGood, 2},
        {"LengthPastTheEnd", kGood, 1, 1},
        {"CrcDoesNotMatch", kGood, 1, 0, 0x10},
        {"RecordCutShort", kGood.substr(0, kGood.size() - 1)},
        {"RecordHeadCutShort", kGood + rec(3, 2, "x").substr(0, 11)},
        {"TreeZero", rec(0, 0, "1 __________")},
        {"TreeFive", rec(5, 0, "1 __________")},
        {"RowOutOfRange", rec(1, 3, "1 __________")},
        {"Repeated", rec(1, 0, "1 __________") + rec(1, 0, "1 __________")},
        {"OutOfOrder", rec(3, 2, "2 __________") + rec(1, 0, "1 __________")},
        {"TreesOutOfOrder", rec(2, 0, "1 __________") + rec(1, 1, "1.1 __________")},
        {"PaddingNotZero", "\x01\x00\x01\x00" + kGood.substr(4)},
        {"NotUtf8", rec(1, 0, "1 \xC3\x28")},
        {"Surrogate", rec(1, 0, "1 \xED\xA0\x80")},
        {"HoldsANul", rec(1, 0, std::string("1 a\0b", 5))},
    };
    std::vector<TaggedRefusal> all;
    for (const char* tag : {"TUTF", "TNOT"})
        for (const Refusal& r : common)
            all.push_back({tag, r});
    all.push_back({"TUTF", {"TitleIndexThree", rec(4, 3, "x")}});
    all.push_back({"TNOT", {"TitleKind", rec(4, 0, "x")}});
    all.push_back({"TNOT", {"EmptyNote", rec(1, 0, "")}});
    all.push_back({"TNOT", {"LongerThanANote", rec(1, 0, std::string(1048577, 'n'))}});
    return all;
}

INSTANTIATE_TEST_SUITE_P(Cases, TextBlockRefused, ::testing::ValuesIn(refusals()),
                         [](const ::testing::TestParamInfo<TaggedRefusal>& info) {
                             return info.param.tag + info.param.refusal.name;
                         });

TEST_F(TextBlocks, TakeANoteOfTheLongestLength)
{
    const std::string longest(1048576, 'n');
    const io::DesignFileContents c =
        io::parseDesignFile(sections + block("TNOT", rec(3, 2, longest)), "f.vok");
    const std::string* note = c.notes.find(TreeId::PV, c.trees[0].nodeAt(2));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->size(), longest.size());
}

} // namespace
