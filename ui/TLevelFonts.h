#pragma once
// The dialog level fonts: the eleven editable level styles that the options
// dialog's labels "Level 0" to "Level 10" show, as a Qt face of the design's
// own styles (model::DesignLook). Every edit here is a command of the
// design; changed() follows the design, whoever changed the styles. The
// trees are drawn from the current header, not from here, so a change shows
// in the trees only after a save or the dialog.
//
// Every field is kept exactly as it was set (a size of 0, an odd charset,
// style bits 4 to 7); only displayFont() falls back to something drawable.

#include "model/Design.h"
#include "model/LevelStyle.h"

#include <QFont>
#include <QObject>

namespace ui {

class TLevelFonts : public QObject, private model::TreeObserver {
    Q_OBJECT
public:
    using Styles = model::DesignLook::Styles;

    // The design must outlive the adapter.
    explicit TLevelFonts(model::Design& design, QObject* parent = nullptr);
    ~TLevelFonts() override;

    const Styles& styles() const { return m_design.look().styles(); }
    const model::LevelStyle& style(int level) const { return m_design.look().style(level); }

    void setStyle(int level, const model::LevelStyle& style) { m_design.look().setStyle(level, style); }
    void setColour(int level, std::uint32_t colour) { m_design.look().setColour(level, colour); }
    // Charset, colour, name, size, style from `style`; an empty name leaves
    // the name as it was.
    void takeStyle(int level, const model::LevelStyle& style) { m_design.look().takeStyle(level, style); }
    // Stores every level into `header` (names cut to 31 characters).
    void fillHeader(model::HeaderRecord& header) const { m_design.look().storeStylesInto(header); }

    // The font a label shows a level style in: its face, size and the four
    // style flags, with the face and size of `base` where the style has none.
    static QFont displayFont(const model::LevelStyle& style, const QFont& base);

signals:
    // Some level changed; -1 when every level may have changed.
    void changed(int level);

private:
    void levelStylesChanged(int level) override { emit changed(level); }

    model::Design& m_design;
};

} // namespace ui
