// The dialog level fonts through the moments that read and write them:
// building, first show, opening a design file, saving.
#include "model/Design.h"
#include "ui/TLevelFonts.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

using model::LevelStyle;

model::HeaderRecord headerWith(const LevelStyle& style)
{
    model::HeaderRecord header{};
    for (auto& record : header.levels)
        model::storeStyle(record, style);
    return header;
}

TEST(LevelFonts, StartWithTheDialogDefaults)
{
    model::Design design;
    const ui::TLevelFonts fonts(design);
    EXPECT_EQ(fonts.style(0), (LevelStyle{0, model::kWindowTextColour, "Tahoma", 8, model::kBold}));
    for (int level = 1; level < model::kLevelCount; ++level)
        EXPECT_EQ(fonts.style(level), (LevelStyle{0, 0x80000008u, "Tahoma", 8, 0})) << level;
}

TEST(LevelFonts, BlackenSetsEveryColourToZeroAndNothingElse)
{
    model::Design design;
    ui::TLevelFonts fonts(design);
    QSignalSpy changed(&fonts, &ui::TLevelFonts::changed);
    design.look().takeLoadedLook(); // the first show
    EXPECT_EQ(changed.count(), 1);
    for (int level = 0; level < model::kLevelCount; ++level) {
        LevelStyle expected = model::DesignLook::defaultStyle(level);
        expected.colour = 0;
        EXPECT_EQ(fonts.style(level), expected);
    }
}

TEST(LevelFonts, SavingWithoutOpeningWritesTahomaEightBlack)
{
    model::Design design;
    ui::TLevelFonts fonts(design);
    design.look().takeLoadedLook(); // the first show
    model::HeaderRecord header{};
    fonts.fillHeader(header);
    EXPECT_EQ(model::styleOf(header.levels[0]), (LevelStyle{0, 0, "Tahoma", 8, model::kBold}));
    EXPECT_EQ(model::styleOf(header.levels[10]), (LevelStyle{0, 0, "Tahoma", 8, 0}));
}

TEST(LevelFonts, TakingFromAHeaderWithAnEmptyNameKeepsTheName)
{
    model::Design design;
    ui::TLevelFonts fonts(design);
    const LevelStyle read{2, 0x000000FFu, "", 12, model::kItalic};
    design.look().opened(headerWith(read));
    for (int level = 0; level < model::kLevelCount; ++level)
        EXPECT_EQ(fonts.style(level), (LevelStyle{2, 0x000000FFu, "Tahoma", 12, model::kItalic}));
}

TEST(LevelFonts, KeepEveryFieldExactlyAsRead)
{
    model::Design design;
    ui::TLevelFonts fonts(design);
    const LevelStyle odd{0xEE, 0x81ABCDEFu, "Courier New", -7, 0xF5};
    design.look().opened(headerWith(odd));
    EXPECT_EQ(fonts.style(4), odd);
    model::HeaderRecord saved{};
    fonts.fillHeader(saved);
    EXPECT_EQ(model::styleOf(saved.levels[4]), odd);
    fonts.takeStyle(4, {0, 0, "X", 0, 0});
    EXPECT_EQ(fonts.style(4).size, 0);
}

TEST(LevelFonts, AFortyCharacterFaceIsStoredCutToThirtyOne)
{
    model::Design design;
    ui::TLevelFonts fonts(design);
    const std::string forty(40, 'F');
    fonts.setStyle(3, {0, 0, forty, 8, 0});
    EXPECT_EQ(fonts.style(3).name, forty);
    model::HeaderRecord header{};
    fonts.fillHeader(header);
    EXPECT_EQ(model::fieldText(header.levels[3].name), std::string(31, 'F'));
}

TEST(LevelFonts, OnlyTheShownFontFallsBack)
{
    QFont base("DejaVu Sans", 9);
    const QFont zero = ui::TLevelFonts::displayFont({0, 0, "", 0, 0xF0}, base);
    EXPECT_EQ(zero.family(), base.family());
    EXPECT_EQ(zero.pointSize(), 9);
    EXPECT_FALSE(zero.bold() || zero.italic() || zero.underline() || zero.strikeOut());

    const QFont all = ui::TLevelFonts::displayFont({0, 0, "Serif", 14, 0x0F}, base);
    EXPECT_EQ(all.family(), "Serif");
    EXPECT_EQ(all.pointSize(), 14);
    EXPECT_TRUE(all.bold() && all.italic() && all.underline() && all.strikeOut());
    EXPECT_EQ(ui::TLevelFonts::displayFont({0, 0, "X", -12, 0}, base).pointSize(), 9);
}

TEST(LevelFonts, RefuseALevelOutsideZeroToTen)
{
    model::Design design;
    ui::TLevelFonts fonts(design);
    EXPECT_THROW(fonts.setColour(11, 0), std::out_of_range);
    EXPECT_THROW(static_cast<void>(fonts.style(-1)), std::out_of_range);
}

} // namespace
