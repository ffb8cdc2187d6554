// Labels beyond Windows-1252 as typed and shown, and the notes of a row: the
// Notes pane's steps, the marker and hint of a node with a note, and Find in
// notes.
#include "MainFormFixture.h"

#include "app/NotesPaneController.h"
#include "app/UndoHistory.h"
#include "ui/FindBar.h"
#include "ui/NodeDelegate.h"
#include "ui/NotesPane.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QToolButton>

#include <map>

namespace testing_app {
namespace {

using model::TreeId;

const QString kDelta = QString::fromUtf8("\u0394T \u2264 2 K");  // "ΔT ≤ 2 K"
const QString kSigma = QString::fromUtf8("\u03A3T \u2264 2 K");  // the same question form
const QString kKorean = QString::fromUtf8("\uC555\uB825");      // "pressure"

class UnicodeAndNotesTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        loadOutline(workspace->design(), {"1 Pump", "  1.1 Seal", "  1.2 Drive", "2 Tank"});
        editing->actions().expandAll->trigger();
        for (TreeId id : model::kAllTrees)
            delegate(id)->setPaintHook([this, id](const QModelIndex& index, const QString& text, const QString&) {
                painted[{model::index(id), columns().adapter(id)->rowOf(index)}] = text;
            });
        settle();
    }

    ui::NodeDelegate* delegate(TreeId id) { return qobject_cast<ui::NodeDelegate*>(view(id)->itemDelegate()); }
    void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    // What the row shows when the view draws itself now.
    QString drawnText(TreeId id, int row)
    {
        painted.clear();
        view(id)->viewport()->repaint();
        return lastPainted(id, row);
    }
    // What the row is drawn with as the events now waiting run: nothing
    // unless the view was told to draw it again.
    QString paintedText(TreeId id, int row)
    {
        painted.clear();
        settle();
        return lastPainted(id, row);
    }
    QString lastPainted(TreeId id, int row)
    {
        const auto it = painted.find({model::index(id), row});
        return it == painted.end() ? QString() : it->second;
    }
    QString shown(TreeId id, int row)
    {
        return QString::fromStdString(workspace->design().fullText(id, row));
    }
    ui::NotesPane* notesPane() { return features->notes->pane(); }
    void openNotes()
    {
        form->findChild<QToolButton*>("NotesBtn")->click();
        clickRow(TreeId::FR, 1);
        settle();
    }

    std::map<std::pair<int, int>, QString> painted; // (tree, row) -> text drawn since the last look
};

TEST_F(UnicodeAndNotesTest, TypedOrPastedLabelsBeyondWindows1252AreShownAsTyped)
{
    struct Case { const char* how; QString label; bool paste; };
    const Case cases[] = {{"typed", kDelta, false}, {"pasted", kKorean + QStringLiteral(" 2"), true}};
    for (const Case& c : cases) {
        columns().editRow(TreeId::DP, 1);
        QLineEdit* editor = openEditor(view(TreeId::DP));
        ASSERT_NE(editor, nullptr) << c.how;
        editor->selectAll();
        if (c.paste) {
            QGuiApplication::clipboard()->setText(c.label);
            QTest::keySequence(editor, QKeySequence::Paste);
        } else {
            typeText(editor, c.label);
        }
        EXPECT_EQ(editor->text(), c.label) << c.how;
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_TRUE(eventually([&] { return shown(TreeId::DP, 1) == QStringLiteral("1.1 ") + c.label; })) << c.how;
        EXPECT_EQ(drawnText(TreeId::DP, 1), QStringLiteral("1.1 ") + c.label) << c.how;
        EXPECT_NE(text(TreeId::DP, 1).find('?'), std::string::npos) << c.how; // the tree keeps the question form
    }
}

TEST_F(UnicodeAndNotesTest, AChangeOfAFullLabelAloneIsPaintedAndUndone)
{
    model::Design& design = workspace->design();
    design.editFullLabel(TreeId::PV, 3, kDelta.toStdString());
    workspace->runStep("Edit label", [&] { design.editFullLabel(TreeId::PV, 3, kSigma.toStdString()); });
    EXPECT_EQ(paintedText(TreeId::PV, 3), QStringLiteral("2 ") + kSigma);
    // The undo puts back the full label only: no node text changes.
    editing->undo();
    EXPECT_EQ(paintedText(TreeId::PV, 3), QStringLiteral("2 ") + kDelta);
    editing->redo();
    EXPECT_EQ(paintedText(TreeId::PV, 3), QStringLiteral("2 ") + kSigma);
}

