#pragma once
// What the main window is made of, built here in one order: the three tree
// columns and the widgets around them (title bar, find bar, matrix pane),
// then each feature's controller, handed the workspace (the information
// pane's makes its own pane). The window lays out what they give it; tests
// reach the features here, not through the window.

#include <memory>

class QAction;
class QMainWindow;

namespace ui {
class FindBar;
class MatrixPane;
}

namespace app {

class ClipboardCommands;
class CompareController;
class EditingController;
class FileController;
class FindController;
class FlowDiagramController;
class InformationPaneController;
class MatrixPaneController;
class NotesPaneController;
class OptionsController;
class RecoveryKeeper;
class TableExportCommands;
class TitleBar;
class TreeColumns;
class Workspace;

struct Features {
    Features(Workspace& workspace, QMainWindow* window);
    ~Features();
    Features(const Features&) = delete;
    Features& operator=(const Features&) = delete;

    std::unique_ptr<TreeColumns> columns;
    TitleBar* titleBar = nullptr; // a child of the window; goes with the features
    ui::FindBar* findBar = nullptr;       // a child of the window
    ui::MatrixPane* matrixPane = nullptr; // under the columns, hidden at start

    std::unique_ptr<RecoveryKeeper> recovery;
    std::unique_ptr<EditingController> editing;
    std::unique_ptr<ClipboardCommands> clipboard;
    std::unique_ptr<FindController> find;
    std::unique_ptr<MatrixPaneController> matrix;
    std::unique_ptr<InformationPaneController> information; // with its pane, under the matrix pane
    std::unique_ptr<NotesPaneController> notes;             // with its pane, under the information pane
    std::unique_ptr<FlowDiagramController> flow;            // with its window
    std::unique_ptr<TableExportCommands> tableExport;
    std::unique_ptr<FileController> files;
    std::unique_ptr<CompareController> compare; // with its pane, under the columns
    std::unique_ptr<OptionsController> options;
};

} // namespace app
