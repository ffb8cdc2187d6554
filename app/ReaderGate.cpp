#include "app/ReaderGate.h"

#include "model/Design.h"

#include <algorithm>
#include <cassert>

namespace app {

ReaderGate::ReaderGate(const model::Design& design) : m_design(design) {}

ReaderGate::~ReaderGate()
{
    std::unique_lock lock(m_mutex);
    for (Pass* pass : m_open)
        pass->m_stop = true;
    waitForNoReaders(lock);
}

std::shared_ptr<ReaderGate::Pass> ReaderGate::open(Reader reader)
{
    // Built here, where the design changes, so that reading it builds nothing.
    for (model::TreeId id : model::kAllTrees)
        (void)m_design.tree(id).preorder();
    auto pass = std::make_shared<Pass>(*this, reader);
    const std::lock_guard lock(m_mutex);
    m_open.push_back(pass.get());
    return pass;
}

void ReaderGate::beforeChange()
{
    ++m_changesBegun;
    std::unique_lock lock(m_mutex);
    if (m_open.empty())
        return;
    if (m_stopsInARow < kStopsBeforeWaiting) {
        bool stopped = false;
        for (Pass* pass : std::vector<Pass*>(m_open))
            if (pass->m_reader == Reader::GivesWay) {
                pass->m_stop = true;
                stopped = true;
                if (pass->m_state == Pass::State::Waiting)
                    close(*pass); // it will not begin: nothing to wait for
            }
        if (stopped)
            ++m_stopsInARow;
    }
    waitForNoReaders(lock); // a reader that was asked to stop does within a millisecond
}

void ReaderGate::waitForNoReaders(std::unique_lock<std::mutex>& lock)
{
    m_readersGone.wait(lock, [this] { return m_open.empty(); });
}

void ReaderGate::close(Pass& pass)
{
    if (pass.m_state == Pass::State::Over)
        return;
    if (pass.m_reader == Reader::GivesWay && pass.m_state == Pass::State::Reading && !pass.m_stop)
        m_stopsInARow = 0; // a whole copy: the next steps may stop copies again
    pass.m_state = Pass::State::Over;
    m_open.erase(std::find(m_open.begin(), m_open.end(), &pass));
    m_readersGone.notify_all();
}

bool ReaderGate::Pass::begin()
{
    const std::lock_guard lock(m_gate.m_mutex);
    if (m_stop) {
        m_gate.close(*this);
        return false;
    }
    m_state = State::Reading;
    return true;
}

void ReaderGate::Pass::end()
{
    const std::lock_guard lock(m_gate.m_mutex);
    m_gate.close(*this);
}

void ReaderGate::Pass::withdraw()
{
    const std::lock_guard lock(m_gate.m_mutex);
    m_stop = true;
    if (m_state == State::Waiting)
        m_gate.close(*this);
}

} // namespace app
