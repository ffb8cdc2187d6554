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
    "The toolbar icons are the Tango Desktop Project's icon theme, from the address below:";

// The address is too long for one line of the box: it breaks after its
// project folder, and each line gets its own underline.
const char* const kLinkLines[] = {"tango.freedesktop.org/", "Tango_Desktop_Project"};
constexpr QPoint kLinkPlace{304, 80};

QFont creditFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(13);
    font.setItalic(true);
    return font;
}

} // namespace

const QUrl TAboutDlg::kIconSource(QStringLiteral("http://tango.freedesktop.org/Tango_Desktop_Project"));

TAboutDlg::TAboutDlg(QWidget* parent, std::unique_ptr<LinkOpener> opener)
    : QDialog(parent), m_opener(opener ? std::move(opener) : std::make_unique<DesktopLinkOpener>())
{
    setObjectName("AboutDlg");
    setWindowTitle("About The Tessaric Design Tool");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(tahoma(8));
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

    m_link = new QLabel(QStringLiteral("%1\n%2").arg(kLinkLines[0], kLinkLines[1]), this);
    m_link->setObjectName("Label2");
    m_link->setFont(creditFont());
    m_link->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette blue = m_link->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    m_link->setPalette(blue);
    m_link->setCursor(Qt::PointingHandCursor);
    m_link->setToolTip(kIconSource.toString());
    const int twoLines = 2 * QFontMetrics(m_link->font()).lineSpacing();
    m_link->setGeometry(QRect(kLinkPlace, QSize(width() - kLinkPlace.x() - 4, twoLines)));
    m_link->installEventFilter(this);
    addUnderlines();

    auto* ok = new QPushButton(icons::themed("emblem-ok", QStyle::SP_DialogOkButton), "OK", this);
    ok->setObjectName("BitBtn1");
    ok->setGeometry(344, 184, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

// Blue lines under the link's lines, as long as each line's text.
void TAboutDlg::addUnderlines()
{
    const QFontMetrics metrics(m_link->font());
    for (int line = 0; line < 2; ++line) {
        auto* underline = new QFrame(this);
        underline->setObjectName(line == 0 ? "Shape1" : "Shape2");
        const int width = metrics.horizontalAdvance(QString::fromLatin1(kLinkLines[line]));
        underline->setGeometry(kLinkPlace.x(),
                               kLinkPlace.y() + line * metrics.lineSpacing() + metrics.ascent() + 1,
                               width, 1);
        underline->setAutoFillBackground(true);
        QPalette colour = underline->palette();
        colour.setColor(QPalette::Window, Qt::blue);
        underline->setPalette(colour);
    }
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
