#pragma once
// The table export from the window ("Export table…" in the save button's
// menu) and printing (Ctrl+P): the design as one table, FR, DP and PV side by
// side, coloured with the current level styles. Export only reads: the
// design, its file path and its modified flag stay as they were.

#include "app/Prompter.h"
#include "app/TableExportDialogs.h"
#include "export/FileWriter.h"
#include "export/TableDocument.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QMainWindow;

namespace model {
class Design;
struct HeaderRecord;
}

namespace app {

class TableExportCommands {
public:
    // The window lends the design, the header the trees are drawn with, and
    // the current file path; `startupDir` is where an unsaved design's
    // export is proposed.
    TableExportCommands(QMainWindow* window, const model::Design& design, const model::HeaderRecord& currentHeader,
                        std::function<std::string()> filePath, std::string startupDir);
    ~TableExportCommands();

    // Tests answer the dialogs and make writes fail.
    void setDialogs(std::shared_ptr<TableExportDialogs> dialogs) { m_dialogs = std::move(dialogs); }
    void setWriter(std::unique_ptr<exporting::FileWriter> writer) { m_writer = std::move(writer); }

    // Asks where, writes the table there and says so in the status bar.
    // Returns the path written, or nothing when the user cancelled the
    // dialog or the export. Throws model::UserError "Cannot create file %s",
    // or "Cannot export %s onto itself" for the design file (refuseUnsafeTarget).
    std::optional<std::string> exportTable();

    // The print preview of the same document, from which it can be printed.
    // Errors while painting go to `prompter`'s error box.
    void printPreview(Prompter& prompter);

    static constexpr const char* kWrittenMessage = "Table written to %1";

private:
    exporting::TableDocument document() const;

    QMainWindow* m_window;
    const model::Design& m_design;
    const model::HeaderRecord& m_currentHeader;
    std::function<std::string()> m_filePath;
    std::string m_startupDir;
    std::shared_ptr<TableExportDialogs> m_dialogs;
    std::unique_ptr<exporting::FileWriter> m_writer;
    exporting::TableFormat m_lastFormat = exporting::TableFormat::Odt;
};

} // namespace app