TEST_F(UnicodeAndNotesTest, ANoteTypedInThePaneIsOneStepWhenItsEditorLosesTheFocus)
{
    openNotes();
    ASSERT_TRUE(notesPane()->isVisible());
    QPlainTextEdit* fr = notesPane()->editor(TreeId::FR);
    fr->setFocus();
    typeText(fr, QStringLiteral("Leaks at ") + kDelta);
    const model::Design& design = workspace->design();
    EXPECT_TRUE(design.notes().empty()); // not yet: typing is no step
    const int steps = workspace->history().count();
    view(TreeId::PV)->setFocus();
    ASSERT_NE(design.notes().find(TreeId::FR, design.tree(TreeId::FR).nodeAt(1)), nullptr);
    EXPECT_EQ(QString::fromStdString(*design.notes().find(TreeId::FR, design.tree(TreeId::FR).nodeAt(1))),
              QStringLiteral("Leaks at ") + kDelta);
    EXPECT_EQ(workspace->history().count(), steps + 1);
    EXPECT_EQ(workspace->history().undoText(), "Edit note");

    editing->undo();
    EXPECT_TRUE(design.notes().empty());
    EXPECT_TRUE(eventually([&] { return fr->toPlainText().isEmpty(); }));
    editing->redo();
    EXPECT_TRUE(eventually([&] { return fr->toPlainText() == QStringLiteral("Leaks at ") + kDelta; }));
}

TEST_F(UnicodeAndNotesTest, ChoosingAnotherRowTakesTheNoteTypedForTheRowBefore)
{
    openNotes();
    QPlainTextEdit* dp = notesPane()->editor(TreeId::DP);
    dp->setFocus();
    typeText(dp, QStringLiteral("two"));
    QTest::keyClick(dp, Qt::Key_Return);
    typeText(dp, QStringLiteral("lines"));
    clickRow(TreeId::FR, 2);
    settle();
    const model::Design& design = workspace->design();
    const std::string* note = design.notes().find(TreeId::DP, design.tree(TreeId::FR).nodeAt(1));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(*note, "two\nlines");
    EXPECT_EQ(notesPane()->row(), 2);
    EXPECT_TRUE(dp->toPlainText().isEmpty());
}

TEST_F(UnicodeAndNotesTest, ANodeWithANoteShowsAMarkerAndItsFirstLineInTheHint)
{
    workspace->runStep("Edit note", [&] { workspace->design().setNote(TreeId::PV, 2, "Torque limit\nsecond line"); });
    settle();
    const QImage image = view(TreeId::PV)->viewport()->grab().toImage();
    const auto corner = [&](TreeId id, int row) {
        const QRect rect = view(id)->visualRect(columns().indexOfRow(id, row));
        return image.pixelColor(rect.right() - 1, rect.top() + 1);
    };
    EXPECT_EQ(corner(TreeId::PV, 2), ui::kNoteMarker);
    EXPECT_NE(corner(TreeId::PV, 1), ui::kNoteMarker);

    const QPoint at = view(TreeId::PV)->visualRect(columns().indexOfRow(TreeId::PV, 2)).center();
    QMouseEvent move(QEvent::MouseMove, at, view(TreeId::PV)->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(view(TreeId::PV)->viewport(), &move);
    EXPECT_EQ(view(TreeId::PV)->toolTip(), shown(TreeId::PV, 2) + QStringLiteral("\nTorque limit"));
}

TEST_F(UnicodeAndNotesTest, FindFindsFullLabelsAndNotesAndSaysInNote)
{
    model::Design& design = workspace->design();
    design.editFullLabel(TreeId::DP, 3, kKorean.toStdString());
    design.setNote(TreeId::FR, 1, "Seal \xC3\x89TANCHE\nsecond"); // "Seal ÉTANCHE"
    clickRow(TreeId::FR, 0);
    ui::FindBar& bar = *features->findBar;
    app::FindController& find = *features->find;
    find.open();

    typeText(bar.field(), kKorean);
    ASSERT_EQ(find.matches().size(), 1u);
    EXPECT_EQ(find.matches()[0], (model::FoundLabel{3, TreeId::DP, false}));
    EXPECT_EQ(find.markOf(TreeId::DP, columns().indexOfRow(TreeId::DP, 3)).start, 2);

    bar.field()->clear();
    typeText(bar.field(), QString::fromUtf8("\u00E9tanche")); // small letters find the capitals in a note
    ASSERT_EQ(find.matches().size(), 1u);
    EXPECT_EQ(find.matches()[0], (model::FoundLabel{1, TreeId::FR, true}));
    EXPECT_EQ(bar.countLabel()->text(), "1 of 1, in note");
    const ui::TextMark mark = find.markOf(TreeId::FR, columns().indexOfRow(TreeId::FR, 1));
    EXPECT_TRUE(mark.inNote && mark.noteCurrent && !mark.marked());

    bar.field()->clear();
    typeText(bar.field(), QStringLiteral("?")); // the question form of a full label is not what is shown
    EXPECT_TRUE(find.matches().empty());
}

} // namespace
} // namespace testing_app
