#include "model/DesignLook.h"

#include "model/Design.h"

#include <memory>
#include <stdexcept>
#include <utility>

namespace model {

// A recorded style edit: the eleven styles of the other side of the edit.
class StylesSwap final : public AspectChange {
public:
    StylesSwap(DesignLook& look, const DesignLook::Styles& other) : m_look(look), m_other(other) {}
    void apply() override
    {
        std::swap(m_look.m_styles, m_other);
        m_look.announce(-1);
    }
    std::size_t bytes() const override { return sizeof(*this); }

private:
    DesignLook& m_look;
    DesignLook::Styles m_other;
};

DesignLook::DesignLook(Design& design) : m_design(design)
{
    for (int level = 0; level < kLevelCount; ++level)
        m_styles[static_cast<std::size_t>(level)] = defaultStyle(level);
}

LevelStyle DesignLook::defaultStyle(int level)
{
    const std::uint8_t style = level == 0 ? kBold : 0;
    return {0, kWindowTextColour, "Tahoma", 8, style};
}

const LevelStyle& DesignLook::style(int level) const
{
    if (level < 0 || level >= kLevelCount)
        throw std::out_of_range("level style index out of range");
    return m_styles[static_cast<std::size_t>(level)];
}

LevelStyle& DesignLook::styleAt(int level)
{
    return const_cast<LevelStyle&>(style(level));
}

void DesignLook::storeStylesInto(HeaderRecord& header) const
{
    for (std::size_t level = 0; level < m_styles.size(); ++level)
        storeStyle(header.levels[level], m_styles[level]);
}

// --- style edits ----------------------------------------------------------------
// Quiet steps: a style edit leaves the modified flag alone, as it always did.

void DesignLook::setStyle(int level, const LevelStyle& style)
{
    const Design::Step step(m_design, Design::Step::Kind::Quiet);
    LevelStyle& s = styleAt(level);
    const Styles before = m_styles;
    s = style;
    record(before);
    announce(level);
}

void DesignLook::setColour(int level, std::uint32_t colour)
{
    LevelStyle style = this->style(level);
    style.colour = colour;
    setStyle(level, style);
}

void DesignLook::takeStyle(int level, const LevelStyle& style)
{
    LevelStyle taken = style;
    if (taken.name.empty())
        taken.name = this->style(level).name; // deliberate: an empty name keeps the name the level had
    setStyle(level, taken);
}

void DesignLook::record(const Styles& before)
{
    if (m_design.m_recording && before != m_styles)
        m_design.m_recording->aspectChanged(std::make_unique<StylesSwap>(*this, before));
}

void DesignLook::announce(int level)
{
    for (TreeObserver* o : m_design.m_observers)
        o->levelStylesChanged(level);
}

// --- the header state -----------------------------------------------------------
// Not recorded: opening starts a new history, and saving and the dialog never
// were steps of one.

void DesignLook::takeLoadedLook()
{
    const Design::Step step(m_design, Design::Step::Kind::Quiet);
    for (LevelStyle& s : m_styles)
        s.colour = 0; // deliberate: the first show blackens every style colour
    // Deliberate: the first show copies the loaded titles, reserved and level records into the current header.
    m_current.titles = m_loaded.titles;
    m_current.reserved = m_loaded.reserved;
    m_current.levels = m_loaded.levels;
    announce(-1);
}

void DesignLook::opened(const HeaderRecord& loaded)
{
    const Design::Step step(m_design, Design::Step::Kind::Quiet);
    m_loaded = loaded;
    for (std::size_t level = 0; level < m_styles.size(); ++level) {
        const LevelStyle read = styleOf(loaded.levels[level]);
        const std::string keptName = std::move(m_styles[level].name);
        m_styles[level] = read;
        if (read.name.empty())
            m_styles[level].name = keptName; // deliberate: an empty name keeps the name the level had
    }
    // Deliberate: the rows are drawn in the colours of the design just opened, not the last saved one's.
    m_current.levels = loaded.levels;
    announce(-1);
}

void DesignLook::saved(const HeaderRecord& written)
{
    const Design::Step step(m_design, Design::Step::Kind::Quiet);
    // Deliberate: the styles stored by a save become the colours the trees are
    // drawn in, and the bytes behind a field's NUL persist into the next save.
    m_current = written;
    announce(-1);
}

void DesignLook::takeOptionsTable(const HeaderRecord& table)
{
    const Design::Step step(m_design, Design::Step::Kind::Quiet);
    m_current.levels = table.levels;
    m_current.reserved = table.reserved;
    announce(-1);
}

} // namespace model
