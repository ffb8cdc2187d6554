// Start-up: the application, then the main window, the about dialog and the
// options dialog, then the event loop. `tessaric --export-rtf DESIGN.vok
// [OUT.rtf]` and `tessaric --export FORMAT DESIGN.vok [OUT]` export a design
// without opening a window.
#include "app/TMainForm.h"
#include "export/HeadlessExport.h"
#include "export/TableExportCommand.h"
#include "ui/SystemColours.h"
#include "ui/TAboutDlg.h"
#include "ui/TOptionsDlg.h"
#include "ui/TahomaFont.h"
#include "ui/ToolbarIcons.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <iostream>
#include <string_view>

namespace {

std::uint32_t resolveToRgb(std::uint32_t value)
{
    return ui::toColourValue(ui::resolveColour(value));
}

using HeadlessRunner = int (*)(const std::vector<std::string>&, std::ostream&, const exporting::ColourResolver&);

int exportWithoutWindow(int argc, char** argv, HeadlessRunner run)
{
    // System colours still need a palette; the offscreen platform gives one without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return run({argv + 2, argv + argc}, std::cerr, resolveToRgb);
}

QStringList toStringList(const std::vector<std::string>& names)
{
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromLocal8Bit(name.c_str());
    return list;
}

int runWindow(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(app::kAppTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(app::kAppTitle));
    QApplication::setFont(ui::tahoma(8));
    QApplication::setWindowIcon(ui::windowIcon());
    ui::ensureIconTheme();
    try {
        app::TMainForm form;
        ui::TAboutDlg about(&form);
        ui::TOptionsDlg options(form.levelFonts(), toStringList(form.settings().sectionNames()), &form);
        form.attachDialogs(&about, &options);
        form.show();
        if (argc > 1)
            form.openAtStart(QFile::encodeName(QString::fromLocal8Bit(argv[1])).toStdString());
        return app.exec();
    } catch (const std::exception& e) {
        // An error while starting up is shown like any other, and ends the program.
        QMessageBox::critical(nullptr, QString::fromLatin1(app::kAppTitle),
                              app::errorBoxText(QString::fromLocal8Bit(e.what())));
        return 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::string_view(argv[1]) == exporting::kExportOption)
        return exportWithoutWindow(argc, argv, exporting::runHeadlessExport);
    if (argc >= 2 && std::string_view(argv[1]) == exporting::kTableExportOption)
        return exportWithoutWindow(argc, argv, exporting::runTableExport);
    return runWindow(argc, argv);
}
