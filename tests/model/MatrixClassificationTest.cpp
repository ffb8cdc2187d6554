// The independence rule on small matrices drawn as grids: row i is FR child
// i, column j DP child j; X affects, O does not, '.' not assessed, the
// diagonal ignored. Each case checks the classification, the order or the
// coupled groups, and the sentence shown under the grid (parent "1").
#include "model/MatrixClassification.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using model::CellValue;
using model::Coupling;

struct Case {
    const char* name;
    std::vector<std::string> grid;
    Coupling coupling;
    std::vector<std::uint32_t> order;
    std::vector<std::vector<std::uint32_t>> groups;
    const char* sentence;
};
void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::vector<model::IndexedCell> cellsOf(const std::vector<std::string>& grid)
{
    std::vector<model::IndexedCell> cells;
    for (std::uint32_t i = 0; i < grid.size(); ++i)
        for (std::uint32_t j = 0; j < grid.size(); ++j)
            if (i != j && grid[i][j] != '.')
                cells.push_back({i, j, grid[i][j] == 'X' ? CellValue::X : CellValue::O});
    return cells;
}

class Classify : public ::testing::TestWithParam<Case> {};

TEST_P(Classify, GivesTheCouplingAndTheSentence)
{
    const Case& c = GetParam();
    const model::Classification result =
        model::classify(static_cast<std::uint32_t>(c.grid.size()), cellsOf(c.grid));
    EXPECT_EQ(result.coupling, c.coupling);
    EXPECT_EQ(result.order, c.order);
    EXPECT_EQ(result.groups, c.groups);
    EXPECT_EQ(model::describe(result, model::MatrixKind::FrDp, "1"), c.sentence);
}

const Case kCases[] = {
    {"Uncoupled", {"XOO", "OXO", "OOX"}, Coupling::Uncoupled, {}, {}, "Uncoupled"},
    {"LowerTriangular", {"XOO", "XXO", "XXX"}, Coupling::Decoupled, {0, 1, 2}, {},
     "Decoupled: set DP 1.1, then 1.2, then 1.3"},
    {"UpperTriangular", {"XXX", "OXX", "OOX"}, Coupling::Decoupled, {2, 1, 0}, {},
     "Decoupled: set DP 1.3, then 1.2, then 1.1"},
    // DP 1.2 first, then 1.1, then 1.3: a triangle once rows and columns are permuted.
    {"PermutedTriangular", {"XXO", "OXO", "XXX"}, Coupling::Decoupled, {1, 0, 2}, {},
     "Decoupled: set DP 1.2, then 1.1, then 1.3"},
    // 1.1 waits for 1.3; of the two free at the start the lower goes first.
    {"LowestFreeFirst", {"XOX", "OXO", "OOX"}, Coupling::Decoupled, {1, 2, 0}, {},
     "Decoupled: set DP 1.2, then 1.3, then 1.1"},
    {"TwoCoupledGroups", {"XOXOO", "OXOXO", "XOXOO", "OOOXX", "OXOOX"}, Coupling::Coupled, {}, {{0, 2}, {1, 3, 4}},
     "Coupled: 1.1 and 1.3 affect each other; 1.2, 1.4 and 1.5 affect each other"},
    // 1.2 and 1.3 affect each other, and 1.1 waits for 1.2: only the cycle is named.
    {"CycleBesideAnOrder", {"XXO", "OXX", "OXX"}, Coupling::Coupled, {}, {{1, 2}},
     "Coupled: 1.2 and 1.3 affect each other"},
    {"Incomplete", {"XX.", "OX.", ".OX"}, Coupling::Incomplete, {}, {}, "3 of 6 cells not assessed"},
    // Missing cells win over a cycle among the assessed ones, which is named all the same.
    {"IncompleteWithACycle", {"XX.", "XX.", "..X"}, Coupling::Incomplete, {}, {{0, 1}},
     "4 of 6 cells not assessed; 1.1 and 1.2 already affect each other"},
};

INSTANTIATE_TEST_SUITE_P(Matrices, Classify, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(ClassifySentence, NamesPvForTheSecondMatrixAndTopLevelNumbersAlone)
{
    const model::Classification upper = model::classify(2, cellsOf({"XX", "OX"}));
    EXPECT_EQ(model::describe(upper, model::MatrixKind::DpPv, ""), "Decoupled: set PV 2, then 1");
    EXPECT_EQ(model::describe(upper, model::MatrixKind::FrDp, "3.1"), "Decoupled: set DP 3.1.2, then 3.1.1");
}

// The full matrix's positions are leaves under different parents: each is named by its own number.
TEST(ClassifySentence, NamesEachPositionByItsOwnNumberWhenGivenThem)
{
    const std::vector<std::string> leaves{"1.1", "1.2.1", "2"};
    const auto numberOf = [&leaves](std::uint32_t i) { return leaves[i]; };
    const model::Classification coupled = model::classify(3, cellsOf({"XOX", "OXO", "XOX"}));
    EXPECT_EQ(model::describe(coupled, model::MatrixKind::FrDp, numberOf), "Coupled: 1.1 and 2 affect each other");
    const model::Classification decoupled = model::classify(3, cellsOf({"XOO", "XXO", "OXX"}));
    EXPECT_EQ(model::describe(decoupled, model::MatrixKind::DpPv, numberOf), "Decoupled: set PV 1.1, then 1.2.1, then 2");
}

// A 200 x 200 matrix whose X cells form one long cycle through every child:
// the group is found without recursion, whatever the depth of the search.
TEST(ClassifyLarge, OneCycleThroughEveryChildIsOneGroup)
{
    constexpr std::uint32_t n = 200;
    std::vector<model::IndexedCell> cells;
    for (std::uint32_t i = 0; i < n; ++i)
        for (std::uint32_t j = 0; j < n; ++j)
            if (i != j)
                cells.push_back({i, j, j == (i + 1) % n ? CellValue::X : CellValue::O});
    const model::Classification result = model::classify(n, cells);
    ASSERT_EQ(result.coupling, Coupling::Coupled);
    ASSERT_EQ(result.groups.size(), 1u);
    EXPECT_EQ(result.groups[0].size(), n);
    EXPECT_EQ(result.groups[0].front(), 0u);
    EXPECT_EQ(result.groups[0].back(), n - 1);
}

} // namespace
