// Opening and saving large design files, against the floor of reading the
// same bytes and splitting them into lines.
//
//   PlainReadAndSplit  fread the file, memchr for every LF
//   ReadDesignFile     read, check, build the three trees
//   WriteDesignFile    encode and replace the file atomically (QSaveFile, fsync)
//   ...Unflushed       the same through a writer that does not wait for the disk
//   OpenMemory         peak and held memory per node beyond the text bytes
//
// Rows are node rows: 100,000 rows are 300,000 nodes, about 10 MB.
#include "RatioReporter.h"
#include "io/DesignFile.h"
#include "model/Design.h"
#include "model/HugeBlock.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <malloc.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <utility>

namespace {


struct Fixture {
    std::string path;
    std::size_t nodes = 0;
    std::size_t textBytes = 0; // the node texts alone
    std::size_t fileBytes = 0;
};

QTemporaryDir& tempDir()
{
    static QTemporaryDir dir;
    return dir;
}

// Labels like "1.2.3 Pump flow rate 4711": a shape that goes up to six
// levels deep with a few to a few dozen children per node.
void buildDesign(model::Design& design, int rows)
{
    static const char* kLabels[] = {"Pump flow rate ", "Impeller diameter ", "Machining step "};
    std::array<std::vector<model::Node*>, 3> branch;
    std::uint32_t seed = 12345;
    std::size_t level = 0;
    for (int r = 0; r < rows; ++r) {
        seed = seed * 1103515245u + 12345u;
        const std::uint32_t dice = (seed >> 16) % 10;
        if (r == 0)
            level = 0;
        else if (dice < 3 && level < 5)
            ++level;
        else if (dice >= 8 && level > 0)
            level -= 1 + (dice == 9 && level > 1);
        for (std::size_t t = 0; t < 3; ++t) {
            model::DesignTree& tree = design.tree(model::kAllTrees[t]);
            branch[t].resize(level);
            std::string text = kLabels[t] + std::to_string(r);
            branch[t].push_back(level == 0 ? tree.appendTopLevel(std::move(text))
                                           : tree.appendChild(branch[t].back(), std::move(text)));
        }
    }
    design.renumber();
}

const Fixture& fixture(int rows)
{
    static std::map<int, Fixture> cache;
    if (auto it = cache.find(rows); it != cache.end())
        return it->second;
    Fixture f;
    f.path = tempDir().filePath(QString("design-%1.vok").arg(rows)).toStdString();
    {
        model::Design design;
        buildDesign(design, rows);
        for (model::TreeId id : model::kAllTrees)
            for (const model::Node* n : design.tree(id).preorder())
                f.textBytes += n->text().size();
        f.nodes = 3 * static_cast<std::size_t>(design.rowCount());
        io::writeDesignFile(f.path, design);
    }
    f.fileBytes = static_cast<std::size_t>(std::ifstream(f.path, std::ios::binary | std::ios::ate).tellg());
    malloc_trim(0);
    return cache.emplace(rows, f).first->second;
}

void BM_PlainReadAndSplit(benchmark::State& state)
{
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string bytes(f.fileBytes, '\0');
        std::FILE* file = std::fopen(f.path.c_str(), "rb");
        const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        std::size_t lines = 0;
        for (const char* p = bytes.data(), *end = p + got; p < end; ++lines) {
            const void* lf = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
            p = lf ? static_cast<const char*>(lf) + 1 : end;
        }
        benchmark::DoNotOptimize(lines);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.fileBytes));
}

void BM_ReadDesignFile(benchmark::State& state)
{
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::optional<io::DesignFileContents> contents = io::readDesignFile(f.path);
        benchmark::DoNotOptimize(contents->trees[2].size());
        state.PauseTiming(); // freeing the trees is the next open's business
        contents.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.fileBytes));
}

// The fixture's design, read back, as a save finds it.
void loadDesign(const Fixture& f, model::Design& design)
{
    design.replaceTrees(io::readDesignFile(f.path).trees);
}

