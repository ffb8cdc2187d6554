#include "ui/FontStylePage.h"

#include "ui/ColourStrip.h"
#include "ui/DialogIcons.h"
#include "ui/TFontSelector.h"
#include "ui/UpDownEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace ui {
namespace {

constexpr int kRowStep = 22;

QGroupBox* addGroup(QWidget* page, const char* name, const char* title, const char* hint,
                    QRect geometry)
{
    auto* group = new QGroupBox(QString::fromLatin1(title), page);
    group->setObjectName(QString::fromLatin1(name));
    group->setToolTip(QString::fromLatin1(hint));
    group->setGeometry(geometry);
    return group;
}

// Radio choices one under another; none is chosen at first.
void addChoices(QGroupBox* group, const QList<QPair<const char*, const char*>>& captionsAndHints)
{
    int top = 20;
    for (const auto& [caption, hint] : captionsAndHints) {
        auto* choice = new QRadioButton(QString::fromLatin1(caption), group);
        choice->setToolTip(QString::fromLatin1(hint));
        choice->setGeometry(10, top, group->width() - 20, 18);
        top += kRowStep;
    }
}

} // namespace

FontStylePage::FontStylePage(QWidget* parent) : QWidget(parent)
{
    setObjectName("FontStyleTabSheet");
    setToolTip("Set Font Properties for XML Export");
    m_fontSelector = new TFontSelector(this, true);
    m_fontSelector->setObjectName("FontSelector");
    m_fontSelector->setGeometry(12, 8, 233, m_fontSelector->height());
    buildDecorations();
    buildAlignmentGroup();
    buildDecorationGroup();
    buildSizeGroup();
    buildCapitalizationGroup();
    buildStyleGroup();
    buildColourControls();
}

// Five small pictures of what the page is about, right of the font list.
void FontStylePage::buildDecorations()
{
    const QIcon pictures[] = {icons::letters("B", true), icons::letters("I", false, true),
                              icons::letters("U", false, false, true), icons::letters("Aa"),
                              icons::colourSquares()};
    int left = 260;
    for (const QIcon& picture : pictures) {
        auto* image = new QLabel(this);
        image->setPixmap(picture.pixmap(16, 16));
        image->setGeometry(left, 11, 16, 16);
        left += 24;
    }
}

void FontStylePage::buildAlignmentGroup()
{
    QGroupBox* group = addGroup(this, "AlignmentGroupBox", " Alignment ", "Text Alignment",
                                QRect(8, 48, 145, 113));
    addChoices(group, {{"Left", "Align Font Left"}, {"Right", "Align Font Right"},
                       {"Center", "Align Font Center"}, {"Justify", "Align Font Justify"}});
}

void FontStylePage::buildDecorationGroup()
{
    QGroupBox* group = addGroup(this, "DecorationGroupBox", " Decoration ", "Text Decoration",
                                QRect(159, 48, 145, 113));
    addChoices(group, {{"None", "None"}, {"Underline", "Underline"}, {"Overline", "Overline"},
                       {"Line-Through", "Line-Through"}});
}

void FontStylePage::buildSizeGroup()
{
    QGroupBox* group = addGroup(this, "FontSizeGroupBox", " Size, Indentation ", "",
                                QRect(312, 48, 161, 281));
    struct Field { const char* caption; const char* hint; int maximum; int increment; };
    const Field fields[] = {{"Text Size", "Text Size", 40, 1},
                            {"Indentation", "Indentation", 80, 1},
                            {"Text Spacing", "Text Spacing", 100, 1},
                            {"Word Spacing", "Word Spacing", 100, 1},
                            {"Line Height (%)", "Line Height", 400, 25}};
    int top = 20;
    for (const Field& field : fields) {
        auto* caption = new QLabel(QString::fromLatin1(field.caption), group);
        caption->setGeometry(12, top, 137, 14);
        auto* number = new UpDownEdit(0, field.maximum, field.increment, group);
        number->move(12, top + 16);
        number->edit()->setToolTip(QString::fromLatin1(field.hint));
        top += 50;
    }
}

void FontStylePage::buildCapitalizationGroup()
{
    QGroupBox* group = addGroup(this, "CapitalizationGroupBox", " Capitalization ",
                                "Text Capitalization", QRect(8, 184, 145, 145));
    addChoices(group, {{"None", "None"}, {"Capitalize", "Capitalize"},
                       {"UpperCase", "UpperCase"}, {"LowerCase", "LowerCase"}});
    auto* smallCaps = new QCheckBox("Small-Caps", group);
    smallCaps->setToolTip("Small-Caps");
    smallCaps->setGeometry(10, 20 + 4 * kRowStep + 4, 125, 18);
}

void FontStylePage::buildStyleGroup()
{
    QGroupBox* group = addGroup(this, "StyleGroupBox", " Style ", "Text Style",
                                QRect(160, 184, 145, 145));
    addChoices(group, {{"Normal", "Normal"}, {"Italic", "Italic"}, {"Oblique", "Oblique"}});
    auto* caption = new QLabel("Weight:", group);
    caption->setGeometry(10, 100, 44, 16);
    auto* weight = new QComboBox(group);
    weight->setObjectName("FontWeightComboBox");
    weight->addItems({"normal", "bold", "bolder", "lighter", "100", "200", "300", "400", "500",
                      "600", "700", "800", "900"});
    weight->setCurrentIndex(-1);
    weight->setToolTip("Weight");
    weight->setGeometry(56, 97, 80, 22);
}

void FontStylePage::buildColourControls()
{
    m_strip = new ColourStrip(this);
    m_strip->move(8, 345);
    m_red = addReadoutLabel("RedLabel", 334, Qt::red);
    m_green = addReadoutLabel("GreenLabel", 346, QColor(0, 128, 0));
    m_blue = addReadoutLabel("BlueLabel", 358, Qt::blue);

    m_swatch = new QFrame(this);
    m_swatch->setObjectName("Shape1");
    m_swatch->setGeometry(344, 336, 32, 32);
    m_swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_swatch->setAutoFillBackground(true);
    QPalette outline = m_swatch->palette();
    outline.setColor(QPalette::WindowText, Qt::black);
    m_swatch->setPalette(outline);
    fillSwatch(Qt::white);

    auto* apply = new QPushButton(icons::themed("dialog-ok-apply", QStyle::SP_DialogApplyButton),
                                  "Apply", this);
    apply->setObjectName("BitBtn1");
    apply->setGeometry(400, 344, 75, 25);
}

QLabel* FontStylePage::addReadoutLabel(const char* name, int top, const QColor& colour)
{
    auto* label = new QLabel("255", this);
    label->setObjectName(QString::fromLatin1(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    QPalette text = label->palette();
    text.setColor(QPalette::WindowText, colour);
    label->setPalette(text);
    label->setGeometry(304, top, 30, 13);
    return label;
}

void FontStylePage::showReadout(const QColor& colour)
{
    auto hex = [](int component) { return QString::asprintf("%02X", component); };
    m_red->setText(hex(colour.red()));
    m_green->setText(hex(colour.green()));
    m_blue->setText(hex(colour.blue()));
}

void FontStylePage::fillSwatch(const QColor& colour)
{
    QPalette fill = m_swatch->palette();
    fill.setColor(QPalette::Window, colour);
    m_swatch->setPalette(fill);
}

} // namespace ui
