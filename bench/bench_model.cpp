// The design model at 100,000 rows: every command on a row in the middle,
// with the renumbering it sets off, Duplicate of a 50,000-row subtree, the
// renumbering a click costs, and the memory a node takes.
//
// Three designs of about 100,000 rows each (every row three nodes, FR DP PV):
//   wide (arg 0): 10 top-level nodes x 100 children x 99 grandchildren
//   deep (arg 1): 1,000 top-level chains, each 100 levels deep
//   wide with matrices (arg 2): the wide one with about 400,000 matrix cells
// Each timed command is undone with the timer paused, so every iteration
// starts from the same design. Run with --benchmark_repetitions to get medians.

#include "BenchDesigns.h"
#include "model/Design.h"
#include "model/HugeBlock.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>

using model::Design;
using model::DesignTree;
using model::Node;
using model::TreeId;

namespace {

using namespace bench;

void setLabel(benchmark::State& state)
{
    state.SetLabel(state.range(0) == 0 ? "wide" : state.range(0) == 1 ? "deep" : "wide, matrices");
}

// After a change the views ask for rows at once; that is not the next command's cost.
void rebuildRows(const Design& d)
{
    for (TreeId id : model::kAllTrees)
        benchmark::DoNotOptimize(d.tree(id).preorder().data());
}

// Times `command`, then undoes it with the timer stopped.
template <typename Command, typename Undo>
void timeCommand(benchmark::State& state, Command command, Undo undo)
{
    auto d = design(state);
    const Places p = places(*d, state.range(0) == 1);
    for (auto _ : state) {
        const int row = command(*d, p);
        benchmark::DoNotOptimize(row);
        state.PauseTiming();
        undo(*d, p, row);
        d->renumber();
        rebuildRows(*d);
        state.ResumeTiming();
    }
    setLabel(state);
}

void deleteUndo(Design& d, const Places&, int row) { d.deleteRow(row); }

void BM_AddSiblingBelow(benchmark::State& state)
{
    timeCommand(state, [](Design& d, const Places& p) { return d.addSiblingBelow(p.child); }, deleteUndo);
}

void BM_AddSiblingAbove(benchmark::State& state)
{
    timeCommand(state, [](Design& d, const Places& p) { return d.addSiblingAbove(p.child); }, deleteUndo);
}

// Every number in the design moves on by one.
void BM_AddSiblingAboveFirstRow(benchmark::State& state)
{
    timeCommand(state, [](Design& d, const Places&) { return d.addSiblingAbove(0); }, deleteUndo);
}

void BM_AddChild(benchmark::State& state)
{
    timeCommand(state, [](Design& d, const Places& p) { return d.addChild(p.child); }, deleteUndo);
}

void BM_AddUncle(benchmark::State& state)
{
    timeCommand(state, [](Design& d, const Places& p) { return d.addUncle(p.leaf); }, deleteUndo);
}

void BM_Delete(benchmark::State& state)
{
    timeCommand(
        state, [](Design& d, const Places& p) { return d.deleteRow(p.leaf).selectRow; },
        [](Design& d, const Places& p, int) { d.addSiblingAbove(p.leaf); });
}

// Delete leaves the numbers to the next click, which pays for them.
void BM_DeleteThenClick(benchmark::State& state)
{
    timeCommand(
        state,
        [](Design& d, const Places& p) {
            const int row = d.deleteRow(p.leaf).selectRow;
            d.renumber();
            return row;
        },
        [](Design& d, const Places& p, int) { d.addSiblingAbove(p.leaf); });
}

void BM_MoveUp(benchmark::State& state)
{
    timeCommand(
        state, [](Design& d, const Places& p) { return d.moveUp(p.top).row; },
        [](Design& d, const Places&, int row) { d.moveDown(row); });
}

void BM_MoveDown(benchmark::State& state)
{
    timeCommand(
        state, [](Design& d, const Places& p) { return d.moveDown(p.top).row; },
        [](Design& d, const Places&, int row) { d.moveUp(row); });
}

void BM_Duplicate(benchmark::State& state)
{
    timeCommand(state, [](Design& d, const Places& p) { return d.duplicate(p.child); }, deleteUndo);
}

// Drops a subtree from the middle onto a node of another subtree; the undo
// drops it back under its old parent (at the end of that sibling group).
void BM_Drop(benchmark::State& state)
{
    auto d = design(state);
    const Places p = places(*d, state.range(0) == 1);
    const DesignTree& fr = d->tree(TreeId::FR);
    const Node* moving = fr.nodeAt(p.child);
    const Node* home = fr.parentOf(moving);
    const Node* target = fr.nodeAt(p.target);
    for (auto _ : state) {
        state.PauseTiming();
        const int source = fr.rowOf(moving);
        const int onto = fr.rowOf(target);
        state.ResumeTiming();
        benchmark::DoNotOptimize(d->drop(source, onto));
        state.PauseTiming();
        d->drop(fr.rowOf(moving), fr.rowOf(home));
        rebuildRows(*d);
        state.ResumeTiming();
    }
    setLabel(state);
}

// Two top-level nodes of 50,001 rows each; the first is copied whole.
void BM_DuplicateHalfOfTheDesign(benchmark::State& state)
{
    auto d = wideDesign(2, 500, 99);
    for (auto _ : state) {
        const int row = d->duplicate(0);
        benchmark::DoNotOptimize(row);
        state.PauseTiming();
        d->deleteRow(row);
        d->renumber();
        rebuildRows(*d);
        state.ResumeTiming();
    }
    state.counters["rows copied"] = d->tree(TreeId::FR).subtreeSize(d->tree(TreeId::FR).nodeAt(0));
}

// Add child in the middle of wide designs of 25,000 to 400,000 rows: the
// fitted complexity shows that a command grows linearly with the design.
void BM_AddChildScaling(benchmark::State& state)
{
    const int tops = static_cast<int>(state.range(0) / 10000);
    auto d = wideDesign(tops, 100, 99);
    const DesignTree& fr = d->tree(TreeId::FR);
    const int k = fr.rowOf(fr.root()->children[static_cast<std::size_t>(tops / 2)]->children[50]);
    for (auto _ : state) {
        const int row = d->addChild(k);
        state.PauseTiming();
        d->deleteRow(row);
        d->renumber();
        rebuildRows(*d);
        state.ResumeTiming();
    }
    state.SetComplexityN(d->rowCount());
}

// A click on a row when nothing changed since the last renumbering.
void BM_ClickWhenClean(benchmark::State& state)
{
    auto d = design(state);
    for (auto _ : state)
        d->renumber();
    setLabel(state);
}

// A full pass over all three trees whose numbers are already right.
void BM_ForceRenumberUnchanged(benchmark::State& state)
{
    auto d = design(state);
    for (auto _ : state)
        for (TreeId id : model::kAllTrees)
            d->tree(id).forceRenumber();
    setLabel(state);
}

// A full pass that rewrites every number (after the numbers were stripped).
void BM_RenumberStripped(benchmark::State& state)
{
    auto d = design(state);
    for (auto _ : state) {
        state.PauseTiming();
        for (TreeId id : model::kAllTrees)
            d->tree(id).stripNumbers();
        state.ResumeTiming();
        d->renumber();
    }
    setLabel(state);
}

void BM_BuildAndDestroy(benchmark::State& state)
{
    for (auto _ : state) {
        auto d = design(state);
        benchmark::DoNotOptimize(d->rowCount());
    }
    setLabel(state);
}

// Heap bytes in use; node blocks belong to their tree and go with it.
std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd + model::hugeBlockBytes(); // small blocks, mapped large ones, huge blocks
}

