// What the information pane reads as a number: the same in every locale, and
// only finite numbers.
#include "ui/InformationPane.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

TEST(InformationPaneNumbers, ReadTheSameInEveryLocaleAndOnlyWhenFinite)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); // writes 1,5
    const struct {
        const char* text;
        double value;
    } read[] = {{"1.5", 1.5}, {"-2", -2}, {"1e3", 1000}, {" +4 ", 4}, {"0.000001", 1e-6}};
    for (const auto& c : read)
        EXPECT_EQ(ui::parseNumber(QString::fromLatin1(c.text)), c.value) << c.text;
    for (const char* text : {"", "1,5", "nan", "inf", "-infinity", "1e999", "0x10", "1.5.2", "+-2", "2 m", "abc"})
        EXPECT_EQ(ui::parseNumber(QString::fromLatin1(text)), std::nullopt) << text;
    QLocale::setDefault(before);
}

} // namespace

namespace {

// Tab walks the form as it reads, the kind between the unit and its numbers
// (made first, the kind once came before every field, and Tab from the unit
// left the pane while the numbers were disabled).
TEST(InformationPaneKeys, TabGoesFromTheUnitToTheKindAndItsNumbers)
{
    ui::InformationPane pane;
    std::vector<QString> names;
    QWidget* w = pane.findChild<QWidget*>(QStringLiteral("LowerEdit"));
    for (; w && names.size() < 6; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            names.push_back(w->objectName());
    const std::vector<QString> expected{"LowerEdit", "UpperEdit", "UnitEdit", "SystemKindBox", "FirstEdit", "SecondEdit"};
    EXPECT_EQ(names, expected);
}

} // namespace
