// A save encodes and writes on a thread of its own while the window's event
// loop goes on: edits the loop runs meanwhile wait for the encode, and the
// file holds the design as it was when the save began; a close asked for
// meanwhile closes the window once the save is done.

#include "MainFormFixture.h"

#include "app/FileController.h"
#include "app/RecoveryKeeper.h"
#include "app/TMainForm.h"
#include "app/Workspace.h"
#include "io/DesignFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace testing_app {
namespace {

std::vector<std::string> rowTexts(const model::DesignTree& tree)
{
    std::vector<std::string> texts;
    for (const model::Node* node : tree.preorder())
        texts.push_back(node->text().str());
    return texts;
}

TEST(SaveWhileEditingTest, ASaveWritesTheDesignAsItWasWhenEditsAreQueuedBehindIt)
{
    QTemporaryDir dir;
    app::Workspace workspace(dir.path().toStdString());
    auto prompter = std::make_shared<FakePrompter>();
    workspace.setPrompter(prompter);
    model::Design& design = workspace.design();
    loadOutline(design, {"Pump", "  Motor", "  Valve"});
    design.setModified(true);
    const std::array<std::vector<std::string>, model::kTreeCount> atTheSave{
        rowTexts(design.tree(model::TreeId::FR)), rowTexts(design.tree(model::TreeId::DP)),
        rowTexts(design.tree(model::TreeId::PV))};
    const QString path = dir.filePath("pump.vok");
    prompter->savePaths.push_back(path);
    constexpr int kEdits = 3;
    for (int i = 0; i < kEdits; ++i)
        QTimer::singleShot(0, [&design] { design.addChild(0); });

    ASSERT_TRUE(workspace.files().saveAs());

    const io::DesignFileContents saved = io::readDesignFile(QFile::encodeName(path).toStdString());
    for (std::size_t i = 0; i < model::kTreeCount; ++i)
        EXPECT_EQ(rowTexts(saved.trees[i]), atTheSave[i]);
    ASSERT_TRUE(eventually([&] { return design.rowCount() == 3 + kEdits; }));
    EXPECT_TRUE(design.modified()) << "the edits are in the design, not in the file";
}

TEST(SaveWhileEditingTest, AWindowClosedDuringASaveClosesOnceTheSaveIsDone)
{
    QTemporaryDir dir;
    auto prompter = std::make_shared<FakePrompter>();
    TestWindow window;
    window.build(prompter, dir.path().toStdString());
    window.features->recovery->setFolder(dir.filePath("recovery"));
    window.form->show();
    loadOutline(window.workspace->design(), {"Pump", "  Motor"});
    window.workspace->design().setModified(true);
    prompter->savePaths.push_back(dir.filePath("pump.vok"));
    QTimer::singleShot(0, window.form.get(), &QWidget::close);

    ASSERT_TRUE(window.workspace->files().saveAs());
    EXPECT_TRUE(window.form->isVisible());
    EXPECT_TRUE(eventually([&] { return !window.form->isVisible(); }));
    EXPECT_TRUE(prompter->questions.empty()) << prompter->questions.front().toStdString();
    EXPECT_FALSE(window.workspace->design().modified());
}

} // namespace
} // namespace testing_app
