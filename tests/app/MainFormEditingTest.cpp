// Editing a design in the window: clicks, commands, the label editor, drag and drop.
#include "MainFormFixture.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QToolButton>

namespace testing_app {
namespace {

using model::TreeId;

// 0 A              rows as numbered in each tree
// 1   B
// 2   C
// 3     D
// 4   E
// 5 F
const std::vector<std::string> kOutline = {"A", "  B", "  C", "    D", "  E", "F"};

class EditingTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        loadOutline(workspace->design(), kOutline);
        editing->actions().expandAll->trigger(); // every row visible
        QCoreApplication::processEvents();
    }
    QToolButton* button(const char* name) { return form->findChild<QToolButton*>(name); }
    bool editorOpen(TreeId id) { return view(id)->isEditing(); }
};

TEST_F(EditingTest, ClickingARowSelectsItEverywhereAndMakesThatViewActive)
{
    clickRow(TreeId::PV, 3);
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(selected(id), 3);
    EXPECT_EQ(editing->activeTree(), TreeId::PV);
    EXPECT_EQ(text(TreeId::FR, 3), "1.2.1 D"); // the click renumbered

    QTest::mouseClick(button("AddChildBtn"), Qt::LeftButton);
    EXPECT_TRUE(editorOpen(TreeId::PV));
    EXPECT_FALSE(editorOpen(TreeId::FR));
    EXPECT_EQ(text(TreeId::DP, 4), "1.2.1.1 __________");
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(selected(id), 4);
    EXPECT_TRUE(workspace->design().modified());
}

TEST_F(EditingTest, ClickingTheExpandArrowInOneViewExpandsThePartners)
{
    editing->actions().expandAll->trigger(); // all collapsed
    QCoreApplication::processEvents();
    const QRect rect = view(TreeId::DP)->visualRect(features->columns->indexOfRow(TreeId::DP, 0));
    const QPoint arrow(rect.left() - view(TreeId::DP)->indentation() / 2, rect.center().y());
    QTest::mouseClick(view(TreeId::DP)->viewport(), Qt::LeftButton, {}, arrow);
    for (TreeId id : model::kAllTrees)
        EXPECT_TRUE(expanded(id, 0)) << model::index(id);
    EXPECT_FALSE(expanded(TreeId::FR, 2)); // one level only
}

TEST_F(EditingTest, ReleaseOverEmptySpaceOrRightClickChangesNothing)
{
    clickRow(TreeId::FR, 1);
    const std::string before = text(TreeId::FR, 4);
    QTest::mouseClick(view(TreeId::DP)->viewport(), Qt::LeftButton, {}, QPoint(20, view(TreeId::DP)->viewport()->height() - 5));
    QTest::mouseClick(form->windowHandle(), Qt::RightButton, {},
                      view(TreeId::PV)->viewport()->mapTo(form.get(), rowCenter(TreeId::PV, 2)));
    EXPECT_EQ(selected(TreeId::FR), 1);
    EXPECT_EQ(selected(TreeId::DP), 1);
    EXPECT_EQ(editing->activeTree(), TreeId::FR);
}

TEST_F(EditingTest, KeyboardMovesEveryColumnSoCommandsActOnTheRowTheUserSees)
{
    clickRow(TreeId::FR, 1);
    view(TreeId::DP)->setFocus();
    QTest::keyClick(view(TreeId::DP), Qt::Key_Down);
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(selected(id), 2) << model::index(id);
    EXPECT_EQ(editing->activeTree(), TreeId::DP);
    QTest::keyClick(view(TreeId::DP), Qt::Key_Delete, Qt::ShiftModifier); // deletes C, the row in sight
    EXPECT_EQ(rowTags(workspace->design(), 2), "1.2 E|1.2 E'|1.2 E''");

    QTest::keyClick(view(TreeId::PV), Qt::Key_Home);
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(selected(id), 0) << model::index(id);
    QTest::keyClick(view(TreeId::PV), Qt::Key_Left); // collapses in all three
    for (TreeId id : model::kAllTrees)
        EXPECT_FALSE(expanded(id, 0)) << model::index(id);
    QTest::keyClick(view(TreeId::PV), Qt::Key_Right);
    for (TreeId id : model::kAllTrees)
        EXPECT_TRUE(expanded(id, 0)) << model::index(id);
    EXPECT_EQ(text(TreeId::FR, 2), "1.2 E"); // the moves renumbered, as clicks do

    const int before = selected(TreeId::DP);
    QTest::keyClicks(view(TreeId::DP), "1.2"); // the view's own search by typing moves the row too
    EXPECT_NE(selected(TreeId::DP), before);
    EXPECT_EQ(selected(TreeId::FR), selected(TreeId::DP));
    EXPECT_EQ(selected(TreeId::PV), selected(TreeId::DP));
}

