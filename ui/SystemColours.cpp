#include "ui/SystemColours.h"

#include "model/LevelStyle.h"

#include <array>

namespace ui {
namespace {

// Where one Windows system colour comes from in a Qt palette.
struct PaletteSource {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    bool lighter = false;   // the gradient caption colours are a paler highlight
};

constexpr QPalette::ColorGroup kActive = QPalette::Active;
constexpr QPalette::ColorGroup kInactive = QPalette::Inactive;
constexpr QPalette::ColorGroup kDisabled = QPalette::Disabled;

// Indexed by the Windows system-colour number (COLOR_SCROLLBAR = 0 ...
// COLOR_MENUBAR = 30). Menu and caption colours map onto the roles Qt's own
// styles paint menus and selections with. Index 25 has no Windows meaning.
const std::array<PaletteSource, kSystemColourCount> kSources{{
    {kActive, QPalette::Midlight},              // 0 scroll bar
    {kActive, QPalette::Dark},                  // 1 desktop
    {kActive, QPalette::Highlight},             // 2 active caption
    {kInactive, QPalette::Highlight},           // 3 inactive caption
    {kActive, QPalette::Window},                // 4 menu
    {kActive, QPalette::Base},                  // 5 window
    {kActive, QPalette::Shadow},                // 6 window frame
    {kActive, QPalette::WindowText},            // 7 menu text
    {kActive, QPalette::WindowText},            // 8 window text
    {kActive, QPalette::HighlightedText},       // 9 caption text
    {kActive, QPalette::Button},                // 10 active border
    {kActive, QPalette::Button},                // 11 inactive border
    {kActive, QPalette::Dark},                  // 12 application workspace
    {kActive, QPalette::Highlight},             // 13 highlight
    {kActive, QPalette::HighlightedText},       // 14 highlighted text
    {kActive, QPalette::Button},                // 15 button face
    {kActive, QPalette::Dark},                  // 16 button shadow
    {kDisabled, QPalette::WindowText},          // 17 grey text
    {kActive, QPalette::ButtonText},            // 18 button text
    {kInactive, QPalette::HighlightedText},     // 19 inactive caption text
    {kActive, QPalette::Light},                 // 20 button highlight
    {kActive, QPalette::Shadow},                // 21 3-D dark shadow
    {kActive, QPalette::Midlight},              // 22 3-D light
    {kActive, QPalette::ToolTipText},           // 23 info text
    {kActive, QPalette::ToolTipBase},           // 24 info background
    {kActive, QPalette::NoRole},                // 25 unused: black
    {kActive, QPalette::Link},                  // 26 hot light
    {kActive, QPalette::Highlight, true},       // 27 gradient active caption
    {kInactive, QPalette::Highlight, true},     // 28 gradient inactive caption
    {kActive, QPalette::Highlight},             // 29 menu highlight
    {kActive, QPalette::Window},                // 30 menu bar
}};

QColor systemColour(std::uint32_t n, const QPalette& palette)
{
    if (n >= kSources.size() || kSources[n].role == QPalette::NoRole)
        return QColor(0, 0, 0);
    const PaletteSource& source = kSources[n];
    const QColor colour = palette.color(source.group, source.role);
    return source.lighter ? colour.lighter(150) : colour;
}

QColor explicitColour(std::uint32_t value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

} // namespace

QColor resolveColour(std::uint32_t value, const QPalette& palette)
{
    if ((value & 0xFF000000u) == model::kSystemColour)
        return systemColour(value & 0x00FFFFFFu, palette);
    return explicitColour(value);
}

std::uint32_t toColourValue(const QColor& colour)
{
    const QColor rgb = colour.toRgb();
    return std::uint32_t(rgb.red()) | std::uint32_t(rgb.green()) << 8 | std::uint32_t(rgb.blue()) << 16;
}

} // namespace ui
