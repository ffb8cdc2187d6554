#include "app/TableExportCommands.h"

#include "app/PathBytes.h"
#include "app/QtTableExportDialogs.h"
#include "export/AtomicFileWriter.h"
#include "export/ExportPath.h"
#include "export/RtfExport.h"
#include "export/TableExport.h"
#include "export/TablePageRenderer.h"
#include "ui/SystemColours.h"

#include <QFile>
#include <QMainWindow>
#include <QPrinter>
#include <QStatusBar>

namespace app {
namespace {

std::uint32_t resolveToRgb(std::uint32_t value)
{
    return ui::toColourValue(ui::resolveColour(value));
}

} // namespace

TableExportCommands::TableExportCommands(QMainWindow* window, const model::Design& design,
                                         const model::HeaderRecord& currentHeader,
                                         std::function<std::string()> filePath, std::string startupDir)
    : m_window(window),
      m_design(design),
      m_currentHeader(currentHeader),
      m_filePath(std::move(filePath)),
      m_startupDir(std::move(startupDir)),
      m_dialogs(std::make_shared<QtTableExportDialogs>(window)),
      m_writer(std::make_unique<exporting::AtomicFileWriter>())
{
}

TableExportCommands::~TableExportCommands() = default;

exporting::TableDocument TableExportCommands::document() const
{
    // Coloured as the trees are drawn: the current header's level styles.
    const std::string path = m_filePath();
    return exporting::TableDocument::build(exporting::exportSourceOf(m_design, m_currentHeader), resolveToRgb,
                                           exporting::tableTitleFor(path));
}

std::optional<std::string> TableExportCommands::exportTable()
{
    const std::string suggested =
        exporting::exportPathFor(m_filePath(), m_startupDir, exporting::extensionOf(m_lastFormat));
    auto target = m_dialogs->chooseTarget(QFile::decodeName(suggested.c_str()), m_lastFormat);
    if (!target)
        return std::nullopt;
    m_lastFormat = target->format;
    target->path = chosenPath(QFile::decodeName(target->path.c_str()), suggested);
    exporting::refuseUnsafeTarget(target->path, m_filePath());
    const QString shownPath = QFile::decodeName(target->path.c_str());
    const auto progress = m_dialogs->progress(QStringLiteral("Exporting to %1").arg(shownPath));
    try {
        exporting::exportTable(document(), target->format, target->path, *m_writer, *progress);
    } catch (const exporting::ExportCancelled&) {
        return std::nullopt; // nothing was written
    }
    m_window->statusBar()->showMessage(QString::fromLatin1(kWrittenMessage).arg(shownPath));
    return target->path;
}

void TableExportCommands::printPreview(Prompter& prompter)
{
    const exporting::TableDocument table = document();
    const QString title = QString::fromUtf8(table.title());
    // Painting runs inside the preview's signal: nothing may be thrown through Qt.
    m_dialogs->preview(title, [&](QPrinter& printer) {
        const auto progress = m_dialogs->progress(QStringLiteral("Preparing the pages"));
        try {
            const int first = printer.fromPage() > 0 ? printer.fromPage() : 1;
            const int last = printer.toPage() > 0 ? printer.toPage() : INT_MAX;
            exporting::TablePageRenderer(table).paint(printer, *progress, first, last);
        } catch (const exporting::ExportCancelled&) {
            // the pages painted so far are shown
        } catch (const std::exception& e) {
            prompter.showError(QString::fromLocal8Bit(e.what()));
        }
    });
}

} // namespace app
