// Start-up: the application, then the main window (and its dialogs), then the event loop.
#include "app/TMainForm.h"
#include "ui/AppFont.h"
#include "ui/ToolbarIcons.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(app::kAppTitle));
    QApplication::setApplicationDisplayName(QString::fromLatin1(app::kAppTitle));
    ui::ensureIconTheme();
    QApplication::setFont(ui::appFont());
    app::TMainForm form;
    form.show();
    return app.exec();
}
