// Rich-text export of a 100,000-row design (300,000 node lines): building the
// document and the RTF in memory, and the whole export to a file.
#include "export/AtomicFileWriter.h"
#include "export/RtfExport.h"
#include "model/Design.h"
#include "model/HeaderRecord.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

namespace {

constexpr int kRows = 100'000;

// Levels wander between 0 and 12 (so some lines are past level 10); texts are
// outline number plus a label of ~30 bytes, some with a cp1252 byte or a brace.
void fillTree(model::DesignTree& tree, char letter)
{
    std::mt19937 random(1234);
    std::vector<model::Node*> path;
    for (int row = 0; row < kRows; ++row) {
        const int deepest = std::min<int>(static_cast<int>(path.size()), 12);
        const int level = std::uniform_int_distribution<int>(std::max(0, deepest - 3), deepest)(random);
        path.resize(static_cast<std::size_t>(level));
        std::string text = std::to_string(row + 1) + ". " + letter + " component label for row";
        if (row % 7 == 0)
            text += " caf\xE9 {draft}";
        path.push_back(level == 0 ? tree.appendTopLevel(std::move(text)) : tree.appendChild(path.back(), std::move(text)));
    }
}

model::HeaderRecord header();

const model::Design& bigDesign()
{
    static const model::Design* design = [] {
        auto* d = new model::Design;
        d->setTitle(model::TreeId::FR, "Functional Requirements");
        d->setTitle(model::TreeId::DP, "Design Parameters");
        d->setTitle(model::TreeId::PV, "Process Variables");
        fillTree(d->tree(model::TreeId::FR), 'F');
        fillTree(d->tree(model::TreeId::DP), 'D');
        fillTree(d->tree(model::TreeId::PV), 'P');
        d->look().opened(header()); // drawn and exported in the header's colours
        return d;
    }();
    return *design;
}

model::HeaderRecord header()
{
    model::HeaderRecord h;
    for (int level = 0; level < model::kLevelCount; ++level)
        h.levels[static_cast<std::size_t>(level)].colour = level == 3 ? model::kSystemColour + 13 : 0x00101010u * static_cast<std::uint32_t>(level);
    h.levels[0].colour = model::kWindowTextColour;
    return h;
}

std::uint32_t resolver(std::uint32_t) { return 0x00D77800u; }

void BM_RenderRtf(benchmark::State& state)
{
    const exporting::ExportSource source = exporting::exportSourceOf(bigDesign());
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string rtf = exporting::renderRtf(source, resolver);
        bytes = rtf.size();
        benchmark::DoNotOptimize(rtf.data());
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}
BENCHMARK(BM_RenderRtf)->Unit(benchmark::kMillisecond);

class NoOpener : public exporting::DocumentOpener {
public:
    bool open(const std::string&) override { return true; }
};

void BM_ExportToFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string designPath = dir.filePath("big.vok").toStdString();
    exporting::AtomicFileWriter writer;
    NoOpener opener;
    for (auto _ : state)
        exporting::exportDesign(bigDesign(), designPath, {}, resolver, opener, writer);
}
BENCHMARK(BM_ExportToFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
