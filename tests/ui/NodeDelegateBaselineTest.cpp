// A label with characters the row's font lacks is drawn with a fallback font
// (a CJK one is much taller); the line must still sit on the row's baseline,
// level with its neighbours and the notes behind it.

#include "model/Design.h"
#include "ui/NodeDelegate.h"
#include "ui/TahomaFont.h"
#include "ui/TreeAdapter.h"

#include <QFontMetricsF>
#include <QTest>
#include <QTextLayout>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

// The second row, labelled `label` (UTF-8), as drawn below a plain first row
// in rows of one height, as the columns draw them.
QImage drawnRow(const char* label)
{
    model::Design design;
    design.addFirstRow();
    design.addSiblingBelow(0);
    design.editFullLabel(model::TreeId::FR, 1, label);
    ui::TreeAdapter adapter(design, model::TreeId::FR);
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setFont(ui::tahoma());
    view.setItemDelegate(new ui::NodeDelegate([](int) { return QColor(Qt::black); }, &view));
    view.setModel(&adapter);
    view.resize(400, 80);
    view.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QRect row = view.visualRect(adapter.index(1, 0));
    return view.viewport()->grab(row).toImage();
}

TEST(NodeDelegateBaseline, ALineInAFallbackFontSitsWhereItsNeighboursDo)
{
    const QString korean = QString::fromUtf8("\uC555\uB825");
    QTextLayout layout(korean, ui::tahoma());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1000);
    layout.endLayout();
    const qreal ascent = line.ascent();
    if (ascent <= QFontMetricsF(ui::tahoma()).ascent())
        GTEST_SKIP() << "no taller fallback font for Korean here";

    const QImage plain = drawnRow("Seal");
    const QImage mixed = drawnRow("Seal \xEC\x95\x95\xEB\xA0\xA5");
    ASSERT_EQ(plain.size(), mixed.size());
    // "2 Seal" is drawn first in both: its pixels must be the same.
    const int width = QFontMetrics(ui::tahoma()).horizontalAdvance("2 Seal");
    EXPECT_EQ(plain.copy(0, 0, width, plain.height()), mixed.copy(0, 0, width, mixed.height()));
}

} // namespace