// Every edit command has a key that works wherever a tree has the focus.
struct EditKeyCase {
    const char* name;
    int row; // the row clicked first
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int rowToCheck;
    const char* textThere; // FR's text at that row afterwards
    int rowCount;
};

class EditKeys : public EditingTest, public ::testing::WithParamInterface<EditKeyCase> {};

TEST_P(EditKeys, ActOnTheSelectedRow)
{
    const EditKeyCase& c = GetParam();
    clickRow(TreeId::DP, c.row);
    QTest::keyClick(view(TreeId::DP), c.key, c.modifiers);
    EXPECT_EQ(text(TreeId::FR, c.rowToCheck), c.textThere);
    EXPECT_EQ(workspace->design().rowCount(), c.rowCount);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EditKeys,
    ::testing::Values(EditKeyCase{"AltUpMovesUp", 2, Qt::Key_Up, Qt::AltModifier, 1, "1.1 C", 6},
                      EditKeyCase{"AltDownMovesDown", 2, Qt::Key_Down, Qt::AltModifier, 2, "1.2 E", 6},
                      EditKeyCase{"CtrlDDuplicates", 2, Qt::Key_D, Qt::ControlModifier, 5, "1.4 C copy", 8},
                      EditKeyCase{"ShiftF4AddsAnUncle", 3, Qt::Key_F4, Qt::ShiftModifier, 5, "1.4 __________", 7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditingTest, CtrlETogglesExpandAllAndItsButton)
{
    clickRow(TreeId::PV, 1);
    QTest::keyClick(view(TreeId::PV), Qt::Key_E, Qt::ControlModifier);
    EXPECT_FALSE(editing->actions().expandAll->isChecked());
    EXPECT_FALSE(expanded(TreeId::FR, 0));
    QTest::keyClick(view(TreeId::PV), Qt::Key_E, Qt::ControlModifier);
    EXPECT_TRUE(expanded(TreeId::DP, 0));
}

TEST_F(EditingTest, TabCarriesTheLabelEditorAcrossTheColumns)
{
    clickRow(TreeId::FR, 4);
    QTest::keyClick(view(TreeId::FR), Qt::Key_Return);
    auto type = [&](TreeId id, const char* label, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QLineEdit* editor = openEditor(view(id));
        ASSERT_NE(editor, nullptr) << model::index(id);
        EXPECT_EQ(editor->text().toStdString(), text(id, 4).substr(4)) << "the editor holds the label alone";
        editor->selectAll();
        typeText(editor, label);
        QTest::keyClick(editor, key, modifiers);
    };
    type(TreeId::FR, "3 layer mesh", Qt::Key_Tab);
    type(TreeId::DP, "Mesh", Qt::Key_Tab);
    type(TreeId::PV, "Weave", Qt::Key_Backtab, Qt::ShiftModifier); // back to DP
    type(TreeId::DP, "Fine mesh", Qt::Key_Return);
    EXPECT_TRUE(eventually([&] { return !view(TreeId::DP)->isEditing(); }));
    EXPECT_EQ(rowTags(workspace->design(), 4), "1.3 3 layer mesh|1.3 Fine mesh|1.3 Weave");
    clickRow(TreeId::PV, 1); // renumbering keeps the label whole
    EXPECT_EQ(text(TreeId::FR, 4), "1.3 3 layer mesh");
}

TEST_F(EditingTest, ADoubleClickEditsInTheColumnThatWasClicked)
{
    for (TreeId id : {TreeId::PV, TreeId::DP}) {
        QTest::mouseClick(view(id)->viewport(), Qt::LeftButton, {}, rowCenter(id, 3));
        QTest::mouseDClick(view(id)->viewport(), Qt::LeftButton, {}, rowCenter(id, 3));
        EXPECT_TRUE(editorOpen(id)) << model::index(id);
        QTest::keyClick(openEditor(view(id)), Qt::Key_Escape);
    }
}

TEST_F(EditingTest, ExpandContractAllShowsEveryRowThenOnlyTopLevelRows)
{
    auto visibleRows = [&](TreeId id) {
        int n = 0;
        for (QModelIndex i = view(id)->indexAt(QPoint(5, 2)); i.isValid(); i = view(id)->indexBelow(i))
            ++n;
        return n;
    };
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(visibleRows(id), 6);
    QTest::mouseClick(button("ExpandContractAllBtn"), Qt::LeftButton);
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(visibleRows(id), 2);
    QTest::mouseClick(button("ExpandContractAllBtn"), Qt::LeftButton);
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(visibleRows(id), 6);
    EXPECT_EQ(text(TreeId::FR, 0), "A"); // no renumbering
}

TEST_F(MainFormTest, AddUncleAppendsANumberedSiblingOfTheParentAndExpandsTheNode)
{
    // 0 A   1 B   2 C (level 2, collapsed)   3 D
    loadOutline(workspace->design(), {"A", "  B", "    C", "      D"});
    features->columns->setExpanded(0, true);
    features->columns->setExpanded(1, true);
    clickRow(TreeId::PV, 2);
    ASSERT_FALSE(expanded(TreeId::FR, 2));
    QTest::mouseClick(form->findChild<QToolButton*>("AddChildToGrandParentBtn"), Qt::LeftButton);
    EXPECT_EQ(rowTags(workspace->design(), 4), "1.2 __________|1.2 __________|1.2 __________");
    for (TreeId id : model::kAllTrees) {
        EXPECT_EQ(selected(id), 4);
        EXPECT_TRUE(expanded(id, 2));
    }
    EXPECT_TRUE(view(TreeId::PV)->isEditing());
}

TEST_F(EditingTest, DeleteKeepsTheSameRowSelectedInAllViews)
{
    clickRow(TreeId::FR, 2); // C, with E after it
    QTest::mouseClick(button("DeleteBtn"), Qt::LeftButton);
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(selected(id), 2);
    EXPECT_EQ(rowTags(workspace->design(), 2), "1.2 E|1.2 E'|1.2 E''");
}

TEST_F(EditingTest, DeleteOfTheFirstRowIsRefusedWithAMessage)
{
    clickRow(TreeId::FR, 0);
    editing->deleteRow();
    ASSERT_EQ(prompter->messages.size(), 1u);
    EXPECT_EQ(prompter->messages[0], "Cannot delete root node");
    EXPECT_EQ(workspace->design().rowCount(), 6);
}

TEST_F(EditingTest, ShortcutsActWhileATreeHasTheFocus)
{
    clickRow(TreeId::DP, 5);
    view(TreeId::DP)->setFocus();
    QTest::keyClick(view(TreeId::DP), Qt::Key_F2);
    EXPECT_EQ(workspace->design().rowCount(), 7);
    EXPECT_EQ(text(TreeId::PV, 6), "3 __________");
    EXPECT_TRUE(editorOpen(TreeId::DP));
}

TEST_F(EditingTest, MoveUpKeepsTheMovedNodeSelectedAndCollapsed)
{
    clickRow(TreeId::FR, 4); // E moves above C, which keeps its expansion
    QTest::mouseClick(button("MoveUpBtn"), Qt::LeftButton);
    EXPECT_EQ(rowTags(workspace->design(), 2), "1.2 E|1.2 E'|1.2 E''");
    for (TreeId id : model::kAllTrees) {
        EXPECT_EQ(selected(id), 2);
        EXPECT_TRUE(expanded(id, 3)); // C
    }
}

TEST_F(EditingTest, DuplicateSelectsTheCopyEverywhereAndEditsItInTheActiveTree)
{
    clickRow(TreeId::DP, 2);
    QTest::mouseClick(button("DuplicateBtn"), Qt::LeftButton);
    EXPECT_EQ(rowTags(workspace->design(), 5), "1.4 C copy|1.4 C' copy|1.4 C'' copy");
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(selected(id), 5) << model::index(id);
    EXPECT_TRUE(editorOpen(TreeId::DP));
    EXPECT_FALSE(editorOpen(TreeId::FR));
    for (TreeId id : model::kAllTrees)
        EXPECT_TRUE(expanded(id, 5));
}

TEST_F(EditingTest, ConfirmedLabelEditChangesOneTreeAndSetsModified)
{
    clickRow(TreeId::DP, 1);
    view(TreeId::DP)->setFocus();
    QTest::keyClick(view(TreeId::DP), Qt::Key_Return); // Enter opens the editor (F2 adds a row)
    ASSERT_TRUE(editorOpen(TreeId::DP));
    auto* editor = view(TreeId::DP)->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    typeText(editor, QString::fromUtf8("Motor \u00e9"));
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_TRUE(eventually([&] { return text(TreeId::DP, 1) == "1.1 Motor \xe9"; })) << text(TreeId::DP, 1);
    EXPECT_EQ(text(TreeId::FR, 1), "1.1 B");
    EXPECT_TRUE(workspace->design().modified());
}

TEST_F(EditingTest, DoubleClickInFrvEditsTheClickedNode)
{
    QTest::mouseClick(view(TreeId::FR)->viewport(), Qt::LeftButton, {}, rowCenter(TreeId::FR, 3));
    QTest::mouseDClick(view(TreeId::FR)->viewport(), Qt::LeftButton, {}, rowCenter(TreeId::FR, 3));
    EXPECT_TRUE(editorOpen(TreeId::FR));
    EXPECT_EQ(view(TreeId::FR)->currentIndex(), features->columns->indexOfRow(TreeId::FR, 3));
}

TEST_F(EditingTest, DragAndDropInOneViewMovesTheRowInAllThreeTrees)
{
    clickRow(TreeId::DP, 4); // E
    pressAndDrag(view(TreeId::DP), rowCenter(TreeId::DP, 4));
    QMimeData mime;
    mime.setData(ui::TreeAdapter::kRowMimeType, "4");
    const bool modifiedBefore = workspace->design().modified();
    sendDrop(view(TreeId::DP), rowCenter(TreeId::DP, 1), &mime); // onto B
    EXPECT_EQ(rowTags(workspace->design(), 2), "1.1.1 E|1.1.1 E'|1.1.1 E''");
    EXPECT_TRUE(expanded(TreeId::FR, 1));
    EXPECT_TRUE(workspace->design().modified() || modifiedBefore);
}

TEST_F(EditingTest, DropIntoAnotherViewIsRefused)
{
    clickRow(TreeId::DP, 4);
    pressAndDrag(view(TreeId::DP), rowCenter(TreeId::DP, 4));
    QMimeData mime;
    mime.setData(ui::TreeAdapter::kRowMimeType, "4");
    QDragMoveEvent move(rowCenter(TreeId::FR, 1), Qt::MoveAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(view(TreeId::FR)->viewport(), &move);
    EXPECT_FALSE(move.isAccepted());
    sendDrop(view(TreeId::FR), rowCenter(TreeId::FR, 1), &mime);
    EXPECT_EQ(rowTags(workspace->design(), 4), "1.3 E|1.3 E'|1.3 E''"); // still in place
}

TEST_F(EditingTest, HoverShowsTheNodeTextOrTreeView)
{
    auto hover = [&](const QPoint& p) {
        QMouseEvent move(QEvent::MouseMove, p, view(TreeId::FR)->viewport()->mapToGlobal(p), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view(TreeId::FR)->viewport(), &move);
        return view(TreeId::FR)->toolTip();
    };
    EXPECT_EQ(hover(rowCenter(TreeId::FR, 3)), "D");
    EXPECT_EQ(hover(QPoint(10, view(TreeId::FR)->viewport()->height() - 3)), "Tree view");
}

TEST_F(MainFormTest, OnAnEmptyDesignAddingStartsTheFirstRow)
{
    editing->deleteRow();
    EXPECT_EQ(prompter->messages, std::vector<QString>{"Cannot delete root node"});
    editing->addChild();
    ASSERT_EQ(workspace->design().rowCount(), 1);
    EXPECT_EQ(rowTags(workspace->design(), 0), "1 __________|1 __________|1 __________");
    EXPECT_EQ(selected(TreeId::PV), 0);
    EXPECT_TRUE(view(TreeId::FR)->isEditing());
}

} // namespace
} // namespace testing_app
