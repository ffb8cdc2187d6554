#pragma once
// Text on the pages of the table: the fonts at the device's resolution, the
// height a text needs wrapped within a width, and painting it there.
//
// Texts are UTF-8. Most labels fit on one line and are Windows-1252 text.
// Their width is summed from a table of the 256 Windows-1252 characters'
// advances, with no text shaping; only a text that may not fit, goes beyond
// the code page or holds a line break (a note) goes through a full text
// layout, which wraps it at word boundaries (or anywhere, for a word longer
// than the line) and takes each character from a font that has it. Measuring
// and painting take the same decision, so a row is exactly as tall as laid out.

#include "export/PageGrid.h"

#include <QFont>
#include <QFontMetricsF>
#include <QRawFont>
#include <QString>

#include <array>
#include <optional>
#include <string>
#include <string_view>

class QPaintDevice;
class QPainter;
class QRectF;

namespace exporting {

class PageText {
public:
    enum class Style { Body, Bold, Title, Heading, Footer };

    explicit PageText(QPaintDevice& device);

    double lineHeight(Style style) const { return face(style).metrics.lineSpacing(); }
    double millimetres(double mm) const { return mm * m_dotsPerMm; }

    // Height of a cell's text wrapped within `width`; at least one line.
    double cellTextHeight(const GridCell& cell, double width) const;
    void paintCell(QPainter& painter, const GridCell& cell, double left, double top, double width) const;

    // A paragraph: any text, wrapped within `width`.
    double paragraphWidth(const QString& text, Style style) const { return face(style).metrics.horizontalAdvance(text); }
    double paragraphHeight(const QString& text, Style style, double width) const;
    void paintParagraph(QPainter& painter, const QString& text, Style style, double left, double top,
                        double width) const;
    // A short text on one line, unwrapped.
    void paintLine(QPainter& painter, const QString& text, Style style, double left, double top) const;

private:
    struct Face {
        QFont font;
        QFontMetricsF metrics;
        std::array<double, 256> advance{}; // per Windows-1252 byte
        // A line that fits is painted as glyphs placed by these advances:
        // shaping every cell's text anew cost most of the time of a long table.
        QRawFont raw;
        std::array<quint32, 256> glyph{};  // 0: the font has none; such a text takes the long way
    };

    const Face& face(Style style) const { return m_faces[static_cast<std::size_t>(style)]; }
    Face makeFace(int pointSize, bool bold) const;
    // The bytes of `utf8` in Windows-1252 for the short way (`utf8` itself when
    // ASCII, else made in `bytes`); empty when the text must take the long way.
    static std::optional<std::string_view> singleByteForm(std::string_view utf8, std::string& bytes);
    // A cell's text for a text layout, its line breaks the layout's.
    static QString layoutText(std::string_view utf8);
    // True when the estimate says the text surely fits on one line.
    bool fitsOnOneLine(const Face& face, std::string_view cp1252, double width) const;
    double estimatedWidth(const Face& face, std::string_view cp1252) const;
    // False when some byte has no glyph of its own.
    bool paintGlyphs(QPainter& painter, const Face& face, std::string_view cp1252, QPointF baseline) const;
    int wrappedLineCount(const QString& text, const QFont& font, double width) const;
    void paintWrapped(QPainter& painter, const QString& text, const QFont& font, double left, double top,
                      double width) const;

    QPaintDevice* m_device;
    double m_dotsPerMm;
    std::array<Face, 5> m_faces;
};

} // namespace exporting
