#include "app/Features.h"

#include "app/ClipboardCommands.h"
#include "app/Commands.h"
#include "app/CompareController.h"
#include "app/EditingController.h"
#include "app/FileController.h"
#include "app/FindController.h"
#include "app/FlowDiagramController.h"
#include "app/InformationPaneController.h"
#include "app/MatrixPaneController.h"
#include "app/NotesPaneController.h"
#include "app/OptionsController.h"
#include "app/RecoveryKeeper.h"
#include "app/TableExportCommands.h"
#include "app/TitleBar.h"
#include "app/TreeColumns.h"
#include "app/Workspace.h"
#include "ui/FindBar.h"
#include "ui/MatrixPane.h"
#include "ui/NodeDelegate.h"
#include "ui/SystemColours.h"
#include "ui/ToolbarIcons.h"

#include <QGuiApplication>
#include <QMainWindow>

namespace app {

Features::Features(Workspace& workspace, QMainWindow* window)
{
    columns = std::make_unique<TreeColumns>(
        workspace.design(),
        [this, &workspace](QObject* owner) {
            auto* delegate = new ui::NodeDelegate(
                [&workspace](int level) {
                    return ui::resolveColour(workspace.design().look().currentHeader().levels[static_cast<std::size_t>(level)].colour);
                },
                owner);
            QObject::connect(delegate, &ui::NodeDelegate::labelCut, delegate, [this] { editing->reportLabelsCut(); });
            return delegate;
        },
        window);
    titleBar = new TitleBar(workspace.design(), workspace.steps(), window);
    findBar = new ui::FindBar(window);
    matrixPane = new ui::MatrixPane(window);

    recovery = std::make_unique<RecoveryKeeper>(
        workspace.design(), workspace.readers(),
        [&workspace](const std::atomic<bool>* stop) { return workspace.encodedForRecovery(stop); },
        [&workspace] { return workspace.files().filePath(); });
    editing = std::make_unique<EditingController>(workspace, *columns, *titleBar, window);
    clipboard = std::make_unique<ClipboardCommands>(
        workspace, *columns,
        ClipboardCommands::Hooks{
            [this] { return editing->selectedRow(); }, [this] { return editing->focusedTree(); },
            [&workspace] { workspace.prompter().showMessage(QString::fromLatin1(kCannotDeleteRoot)); },
            [this] { editing->reportLabelsCut(); }},
        QGuiApplication::clipboard(), window);
    find = std::make_unique<FindController>(workspace.design(), *columns, *findBar,
                                            [this](model::TreeId id, int row) { editing->chooseRow(id, row); });
    matrix = std::make_unique<MatrixPaneController>(workspace, *columns, matrixPane, window);
    information = std::make_unique<InformationPaneController>(workspace, *columns, window);
    notes = std::make_unique<NotesPaneController>(workspace, *columns, *editing, window);
    flow = std::make_unique<FlowDiagramController>(workspace, window);
    tableExport = std::make_unique<TableExportCommands>(window, workspace);
    files = std::make_unique<FileController>(workspace, *recovery, window);
    compare = std::make_unique<CompareController>(
        workspace, *columns, [this](model::TreeId id, int row) { editing->chooseRow(id, row); }, window);
    options = std::make_unique<OptionsController>(workspace, window);
}

Features::~Features()
{
    options.reset();
    compare.reset(); // before the columns, whose drawing asks it for marks
    files.reset();
    tableExport.reset();
    flow.reset();
    find.reset(); // before the columns, whose drawing asks it for marks
    information.reset(); // and for what follows an FR label
    notes.reset();       // and for the notes they mark
    matrix.reset();
    clipboard.reset();
    columns.reset(); // an open label editor may still report its edit to the editing
    delete titleBar; // as may a title losing the focus as the window goes
    editing.reset();
    recovery.reset();
}

} // namespace app
