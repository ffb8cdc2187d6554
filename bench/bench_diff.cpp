// Comparing two designs of about 100,000 rows, the newer one edited in 100
// places scattered over it (relabels, inserted rows, deleted rows, rows
// dragged under another parent, a cell changed in every tenth of them):
//   arg 0: every row labelled apart ("Function 4711"), as real designs are;
//   arg 1: every label the same, so no row is known by its labels alone and
//          all matching goes by place;
//   arg 2: the same-label design with about 400,000 matrix cells.
#include "BenchDesigns.h"

#include "model/DesignDiff.h"

#include <string>

namespace {

using model::Design;

std::unique_ptr<Design> labelledApart()
{
    auto d = bench::wideDesign(10, 100, 99);
    for (model::TreeId id : model::kAllTrees)
        for (int row = 0; row < d->rowCount(); ++row)
            d->editLabel(id, row, std::string(bench::kLabels[model::index(id)]) + ' ' + std::to_string(row));
    return d;
}

std::unique_ptr<Design> base(int kind)
{
    if (kind == 0)
        return labelledApart();
    auto d = bench::wideDesign(10, 100, 99);
    if (kind == 2)
        bench::assessBands(*d);
    return d;
}

// 100 edits, spread evenly from the first row to the last.
void editScattered(Design& d)
{
    const int step = d.rowCount() / 100;
    for (int i = 0; i < 100; ++i) {
        const int row = 1 + i * step;
        switch (i % 4) {
        case 0: d.editLabel(model::TreeId::DP, row, "Changed " + std::to_string(i)); break;
        case 1: d.addSiblingBelow(row); break;
        case 2: d.deleteRow(row); break;
        case 3: d.drop(row, (row + d.rowCount() / 2) % d.rowCount()); break;
        }
        if (i % 10 == 0 && d.matrixParent(row)->children.size() >= 2)
            d.setMatrixCell(row, model::MatrixKind::FrDp, 0, 1, model::CellValue::X);
    }
    d.renumber();
}

void BM_Diff(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    const auto older = base(kind);
    const auto newer = base(kind);
    editScattered(*newer);
    std::size_t changes = 0;
    for (auto _ : state)
        changes = model::compareDesigns(*older, *newer).changes.size();
    state.counters["changes"] = static_cast<double>(changes);
}

} // namespace

BENCHMARK(BM_Diff)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
