// The options dialog's window, its style list, the level labels with the
// colour grid, the level-style table, and the colour strip of the font page.
#include "ui/ColourStrip.h"
#include "ui/FontStylePage.h"
#include "ui/TCColorGrid.h"
#include "ui/TFontSelector.h"
#include "ui/TLevelFonts.h"
#include "ui/TOptionsDlg.h"
#include "ui/UpDownEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <gtest/gtest.h>

namespace {

using ui::TOptionsDlg;

struct OptionsDialog : testing::Test {
    model::Design design;
    ui::TLevelFonts fonts{design};
    TOptionsDlg dialog{fonts, {"Settings", "Print"}};

    QLabel* label(int level) const { return dialog.levelLabel(level); }
    ui::ColourStrip* strip() const { return dialog.fontStylePage()->strip(); }
    QString readout() const
    {
        auto text = [this](const char* name) { return dialog.findChild<QLabel*>(name)->text(); };
        return text("RedLabel") + " " + text("GreenLabel") + " " + text("BlueLabel");
    }
    QColor swatch() const { return dialog.fontStylePage()->swatch()->palette().color(QPalette::Window); }
    void clickGrid(int square)
    {
        QTest::mouseClick(dialog.colourGrid(), Qt::LeftButton, {},
                          dialog.colourGrid()->squareRect(square).center());
    }
    void sendMouse(QWidget* to, QEvent::Type type, QPoint pos, Qt::MouseButtons held = Qt::LeftButton)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, pos, to->mapToGlobal(pos), button, held, {});
        QApplication::sendEvent(to, &event);
    }
};

TEST_F(OptionsDialog, IsAFixedWindowWithItsCaptionAndPlace)
{
    EXPECT_EQ(dialog.objectName(), "OptionsDlg");
    EXPECT_EQ(dialog.windowTitle(), "Tessaric Design Tool Options Dialogue");
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.pos(), QPoint(192, 107));
    EXPECT_FALSE(dialog.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    const auto* pages = dialog.findChild<QTabWidget*>();
    ASSERT_EQ(pages->count(), 3);
    EXPECT_EQ(pages->tabText(0), "XML Font Style");
    EXPECT_EQ(pages->tabText(1), "Directories");
    EXPECT_EQ(pages->tabText(2), "Node Colours");
    EXPECT_EQ(pages->currentIndex(), 0);
}

struct SectionCase {
    QStringList sections;
    QStringList listed;
};
void PrintTo(const SectionCase& c, std::ostream* os) { *os << "sections \"" << c.sections.join(QStringLiteral("\", \"")).toStdString() << '"'; }

class StyleList : public testing::TestWithParam<SectionCase> {};

