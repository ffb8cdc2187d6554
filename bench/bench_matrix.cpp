// Design matrices: classifying a 200 x 200 matrix (uncoupled, decoupled,
// coupled), and at 100,000 rows opening, saving and `--check`, each without
// matrices and with every matrix assessed along a band beside its diagonal
// (about 400,000 cells), against a plain read of the same file; and `--check`
// with both information ranges on every FR row against the same design without;
// the same design with 100,000 cross cells besides its matrices opened, saved
// and checked, and its full matrices classified.
//
// The design: 10 top-level rows x 100 children x 99 grandchildren.
#include "RatioReporter.h"
#include "export/DesignCheck.h"
#include "io/DesignFile.h"
#include "model/Design.h"
#include "model/FullMatrix.h"
#include "model/MatrixClassification.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <fstream>
#include <map>
#include <memory>
#include <optional>

namespace {

using model::CellValue;
using model::MatrixKind;
using model::TreeId;

constexpr std::uint32_t kSide = 200;

// Every off-diagonal cell assessed: arg 0 all O (uncoupled), arg 1 X below
// the diagonal in every third cell (decoupled), arg 2 the same and one X in
// the top right corner, which closes a cycle through most children (coupled).
std::vector<model::IndexedCell> fullMatrix(int pattern)
{
    std::vector<model::IndexedCell> cells;
    for (std::uint32_t i = 0; i < kSide; ++i)
        for (std::uint32_t j = 0; j < kSide; ++j) {
            if (i == j)
                continue;
            bool x = pattern >= 1 && j < i && (j == i - 1 || (i + j) % 3 == 0);
            if (pattern == 2 && i == 0 && j == kSide - 1)
                x = true;
            cells.push_back({i, j, x ? CellValue::X : CellValue::O});
        }
    return cells;
}

void BM_Classify200(benchmark::State& state)
{
    const std::vector<model::IndexedCell> cells = fullMatrix(static_cast<int>(state.range(0)));
    model::Coupling coupling{};
    for (auto _ : state) {
        const model::Classification c = model::classify(kSide, cells);
        coupling = c.coupling;
        benchmark::DoNotOptimize(c.order.data());
    }
    static const char* const kNames[] = {"incomplete", "uncoupled", "decoupled", "coupled"};
    state.SetLabel(kNames[static_cast<int>(coupling)]);
}

// The same from the design's store, as the pane and the export do it: the
// cells gathered by position, then classified.
void BM_Classify200FromTheStore(benchmark::State& state)
{
    model::Design d;
    for (TreeId id : model::kAllTrees) {
        model::Node* top = d.tree(id).appendTopLevel("Pump");
        for (std::uint32_t i = 0; i < kSide; ++i)
            d.tree(id).appendChild(top, "Part");
    }
    for (const model::IndexedCell& c : fullMatrix(1))
        d.setMatrixCell(0, MatrixKind::FrDp, static_cast<int>(c.row), static_cast<int>(c.column), c.value);
    const model::Node* parent = d.matrixParent(0);
    for (auto _ : state) {
        const model::Classification c = model::classify(d.matrices(), parent, MatrixKind::FrDp);
        benchmark::DoNotOptimize(c.order.data());
    }
}

// --- 100,000 rows ---------------------------------------------------------------------

QTemporaryDir& tempDir()
{
    static QTemporaryDir dir;
    return dir;
}

// What a design holds besides its trees: arg 0 nothing, 1 the matrices, 2 the
// ranges, 3 the matrices and cross cells.
enum Extra { kNothing = 0, kMatrices = 1, kRanges = 2, kCrossCells = 3 };

constexpr int kTopRows = 10;
constexpr int kChildren = 100;
constexpr int kGrandchildren = 99;
constexpr int kCrossCellCount = 100'000;

// The row of grandchild `leaf` (0 .. 9,899) of top-level row `top`.
int leafRow(int top, int leaf)
{
    const int topRow = top * (1 + kChildren * (1 + kGrandchildren));
    return topRow + 1 + (leaf / kGrandchildren) * (1 + kGrandchildren) + 1 + leaf % kGrandchildren;
}

// Cross cells between the leaves of neighbouring top-level rows, both kinds,
// spread over the leaves. The band holds X at top-level (i, i-1) and O at
// (i-1, i): a tenth of the cells are X below the X, the rest O either way,
// so the levels agree and the check has nothing to find in them.
void addCrossCells(model::Design& d)
{
    constexpr int kSlots = 2 * (kTopRows - 1); // a kind and a pair of neighbours
    for (int n = 0; n < kCrossCellCount; ++n) {
        const MatrixKind kind = model::kMatrixKinds[static_cast<std::size_t>(n % 2)];
        const int top = n % kSlots / 2 + 1;
        const int m = n / kSlots;
        const int aLeaf = m % (kChildren * kGrandchildren);
        const int bLeaf = (m * 7 + 3) % (kChildren * kGrandchildren);
        if (m % 10 == 0)
            d.setCrossCell(kind, leafRow(top, aLeaf), leafRow(top - 1, bLeaf), CellValue::X);
        else if (m % 2 == 0)
            d.setCrossCell(kind, leafRow(top, aLeaf), leafRow(top - 1, bLeaf), CellValue::O);
        else
            d.setCrossCell(kind, leafRow(top - 1, aLeaf), leafRow(top, bLeaf), CellValue::O);
    }
}

// Both ranges on every FR row, uniform and normal system ranges in turn.
void addRanges(model::Design& d)
{
    for (int row = 0; row < d.rowCount(); ++row) {
        model::FrRanges r;
        r.design = {true, true, 5, 12 + row % 7, "l/min"};
        r.system = row % 2 ? model::SystemRange{model::SystemKind::Normal, 8.5, 1.2}
                           : model::SystemRange{model::SystemKind::Uniform, 6, 14};
        d.setRanges(row, r);
    }
}

void buildDesign(model::Design& d, int extra)
{
    for (TreeId id : model::kAllTrees) {
        model::DesignTree& t = d.tree(id);
        for (int i = 0; i < kTopRows; ++i) {
            model::Node* top = t.appendTopLevel("Function");
            for (int j = 0; j < kChildren; ++j) {
                model::Node* c = t.appendChild(top, "Parameter");
                for (int k = 0; k < kGrandchildren; ++k)
                    t.appendChild(c, "Variable");
            }
        }
    }
    d.renumber();
    if (extra == kRanges)
        addRanges(d);
    if (extra != kMatrices && extra != kCrossCells)
        return;
    for (int row = model::kNoRow; row < d.rowCount(); ++row) {
        const int n = static_cast<int>(d.matrixParent(row)->children.size());
        for (MatrixKind kind : model::kMatrixKinds)
            for (int i = 1; i < n; ++i) {
                d.setMatrixCell(row, kind, i, i - 1, CellValue::X);
                d.setMatrixCell(row, kind, i - 1, i, CellValue::O);
            }
    }
    if (extra == kCrossCells)
        addCrossCells(d);
}

// The file of the design, written once per kind.
const std::string& designFile(int extra)
{
    static std::map<int, std::string> paths;
    if (auto it = paths.find(extra); it != paths.end())
        return it->second;
    model::Design d;
    buildDesign(d, extra);
    const std::string path = tempDir().filePath(QString("design%1.vok").arg(extra)).toStdString();
    io::writeDesignFile(path, d);
    return paths.emplace(extra, path).first->second;
}

void setLabel(benchmark::State& state)
{
    static const char* const kLabels[] = {"without matrices", "with matrices", "with ranges on every FR row",
                                          "with matrices and 100k cross cells"};
    state.SetLabel(kLabels[state.range(0)]);
}

void BM_PlainRead(benchmark::State& state)
{
    const std::string& path = designFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        benchmark::DoNotOptimize(bytes.data());
    }
    setLabel(state);
}

