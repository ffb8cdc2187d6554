// The adapters keep Qt's item-model contract through every kind of change,
// undo and redo included: QAbstractItemModelTester watches all three while
// random commands run, and stops the test at the first broken promise.

#include "model/CopiedRows.h"
#include "model/Design.h"
#include "model/EditRecord.h"
#include "ui/TreeAdapter.h"

#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace {

using model::TreeId;

TEST(TreeAdapterContract, HoldsThroughCommandsUndoAndRedo)
{
    model::Design design;
    std::vector<std::unique_ptr<ui::TreeAdapter>> adapters;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    for (TreeId id : model::kAllTrees) {
        adapters.push_back(std::make_unique<ui::TreeAdapter>(design, id));
        testers.push_back(std::make_unique<QAbstractItemModelTester>(
            adapters.back().get(), QAbstractItemModelTester::FailureReportingMode::Fatal));
    }
    std::mt19937 random(7);
    auto pick = [&](int n) { return n <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::vector<std::unique_ptr<model::EditRecord>> done, undone;
    model::CopiedRows run; // three subtrees side by side: pasted and undone as one run
    run.levels = {0, 1, 0, 0};
    for (auto& texts : run.texts)
        texts = {"p", "q", "r", "s"};
    design.addFirstRow();
    for (int step = 0; step < 300; ++step) {
        const int k = pick(design.rowCount());
        const int what = pick(11);
        if (what == 8 && !done.empty()) {
            done.back()->undo();
            undone.push_back(std::move(done.back()));
            done.pop_back();
            continue;
        }
        if (what == 9 && !undone.empty()) {
            undone.back()->redo();
            done.push_back(std::move(undone.back()));
            undone.pop_back();
            continue;
        }
        design.startRecording();
        switch (what) {
        case 0: design.addSiblingBelow(k); break;
        case 1: design.addChild(k); break;
        case 2: design.addUncle(k); break;
        case 3: design.deleteRow(k); break;
        case 4: design.moveUp(k); break;
        case 5: design.moveDown(k); break;
        case 6: design.drop(k, pick(design.rowCount())); break;
        case 7: design.duplicate(design.rowCount() > 100 ? 0 : k); break;
        default:
            design.paste(design.rowCount() > 100 ? 0 : k, run,
                         k % 2 ? model::PastePlace::NextSiblings : model::PastePlace::LastChildren);
            break;
        }
        done.push_back(design.stopRecording());
        undone.clear();
    }
    EXPECT_GT(design.rowCount(), 1);
}

} // namespace
