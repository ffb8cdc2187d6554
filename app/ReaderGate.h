#pragma once
// Lets other threads read the design while the window's thread leaves it
// alone. A reader is let in on the window's thread, between steps (open);
// before the first change of every step the design asks the gate
// (beforeChange), which stops the readers that give way, the recovery copy,
// and waits for the others, a save, to finish. A copy given up is made
// again later; after a few given up in a row, the next step waits for the
// copy instead, so that a steady typist still gets copies.
//
// Readers read only: whatever the design would build lazily as it is read
// (the rows of its trees) is built when a reader is let in.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace model { class Design; }

namespace app {

class ReaderGate {
public:
    enum class Reader { GivesWay, Finishes };
    class Pass;

    // How many copies in a row steps may stop before the next step waits.
    static constexpr int kStopsBeforeWaiting = 3;

    explicit ReaderGate(const model::Design& design);
    ~ReaderGate(); // waits for the readers still let in
    ReaderGate(const ReaderGate&) = delete;
    ReaderGate& operator=(const ReaderGate&) = delete;

    // On the window's thread, outside any step: one read of the design, on
    // whatever thread then calls Pass::begin.
    std::shared_ptr<Pass> open(Reader reader);
    // On the window's thread, before a change: when it returns, no reader reads.
    void beforeChange();
    // How many changes have begun (a save tells by it whether the design
    // changed while it wrote).
    std::uint64_t changesBegun() const { return m_changesBegun; }

private:
    void close(Pass& pass); // under m_mutex
    void waitForNoReaders(std::unique_lock<std::mutex>& lock);

    const model::Design& m_design;
    std::mutex m_mutex;
    std::condition_variable m_readersGone;
    std::vector<Pass*> m_open; // let in and not yet done, waiting to begin or reading
    int m_stopsInARow = 0;
    std::uint64_t m_changesBegun = 0; // the window's thread's alone
};

// One reader's leave to read, from ReaderGate::open until end() or its end;
// it must not outlive its gate.
class ReaderGate::Pass {
public:
    Pass(ReaderGate& gate, Reader reader) : m_gate(gate), m_reader(reader) {}
    ~Pass() { end(); }
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;

    // On the reading thread, before its first read: false when the pass was
    // withdrawn while it waited, and then nothing may be read.
    bool begin();
    // The reader reads no more (any thread).
    void end();
    // Set when the reader is to stop; an encode looks at it as it goes.
    const std::atomic<bool>* stop() const { return &m_stop; }
    // The pass's owner goes (window's thread): a reader still waiting never
    // begins, and one reading is asked to stop.
    void withdraw();

private:
    friend class ReaderGate;
    enum class State { Waiting, Reading, Over }; // under the gate's mutex

    ReaderGate& m_gate;
    const Reader m_reader;
    State m_state = State::Waiting;
    std::atomic<bool> m_stop = false;
};

} // namespace app
