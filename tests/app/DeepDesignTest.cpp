// A design thousands of levels deep must not crash the window on any path:
// expanding (the toolkit lays out expanded rows recursively), drawing,
// renumbering, saving, reading, export, Duplicate and Delete. The paths run in
// a child process whose stack is cut to 512 KB, where 5,000 levels expanded
// at once would overflow it several times over.

#include "MainFormFixture.h"

#include "app/FileCommands.h"
#include "export/DocumentOpener.h"
#include "ui/ExpansionLimit.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>

#include <cstdlib>

#include <sys/resource.h>

namespace testing_app {
namespace {

using model::TreeId;

constexpr int kDepth = 5000;
constexpr rlim_t kSmallStack = 512 * 1024;
constexpr const char* kChildVariable = "TESSARIC_DEEP_DESIGN_CHILD";

class NoOpener : public exporting::DocumentOpener {
public:
    bool open(const std::string&) override { return true; }
};

// One chain of kDepth levels, then a second top-level row.
void loadChain(model::Design& design)
{
    std::array<model::DesignTree, model::kTreeCount> trees;
    for (auto& tree : trees) {
        model::Node* node = tree.appendTopLevel("deep");
        for (int level = 1; level < kDepth; ++level)
            node = tree.appendChild(node, "deeper");
        tree.appendTopLevel("shallow");
    }
    design.replaceTrees(std::move(trees));
}

// Runs in the child, under the small stack; skipped anywhere else.
TEST_F(MainFormTest, DeepDesignChildRunsEveryPath)
{
    if (!std::getenv(kChildVariable))
        GTEST_SKIP() << "runs in the child process of DeepDesign.EveryPathSurvivesUnderASmallStack";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    files->setDocumentOpener(std::make_unique<NoOpener>());
    loadChain(workspace->design());
    const int limit = ui::safeExpansionDepth();
    ASSERT_LT(limit, kDepth);

    editing->actions().expandAll->trigger(); // expanding
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->statusBar()->currentMessage().contains(QString::number(limit)))
        << form->statusBar()->currentMessage().toStdString();
    EXPECT_TRUE(expanded(TreeId::FR, limit - 1));
    EXPECT_FALSE(expanded(TreeId::FR, limit));
    view(TreeId::PV)->setExpanded(features->columns->indexOfRow(TreeId::PV, limit + 1), true); // taken back
    EXPECT_FALSE(expanded(TreeId::PV, limit + 1));

    features->columns->selectRow(limit); // drawing the deepest rows shown
    auto* scroll = view(TreeId::DP)->horizontalScrollBar();
    scroll->setValue(scroll->maximum());
    QCoreApplication::processEvents();
    (void)view(TreeId::DP)->grab();
    scroll->setValue(0);
    clickRow(TreeId::DP, 1); // renumbering
    EXPECT_EQ(text(TreeId::FR, kDepth), "2 shallow");

    prompter->savePaths.push_back(dir.filePath("deep.vok")); // saving, export, reading
    files->save();
    files->exportRtf();
    EXPECT_TRUE(prompter->errors.empty());
    prompter->openPaths.push_back(dir.filePath("deep.vok"));
    files->open();
    ASSERT_EQ(workspace->design().rowCount(), kDepth + 1);

    features->columns->selectRow(0); // Duplicate of the whole chain, then Delete of the copy
    editing->duplicate();
    QCoreApplication::processEvents();
    ASSERT_EQ(workspace->design().rowCount(), 2 * kDepth + 1);
    features->columns->selectRow(kDepth + 1);
    editing->deleteRow();
    QCoreApplication::processEvents();
    EXPECT_EQ(workspace->design().rowCount(), kDepth + 1);
    EXPECT_TRUE(prompter->errors.empty());
}

TEST(DeepDesign, EveryPathSurvivesUnderASmallStack)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setChildProcessModifier([] {
        rlimit stack{kSmallStack, kSmallStack};
        setrlimit(RLIMIT_STACK, &stack); // the main thread's stack at exec
    });
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=MainFormTest.DeepDesignChildRunsEveryPath")});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QByteArray output = child.readAll();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << "crashed:\n" << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

} // namespace
} // namespace testing_app
