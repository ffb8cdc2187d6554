// The window with a 100,000-row design: a click on a row (release handling,
// selection of the three rows, renumbering, repaint of the three views), and
// opening the design file up to the first paint of the three views, against
// the floor of reading the same file and splitting it into lines. How long
// the window's thread goes without an event loop turn while a 1,000,000-row
// design is copied for recovery or saved, or a 100,000-row design exported
// to ODT, beside the same window idle. A cell click in the full design
// matrix of 400 leaves, up to the repaint. A key in
// the notes pane with a note on every node, up to the repaint. Expand all,
// collapse all, and a command under expanded parents on the same design,
// beside Qt's own tree view over a plain model of the same shape.
#include "FreezeMeter.h"
#include "RatioReporter.h"
#include "BenchWindow.h"
#include "PlainTrees.h"
#include "app/MatrixPaneController.h"
#include "app/NotesPaneController.h"
#include "app/QtTableExportDialogs.h"
#include "app/TableExportCommands.h"
#include "app/UndoHistory.h"
#include "io/DesignFile.h"
#include "ui/MatrixPane.h"
#include "ui/MatrixPaneFull.h"
#include "ui/NotesPane.h"

#include <QApplication>
#include <QFile>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QHBoxLayout>
#include <QStandardItemModel>
#include <QTreeView>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <cstring>

namespace {

using model::TreeId;

// `tops` top-level nodes, each with 33 children of 29 children: 100 give
// 99,100 rows, 1010 give 1,000,910.
constexpr int kTops100k = 100;
constexpr int kTops1M = 1010;

void buildLargeDesign(model::Design& design, int tops = kTops100k)
{
    std::array<model::DesignTree, model::kTreeCount> trees;
    for (auto& tree : trees)
        for (int a = 0; a < tops; ++a) {
            model::Node* top = tree.appendTopLevel("Requirement for the pump assembly");
            for (int b = 0; b < 33; ++b) {
                model::Node* mid = tree.appendChild(top, "Parameter of the motor housing");
                for (int c = 0; c < 29; ++c)
                    tree.appendChild(mid, "Process variable of the bearing seat");
            }
        }
    design.replaceTrees(std::move(trees));
}

void BM_ClickRowOfLargeDesign(benchmark::State& state)
{
    bench::Window window;
    app::TMainForm& form = window.form;
    buildLargeDesign(window.workspace.design());
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    window.workspace.design().renumber();
    const bool expandAll = state.range(0) != 0;
    if (expandAll)
        window.features.editing->actions().expandAll->trigger();
    QCoreApplication::processEvents();

    int i = 0;
    for (auto _ : state) {
        const TreeId id = model::kAllTrees[static_cast<std::size_t>(i % 3)];
        auto* view = window.features.columns->view(id);
        const QModelIndex index = view->indexAt(QPoint(40, 10 + 16 * (i % 8)));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        window.repaintViews();
        ++i;
    }
    state.counters["rows"] = window.workspace.design().rowCount();
}
BENCHMARK(BM_ClickRowOfLargeDesign)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A click after a label edit: the renumbering that follows rewrites texts.
void BM_ClickAfterLabelEdit(benchmark::State& state)
{
    bench::Window window;
    app::TMainForm& form = window.form;
    buildLargeDesign(window.workspace.design());
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    QCoreApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        window.workspace.design().editText(TreeId::DP, 5, i % 2 ? "1.1.4 Edited label" : "Edited label");
        auto* view = window.features.columns->view(TreeId::FR);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->indexAt(QPoint(40, 10))).center());
        window.repaintViews();
        ++i;
    }
}
BENCHMARK(BM_ClickAfterLabelEdit)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A key typed into the notes pane, up to the pane's repaint, with a note of
// 200 bytes on every node of the 100,000 rows (one frame is 16 ms): typing
// stays in the pane, and the rows' markers cost nothing per key.
void BM_NotesPaneKeystroke(benchmark::State& state)
{
    bench::Window window;
    app::TMainForm& form = window.form;
    model::Design& design = window.workspace.design();
    buildLargeDesign(design);
    model::RowTextStore notes;
    notes.reserve(static_cast<std::size_t>(design.rowCount()));
    const std::string note(200, 'n');
    for (const model::Node* node : design.tree(TreeId::FR).preorder())
        notes.set(node, {note, note, note});
    design.replaceNotes(std::move(notes));
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    window.features.notes->toggle()->trigger();
    auto* view = window.features.columns->view(TreeId::FR);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->indexAt(QPoint(40, 10))).center());
    QCoreApplication::processEvents();
    QPlainTextEdit* editor = window.features.notes->pane()->editor(TreeId::FR);
    editor->setFocus();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(editor, Qt::Key_A);
        editor->viewport()->repaint();
    }
    state.counters["notes"] = static_cast<double>(design.notes().size()) * model::kTreeCount;
}
BENCHMARK(BM_NotesPaneKeystroke)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// 10,000 top-level rows of 10 children each: a renumbering of all of them
// changes a run of texts inside each collapsed branch.
void buildWideShallowDesign(model::Design& design)
{
    std::array<model::DesignTree, model::kTreeCount> trees;
    for (auto& tree : trees)
        for (int a = 0; a < 10000; ++a) {
            model::Node* top = tree.appendTopLevel("Requirement");
            for (int b = 0; b < 10; ++b)
                tree.appendChild(top, "Parameter");
        }
    design.replaceTrees(std::move(trees));
}

