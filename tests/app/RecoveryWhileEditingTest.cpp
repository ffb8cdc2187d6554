// The recovery copy is encoded on the keeper's writer thread while the user
// goes on editing: a step stops the copy being made, and the next copy is
// whole; a copy not yet begun is given up at once; after a few copies given
// up in a row, the next step waits for the copy instead.

#include "MainFormFixture.h"

#include "app/ReaderGate.h"
#include "app/RecoveryKeeper.h"
#include "io/DesignFile.h"
#include "io/TreeText.h"

#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <thread>

namespace testing_app {
namespace {

using model::TreeId;
using namespace std::chrono_literals;

std::vector<std::string> rowTexts(const model::DesignTree& tree)
{
    std::vector<std::string> texts;
    for (const model::Node* node : tree.preorder())
        texts.push_back(node->text().str());
    return texts;
}

TEST(RecoveryWhileEditingTest, AStepStopsTheCopyBeingMadeAndTheNextCopyOpensToTheEditedDesign)
{
    QTemporaryDir dir;
    model::Design design;
    app::ReaderGate readers(design);
    design.setBeforeChange([&] { readers.beforeChange(); });
    loadOutline(design, {"Pump", "  Motor", "  Valve"});
    std::atomic<int> copiesBegun = 0, copiesStopped = 0;
    app::RecoveryKeeper keeper(
        design, readers,
        [&](const std::atomic<bool>* stop) {
            // The first copy is still being made when the step starts (the
            // bound only keeps a broken gate from hanging the test).
            if (copiesBegun++ == 0)
                for (const auto giveUp = std::chrono::steady_clock::now() + 10s;
                     !*stop && std::chrono::steady_clock::now() < giveUp;)
                    std::this_thread::yield();
            try {
                return io::encodeDesignFile(design, io::KeptBlocksToo::Yes, stop);
            } catch (const io::EncodeStopped&) {
                ++copiesStopped;
                throw;
            }
        },
        [] { return std::string(); });
    keeper.setFolder(dir.filePath("recovery"));
    keeper.setDelay(0);
    design.setModified(true);

    keeper.writeNow();
    ASSERT_TRUE(eventually([&] { return copiesBegun == 1; }));
    design.editText(TreeId::FR, 2, "Gear");
    EXPECT_EQ(copiesStopped, 1);

    ASSERT_TRUE(eventually([&] { return copiesBegun >= 2 && keeper.waitForWriter(0); }));
    EXPECT_EQ(copiesStopped, 1);
    const io::DesignFileContents copy = io::readDesignFile(QFile::encodeName(keeper.ownCopyPath()).toStdString());
    for (TreeId id : model::kAllTrees)
        EXPECT_EQ(rowTexts(copy.trees[static_cast<std::size_t>(model::index(id))]), rowTexts(design.tree(id)));
}

TEST(RecoveryWhileEditingTest, ACopyNotYetBegunIsGivenUpWithoutWaitingForIt)
{
    model::Design design;
    app::ReaderGate readers(design);
    const std::shared_ptr<app::ReaderGate::Pass> pass = readers.open(app::ReaderGate::Reader::GivesWay);
    std::atomic<bool> begun = false;
    // Should the gate wait for the copy, the copy begins after a while and
    // lets the step go on: the test fails rather than hangs.
    std::thread late([&] {
        std::this_thread::sleep_for(200ms);
        begun = pass->begin();
        pass->end();
    });
    readers.beforeChange();
    late.join();
    EXPECT_FALSE(begun);
}

TEST(RecoveryWhileEditingTest, AfterCopiesGivenUpInARowTheNextStepWaitsForTheCopy)
{
    model::Design design;
    app::ReaderGate readers(design);
    const auto copyStoppedBy = [&](int steps) {
        const std::shared_ptr<app::ReaderGate::Pass> pass = readers.open(app::ReaderGate::Reader::GivesWay);
        std::atomic<bool> reading = false;
        std::thread copy([&] {
            if (!pass->begin())
                return;
            reading = true;
            // A copy that the gate lets finish ends on its own after a while.
            for (const auto done = std::chrono::steady_clock::now() + 200ms;
                 !*pass->stop() && std::chrono::steady_clock::now() < done;)
                std::this_thread::yield();
            pass->end();
        });
        while (!reading)
            std::this_thread::yield();
        for (int i = 0; i < steps; ++i)
            readers.beforeChange();
        copy.join();
        return pass->stop()->load();
    };
    for (int i = 0; i < app::ReaderGate::kStopsBeforeWaiting; ++i)
        EXPECT_TRUE(copyStoppedBy(1)) << "copy " << i;
    EXPECT_FALSE(copyStoppedBy(1));
    EXPECT_TRUE(copyStoppedBy(1)) << "a whole copy lets steps stop copies again";
}

} // namespace
} // namespace testing_app
