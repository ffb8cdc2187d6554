#pragma once
// A shown main window whose boxes and dialogs are answered by the test, and
// designs built from indented outlines with tagged partners ("A" in FR,
// "A'" in DP, "A''" in PV), so a test can see that node rows stay together.

#include "app/ClipboardCommands.h"
#include "app/EditingController.h"
#include "app/FileController.h"
#include "app/FindController.h"
#include "app/OptionsController.h"
#include "app/RecoveryKeeper.h"
#include "app/TableExportCommands.h"
#include "app/TitleBar.h"
#include "app/Prompter.h"
#include "app/TMainForm.h"
#include "app/TreeColumns.h"
#include "app/Workspace.h"
#include "export/DocumentOpener.h"

#include <QTest>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QMimeData;

namespace testing_app {

class FakePrompter : public app::Prompter {
public:
    std::vector<QString> errors, messages, questions;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> openPaths, savePaths;
    std::deque<RecoveryAnswer> recoveryAnswers;
    std::vector<QString> recoveryQuestions;
    int saveDialogs = 0;

    void showError(const QString& text) override { errors.push_back(app::errorBoxText(text)); }
    void showMessage(const QString& text) override { messages.push_back(text); }
    Answer ask(const QString& text, const QString&) override
    {
        questions.push_back(text);
        return take(answers, Answer::Cancel);
    }
    // Asked like `ask`, from the same answers: anything but Yes is No.
    bool confirm(const QString& text) override { return ask(text, QString()) == Answer::Yes; }
    std::optional<QString> chooseOpenPath() override { return take(openPaths, std::optional<QString>()); }
    std::optional<QString> chooseSavePath(const QString&) override
    {
        ++saveDialogs;
        return take(savePaths, std::optional<QString>());
    }
    RecoveryAnswer askRecovery(const QString& text) override
    {
        recoveryQuestions.push_back(text);
        return take(recoveryAnswers, RecoveryAnswer::Later);
    }

private:
    template <typename T> static T take(std::deque<T>& q, T fallback)
    {
        if (q.empty())
            return fallback;
        T v = q.front();
        q.pop_front();
        return v;
    }
};

// Lines of the outline: leading spaces (two per level) then the FR label.
void loadOutline(model::Design& design, const std::vector<std::string>& lines);

// A whole file's bytes, or none when it cannot be read.
QByteArray readBytes(const QString& path);

// The label editor open in a view; a closed one lingers hidden until deleted.
QLineEdit* openEditor(QWidget* view);

// Types any text, one key event per character (QTest::keyClicks takes ASCII only).
void typeText(QWidget* widget, const QString& text);

// Runs the event loop until `condition` holds or `timeoutMs` passes; true
// when it held. (Qt's QTRY_ macros report to QtTest, not to GoogleTest: a
// failing one would end the test silently.)
bool eventually(const std::function<bool()>& condition, int timeoutMs = 3000);

// "FR|DP|PV" of a row, to check partners stay together.
std::string rowTags(const model::Design& design, int row);

// A left press and a move past the drag distance: the view starts its own drag.
void pressAndDrag(ui::TTreeView* view, const QPoint& from);
// Synthesized drag events: without a display QDrag::exec returns at once.
void sendDrop(ui::TTreeView* view, const QPoint& pos, QMimeData* mime);

// What main() makes: a workspace, the window laid out from it and the
// window's features, reached here as a test reaches them.
struct TestWindow {
    // A run of the program in `startupDir` ("" for the current folder), its
    // questions answered by `prompter`; not shown yet.
    void build(std::shared_ptr<app::Prompter> prompter, const std::string& startupDir = {});
    // The run ends without closing the window, so it writes nothing.
    void destroy();

    std::unique_ptr<app::Workspace> workspace;
    std::unique_ptr<app::TMainForm> form; // goes before the workspace
    app::Features* features = nullptr;
    app::EditingController* editing = nullptr;
    app::FileController* files = nullptr;
};

class MainFormTest : public ::testing::Test, protected TestWindow {
protected:
    void SetUp() override;

    app::TreeColumns& columns() { return *features->columns; }
    ui::TTreeView* view(model::TreeId id) { return columns().view(id); }
    QPoint rowCenter(model::TreeId id, int row);
    void clickRow(model::TreeId id, int row, Qt::MouseButton button = Qt::LeftButton);
    int selected(model::TreeId id) { return columns().selectedRow(id); }
    std::string text(model::TreeId id, int row) { return workspace->design().tree(id).nodeAt(row)->text().str(); }
    bool expanded(model::TreeId id, int row);
    // Drags row `source` of column `id` and drops it onto row `target` there,
    // as a user does, without clicking it first; false when the row's label
    // lies too far right to be grabbed.
    bool dragRowOnto(model::TreeId id, int source, int target);

    std::shared_ptr<FakePrompter> prompter;
};

} // namespace testing_app
