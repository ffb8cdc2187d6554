#pragma once
// The options dialog's "XML Font Style" page. Its fields are kept by nothing
// and used by nothing; only the colour strip, its readout and the swatch
// react, through the dialog's handlers.

#include <QWidget>

class QFrame;
class QLabel;

namespace ui {

class ColourStrip;
class TFontSelector;

class FontStylePage : public QWidget {
    Q_OBJECT
public:
    explicit FontStylePage(QWidget* parent = nullptr);

    TFontSelector* fontSelector() const { return m_fontSelector; }
    ColourStrip* strip() const { return m_strip; }
    QFrame* swatch() const { return m_swatch; }

    // Shows the colour's components as two upper-case hex digits each.
    void showReadout(const QColor& colour);
    void fillSwatch(const QColor& colour);

private:
    void buildDecorations();
    void buildAlignmentGroup();
    void buildDecorationGroup();
    void buildSizeGroup();
    void buildCapitalizationGroup();
    void buildStyleGroup();
    void buildColourControls();
    QLabel* addReadoutLabel(const char* name, int top, const QColor& colour);

    TFontSelector* m_fontSelector = nullptr;
    ColourStrip* m_strip = nullptr;
    QLabel* m_red = nullptr;
    QLabel* m_green = nullptr;
    QLabel* m_blue = nullptr;
    QFrame* m_swatch = nullptr;
};

} // namespace ui
