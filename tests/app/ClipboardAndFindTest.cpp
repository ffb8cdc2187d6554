// Copy, cut, paste and find in the window, through the real keys: subtrees
// copied from one window into another exactly, plain text pasted into the
// focused column, refusals, undo, and the find bar moving through matches.

#include "MainFormFixture.h"

#include "app/ClipboardCommands.h"
#include "app/FindController.h"
#include "app/UndoHistory.h"
#include "io/RowsFormat.h"
#include "model/Numbering.h"
#include "ui/FindBar.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QToolButton>

namespace testing_app {
namespace {

using model::TreeId;

// 0 A
//   1 B
//     2 C
//       3 D
//   4 E
// 5 F
//   6 G
const std::vector<std::string> kOutline{"A", "  B", "    C", "      D", "  E", "F", "  G"};

class ClipboardAndFindTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        loadOutline(workspace->design(), kOutline);
        workspace->design().renumber();
        workspace->design().setModified(false);
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    // Keys as the user presses them, with the keys in column `id`.
    void pressIn(TreeId id, QKeySequence keys)
    {
        view(id)->setFocus();
        QTest::keySequence(form->windowHandle(), keys);
    }
    void setClipboardText(const char* utf8) { QGuiApplication::clipboard()->setText(QString::fromUtf8(utf8)); }

    // "level:label" of every row from `first` on, in one column, numbers stripped.
    std::string rowsFrom(const model::Design& d, int first, int count, TreeId id)
    {
        std::string out;
        const model::DesignTree& t = d.tree(id);
        for (int row = first; row < first + count; ++row)
            out += (out.empty() ? "" : "|") + std::to_string(t.levelOf(t.nodeAt(row))) + ":"
                + std::string(model::strippedLabel(t.nodeAt(row)->text()));
        return out;
    }
};

TEST_F(ClipboardAndFindTest, CopiedSubtreePastesIntoAnotherWindowExactly)
{
    workspace->design().editText(TreeId::PV, 2, "1.1.1 \xC9tanch\xE9it\xE9 3 bar");
    clickRow(TreeId::DP, 1);
    pressIn(TreeId::DP, QKeySequence(Qt::CTRL | Qt::Key_C));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(io::kRowsMimeType));
    EXPECT_EQ(data->text(), "B'\n\tC'\n\t\tD'\n"); // the focused column, as an editor gets it
    EXPECT_FALSE(workspace->history().canUndo());        // a copy changes nothing

    TestWindow otherWindow;
    auto otherPrompter = std::make_shared<FakePrompter>();
    otherWindow.build(otherPrompter);
    app::TMainForm& other = *otherWindow.form;
    app::Workspace& otherWorkspace = *otherWindow.workspace;
    app::TreeColumns& otherColumns = *otherWindow.features->columns;
    loadOutline(otherWorkspace.design(), {"X", "  Y"});
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    otherColumns.view(TreeId::FR)->scrollTo(otherColumns.indexOfRow(TreeId::FR, 1));
    QTest::mouseClick(otherColumns.view(TreeId::FR)->viewport(), Qt::LeftButton, {},
                      otherColumns.view(TreeId::FR)->visualRect(otherColumns.indexOfRow(TreeId::FR, 1)).center());
    otherColumns.view(TreeId::FR)->setFocus();
    QTest::keySequence(other.windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_V));

    // Y's next siblings: the subtree of B, three rows, numbered under X.
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(rowsFrom(otherWorkspace.design(), 2, 3, id), rowsFrom(workspace->design(), 1, 3, id)) << model::index(id);
    EXPECT_EQ(otherWorkspace.design().tree(TreeId::PV).nodeAt(3)->text(), "1.2.1 \xC9tanch\xE9it\xE9 3 bar");
    EXPECT_EQ(rowTags(otherWorkspace.design(), 2), "1.2 B|1.2 B'|1.2 B''");
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(otherColumns.selectedRow(id), 2);
    EXPECT_EQ(otherWorkspace.history().undoText(), "Paste");
    EXPECT_TRUE(otherPrompter->errors.empty());

    otherWindow.editing->undo();
    EXPECT_EQ(otherWorkspace.design().rowCount(), 2);
}

