#include "app/FlowDiagramController.h"

#include "app/Commands.h"
#include "app/PathBytes.h"
#include "app/Workspace.h"
#include "export/AtomicFileWriter.h"
#include "export/ExportPath.h"
#include "export/RtfExport.h"
#include "ui/DiagramWindow.h"
#include "ui/ToolbarIcons.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>

namespace app {
namespace {

constexpr const char* kSvgFilter = "SVG picture (*.svg)";
constexpr const char* kPngFilter = "PNG picture (*.png)";

} // namespace

FlowDiagramController::FlowDiagramController(Workspace& workspace, QWidget* window)
    : QObject(window), m_workspace(workspace), m_design(workspace.design()),
      m_window(new ui::DiagramWindow(QString::fromLatin1(kTitle), window)),
      m_open(makeCommand(this, {.caption = kTitle, .icon = ui::flowIcon(),
                                .key = QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), .keyWorks = Qt::WindowShortcut,
                                .buttonName = "FlowBtn"})),
      m_chooseFile([this](const QString& suggested) { return chooseFileInDialog(suggested); }),
      m_writer(std::make_unique<exporting::AtomicFileWriter>())
{
    m_window->setObjectName(QStringLiteral("FlowWindow"));
    m_redraw.setSingleShot(true);
    m_redraw.setInterval(0);
    connect(&m_redraw, &QTimer::timeout, this, &FlowDiagramController::redraw);
    connect(m_open, &QAction::triggered, this, &FlowDiagramController::openWindow);
    connect(m_window, &ui::DiagramWindow::saveRequested, this, [this] { m_workspace.run([this] { saveAs(); }); });
    m_design.addObserver(this);
}

FlowDiagramController::~FlowDiagramController()
{
    m_design.removeObserver(this);
}

void FlowDiagramController::openWindow()
{
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    if (m_stale)
        redraw();
}

void FlowDiagramController::stepFinished(const model::StepChanges& changes)
{
    using model::StepChanges;
    if (!changes.has(StepChanges::Structure | StepChanges::Replaced | StepChanges::Texts | StepChanges::Numbers
                     | StepChanges::Aspects))
        return;
    m_stale = true;
    if (m_window->isVisible())
        m_redraw.start();
}

void FlowDiagramController::redraw()
{
    if (!m_window->isVisible())
        return;
    m_layout = exporting::layoutFlowDiagram(exporting::exportSourceOf(m_design));
    m_stale = false;
    m_window->view()->setPicture(m_layout.size, [this](QPainter& painter, const QRectF& visible) {
        exporting::paintFlowDiagram(painter, m_layout, visible, true);
    });
}

std::optional<QString> FlowDiagramController::chooseFileInDialog(const QString& suggested)
{
    QString filter = QString::fromLatin1(kSvgFilter);
    const QString chosen = QFileDialog::getSaveFileName(m_window, QStringLiteral("Save the flow diagram"), suggested,
                                                        QString::fromLatin1(kSvgFilter) + QStringLiteral(";;")
                                                            + QString::fromLatin1(kPngFilter),
                                                        &filter);
    if (chosen.isEmpty())
        return std::nullopt;
    // A name without a picture's extension takes the chosen filter's.
    if (exporting::pictureFormatOfPath(chosen.toStdString()))
        return chosen;
    const bool png = filter == QString::fromLatin1(kPngFilter);
    return chosen + QString::fromLatin1(png ? exporting::kPngExtension : exporting::kSvgExtension);
}

void FlowDiagramController::saveAs()
{
    const std::string suggested = exporting::exportPathFor(m_workspace.files().filePath(), m_workspace.startupDir(),
                                                           exporting::kSvgExtension);
    const std::optional<QString> chosen = m_chooseFile(QFile::decodeName(suggested.c_str()));
    if (!chosen)
        return;
    std::string path = chosenPath(*chosen, suggested);
    std::optional<exporting::PictureFormat> format = exporting::pictureFormatOfPath(path);
    if (!format) {
        path += exporting::kSvgExtension;
        format = exporting::PictureFormat::Svg;
    }
    exporting::refuseUnsafeTarget(path, m_workspace.files().filePath());
    if (m_stale) // the window may have been closed since the last step
        m_layout = exporting::layoutFlowDiagram(exporting::exportSourceOf(m_design));
    exporting::writeFlowPicture(m_layout, *format, path, *m_writer);
    m_workspace.showStatus(QString::fromLatin1(kSavedMessage).arg(QFile::decodeName(path.c_str())));
}

} // namespace app
