#pragma once
// The dialogs of the table export and of printing: the save dialog with the
// five formats, the progress dialog of a long export and the print preview.
// Behind an interface so that tests can answer them without a modal loop.

#include "export/ExportProgress.h"
#include "export/TableFormat.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QPrinter;

namespace app {

class TableExportDialogs {
public:
    virtual ~TableExportDialogs() = default;
    // The save dialog preset with `suggestedPath` under `format`'s filter; the
    // format follows the chosen filter or the name's extension. Nothing when
    // the user cancelled.
    virtual std::optional<exporting::TableTarget> chooseTarget(const QString& suggestedPath,
                                                               exporting::TableFormat format) = 0;
    // Shows itself when the work takes a while; its Cancel stops the export.
    virtual std::unique_ptr<exporting::ExportProgress> progress(const QString& label) = 0;
    // Shows the print preview; `paint` paints the pages on the printer it is given.
    virtual void preview(const QString& title, const std::function<void(QPrinter& printer)>& paint) = 0;
};

} // namespace app
