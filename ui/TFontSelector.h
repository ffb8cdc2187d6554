#pragma once
// A pick list of the installed font families, sorted; with FancyText on,
// every name is drawn in the face it names.

#include <QComboBox>
#include <functional>

namespace ui {

class FancyFontDelegate;

class TFontSelector : public QComboBox {
    Q_OBJECT
public:
    using FontChangedHandler = std::function<void(TFontSelector&)>;

    explicit TFontSelector(QWidget* owner, bool fancyText = true);

    // The installed families, sorted without regard to case.
    static QStringList installedFonts();

    bool FancyText() const { return m_fancyText; }
    // Stores the value and fills the list anew, even when it is unchanged.
    void SetFancyText(bool fancy);

    const FontChangedHandler& GetOnFontChanged() const { return m_onFontChanged; }
    void SetOnFontChanged(FontChangedHandler handler) { m_onFontChanged = std::move(handler); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The user picked an entry: only with a handler does the control's own
    // font follow the choice, before the handler runs.
    void FontChanged(int index);
    void fill();

    bool m_fancyText = false;
    FontChangedHandler m_onFontChanged;
    FancyFontDelegate* m_fancyDelegate;
    QAbstractItemDelegate* m_plainDelegate;
};

} // namespace ui
