#pragma once
// The dialog level fonts: the eleven editable level styles that the options
// dialog's labels "Level 0" to "Level 10" show. Opening a design file sets
// them, saving reads them; the trees are drawn from the current header, not
// from here, so a change shows in the trees only after a save or the dialog.
//
// Every field is kept exactly as it was set (a size of 0, an odd charset,
// style bits 4 to 7); only displayFont() falls back to something drawable.

#include "model/HeaderRecord.h"
#include "model/LevelStyle.h"

#include <QFont>
#include <QObject>
#include <array>

namespace ui {

class TLevelFonts : public QObject {
    Q_OBJECT
public:
    using Styles = std::array<model::LevelStyle, model::kLevelCount>;

    // Starts with the dialog defaults (see defaultStyle).
    explicit TLevelFonts(QObject* parent = nullptr);

    // Tahoma 8 pt, charset 0, the window-text system colour; bold at level 0.
    static model::LevelStyle defaultStyle(int level);

    const Styles& styles() const { return m_styles; }
    const model::LevelStyle& style(int level) const;

    void setStyle(int level, const model::LevelStyle& style);
    void setColour(int level, std::uint32_t colour);
    // Charset, colour, name, size, style from `style`; an empty name leaves
    // the name as it was.
    void takeStyle(int level, const model::LevelStyle& style);

    // The main window's first show: every level's colour becomes black (0).
    void blacken();
    // Opening a design file: takeStyle() for every level record of `header`.
    void takeFromHeader(const model::HeaderRecord& header);
    // Saving: stores every level into `header` (names cut to 31 characters).
    void fillHeader(model::HeaderRecord& header) const;

    // The font a label shows a level style in: its face, size and the four
    // style flags, with the face and size of `base` where the style has none.
    static QFont displayFont(const model::LevelStyle& style, const QFont& base);

signals:
    // Some level changed; -1 when every level may have changed.
    void changed(int level);

private:
    Styles m_styles;
};

} // namespace ui
