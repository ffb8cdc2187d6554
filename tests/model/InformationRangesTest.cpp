// The probability of success, the information content and the design's total,
// against cases worked out by hand.
#include "model/Design.h"
#include "model/InformationRanges.h"
#include "model/UserError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using model::FrRanges;
using model::SystemKind;

constexpr double kInf = std::numeric_limits<double>::infinity();

FrRanges ranges(std::optional<double> lower, std::optional<double> upper, SystemKind kind, double a, double b)
{
    FrRanges r;
    r.design = {lower.has_value(), upper.has_value(), lower.value_or(0), upper.value_or(0), {}};
    r.system = {kind, a, b};
    return r;
}

struct Case {
    const char* name;
    FrRanges ranges;
    double p;
};

const Case kCases[] = {
    {"UniformOverlapsPart", ranges(5, 12, SystemKind::Uniform, 6, 14), 0.75},
    {"UniformInside", ranges(0, 12, SystemKind::Uniform, 1, 11), 1.0},
    {"UniformMisses", ranges(0, 12, SystemKind::Uniform, 13, 20), 0.0},
    {"UniformTouchesTheBound", ranges(0, 12, SystemKind::Uniform, 12, 20), 0.0},
    {"UniformAtLeast", ranges(5, std::nullopt, SystemKind::Uniform, 0, 10), 0.5},
    {"UniformAtMost", ranges(std::nullopt, 2, SystemKind::Uniform, 0, 10), 0.2},
    {"PointOnTheBound", ranges(5, 12, SystemKind::Uniform, 12, 12), 1.0},
    {"PointOutside", ranges(5, 12, SystemKind::Uniform, 12.5, 12.5), 0.0},
    // Phi(1) - Phi(-1) and Phi(1.96) - Phi(-1.96), from the tables.
    {"NormalOneSigmaEachSide", ranges(37, 43, SystemKind::Normal, 40, 3), 0.682689492},
    {"NormalBothBounds", ranges(35, 45, SystemKind::Normal, 40, 5 / 1.96), 0.950004210},
    {"NormalUpperOnly", ranges(std::nullopt, 40, SystemKind::Normal, 40, 3), 0.5},
    {"NormalLowerOnly", ranges(43, std::nullopt, SystemKind::Normal, 40, 3), 0.158655254},
    // Far out in a tail: no two values near 1 are subtracted.
    {"NormalFarTail", ranges(10, 11, SystemKind::Normal, 0, 1), 7.6196620e-24},
};

TEST(InformationRanges, ProbabilityOfSuccessAsWorkedOutByHand)
{
    for (const Case& c : kCases) {
        const double p = model::probabilityOfSuccess(c.ranges);
        EXPECT_NEAR(p, c.p, std::max(1e-9, c.p * 1e-6)) << c.name;
    }
}

TEST(InformationRanges, InformationContentAndItsTexts)
{
    EXPECT_EQ(model::informationBits(1.0), 0.0);
    EXPECT_EQ(model::informationBits(0.0), kInf);
    EXPECT_EQ(model::bitsText(model::informationBits(0.75)), "0.415");
    EXPECT_EQ(model::bitsText(kInf), "inf");
    EXPECT_EQ(model::designRangeText({true, true, 5, 12, "l/min"}), "5 to 12 l/min");
    EXPECT_EQ(model::designRangeText({true, false, 5, 0, "l/min"}), "at least 5 l/min");
    EXPECT_EQ(model::designRangeText({false, true, 0, 12.5, ""}), "at most 12.5");
    EXPECT_EQ(model::systemRangeText({SystemKind::Uniform, 6, 11}), "uniform 6 to 11");
    EXPECT_EQ(model::systemRangeText({SystemKind::Normal, 8.5, 1.2}), "normal 8.5 \xB1 1.2");
}

