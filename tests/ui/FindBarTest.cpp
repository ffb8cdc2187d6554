// The find bar's keys and count, and the marks the node drawing lays under
// found characters.

#include "model/Design.h"
#include "ui/FindBar.h"
#include "ui/NodeDelegate.h"
#include "ui/TreeAdapter.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

// The window tests go through Return, Shift+Return, the next arrow and
// Escape in the field; here the keys and buttons they leave out.
TEST(FindBar, KeypadEnterThePreviousArrowAndEscapeFromAButton)
{
    ui::FindBar bar;
    bar.open();
    QSignalSpy next(&bar, &ui::FindBar::nextRequested);
    QSignalSpy previous(&bar, &ui::FindBar::previousRequested);
    QSignalSpy closed(&bar, &ui::FindBar::closed);
    QTest::keyClicks(bar.field(), "pu");
    QTest::keyClick(bar.field(), Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(bar.field(), Qt::Key_Enter, Qt::KeypadModifier | Qt::ShiftModifier);
    QTest::mouseClick(bar.previousButton(), Qt::LeftButton);
    EXPECT_EQ(next.count(), 1);
    EXPECT_EQ(previous.count(), 2);
    EXPECT_EQ(bar.query(), "pu"); // Enter does not reach the field
    QTest::keyClick(bar.previousButton(), Qt::Key_Escape);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(bar.isHidden());

    // Opened again, the old query is selected, so that typing replaces it.
    bar.open();
    EXPECT_EQ(bar.field()->selectedText(), "pu");
    bar.showCount(0, 0);
    EXPECT_EQ(bar.countLabel()->text(), "No matches");
    bar.field()->clear();
    bar.showCount(0, 0);
    EXPECT_EQ(bar.countLabel()->text(), "");
}

// How many pixels of `colour` the view shows.
int pixelsOf(QTreeView& view, const QColor& colour)
{
    const QImage image = view.viewport()->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

TEST(NodeDelegateMarks, LieUnderTheFoundCharactersOnly)
{
    model::Design design;
    design.addFirstRow();
    design.editText(model::TreeId::FR, 0, "1 Pump housing");
    ui::TreeAdapter adapter(design, model::TreeId::FR);
    QTreeView view;
    auto* delegate = new ui::NodeDelegate([](int) { return QColor(Qt::black); }, &view);
    view.setModel(&adapter);
    view.setItemDelegate(delegate);
    view.resize(300, 100);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(pixelsOf(view, ui::kFoundMark), 0);

    // "Pump": characters 2 to 5 of "1 Pump housing".
    ui::TextMark mark{2, 4, false};
    delegate->setMarkFinder([&](const QModelIndex&) { return mark; });
    const int found = pixelsOf(view, ui::kFoundMark);
    EXPECT_GT(found, 0);
    EXPECT_EQ(pixelsOf(view, ui::kCurrentFoundMark), 0);

    // The whole label ("Pump housing") is wider than its first word.
    mark = {2, 12, true};
    EXPECT_GT(pixelsOf(view, ui::kCurrentFoundMark), found);
    EXPECT_EQ(pixelsOf(view, ui::kFoundMark), 0);

    delegate->setMarkFinder({});
    EXPECT_EQ(pixelsOf(view, ui::kCurrentFoundMark), 0);
}

} // namespace
