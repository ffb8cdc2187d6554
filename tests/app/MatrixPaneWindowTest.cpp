// The design matrix pane in the window: the MatrixBtn and Ctrl+M, following
// the selected row, moving up and down between levels, a cell click as one
// undo step that sets the modified flag, cells staying with their rows
// through Move up, and a save and reopen.
#include "MainFormFixture.h"

#include "app/MatrixPaneController.h"
#include "app/UndoHistory.h"
#include "ui/MatrixPane.h"

#include <QHeaderView>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

namespace testing_app {
namespace {

using model::CellValue;
using model::MatrixKind;
using model::TreeId;

// 0 1 A       A has three children, C one; the top level has A and E
// 1   1.1 B
// 2   1.2 C
// 3     1.2.1 D
// 4   1.3 F
// 5 2 E
class MatrixPaneWindowTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        loadOutline(workspace->design(), {"1 A", "  1.1 B", "  1.2 C", "    1.2.1 D", "  1.3 F", "2 E"});
        workspace->design().setModified(false);
        editing->actions().expandAll->trigger();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    ui::MatrixPane* pane() const { return features->matrixPane; }
    ui::MatrixGrid* frDp() const { return pane()->grid(MatrixKind::FrDp); }
    QToolButton* button(const char* name) const { return form->findChild<QToolButton*>(name); }
    void press(QKeySequence keys) { QTest::keySequence(form->windowHandle(), keys); }
    void showPane()
    {
        QTest::mouseClick(button("MatrixBtn"), Qt::LeftButton);
        ASSERT_TRUE(pane()->isVisible());
    }
    // The pane catches up with a command once the event loop runs.
    bool paneShows(int parentRow, const QString& caption)
    {
        return eventually([&] { return pane()->parentRow() == parentRow && pane()->caption()->text() == caption; });
    }
    void clickCell(int row, int column)
    {
        const QModelIndex index = frDp()->model()->index(row, column);
        frDp()->scrollTo(index);
        QTest::mouseClick(frDp()->viewport(), Qt::LeftButton, {}, frDp()->visualRect(index).center());
    }
    QString shown(int row, int column) const { return frDp()->model()->index(row, column).data().toString(); }
    void keyOnRow(int row, Qt::Key key)
    {
        frDp()->setFocus();
        frDp()->setCurrentIndex(frDp()->model()->index(row, row == 0 ? 1 : 0));
        QTest::keyClick(frDp(), key);
    }
    void doubleClickRowHead(int row)
    {
        QHeaderView* heads = frDp()->verticalHeader();
        const QPoint at(heads->width() / 2, heads->sectionViewportPosition(row) + heads->sectionSize(row) / 2);
        QTest::mouseClick(heads->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(heads->viewport(), Qt::LeftButton, {}, at);
    }
};

TEST_F(MatrixPaneWindowTest, HiddenAtStartAndShownOrHiddenByTheButtonAtTheEndOfTheEditToolbarAndCtrlM)
{
    QToolButton* matrix = button("MatrixBtn");
    ASSERT_NE(matrix, nullptr);
    EXPECT_FALSE(pane()->isVisible());
    const QList<QAction*> edits = form->findChild<QToolBar*>("ToolBar1")->actions();
    EXPECT_EQ(edits.at(edits.size() - 4), features->matrix->toggle()); // the information, notes and flow buttons end it
    EXPECT_TRUE(matrix->isCheckable());
    EXPECT_EQ(matrix->toolTip(), "Design matrix");
    EXPECT_FALSE(matrix->icon().isNull());

    QTest::mouseClick(matrix, Qt::LeftButton);
    EXPECT_TRUE(pane()->isVisible());
    view(TreeId::FR)->setFocus();
    press(QKeySequence(Qt::CTRL | Qt::Key_M));
    EXPECT_FALSE(pane()->isVisible());
    EXPECT_FALSE(matrix->isChecked());
    press(QKeySequence(Qt::CTRL | Qt::Key_M));
    EXPECT_TRUE(pane()->isVisible());
}

TEST_F(MatrixPaneWindowTest, FollowsTheSelectedRowToTheLevelItsMatricesBelongTo)
{
    showPane();
    clickRow(TreeId::FR, 0); // A: its own children
    EXPECT_TRUE(paneShows(0, "Design matrix of 1 A"));
    EXPECT_EQ(frDp()->model()->rowCount(), 3);
    clickRow(TreeId::PV, 4); // F, a leaf: the level it belongs to
    EXPECT_TRUE(paneShows(0, "Design matrix of 1 A"));
    clickRow(TreeId::FR, 5); // E: the top level
    EXPECT_TRUE(paneShows(model::kNoRow, "Design matrix of the top level"));
    EXPECT_EQ(frDp()->model()->headerData(1, Qt::Vertical).toString(), "2 E");
    clickRow(TreeId::DP, 3); // D, the only child of C: no matrix
    EXPECT_TRUE(paneShows(2, "Design matrix of 1.2 C"));
    EXPECT_EQ(pane()->message(), ui::MatrixPane::kNoMatrix);
}

// Every top row has two children, so no selected row brings up the top level:
// the pane's own moves reach it, and leave the trees' selection alone.
TEST_F(MatrixPaneWindowTest, MovesDownByEnterOrADoubleClickOnARowHeadAndUpByBackspaceOrTheButton)
{
    loadOutline(workspace->design(), {"1 A", "  1.1 B", "  1.2 C", "    1.2.1 D", "    1.2.2 G", "2 E", "  2.1 H", "  2.2 I"});
    editing->actions().expandAll->trigger();
    showPane();
    clickRow(TreeId::FR, 0);
    ASSERT_TRUE(paneShows(0, "Design matrix of 1 A"));
    EXPECT_TRUE(pane()->upButton()->isEnabled());
    EXPECT_EQ(pane()->upButton()->text(), "Up one level");

    keyOnRow(0, Qt::Key_Backspace);
    ASSERT_TRUE(paneShows(model::kNoRow, "Design matrix of the top level"));
    EXPECT_FALSE(pane()->upButton()->isEnabled());
    EXPECT_EQ(frDp()->model()->headerData(1, Qt::Vertical).toString(), "2 E");
    clickCell(0, 1); // the level holds through a change of its cells
    EXPECT_TRUE(eventually([&] { return shown(0, 1) == "X"; }));
    EXPECT_EQ(pane()->parentRow(), model::kNoRow);

    keyOnRow(1, Qt::Key_Return);
    EXPECT_TRUE(paneShows(5, "Design matrix of 2 E"));
    keyOnRow(0, Qt::Key_Return); // H has no children: nothing below
    QCoreApplication::processEvents();
    EXPECT_EQ(pane()->parentRow(), 5);

    QTest::mouseClick(pane()->upButton(), Qt::LeftButton);
    ASSERT_TRUE(paneShows(model::kNoRow, "Design matrix of the top level"));
    doubleClickRowHead(0);
    ASSERT_TRUE(paneShows(0, "Design matrix of 1 A"));
    doubleClickRowHead(1);
    EXPECT_TRUE(paneShows(2, "Design matrix of 1.2 C"));
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(selected(id), 0);

    clickRow(TreeId::DP, 5); // a row selected in the trees takes the pane along again
    EXPECT_TRUE(paneShows(5, "Design matrix of 2 E"));
}

TEST_F(MatrixPaneWindowTest, ACellClickIsOneUndoStepThatSetsTheModifiedFlag)
{
    showPane();
    clickRow(TreeId::FR, 0);
    ASSERT_TRUE(paneShows(0, "Design matrix of 1 A"));
    clickCell(0, 2);
    const model::Node* a = workspace->design().matrixParent(0);
    EXPECT_EQ(workspace->design().matrices().cell(a, MatrixKind::FrDp, a->children[0], a->children[2]), CellValue::X);
    EXPECT_EQ(workspace->history().undoText(), "Edit matrix cell");
    EXPECT_TRUE(workspace->design().modified());
    EXPECT_TRUE(eventually([&] { return shown(0, 2) == "X"; }));

    view(TreeId::FR)->setFocus();
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_TRUE(workspace->design().matrices().empty());
    EXPECT_FALSE(workspace->design().modified());
    EXPECT_TRUE(eventually([&] { return shown(0, 2).isEmpty(); }));
    press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_TRUE(eventually([&] { return shown(0, 2) == "X"; }));
    EXPECT_EQ(pane()->classification(MatrixKind::FrDp)->text(), "5 of 6 cells not assessed");
}

TEST_F(MatrixPaneWindowTest, MoveUpTakesTheCellsAlongAndSaveAndReopenBringThemBack)
{
    showPane();
    clickRow(TreeId::FR, 0);
    ASSERT_TRUE(paneShows(0, "Design matrix of 1 A"));
    clickCell(0, 2); // B is affected by F's parameter
    clickRow(TreeId::FR, 4); // F
    QTest::mouseClick(button("MoveUpBtn"), Qt::LeftButton);
    ASSERT_EQ(rowTags(workspace->design(), 2), "1.2 F|1.2 F'|1.2 F''");
    EXPECT_TRUE(eventually([&] { return shown(0, 1) == "X" && shown(0, 2).isEmpty(); }));
    EXPECT_EQ(frDp()->model()->headerData(1, Qt::Vertical).toString(), "1.2 F");

    QTemporaryDir dir;
    const QString path = dir.filePath("pump.vok");
    prompter->savePaths.push_back(path);
    files->actions().saveAs->trigger();
    files->openAtStart(QFile::encodeName(path).toStdString());
    ASSERT_TRUE(prompter->errors.empty()) << prompter->errors.front().toStdString();
    EXPECT_EQ(workspace->design().matrices().cellCount(), 1u);
    clickRow(TreeId::FR, 0);
    EXPECT_TRUE(eventually([&] { return shown(0, 1) == "X"; }));
}

} // namespace
} // namespace testing_app
