// The three columns are one table of rows: after every command the row the
// next one acts on is selected in all three, they scroll as one, and the
// keyboard stays in the column where the user works. Keys go through the
// window, as the user presses them.
#include "MainFormFixture.h"

#include "ui/NodeDelegate.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

namespace testing_app {
namespace {

using model::TreeId;

// Ten parts of eleven pieces: 120 rows, far more than the columns show at once.
std::vector<std::string> longOutline()
{
    std::vector<std::string> lines;
    for (int part = 0; part < 10; ++part) {
        lines.push_back("Part " + std::to_string(part));
        for (int piece = 0; piece < 11; ++piece)
            lines.push_back("  Piece " + std::to_string(part) + "." + std::to_string(piece));
    }
    return lines;
}

class ColumnsInStep : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        loadOutline(workspace->design(), longOutline());
        editing->actions().expandAll->trigger();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QCoreApplication::processEvents();
    }

    void press(QKeySequence keys) { QTest::keySequence(form->windowHandle(), keys); }
    QScrollBar* scrollBar(TreeId id) { return view(id)->verticalScrollBar(); }
    int rowEndingWith(const std::string& label)
    {
        const model::DesignTree& fr = workspace->design().tree(TreeId::FR);
        for (int row = 0; row < fr.size(); ++row)
            if (fr.nodeAt(row)->text().str().ends_with(label))
                return row;
        return -1;
    }

    // The row selected and current in all three, on screen, at one height.
    void expectInStep(int row)
    {
        const int y = view(TreeId::FR)->visualRect(features->columns->indexOfRow(TreeId::FR, row)).top();
        for (TreeId id : model::kAllTrees) {
            const QModelIndex index = features->columns->indexOfRow(id, row);
            EXPECT_EQ(selected(id), row) << "column " << model::index(id);
            EXPECT_EQ(view(id)->currentIndex(), index) << "column " << model::index(id);
            EXPECT_TRUE(view(id)->viewport()->rect().contains(view(id)->visualRect(index))) << "column " << model::index(id);
            EXPECT_EQ(view(id)->visualRect(index).top(), y) << "column " << model::index(id);
        }
    }

    // Every column at one scroll position, so that row k stands at one height in all three.
    void expectScrolledAlike(const char* after)
    {
        QCoreApplication::processEvents();
        const int top = scrollBar(TreeId::PV)->value();
        const int firstShown = features->columns->rowAt(TreeId::PV, QPoint(5, 2));
        for (TreeId id : model::kAllTrees) {
            EXPECT_EQ(scrollBar(id)->value(), top) << after << ", column " << model::index(id);
            EXPECT_EQ(features->columns->rowAt(id, QPoint(5, 2)), firstShown) << after << ", column " << model::index(id);
        }
    }
};

TEST_F(ColumnsInStep, DuplicateDropUndoAndRedoLeaveTheirRowSelectedInAllThree)
{
    clickRow(TreeId::FR, 1);
    press(QKeySequence(Qt::CTRL | Qt::Key_D));
    press(QKeySequence(Qt::Key_Escape));
    ASSERT_EQ(rowTags(workspace->design(), 12), "1.12 Piece 0.0 copy|1.12 Piece 0.0' copy|1.12 Piece 0.0'' copy");
    expectInStep(12);

    const int source = rowEndingWith("Piece 3.4");
    ASSERT_TRUE(dragRowOnto(TreeId::DP, source, rowEndingWith("Piece 7.7")));
    const int moved = rowEndingWith("Piece 3.4");
    ASSERT_NE(moved, source);
    expectInStep(moved);

    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    expectInStep(source);
    press(QKeySequence(Qt::CTRL | Qt::Key_Y));
    expectInStep(moved);
}

