// Colour values: explicit 0x00BBGGRR, system colours through the palette
// table, and the top-byte rule for everything else.
#include "ui/SystemColours.h"

#include <gtest/gtest.h>

namespace {

// A palette in which every group and role has a colour of its own, so a
// wrong row in the table shows as a wrong colour.
QPalette distinctPalette()
{
    QPalette palette;
    int n = 1;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            if (role == QPalette::NoRole)
                continue;
            palette.setColor(group, QPalette::ColorRole(role), QColor(n * 3 % 256, n * 7 % 256, n));
            ++n;
        }
    }
    return palette;
}

struct SystemCase {
    std::uint32_t n;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    bool lighter;
};
void PrintTo(const SystemCase& c, std::ostream* os) { *os << "system colour " << c.n << ", group " << c.group << ", role " << c.role << (c.lighter ? ", lighter" : ""); }

class SystemColourTable : public testing::TestWithParam<SystemCase> {};

TEST_P(SystemColourTable, ResolvesToItsPaletteRole)
{
    const SystemCase c = GetParam();
    const QPalette palette = distinctPalette();
    QColor expected = palette.color(c.group, c.role);
    if (c.lighter)
        expected = expected.lighter(150);
    EXPECT_EQ(ui::resolveColour(0x80000000u + c.n, palette), expected) << "system colour " << c.n;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, SystemColourTable,
    testing::Values(SystemCase{0, QPalette::Active, QPalette::Midlight, false},
                    SystemCase{3, QPalette::Inactive, QPalette::Highlight, false},
                    SystemCase{5, QPalette::Active, QPalette::Base, false},
                    SystemCase{8, QPalette::Active, QPalette::WindowText, false},
                    SystemCase{13, QPalette::Active, QPalette::Highlight, false},
                    SystemCase{15, QPalette::Active, QPalette::Button, false},
                    SystemCase{17, QPalette::Disabled, QPalette::WindowText, false},
                    SystemCase{18, QPalette::Active, QPalette::ButtonText, false},
                    SystemCase{19, QPalette::Inactive, QPalette::HighlightedText, false},
                    SystemCase{21, QPalette::Active, QPalette::Shadow, false},
                    SystemCase{24, QPalette::Active, QPalette::ToolTipBase, false},
                    SystemCase{26, QPalette::Active, QPalette::Link, false},
                    SystemCase{27, QPalette::Active, QPalette::Highlight, true},
                    SystemCase{28, QPalette::Inactive, QPalette::Highlight, true},
                    SystemCase{30, QPalette::Active, QPalette::Window, false}),
    [](const auto& info) { return "SystemColour" + std::to_string(info.param.n); });

TEST(SystemColours, UnknownSystemColoursAreBlack)
{
    const QPalette palette = distinctPalette();
    for (std::uint32_t value : {0x80000000u + 25, 0x80000000u + 31, 0x80FFFFFFu})
        EXPECT_EQ(ui::resolveColour(value, palette), QColor(0, 0, 0)) << std::hex << value;
}

struct ExplicitCase {
    std::uint32_t value;
    QColor expected;
};
void PrintTo(const ExplicitCase& c, std::ostream* os) { *os << "colour value 0x" << std::hex << c.value << std::dec << " as " << c.expected.name().toStdString(); }

class ExplicitColour : public testing::TestWithParam<ExplicitCase> {};

TEST_P(ExplicitColour, DrawsItsLow24Bits)
{
    EXPECT_EQ(ui::resolveColour(GetParam().value, distinctPalette()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    TopByte, ExplicitColour,
    testing::Values(ExplicitCase{0x000000FFu, QColor(255, 0, 0)},    // red in the lowest byte
                    ExplicitCase{0x00FF0000u, QColor(0, 0, 255)},
                    ExplicitCase{0x00123456u, QColor(0x56, 0x34, 0x12)},
                    ExplicitCase{0x01123456u, QColor(0x56, 0x34, 0x12)},  // neither 0 nor 0x80
                    ExplicitCase{0xFF0000FFu, QColor(255, 0, 0)},
                    ExplicitCase{0x7F00FF00u, QColor(0, 255, 0)},
                    ExplicitCase{0x81000008u, QColor(8, 0, 0)}),
    [](const auto& info) { return "Value" + QString::number(info.param.value, 16).toUpper().rightJustified(8, '0').toStdString(); });

TEST(SystemColours, ColourValueIsBlueGreenRed)
{
    EXPECT_EQ(ui::toColourValue(QColor(0x12, 0x34, 0x56)), 0x00563412u);
    EXPECT_EQ(ui::toColourValue(QColor(255, 255, 255, 0)), 0x00FFFFFFu);
    EXPECT_EQ(ui::resolveColour(ui::toColourValue(QColor(1, 2, 3))), QColor(1, 2, 3));
}

} // namespace
