#include "ui/TLevelFonts.h"

#include <stdexcept>

namespace ui {
namespace {

// Sizes outside this range are stored but not drawn as they are.
constexpr int kLargestShownPointSize = 400;

void checkLevel(int level)
{
    if (level < 0 || level >= model::kLevelCount)
        throw std::out_of_range("level style index out of range");
}

} // namespace

TLevelFonts::TLevelFonts(QObject* parent) : QObject(parent)
{
    for (int level = 0; level < model::kLevelCount; ++level)
        m_styles[level] = defaultStyle(level);
}

model::LevelStyle TLevelFonts::defaultStyle(int level)
{
    const std::uint8_t style = level == 0 ? model::kBold : 0;
    return {0, model::kWindowTextColour, "Tahoma", 8, style};
}

const model::LevelStyle& TLevelFonts::style(int level) const
{
    checkLevel(level);
    return m_styles[level];
}

void TLevelFonts::setStyle(int level, const model::LevelStyle& style)
{
    checkLevel(level);
    m_styles[level] = style;
    emit changed(level);
}

void TLevelFonts::setColour(int level, std::uint32_t colour)
{
    checkLevel(level);
    m_styles[level].colour = colour;
    emit changed(level);
}

void TLevelFonts::takeStyle(int level, const model::LevelStyle& style)
{
    checkLevel(level);
    model::LevelStyle& s = m_styles[level];
    s.charset = style.charset;
    s.colour = style.colour;
    if (!style.name.empty())
        s.name = style.name;
    s.size = style.size;
    s.style = style.style;
    emit changed(level);
}

void TLevelFonts::blacken()
{
    for (model::LevelStyle& s : m_styles)
        s.colour = 0;
    emit changed(-1);
}

void TLevelFonts::takeFromHeader(const model::HeaderRecord& header)
{
    {
        const QSignalBlocker quiet(this);   // one signal for the eleven levels
        for (int level = 0; level < model::kLevelCount; ++level)
            takeStyle(level, model::styleOf(header.levels[level]));
    }
    emit changed(-1);
}

void TLevelFonts::fillHeader(model::HeaderRecord& header) const
{
    for (int level = 0; level < model::kLevelCount; ++level)
        model::storeStyle(header.levels[level], m_styles[level]);
}

QFont TLevelFonts::displayFont(const model::LevelStyle& style, const QFont& base)
{
    QFont font = base;
    if (!style.name.empty())
        font.setFamilies({QString::fromLatin1(style.name.data(), qsizetype(style.name.size()))});
    if (style.size > 0 && style.size <= kLargestShownPointSize)
        font.setPointSize(style.size);
    font.setBold(style.style & model::kBold);
    font.setItalic(style.style & model::kItalic);
    font.setUnderline(style.style & model::kUnderline);
    font.setStrikeOut(style.style & model::kStrikeOut);
    return font;
}

} // namespace ui
