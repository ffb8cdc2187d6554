// Start-up: the command line first, then either a command without a window
// (help, version, export, check, diff) or the application with the main window, the about
// dialog and the options dialog, and the event loop.
#include "app/CommandLine.h"
#include "app/FileController.h"
#include "app/OptionsController.h"
#include "app/QtPrompter.h"
#include "app/TMainForm.h"
#include "app/Workspace.h"
#include "export/DesignCheck.h"
#include "export/DesignDiffCommand.h"
#include "export/HeadlessExport.h"
#include "export/TableExportCommand.h"
#include "ui/SystemColours.h"
#include "ui/TAboutDlg.h"
#include "ui/TLevelFonts.h"
#include "ui/TOptionsDlg.h"
#include "ui/TahomaFont.h"
#include "ui/ToolbarIcons.h"

#include <QApplication>
#include <QHash>
#include <QFile>
#include <QMessageBox>

#include <csignal>
#include <cstdio>
#include <iostream>

namespace {

std::uint32_t resolveToRgb(std::uint32_t value)
{
    return ui::toColourValue(ui::resolveColour(value));
}

std::vector<std::string> fileNames(const QStringList& arguments)
{
    std::vector<std::string> out;
    for (const QString& argument : arguments)
        out.push_back(app::fileNameOf(argument));
    return out;
}

// Help, version and errors print through a core application that names the
// program plainly; nothing here needs a display.
int printAndExit(const app::CommandLine& commandLine)
{
    char name[] = "tessaric";
    char* args[] = {name, nullptr};
    int count = 1;
    QCoreApplication core(count, args);
    switch (commandLine.mode()) {
    case app::CommandLine::Mode::Help:
        std::fputs(commandLine.helpText().toLocal8Bit().constData(), stdout);
        return 0;
    case app::CommandLine::Mode::Version:
        std::fputs(app::CommandLine::versionText().toLocal8Bit().constData(), stdout);
        return 0;
    default:
        std::fputs(commandLine.errorText().toLocal8Bit().constData(), stderr);
        return app::kUsageExitCode;
    }
}

using HeadlessRunner = int (*)(const std::vector<std::string>&, std::ostream&, const exporting::ColourResolver&);

int exportWithoutWindow(int argc, char** argv, const app::CommandLine& commandLine, HeadlessRunner run)
{
    // System colours and page layout still need a palette and fonts; the
    // offscreen platform gives them without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return run(fileNames(commandLine.positional()), std::cerr, resolveToRgb);
}

QStringList toStringList(const std::vector<std::string>& names)
{
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromLocal8Bit(name.c_str());
    return list;
}

int runWindow(int argc, char** argv, const app::CommandLine& commandLine)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(app::kAppTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(app::kAppTitle));
    QApplication::setFont(ui::tahoma(8));
    QApplication::setWindowIcon(ui::windowIcon());
    ui::ensureIconTheme();
    try {
        app::Workspace workspace;
        app::TMainForm form(workspace);
        workspace.setPrompter(std::make_shared<app::QtPrompter>(&form));
        ui::TAboutDlg about(&form);
        ui::TLevelFonts levelFonts(workspace.design());
        ui::TOptionsDlg options(levelFonts, toStringList(workspace.settings().sectionNames()), &form);
        form.features().options->attachDialogs(&about, &options);
        form.show();
        form.features().files->startUp(commandLine.positional().isEmpty()
                                           ? std::string()
                                           : app::fileNameOf(commandLine.positional().first()));
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
    // Qt's hashes iterate in the same order in every run: the PDF writer
    // writes its fonts in hash order, and the same design must give the same
    // file. Before anything makes a hash.
    QHashSeed::setDeterministicGlobalSeed();
    // A write past the file-size limit then fails like a full disk and is
    // reported, instead of killing the program with the user's work.
    std::signal(SIGXFSZ, SIG_IGN);

    app::CommandLine commandLine;
    commandLine.parse(app::argumentsOf(argc, argv));
    switch (commandLine.mode()) {
    case app::CommandLine::Mode::Window:
        return runWindow(argc, argv, commandLine);
    case app::CommandLine::Mode::ExportRtf:
        return exportWithoutWindow(argc, argv, commandLine, exporting::runHeadlessExport);
    case app::CommandLine::Mode::ExportTable:
        return exportWithoutWindow(argc, argv, commandLine, exporting::runTableExport);
    case app::CommandLine::Mode::Check: // reads and prints only: no application object at all
        return exporting::runDesignCheck(fileNames(commandLine.positional()), std::cout, std::cerr);
    case app::CommandLine::Mode::Diff: // the same
        return exporting::runDesignDiff(fileNames(commandLine.positional()), std::cout, std::cerr);
    default:
        return printAndExit(commandLine);
    }
}
