#pragma once
// The user's changes as steps of the undo history. A command runs while the
// design records it, and what it changed becomes one step, named as the user
// knows the command, unless it changed nothing (and set no modified flag). A
// change that is no step of its own (the renumbering of a click, a drop that
// moved nothing) joins the step the design is at. A command that runs within
// another's step is part of it. When a command's step ends, the row it leaves
// selected is shown in all three columns, the row the next command acts on.

#include "model/Design.h"

#include <functional>
#include <optional>

namespace app {

class UndoHistory;

class StepRecorder {
public:
    using SelectedRow = std::function<int()>;
    using FinishEditing = std::function<void()>;
    using ShowRow = std::function<void(int row)>;

    // `finishEditing` confirms open editors first, so that their edits are
    // steps of their own before the next one; `showRow` selects a row in all
    // three columns.
    StepRecorder(model::Design& design, UndoHistory& history, SelectedRow selectedRow, FinishEditing finishEditing,
                 ShowRow showRow);

    // The step `name`; the rows it acted on are the selected ones before and after.
    void run(const char* name, const std::function<void()>& command);
    // The step `name` on row `row`, which stays the row selected (a label edit).
    void runOnRow(const char* name, int row, const std::function<void()>& command);
    // A step when `command` gives the row it acted on afterwards, else the
    // changes join the step before (a drop).
    void runOrJoin(const char* name, int rowBefore, const std::function<std::optional<int>()>& command);
    // Changes that join the step the design is at.
    void join(const std::function<void()>& change);

private:
    enum class Show { Row, Nothing };
    void record(const char* name, int rowBefore, model::Design::Joining joining, Show show,
                const std::function<std::optional<int>()>& command);

    model::Design& m_design;
    UndoHistory& m_history;
    SelectedRow m_selectedRow;
    FinishEditing m_finishEditing;
    ShowRow m_showRow;
};

} // namespace app
