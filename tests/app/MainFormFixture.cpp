#include "MainFormFixture.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>

namespace testing_app {

using model::TreeId;

void loadOutline(model::Design& design, const std::vector<std::string>& lines)
{
    std::array<model::DesignTree, model::kTreeCount> trees;
    for (TreeId id : model::kAllTrees) {
        model::DesignTree& tree = trees[static_cast<std::size_t>(model::index(id))];
        std::vector<model::Node*> stack; // stack[level] = last node at that level
        for (const std::string& line : lines) {
            const std::size_t level = line.find_first_not_of(' ') / 2;
            const std::string label = line.substr(level * 2) + std::string(static_cast<std::size_t>(model::index(id)), '\'');
            stack.resize(level);
            stack.push_back(level == 0 ? tree.appendTopLevel(label) : tree.appendChild(stack[level - 1], label));
        }
    }
    design.replaceTrees(std::move(trees));
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QLineEdit* openEditor(QWidget* view)
{
    for (QLineEdit* editor : view->findChildren<QLineEdit*>())
        if (editor->isVisible())
            return editor;
    return nullptr;
}

void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

bool eventually(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

std::string rowTags(const model::Design& design, int row)
{
    std::string out;
    for (TreeId id : model::kAllTrees)
        out += (out.empty() ? "" : "|") + design.tree(id).nodeAt(row)->text().str();
    return out;
}

void pressAndDrag(ui::TTreeView* view, const QPoint& from)
{
    QSignalSpy started(view, &ui::TTreeView::dragStarted);
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, from);
    for (int dx : {2, 10, 30}) {
        const QPoint p = from + QPoint(dx, 0);
        QMouseEvent move(QEvent::MouseMove, p, view->viewport()->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &move);
    }
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, from + QPoint(30, 0));
    ASSERT_EQ(started.count(), 1);
}

void sendDrop(ui::TTreeView* view, const QPoint& pos, QMimeData* mime)
{
    QDragEnterEvent enter(pos, Qt::MoveAction, mime, Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &enter);
    QDragMoveEvent move(pos, Qt::MoveAction, mime, Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &move);
    if (!move.isAccepted())
        return;
    QDropEvent drop(QPointF(pos), Qt::MoveAction, mime, Qt::LeftButton, {});
    QApplication::sendEvent(view->viewport(), &drop);
}

bool MainFormTest::dragRowOnto(TreeId id, int source, int target)
{
    // As the user drags: a press on the row, no click before it, and a move;
    // the drag loop takes the release, so the view never sees one. Pressed at
    // the label's start, where a row so deep that its label starts near the
    // column's right edge cannot be grabbed.
    view(id)->scrollTo(columns().indexOfRow(id, source));
    const QRect label = view(id)->visualRect(columns().indexOfRow(id, source));
    const QPoint from(label.left() + 2, label.center().y());
    if (label.isEmpty() || from.x() + 40 > view(id)->viewport()->width())
        return false;
    QSignalSpy started(view(id), &ui::TTreeView::dragStarted);
    QTest::mousePress(view(id)->viewport(), Qt::LeftButton, {}, from);
    for (int dx : {2, 10, 30}) {
        const QPoint p = from + QPoint(dx, 0);
        QMouseEvent move(QEvent::MouseMove, p, view(id)->viewport()->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view(id)->viewport(), &move);
    }
    EXPECT_EQ(started.count(), 1);
    QMimeData mime;
    mime.setData(ui::TreeAdapter::kRowMimeType, QByteArray::number(source));
    view(id)->scrollTo(columns().indexOfRow(id, target));
    sendDrop(view(id), rowCenter(id, target), &mime);
    return started.count() == 1;
}

void TestWindow::build(std::shared_ptr<app::Prompter> prompter, const std::string& startupDir)
{
    destroy();
    workspace = std::make_unique<app::Workspace>(startupDir);
    workspace->setPrompter(std::move(prompter));
    form = std::make_unique<app::TMainForm>(*workspace);
    features = &form->features();
    editing = features->editing.get();
    files = features->files.get();
}

void TestWindow::destroy()
{
    features = nullptr;
    editing = nullptr;
    files = nullptr;
    form.reset();
    workspace.reset();
}

void MainFormTest::SetUp()
{
    prompter = std::make_shared<FakePrompter>();
    build(prompter);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

QPoint MainFormTest::rowCenter(TreeId id, int row)
{
    return view(id)->visualRect(columns().indexOfRow(id, row)).center();
}

void MainFormTest::clickRow(TreeId id, int row, Qt::MouseButton button)
{
    view(id)->scrollTo(columns().indexOfRow(id, row));
    QTest::mouseClick(view(id)->viewport(), button, {}, rowCenter(id, row));
}

bool MainFormTest::expanded(TreeId id, int row)
{
    return view(id)->isExpanded(columns().indexOfRow(id, row));
}

} // namespace testing_app
