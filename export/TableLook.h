#pragma once
// The look of the design table, one for every format that has a look (ODT,
// HTML, PDF and the printed pages; CSV and Markdown carry none): the font,
// its sizes, the head cells' fill and the cell lines. Units and line widths
// stay each format's own.

#include <cstdio>
#include <string>

namespace exporting {

struct Rgb {
    int red;
    int green;
    int blue;
};

struct TableLook {
    const char* fontFamily; // where it is missing, its metric twin Liberation Sans stands in
    const char* fallbackFamily;
    int bodyPoints;
    int titlePoints;
    int headingPoints;
    int footerPoints; // the printed pages' footer
    Rgb headFill;
    Rgb lineColour;
    // The web page's lines are a shade lighter than the other formats': kept
    // so that its bytes stay as they were.
    Rgb webLineColour;
};

inline constexpr TableLook kTableLook{"Arial", "Liberation Sans", 9, 14, 12, 8,
                                      {232, 232, 232}, {150, 150, 150}, {153, 153, 153}};

// "#e8e8e8", as CSS and ODT write a colour.
inline std::string hexColour(Rgb c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red & 0xFF, c.green & 0xFF, c.blue & 0xFF);
    return text;
}

// "9pt".
inline std::string pointText(int points) { return std::to_string(points) + "pt"; }

} // namespace exporting
