// Copy, paste and find at size: pasting 10,000 lines of plain text or
// 10,000 copied rows into a 100,000-row design (reading the clipboard's
// content, the paste with its renumbering, recorded as the window records
// a step), and the search over the labels of 100,000 rows (300,000 labels).
// Then the same in the window: Ctrl+V with 10,000 lines on the clipboard up
// to the repainted views, and one keystroke in the find bar (search, count,
// marks) up to the repainted views.
//
// Pasted text, 10,000 lines, two shapes:
//   flat   (arg 0): 10,000 top-level lines
//   nested (arg 1): 100 lines, each with 9 children of 10 children
// Each timed paste is undone with the timer paused.

#include "app/ClipboardCommands.h"
#include "BenchWindow.h"
#include "PlainTrees.h"
#include "app/TreeColumns.h"
#include "app/UndoHistory.h"
#include "io/PlainTextRows.h"
#include "io/RowsFormat.h"
#include "model/Design.h"
#include "model/LabelSearch.h"
#include "ui/FindBar.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QString>
#include <QTest>
#include <benchmark/benchmark.h>

#include <memory>

using model::Design;
using model::TreeId;

namespace {

constexpr int kPastedLines = 10000;

// 100 nodes, each with 33 children of 29 children: 99,100 rows, top-level
// or (underOneTop) below one more top-level row.
std::unique_ptr<Design> largeDesign(bool underOneTop = false)
{
    auto d = std::make_unique<Design>();
    const char* labels[] = {"Requirement for the pump assembly", "Parameter of the motor housing",
                            "Process variable of the bearing seat"};
    for (TreeId id : model::kAllTrees) {
        model::DesignTree& t = d->tree(id);
        model::Node* root = underOneTop ? t.appendTopLevel("Whole design") : t.root();
        for (int a = 0; a < 100; ++a) {
            model::Node* top = t.appendChild(root, labels[model::index(id)]);
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
    state.SetLabel(state.range(0) == 0 ? "flat" : state.range(0) == 1 ? "nested" : "nested, with matrices");
}

void BM_PastePlainText(benchmark::State& state)
{
    const QString text = pastedText(state.range(0) != 0);
    timePaste(state, [&] { return io::rowsFromPlainText(text, TreeId::FR); });
}
BENCHMARK(BM_PastePlainText)->Arg(0)->Arg(1)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// Both matrices of every row with children in `rows` fully assessed.
void assessEverything(model::CopiedRows& rows)
{
    const std::vector<std::uint32_t> counts = rows.childCounts();
    for (std::uint32_t p = 0; p < counts.size(); ++p)
        for (model::MatrixKind kind : model::kMatrixKinds) {
            model::CopiedMatrix m{p, kind, {}};
            for (std::uint32_t i = 0; i < counts[p]; ++i)
                for (std::uint32_t j = 0; j < counts[p]; ++j)
                    if (i != j)
                        m.cells.push_back({i, j, (i + j) % 2 ? model::CellValue::X : model::CellValue::O});
            if (!m.cells.empty())
                rows.matrices.push_back(std::move(m));
        }
}

// Copied rows as another instance of the program puts them on the
// clipboard: the same shapes, with labels in all three trees; arg 2 the
// nested shape with both matrices of every parent assessed (158,800 cells).
void BM_PasteCopiedRows(benchmark::State& state)
{
    model::CopiedRows rows = io::rowsFromPlainText(pastedText(state.range(0) != 0), TreeId::FR);
    for (TreeId id : {TreeId::DP, TreeId::PV})
        rows.textsOf(id) = rows.textsOf(TreeId::FR);
    if (state.range(0) == 2)
        assessEverything(rows);
    const std::string bytes = io::encodeRows(rows);
    timePaste(state, [&] { return io::decodeRows(bytes); });
}
BENCHMARK(BM_PasteCopiedRows)->Arg(0)->Arg(1)->Arg(2)->Iterations(10)->Repetitions(5)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// Copy of a row that holds the whole 100,000-row design: the rows taken
// out, both clipboard forms written; arg 1 with a cell (i, i + 1) in both
// matrices of every parent (191,398 cells).
void BM_CopyWholeDesign(benchmark::State& state)
{
    auto d = largeDesign(true);
    if (state.range(0) == 1)
        for (int row = 0; row < d->rowCount(); ++row)
            for (int i = 0; i + 1 < model::DesignTree::childCount(d->matrixParent(row)); ++i)
                for (model::MatrixKind kind : model::kMatrixKinds)
                    d->setMatrixCell(row, kind, i, i + 1, model::CellValue::X);
    state.counters["cells"] = static_cast<double>(d->matrices().cellCount());
    std::size_t bytes = 0;
    for (auto _ : state) {
        const model::CopiedRows rows = model::copySubtree(*d, 0);
        bytes = io::encodeRows(rows).size() + io::plainTextOf(rows, TreeId::FR).size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_CopyWholeDesign)->Arg(0)->Arg(1)->Repetitions(3)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

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

// --- in the window ----------------------------------------------------------------

std::unique_ptr<bench::Window> largeWindow()
{
    auto window = std::make_unique<bench::Window>();
    std::unique_ptr<Design> d = largeDesign();
    std::array<model::DesignTree, model::kTreeCount> trees;
    for (TreeId id : model::kAllTrees)
        trees[static_cast<std::size_t>(model::index(id))] = std::move(d->tree(id));
    window->workspace.design().replaceTrees(std::move(trees));
    window->workspace.design().renumber();
    window->form.show();
    (void)QTest::qWaitForWindowExposed(&window->form);
    return window;
}

// Ctrl+V in FR on a row in the middle: the text read from the clipboard,
// the paste, its undo step, the pasted subtrees opened, the first selected,
// the views repainted. Undone with the timer paused.
void BM_PasteInWindow(benchmark::State& state)
{
    auto window = largeWindow();
    QGuiApplication::clipboard()->setText(pastedText(state.range(0) != 0));
    const int row = middleRow(window->workspace.design());
    window->features.columns->selectRow(row);
    auto* view = window->features.columns->view(TreeId::FR);
    view->setFocus();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QTest::keySequence(window->form.windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_V));
        QCoreApplication::processEvents();
        window->repaintViews();
        state.PauseTiming();
        if (window->workspace.design().rowCount() != 99100 + kPastedLines)
            state.SkipWithError("nothing pasted");
        window->features.editing->undo();
        window->features.columns->selectRow(row);
        view->setFocus();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(state.range(0) == 0 ? "flat" : "nested");
}
BENCHMARK(BM_PasteInWindow)->Arg(0)->Arg(1)->Iterations(5)->Repetitions(3)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// With every branch expanded: a paste of `lines` flat lines by Ctrl+V in FR
// on a row in the middle (phase 0), its undo (1) or its redo (2), each up to
// the repaint of the three views; what sets the phase up is not timed.
void BM_PasteExpanded(benchmark::State& state)
{
    const auto lines = static_cast<int>(state.range(0));
    const auto phase = state.range(1);
    auto window = largeWindow();
    window->features.editing->actions().expandAll->trigger();
    QString text;
    for (int i = 0; i < lines; ++i)
        text += QStringLiteral("- Pasted requirement %1 of the cooling loop\n").arg(i);
    QGuiApplication::clipboard()->setText(text);
    const int row = middleRow(window->workspace.design());
    auto* view = window->features.columns->view(TreeId::FR);
    auto settle = [&] {
        QCoreApplication::processEvents();
        window->repaintViews();
    };
    auto paste = [&] {
        window->features.columns->selectRow(row);
        view->setFocus();
        QTest::keySequence(window->form.windowHandle(), QKeySequence(Qt::CTRL | Qt::Key_V));
    };
    settle();
    for (auto _ : state) {
        state.PauseTiming();
        if (phase > 0) {
            paste();
            settle();
        }
        if (phase > 1) {
            window->features.editing->undo();
            settle();
        }
        state.ResumeTiming();
        if (phase == 0)
            paste();
        else if (phase == 1)
            window->features.editing->undo();
        else
            window->features.editing->redo();
        settle();
        state.PauseTiming();
        if (window->workspace.design().rowCount() != 99100 + (phase == 1 ? 0 : lines))
            state.SkipWithError("the paste did not take");
        if (phase != 1)
            window->features.editing->undo();
        settle();
        state.ResumeTiming();
    }
    state.SetLabel(phase == 0 ? "paste" : phase == 1 ? "undo" : "redo");
}
BENCHMARK(BM_PasteExpanded)->ArgsProduct({{100, 1000}, {0, 1, 2}})->Iterations(3)->Repetitions(3)
    ->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// The floor: the same rows inserted into (phase 0) or removed from (1) three
// plain expanded tree models in one call each, up to the repaint.
void BM_PlainInsertExpanded(benchmark::State& state)
{
    const auto lines = static_cast<int>(state.range(0));
    const bool removing = state.range(1) != 0;
    bench::PlainTrees plain;
    for (QTreeView* v : plain.views)
        v->expandAll();
    QCoreApplication::processEvents();
    auto insert = [&] {
        for (auto& m : plain.models) {
            QStandardItem* parent = m->item(50);
            QList<QStandardItem*> rows;
            for (int i = 0; i < lines; ++i)
                rows.push_back(new QStandardItem(QStringLiteral("Pasted requirement %1 of the cooling loop").arg(i)));
            parent->insertRows(17, rows);
        }
    };
    auto remove = [&] {
        for (auto& m : plain.models)
            m->item(50)->removeRows(17, lines);
    };
    for (auto _ : state) {
        state.PauseTiming();
        if (removing) {
            insert();
            QCoreApplication::processEvents();
            plain.repaint();
        }
        state.ResumeTiming();
        removing ? remove() : insert();
        QCoreApplication::processEvents();
        plain.repaint();
        state.PauseTiming();
        if (!removing)
            remove();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(removing ? "remove" : "insert");
}
BENCHMARK(BM_PlainInsertExpanded)->ArgsProduct({{100, 1000}, {0, 1}})->Iterations(3)->Repetitions(3)
    ->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

// One keystroke in the find bar over 100,000 rows, every branch expanded
// (arg 1) or collapsed (arg 0): the search, the count, and the marks drawn
// as the three views repaint. A first letter searches every label; each
// letter after it only the labels the shorter query found; a deleted
// letter searches every label again.
void BM_FindKeystroke(benchmark::State& state)
{
    auto window = largeWindow();
    if (state.range(0) != 0)
        window->features.editing->actions().expandAll->trigger();
    window->features.find->findAction()->trigger();
    QLineEdit* field = window->features.findBar->field();
    QCoreApplication::processEvents();
    const QString word = QStringLiteral("bearing");
    int typed = 0;
    for (auto _ : state) {
        // "b", "be", … "bearing", then back letter by letter: each step one keystroke.
        const int step = typed % (2 * word.size());
        if (step < word.size())
            QTest::keyClick(field, word[step].toLatin1());
        else
            QTest::keyClick(field, Qt::Key_Backspace);
        window->repaintViews();
        ++typed;
    }
    state.counters["rows"] = window->workspace.design().rowCount();
    state.SetLabel(state.range(0) == 0 ? "collapsed" : "expanded");
}
BENCHMARK(BM_FindKeystroke)->Arg(0)->Arg(1)->Iterations(70)->Repetitions(3)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// The dearest keystroke: the first letter, which searches every label and
// marks two labels in every row (the field is emptied with the timer paused).
void BM_FindFirstKeystroke(benchmark::State& state)
{
    auto window = largeWindow();
    window->features.editing->actions().expandAll->trigger();
    window->features.find->findAction()->trigger();
    QLineEdit* field = window->features.findBar->field();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(field, 'b');
        window->repaintViews();
        state.PauseTiming();
        field->clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FindFirstKeystroke)->Iterations(20)->Repetitions(3)->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