// Add sibling above on the first row: every outline number of the design
// changes, and each view is told of every changed text. Arguments: 0 the
// 100,000-row design collapsed, 1 expanded, 2 the wide shallow one collapsed.
void BM_RenumberEveryRowOnScreen(benchmark::State& state)
{
    bench::Window window;
    app::TMainForm& form = window.form;
    if (state.range(0) == 2)
        buildWideShallowDesign(window.workspace.design());
    else
        buildLargeDesign(window.workspace.design());
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    window.workspace.design().renumber();
    if (state.range(0) == 1)
        window.features.editing->actions().expandAll->trigger();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.workspace.design().addSiblingAbove(0);
        QCoreApplication::processEvents();
        window.repaintViews();
    }
    state.counters["rows"] = window.workspace.design().rowCount();
}
BENCHMARK(BM_RenumberEveryRowOnScreen)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

// The first click on a design whose stored numbers are all out of date: the
// renumbering rewrites every text without any change of structure, so every
// run is looked up among the rows the views show. Arguments as above.
void BM_FirstClickRenumbersEveryRow(benchmark::State& state)
{
    bench::Window window;
    app::TMainForm& form = window.form;
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    for (auto _ : state) {
        state.PauseTiming();
        if (state.range(0) == 2)
            buildWideShallowDesign(window.workspace.design());
        else
            buildLargeDesign(window.workspace.design());
        if (state.range(0) == 1)
            window.features.columns->expandAll();
        QCoreApplication::processEvents();
        window.repaintViews();
        auto* view = window.features.columns->view(TreeId::DP);
        const QPoint row = view->visualRect(view->indexAt(QPoint(40, 10))).center();
        state.ResumeTiming();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row);
        window.repaintViews();
    }
}
BENCHMARK(BM_FirstClickRenumbersEveryRow)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

// The recovery copy of a 100,000-row design, as far as the window's thread
// does it: letting the writer thread in to read the design, which it then
// encodes, writes and flushes.
void BM_RecoveryCopyOnTheWindowsThread(benchmark::State& state)
{
    QTemporaryDir data;
    bench::Window window;
    window.features.recovery->setFolder(data.path());
    buildLargeDesign(window.workspace.design());
    window.workspace.design().renumber();
    window.workspace.design().setModified(true);
    for (auto _ : state) {
        window.features.recovery->writeNow();
        state.PauseTiming();
        window.features.recovery->waitForWriter();
        state.ResumeTiming();
    }
    state.counters["rows"] = window.workspace.design().rowCount();
}
BENCHMARK(BM_RecoveryCopyOnTheWindowsThread)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3)
    ->ReportAggregatesOnly(true);

