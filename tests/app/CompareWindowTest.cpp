// "Compare with…" in the window: a design on disk that differs from the one
// on screen by a relabelled row, a moved subtree and an added row; the list
// of changes, the marks the columns paint, choosing a change, and the ways
// the comparison ends.
#include "MainFormFixture.h"

#include "app/CompareController.h"
#include "io/DesignFile.h"
#include "ui/ComparePane.h"
#include "ui/NodeDelegate.h"

#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QToolButton>

namespace testing_app {
namespace {

using model::TreeId;
using ui::RowChange;

// On screen: D (with E) moved under A from the top level, N added.
const std::vector<std::string> kNewer = {"1 A", "  1.1 B", "  1.2 C", "  1.3 D", "    1.3.1 E", "2 N"};
constexpr int kB = 1, kD = 3, kE = 4, kN = 5;

class CompareWindowTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        // Written from the window, so that only the rows differ, not the look.
        model::Design& design = workspace->design();
        loadOutline(design, {"1 A", "  1.1 B", "  1.2 C", "2 D", "  2.1 E"});
        design.editLabel(TreeId::DP, kB, "Old B'");
        io::writeDesignFile(olderPath(), design);
        loadOutline(workspace->design(), kNewer);
        workspace->design().setModified(false);
        editing->actions().expandAll->trigger();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    std::string olderPath() const { return dir.filePath(QStringLiteral("older.vok")).toStdString(); }
    app::CompareController& compare() { return *features->compare; }
    ui::ComparePane& pane() { return *compare().pane(); }
    void compareWithOlder()
    {
        prompter->openPaths.push_back(QString::fromStdString(olderPath()));
        compare().actions().compareWith->trigger();
    }
    std::vector<std::string> listed()
    {
        std::vector<std::string> lines;
        for (int i = 0; i < pane().list()->count(); ++i)
            lines.push_back(pane().list()->item(i)->text().toStdString());
        return lines;
    }
    // The colour along the left edge of a row as the column paints it.
    QColor edgeOf(TreeId id, int row)
    {
        const QImage image = view(id)->viewport()->grab().toImage();
        const QRect rect = view(id)->visualRect(columns().indexOfRow(id, row));
        return image.pixelColor(rect.left() + 1, rect.center().y());
    }

    QTemporaryDir dir;
};

TEST_F(CompareWindowTest, ListsEveryChangeAndPaintsEachKindInItsColumns)
{
    compareWithOlder();
    ASSERT_TRUE(compare().active());
    ASSERT_TRUE(pane().isVisible());
    EXPECT_EQ(listed(), (std::vector<std::string>{"1.1 DP: \"Old B'\" \u2192 \"B'\"", "moved 2 \u2192 1.3 D",
                                                  "+ 2 N (1 row)"}));
    EXPECT_TRUE(pane().caption()->text().contains(QStringLiteral("older.vok")));
    // A relabelling marks its column only; a move marks the subtree that went
    // with it; the row selected (A) lies on its band, so C shows no mark.
    const struct { TreeId tree; int row; RowChange mark; } cases[] = {
        {TreeId::FR, kB, RowChange::None},  {TreeId::DP, kB, RowChange::Changed}, {TreeId::PV, kB, RowChange::None},
        {TreeId::DP, 2, RowChange::None},   {TreeId::FR, kD, RowChange::Moved},   {TreeId::PV, kE, RowChange::Moved},
        {TreeId::FR, kN, RowChange::Added}, {TreeId::DP, kN, RowChange::Added},   {TreeId::PV, kN, RowChange::Added},
    };
    for (const auto& c : cases) {
        const QColor expected = c.mark == RowChange::None ? ui::kCream : ui::changeBar(c.mark);
        EXPECT_EQ(edgeOf(c.tree, c.row), expected) << "row " << c.row << " column " << model::index(c.tree);
    }
    // The tint runs under the whole row, not only its label.
    const QRect row = view(TreeId::DP)->visualRect(columns().indexOfRow(TreeId::DP, kN));
    EXPECT_EQ(view(TreeId::DP)->viewport()->grab().toImage().pixelColor(row.right() - 2, row.center().y()),
              ui::changeTint(RowChange::Added));
}

TEST_F(CompareWindowTest, EnterAndF8SelectTheRowOfAChangeOpeningItsAncestors)
{
    columns().collapseAll();
    compareWithOlder();
    pane().list()->setCurrentRow(0);
    QTest::keyClick(pane().list(), Qt::Key_Return);
    EXPECT_EQ(selected(TreeId::DP), kB);
    QTest::keyClick(form->windowHandle(), Qt::Key_F8);
    EXPECT_EQ(selected(TreeId::FR), kD);
    EXPECT_TRUE(expanded(TreeId::FR, 0));
    // Back past the first change, round to the last.
    QTest::keyClick(form->windowHandle(), Qt::Key_F8, Qt::ShiftModifier);
    QTest::keyClick(form->windowHandle(), Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_EQ(selected(TreeId::PV), kN);
    EXPECT_TRUE(compare().active()) << "selecting a row renumbers, which is no edit";
}

TEST_F(CompareWindowTest, EndsWhenClosedEditedOrAnotherDesignOpens)
{
    const std::pair<const char*, std::function<void()>> endings[] = {
        {"close button", [&] { pane().closeButton()->click(); }},
        {"Escape", [&] { QTest::keyClick(pane().list(), Qt::Key_Escape); }},
        {"edit", [&] {
             clickRow(TreeId::FR, 0);
             ASSERT_TRUE(compare().active()) << "a click is no edit";
             editing->actions().addBelow->trigger();
         }},
        {"open", [&] {
             prompter->answers.push_back(app::Prompter::Answer::No); // the edit above is not saved
             prompter->openPaths.push_back(QString::fromStdString(olderPath()));
             files->actions().open->trigger();
         }},
    };
    for (const auto& [how, end] : endings) {
        compareWithOlder();
        ASSERT_TRUE(compare().active()) << how;
        end();
        EXPECT_FALSE(compare().active()) << how;
        EXPECT_FALSE(pane().isVisible()) << how;
        EXPECT_EQ(edgeOf(TreeId::FR, kD), ui::kCream) << how;
        EXPECT_FALSE(compare().actions().nextChange->isEnabled()) << how;
    }
}

} // namespace
} // namespace testing_app
