// The table export of 10,000- and 100,000-row designs in each of the five
// formats: building the table document from the design, rendering it and
// writing the file, as the window and the command line do. Also a level of
// 3,000 top-level rows with one assessed cell (its matrices are lists, not
// grids), and, only with TESSARIC_BENCH_MILLION=1 in the environment (a
// minute or more), a million rows to ODT and PDF.
#include "export/AtomicFileWriter.h"
#include "export/RtfExport.h"
#include "export/TableExport.h"
#include "model/Design.h"
#include "model/HeaderRecord.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>

namespace {

// Levels wander between 0 and 12 (so some rows are past level 10); labels
// are an outline number and ~30 bytes, some with a cp1252 byte or a pipe,
// and one row in 50 a label long enough to wrap in its cell.
void fillTree(model::DesignTree& tree, int rows, char letter)
{
    std::mt19937 random(1234);
    std::vector<model::Node*> path;
    for (int row = 0; row < rows; ++row) {
        const int deepest = std::min<int>(static_cast<int>(path.size()), 12);
        const int level = std::uniform_int_distribution<int>(std::max(0, deepest - 3), deepest)(random);
        path.resize(static_cast<std::size_t>(level));
        std::string text = std::to_string(row + 1) + ". " + letter + " component label for row";
        if (row % 7 == 0)
            text += " caf\xE9 | draft";
        if (row % 50 == 0)
            text += " with a much longer explanation of what this part must do, so that the label "
                    "needs two or three lines in its cell";
        path.push_back(level == 0 ? tree.appendTopLevel(std::move(text)) : tree.appendChild(path.back(), std::move(text)));
    }
}

const model::Design& design(int rows)
{
    static std::map<int, std::unique_ptr<model::Design>> designs;
    std::unique_ptr<model::Design>& d = designs[rows];
    if (!d) {
        d = std::make_unique<model::Design>();
        d->setTitle(model::TreeId::FR, "Functional Requirements");
        d->setTitle(model::TreeId::DP, "Design Parameters");
        d->setTitle(model::TreeId::PV, "Process Variables");
        fillTree(d->tree(model::TreeId::FR), rows, 'F');
        fillTree(d->tree(model::TreeId::DP), rows, 'D');
        fillTree(d->tree(model::TreeId::PV), rows, 'P');
    }
    return *d;
}

// 3,000 top-level rows, FR-DP cell (2, 7) of the top level X.
const model::Design& wideLevel()
{
    static const std::unique_ptr<model::Design> d = [] {
        auto w = std::make_unique<model::Design>();
        for (model::TreeId id : model::kAllTrees)
            for (int row = 0; row < 3000; ++row)
                w->tree(id).appendTopLevel(std::to_string(row + 1) + " component label for row");
        w->setMatrixCell(model::kNoRow, model::MatrixKind::FrDp, 1, 6, model::CellValue::X);
        return w;
    }();
    return *d;
}

model::HeaderRecord header()
{
    model::HeaderRecord h;
    for (int level = 0; level < model::kLevelCount; ++level)
        h.levels[static_cast<std::size_t>(level)].colour =
            level == 3 ? model::kSystemColour + 13 : 0x00202020u * static_cast<std::uint32_t>(level);
    h.levels[0].colour = model::kWindowTextColour;
    return h;
}

// Coloured by the header's level records, as a design opened with it is.
exporting::ExportSource sourceOf(const model::Design& d)
{
    exporting::ExportSource source = exporting::exportSourceOf(d);
    source.levelColours = exporting::levelColourValues(header());
    return source;
}

std::uint32_t resolver(std::uint32_t) { return 0x00D77800u; }

void exportTable(benchmark::State& state, exporting::TableFormat format)
{
    const int rows = static_cast<int>(state.range(0));
    const model::Design& d = rows == 0 ? wideLevel() : design(rows);
    QTemporaryDir dir;
    const std::string path = dir.filePath("big").toStdString() + std::string(exporting::extensionOf(format));
    exporting::AtomicFileWriter writer;
    exporting::NoProgress progress;
    for (auto _ : state) {
        const exporting::TableDocument document =
            exporting::TableDocument::build(sourceOf(d), resolver, "big.vok");
        exporting::exportTable(document, format, path, writer, progress);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Fonts for the PDF pages need the application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Wall-clock time: what the user waits.
    for (exporting::TableFormat format : exporting::kTableFormats)
        benchmark::RegisterBenchmark(("BM_ExportTable_" + std::string(exporting::formatName(format))).c_str(),
                                     exportTable, format)
            ->Arg(10'000)
            ->Arg(100'000)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    for (exporting::TableFormat format : exporting::kTableFormats)
        benchmark::RegisterBenchmark(("BM_ExportWideLevel_" + std::string(exporting::formatName(format))).c_str(),
                                     exportTable, format)
            ->Arg(0)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    if (qEnvironmentVariableIntValue("TESSARIC_BENCH_MILLION") == 1)
        for (exporting::TableFormat format : {exporting::TableFormat::Odt, exporting::TableFormat::Pdf})
            benchmark::RegisterBenchmark(("BM_ExportTable_" + std::string(exporting::formatName(format))).c_str(),
                                         exportTable, format)
                ->Arg(1'000'000)
                ->Iterations(1)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