const std::string& largeDesignFile(int tops)
{
    static QTemporaryDir dir;
    static std::map<int, std::string> paths;
    if (auto it = paths.find(tops); it != paths.end())
        return it->second;
    model::Design design;
    buildLargeDesign(design, tops);
    design.renumber();
    const std::string file = dir.filePath(QString("large-%1.vok").arg(tops)).toStdString();
    io::writeDesignFile(file, design);
    return paths.emplace(tops, file).first->second;
}

// The floor: read the whole file and find every line end.
void BM_PlainReadAndSplit(benchmark::State& state)
{
    const std::string& path = largeDesignFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        std::string bytes(static_cast<std::size_t>(std::ftell(f)), '\0');
        std::fseek(f, 0, SEEK_SET);
        if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size())
            state.SkipWithError("short read");
        std::fclose(f);
        std::size_t lines = 0;
        for (const char* p = bytes.data(); (p = static_cast<const char*>(std::memchr(p, '\n', bytes.data() + bytes.size() - p))); ++p)
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_PlainReadAndSplit)->Arg(kTops100k)->Arg(kTops1M)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// Open through the window's file command, then paint the three views once.
void BM_OpenLargeDesignToFirstPaint(benchmark::State& state)
{
    const std::string& path = largeDesignFile(static_cast<int>(state.range(0)));
    bench::Window window;
    app::TMainForm& form = window.form;
    form.show();
    (void)QTest::qWaitForWindowExposed(&form);
    for (auto _ : state) {
        window.features.files->openAtStart(path);
        window.repaintViews();
    }
    state.counters["rows"] = window.workspace.design().rowCount();
}
BENCHMARK(BM_OpenLargeDesignToFirstPaint)->Arg(kTops100k)->Arg(kTops1M)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The first open of a run: a shown window with an empty design, so nothing
// old is freed; window set-up and tear-down stay outside the timing.
void BM_OpenLargeDesignIntoEmptyWindow(benchmark::State& state)
{
    const std::string& path = largeDesignFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<bench::Window>();
        window->form.show();
        (void)QTest::qWaitForWindowExposed(&window->form);
        state.ResumeTiming();
        window->features.files->openAtStart(path);
        window->repaintViews();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenLargeDesignIntoEmptyWindow)->Arg(kTops100k)->Arg(kTops1M)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The freeze of the window's thread while a 1,000,000-row design that was
// just edited is copied for recovery, or saved: the longest gap between two
// turns of its event loop (manual time), with the shown window painting.
// The whole action's time is a counter.
struct EditedLargeDesign {
    QTemporaryDir dir;
    bench::Window window;

    EditedLargeDesign()
    {
        window.features.recovery->setFolder(dir.filePath("recovery"));
        window.form.show();
        (void)QTest::qWaitForWindowExposed(&window.form);
        const QString own = dir.filePath("large.vok"); // saved over: the shared file stays as it is
        QFile::copy(QString::fromStdString(largeDesignFile(kTops1M)), own);
        window.features.files->openAtStart(own.toStdString());
    }

    void edit(int i)
    {
        window.workspace.design().editText(TreeId::FR, 1, "Parameter " + std::to_string(i));
    }
};

void reportFreeze(benchmark::State& state, const bench::Freeze& freeze, double& wholeMs)
{
    state.SetIterationTime(freeze.longestGapMs / 1e3);
    wholeMs += freeze.wholeMs;
}

// The floor of the two: the same window with nothing to do, its event loop
// spun for about as long as a copy takes; what it shows is the machine's.
void BM_IdleFreeze(benchmark::State& state)
{
    EditedLargeDesign large;
    double wholeMs = 0;
    for (auto _ : state) {
        QElapsedTimer spun;
        spun.start();
        reportFreeze(state, bench::measureFreeze([] {}, [&] { return spun.elapsed() >= 300; }), wholeMs);
    }
}
BENCHMARK(BM_IdleFreeze)->Arg(kTops1M)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)
    ->Repetitions(3)->ReportAggregatesOnly(true);