TEST_F(ColumnsInStep, WheelPageDownScrollBarAndResizeInOneColumnScrollAllThree)
{
    EXPECT_TRUE(eventually([&] { return scrollBar(TreeId::PV)->isVisible(); }));
    EXPECT_FALSE(scrollBar(TreeId::FR)->isVisible());
    EXPECT_FALSE(scrollBar(TreeId::DP)->isVisible());

    QWidget* fr = view(TreeId::FR)->viewport();
    const QPointF at(20, 20);
    QWheelEvent wheel(at, fr->mapToGlobal(at), {}, QPoint(0, -360), Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(fr, &wheel);
    EXPECT_GT(scrollBar(TreeId::FR)->value(), 0);
    expectScrolledAlike("wheel in FR");

    const int before = scrollBar(TreeId::PV)->value();
    clickRow(TreeId::DP, features->columns->rowAt(TreeId::DP, QPoint(5, 2)));
    press(QKeySequence(Qt::Key_PageDown));
    press(QKeySequence(Qt::Key_PageDown));
    EXPECT_GT(scrollBar(TreeId::DP)->value(), before);
    expectScrolledAlike("Page Down in DP");

    scrollBar(TreeId::PV)->setValue(scrollBar(TreeId::PV)->maximum());
    expectScrolledAlike("PV's scroll bar to the end");

    form->resize(form->width(), form->height() + 150);
    expectScrolledAlike("a taller window");
    editing->actions().expandAll->trigger(); // collapsed: every column shortened alike
    expectScrolledAlike("collapse all");

    // Enter shows the current row, hidden in a collapsed branch, before
    // editing it: the partners open that branch too.
    press(QKeySequence(Qt::Key_Return));
    ASSERT_TRUE(view(TreeId::DP)->isEditing());
    press(QKeySequence(Qt::Key_Escape));
    for (TreeId id : model::kAllTrees)
        EXPECT_TRUE(view(id)->isExpanded(view(id)->currentIndex().parent())) << "column " << model::index(id);
    expectScrolledAlike("Enter on a hidden row");
}

TEST_F(ColumnsInStep, FocusArrivingWithNoCurrentRowMakesTheSameRowCurrentInAllThree)
{
    view(TreeId::DP)->setFocus(Qt::TabFocusReason); // the view makes its first row current
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(view(id)->currentIndex(), features->columns->indexOfRow(id, 0)) << "column " << model::index(id);
}

struct TabCase {
    const char* name;
    TreeId began;
    std::vector<Qt::Key> moves; // Tab or Backtab in the editor
    Qt::Key end;                // Return or Escape
};

void PrintTo(const TabCase& c, std::ostream* os) { *os << c.name; }

class TabbedEdit : public ColumnsInStep, public ::testing::WithParamInterface<TabCase> {};

TEST_P(TabbedEdit, EndsWithTheKeyboardBackInTheColumnWhereItBeganAndItsFrameShowsIt)
{
    const TabCase& c = GetParam();
    clickRow(c.began, 3);
    press(QKeySequence(Qt::Key_Return)); // opens the label editor here
    for (Qt::Key key : c.moves)
        press(QKeySequence(key));
    ASSERT_FALSE(view(c.began)->isEditing());
    press(QKeySequence(c.end));
    for (TreeId id : model::kAllTrees)
        ASSERT_TRUE(eventually([&] { return !view(id)->isEditing(); })) << model::index(id);
    EXPECT_EQ(QApplication::focusWidget(), view(c.began));

    // Its frame, and no other, in the highlight colour.
    for (TreeId id : model::kAllTrees) {
        const QImage shot = view(id)->grab().toImage();
        for (int x : {0, 1})
            EXPECT_EQ(shot.pixelColor(x, shot.height() / 2) == ui::selectionEdge(), id == c.began)
                << "column " << model::index(id) << ", x " << x;
    }

    press(QKeySequence(Qt::Key_Down)); // the arrow moves in the column the edit began in
    EXPECT_EQ(editing->activeTree(), c.began);
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(selected(id), 4);
    press(QKeySequence(Qt::Key_F2)); // a new sibling, its label edited there too
    EXPECT_TRUE(view(c.began)->isEditing());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TabbedEdit,
    ::testing::Values(TabCase{"TabTwiceThenEnter", TreeId::FR, {Qt::Key_Tab, Qt::Key_Tab}, Qt::Key_Return},
                      TabCase{"ShiftTabThenEsc", TreeId::DP, {Qt::Key_Backtab}, Qt::Key_Escape},
                      TabCase{"TabRoundToTheFirstThenEnter", TreeId::PV, {Qt::Key_Tab}, Qt::Key_Return}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace testing_app
