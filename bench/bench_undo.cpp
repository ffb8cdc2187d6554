// Undo and redo on 100,000-row designs: each command recorded as a step (its
// cost against the same command unrecorded), then undone and redone in the
// model. Targets: a recorded command at most 1.2x the plain one; undo and
// redo of every step at most 50 ms.
//
// Arguments: the command (see kCommands), then the shape (0 wide, 1 deep).

#include "BenchDesigns.h"
#include "RatioReporter.h"
#include "model/EditRecord.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

using namespace bench;

// A command on the rows of `p`, and how to take it back without a record.
struct Command {
    const char* name;
    int (*run)(Design& d, const Places& p);
    void (*inverse)(Design& d, const Places& p, int row);
};

void deleteRow(Design& d, const Places&, int row) { d.deleteRow(row); }

const Command kCommands[] = {
    {"below", [](Design& d, const Places& p) { return d.addSiblingBelow(p.child); }, deleteRow},
    {"above", [](Design& d, const Places& p) { return d.addSiblingAbove(p.child); }, deleteRow},
    {"above the first row", [](Design& d, const Places&) { return d.addSiblingAbove(0); }, deleteRow},
    {"child", [](Design& d, const Places& p) { return d.addChild(p.child); }, deleteRow},
    {"uncle", [](Design& d, const Places& p) { return d.addUncle(p.leaf); }, deleteRow},
    {"delete", [](Design& d, const Places& p) { return d.deleteRow(p.child).selectRow; },
     [](Design& d, const Places& p, int) { d.addSiblingAbove(p.child); }},
    {"move up", [](Design& d, const Places& p) { return d.moveUp(p.top).row; },
     [](Design& d, const Places&, int row) { d.moveDown(row); }},
    {"move down", [](Design& d, const Places& p) { return d.moveDown(p.top).row; },
     [](Design& d, const Places&, int row) { d.moveUp(row); }},
    {"duplicate", [](Design& d, const Places& p) { return d.duplicate(p.child); }, deleteRow},
    {"edit", [](Design& d, const Places& p) { d.editText(TreeId::DP, p.leaf, "Edited label"); return p.leaf; },
     [](Design& d, const Places& p, int) { d.editText(TreeId::DP, p.leaf, "Parameter"); }},
};

const Command& commandOf(const benchmark::State& state) { return kCommands[state.range(0)]; }

std::unique_ptr<Design> designOf(const benchmark::State& state)
{
    return state.range(1) == 0 ? wideDesign(10, 100, 99) : deepDesign(1000, 100);
}

void settle(Design& d)
{
    d.renumber();
    for (TreeId id : model::kAllTrees)
        benchmark::DoNotOptimize(d.tree(id).preorder().data());
}

void label(benchmark::State& state)
{
    state.SetLabel(std::string(commandOf(state).name) + (state.range(1) == 0 ? ", wide" : ", deep"));
}

void BM_Plain(benchmark::State& state)
{
    auto d = designOf(state);
    const Places p = places(*d, state.range(1) == 1);
    const Command& c = commandOf(state);
    for (auto _ : state) {
        const int row = c.run(*d, p);
        state.PauseTiming();
        c.inverse(*d, p, row);
        settle(*d);
        state.ResumeTiming();
    }
    label(state);
}

void BM_Recorded(benchmark::State& state)
{
    auto d = designOf(state);
    const Places p = places(*d, state.range(1) == 1);
    const Command& c = commandOf(state);
    for (auto _ : state) {
        d->startRecording();
        c.run(*d, p);
        std::unique_ptr<model::EditRecord> record = d->stopRecording();
        state.PauseTiming();
        record->undo();
        record.reset();
        settle(*d);
        state.ResumeTiming();
    }
    label(state);
}

// Undo (phase 0) or redo (phase 1) of the step, timed alone.
template <int Phase>
void undoOrRedo(benchmark::State& state)
{
    auto d = designOf(state);
    const Places p = places(*d, state.range(1) == 1);
    const Command& c = commandOf(state);
    for (auto _ : state) {
        state.PauseTiming();
        d->startRecording();
        c.run(*d, p);
        std::unique_ptr<model::EditRecord> record = d->stopRecording();
        settle(*d);
        if (Phase == 1) {
            record->undo();
            settle(*d);
        }
        state.ResumeTiming();
        if (Phase == 0)
            record->undo();
        else
            record->redo();
        state.PauseTiming();
        if (Phase == 1)
            record->undo();
        record.reset();
        settle(*d);
        state.ResumeTiming();
    }
    label(state);
}

void BM_Undo(benchmark::State& state) { undoOrRedo<0>(state); }
void BM_Redo(benchmark::State& state) { undoOrRedo<1>(state); }

void commandArgs(benchmark::internal::Benchmark* b)
{
    for (int c = 0; c < static_cast<int>(std::size(kCommands)); ++c)
        for (int shape : {0, 1})
            b->Args({c, shape});
    b->Iterations(10)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_Plain)->Apply(commandArgs);
BENCHMARK(BM_Recorded)->Apply(commandArgs);
BENCHMARK(BM_Undo)->Apply(commandArgs);
BENCHMARK(BM_Redo)->Apply(commandArgs);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::vector<bench::Ratio> ratios;
    static std::vector<std::string> labels;
    labels.reserve(std::size(kCommands) * 2);
    for (int c = 0; c < static_cast<int>(std::size(kCommands)); ++c)
        for (int shape : {0, 1}) {
            const std::string args = std::to_string(c) + "/" + std::to_string(shape);
            labels.push_back(std::string("recorded / plain: ") + kCommands[c].name + (shape ? ", deep" : ", wide"));
            ratios.push_back({labels.back().c_str(), "BM_Recorded/" + args, "BM_Plain/" + args});
        }
    bench::RatioReporter reporter(ratios);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    return 0;
}