void BM_RecoveryFreeze(benchmark::State& state)
{
    EditedLargeDesign large;
    app::RecoveryKeeper& keeper = *large.window.features.recovery;
    double wholeMs = 0;
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        large.edit(++i);
        state.ResumeTiming();
        reportFreeze(state, bench::measureFreeze([&] { keeper.writeNow(); }, [&] { return keeper.waitForWriter(0); }),
                     wholeMs);
    }
    state.counters["whole_ms"] = wholeMs / static_cast<double>(state.iterations());
    state.counters["rows"] = large.window.workspace.design().rowCount();
}
BENCHMARK(BM_RecoveryFreeze)->Arg(kTops1M)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)
    ->Repetitions(3)->ReportAggregatesOnly(true);

// A step that starts while the recovery copy of a 1,000,000-row design is
// being encoded: the edit itself and the wait for the copy to stop (the
// copy before was whole, so the step stops it). Arg 0 is the same edit with
// no copy being made.
void BM_EditWhileCopying(benchmark::State& state)
{
    EditedLargeDesign large;
    app::RecoveryKeeper& keeper = *large.window.features.recovery;
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (state.range(0)) {
            keeper.writeNow(); // a whole copy first: steps stop copies again, never wait for them
            keeper.waitForWriter();
            keeper.writeNow();
            QTest::qWait(30); // well inside the encode, which takes over 100 ms
        }
        state.ResumeTiming();
        large.edit(++i);
        state.PauseTiming();
        keeper.waitForWriter();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditWhileCopying)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_SaveFreeze(benchmark::State& state)
{
    EditedLargeDesign large;
    app::FileCommands& files = large.window.workspace.files();
    double wholeMs = 0;
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        large.edit(++i);
        state.ResumeTiming();
        reportFreeze(state, bench::measureFreeze([&] { files.save(); }, [] { return true; }), wholeMs);
    }
    state.counters["whole_ms"] = wholeMs / static_cast<double>(state.iterations());
    state.counters["rows"] = large.window.workspace.design().rowCount();
}
BENCHMARK(BM_SaveFreeze)->Arg(kTops1M)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)
    ->Repetitions(3)->ReportAggregatesOnly(true);

// The freeze of the window's thread while the 100,000-row design is
// exported to ODT from the save menu, with the real progress dialog; the
// save dialog is answered at once. The second argument assesses a cell of
// the top level: the document then has a matrix and the flow diagram of all
// the leaves, whose picture alone takes far longer than the table, so that
// case runs on 10 tops (9,910 rows). The whole export's time is a counter.
class AnsweredTableDialogs : public app::TableExportDialogs {
public:
    AnsweredTableDialogs(QWidget* owner, std::string path) : m_real(owner), m_path(std::move(path)) {}
    std::optional<exporting::TableTarget> chooseTarget(const QString&, exporting::TableFormat format) override
    {
        return exporting::TableTarget{m_path, format};
    }
    std::unique_ptr<exporting::ExportProgress> progress(const QString& label) override { return m_real.progress(label); }
    void preview(const QString&, const std::function<void(QPrinter&)>&) override {}

private:
    app::QtTableExportDialogs m_real;
    std::string m_path;
};