void BM_WriteDesignFile(benchmark::State& state)
{
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    model::Design design;
    loadDesign(f, design);
    const std::string out = f.path + ".saved";
    for (auto _ : state) {
        io::writeDesignFile(out, design);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.fileBytes));
}

// Everything a save does but wait for the disk: the same writer calls into a
// plain file, without the flush the real writer makes before its rename.
class UnflushedWriter final : public io::AtomicWriter {
public:
    bool open(const std::string& path) override { return (m_file = std::fopen(path.c_str(), "wb")) != nullptr; }
    std::int64_t write(const char* data, std::int64_t size) override
    {
        return static_cast<std::int64_t>(std::fwrite(data, 1, static_cast<std::size_t>(size), m_file));
    }
    bool commit() override { return std::fclose(std::exchange(m_file, nullptr)) == 0; }
    void cancelWriting() override { std::fclose(std::exchange(m_file, nullptr)); }

private:
    std::FILE* m_file = nullptr;
};

void BM_WriteDesignFileUnflushed(benchmark::State& state)
{
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    model::Design design;
    loadDesign(f, design);
    const std::string out = f.path + ".unflushed";
    for (auto _ : state) {
        UnflushedWriter writer;
        io::writeDesignFile(out, design, writer);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.fileBytes));
}

void BM_EncodeDesignFile(benchmark::State& state)
{
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    model::Design design;
    loadDesign(f, design);
    for (auto _ : state) {
        benchmark::DoNotOptimize(io::encodeDesignFile(design).size());
    }
}

long statusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    return -1;
}

// Bytes allocated, whether from the heap or mapped on their own (large blocks).
std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd + model::hugeBlockBytes();
}

// Peak: the rise of the resident high-water mark (reset through clear_refs)
// while the file is read and the trees built. Held: heap in use afterwards.
void BM_OpenMemory(benchmark::State& state)
{
    const Fixture& f = fixture(static_cast<int>(state.range(0)));
    double peak = 0, held = 0;
    for (auto _ : state) {
        malloc_trim(0);
        std::ofstream("/proc/self/clear_refs") << "5";
        const long rssBefore = statusKb("VmRSS:");
        const std::size_t heapBefore = heapInUse();
        std::optional<io::DesignFileContents> contents = io::readDesignFile(f.path);
        const double nodes = static_cast<double>(f.nodes);
        const double texts = static_cast<double>(f.textBytes);
        peak = (1024.0 * static_cast<double>(statusKb("VmHWM:") - rssBefore) - texts) / nodes;
        held = (static_cast<double>(heapInUse() - heapBefore) - texts) / nodes;
        contents.reset();
    }
    state.counters["peak_B_per_node_beyond_text"] = peak;
    state.counters["held_B_per_node_beyond_text"] = held;
    state.counters["text_B_per_node"] = static_cast<double>(f.textBytes) / static_cast<double>(f.nodes);
    state.counters["file_MB"] = static_cast<double>(f.fileBytes) / 1e6;
}

BENCHMARK(BM_OpenMemory)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainReadAndSplit)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDesignFile)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeDesignFile)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteDesignFile)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteDesignFileUnflushed)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({
        {"open / plain read+split, 100k rows", "BM_ReadDesignFile/100000", "BM_PlainReadAndSplit/100000"},
        {"save / plain read+split, 100k rows", "BM_WriteDesignFile/100000", "BM_PlainReadAndSplit/100000"},
        {"save without the disk flush / plain read+split, 100k rows", "BM_WriteDesignFileUnflushed/100000",
         "BM_PlainReadAndSplit/100000"},
        {"encode / plain read+split, 100k rows", "BM_EncodeDesignFile/100000", "BM_PlainReadAndSplit/100000"},
        {"open 1M rows / open 100k rows", "BM_ReadDesignFile/1000000", "BM_ReadDesignFile/100000"},
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