void BM_Open(benchmark::State& state)
{
    const std::string& path = designFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::optional<io::DesignFileContents> c = io::readDesignFile(path);
        benchmark::DoNotOptimize(c->matrices.cellCount());
        state.PauseTiming();
        c.reset();
        state.ResumeTiming();
    }
    setLabel(state);
}

void BM_Encode(benchmark::State& state)
{
    model::Design d;
    buildDesign(d, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(io::encodeDesignFile(d).size());
    }
    state.counters["cells"] = static_cast<double>(d.matrices().cellCount());
    state.counters["cross cells"] = static_cast<double>(d.crossCells().size());
    setLabel(state);
}

// Reading the file, checking and printing every line, as `tessaric --check` does.
void BM_Check(benchmark::State& state)
{
    const std::string& path = designFile(static_cast<int>(state.range(0)));
    std::ofstream sink("/dev/null");
    int status = 0;
    for (auto _ : state)
        status = exporting::runDesignCheck({path}, sink, sink);
    state.counters["exit status"] = status;
    setLabel(state);
}

// Both full matrices over the 99,000 leaves, as the check and the documents
// classify them: the leaf index, then each kind.
void BM_ClassifyFull(benchmark::State& state)
{
    model::Design d;
    buildDesign(d, kCrossCells);
    const model::DesignTree& fr = d.tree(TreeId::FR);
    model::Coupling coupling{};
    for (auto _ : state) {
        const model::LeafIndex leaves(fr);
        for (MatrixKind kind : model::kMatrixKinds) {
            const model::Classification c = model::classifyFull(d.matrices(), d.crossCells(), kind, leaves);
            coupling = c.coupling;
            benchmark::DoNotOptimize(c.notAssessed);
        }
    }
    static const char* const kNames[] = {"incomplete", "uncoupled", "decoupled", "coupled"};
    state.SetLabel(kNames[static_cast<int>(coupling)]);
}

// Where the levels disagree, over the whole design (the check's findings).
void BM_ConsistencyFindings(benchmark::State& state)
{
    model::Design d;
    buildDesign(d, kCrossCells);
    std::size_t found = 0;
    for (auto _ : state) {
        found = model::consistencyFindings(d.tree(TreeId::FR), d.matrices(), d.crossCells()).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["findings"] = static_cast<double>(found);
}

} // namespace

BENCHMARK(BM_Classify200)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Classify200FromTheStore)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainRead)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Check)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassifyFull)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConsistencyFindings)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({
        {"open with / without matrices, 100k rows", "BM_Open/1", "BM_Open/0"},
        {"encode with / without matrices, 100k rows", "BM_Encode/1", "BM_Encode/0"},
        {"check with matrices / open with matrices, 100k rows", "BM_Check/1", "BM_Open/1"},
        {"check with ranges / check without, 100k rows", "BM_Check/2", "BM_Check/0"},
        {"check with cross cells / check with matrices, 100k rows", "BM_Check/3", "BM_Check/1"},
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