void BM_OdtExportFreeze(benchmark::State& state)
{
    QTemporaryDir dir;
    bench::Window window;
    window.form.show();
    (void)QTest::qWaitForWindowExposed(&window.form);
    buildLargeDesign(window.workspace.design(), static_cast<int>(state.range(0)));
    if (state.range(1) == 1)
        window.workspace.design().setMatrixCell(model::kNoRow, model::MatrixKind::FrDp, 1, 6, model::CellValue::X);
    app::TableExportCommands& exports = *window.features.tableExport;
    exports.setDialogs(std::make_shared<AnsweredTableDialogs>(&window.form, dir.filePath("large.odt").toStdString()));
    double wholeMs = 0;
    for (auto _ : state) {
        bool written = false;
        reportFreeze(state, bench::measureFreeze([&] { written = exports.exportTable().has_value(); }, [] { return true; }),
                     wholeMs);
        if (!written)
            state.SkipWithError("the export wrote nothing");
    }
    state.counters["whole_ms"] = wholeMs / static_cast<double>(state.iterations());
    state.counters["rows"] = window.workspace.design().rowCount();
}
BENCHMARK(BM_OdtExportFreeze)->Args({kTops100k, 0})->Args({10, 1})->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)
    ->Repetitions(3)->ReportAggregatesOnly(true);

// The full design matrix over 400 leaves (20 rows of 20 children), shown with
// a column's parameter marked: a click on a cross cell, as one undo step,
// up to the repaint of both full grids and the trees' marks. One frame is
// 16 ms.
void BM_FullMatrixCellClick(benchmark::State& state)
{
    bench::Window window;
    std::array<model::DesignTree, model::kTreeCount> trees;
    for (auto& tree : trees)
        for (int a = 0; a < 20; ++a) {
            model::Node* top = tree.appendTopLevel("Requirement for the pump assembly");
            for (int b = 0; b < 20; ++b)
                tree.appendChild(top, "Parameter of the motor housing");
        }
    window.workspace.design().replaceTrees(std::move(trees));
    window.form.show();
    (void)QTest::qWaitForWindowExposed(&window.form);
    window.features.matrix->fullView()->trigger();
    QCoreApplication::processEvents();
    ui::FullMatrixGrid* grid = window.features.matrixPane->fullView()->grid(model::MatrixKind::FrDp);
    QHeaderView* heads = grid->horizontalHeader();
    QTest::mouseClick(heads->viewport(), Qt::LeftButton, {}, QPoint(heads->sectionViewportPosition(21) + 4, 4));
    QCoreApplication::processEvents();
    grid->scrollTo(grid->model()->index(2, 21));
    const QPoint cell = grid->visualRect(grid->model()->index(2, 21)).center(); // 1.3 / 2.2: a cross pair
    for (auto _ : state) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell);
        QCoreApplication::processEvents(); // the pane's refresh, from the event loop
        for (model::MatrixKind kind : model::kMatrixKinds)
            window.features.matrixPane->fullView()->grid(kind)->viewport()->repaint();
        window.repaintViews();
    }
    // What was timed must have been the redraw of the cell clicked.
    const model::DesignTree& fr = window.workspace.design().tree(TreeId::FR);
    const model::CellValue stored = window.workspace.design().crossCells().cell(
        model::MatrixKind::FrDp, fr.nodeAt(0)->children[2], fr.nodeAt(21)->children[1]);
    const model::FullCell shown = grid->grid().cell(2, 21);
    if (window.workspace.history().count() == 0 || shown != (stored == model::CellValue::X   ? model::FullCell::X
                  : stored == model::CellValue::O ? model::FullCell::O
                                                  : model::FullCell::NotAssessed))
        state.SkipWithError("the grid does not show the cell clicked");
    state.counters["leaves"] = static_cast<double>(window.features.matrixPane->fullView()->leafCount());
}
BENCHMARK(BM_FullMatrixCellClick)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The toolbar's Expand/collapse all on the 100,000-row design, up to the
// repaint of the three views: argument 1 times the expansion, 0 the collapse.
void expandOrCollapseAll(benchmark::State& state, bool timeExpansion)
{
    bench::Window window;
    buildLargeDesign(window.workspace.design());
    window.form.show();
    (void)QTest::qWaitForWindowExposed(&window.form);
    window.workspace.design().renumber();
    QAction* toggle = window.features.editing->actions().expandAll;
    for (auto _ : state) {
        if (!timeExpansion)
            state.PauseTiming();
        toggle->trigger(); // expanded
        QCoreApplication::processEvents();
        window.repaintViews();
        if (timeExpansion)
            state.PauseTiming();
        else
            state.ResumeTiming();
        toggle->trigger(); // collapsed
        QCoreApplication::processEvents();
        window.repaintViews();
        if (timeExpansion)
            state.ResumeTiming();
    }
    state.counters["rows"] = window.workspace.design().rowCount();
}
void BM_ExpandAll(benchmark::State& state) { expandOrCollapseAll(state, true); }
void BM_CollapseAll(benchmark::State& state) { expandOrCollapseAll(state, false); }
BENCHMARK(BM_ExpandAll)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_CollapseAll)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);

