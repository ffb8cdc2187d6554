#include "ui/ToolbarIcons.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace ui {

namespace {

struct IconSource {
    const char* themeName;
    QStyle::StandardPixmap fallback;
};

// Indexed by the toolbar image-list number.
constexpr IconSource kToolbar[kToolbarIconCount] = {
    {"view-fullscreen", QStyle::SP_TitleBarMaxButton},       // 0 expand/contract all
    {"go-up", QStyle::SP_ArrowUp},                           // 1 move up
    {"go-down", QStyle::SP_ArrowDown},                       // 2 move down
    {"list-add", QStyle::SP_FileDialogNewFolder},            // 3 add sibling below
    {"window-new", QStyle::SP_FileDialogStart},              // 4 add sibling above
    {"format-indent-more", QStyle::SP_ArrowRight},           // 5 add child
    {"format-indent-less", QStyle::SP_ArrowLeft},            // 6 add uncle
    {"edit-copy", QStyle::SP_FileDialogContentsView},        // 7 duplicate
    {"edit-delete", QStyle::SP_TrashIcon},                   // 8 delete
    {"document-open", QStyle::SP_DialogOpenButton},          // 9 open
    {"document-save", QStyle::SP_DialogSaveButton},          // 10 save
    {"drive-harddisk", QStyle::SP_DriveHDIcon},              // 11 backup
    {"x-office-document", QStyle::SP_FileIcon},              // 12 export
    {"dialog-information", QStyle::SP_MessageBoxInformation},// 13 hints on
    {"dialog-information", QStyle::SP_MessageBoxInformation},// 14 hints off (drawn greyed)
    {"document-properties", QStyle::SP_FileDialogDetailedView}, // 15 options
    {"help-browser", QStyle::SP_DialogHelpButton},           // 16 about
};

constexpr IconSource kSaveMenu[3] = {
    {"document-save-as", QStyle::SP_DialogSaveButton},
    {"drive-harddisk", QStyle::SP_DriveHDIcon},
    {"x-office-document", QStyle::SP_FileIcon},
};

QIcon load(const IconSource& source)
{
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(source.themeName));
    if (icon.isNull())
        icon = QApplication::style()->standardIcon(source.fallback);
    return icon;
}

QIcon greyed(const QIcon& icon)
{
    return QIcon(icon.pixmap(16, 16, QIcon::Disabled));
}

} // namespace

void ensureIconTheme()
{
    if (!QIcon::themeName().isEmpty() && QIcon::themeName() != QLatin1String("hicolor"))
        return;
    QStringList paths = QIcon::themeSearchPaths();
    if (!paths.contains(QStringLiteral("/usr/share/icons")))
        paths << QStringLiteral("/usr/share/icons");
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(QStringLiteral("Tango"));
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

QIcon toolbarIcon(int number)
{
    if (number < 0 || number >= kToolbarIconCount)
        return {};
    const QIcon icon = load(kToolbar[number]);
    return number == kToolTipOffIcon ? greyed(icon) : icon;
}

QIcon undoIcon()
{
    return load({"edit-undo", QStyle::SP_ArrowBack});
}

QIcon redoIcon()
{
    return load({"edit-redo", QStyle::SP_ArrowForward});
}

QIcon matrixIcon()
{
    return load({"x-office-spreadsheet", QStyle::SP_FileDialogDetailedView});
}

QIcon informationIcon()
{
    return load({"accessories-calculator", QStyle::SP_FileDialogInfoView});
}

QIcon notesIcon()
{
    return load({"accessories-text-editor", QStyle::SP_FileDialogDetailedView});
}

QIcon flowIcon()
{
    // Two modules joined at a junction: no theme has a picture of that.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor line(0x3a, 0x5a, 0x7a);
    p.setPen(line);
    p.setBrush(QColor(0xff, 0xfe, 0xf8));
    p.drawRect(QRectF(0.5, 1.5, 6, 4));
    p.drawRect(QRectF(0.5, 10.5, 6, 4));
    p.drawLine(QPointF(7, 3.5), QPointF(9, 3.5));
    p.drawLine(QPointF(7, 12.5), QPointF(9, 12.5));
    p.drawLine(QPointF(9, 3.5), QPointF(9, 12.5));
    p.setPen(QPen(QColor(0x1e, 0x7b, 0x1e), 1.2));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(12.5, 8), 3, 3);
    return QIcon(pixmap);
}

QIcon saveMenuIcon(int number)
{
    return number >= 0 && number < 3 ? load(kSaveMenu[number]) : QIcon();
}

QIcon windowIcon()
{
    // Three columns of a design, in the level colours of a fresh tree.
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const QColor columns[3] = {QColor(0xC0, 0x30, 0x30), QColor(0x30, 0x80, 0x30), QColor(0x30, 0x50, 0xC0)};
    for (int i = 0; i < 3; ++i) {
        p.fillRect(1 + i * 5, 2, 4, 12, QColor(255, 251, 240));
        p.fillRect(1 + i * 5, 2, 4, 3, columns[i]);
        p.setPen(columns[i]);
        p.drawRect(1 + i * 5, 2, 3, 11);
    }
    return QIcon(pixmap);
}

} // namespace ui
