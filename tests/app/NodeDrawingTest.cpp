// How the views draw nodes: the level colours of the current header, black
// beyond level 10, level 0 bold, cream rows, and a selected row on a band of
// the highlight colour in all three views, its text still in its level colour.
#include "MainFormFixture.h"

#include "ui/NodeDelegate.h"
#include "ui/TahomaFont.h"

#include <QDir>
#include <QFile>
#include <QImage>

namespace testing_app {
namespace {

using model::TreeId;

class NodeDrawingTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        // Levels 0 to 11 in one chain.
        std::vector<std::string> chain;
        for (int level = 0; level <= 11; ++level)
            chain.push_back(std::string(static_cast<std::size_t>(level) * 2, ' ') + "L" + std::to_string(level));
        loadOutline(workspace->design(), chain);
        editing->actions().expandAll->trigger();
        QCoreApplication::processEvents();
    }

    QStyleOptionViewItem optionFor(TreeId id, int row)
    {
        auto* delegate = qobject_cast<ui::NodeDelegate*>(view(id)->itemDelegate());
        EXPECT_NE(delegate, nullptr);
        QStyleOptionViewItem base;
        base.font = view(id)->font();
        base.palette = view(id)->palette();
        return delegate->nodeOption(base, features->columns->indexOfRow(id, row));
    }

    // The colour of the darkest pixel in a row: the text's colour.
    QColor textPixel(TreeId id, int row)
    {
        const QImage image = view(id)->viewport()->grab().toImage();
        const QRect rect = view(id)->visualRect(features->columns->indexOfRow(id, row));
        QColor darkest(Qt::white);
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (image.pixelColor(x, y).lightness() < darkest.lightness())
                    darkest = image.pixelColor(x, y);
        return darkest;
    }
};

TEST_F(NodeDrawingTest, FreshRunDrawsEveryLevelBlackAndLevelZeroBold)
{
    for (int row : {0, 1, 10, 11}) {
        const QStyleOptionViewItem opt = optionFor(TreeId::DP, row);
        EXPECT_EQ(opt.palette.color(QPalette::Text), QColor(Qt::black)) << row;
        EXPECT_EQ(opt.font.bold(), row == 0) << row;
        EXPECT_EQ(opt.backgroundBrush.color(), ui::kCream);
    }
    if (ui::registerTahoma()) {
        EXPECT_EQ(view(TreeId::FR)->font().family(), "Tahoma");
    }
}

TEST_F(NodeDrawingTest, SavedLevelColoursAreDrawnUpToLevelTenAndBlackBeyond)
{
    workspace->design().look().setColour(2, 0x000000FF); // red
    workspace->design().look().setColour(10, 0x00FF0000); // blue
    auto path = QDir::temp().filePath("node-drawing-test.vok");
    prompter->savePaths.push_back(path);
    files->save();
    EXPECT_EQ(optionFor(TreeId::PV, 2).palette.color(QPalette::Text), QColor(Qt::red));
    EXPECT_EQ(optionFor(TreeId::PV, 10).palette.color(QPalette::Text), QColor(Qt::blue));
    EXPECT_EQ(optionFor(TreeId::PV, 11).palette.color(QPalette::Text), QColor(Qt::black));
    QFile::remove(path);
}

TEST_F(NodeDrawingTest, SelectedRowLiesOnTheBandInEveryViewAndKeepsItsLevelColour)
{
    workspace->design().look().setColour(1, 0x00008000); // green
    auto path = QDir::temp().filePath("node-drawing-test2.vok");
    prompter->savePaths.push_back(path);
    files->save();
    clickRow(TreeId::FR, 1);
    QCoreApplication::processEvents();
    ASSERT_NE(ui::selectionBand(), ui::kCream);
    for (TreeId id : model::kAllTrees) { // focused or not, every view shows the same band
        const QImage image = view(id)->viewport()->grab().toImage();
        const QRect row = view(id)->visualRect(features->columns->indexOfRow(id, 1));
        const QRect other = view(id)->visualRect(features->columns->indexOfRow(id, 2));
        const int middle = row.center().y();
        EXPECT_EQ(image.pixelColor(row.right() - 3, middle), ui::selectionBand()) << model::index(id);
        EXPECT_EQ(image.pixelColor(2, middle), ui::selectionBand()) << "indentation, view " << model::index(id);
        EXPECT_EQ(image.pixelColor(row.right() - 3, row.top()), ui::selectionEdge()) << model::index(id);
        EXPECT_EQ(image.pixelColor(other.right() - 3, other.center().y()), ui::kCream) << model::index(id);
        const QColor text = textPixel(id, 1);
        EXPECT_GT(text.green(), text.red() + 40) << model::index(id);
    }
    QFile::remove(path);
}

} // namespace
} // namespace testing_app
