#include "ui/TFontSelector.h"

#include "ui/FancyFontDelegate.h"

#include <QFontDatabase>
#include <QListView>
#include <QStylePainter>
#include <algorithm>

namespace ui {

TFontSelector::TFontSelector(QWidget* owner, bool fancyText)
    : QComboBox(owner), m_fancyDelegate(new FancyFontDelegate(this)),
      m_plainDelegate(view()->itemDelegate())
{
    setEditable(false);
    resize(200, sizeHint().height());
    connect(this, &QComboBox::activated, this, &TFontSelector::FontChanged);
    SetFancyText(fancyText);
}

QStringList TFontSelector::installedFonts()
{
    QStringList names;
    for (const QString& family : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(family))
            names << family;
    }
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    names.removeDuplicates();
    return names;
}

void TFontSelector::SetFancyText(bool fancy)
{
    m_fancyText = fancy;
    clear();
    // The plain delegate is the one the toolkit gave the popup's view.
    view()->setItemDelegate(fancy ? m_fancyDelegate : m_plainDelegate);
    fill();
}

// The list starts with nothing chosen, as a fresh pick list does.
void TFontSelector::fill()
{
    addItems(installedFonts());
    setCurrentIndex(-1);
}

void TFontSelector::FontChanged(int index)
{
    if (!m_onFontChanged)
        return;
    QFont own = font();
    own.setFamilies({itemText(index)});
    setFont(own);
    m_onFontChanged(*this);
}

// The closed control shows its choice the way the list draws it.
void TFontSelector::paintEvent(QPaintEvent* event)
{
    if (!m_fancyText || currentIndex() < 0) {
        QComboBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                QStyle::SC_ComboBoxEditField, this);
    FancyFontDelegate::drawName(&painter, field, currentText());
}

} // namespace ui
