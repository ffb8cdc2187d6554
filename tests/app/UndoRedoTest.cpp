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
        loadOutline(form->design(), {"A", "  B", "  C", "    D", "  E"});
        form->design().renumber();
        form->design().setModified(false);
        form->commands().expandAll->trigger();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    QToolButton* button(const char* name) { return form->findChild<QToolButton*>(name); }
    void press(QKeySequence keys) { QTest::keySequence(form->windowHandle(), keys); }
    std::vector<std::string> rows()
    {
        std::vector<std::string> out;
        for (int row = 0; row < form->design().rowCount(); ++row)
            out.push_back(rowTags(form->design(), row));
        return out;
    }
};

TEST_F(UndoRedoTest, DeleteUndoneByCtrlZComesBackWithItsNumbersAndRedoneByCtrlY)
{
    const std::vector<std::string> before = rows();
    clickRow(TreeId::FR, 2); // C with its child D
    QTest::mouseClick(button("DeleteBtn"), Qt::LeftButton);
    clickRow(TreeId::FR, 2); // renumbers E to 1.2: not a step of its own
    EXPECT_EQ(rowTags(form->design(), 2), "1.2 E|1.2 E'|1.2 E''");
    const std::vector<std::string> after = rows();

    view(TreeId::FR)->setFocus();
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(rows(), before); // the subtree and the numbers as they were
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(selected(id), 2) << model::index(id);
    EXPECT_FALSE(form->design().modified()); // back at the state of the last open

    press(QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(rows(), after);
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(rows(), after);
    EXPECT_TRUE(form->design().modified());
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
    EXPECT_EQ(form->design().rowCount(), 5);
    EXPECT_FALSE(button("UndoBtn")->isEnabled());
    EXPECT_TRUE(button("RedoBtn")->isEnabled());
    EXPECT_EQ(button("RedoBtn")->toolTip(), "Redo Add child");
    QTest::mouseClick(button("RedoBtn"), Qt::LeftButton);
    EXPECT_EQ(form->design().rowCount(), 6);
    EXPECT_EQ(selected(TreeId::PV), 2); // the new row again
}

TEST_F(UndoRedoTest, UndoBackToTheSavedStateClearsTheModifiedFlag)
{
    QTemporaryDir dir;
    clickRow(TreeId::FR, 1);
    form->MoveDownBtnClick();
    prompter->savePaths.push_back(dir.filePath("saved.vok"));
    form->SaveBtnClick();
    EXPECT_FALSE(form->design().modified());
    form->MoveDownBtnClick();
    EXPECT_TRUE(form->design().modified());
    form->UndoBtnClick();
    EXPECT_FALSE(form->design().modified()); // the state of the save
    form->UndoBtnClick();
    EXPECT_TRUE(form->design().modified()); // before the save
    form->RedoBtnClick();
    EXPECT_FALSE(form->design().modified());
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
    ASSERT_TRUE(eventually([&] { return text(TreeId::DP, 4) == "Pump"; }));
    EXPECT_EQ(form->history().undoText(), "Edit label");

    QLineEdit* title = form->titleEdit(TreeId::PV);
    title->setFocus();
    title->selectAll();
    typeText(title, "Steps");
    QTest::keyClick(title, Qt::Key_Return); // finishes the edit
    EXPECT_EQ(form->history().undoText(), "Edit title");

    form->UndoBtnClick();
    EXPECT_EQ(title->text(), "Process Variables");
    EXPECT_EQ(form->design().title(TreeId::PV), "Process Variables");
    form->UndoBtnClick();
    EXPECT_EQ(text(TreeId::DP, 4), "1.3 E'");
    form->RedoBtnClick();
    form->RedoBtnClick();
    EXPECT_EQ(text(TreeId::DP, 4), "Pump");
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
    EXPECT_EQ(form->design().rowCount(), 6); // the step is still done
    QTest::keyClick(editor, Qt::Key_Escape);
    view(TreeId::FR)->setFocus();
    press(QKeySequence(Qt::CTRL | Qt::Key_Z)); // now the window's
    EXPECT_EQ(form->design().rowCount(), 5);
}

TEST_F(UndoRedoTest, OpeningADesignEmptiesTheHistory)
{
    QTemporaryDir dir;
    clickRow(TreeId::FR, 1);
    form->AddChildBtnClick();
    prompter->savePaths.push_back(dir.filePath("a.vok"));
    form->SaveBtnClick();
    prompter->openPaths.push_back(dir.filePath("a.vok"));
    form->FileOpenBtnClick();
    EXPECT_FALSE(form->history().canUndo());
    EXPECT_FALSE(form->commands().undo->isEnabled());
}

TEST_F(UndoRedoTest, TheOldestStepsGoWhenTheHistoryOutgrowsItsMemory)
{
    form->history().setMaxBytes(20000);
    for (int i = 0; i < 40; ++i) { // each Delete holds the rows it took out
        form->columns().selectRow(0);
        form->DuplicateBtnClick();
        form->columns().selectRow(5);
        form->DeleteBtnClick();
    }
    EXPECT_LT(form->history().count(), 80);
    EXPECT_LE(form->history().bytes(), 20000u);
    form->columns().selectRow(0);
    form->DuplicateBtnClick();
    const int rows = form->design().rowCount();
    const int steps = form->history().count();
    int undone = 0;
    for (; form->history().canUndo(); ++undone)
        form->UndoBtnClick();
    EXPECT_EQ(undone, steps); // the kept steps undo, and no more
    EXPECT_TRUE(form->design().modified()); // the saved state is gone with the oldest steps
    while (form->history().canRedo())
        form->RedoBtnClick();
    EXPECT_EQ(form->design().rowCount(), rows);
}

} // namespace
} // namespace testing_app
