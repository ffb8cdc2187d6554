#include "ui/TOptionsDlg.h"

#include "ui/ColourStrip.h"
#include "ui/DialogFrame.h"
#include "ui/DialogIcons.h"
#include "ui/FontStylePage.h"
#include "ui/SystemColours.h"
#include "ui/TCColorGrid.h"
#include "ui/TLevelFonts.h"
#include "ui/TahomaFont.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

namespace ui {
namespace {

constexpr int kColumnWidth = 137;
constexpr int kHeadingHeight = 25;
constexpr int kStatusHeight = 19;
constexpr int kLabelLeft = 32;
constexpr int kLabelTops[model::kLevelCount] = {40, 64, 89, 114, 139, 164, 188, 213, 238, 263, 288};
constexpr int kGridAboveLabel = 16;
const QColor kCream(255, 251, 240);

} // namespace

TOptionsDlg::TOptionsDlg(TLevelFonts& fonts, const QStringList& sectionNames, QWidget* parent)
    : QDialog(parent), m_fonts(fonts)
{
    buildWindow();
    setSectionNames(sectionNames);
    connect(&m_fonts, &TLevelFonts::changed, this, &TOptionsDlg::refreshLabels);
    refreshLabels(-1);
    silenceHints();
}

void TOptionsDlg::buildWindow()
{
    setObjectName("OptionsDlg");
    setWindowTitle("Tessaric Design Tool Options Dialogue");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowIcon(icons::colourSquares());
    setFont(tahoma(8));
    const QSize client = clientSizeFor(kOuterSize);
    setFixedSize(client);   // a fixed size refuses every resize by the border
    move(kPosition);

    QWidget* column = buildStylesColumn();
    column->setGeometry(0, 0, kColumnWidth, client.height() - kStatusHeight);
    buildPages();
    auto* status = new QStatusBar(this);
    status->setObjectName("StatusBar1");
    status->setSizeGripEnabled(false);
    status->setGeometry(0, client.height() - kStatusHeight, client.width(), kStatusHeight);
}

// The page control fills what the styles column and the status bar leave.
void TOptionsDlg::buildPages()
{
    const QSize client = clientSizeFor(kOuterSize);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName("PageControl1");
    m_pages->setGeometry(kColumnWidth, 0, client.width() - kColumnWidth,
                         client.height() - kStatusHeight);
    m_fontStylePage = new FontStylePage;
    m_pages->addTab(m_fontStylePage, icons::letters("A"), "XML Font Style");
    m_pages->addTab(buildDirectoriesPage(), icons::themed("folder", QStyle::SP_DirIcon),
                    "Directories");
    m_pages->addTab(buildNodeColoursPage(), icons::colourSquares(), "Node Colours");
    m_pages->setCurrentIndex(0);

    ColourStrip* strip = m_fontStylePage->strip();
    connect(strip, &ColourStrip::barHovered, this, &TOptionsDlg::Image1MouseMove);
    connect(strip, &ColourStrip::sliderMoved, this, &TOptionsDlg::SplitterMoved);
}

QWidget* TOptionsDlg::buildStylesColumn()
{
    auto* column = new QWidget(this);
    auto* heading = new QFrame(column);
    heading->setFrameStyle(QFrame::Panel | QFrame::Raised);
    heading->setGeometry(0, 0, kColumnWidth, kHeadingHeight);
    auto* caption = new QLabel("Existing Styles", heading);
    caption->setAlignment(Qt::AlignCenter);
    caption->setGeometry(heading->rect());
    auto* icon = new QLabel(heading);
    icon->setPixmap(icons::themed("text-x-generic", QStyle::SP_FileDialogListView).pixmap(16, 16));
    icon->setGeometry(4, 4, 16, 16);

    m_stylesBox = new QListWidget(column);
    m_stylesBox->setObjectName("StylesBox");
    m_stylesBox->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette cream = m_stylesBox->palette();
    cream.setColor(QPalette::Base, kCream);
    m_stylesBox->setPalette(cream);
    m_stylesBox->setGeometry(0, kHeadingHeight, kColumnWidth,
                             clientSizeFor(kOuterSize).height() - kStatusHeight - kHeadingHeight);
    connect(m_stylesBox, &QListWidget::itemClicked, this, &TOptionsDlg::StylesBoxClick);
    return column;
}

QWidget* TOptionsDlg::buildDirectoriesPage()
{
    auto* page = new QWidget;
    page->setObjectName("DirectoriesTabSheet");
    page->setToolTip("Set Directories and File Settings");
    struct Field { const char* caption; const char* name; const char* text; int top; };
    const Field fields[] = {
        {"Browser Path:", "BrowserPathEdit", "C:\\Program Files\\Mozilla Firefox", 16},
        {"Default Directory:", "DefaultDirEdit", "~/Designs", 64},
    };
    for (const Field& field : fields) {
        auto* caption = new QLabel(QString::fromLatin1(field.caption), page);
        caption->setGeometry(16, field.top, 353, 14);
        auto* edit = new QLineEdit(QString::fromLatin1(field.text), page);
        edit->setObjectName(QString::fromLatin1(field.name));
        edit->setGeometry(16, field.top + 16, 353, 21);
    }
    return page;
}

QWidget* TOptionsDlg::buildNodeColoursPage()
{
    auto* page = new QWidget;
    page->setObjectName("NodeColoursTabSheet");
    page->setToolTip("Set Node Colours");
    addLevelLabels(page);

    m_leftMarker = new QLabel(page);
    m_leftMarker->setObjectName("Image8");
    m_leftMarker->setPixmap(icons::marker(true));
    m_leftMarker->setGeometry(8, 40, 16, 16);
    m_rightMarker = new QLabel(page);
    m_rightMarker->setObjectName("Image9");
    m_rightMarker->setPixmap(icons::marker(false));
    m_rightMarker->setGeometry(80, 40, 16, 16);

    m_grid = new TCColorGrid(page);
    m_grid->setObjectName("CColorGrid1");
    m_grid->setGeometry(96, 24, 100, 100);
    m_grid->EnableBackground(false);
    m_grid->setFocusPolicy(Qt::NoFocus);
    connect(m_grid, &TCColorGrid::OnClick, this, &TOptionsDlg::CColorGrid1Click);

    auto* apply = new QPushButton(icons::themed("dialog-ok-apply", QStyle::SP_DialogApplyButton),
                                  "Apply", page);
    apply->setObjectName("BitBtn2");
    apply->setToolTip("Apply Node Colours");
    apply->setGeometry(400, 344, 75, 25);
    connect(apply, &QPushButton::clicked, this, &TOptionsDlg::BitBtn2Click);
    return page;
}

void TOptionsDlg::addLevelLabels(QWidget* page)
{
    for (int level = 0; level < model::kLevelCount; ++level) {
        auto* label = new QLabel(QStringLiteral("Level %1").arg(level), page);
        label->setObjectName(QStringLiteral("Label%1").arg(level + 1));
        label->setToolTip("Click to change the colour");
        label->move(kLabelLeft, kLabelTops[level]);
        m_levelLabels << label;
    }
}

// Hints stay as the controls' tool tips, but only "Weight" is ever shown.
void TOptionsDlg::silenceHints()
{
    const QWidget* weight = findChild<QComboBox*>("FontWeightComboBox");
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child != weight && !weight->isAncestorOf(child))
            child->installEventFilter(this);
    }
}

