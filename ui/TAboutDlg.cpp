#include "ui/TAboutDlg.h"

#include "ui/DialogFrame.h"
#include "ui/DialogIcons.h"
#include "ui/JpegPicture.h"
#include "ui/LinkOpener.h"
#include "ui/TahomaFont.h"

#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace ui {
namespace {

const char* const kCredit =
    "The toolbar icons are from the Adwaita icon theme of the GNOME project, "
    "which can be found at:";

QFont creditFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(13);
    font.setItalic(true);
    return font;
}

} // namespace

const QUrl TAboutDlg::kIconSource(QStringLiteral("https://gitlab.gnome.org/GNOME/adwaita-icon-theme"));

TAboutDlg::TAboutDlg(QWidget* parent, std::unique_ptr<LinkOpener> opener)
    : QDialog(parent), m_opener(opener ? std::move(opener) : std::make_unique<DesktopLinkOpener>())
{
    setObjectName("AboutDlg");
    setWindowTitle("About The Tessaric Design Tool");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowIcon(icons::colourSquares());
    setFont(tahoma(8));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    setFixedSize(clientSizeFor(kOuterSize));   // refuses every resize by the border
    buildControls();
}

TAboutDlg::~TAboutDlg() = default;

QByteArray TAboutDlg::photograph()
{
    QFile file(QStringLiteral(":/about/AboutPicture.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TAboutDlg::buildControls()
{
    m_picture = new JpegPicture(this);
    m_picture->setObjectName("Image1");
    m_picture->setGeometry(8, 8, 273, 209);
    m_picture->setJpegData(photograph());

    auto* credit = new QLabel(QString::fromLatin1(kCredit), this);
    credit->setObjectName("Label1");
    credit->setFont(creditFont());
    credit->setWordWrap(true);
    credit->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    credit->setGeometry(288, 16, 173, 60);

    m_link = new QLabel(kIconSource.host() + kIconSource.path(), this);
    m_link->setObjectName("Label2");
    m_link->setFont(creditFont());
    QPalette blue = m_link->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    m_link->setPalette(blue);
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->setToolTip(kIconSource.toString());
    m_link->setGeometry(304, 80, 146, 15);
    m_link->installEventFilter(this);

    auto* underline = new QFrame(this);
    underline->setObjectName("Shape1");
    underline->setGeometry(304, 92, 145, 1);
    underline->setAutoFillBackground(true);
    QPalette line = underline->palette();
    line.setColor(QPalette::Window, Qt::blue);
    underline->setPalette(line);

    auto* ok = new QPushButton(icons::themed("emblem-ok", QStyle::SP_DialogOkButton), "OK", this);
    ok->setObjectName("BitBtn1");
    ok->setGeometry(344, 184, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kOuterSize.width() / 2, kOuterSize.height() / 2));
    }
}

bool TAboutDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_link && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_link->rect().contains(mouse->position().toPoint()))
            Label2Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutDlg::Label2Click()
{
    m_opener->open(kIconSource);
}

} // namespace ui
