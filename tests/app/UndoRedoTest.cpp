// Undo and redo in the window: the buttons and keys, their disabled states
// and hints, the row selected afterwards, the modified flag against the saved
// state, label and title edits as steps, and editors keeping their own keys.

#include "MainFormFixture.h"

#include "app/UndoHistory.h"

#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>

namespace testing_app {
namespace {

using model::TreeId;

// 0 A   1 B   2 C   3 D (under C)   4 E
class UndoRedoTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        loadOutline(workspace->design(), {"A", "  B", "  C", "    D", "  E"});
        workspace->design().renumber();
        workspace->design().setModified(false);
        editing->actions().expandAll->trigger();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    QToolButton* button(const char* name) { return form->findChild<QToolButton*>(name); }
    void press(QKeySequence keys) { QTest::keySequence(form->windowHandle(), keys); }
    std::vector<std::string> rows()
    {
        std::vector<std::string> out;
        for (int row = 0; row < workspace->design().rowCount(); ++row)
            out.push_back(rowTags(workspace->design(), row));
        return out;
    }
};

TEST_F(UndoRedoTest, DeleteUndoneByCtrlZComesBackWithItsNumbersAndRedoneByCtrlY)
{
    const std::vector<std::string> before = rows();
    clickRow(TreeId::FR, 2); // C with its child D
    QTest::mouseClick(button("DeleteBtn"), Qt::LeftButton);
    clickRow(TreeId::FR, 2); // renumbers E to 1.2: not a step of its own
    EXPECT_EQ(rowTags(workspace->design(), 2), "1.2 E|1.2 E'|1.2 E''");
    const std::vector<std::string> after = rows();

    view(TreeId::FR)->setFocus();
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(rows(), before); // the subtree and the numbers as they were
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(selected(id), 2) << model::index(id);
    EXPECT_FALSE(workspace->design().modified()); // back at the state of the last open

    press(QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(rows(), after);
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(rows(), after);
    EXPECT_TRUE(workspace->design().modified());
}

TEST_F(UndoRedoTest, ButtonsAreDisabledWithNothingToDoAndNameTheStep)
{
    EXPECT_FALSE(button("UndoBtn")->isEnabled());
    EXPECT_FALSE(button("RedoBtn")->isEnabled());
    clickRow(TreeId::DP, 1);
    QTest::mouseClick(button("AddChildBtn"), Qt::LeftButton);
    EXPECT_TRUE(button("UndoBtn")->isEnabled());
    EXPECT_EQ(button("UndoBtn")->toolTip(), "Undo Add child");
    EXPECT_FALSE(button("RedoBtn")->isEnabled());

    QTest::mouseClick(button("UndoBtn"), Qt::LeftButton); // the open editor is confirmed first
    EXPECT_EQ(workspace->design().rowCount(), 5);
    EXPECT_FALSE(button("UndoBtn")->isEnabled());
    EXPECT_TRUE(button("RedoBtn")->isEnabled());
    EXPECT_EQ(button("RedoBtn")->toolTip(), "Redo Add child");
    QTest::mouseClick(button("RedoBtn"), Qt::LeftButton);
    EXPECT_EQ(workspace->design().rowCount(), 6);
    EXPECT_EQ(selected(TreeId::PV), 2); // the new row again
}

TEST_F(UndoRedoTest, UndoBackToTheSavedStateClearsTheModifiedFlag)
{
    QTemporaryDir dir;
    clickRow(TreeId::FR, 1);
    editing->moveDown();
    prompter->savePaths.push_back(dir.filePath("saved.vok"));
    files->save();
    EXPECT_FALSE(workspace->design().modified());
    editing->moveDown();
    EXPECT_TRUE(workspace->design().modified());
    editing->undo();
    EXPECT_FALSE(workspace->design().modified()); // the state of the save
    editing->undo();
    EXPECT_TRUE(workspace->design().modified()); // before the save
    editing->redo();
    EXPECT_FALSE(workspace->design().modified());
}

TEST_F(UndoRedoTest, LabelAndTitleEditsAreStepsOfTheirOwn)
{
    clickRow(TreeId::DP, 4);
    view(TreeId::DP)->setFocus();
    QTest::keyClick(view(TreeId::DP), Qt::Key_Return);
    auto* editor = view(TreeId::DP)->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    typeText(editor, "Pump");
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_TRUE(eventually([&] { return text(TreeId::DP, 4) == "1.3 Pump"; }));
    EXPECT_EQ(workspace->history().undoText(), "Edit label");

    QLineEdit* title = features->titleBar->edit(TreeId::PV);
    title->setFocus();
    title->selectAll();
    typeText(title, "Steps");
    QTest::keyClick(title, Qt::Key_Return); // finishes the edit
    EXPECT_EQ(workspace->history().undoText(), "Edit title");

    editing->undo();
    EXPECT_EQ(title->text(), "Process Variables");
    EXPECT_EQ(workspace->design().title(TreeId::PV), "Process Variables");
    editing->undo();
    EXPECT_EQ(text(TreeId::DP, 4), "1.3 E'");
    editing->redo();
    editing->redo();
    EXPECT_EQ(text(TreeId::DP, 4), "1.3 Pump");
    EXPECT_EQ(title->text(), "Steps");
}

TEST_F(UndoRedoTest, InsideAnOpenEditorCtrlZBelongsToTheEditor)
{
    clickRow(TreeId::FR, 1);
    QTest::mouseClick(button("AddChildBtn"), Qt::LeftButton); // a step, and the editor opens
    auto* editor = view(TreeId::FR)->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->hasFocus());
    editor->selectAll();
    for (char c : {'a', 'b', 'c'})
        QTest::keyClick(form->windowHandle(), c);
    press(QKeySequence(Qt::CTRL | Qt::Key_Z)); // the editor's own undo
    EXPECT_NE(editor->text(), "abc");
    press(QKeySequence(Qt::CTRL | Qt::Key_Y)); // the editor's, or nothing: never the window's redo
    EXPECT_TRUE(view(TreeId::FR)->isEditing());
    EXPECT_EQ(workspace->design().rowCount(), 6); // the step is still done
    QTest::keyClick(editor, Qt::Key_Escape);
    view(TreeId::FR)->setFocus();
    press(QKeySequence(Qt::CTRL | Qt::Key_Z)); // now the window's
    EXPECT_EQ(workspace->design().rowCount(), 5);
}

TEST_F(UndoRedoTest, OpeningADesignEmptiesTheHistory)
{
    QTemporaryDir dir;
    clickRow(TreeId::FR, 1);
    editing->addChild();
    prompter->savePaths.push_back(dir.filePath("a.vok"));
    files->save();
    prompter->openPaths.push_back(dir.filePath("a.vok"));
    files->open();
    EXPECT_FALSE(workspace->history().canUndo());
    EXPECT_FALSE(editing->actions().undo->isEnabled());
}

TEST_F(UndoRedoTest, TheOldestStepsGoWhenTheHistoryOutgrowsItsMemory)
{
    workspace->history().setMaxBytes(20000);
    for (int i = 0; i < 40; ++i) { // each Delete holds the rows it took out
        features->columns->selectRow(0);
        editing->duplicate();
        features->columns->selectRow(5);
        editing->deleteRow();
    }
    EXPECT_LT(workspace->history().count(), 80);
    EXPECT_LE(workspace->history().bytes(), 20000u);
    features->columns->selectRow(0);
    editing->duplicate();
    const int rows = workspace->design().rowCount();
    const int steps = workspace->history().count();
    int undone = 0;
    for (; workspace->history().canUndo(); ++undone)
        editing->undo();
    EXPECT_EQ(undone, steps); // the kept steps undo, and no more
    EXPECT_TRUE(workspace->design().modified()); // the saved state is gone with the oldest steps
    while (workspace->history().canRedo())
        editing->redo();
    EXPECT_EQ(workspace->design().rowCount(), rows);
}

} // namespace
} // namespace testing_app
