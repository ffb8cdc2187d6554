#include "ui/TLevelFonts.h"

namespace ui {
namespace {

// Sizes outside this range are stored but not drawn as they are.
constexpr int kLargestShownPointSize = 400;

} // namespace

TLevelFonts::TLevelFonts(model::Design& design, QObject* parent) : QObject(parent), m_design(design)
{
    m_design.addObserver(this);
}

TLevelFonts::~TLevelFonts()
{
    m_design.removeObserver(this);
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
