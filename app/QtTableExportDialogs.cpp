#include "app/QtTableExportDialogs.h"

#include "export/TablePageRenderer.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>

#include <atomic>

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

// A progress dialog that appears once the export has taken a moment. An
// export on a thread of its own reports through atomics, which a timer shows
// on the window's thread, and learns of Cancel through a flag; one on the
// window's thread (the print preview's pages) keeps the window answering
// between the steps it tells of.
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
        m_dialog.setValue(0); // counts the moment from here, before any step is told of
        QObject::connect(&m_dialog, &QProgressDialog::canceled, &m_dialog,
                         [this] { m_cancelled.store(true, std::memory_order_relaxed); });
        m_shows.setInterval(kShowEveryMs);
        QObject::connect(&m_shows, &QTimer::timeout, &m_dialog, [this] { show(); });
        m_shows.start();
    }

    // Any thread.
    bool report(std::int64_t done, std::int64_t total) override
    {
        m_done.store(done, std::memory_order_relaxed);
        m_total.store(total, std::memory_order_relaxed);
        if (QThread::currentThread() != m_dialog.thread())
            return !m_cancelled.load(std::memory_order_relaxed);
        show();
        // Until the dialog shows (and blocks the window), no click or key may
        // reach the window: the pages are painted from the design's texts.
        QCoreApplication::processEvents(m_dialog.isVisible() ? QEventLoop::AllEvents
                                                              : QEventLoop::ExcludeUserInputEvents);
        return !m_dialog.wasCanceled();
    }

private:
    static constexpr int kShowEveryMs = 30;

    void show()
    {
        const int maximum = static_cast<int>(std::min<std::int64_t>(m_total.load(std::memory_order_relaxed), INT_MAX));
        if (m_dialog.maximum() != maximum)
            m_dialog.setRange(0, maximum);
        if (maximum > 0)
            m_dialog.setValue(static_cast<int>(std::min<std::int64_t>(m_done.load(std::memory_order_relaxed), maximum)));
        if (m_dialog.wasCanceled())
            m_cancelled.store(true, std::memory_order_relaxed);
    }

    QProgressDialog m_dialog;
    QTimer m_shows;
    std::atomic<std::int64_t> m_done = 0;
    std::atomic<std::int64_t> m_total = 0;
    std::atomic<bool> m_cancelled = false;
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
