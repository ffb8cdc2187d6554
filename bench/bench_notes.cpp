// Notes and labels beyond Windows-1252 on a design of about 100,000 rows:
// opening, saving and encoding it plain (arg 0), and with every label of all
// three trees beyond the code page and a note of 200 bytes on every node
// (arg 1), which adds a Unicode text block and a note block of some 60 MB;
// and, as the floor, reading each file's bytes and finding every LF.
#include "BenchDesigns.h"
#include "RatioReporter.h"

#include "io/DesignFile.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstring>

namespace {

// 200 bytes of UTF-8, most of them ASCII as notes are, a few characters not.
std::string noteOf(int row)
{
    std::string note = "Row " + std::to_string(row) + ": pressure drop \xCE\x94p \xE2\x89\xA4 3 bar at full flow.\n";
    while (note.size() < 200)
        note += "Checked against the pump curve; see the test report. ";
    note.resize(200);
    return note;
}

struct Fixture {
    std::unique_ptr<model::Design> design;
    std::string path;
};

const Fixture& fixture(bool withTexts)
{
    static QTemporaryDir dir;
    static Fixture fixtures[2];
    Fixture& f = fixtures[withTexts];
    if (!f.design) {
        f.design = bench::wideDesign(10, 100, 99);
        if (withTexts)
            for (model::TreeId id : model::kAllTrees)
                for (int row = 0; row < f.design->rowCount(); ++row) {
                    // "泵 Function": as long as the plain label, one character beyond the code page.
                    f.design->editFullLabel(id, row, "\xE6\xB3\xB5 " + std::string(bench::kLabels[model::index(id)]));
                    f.design->setNote(id, row, noteOf(row));
                }
        f.path = dir.filePath(withTexts ? "texts.vok" : "plain.vok").toStdString();
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
        benchmark::DoNotOptimize(design->notes().size());
        state.PauseTiming(); // freeing the trees is the next open's business
        design.reset();
        state.ResumeTiming();
    }
}

void BM_PlainReadAndSplit(benchmark::State& state)
{
    const Fixture& f = fixture(state.range(0) != 0);
    for (auto _ : state) {
        std::FILE* file = std::fopen(f.path.c_str(), "rb");
        std::fseek(file, 0, SEEK_END);
        std::string bytes(static_cast<std::size_t>(std::ftell(file)), '\0');
        std::fseek(file, 0, SEEK_SET);
        benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), file));
        std::fclose(file);
        std::size_t lines = 0;
        for (const char* p = bytes.data(); (p = static_cast<const char*>(std::memchr(p, '\n', bytes.data() + bytes.size() - p)));
             ++p)
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
}

void BM_Save(benchmark::State& state)
{
    const Fixture& f = fixture(state.range(0) != 0);
    const std::string out = f.path + ".saved";
    for (auto _ : state)
        io::writeDesignFile(out, *f.design);
}

void BM_Encode(benchmark::State& state)
{
    const Fixture& f = fixture(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(io::encodeDesignFile(*f.design).size());
}

} // namespace

BENCHMARK(BM_PlainReadAndSplit)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Open)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    bench::RatioReporter reporter({
        {"open with full labels and notes / plain", "BM_Open/1", "BM_Open/0"},
        {"save with full labels and notes / plain", "BM_Save/1", "BM_Save/0"},
        {"encode with full labels and notes / plain", "BM_Encode/1", "BM_Encode/0"},
        {"open with full labels and notes / plain read+split of its bytes", "BM_Open/1", "BM_PlainReadAndSplit/1"},
        {"save with full labels and notes / plain read+split of its bytes", "BM_Save/1", "BM_PlainReadAndSplit/1"},
        {"open plain / plain read+split of its bytes", "BM_Open/0", "BM_PlainReadAndSplit/0"},
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
