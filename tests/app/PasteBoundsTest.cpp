// What a paste or the label editor may bring into a design is bounded, through
// the real keys: rows that would lie deeper than the views expand are refused
// with nothing changed, and a label longer than the longest is cut, with the
// status bar saying so.

#include "MainFormFixture.h"

#include "app/ClipboardCommands.h"
#include "app/UndoHistory.h"
#include "io/RowsFormat.h"

#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QStatusBar>

namespace testing_app {
namespace {

using model::TreeId;

constexpr const char* kLabelsCut = "Labels longer than 65536 characters are cut to their first 65536";

// 0 A  1 B  2 C  3 D, one chain.
class PasteBoundsTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        loadOutline(workspace->design(), {"A", "  B", "    C", "      D"});
        workspace->design().renumber();
        workspace->design().setModified(false);
        editing->actions().expandAll->trigger();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void pressIn(TreeId id, QKeySequence keys)
    {
        view(id)->setFocus();
        QTest::keySequence(form->windowHandle(), keys);
    }
    QString status() { return form->statusBar()->currentMessage(); }
};

// The clipboard as a copy of `rows` leaves it, or with their FR labels as plain text only.
void putOnClipboard(const model::CopiedRows& rows, bool asText)
{
    std::unique_ptr<QMimeData> data = app::ClipboardCommands::mimeDataFor(rows, TreeId::FR);
    if (asText)
        data->removeFormat(QString::fromLatin1(io::kRowsMimeType));
    QGuiApplication::clipboard()->setMimeData(data.release());
}

struct DeepPaste {
    const char* name;
    bool text; // as plain text, else in our own rows format
    std::uint32_t deepest; // levels below the pasted top
    bool accepted;
};

class DeepPasteTest : public PasteBoundsTest, public ::testing::WithParamInterface<DeepPaste> {};

// Pasted as children of D, at level 4: 4,092 levels below that is level 4,096.
TEST_P(DeepPasteTest, RowsBelowTheDeepestLevelAreRefusedWithNothingChanged)
{
    const DeepPaste& c = GetParam();
    model::CopiedRows chain;
    for (std::uint32_t level = 0; level <= c.deepest; ++level)
        chain.append(level, {"1 x", "1 y", "1 z"});
    putOnClipboard(chain, c.text);
    clickRow(TreeId::FR, 3);
    pressIn(TreeId::FR, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));

    const model::DesignTree& fr = workspace->design().tree(TreeId::FR);
    if (c.accepted) {
        EXPECT_TRUE(prompter->errors.empty());
        ASSERT_EQ(workspace->design().rowCount(), 4 + static_cast<int>(c.deepest) + 1);
        EXPECT_EQ(fr.levelOf(fr.nodeAt(workspace->design().rowCount() - 1)), 4096);
        return;
    }
    EXPECT_EQ(prompter->errors, std::vector<QString>{"Cannot paste: the rows would lie deeper than level 4096."});
    EXPECT_EQ(workspace->design().rowCount(), 4);
    EXPECT_FALSE(workspace->history().canUndo());
    EXPECT_FALSE(workspace->design().modified());
}

INSTANTIATE_TEST_SUITE_P(Depth, DeepPasteTest,
                         ::testing::Values(DeepPaste{"RowsReachingTheDeepestLevel", false, 4092, true},
                                           DeepPaste{"RowsOneLevelDeeper", false, 4093, false},
                                           DeepPaste{"TextOneLevelDeeper", true, 4093, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PasteBoundsTest, APastedLabelIsCutToTheLongest)
{
    const std::string label(100 * 1024, 'a');
    model::CopiedRows row;
    row.append(0, {"1 " + label, "1 " + label, "1 " + label});
    for (bool asText : {false, true}) {
        SCOPED_TRACE(asText ? "text" : "rows");
        form->statusBar()->clearMessage();
        putOnClipboard(row, asText);
        clickRow(TreeId::FR, 0);
        pressIn(TreeId::FR, QKeySequence(Qt::CTRL | Qt::Key_V));
        ASSERT_EQ(selected(TreeId::FR), 4);
        EXPECT_TRUE(text(TreeId::FR, 4) == "2 " + label.substr(0, 65536)) << text(TreeId::FR, 4).size() << " bytes";
        EXPECT_EQ(status(), kLabelsCut);
        editing->undo();
    }
}

TEST_F(PasteBoundsTest, ALabelPastedIntoTheEditorIsCutToTheLongest)
{
    clickRow(TreeId::DP, 1);
    QTest::keyClick(view(TreeId::DP), Qt::Key_Return);
    QLineEdit* editor = openEditor(view(TreeId::DP));
    ASSERT_NE(editor, nullptr);
    QGuiApplication::clipboard()->setText(QString(100 * 1024, u'b'));
    QTest::keySequence(form->windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_V)); // over the selected label
    EXPECT_EQ(status(), kLabelsCut);
    QTest::keyClick(form->windowHandle(), Qt::Key_Return);
    // Compared whole, reported by size: a failure must not print 64 KB.
    EXPECT_TRUE(eventually([&] { return text(TreeId::DP, 1) == "1.1 " + std::string(65536, 'b'); }))
        << text(TreeId::DP, 1).size() << " bytes";
}

} // namespace
} // namespace testing_app
