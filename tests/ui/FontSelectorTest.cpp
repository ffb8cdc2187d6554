// The font selector: its list, its fancy drawing and when its font follows
// the choice.
#include "ui/FancyFontDelegate.h"
#include "ui/TFontSelector.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using ui::TFontSelector;

QStringList entries(const QComboBox& box)
{
    QStringList names;
    for (int i = 0; i < box.count(); ++i)
        names << box.itemText(i);
    return names;
}

TEST(FontSelector, ListsTheInstalledFamiliesSortedAsAPickList)
{
    QWidget owner;
    TFontSelector selector(&owner);
    const QStringList names = entries(selector);
    ASSERT_GT(names.size(), 1);
    EXPECT_EQ(names, TFontSelector::installedFonts());
    for (qsizetype i = 1; i < names.size(); ++i)
        EXPECT_LT(QString::compare(names[i - 1], names[i], Qt::CaseInsensitive), 0) << names[i].toStdString();
    EXPECT_FALSE(selector.isEditable());
    EXPECT_EQ(selector.width(), 200);
    EXPECT_EQ(selector.parentWidget(), &owner);
}

TEST(FontSelector, WithoutAHandlerAChoiceChangesOnlyTheChoice)
{
    TFontSelector selector(nullptr);
    const QFont before = selector.font();
    EXPECT_EQ(selector.currentIndex(), -1);   // nothing chosen at first
    QTest::keyClick(&selector, Qt::Key_Down);
    QTest::keyClick(&selector, Qt::Key_Down);
    EXPECT_EQ(selector.currentIndex(), 1);
    EXPECT_EQ(selector.font(), before);
}

TEST(FontSelector, WithAHandlerTheFontFollowsBeforeTheHandlerRuns)
{
    TFontSelector selector(nullptr);
    QString seen;
    int calls = 0;
    selector.SetOnFontChanged([&](TFontSelector& sender) {
        seen = sender.font().family();
        ++calls;
    });
    QTest::keyClick(&selector, Qt::Key_Down);
    EXPECT_EQ(calls, 1);
    ASSERT_GE(selector.currentIndex(), 0);
    EXPECT_EQ(seen, selector.itemText(selector.currentIndex()));
    EXPECT_EQ(selector.font().family(), seen);
    EXPECT_TRUE(bool(selector.GetOnFontChanged()));
}

TEST(FontSelector, SwitchingFancyTextRefillsWithTheSameNames)
{
    TFontSelector selector(nullptr, true);
    const QStringList fancy = entries(selector);
    EXPECT_NE(qobject_cast<ui::FancyFontDelegate*>(selector.view()->itemDelegate()), nullptr);
    selector.setCurrentIndex(2);
    selector.SetFancyText(false);
    EXPECT_FALSE(selector.FancyText());
    EXPECT_EQ(entries(selector), fancy);
    EXPECT_EQ(qobject_cast<ui::FancyFontDelegate*>(selector.view()->itemDelegate()), nullptr);
    selector.setCurrentIndex(2);
    selector.SetFancyText(false);   // refilled even though nothing changed
    EXPECT_EQ(selector.currentIndex(), -1);
}

TEST(FontSelector, ASelectedEntryIsStillBlackOnWhite)
{
    TFontSelector selector(nullptr, true);
    QImage image(120, 16, QImage::Format_RGB32);
    image.fill(Qt::red);
    QStyleOptionViewItem option;
    option.rect = image.rect();
    option.state = QStyle::State_Selected | QStyle::State_Enabled;
    option.palette.setColor(QPalette::Highlight, Qt::red);
    QPainter painter(&image);
    ui::FancyFontDelegate delegate;
    delegate.paint(&painter, option, selector.model()->index(0, 0));
    painter.end();
    int white = 0, dark = 0, red = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            white += c == Qt::white;
            dark += c.lightness() < 80;
            red += c == Qt::red;
        }
    }
    EXPECT_EQ(red, 0);
    EXPECT_GT(white, image.width() * image.height() / 2);
    EXPECT_GT(dark, 5);
    EXPECT_EQ(delegate.sizeHint(option, selector.model()->index(0, 0)).height(), 16);
}

} // namespace
