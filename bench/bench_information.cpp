// The information ranges on a design of about 100,000 rows: opening, saving
// and the design's total, each without ranges (arg 0) and with both ranges on
// every FR row (arg 1); and what one typed bound costs the pane. `--check`
// with ranges is measured in bench_matrix.
#include "BenchDesigns.h"

#include "io/DesignFile.h"
#include "model/InformationRanges.h"

#include <QTemporaryDir>


namespace {

model::FrRanges rangesOf(int i)
{
    model::FrRanges r;
    r.design = {true, true, 0, 12, "l/min"};
    if (i % 2)
        r.system = {model::SystemKind::Uniform, 1 + (i % 7), 11 + (i % 5)};
    else
        r.system = {model::SystemKind::Normal, 6 + (i % 5), 1 + (i % 3)};
    return r;
}

struct Fixture {
    std::unique_ptr<model::Design> design;
    std::string path;
};

const Fixture& fixture(bool withRanges)
{
    static QTemporaryDir dir;
    static Fixture fixtures[2];
    Fixture& f = fixtures[withRanges];
    if (!f.design) {
        f.design = bench::wideDesign(10, 100, 99);
        if (withRanges)
            for (int i = 0; i < f.design->rowCount(); ++i)
                f.design->setRanges(i, rangesOf(i));
        f.path = dir.filePath(withRanges ? "ranges.vok" : "plain.vok").toStdString();
        io::writeDesignFile(f.path, *f.design);
    }
    return f;
}

void BM_Open(benchmark::State& state)
{
    const Fixture& f = fixture(state.range(0) != 0);
    for (auto _ : state) {
        auto design = std::make_unique<model::Design>();
        io::openInto(*design, io::readDesignFile(f.path));
        benchmark::DoNotOptimize(design->ranges().size());
        state.PauseTiming(); // freeing the trees is the next open's business
        design.reset();
        state.ResumeTiming();
    }
}

void BM_Save(benchmark::State& state)
{
    const Fixture& f = fixture(state.range(0) != 0);
    const std::string out = f.path + ".saved";
    for (auto _ : state)
        io::writeDesignFile(out, *f.design);
}

void BM_Total(benchmark::State& state)
{
    const model::Design& d = *fixture(state.range(0) != 0).design;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            model::informationTotal(d.tree(model::TreeId::FR), d.matrices(), d.ranges()).bits);
}

// One typed bound: the step that stores it, the row's p and I, and the total.
void BM_TypeABound(benchmark::State& state)
{
    model::Design& d = *fixture(true).design;
    const int row = d.rowCount() / 2;
    int i = 0;
    for (auto _ : state) {
        model::FrRanges r = rangesOf(row);
        r.design.upper = 12 + (++i % 2);
        d.setRanges(row, r);
        benchmark::DoNotOptimize(model::informationBits(model::probabilityOfSuccess(r)));
        benchmark::DoNotOptimize(
            model::informationTotal(d.tree(model::TreeId::FR), d.matrices(), d.ranges()).bits);
    }
}

} // namespace

BENCHMARK(BM_Open)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Total)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeABound)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