TEST_P(StyleList, LeavesOutTheFirstSettingsSection)
{
    model::Design design;
    ui::TLevelFonts fonts(design);
    TOptionsDlg dialog(fonts, GetParam().sections);
    const auto* box = dialog.findChild<QListWidget*>("StylesBox");
    QStringList listed;
    for (int i = 0; i < box->count(); ++i)
        listed << box->item(i)->text();
    EXPECT_EQ(listed, GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(
    Sections, StyleList,
    testing::Values(SectionCase{{"Settings", "Print"}, {"Print"}}, SectionCase{{"Settings"}, {}},
                    SectionCase{{}, {}},
                    SectionCase{{"Report", "SETTINGS", "Settings"}, {"Report", "Settings"}}),
    [](const auto& info) {
        return info.param.sections.isEmpty() ? std::string("NoSections") : info.param.sections.join('_').toStdString();
    });

TEST_F(OptionsDialog, LevelLabelsStandWhereTheyBelong)
{
    const int tops[] = {40, 64, 89, 114, 139, 164, 188, 213, 238, 263, 288};
    for (int level = 0; level < model::kLevelCount; ++level) {
        EXPECT_EQ(label(level)->objectName(), QString("Label%1").arg(level + 1));
        EXPECT_EQ(label(level)->text(), QString("Level %1").arg(level));
        EXPECT_EQ(label(level)->pos(), QPoint(32, tops[level]));
    }
    EXPECT_TRUE(label(0)->font().bold());
    EXPECT_FALSE(label(1)->font().bold());
}

TEST_F(OptionsDialog, GridClickBeforeAnyLabelChangesNoFont)
{
    const auto before = fonts.styles();
    clickGrid(9);
    EXPECT_EQ(fonts.styles(), before);
    EXPECT_EQ(dialog.chosenLevel(), -1);
}

TEST_F(OptionsDialog, ClickingLevelThreePaintsItAtOnceAndBringsTheGridAlong)
{
    QTest::mouseClick(label(3), Qt::LeftButton);
    EXPECT_EQ(dialog.chosenLevel(), 3);
    EXPECT_EQ(fonts.style(3).colour, 0u);   // the grid's foreground, black
    EXPECT_EQ(label(3)->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    EXPECT_EQ(dialog.colourGrid()->pos(), QPoint(96, 98));
    const auto* left = dialog.findChild<QLabel*>("Image8");
    const auto* right = dialog.findChild<QLabel*>("Image9");
    EXPECT_EQ(left->geometry().topRight() + QPoint(1, 0), label(3)->pos());
    EXPECT_EQ(right->pos(), QPoint(label(3)->geometry().right() + 1, 114));
}

TEST_F(OptionsDialog, GridClickRecoloursTheChosenLabelOnly)
{
    QTest::mouseClick(label(3), Qt::LeftButton);
    clickGrid(9);   // red
    EXPECT_EQ(fonts.style(3).colour, 0x000000FFu);
    EXPECT_EQ(label(3)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(fonts.style(4).colour, model::kWindowTextColour);
}

TEST_F(OptionsDialog, ApplyCopiesTheLabelsIntoTheTableCuttingLongNames)
{
    fonts.setStyle(2, {1, 0x00FF00u, std::string(40, 'N'), 9, model::kUnderline});
    dialog.BitBtn2Click();
    EXPECT_EQ(model::styleOf(dialog.table().levels[2]),
              (model::LevelStyle{1, 0x00FF00u, std::string(31, 'N'), 9, model::kUnderline}));
    EXPECT_EQ(model::styleOf(dialog.table().levels[0]), fonts.style(0));
}

TEST_F(OptionsDialog, FormShowTakesTheTableKeepingNamesWhereItHasNone)
{
    model::HeaderRecord current{};
    current.levels[5].colour = 0x00FF0000u;
    current.levels[5].size = 11;
    dialog.loadTable(current);
    dialog.FormShow();
    EXPECT_EQ(fonts.style(5), (model::LevelStyle{0, 0x00FF0000u, "Tahoma", 11, 0}));
    EXPECT_EQ(fonts.style(0).style, 0);   // the table's style flags, bold gone
    EXPECT_EQ(dialog.findChild<QListWidget*>("StylesBox")->currentRow(), 0);
}

// Shows the dialog modally, lets `act` work in it, and closes it.
void runModal(TOptionsDlg& dialog, model::HeaderRecord& current, std::function<void()> act)
{
    QTimer::singleShot(0, &dialog, [&dialog, act] {
        act();
        dialog.reject();
    });
    dialog.openFor(current);
}

TEST_F(OptionsDialog, ClosingWithoutApplyHandsBackTheTableAsItWas)
{
    model::HeaderRecord current{};
    model::setFieldText(current.titles[0], "Functions");
    current.levels[3].colour = 0x00FF00u;
    current.reserved.size = 77;
    model::HeaderRecord opened = current;
    runModal(dialog, current, [&] {
        QTest::mouseClick(label(3), Qt::LeftButton);
        clickGrid(9);
    });
    EXPECT_EQ(current, opened);
    EXPECT_EQ(fonts.style(3).colour, 0x000000FFu);   // the label keeps its new colour
}

TEST_F(OptionsDialog, ApplyThenCloseHandsTheNewColoursBack)
{
    model::HeaderRecord current{};
    model::setFieldText(current.titles[1], "Parameters");
    runModal(dialog, current, [&] {
        QTest::mouseClick(label(3), Qt::LeftButton);
        clickGrid(12);
        dialog.BitBtn2Click();
    });
    EXPECT_EQ(current.levels[3].colour, 0x00FF0000u);
    EXPECT_EQ(model::fieldText(current.titles[1]), "Parameters");   // titles are not the table's
}

TEST(ColourBar, RunsThroughTheHuesFromRedBackToRed)
{
    const QImage bar = ui::ColourStrip::huePicture();
    ASSERT_EQ(bar.size(), QSize(280, 30));
    EXPECT_EQ(bar.pixelColor(0, 0), QColor(255, 0, 0));
    EXPECT_EQ(bar.pixelColor(279, 29), QColor(255, 0, 0));
    EXPECT_EQ(bar.pixelColor(93, 5), QColor(0, 0, 255));
    EXPECT_NEAR(bar.pixelColor(47, 0).hsvHue(), 300, 2);    // magenta
    EXPECT_NEAR(bar.pixelColor(140, 0).hsvHue(), 180, 2);   // cyan
    EXPECT_NEAR(bar.pixelColor(187, 0).hsvHue(), 120, 2);   // green
    EXPECT_NEAR(bar.pixelColor(233, 0).hsvHue(), 60, 2);    // yellow
}

TEST_F(OptionsDialog, PointerOverTheBarReadsItsColourInHex)
{
    QLabel* bar = strip()->bar();
    sendMouse(bar, QEvent::MouseMove, QPoint(0, 5), Qt::NoButton);
    EXPECT_EQ(readout(), "FF 00 00");
    sendMouse(bar, QEvent::MouseMove, QPoint(93, 10), Qt::NoButton);
    EXPECT_EQ(readout(), "00 00 FF");
    EXPECT_EQ(swatch(), QColor(Qt::white));   // moving never fills the swatch
    sendMouse(bar, QEvent::MouseMove, QPoint(285, 10), Qt::NoButton);   // right of the picture
    EXPECT_EQ(readout(), "00 00 FF");
}

TEST_F(OptionsDialog, SliderAtItsStartReadsTheYellowishGreenAtTwoHundredThree)
{
    EXPECT_EQ(readout(), "255 255 255");
    EXPECT_EQ(strip()->sliderCentre(), QPoint(203, 12));
    dialog.SplitterMoved();
    const QColor expected = strip()->picture().pixelColor(203, 12);
    EXPECT_EQ(expected, QColor(93, 255, 0));
    EXPECT_EQ(swatch(), expected);
    EXPECT_EQ(readout(), "5D FF 00");
}

TEST_F(OptionsDialog, DraggingTheSliderFillsTheSwatchAndStopsAtOnePixel)
{
    QWidget* slider = strip()->slider();
    sendMouse(slider, QEvent::MouseButtonPress, QPoint(3, 20));
    sendMouse(slider, QEvent::MouseMove, QPoint(23, 20));
    EXPECT_EQ(slider->x(), 220);
    EXPECT_EQ(strip()->spacer()->width(), 220);
    EXPECT_EQ(swatch(), strip()->picture().pixelColor(223, 12));
    sendMouse(slider, QEvent::MouseMove, QPoint(-400, 20));
    EXPECT_EQ(slider->x(), 1);
    sendMouse(slider, QEvent::MouseButtonRelease, QPoint(-400, 20), Qt::NoButton);
    EXPECT_EQ(swatch(), strip()->picture().pixelColor(4, 12));
}

TEST_F(OptionsDialog, TheStripDragsSidewaysCentredOnThePointer)
{
    ui::ColourStrip* panel = strip();
    const QPoint start = panel->pos();
    sendMouse(panel->bar(), QEvent::MouseButtonPress, QPoint(50, 5));   // the bar starts no drag
    sendMouse(panel, QEvent::MouseMove, QPoint(60, 20));
    EXPECT_EQ(panel->pos(), start);
    sendMouse(panel->bar(), QEvent::MouseButtonRelease, QPoint(50, 5), Qt::NoButton);

    sendMouse(panel, QEvent::MouseButtonPress, QPoint(250, 21));
    sendMouse(panel, QEvent::MouseMove, QPoint(260, 21));
    EXPECT_EQ(panel->pos(), QPoint(start.x() + 260 - 285 / 2, start.y()));
    sendMouse(panel, QEvent::MouseButtonRelease, QPoint(260, 21), Qt::NoButton);
    const QPoint dropped = panel->pos();
    sendMouse(panel, QEvent::MouseMove, QPoint(100, 21), Qt::NoButton);
    EXPECT_EQ(panel->pos(), dropped);
    EXPECT_EQ(panel->height(), 25);
}

TEST_F(OptionsDialog, OnlyTheWeightListShowsItsHint)
{
    dialog.show();
    auto askForTip = [](QWidget* w) {
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(w, &help);
    };
    auto* weight = dialog.findChild<QComboBox*>("FontWeightComboBox");
    askForTip(weight);
    EXPECT_EQ(QToolTip::text(), "Weight");
    dialog.findChild<QTabWidget*>()->setCurrentIndex(2);
    askForTip(label(0));   // kept as a hint, never shown: the weight tip stays
    EXPECT_EQ(label(0)->toolTip(), "Click to change the colour");
    EXPECT_EQ(QToolTip::text(), "Weight");
    EXPECT_EQ(weight->currentIndex(), -1);
    EXPECT_EQ(weight->count(), 13);
    dialog.hide();
}

TEST_F(OptionsDialog, FontPageHasTheFancyFontListInPlace)
{
    const ui::TFontSelector* selector = dialog.fontStylePage()->fontSelector();
    EXPECT_TRUE(selector->FancyText());
    EXPECT_EQ(selector->geometry().topLeft(), QPoint(12, 8));
    EXPECT_EQ(selector->width(), 233);
    EXPECT_FALSE(selector->GetOnFontChanged());
    EXPECT_EQ(dialog.findChild<QLineEdit*>("BrowserPathEdit")->text(),
              "C:\\Program Files\\Mozilla Firefox");
}

TEST(UpDownEdit, StepsFromTheTypedNumberWithinItsRange)
{
    ui::UpDownEdit lineHeight(0, 400, 25);
    lineHeight.step(1);
    EXPECT_EQ(lineHeight.edit()->text(), "25");
    lineHeight.edit()->setText("390");
    lineHeight.step(1);
    EXPECT_EQ(lineHeight.edit()->text(), "400");
    lineHeight.edit()->setText("tall");   // any text can be typed
    lineHeight.step(-1);
    EXPECT_EQ(lineHeight.edit()->text(), "375");
    lineHeight.edit()->setText("-2147483648");
    lineHeight.step(-1);
    EXPECT_EQ(lineHeight.position(), 0);
}

} // namespace
