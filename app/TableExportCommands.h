#pragma once
// The table export from the window ("Export table…" in the save button's
// menu) and printing (Ctrl+P): the design as one table, FR, DP and PV side by
// side, coloured with the current level styles. Export only reads: the
// design, its file path and its modified flag stay as they were.

#include "app/Prompter.h"
#include "app/TableExportDialogs.h"
#include "export/FileWriter.h"
#include "export/TableDocument.h"

#include <memory>
#include <optional>
#include <string>

class QAction;
class QWidget;

namespace app {

class Workspace;

class TableExportCommands {
public:
    struct Actions {
        QAction* exportTable; // in the save button's menu
        QAction* print;       // Ctrl+P anywhere in `window`
    };

    // The design, the header the trees are drawn with and the file path are
    // the workspace's; its start-up folder is where an unsaved design's
    // export is proposed. The dialogs are modal over `window`.
    TableExportCommands(QWidget* window, Workspace& workspace);
    ~TableExportCommands();

    const Actions& actions() const { return m_actions; }

    // Tests answer the dialogs and make writes fail.
    void setDialogs(std::shared_ptr<TableExportDialogs> dialogs) { m_dialogs = std::move(dialogs); }
    void setWriter(std::unique_ptr<exporting::FileWriter> writer) { m_writer = std::move(writer); }

    // Asks where, writes the table there and says so in the status bar. The
    // document is built and written on a thread of its own while the window
    // paints; user input waits, or meets the modal progress dialog.
    // Returns the path written, or nothing when the user cancelled the
    // dialog or the export. Throws model::UserError "Cannot create file %s",
    // or "Cannot export %s onto itself" for the design file (refuseUnsafeTarget).
    std::optional<std::string> exportTable();
    // Whether exportTable is writing, on its thread.
    bool exporting() const { return m_exporting; }

    // The print preview of the same document, from which it can be printed.
    // Errors while painting go to the error box.
    void printPreview();

    static constexpr const char* kWrittenMessage = "Table written to %1";

private:
    exporting::TableDocument document() const;

    Workspace& m_workspace;
    Actions m_actions{};
    std::shared_ptr<TableExportDialogs> m_dialogs;
    std::unique_ptr<exporting::FileWriter> m_writer;
    exporting::TableFormat m_lastFormat = exporting::TableFormat::Odt;
    bool m_exporting = false;
};

} // namespace app
