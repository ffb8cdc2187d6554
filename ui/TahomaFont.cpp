#include "ui/TahomaFont.h"

#include <QFontDatabase>

namespace ui {
namespace {

// Only the regular face: Wine's tahomabd.ttf draws nothing of its own when
// antialiased, so Qt would fall back to another family for bold text. Bold
// is made from the regular outlines instead.
const char* const kWineFonts[] = {"/usr/share/wine/fonts/tahoma.ttf"};

bool loadOnce()
{
    bool any = false;
    for (const char* path : kWineFonts)
        any |= QFontDatabase::addApplicationFont(QString::fromLatin1(path)) >= 0;
    return any || QFontDatabase::hasFamily(QStringLiteral("Tahoma"));
}

} // namespace

bool registerTahoma()
{
    static const bool available = loadOnce();
    return available;
}

QFont tahoma(int pointSize)
{
    QFont font(QStringLiteral("Tahoma"), pointSize);
    if (!registerTahoma())
        font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace ui
