#include "app/TableExportCommands.h"

#include "app/BesideTheWindow.h"
#include "app/Commands.h"
#include "app/PathBytes.h"
#include "app/QtTableExportDialogs.h"
#include "app/Workspace.h"
#include "export/AtomicFileWriter.h"
#include "export/ExportPath.h"
#include "export/RtfExport.h"
#include "export/TableExport.h"
#include "export/TablePageRenderer.h"
#include "ui/SystemColours.h"
#include "ui/ToolbarIcons.h"

#include <QAction>
#include <QFile>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QWidget>

#include <exception>
#include <vector>

namespace app {
namespace {


std::uint32_t resolveToRgb(std::uint32_t value)
{
    return ui::toColourValue(ui::resolveColour(value));
}

// The level colours resolved on the window's thread, whose palette it is,
// for a document built on another.
exporting::ColourResolver resolvedHere(const exporting::LevelColourValues& values)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> resolved;
    for (std::uint32_t value : values)
        resolved.emplace_back(value, resolveToRgb(value));
    return [resolved](std::uint32_t value) {
        for (const auto& [from, to] : resolved)
            if (from == value)
                return to;
        return value; // never asked: the document resolves the levels' colours only
    };
}

} // namespace

TableExportCommands::TableExportCommands(QWidget* window, Workspace& workspace)
    : m_workspace(workspace),
      m_dialogs(std::make_shared<QtTableExportDialogs>(window)),
      m_writer(std::make_unique<exporting::AtomicFileWriter>())
{
    m_actions.exportTable = makeCommand(window, {.name = "ExportTable1", .icon = ui::saveMenuIcon(2)});
    m_actions.exportTable->setText(QStringLiteral("Export table\u2026"));
    m_actions.print = makeCommand(window, {.name = "PrintTable1", .caption = "Print preview",
                                           .key = QKeySequence(QKeySequence::Print), .keyWorks = Qt::WindowShortcut});
    window->addAction(m_actions.print);
    QObject::connect(m_actions.exportTable, &QAction::triggered, window,
                     [this] { m_workspace.run([&] { exportTable(); }); });
    QObject::connect(m_actions.print, &QAction::triggered, window, [this] { m_workspace.run([&] { printPreview(); }); });
}

TableExportCommands::~TableExportCommands() = default;

exporting::TableDocument TableExportCommands::document() const
{
    // Coloured as the trees are drawn: the current header's level styles.
    const std::string path = m_workspace.files().filePath();
    return exporting::TableDocument::build(exporting::exportSourceOf(m_workspace.design()), resolveToRgb,
                                           exporting::tableTitleFor(path));
}

std::optional<std::string> TableExportCommands::exportTable()
{
    const std::string suggested =
        exporting::exportPathFor(m_workspace.files().filePath(), m_workspace.startupDir(),
                                 exporting::extensionOf(m_lastFormat));
    auto target = m_dialogs->chooseTarget(QFile::decodeName(suggested.c_str()), m_lastFormat);
    if (!target)
        return std::nullopt;
    m_lastFormat = target->format;
    target->path = chosenPath(QFile::decodeName(target->path.c_str()), suggested);
    exporting::refuseUnsafeTarget(target->path, m_workspace.files().filePath());
    const QString shownPath = QFile::decodeName(target->path.c_str());
    const auto progress = m_dialogs->progress(QStringLiteral("Exporting to %1").arg(shownPath));
    // The document views the design's texts: building and writing it read
    // the design, on the worker, behind the gate.
    const exporting::ExportSource source = exporting::exportSourceOf(m_workspace.design());
    const exporting::ColourResolver colours = resolvedHere(source.levelColours);
    const std::string title = exporting::tableTitleFor(m_workspace.files().filePath());
    const std::shared_ptr<ReaderGate::Pass> pass = m_workspace.readers().open(ReaderGate::Reader::Finishes);
    std::exception_ptr failure;
    {
        const QScopedValueRollback<bool> exportingNow(m_exporting, true);
        failure = runBesideTheWindow(*pass, [&] {
            exporting::exportTable(exporting::TableDocument::build(source, colours, title), target->format,
                                   target->path, *m_writer, *progress);
        }, WhileWaiting::UserInWhileModalUp);
    }
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const exporting::ExportCancelled&) {
            return std::nullopt; // nothing was written
        }
    }
    m_workspace.showStatus(QString::fromLatin1(kWrittenMessage).arg(shownPath));
    return target->path;
}

void TableExportCommands::printPreview()
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
            m_workspace.prompter().showError(QString::fromLocal8Bit(e.what()));
        }
    });
}

} // namespace app
