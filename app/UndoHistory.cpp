#include "app/UndoHistory.h"

#include "model/Design.h"

#include <vector>

namespace app {

// A step on the stack. Its record was made while the command ran, so the
// stack's first redo, at the push, has nothing left to do.
class UndoHistory::Step : public QUndoCommand {
public:
    struct Data {
        std::unique_ptr<model::EditRecord> record;
        int rowBefore;
        int rowAfter;
    };

    Step(const QString& name, std::shared_ptr<Data> data, const bool& rebuilding, bool done)
        : QUndoCommand(name), m_data(std::move(data)), m_rebuilding(rebuilding), m_done(done)
    {
    }

    void undo() override
    {
        if (!m_rebuilding)
            m_data->record->undo();
        m_done = false;
    }
    void redo() override
    {
        if (!m_rebuilding && !m_done)
            m_data->record->redo();
        m_done = true;
    }

    const std::shared_ptr<Data>& data() const { return m_data; }

private:
    std::shared_ptr<Data> m_data;
    const bool& m_rebuilding;
    bool m_done;
};

UndoHistory::UndoHistory(model::Design& design, QObject* parent) : QObject(parent), m_design(design)
{
    m_stack.setUndoLimit(kMaxSteps);
    // The modified flag follows the history: back at the saved state, it clears.
    connect(&m_stack, &QUndoStack::cleanChanged, this, [this](bool clean) {
        if (m_rebuilding)
            return;
        m_design.setModified(!clean);
        emit cleanChanged(clean);
    });
    connect(&m_stack, &QUndoStack::indexChanged, this, [this] {
        if (!m_rebuilding)
            emit changed();
    });
}

UndoHistory::~UndoHistory()
{
    // The records give held subtrees back to the design, which still exists.
    m_rebuilding = true;
    m_stack.clear();
}

UndoHistory::Step* UndoHistory::stepAt(int index) const
{
    return static_cast<Step*>(const_cast<QUndoCommand*>(m_stack.command(index)));
}

void UndoHistory::push(const QString& name, std::unique_ptr<model::EditRecord> record, int rowBefore, int rowAfter)
{
    auto data = std::make_shared<Step::Data>(Step::Data{std::move(record), rowBefore, rowAfter});
    m_stack.push(new Step(name, std::move(data), m_rebuilding, true));
    keepWithinMemory();
    emit changed();
}

void UndoHistory::amend(std::unique_ptr<model::EditRecord> record)
{
    if (!record || record->empty())
        return;
    if (m_stack.canRedo())
        dropRedo();
    if (m_stack.index() == 0)
        return; // nothing to join: the changes stay, and undo stops before them
    stepAt(m_stack.index() - 1)->data()->record->append(std::move(*record));
    keepWithinMemory();
}

void UndoHistory::dropRedo()
{
    // The stack drops what could be redone when something is pushed; an
    // obsolete command is dropped with it and never added.
    auto* nothing = new QUndoCommand;
    nothing->setObsolete(true);
    m_stack.push(nothing);
    emit changed();
}

void UndoHistory::undo()
{
    if (!m_stack.canUndo())
        return;
    const int row = stepAt(m_stack.index() - 1)->data()->rowBefore;
    m_stack.undo();
    emit rowToSelect(row);
}

void UndoHistory::redo()
{
    if (!m_stack.canRedo())
        return;
    const int row = stepAt(m_stack.index())->data()->rowAfter;
    m_stack.redo();
    emit rowToSelect(row);
}

void UndoHistory::clear()
{
    m_stack.clear();
    emit changed();
}

void UndoHistory::markSaved()
{
    m_stack.setClean();
}

void UndoHistory::markUnsaved()
{
    m_stack.resetClean();
}

std::size_t UndoHistory::bytes() const
{
    std::size_t total = 0;
    for (int i = 0; i < m_stack.count(); ++i)
        total += stepAt(i)->data()->record->bytes();
    return total;
}

void UndoHistory::keepWithinMemory()
{
    // The oldest steps go first; the step just made always stays.
    std::size_t total = bytes();
    int drop = 0;
    while (total > m_maxBytes && drop + 1 < m_stack.index())
        total -= stepAt(drop++)->data()->record->bytes();
    if (drop > 0)
        dropOldest(drop);
}

void UndoHistory::dropOldest(int steps)
{
    // QUndoStack forgets old steps only through its own count limit: the
    // steps that stay move to the emptied stack, and nothing is applied
    // while they do. The records of the dropped steps go with them.
    struct Kept { QString name; std::shared_ptr<Step::Data> data; };
    std::vector<Kept> kept;
    for (int i = steps; i < m_stack.count(); ++i)
        kept.push_back({m_stack.text(i), stepAt(i)->data()});
    const int index = m_stack.index() - steps;
    const int clean = m_stack.cleanIndex() - steps; // negative: the saved state is gone
    m_rebuilding = true;
    m_stack.clear();
    for (Kept& k : kept)
        m_stack.push(new Step(k.name, std::move(k.data), m_rebuilding, true));
    if (clean >= 0 && clean <= static_cast<int>(kept.size())) {
        m_stack.setIndex(clean);
        m_stack.setClean();
    } else {
        m_stack.resetClean();
    }
    m_stack.setIndex(index);
    m_rebuilding = false;
    emit changed();
}

} // namespace app