// Add sibling below a row in the middle of the expanded 100,000-row design,
// then its undo, each up to the repaint of the three views: one row comes and
// goes under an expanded parent.
void BM_CommandExpanded(benchmark::State& state)
{
    bench::Window window;
    model::Design& design = window.workspace.design();
    buildLargeDesign(design);
    window.form.show();
    (void)QTest::qWaitForWindowExposed(&window.form);
    design.renumber();
    window.features.editing->actions().expandAll->trigger();
    const int middle = design.rowCount() / 2 + 5; // a leaf, 1,000s of rows expanded above and below
    window.features.columns->selectRow(middle);
    QCoreApplication::processEvents();
    window.repaintViews();
    for (auto _ : state) {
        design.startRecording();
        design.addSiblingBelow(middle);
        std::unique_ptr<model::EditRecord> record = design.stopRecording();
        QCoreApplication::processEvents();
        window.repaintViews();
        record->undo();
        QCoreApplication::processEvents();
        window.repaintViews();
    }
    state.counters["rows"] = design.rowCount();
}
BENCHMARK(BM_CommandExpanded)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

// Every editing command from the toolbar on a leaf in the middle of a design
// of 100,000 (tops 100) or 1,000,000 rows (1010), all collapsed or all
// expanded: the command up to the repaint of the three views, and its undo
// the same way (the counter undo_ms). Command 8 is Add sibling above on the
// first row, which renumbers every row below it.
void BM_WindowCommand(benchmark::State& state)
{
    const auto command = static_cast<std::size_t>(state.range(0));
    const bool expanded = state.range(2) != 0;
    bench::Window window;
    model::Design& design = window.workspace.design();
    buildLargeDesign(design, static_cast<int>(state.range(1)));
    window.form.show();
    (void)QTest::qWaitForWindowExposed(&window.form);
    design.renumber();
    const auto& a = window.features.editing->actions();
    if (expanded)
        a.expandAll->trigger();
    const std::array<QAction*, 9> actions{a.addBelow, a.addAbove, a.addChild, a.addUncle, a.moveUp,
                                          a.moveDown, a.duplicate, a.deleteRow, a.addAbove};
    const int row = command == 8 ? 0 : design.rowCount() / 2 + 5; // a leaf with siblings either side
    const std::string before = io::encodeDesignFile(design);
    double undoMs = 0;
    auto settle = [&] {
        QCoreApplication::processEvents();
        window.repaintViews();
    };
    for (auto _ : state) {
        window.features.columns->selectRow(row);
        window.features.columns->view(TreeId::FR)->setFocus();
        settle();
        QElapsedTimer timer;
        timer.start();
        actions[command]->trigger();
        settle();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        if (!design.modified())
            state.SkipWithError("the command changed nothing");
        timer.start();
        a.undo->trigger();
        settle();
        undoMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
    }
    if (io::encodeDesignFile(design) != before)
        state.SkipWithError("undo did not give the design back");
    state.counters["undo_ms"] = benchmark::Counter(undoMs, benchmark::Counter::kAvgIterations);
    const char* names[] = {"add below", "add above", "add child", "add uncle", "move up",
                           "move down", "duplicate", "delete", "add above the first row"};
    state.SetLabel(std::string(names[command]) + (expanded ? ", expanded" : ", collapsed"));
}
BENCHMARK(BM_WindowCommand)->ArgsProduct({benchmark::CreateDenseRange(0, 8, 1), {kTops100k, kTops1M}, {0, 1}})
    ->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

