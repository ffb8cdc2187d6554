#pragma once
// What a design file carries beside the trees, titles and matrices: the level
// styles (the font of every node level, edited in the options dialog) and the
// header state: the header last read from a file, and the current header, the
// one the trees are drawn in (its level colours) and a save starts from.
//
// The styles and the current header's levels are two things: a style edit
// shows in the trees only once a save or the options dialog puts it into the
// current header. Every change is told to the design's observers
// (TreeObserver::levelStylesChanged) and ends in the step's notice as Looks;
// a style edit is recorded in the step being recorded, so it can be undone.

#include "model/HeaderRecord.h"
#include "model/LevelStyle.h"

#include <array>
#include <cstdint>

namespace model {

class Design;

class DesignLook {
public:
    using Styles = std::array<LevelStyle, kLevelCount>;

    explicit DesignLook(Design& design);
    DesignLook(const DesignLook&) = delete;
    DesignLook& operator=(const DesignLook&) = delete;

    // Tahoma 8 pt, charset 0, the window-text system colour; bold at level 0.
    static LevelStyle defaultStyle(int level);

    const Styles& styles() const { return m_styles; }
    const LevelStyle& style(int level) const; // std::out_of_range outside 0 to 10
    const HeaderRecord& loadedHeader() const { return m_loaded; }
    const HeaderRecord& currentHeader() const { return m_current; }
    // The styles into the level records of `header` (names cut to 31 characters).
    void storeStylesInto(HeaderRecord& header) const;

    // --- style edits: one recorded step each ----------------------------------
    void setStyle(int level, const LevelStyle& style);
    void setColour(int level, std::uint32_t colour);
    // Charset, colour, name, size, style from `style`; an empty name leaves
    // the name as it was.
    void takeStyle(int level, const LevelStyle& style);

    // --- the moments a file or the window sets the header state ---------------
    // The window's first show.
    void takeLoadedLook();
    // A design file was opened with this header.
    void opened(const HeaderRecord& loaded);
    // A save encoded this header (filled from the current one).
    void saved(const HeaderRecord& written);
    // The options dialog hands back its table's level and reserved records.
    void takeOptionsTable(const HeaderRecord& table);

private:
    friend class StylesSwap;
    LevelStyle& styleAt(int level);
    void record(const Styles& before);
    void announce(int level);

    Design& m_design;
    Styles m_styles;
    HeaderRecord m_loaded{};
    HeaderRecord m_current{};
};

} // namespace model
