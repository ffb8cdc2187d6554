#pragma once
// One design's undo history: every change a user makes is one step on a
// QUndoStack, which gives the step names, the clean state (the design's
// modified flag follows it: the history sets it) and what can be undone or
// redone. A step holds the
// model's record of what it changed (model::EditRecord) and the row it acted
// on, which is selected again after an undo or a redo.
//
// The history keeps at most kMaxSteps steps and kMaxBytes of recorded state,
// dropping the oldest steps first.

#include "model/EditRecord.h"

#include <QObject>
#include <QUndoStack>

#include <cstddef>
#include <memory>

namespace model { class Design; }

namespace app {

class UndoHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxSteps = 1000;
    static constexpr std::size_t kMaxBytes = std::size_t(256) * 1024 * 1024;

    explicit UndoHistory(model::Design& design, QObject* parent = nullptr);
    ~UndoHistory() override;

    // A step the user just made: its record, the row selected before it and after it.
    void push(const QString& name, std::unique_ptr<model::EditRecord> record, int rowBefore, int rowAfter);
    // Changes that are not a step of their own (the renumbering of a click)
    // join the step the design is at. Steps that could be redone are dropped
    // when the design changes under them.
    void amend(std::unique_ptr<model::EditRecord> record);

    void undo();
    void redo();
    void clear();     // another design was opened
    void markSaved();   // the design on screen is what is on disk
    void markUnsaved(); // no state in the history is (a recovered design)

    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    QString undoText() const { return m_stack.undoText(); }
    QString redoText() const { return m_stack.redoText(); }
    int count() const { return m_stack.count(); }
    int index() const { return m_stack.index(); }
    std::size_t bytes() const;

    // Not the design's own limit: tests set a small one.
    void setMaxBytes(std::size_t bytes) { m_maxBytes = bytes; }

signals:
    void changed();               // what can be undone or redone, or their names
    void rowToSelect(int row);    // after an undo or a redo
    void cleanChanged(bool clean);

private:
    class Step;
    Step* stepAt(int index) const;
    void dropRedo();
    void dropOldest(int steps);
    void keepWithinMemory();

    model::Design& m_design;
    QUndoStack m_stack;
    std::size_t m_maxBytes = kMaxBytes;
    bool m_rebuilding = false; // steps are moved to a fresh stack: nothing is applied
};

} // namespace app