TEST(InformationRanges, RangesThatCannotBeKeptAreRefusedAndNothingIsStored)
{
    model::Design design;
    design.addFirstRow();
    design.setModified(false);
    const FrRanges refused[] = {
        ranges(12, 5, SystemKind::None, 0, 0),
        ranges(5, 12, SystemKind::Uniform, 11, 6),
        ranges(5, 12, SystemKind::Normal, 8, 0),
        ranges(5, 12, SystemKind::Normal, 8, -1),
        ranges(std::nan(""), 12, SystemKind::None, 0, 0),
        ranges(5, kInf, SystemKind::None, 0, 0),
    };
    for (const FrRanges& r : refused)
        EXPECT_THROW(design.setRanges(0, r), model::UserError);
    FrRanges longUnit = ranges(5, 12, SystemKind::None, 0, 0);
    longUnit.design.unit = std::string(17, 'm');
    EXPECT_THROW(design.setRanges(0, longUnit), model::UserError);
    EXPECT_TRUE(design.ranges().empty());
    EXPECT_FALSE(design.modified());
}

// 1 A          A has both ranges and so does its child B: only B counts
//   1.1 B
//   1.2 C      C has a design range only: it does not count
// 2 D          D counts
class InformationTotal : public ::testing::Test {
protected:
    void SetUp() override
    {
        design.addFirstRow();                      // 0 A
        design.addChild(0);                        // 1 B
        design.addSiblingBelow(1);                 // 2 C
        design.addSiblingBelow(0);                 // 3 D
        design.setRanges(0, ranges(0, 1, SystemKind::Uniform, 0, 4));  // 2 bits, hidden by B
        design.setRanges(1, ranges(0, 1, SystemKind::Uniform, 0, 2));  // 1 bit
        design.setRanges(2, ranges(0, 1, SystemKind::None, 0, 0));
        design.setRanges(3, ranges(0, 1, SystemKind::Uniform, 0, 8));  // 3 bits
        for (model::MatrixKind kind : model::kMatrixKinds)
            for (int parent : {model::kNoRow, 0})
                for (int i = 0; i < 2; ++i)
                    design.setMatrixCell(parent, kind, i, 1 - i, model::CellValue::O);
    }
    model::InformationTotal total() const
    {
        return model::informationTotal(design.tree(model::TreeId::FR), design.matrices(), design.ranges());
    }
    model::Design design;
};

TEST_F(InformationTotal, CountsTheLowestRowsWithBothRanges)
{
    const model::InformationTotal t = total();
    EXPECT_DOUBLE_EQ(t.bits, 4.0);
    EXPECT_EQ(t.rows, 2u);
    EXPECT_TRUE(t.exact);
}

TEST_F(InformationTotal, IsNotExactWhenAMatrixAboveACountedRowIsNotUncoupled)
{
    // C's matrix has no children, and FR-DP alone counts: a DP-PV X changes nothing.
    design.setMatrixCell(model::kNoRow, model::MatrixKind::DpPv, 0, 1, model::CellValue::X);
    EXPECT_TRUE(total().exact);
    design.setMatrixCell(0, model::MatrixKind::FrDp, 0, 1, model::CellValue::X); // decoupled, above B
    EXPECT_FALSE(total().exact);
    design.setMatrixCell(0, model::MatrixKind::FrDp, 0, 1, model::CellValue::O);
    design.setMatrixCell(model::kNoRow, model::MatrixKind::FrDp, 0, 1, model::CellValue::NotAssessed);
    EXPECT_FALSE(total().exact); // incomplete at the top
}

TEST_F(InformationTotal, IsInfiniteWhenACountedRowMisses)
{
    design.setRanges(3, ranges(0, 1, SystemKind::Uniform, 2, 3));
    EXPECT_EQ(total().bits, kInf);
    // Deleting B lets A count in its place.
    design.deleteRow(1);
    design.setRanges(2, ranges(0, 1, SystemKind::Uniform, 0, 8));
    EXPECT_DOUBLE_EQ(total().bits, 5.0);
    EXPECT_EQ(total().rows, 2u);
}

} // namespace
