// The flow diagram: laid out and painted as the window shows it (fitted into
// a 1200 x 900 view, and at its own size where the view is scrolled to), and
// painted whole onto a picture, for 1,000 rows; `--export svg` of 10,000 rows
// from the design file to the SVG file, as the command line runs it.
//
// The designs: levels wander between 0 and 6, labels are an outline number
// and ~30 bytes, one in 50 long enough to wrap; every parent of up to six
// children has its FR-DP matrix assessed (decoupled, uncoupled or coupled by
// turns), the wider ones are left incomplete.
#include "export/FlowDiagram.h"
#include "export/RtfExport.h"
#include "export/TableExportCommand.h"
#include "io/DesignFile.h"
#include "model/Design.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>
#include <sstream>

namespace {

void fillTree(model::DesignTree& tree, int rows, char letter)
{
    std::mt19937 random(1234);
    std::vector<model::Node*> path;
    for (int row = 0; row < rows; ++row) {
        const int deepest = std::min<int>(static_cast<int>(path.size()), 6);
        const int level = std::uniform_int_distribution<int>(std::max(0, deepest - 2), deepest)(random);
        path.resize(static_cast<std::size_t>(level));
        std::string text = std::to_string(row + 1) + ". " + letter + " component label for row";
        if (row % 50 == 0)
            text += " with a longer explanation of what this part must do, so that it wraps";
        path.push_back(level == 0 ? tree.appendTopLevel(std::move(text)) : tree.appendChild(path.back(), std::move(text)));
    }
}

void assess(model::Design& d)
{
    for (int row = model::kNoRow; row < d.rowCount(); ++row) {
        const int n = static_cast<int>(d.matrixParent(row)->children.size());
        if (n < 2 || n > 6)
            continue;
        const int kind = (row + 1) % 3; // 0 decoupled, 1 uncoupled, 2 coupled
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                if (i != j) {
                    const bool x = (kind == 0 && i == j + 1) || (kind == 2 && (i == j + 1 || (i == 0 && j == n - 1)));
                    d.setMatrixCell(row, model::MatrixKind::FrDp, i, j, x ? model::CellValue::X : model::CellValue::O);
                }
    }
}

const model::Design& design(int rows)
{
    static std::map<int, std::unique_ptr<model::Design>> designs;
    std::unique_ptr<model::Design>& d = designs[rows];
    if (!d) {
        d = std::make_unique<model::Design>();
        fillTree(d->tree(model::TreeId::FR), rows, 'F');
        fillTree(d->tree(model::TreeId::DP), rows, 'D');
        fillTree(d->tree(model::TreeId::PV), rows, 'P');
        assess(*d);
    }
    return *d;
}

constexpr QSize kView(1200, 900);

// The window's first look: the whole diagram fitted into the view.
void BM_FlowFittedInTheWindow(benchmark::State& state)
{
    const model::Design& d = design(static_cast<int>(state.range(0)));
    QImage view(kView, QImage::Format_RGB32);
    for (auto _ : state) {
        const exporting::FlowLayout layout = exporting::layoutFlowDiagram(exporting::exportSourceOf(d));
        view.fill(Qt::white);
        QPainter painter(&view);
        const double scale = std::min(kView.width() / layout.size.width(), kView.height() / layout.size.height());
        painter.scale(scale, scale);
        exporting::paintFlowDiagram(painter, layout, QRectF(QPointF(), layout.size), true);
    }
}

// Zoomed in to its own size, scrolled half way down: the view paints what it shows.
void BM_FlowAtItsSizeInTheWindow(benchmark::State& state)
{
    const model::Design& d = design(static_cast<int>(state.range(0)));
    QImage view(kView, QImage::Format_RGB32);
    for (auto _ : state) {
        const exporting::FlowLayout layout = exporting::layoutFlowDiagram(exporting::exportSourceOf(d));
        view.fill(Qt::white);
        QPainter painter(&view);
        const QRectF visible(QPointF(0, layout.size.height() / 2), QSizeF(kView));
        painter.translate(-visible.topLeft());
        exporting::paintFlowDiagram(painter, layout, visible, true);
    }
}

// Every box, line and text painted, onto a picture that records them.
void BM_FlowPaintedWhole(benchmark::State& state)
{
    const model::Design& d = design(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const exporting::FlowLayout layout = exporting::layoutFlowDiagram(exporting::exportSourceOf(d));
        QPicture picture;
        QPainter painter(&picture);
        exporting::paintFlowDiagram(painter, layout);
        painter.end();
        benchmark::DoNotOptimize(picture.size());
    }
}

// `tessaric --export svg DESIGN.vok OUT.svg` in this process: read, lay out, paint, write.
void BM_ExportSvgCommand(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string designPath = dir.filePath("big.vok").toStdString();
    const std::string out = dir.filePath("big.svg").toStdString();
    {
        QFile file(QString::fromStdString(designPath));
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray::fromStdString(io::encodeDesignFile(design(static_cast<int>(state.range(0))))));
    }
    std::ostringstream err;
    for (auto _ : state)
        if (exporting::runTableExport({"svg", designPath, out}, err, [](std::uint32_t c) { return c; }) != 0)
            state.SkipWithError(err.str().c_str());
    state.counters["MB"] = static_cast<double>(QFile(QString::fromStdString(out)).size()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // Wall-clock time: what the user waits.
    for (auto [name, run] : {std::pair{"BM_FlowFittedInTheWindow", &BM_FlowFittedInTheWindow},
                             std::pair{"BM_FlowAtItsSizeInTheWindow", &BM_FlowAtItsSizeInTheWindow},
                             std::pair{"BM_FlowPaintedWhole", &BM_FlowPaintedWhole}})
        benchmark::RegisterBenchmark(name, run)->Arg(200)->Arg(1'000)->Unit(benchmark::kMillisecond)->UseRealTime();
    benchmark::RegisterBenchmark("BM_ExportSvgCommand", BM_ExportSvgCommand)
        ->Arg(10'000)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