// 0 P      P's three children hold a full FR-DP matrix, R's two a DP-PV cell;
// 1   Q    the top level's cell (P, T) lies outside P's subtree and stays.
// 2   R
// 3     R1
// 4     R2
// 5   S
// 6 T
TEST_F(ClipboardAndFindTest, CopyCutAndPasteCarryTheMatricesInsideTheCopiedRows)
{
    using model::CellValue;
    using model::MatrixKind;
    model::Design& d = workspace->design();
    loadOutline(d, {"P", "  Q", "  R", "    R1", "    R2", "  S", "T"});
    d.renumber();
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            d.setMatrixCell(0, MatrixKind::FrDp, i, j, i < j ? CellValue::X : CellValue::O);
    d.setMatrixCell(2, MatrixKind::DpPv, 1, 0, CellValue::X);
    d.setMatrixCell(model::kNoRow, MatrixKind::FrDp, 0, 1, CellValue::X);
    const auto cells = [&](int parentRow, MatrixKind kind) {
        return d.matrices().indexedCells(d.matrixParent(parentRow), kind);
    };
    const auto pFrDp = cells(0, MatrixKind::FrDp);
    ASSERT_EQ(pFrDp.size(), 6u);

    clickRow(TreeId::FR, 0);
    pressIn(TreeId::FR, QKeySequence(Qt::CTRL | Qt::Key_C));
    EXPECT_EQ(app::ClipboardCommands::rowsFrom(QGuiApplication::clipboard()->mimeData(), TreeId::FR).matrices.size(), 2u);
    clickRow(TreeId::FR, 6);
    pressIn(TreeId::FR, QKeySequence(Qt::CTRL | Qt::Key_V)); // "3 P" at row 7, its R at row 9
    ASSERT_EQ(text(TreeId::FR, 7), "3 P");
    EXPECT_EQ(cells(7, MatrixKind::FrDp), pFrDp);
    EXPECT_EQ(cells(9, MatrixKind::DpPv), cells(2, MatrixKind::DpPv));
    EXPECT_EQ(d.matrices().cellCount(), 15u); // 7 + 7 + the top level's 1
    editing->undo();
    EXPECT_EQ(d.matrices().cellCount(), 8u);
    EXPECT_EQ(d.rowCount(), 7);

    // R cut (its row and column leave P's matrix) and pasted as Q's child: one step each.
    clickRow(TreeId::FR, 2);
    pressIn(TreeId::FR, QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(d.matrices().cellCount(), 3u);
    clickRow(TreeId::FR, 1);
    pressIn(TreeId::FR, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    ASSERT_EQ(text(TreeId::FR, 2), "1.1.1 R");
    EXPECT_EQ(cells(2, MatrixKind::DpPv), (std::vector<model::IndexedCell>{{1, 0, CellValue::X}}));
    EXPECT_EQ(d.matrices().cellCount(), 4u);
    editing->undo();
    EXPECT_EQ(d.matrices().cellCount(), 3u);
    editing->undo();
    EXPECT_EQ(cells(0, MatrixKind::FrDp), pFrDp);
    EXPECT_EQ(d.matrices().cellCount(), 8u);
}

TEST_F(ClipboardAndFindTest, PlainTextPastesAsChildrenIntoTheFocusedColumn)
{
    // Tabs, two spaces, bullets and a jump of two levels, all in one text.
    setClipboardText("- Seal\n  * Ring\n      \xE2\x80\xA2 Groove\n  Spring\n\n1. Shaft\n");
    clickRow(TreeId::PV, 5); // F, collapsed, with child G
    pressIn(TreeId::PV, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));

    EXPECT_EQ(rowsFrom(workspace->design(), 7, 5, TreeId::PV), "1:Seal|2:Ring|3:Groove|2:Spring|1:Shaft");
    EXPECT_EQ(rowTags(workspace->design(), 8), "2.2.1 __________|2.2.1 __________|2.2.1 Ring");
    EXPECT_EQ(text(TreeId::PV, 11), "2.3 Shaft");
    EXPECT_TRUE(expanded(TreeId::FR, 5)); // F opened to show its new children
    EXPECT_TRUE(expanded(TreeId::DP, 7));
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(selected(id), 7) << model::index(id);
    EXPECT_EQ(workspace->history().undoText(), "Paste as child");
    EXPECT_TRUE(workspace->design().modified());
}

// A character beyond Windows-1252 is kept: the tree holds its "?", the
// column shows the whole label, and undo takes the rows away again.
TEST_F(ClipboardAndFindTest, TextWithCharactersBeyondTheCodePagePastesThemWhole)
{
    setClipboardText("Pump\n\tShaft \xE2\x86\x92 gear");
    clickRow(TreeId::FR, 1);
    pressIn(TreeId::FR, QKeySequence(Qt::CTRL | Qt::Key_V));
    EXPECT_TRUE(prompter->errors.empty());
    ASSERT_EQ(workspace->design().rowCount(), 9);
    const model::Design& d = workspace->design();
    int row = 0;
    while (row < d.rowCount() && d.fullText(TreeId::FR, row).find("Shaft") == std::string::npos)
        ++row;
    ASSERT_LT(row, d.rowCount());
    EXPECT_TRUE(d.fullText(TreeId::FR, row).ends_with("Shaft \xE2\x86\x92 gear"));
    EXPECT_TRUE(text(TreeId::FR, row).ends_with("Shaft ? gear"));
    editing->undo();
    EXPECT_EQ(d.rowCount(), 7);
    EXPECT_TRUE(d.fullLabels().empty());
}

TEST_F(ClipboardAndFindTest, CutOfTheFirstRowIsRefusedOtherRowsMoveThroughTheClipboard)
{
    QGuiApplication::clipboard()->setText("untouched");
    clickRow(TreeId::FR, 0);
    pressIn(TreeId::FR, QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(prompter->messages, std::vector<QString>{"Cannot delete root node"});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "untouched");
    EXPECT_EQ(workspace->design().rowCount(), 7);

    clickRow(TreeId::FR, 4); // E
    pressIn(TreeId::FR, QKeySequence(Qt::CTRL | Qt::Key_X));
    EXPECT_EQ(workspace->design().rowCount(), 6);
    EXPECT_EQ(workspace->history().undoText(), "Cut");
    EXPECT_EQ(selected(TreeId::FR), 1); // the previous sibling, as Delete selects
    clickRow(TreeId::FR, 4); // F
    pressIn(TreeId::FR, QKeySequence(Qt::CTRL | Qt::Key_V));
    EXPECT_EQ(rowTags(workspace->design(), 6), "3 E|3 E'|3 E''");

    editing->undo();
    editing->undo();
    EXPECT_EQ(rowTags(workspace->design(), 4), "1.2 E|1.2 E'|1.2 E''");
    EXPECT_EQ(workspace->design().rowCount(), 7);
}

TEST_F(ClipboardAndFindTest, InsideAnOpenEditorTheClipboardKeysBelongToTheEditor)
{
    setClipboardText("Seal");
    clickRow(TreeId::DP, 5);
    view(TreeId::DP)->setFocus();
    QTest::keyClick(view(TreeId::DP), Qt::Key_Return);
    auto* editor = view(TreeId::DP)->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->end(false);
    QTest::keySequence(form->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_V));
    EXPECT_TRUE(editor->text().endsWith("Seal")) << editor->text().toStdString();
    QTest::keySequence(form->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_X)); // nothing selected in the editor
    EXPECT_EQ(workspace->design().rowCount(), 7);
    EXPECT_FALSE(workspace->history().canUndo());
}

