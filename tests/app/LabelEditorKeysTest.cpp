// Enter opens the label editor in every state a user reaches, and a click is
// taken for a slow second click only when it really is one. Mouse and keys go
// through the window, as the platform delivers them, so focus and event order
// are the real ones.

#include "MainFormFixture.h"

#include <QApplication>
#include <QLineEdit>

namespace testing_app {
namespace {

using model::TreeId;

// 0 A   1 B   2 C   3 D (under C)   4 E
class LabelEditorKeys : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        loadOutline(workspace->design(), {"A", "  B", "  C", "    D", "  E"});
        editing->actions().expandAll->trigger();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void click(TreeId id, int row)
    {
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                          view(id)->viewport()->mapTo(form.get(), rowCenter(id, row)));
    }
    void press(Qt::Key key) { QTest::keyClick(form->windowHandle(), key); }
    void type(const char* text)
    {
        for (const char* c = text; *c; ++c)
            QTest::keyClick(form->windowHandle(), *c);
    }
    // Longer than the double-click time: a slow click's editor would be open by now.
    void waitPastDoubleClick() { QTest::qWait(QApplication::doubleClickInterval() + 150); }
    bool editorOpen(TreeId id) { return view(id)->isEditing(); }
    QLineEdit* editor(TreeId id) { return view(id)->findChild<QLineEdit*>(); }
};

TEST_F(LabelEditorKeys, EnterOpensTheEditorAfterAnEditInAnotherColumn)
{
    click(TreeId::FR, 1);
    press(Qt::Key_Return);
    ASSERT_TRUE(editorOpen(TreeId::FR));
    press(Qt::Key_End);
    type("Ob");
    press(Qt::Key_Return);
    ASSERT_TRUE(eventually([&] { return text(TreeId::FR, 1) == "1.1 BOb"; })) << text(TreeId::FR, 1);

    click(TreeId::DP, 1); // selected already, because FR selected it: a first click here
    waitPastDoubleClick();
    EXPECT_FALSE(editorOpen(TreeId::DP));
    press(Qt::Key_Return);
    ASSERT_TRUE(editorOpen(TreeId::DP));
    press(Qt::Key_End);
    type("x");
    press(Qt::Key_Return);
    EXPECT_TRUE(eventually([&] { return text(TreeId::DP, 1) == "1.1 B'x"; })) << text(TreeId::DP, 1);
}

TEST_F(LabelEditorKeys, EnterRightAfterASecondClickOpensTheEditorAtOnce)
{
    click(TreeId::PV, 2);
    waitPastDoubleClick();
    click(TreeId::PV, 2); // a slow second click is pending
    press(Qt::Key_Return);
    ASSERT_TRUE(editorOpen(TreeId::PV));
    waitPastDoubleClick(); // the pending click opens nothing more
    press(Qt::Key_End);
    type("z");
    press(Qt::Key_Return);
    EXPECT_TRUE(eventually([&] { return text(TreeId::PV, 2) == "1.2 C''z"; })) << text(TreeId::PV, 2);
    EXPECT_FALSE(editorOpen(TreeId::PV));
}

TEST_F(LabelEditorKeys, ASlowSecondClickOnTheSameRowOpensTheEditor)
{
    click(TreeId::DP, 4);
    waitPastDoubleClick();
    EXPECT_FALSE(editorOpen(TreeId::DP));
    click(TreeId::DP, 4);
    EXPECT_TRUE(eventually([&] { return editorOpen(TreeId::DP); }));
    EXPECT_EQ(view(TreeId::DP)->currentIndex(), features->columns->indexOfRow(TreeId::DP, 4));
}

TEST_F(LabelEditorKeys, AClickInAnotherColumnInBetweenMakesTheNextClickAFirstOne)
{
    click(TreeId::DP, 4);
    click(TreeId::FR, 2); // DP follows to row 2
    click(TreeId::FR, 4); // and back to row 4
    waitPastDoubleClick();
    click(TreeId::DP, 4);
    waitPastDoubleClick();
    EXPECT_FALSE(editorOpen(TreeId::DP));
    EXPECT_FALSE(editorOpen(TreeId::FR));
}

TEST_F(LabelEditorKeys, EnterOnARowHiddenByCollapseShowsItAndEdits)
{
    click(TreeId::FR, 3);
    editing->actions().expandAll->trigger(); // collapses everything
    press(Qt::Key_Return);
    ASSERT_TRUE(editorOpen(TreeId::FR));
    EXPECT_TRUE(view(TreeId::FR)->visualRect(features->columns->indexOfRow(TreeId::FR, 3)).isValid());
    ASSERT_NE(editor(TreeId::FR), nullptr);
    EXPECT_TRUE(editor(TreeId::FR)->isVisible());
}

} // namespace
} // namespace testing_app
