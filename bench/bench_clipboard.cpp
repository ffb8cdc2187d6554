// Copy, paste and find at size: pasting 10,000 lines of plain text or
// 10,000 copied rows into a 100,000-row design (reading the clipboard's
// content, the paste with its renumbering, recorded as the window records
// a step), and the search over the labels of 100,000 rows (300,000 labels).
//
// Pasted text, 10,000 lines, two shapes:
//   flat   (arg 0): 10,000 top-level lines
//   nested (arg 1): 100 lines, each with 9 children of 10 children
// Each timed paste is undone with the timer paused.

#include "io/PlainTextRows.h"
#include "io/RowsFormat.h"
#include "model/Design.h"
#include "model/LabelSearch.h"

#include <QString>
#include <benchmark/benchmark.h>

#include <memory>

using model::Design;
using model::TreeId;

namespace {

constexpr int kPastedLines = 10000;

// 100 top-level nodes, each with 33 children of 29 children: 99,100 rows.
std::unique_ptr<Design> largeDesign()
{
    auto d = std::make_unique<Design>();
    const char* labels[] = {"Requirement for the pump assembly", "Parameter of the motor housing",
                            "Process variable of the bearing seat"};
    for (TreeId id : model::kAllTrees) {
        model::DesignTree& t = d->tree(id);
        for (int a = 0; a < 100; ++a) {
            model::Node* top = t.appendTopLevel(labels[model::index(id)]);
            for (int b = 0; b < 33; ++b) {
                model::Node* mid = t.appendChild(top, labels[model::index(id)]);
                for (int c = 0; c < 29; ++c)
                    t.appendChild(mid, labels[model::index(id)]);
            }
        }
    }
    d->renumber();
    return d;
}

QString pastedText(bool nested)
{
    QString text;
    for (int i = 0; i < kPastedLines; ++i) {
        const int level = !nested ? 0 : i % 100 == 0 ? 0 : i % 10 == 1 ? 1 : 2;
        text += QString(level, u'\t') + QStringLiteral("- Pasted requirement %1 of the cooling loop\n").arg(i);
    }
    return text;
}

// A level-1 row in the middle of the design.
int middleRow(const Design& d)
{
    const model::DesignTree& fr = d.tree(TreeId::FR);
    return fr.rowOf(fr.root()->children[50]->children[16]);
}

template <typename Read>
void timePaste(benchmark::State& state, Read read)
{
    auto d = largeDesign();
    const int row = middleRow(*d);
    for (auto _ : state) {
        d->startRecording();
        const int first = d->paste(row, read(), model::PastePlace::NextSiblings);
        std::unique_ptr<model::EditRecord> record = d->stopRecording();
        benchmark::DoNotOptimize(first);
        state.PauseTiming();
        record->undo();
        record.reset();
        d->renumber();
        state.ResumeTiming();
    }
    state.counters["rows"] = d->rowCount();
    state.SetLabel(state.range(0) == 0 ? "flat" : "nested");
}

void BM_PastePlainText(benchmark::State& state)
{
    const QString text = pastedText(state.range(0) != 0);
    timePaste(state, [&] { return io::rowsFromPlainText(text, TreeId::FR); });
}
BENCHMARK(BM_PastePlainText)->Arg(0)->Arg(1)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// Copied rows as another instance of the program puts them on the
// clipboard: the same shapes, with labels in all three trees.
void BM_PasteCopiedRows(benchmark::State& state)
{
    model::CopiedRows rows = io::rowsFromPlainText(pastedText(state.range(0) != 0), TreeId::FR);
    for (TreeId id : {TreeId::DP, TreeId::PV})
        rows.textsOf(id) = rows.textsOf(TreeId::FR);
    const std::string bytes = io::encodeRows(rows);
    timePaste(state, [&] { return io::decodeRows(bytes); });
}
BENCHMARK(BM_PasteCopiedRows)->Arg(0)->Arg(1)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The search behind each keystroke in the find bar, over every label.
void BM_FindInLabels(benchmark::State& state)
{
    auto d = largeDesign();
    const model::LabelSearch search(state.range(0) == 0 ? "e" : "BEARING SEAT");
    std::size_t found = 0;
    for (auto _ : state)
        found = search.findAll(*d).size();
    state.counters["rows"] = d->rowCount();
    state.counters["found"] = static_cast<double>(found);
    state.SetLabel(state.range(0) == 0 ? "one letter" : "twelve letters");
}
BENCHMARK(BM_FindInLabels)->Arg(0)->Arg(1)->Repetitions(5)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