TEST_F(ClipboardAndFindTest, FindCountsMarksMovesWrapsAndClears)
{
    workspace->design().editText(TreeId::DP, 3, "1.1.1.1 Pump seal");
    workspace->design().editText(TreeId::FR, 6, "2.1 PUMP");
    workspace->design().editText(TreeId::PV, 0, "1 pumped flow");
    clickRow(TreeId::FR, 1);
    ui::FindBar& bar = *features->findBar;
    app::FindController& find = *features->find;

    QTest::keySequence(form->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_F));
    ASSERT_TRUE(bar.isVisible());
    EXPECT_TRUE(bar.field()->hasFocus());
    QTest::keyClicks(bar.field(), "pump");
    EXPECT_EQ(find.matches().size(), 3u);
    // The first match at or after the selected row B is D's DP label, in a collapsed branch.
    EXPECT_EQ(bar.countLabel()->text(), "2 of 3");
    const QModelIndex d = features->columns->indexOfRow(TreeId::DP, 3);
    const ui::TextMark mark = find.markOf(TreeId::DP, d);
    EXPECT_EQ(mark.start, 8);
    EXPECT_EQ(mark.length, 4);
    EXPECT_TRUE(mark.current);
    EXPECT_FALSE(find.markOf(TreeId::FR, features->columns->indexOfRow(TreeId::FR, 3)).marked());
    EXPECT_EQ(selected(TreeId::FR), 1); // typing does not move the selection

    QTest::keyClick(bar.field(), Qt::Key_Return);
    for (TreeId id : model::kAllTrees) {
        EXPECT_EQ(selected(id), 3) << model::index(id);
        EXPECT_TRUE(expanded(id, 2)) << model::index(id); // C, B and A opened in all three columns
        EXPECT_TRUE(expanded(id, 1)) << model::index(id);
    }
    EXPECT_EQ(editing->activeTree(), TreeId::DP);
    EXPECT_FALSE(workspace->history().canUndo()); // selecting is no step

    QTest::keyClick(bar.field(), Qt::Key_Return);
    EXPECT_EQ(bar.countLabel()->text(), "3 of 3");
    EXPECT_EQ(selected(TreeId::DP), 6);
    EXPECT_EQ(editing->activeTree(), TreeId::FR);
    QTest::mouseClick(bar.nextButton(), Qt::LeftButton); // wraps to the first
    EXPECT_EQ(bar.countLabel()->text(), "1 of 3");
    EXPECT_EQ(editing->activeTree(), TreeId::PV);
    QTest::keyClick(bar.field(), Qt::Key_Return, Qt::ShiftModifier); // and back
    EXPECT_EQ(bar.countLabel()->text(), "3 of 3");
    EXPECT_EQ(selected(TreeId::PV), 6);

    QTest::keyClick(bar.field(), Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    for (TreeId id : model::kAllTrees)
        for (int row = 0; row < workspace->design().rowCount(); ++row)
            EXPECT_FALSE(find.markOf(id, features->columns->indexOfRow(id, row)).marked());

    // Opened again, the bar searches its text again.
    QTest::keySequence(form->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_EQ(find.matches().size(), 3u);
    EXPECT_EQ(bar.countLabel()->text(), "3 of 3");
    EXPECT_TRUE(find.markOf(TreeId::DP, d).marked());
}

TEST_F(ClipboardAndFindTest, FindKeepsUpWithEditsAndComparesLettersAsTyped)
{
    workspace->design().editText(TreeId::FR, 6, "2.1 \xC9tanch\xE9it\xE9"); // Étanchéité
    features->find->open();
    typeText(features->findBar->field(), QString::fromUtf8("\xC3\xA9TANCH")); // éTANCH
    EXPECT_EQ(features->findBar->countLabel()->text(), "1 of 1");
    typeText(features->findBar->field(), QString::fromUtf8("\xE2\x86\x92")); // a character no label holds
    EXPECT_EQ(features->findBar->countLabel()->text(), "No matches");
    QTest::keyClick(features->findBar->field(), Qt::Key_Backspace);

    clickRow(TreeId::FR, 0);
    editing->addChild(); // a new row at the end of A moves G down by one
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    workspace->design().editText(TreeId::DP, 1, "1.1 \xE9tanche");
    ASSERT_TRUE(eventually([&] { return features->find->matches().size() == 2u; }));
    EXPECT_EQ(features->find->matches()[1].row, 7);
    EXPECT_EQ(features->findBar->countLabel()->text(), "2 of 2"); // still on G, one row further down
}

} // namespace
} // namespace testing_app
