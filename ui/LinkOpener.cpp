#include "ui/LinkOpener.h"

#include <QDesktopServices>

namespace ui {

void DesktopLinkOpener::open(const QUrl& url)
{
    QDesktopServices::openUrl(url);   // returns at once; a failure shows nothing
}

} // namespace ui