// The floor for the three above: Qt's tree view over a plain model of the
// same shape, three of them side by side as the window shows them (bench::PlainTrees).
void plainExpandOrCollapseAll(benchmark::State& state, bool timeExpansion)
{
    bench::PlainTrees plain(kTops100k);
    for (auto _ : state) {
        if (!timeExpansion)
            state.PauseTiming();
        for (QTreeView* v : plain.views)
            v->expandAll();
        QCoreApplication::processEvents();
        plain.repaint();
        if (timeExpansion)
            state.PauseTiming();
        else
            state.ResumeTiming();
        for (QTreeView* v : plain.views)
            v->collapseAll();
        QCoreApplication::processEvents();
        plain.repaint();
        if (timeExpansion)
            state.ResumeTiming();
    }
}
void BM_PlainQtExpandAll(benchmark::State& state) { plainExpandOrCollapseAll(state, true); }
void BM_PlainQtCollapseAll(benchmark::State& state) { plainExpandOrCollapseAll(state, false); }
BENCHMARK(BM_PlainQtExpandAll)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainQtCollapseAll)->Unit(benchmark::kMillisecond)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true);

// A row inserted under an expanded parent in the middle of each plain model, then removed.
void BM_PlainQtCommandExpanded(benchmark::State& state)
{
    bench::PlainTrees plain(kTops100k);
    for (QTreeView* v : plain.views)
        v->expandAll();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        for (auto& m : plain.models)
            m->item(kTops100k / 2)->child(0)->insertRow(1, new QStandardItem(QStringLiteral("New row")));
        QCoreApplication::processEvents();
        plain.repaint();
        for (auto& m : plain.models)
            m->item(kTops100k / 2)->child(0)->removeRow(1);
        QCoreApplication::processEvents();
        plain.repaint();
    }
}
BENCHMARK(BM_PlainQtCommandExpanded)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const std::string k100 = "/" + std::to_string(kTops100k), k1m = "/" + std::to_string(kTops1M);
    bench::RatioReporter reporter({
        {"open over a design / plain read+split, 100k rows", "BM_OpenLargeDesignToFirstPaint" + k100,
         "BM_PlainReadAndSplit" + k100},
        {"open into an empty window / plain read+split, 100k rows", "BM_OpenLargeDesignIntoEmptyWindow" + k100,
         "BM_PlainReadAndSplit" + k100},
        {"open over a design, 1M rows / 100k rows", "BM_OpenLargeDesignToFirstPaint" + k1m,
         "BM_OpenLargeDesignToFirstPaint" + k100},
        {"open into an empty window, 1M rows / 100k rows", "BM_OpenLargeDesignIntoEmptyWindow" + k1m,
         "BM_OpenLargeDesignIntoEmptyWindow" + k100},
        {"recovery copy's freeze / plain read+split, 1M rows", "BM_RecoveryFreeze" + k1m,
         "BM_PlainReadAndSplit" + k1m},
        {"save's freeze / plain read+split, 1M rows", "BM_SaveFreeze" + k1m, "BM_PlainReadAndSplit" + k1m},
        {"recovery copy's freeze / idle window's, 1M rows", "BM_RecoveryFreeze" + k1m, "BM_IdleFreeze" + k1m},
        {"save's freeze / idle window's, 1M rows", "BM_SaveFreeze" + k1m, "BM_IdleFreeze" + k1m},
        {"ODT export's freeze / idle window's, 100k rows", "BM_OdtExportFreeze" + k100 + "/0", "BM_IdleFreeze" + k1m},
        {"expand all / plain Qt tree views, 100k rows", "BM_ExpandAll", "BM_PlainQtExpandAll"},
        {"collapse all / plain Qt tree views, 100k rows", "BM_CollapseAll", "BM_PlainQtCollapseAll"},
        {"command under expanded rows / plain Qt, 100k rows", "BM_CommandExpanded", "BM_PlainQtCommandExpanded"},
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
