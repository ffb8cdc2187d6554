#include "ui/AppFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace ui {

namespace {
constexpr const char* kTahomaFiles[] = {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/fonts/truetype/wine/tahoma.ttf"};
}

QFont appFont()
{
    static const QString family = [] {
        if (QFontDatabase::families().contains(QStringLiteral("Tahoma")))
            return QStringLiteral("Tahoma");
        for (const char* file : kTahomaFiles) {
            const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
            if (id >= 0 && !QFontDatabase::applicationFontFamilies(id).isEmpty())
                return QFontDatabase::applicationFontFamilies(id).first();
        }
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    QFont font(family, kAppFontPoints);
    return font;
}

} // namespace ui
