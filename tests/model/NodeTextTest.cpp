// Node texts borrowed from a file's bytes must never write into them: the
// same bytes may back another tree's texts (sections may overlap).
#include "model/NodeText.h"

#include <gtest/gtest.h>

namespace {

using model::NodeText;

TEST(NodeText, ChangingABorrowedTextLeavesTheFileBytesAlone)
{
    const std::string file = "1.2 Pump\r\n";
    NodeText text;
    text.borrow(std::string_view(file).substr(0, 8));
    EXPECT_FALSE(text.owned());

    text.erasePrefix(4); // dropping a prefix only looks further into the bytes
    EXPECT_EQ(text, "Pump");
    EXPECT_FALSE(text.owned());

    text.replacePrefix(0, "10.1 ");
    EXPECT_EQ(text, "10.1 Pump");
    EXPECT_TRUE(text.owned());
    text.append(" copy");
    EXPECT_EQ(text, "10.1 Pump copy");
    EXPECT_EQ(file, "1.2 Pump\r\n");
}

struct PrefixCase {
    const char* name;
    const char* before;
    std::size_t oldLength;
    const char* prefix;
    const char* after;
};
void PrintTo(const PrefixCase& c, std::ostream* os) { *os << c.name; }

class NodeTextPrefix : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(NodeTextPrefix, ReplacesThePrefixOfAnOwnedText)
{
    const PrefixCase c = GetParam();
    NodeText text(c.before);
    text.replacePrefix(c.oldLength, c.prefix);
    EXPECT_EQ(text, c.after);
}

INSTANTIATE_TEST_SUITE_P(Cases, NodeTextPrefix,
                         ::testing::Values(PrefixCase{"LongerNumber", "9 Valve", 2, "10 ", "10 Valve"},
                                           PrefixCase{"ShorterNumber", "10 Valve", 3, "9 ", "9 Valve"},
                                           PrefixCase{"NumberIntoEmptyText", "", 0, "1 ", "1 "},
                                           PrefixCase{"NumberRemovedLeavesNothing", "1 ", 2, "", ""},
                                           PrefixCase{"DeepNumberBeforeText", "Pump", 0, "1.1.1.1.1.1.1 ", "1.1.1.1.1.1.1 Pump"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NodeText, MovesAndEmptiesWithoutLeavingDanglingBytes)
{
    NodeText a("Motor housing");
    NodeText b(std::move(a));
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(b, "Motor housing");
    b.erasePrefix(b.size());
    EXPECT_TRUE(b.empty());
    EXPECT_FALSE(b.owned());
}

} // namespace
