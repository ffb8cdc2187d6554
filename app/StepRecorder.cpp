#include "app/StepRecorder.h"

#include "app/UndoHistory.h"

namespace app {

StepRecorder::StepRecorder(model::Design& design, UndoHistory& history, SelectedRow selectedRow,
                           FinishEditing finishEditing, ShowRow showRow)
    : m_design(design), m_history(history), m_selectedRow(std::move(selectedRow)),
      m_finishEditing(std::move(finishEditing)), m_showRow(std::move(showRow))
{
}

void StepRecorder::run(const char* name, const std::function<void()>& command)
{
    if (m_design.recording()) { // within a step already: part of it
        command();
        return;
    }
    m_finishEditing();
    record(name, m_selectedRow(), model::Design::Joining::No, Show::Row, [&]() -> std::optional<int> {
        command();
        return m_selectedRow();
    });
}

void StepRecorder::runOnRow(const char* name, int row, const std::function<void()>& command)
{
    if (m_design.recording()) {
        command();
        return;
    }
    // A label edit leaves the selection as it was; one confirmed by a click
    // elsewhere must not scroll the columns under that click.
    record(name, row, model::Design::Joining::No, Show::Nothing, [&]() -> std::optional<int> {
        command();
        return row;
    });
}

void StepRecorder::runOrJoin(const char* name, int rowBefore, const std::function<std::optional<int>()>& command)
{
    if (m_design.recording()) {
        command();
        return;
    }
    m_finishEditing();
    // Recorded as joining: its renumbering keeps what it replaces, in case it joins.
    record(name, rowBefore, model::Design::Joining::Yes, Show::Row, command);
}

void StepRecorder::join(const std::function<void()>& change)
{
    if (m_design.recording()) {
        change();
        return;
    }
    m_design.startRecording(model::Design::Joining::Yes);
    change();
    m_history.amend(m_design.stopRecording());
}

void StepRecorder::record(const char* name, int rowBefore, model::Design::Joining joining, Show show,
                          const std::function<std::optional<int>()>& command)
{
    const bool wasModified = m_design.modified();
    m_design.startRecording(joining);
    std::optional<int> rowAfter;
    try {
        rowAfter = command();
    } catch (...) {
        // What it changed before it failed can still be undone.
        if (std::unique_ptr<model::EditRecord> changes = m_design.stopRecording(); !changes->empty())
            m_history.push(QString::fromLatin1(name), std::move(changes), rowBefore, m_selectedRow());
        throw;
    }
    std::unique_ptr<model::EditRecord> changes = m_design.stopRecording();
    if (!rowAfter)
        m_history.amend(std::move(changes));
    // A command that changed nothing is no step, unless it set the modified flag.
    else if (!changes->empty() || (!wasModified && m_design.modified()))
        m_history.push(QString::fromLatin1(name), std::move(changes), rowBefore, *rowAfter);
    // Whatever each column's own selection did while the rows changed under it,
    // the three end on one row.
    const int shown = rowAfter ? *rowAfter : m_selectedRow();
    if (show == Show::Row && shown >= 0 && shown < m_design.rowCount())
        m_showRow(shown);
}

} // namespace app
