// The window as laid out: columns and titles, the command table, hints.
#include "MainFormFixture.h"

#include "app/QtPrompter.h"

#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>

namespace testing_app {
namespace {

using model::TreeId;

struct WidthCase {
    int windowWidth, column, title;
    int titleLefts[3];
};

class ColumnAlignment : public MainFormTest, public ::testing::WithParamInterface<WidthCase> {};

TEST_P(ColumnAlignment, ColumnsAreThirdsAndTitlesSitOverThem)
{
    const WidthCase c = GetParam();
    form->resize(c.windowWidth, 480);
    QCoreApplication::processEvents();
    EXPECT_EQ(view(TreeId::FR)->width(), c.column);
    EXPECT_EQ(view(TreeId::DP)->width(), c.column);
    for (TreeId id : model::kAllTrees) {
        EXPECT_EQ(features->titleBar->edit(id)->width(), c.title);
        EXPECT_EQ(features->titleBar->edit(id)->x(), c.titleLefts[model::index(id)]);
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, ColumnAlignment,
                         ::testing::Values(WidthCase{640, 213, 211, {0, 215, 430}},
                                           WidthCase{300, 100, 98, {0, 102, 204}},
                                           WidthCase{901, 300, 298, {0, 302, 604}}),
                         [](const auto& info) { return "Width" + std::to_string(info.param.windowWidth); });

TEST_F(MainFormTest, WindowCannotShrinkBelowItsMinimumSize)
{
    form->resize(100, 100);
    QCoreApplication::processEvents();
    EXPECT_GE(form->width(), 300);
    EXPECT_GE(form->height(), 440);
}

TEST_F(MainFormTest, TitleEditsAcceptThirtyTwoCharactersAndShowTheirTextAsHint)
{
    QLineEdit* edit = features->titleBar->edit(TreeId::DP);
    edit->clear();
    QTest::keyClicks(edit, QString(33, QChar('x')));
    EXPECT_EQ(edit->text().size(), 32);
    EXPECT_EQ(edit->toolTip(), QString(32, QChar('x')));
    EXPECT_EQ(features->titleBar->edit(TreeId::FR)->toolTip(), "Functional Requirements");
}

TEST_F(MainFormTest, TitleEditsTakeAnyCharacterAndKeepTheirQuestionForm)
{
    QLineEdit* edit = features->titleBar->edit(TreeId::PV);
    edit->clear();
    typeText(edit, QString::fromUtf8("Pump \u20AC\u4E2D"));
    EXPECT_EQ(edit->text(), QString::fromUtf8("Pump \u20AC\u4E2D"));
    EXPECT_EQ(workspace->design().title(TreeId::PV), "Pump \x80?");
    EXPECT_EQ(workspace->design().fullTitle(TreeId::PV), "Pump \u20AC\u4E2D");
    // The finished edit is one step; its undo shows the title before it.
    QTest::keyClick(edit, Qt::Key_Return);
    features->editing->undo();
    EXPECT_EQ(edit->text(), "Process Variables");
    features->editing->redo();
    EXPECT_EQ(edit->text(), QString::fromUtf8("Pump \u20AC\u4E2D"));
}

struct ButtonCase {
    const char* name;
    const char* hint;
    bool checkable, checked, enabled;
};

class CommandTableButtons : public MainFormTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(CommandTableButtons, ButtonHasItsHintKindStateAndPicture)
{
    const ButtonCase c = GetParam();
    auto* button = form->findChild<QToolButton*>(c.name);
    ASSERT_NE(button, nullptr) << c.name;
    EXPECT_EQ(button->toolTip(), c.hint);
    EXPECT_EQ(button->isCheckable(), c.checkable);
    EXPECT_EQ(button->isChecked(), c.checked);
    EXPECT_EQ(button->isEnabled(), c.enabled);
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
}

INSTANTIATE_TEST_SUITE_P(
    Toolbars, CommandTableButtons,
    ::testing::Values(ButtonCase{"FileOpenBtn", "", false, false, true}, ButtonCase{"SaveBtn", "Save", false, false, true},
                      ButtonCase{"BackupBtn", "Backup", true, true, true},
                      ButtonCase{"ExportBtn", "Export to RTF and open it", false, false, true},
                      ButtonCase{"ToolButton1", "Options", false, false, false},
                      ButtonCase{"ToolTipBtn", "Show/Hide tooltips", true, true, true},
                      ButtonCase{"AboutBtn", "About", false, false, true},
                      ButtonCase{"ExpandContractAllBtn", "Expand/Contract all (Ctrl+E)", true, false, true},
                      ButtonCase{"MoveUpBtn", "Move up (Alt+Up)", false, false, true},
                      ButtonCase{"MoveDownBtn", "Move down (Alt+Down)", false, false, true},
                      ButtonCase{"AddItemBelowBtn", "Add sibling below (F2)", false, false, true},
                      ButtonCase{"AddItemAboveBtn", "Add sibling above (F3)", false, false, true},
                      ButtonCase{"AddChildBtn", "Add child (F4)", false, false, true},
                      ButtonCase{"AddChildToGrandParentBtn", "Add uncle (Shift+F4)", false, false, true},
                      ButtonCase{"DuplicateBtn", "Duplicate node (Ctrl+D)", false, false, true},
                      ButtonCase{"DeleteBtn", "Delete (this and all children) (Shift+Del)", false, false, true},
                      ButtonCase{"FlowBtn", "Flow diagram", false, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainFormTest, ToolbarsHoldTheirButtonsInOrder)
{
    auto names = [&](const char* bar) {
        QStringList out;
        for (QAction* a : form->findChild<QToolBar*>(bar)->actions())
            out << (a->isSeparator() ? QStringLiteral("|") : form->findChild<QToolBar*>(bar)->widgetForAction(a)->objectName());
        return out.join(' ');
    };
    EXPECT_EQ(names("ToolBar3"), "FileOpenBtn | SaveBtn BackupBtn | ExportBtn | ToolButton1 | ToolTipBtn | AboutBtn");
    EXPECT_EQ(names("ToolBar1"), "ExpandContractAllBtn | MoveUpBtn MoveDownBtn | AddItemBelowBtn AddItemAboveBtn "
                                 "AddChildBtn AddChildToGrandParentBtn DuplicateBtn | DeleteBtn | UndoBtn RedoBtn | MatrixBtn InfoBtn "
                                 "NotesBtn FlowBtn");
}

TEST_F(MainFormTest, TreeMenuHasCaptionsShortcutsHintsAndABoldDefault)
{
    auto* menu = form->findChild<QMenu*>("PopupMenu1");
    ASSERT_NE(menu, nullptr);
    QStringList rows;
    for (QAction* a : menu->actions())
        rows << (a->isSeparator() ? QStringLiteral("-")
                                  : a->text() + "/" + a->shortcut().toString() + "/" + a->toolTip());
    EXPECT_EQ(rows, QStringList({"Add sibling below/F2/Add sibling below", "Add sibling above/F3/Add sibling above",
                                 "Add child/F4/Add child", "Add uncle/Shift+F4/Add a sibling of the parent", "-",
                                 "Move up/Alt+Up/Move up (if possible)", "Move down/Alt+Down/Move down (if possible)",
                                 "Duplicate/Ctrl+D/Duplicate this (and all sub-nodes)", "-",
                                 "Delete/Shift+Del/Delete this (and all sub-nodes)",
                                 "Expand/collapse all/Ctrl+E/Expand or collapse every row", "-",
                                 "Cut/Ctrl+X/Cut this (and all sub-nodes) to the clipboard",
                                 "Copy/Ctrl+C/Copy this (and all sub-nodes) to the clipboard",
                                 "Paste/Ctrl+V/Paste below this, as its next siblings",
                                 "Paste as child/Ctrl+Shift+V/Paste as the last children of this", "-",
                                 "Save/Ctrl+S/Save FR's DP's and PV's to file", "-", "Undo/Ctrl+Z/Undo",
                                 "Redo/Ctrl+Shift+Z/Redo"}));
    EXPECT_EQ(menu->defaultAction(), menu->actions().first());
    for (QAction* a : menu->actions())
        EXPECT_FALSE(!a->isSeparator() && a->icon().isNull()) << a->text().toStdString();
}

TEST_F(MainFormTest, SaveButtonDropsDownTheSaveMenu)
{
    auto* save = form->findChild<QToolButton*>("SaveBtn");
    ASSERT_NE(save->menu(), nullptr);
    EXPECT_EQ(save->popupMode(), QToolButton::MenuButtonPopup);
    QStringList captions;
    for (QAction* a : save->menu()->actions())
        captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(captions, QStringList({"Save As", "-", "Back Up", "-", "Export", "Export table…", "-", "Compare with…"}));
}

// A command is one action wherever the user meets it: its toolbar button and
// its menu entry trigger the same action, and the button keeps its own hint
// and picture through every later change of the action.
struct SharedCommand {
    const char* button;
    const char* entry; // in the tree menu or the save menu
};

class SharedCommands : public MainFormTest, public ::testing::WithParamInterface<SharedCommand> {};

TEST_P(SharedCommands, ButtonAndMenuEntryAreOneActionAndTheButtonKeepsItsLook)
{
    const SharedCommand c = GetParam();
    auto* button = form->findChild<QToolButton*>(c.button);
    QAction* entry = nullptr;
    for (QMenu* menu : form->findChildren<QMenu*>())
        for (QAction* a : menu->actions())
            if (a->objectName() == c.entry)
                entry = a;
    ASSERT_NE(button, nullptr);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(button->defaultAction(), entry);
    const QString hint = button->toolTip();
    const qint64 picture = button->icon().cacheKey();
    entry->setEnabled(false);
    entry->setEnabled(true);
    entry->setChecked(!entry->isChecked());
    EXPECT_EQ(button->toolTip(), hint);
    EXPECT_EQ(button->icon().cacheKey(), picture);
}

INSTANTIATE_TEST_SUITE_P(Toolbars, SharedCommands,
                         ::testing::Values(SharedCommand{"MoveUpBtn", "MoveUp1"}, SharedCommand{"SaveBtn", "Save1"},
                                           SharedCommand{"BackupBtn", "BackUp1"}, SharedCommand{"ExportBtn", "Export1"},
                                           SharedCommand{"ExpandContractAllBtn", "ExpandAll1"}),
                         [](const auto& info) { return std::string(info.param.button); });

TEST_F(MainFormTest, TreeViewsStartWithTheirColumnNamesAsHints)
{
    EXPECT_EQ(view(TreeId::FR)->toolTip(), "Functional Requirements");
    EXPECT_EQ(view(TreeId::DP)->toolTip(), "Design Parameters");
    EXPECT_EQ(view(TreeId::PV)->toolTip(), "Process Variables");
    EXPECT_EQ(form->findChild<QStatusBar*>("StatusBar1")->toolTip(), "Status Bar");
}

// Sends a hover-help event to a widget and reports the hint that shows.
QString hintShownFor(QWidget* widget)
{
    QToolTip::hideText();
    (void)QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(widget, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

TEST_F(MainFormTest, ToolTipSwitchTurnsEveryHintOfTheWindowOffAndOn)
{
    auto* toolTipButton = form->findChild<QToolButton*>("ToolTipBtn");
    const QIcon onIcon = toolTipButton->icon();
    QWidget* targets[] = {form->findChild<QToolButton*>("MoveUpBtn"), features->titleBar->edit(TreeId::FR),
                          form->findChild<QStatusBar*>("StatusBar1")};
    for (QWidget* w : targets)
        EXPECT_FALSE(hintShownFor(w).isEmpty()) << w->objectName().toStdString();

    QTest::mouseClick(toolTipButton, Qt::LeftButton);
    EXPECT_FALSE(features->options->hintsOn());
    EXPECT_NE(toolTipButton->icon().cacheKey(), onIcon.cacheKey());
    for (QWidget* w : targets)
        EXPECT_TRUE(hintShownFor(w).isEmpty()) << w->objectName().toStdString();

    QTest::mouseClick(toolTipButton, Qt::LeftButton);
    EXPECT_TRUE(features->options->hintsOn());
    EXPECT_EQ(hintShownFor(targets[0]), "Move up (Alt+Up)");
}

struct ErrorTextCase {
    const char* name;
    const char* message;
    const char* shown;
};
void PrintTo(const ErrorTextCase& c, std::ostream* os) { *os << c.name << ": " << c.message; }

class ErrorBoxText : public ::testing::TestWithParam<ErrorTextCase> {};

TEST_P(ErrorBoxText, FullStopIsAddedUnlessTheTextEndsInOneOrBelowIt)
{
    EXPECT_EQ(app::errorBoxText(QString::fromLatin1(GetParam().message)), QString::fromLatin1(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Texts, ErrorBoxText,
                         ::testing::Values(ErrorTextCase{"EndsInALetter", "Stream read error", "Stream read error."},
                                           ErrorTextCase{"EndsInAFullStop", "Done.", "Done."},
                                           ErrorTextCase{"EndsInAQuote", "Invalid level (3) for item \"x\"",
                                                         "Invalid level (3) for item \"x\""},
                                           ErrorTextCase{"EndsInAnExclamationMark", "Stop!", "Stop!"},
                                           ErrorTextCase{"EndsInAComma", "a,", "a,"},
                                           ErrorTextCase{"EndsInASpace", "trailing ", "trailing "},
                                           ErrorTextCase{"EndsInASlash", "Cannot open file /tmp/a/", "Cannot open file /tmp/a/."},
                                           ErrorTextCase{"EndsInAHyphen", "ends in -", "ends in -"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace testing_app