bool TOptionsDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
        return true;
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* label = qobject_cast<QLabel*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (label && m_levelLabels.contains(label) && mouse->button() == Qt::LeftButton
            && label->rect().contains(mouse->position().toPoint())) {
            Button1Click(label);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TOptionsDlg::setSectionNames(const QStringList& sectionNames)
{
    QStringList styles = sectionNames;
    for (qsizetype i = 0; i < styles.size(); ++i) {
        if (styles[i].compare("Settings", Qt::CaseInsensitive) == 0) {
            styles.removeAt(i);
            break;
        }
    }
    m_stylesBox->clear();
    m_stylesBox->addItems(styles);
}

void TOptionsDlg::openFor(model::HeaderRecord& currentHeader)
{
    loadTable(currentHeader);
    exec();
    handBackTable(currentHeader);
}

void TOptionsDlg::handBackTable(model::HeaderRecord& currentHeader) const
{
    currentHeader.levels = m_table.levels;
    currentHeader.reserved = m_table.reserved;
}

void TOptionsDlg::refreshLabels(int level)
{
    if (level >= 0)
        return refreshLabel(level);
    for (int i = 0; i < model::kLevelCount; ++i)
        refreshLabel(i);
}

// A label sizes itself to its text, so the markers frame it closely.
void TOptionsDlg::refreshLabel(int level)
{
    QLabel* label = m_levelLabels.at(level);
    const model::LevelStyle& style = m_fonts.style(level);
    label->setFont(TLevelFonts::displayFont(style, font()));
    QPalette text = label->palette();
    text.setColor(QPalette::WindowText, resolveColour(style.colour, palette()));
    label->setPalette(text);
    label->adjustSize();
}

void TOptionsDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TOptionsDlg::FormShow()
{
    if (m_stylesBox->count() > 0)
        m_stylesBox->setCurrentRow(0);
    StylesBoxClick();
    for (int level = 0; level < model::kLevelCount; ++level)
        m_fonts.takeStyle(level, model::styleOf(m_table.levels[level]));
}

void TOptionsDlg::Button1Click(QLabel* label)
{
    const int level = int(m_levelLabels.indexOf(label));
    if (level < 0)
        return;
    m_leftMarker->move(label->x() - m_leftMarker->width(), label->y());
    m_rightMarker->move(label->x() + label->width(), label->y());
    m_chosen = level;
    m_grid->move(m_grid->x(), label->y() - kGridAboveLabel);
    m_fonts.setColour(level, m_grid->ForegroundColor());
}

void TOptionsDlg::CColorGrid1Click()
{
    if (m_chosen >= 0)
        m_fonts.setColour(m_chosen, m_grid->ForegroundColor());
}

void TOptionsDlg::BitBtn2Click()
{
    m_fonts.fillHeader(m_table);
}

// Choosing a named style has no effect beyond the choice itself.
void TOptionsDlg::StylesBoxClick() {}

void TOptionsDlg::Image1MouseMove(QPoint pos)
{
    QColor colour;
    if (pictureColourAt(pos, colour))
        m_fontStylePage->showReadout(colour);
}

void TOptionsDlg::SplitterMoved()
{
    QColor colour;
    if (!pictureColourAt(m_fontStylePage->strip()->sliderCentre(), colour))
        return;
    m_fontStylePage->showReadout(colour);
    m_fontStylePage->fillSwatch(colour);
}

// The bar shows its picture unscaled from its top-left corner; outside the
// picture there is no colour to read.
bool TOptionsDlg::pictureColourAt(QPoint pos, QColor& colour) const
{
    const QImage& picture = m_fontStylePage->strip()->picture();
    if (!picture.valid(pos))
        return false;
    colour = picture.pixelColor(pos);
    return true;
}

} // namespace ui
