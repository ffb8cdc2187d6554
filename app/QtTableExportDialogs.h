#pragma once
// The real save dialog, progress dialog and print preview, modal over the
// main window.

#include "app/TableExportDialogs.h"

class QWidget;

namespace app {

class QtTableExportDialogs : public TableExportDialogs {
public:
    explicit QtTableExportDialogs(QWidget* owner) : m_owner(owner) {}

    std::optional<exporting::TableTarget> chooseTarget(const QString& suggestedPath,
                                                       exporting::TableFormat format) override;
    std::unique_ptr<exporting::ExportProgress> progress(const QString& label) override;
    void preview(const QString& title, const std::function<void(QPrinter& printer)>& paint) override;

private:
    QWidget* m_owner;
};

} // namespace app
