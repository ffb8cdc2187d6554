#include "app/QtTableExportDialogs.h"

#include "export/TablePageRenderer.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>

namespace app {
namespace {

constexpr int kShowProgressAfterMs = 400;

QString filterText(exporting::TableFormat format)
{
    return QString::fromLatin1(exporting::filterOf(format));
}

QString suffixOf(exporting::TableFormat format)
{
    return QString::fromLatin1(exporting::extensionOf(format).substr(1));
}

exporting::TableFormat formatOfFilter(const QString& filter, exporting::TableFormat fallback)
{
    for (exporting::TableFormat format : exporting::kTableFormats)
        if (filter == filterText(format))
            return format;
    return fallback;
}

// A progress dialog that appears once the export has taken a moment, and
// keeps the window answering between the steps it is told about.
class DialogProgress : public exporting::ExportProgress {
public:
    DialogProgress(QWidget* owner, const QString& label)
        : m_dialog(label, QStringLiteral("Cancel"), 0, 0, owner)
    {
        m_dialog.setObjectName(QStringLiteral("ExportProgress"));
        m_dialog.setWindowTitle(QApplication::applicationDisplayName());
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(kShowProgressAfterMs);
        m_dialog.setAutoReset(false);
    }

    bool report(std::int64_t done, std::int64_t total) override
    {
        const int maximum = static_cast<int>(std::min<std::int64_t>(total, INT_MAX));
        if (m_dialog.maximum() != maximum)
            m_dialog.setRange(0, maximum);
        if (maximum > 0)
            m_dialog.setValue(static_cast<int>(std::min<std::int64_t>(done, maximum)));
        // Until the dialog shows (and blocks the window), no click or key may
        // reach the window: the export reads the design's texts where they lie.
        QCoreApplication::processEvents(m_dialog.isVisible() ? QEventLoop::AllEvents
                                                              : QEventLoop::ExcludeUserInputEvents);
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
};

} // namespace

std::optional<exporting::TableTarget> QtTableExportDialogs::chooseTarget(const QString& suggestedPath,
                                                                         exporting::TableFormat format)
{
    const QFileInfo suggested(suggestedPath);
    QFileDialog dialog(m_owner, QStringLiteral("Export table"), suggested.absolutePath());
    dialog.setObjectName(QStringLiteral("TableExportDialogue"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (exporting::TableFormat f : exporting::kTableFormats)
        filters << filterText(f);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filterText(format));
    dialog.setDefaultSuffix(suffixOf(format));
    // A name typed without an extension gets the chosen filter's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, format](const QString& filter) {
        dialog.setDefaultSuffix(suffixOf(formatOfFilter(filter, format)));
    });
    dialog.selectFile(suggested.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return exporting::resolveTarget(QFile::encodeName(dialog.selectedFiles().first()).toStdString(),
                                    formatOfFilter(dialog.selectedNameFilter(), format));
}

std::unique_ptr<exporting::ExportProgress> QtTableExportDialogs::progress(const QString& label)
{
    return std::make_unique<DialogProgress>(m_owner, label);
}

void QtTableExportDialogs::preview(const QString& title, const std::function<void(QPrinter& printer)>& paint)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(exporting::tablePageLayout());
    printer.setDocName(title);
    QPrintPreviewDialog dialog(&printer, m_owner);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&paint](QPrinter* target) { paint(*target); });
    dialog.exec();
}

} // namespace app
