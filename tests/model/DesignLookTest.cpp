// The design's look: a level style edit is a recorded step of its own that
// leaves the modified flag alone, and every change of the look is announced.
#include "model/Design.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using model::LevelStyle;

struct LookWatcher : model::TreeObserver {
    std::vector<int> levels;
    std::vector<unsigned> steps;
    void levelStylesChanged(int level) override { levels.push_back(level); }
    void stepFinished(const model::StepChanges& changes) override { steps.push_back(changes.bits); }
};

TEST(DesignLook, AStyleEditIsUndoneAndRedoneAndLeavesTheFlagAlone)
{
    model::Design design;
    LookWatcher watcher;
    design.addObserver(&watcher);
    const LevelStyle before = design.look().style(4);
    design.startRecording();
    design.look().setColour(4, 0x000000FFu);
    const auto record = design.stopRecording();
    ASSERT_FALSE(record->empty());
    EXPECT_FALSE(design.modified());
    EXPECT_EQ(watcher.levels, std::vector<int>{4});
    EXPECT_EQ(watcher.steps, std::vector<unsigned>{model::StepChanges::Looks});

    record->undo();
    EXPECT_EQ(design.look().style(4), before);
    record->redo();
    EXPECT_EQ(design.look().style(4).colour, 0x000000FFu);
    EXPECT_EQ(watcher.levels, (std::vector<int>{4, -1, -1}));
    EXPECT_FALSE(design.modified());
    design.removeObserver(&watcher);
}

// Opening takes the file's levels as the colours drawn at once; a style edit
// shows in the current header only once a save stores it there.
TEST(DesignLook, TheCurrentHeaderFollowsOpeningAndSavingNotTheEdit)
{
    model::Design design;
    model::HeaderRecord file{};
    file.levels[2].colour = 0x00FF0000u;
    design.look().opened(file);
    EXPECT_EQ(design.look().currentHeader().levels[2].colour, 0x00FF0000u);

    design.look().setColour(2, 0x000000FFu);
    EXPECT_EQ(design.look().currentHeader().levels[2].colour, 0x00FF0000u);
    model::HeaderRecord written = design.look().currentHeader();
    design.look().storeStylesInto(written);
    design.look().saved(written);
    EXPECT_EQ(design.look().currentHeader().levels[2].colour, 0x000000FFu);
    EXPECT_EQ(design.look().loadedHeader(), file);
}

} // namespace