// The heap block behind a pointer, its malloc header included.
std::size_t blockSize(const void* p)
{
    return malloc_usable_size(const_cast<void*>(p)) + sizeof(std::size_t);
}

// Heap bytes per node of one tree of 1,000,100 nodes (100 x 100 x 99),
// numbered, rows known: in all, beyond the text's own heap block, and split into the node, its share of the child
// lists (with the blocks' slack) and the list of all nodes (held only while someone asks for it).
void BM_MemoryPerNode(benchmark::State& state)
{
    for (auto _ : state) {
        malloc_trim(0);
        const std::size_t before = heapInUse();
        DesignTree t;
        for (int i = 0; i < 100; ++i) {
            Node* top = t.appendTopLevel("Function");
            for (int j = 0; j < 100; ++j) {
                Node* c = t.appendChild(top, "Function");
                for (int k = 0; k < 99; ++k)
                    t.appendChild(c, "Function");
            }
        }
        t.renumber();
        benchmark::DoNotOptimize(t.rowOf(t.nodeAt(t.size() - 1)));
        const double used = static_cast<double>(heapInUse() - before);
        const auto& order = t.preorder();
        const double orderBytes = static_cast<double>(heapInUse() - before) - used;
        std::size_t textHeap = 0, nodes = 0;
        for (const Node* n : order) {
            if (n->text().owned())
                textHeap += blockSize(n->text().data());
            nodes += sizeof(Node);
        }
        // Child lists live in the tree's arena, not in heap blocks of their
        // own: their share is what remains beside the nodes and the texts.
        const double arrays = used - static_cast<double>(textHeap) - static_cast<double>(nodes);
        const double count = t.size();
        state.counters["nodes"] = count;
        state.counters["all"] = used / count;
        state.counters["beyond text"] = (used - static_cast<double>(textHeap)) / count;
        state.counters["node block"] = static_cast<double>(nodes) / count;
        state.counters["child arrays"] = arrays / count;
        state.counters["node list"] = orderBytes / count;
    }
}

} // namespace

// Commands are undone between iterations, which costs more than many of them:
// a fixed number of iterations keeps the run short; five repetitions give medians.
#define COMMAND_BENCHMARK(name) \
    BENCHMARK(name)->Arg(0)->Arg(1)->Arg(2)->Iterations(20)->Repetitions(5)->ReportAggregatesOnly(true) \
        ->Unit(benchmark::kMillisecond)

COMMAND_BENCHMARK(BM_AddSiblingBelow);
COMMAND_BENCHMARK(BM_AddSiblingAbove);
COMMAND_BENCHMARK(BM_AddSiblingAboveFirstRow);
COMMAND_BENCHMARK(BM_AddChild);
COMMAND_BENCHMARK(BM_AddUncle);
COMMAND_BENCHMARK(BM_Delete);
COMMAND_BENCHMARK(BM_DeleteThenClick);
COMMAND_BENCHMARK(BM_MoveUp);
COMMAND_BENCHMARK(BM_MoveDown);
COMMAND_BENCHMARK(BM_Duplicate);
COMMAND_BENCHMARK(BM_Drop);
COMMAND_BENCHMARK(BM_RenumberStripped);
BENCHMARK(BM_DuplicateHalfOfTheDesign)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddChildScaling)->Arg(25000)->Arg(50000)->Arg(100000)->Arg(200000)->Arg(400000)->Iterations(10)
    ->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK(BM_ClickWhenClean)->Arg(0)->Arg(1)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kNanosecond);
BENCHMARK(BM_ForceRenumberUnchanged)->Arg(0)->Arg(1)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildAndDestroy)->Arg(0)->Arg(1)->Repetitions(3)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemoryPerNode)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
