#include "export/PageText.h"

#include "export/FullText.h"
#include "export/TableLook.h"
#include "model/Cp1252.h"
#include "model/Utf8.h"

#include <QPaintDevice>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

namespace exporting {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerInch = 72;
constexpr int kBodyPoints = kTableLook.bodyPoints;
constexpr int kTitlePoints = kTableLook.titlePoints;
constexpr int kHeadingPoints = kTableLook.headingPoints;
constexpr int kFooterPoints = kTableLook.footerPoints;
// Shaping may make a text a little wider than its summed advances (kerning);
// a text this close to the width goes through the full layout instead.
constexpr double kFitMargin = 0.97;

QColor colourOf(const TextColour& colour)
{
    if (colour.automatic)
        return Qt::black;
    return QColor(static_cast<int>(colour.rgb & 0xFF), static_cast<int>((colour.rgb >> 8) & 0xFF),
                  static_cast<int>((colour.rgb >> 16) & 0xFF));
}

QTextOption wrapOption()
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

} // namespace

PageText::PageText(QPaintDevice& device)
    : m_device(&device),
      m_dotsPerMm(device.logicalDpiY() / kMmPerInch),
      m_faces{makeFace(kBodyPoints, false), makeFace(kBodyPoints, true), makeFace(kTitlePoints, true),
              makeFace(kHeadingPoints, true), makeFace(kFooterPoints, false)}
{
}

PageText::Face PageText::makeFace(int pointSize, bool bold) const
{
    // The look's font where the reader has it; fontconfig gives its metric twin here.
    QFont font;
    font.setFamilies({QString::fromLatin1(kTableLook.fontFamily), QString::fromLatin1(kTableLook.fallbackFamily),
                      QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    font.setBold(bold);
    Face face{font, QFontMetricsF(font, m_device), {}, QRawFont::fromFont(font), {}};
    face.raw.setPixelSize(pointSize * m_device->logicalDpiY() / kPointsPerInch);
    QString all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b) {
        all[b] = QChar(model::cp1252ToUnicode(static_cast<unsigned char>(b)));
        face.advance[static_cast<std::size_t>(b)] = face.metrics.horizontalAdvance(all[b]);
    }
    const QList<quint32> glyphs = face.raw.glyphIndexesForString(all);
    for (int b = 0x20; b < 256 && b < glyphs.size(); ++b) // control bytes are never painted as glyphs
        face.glyph[static_cast<std::size_t>(b)] = glyphs[b];
    return face;
}

double PageText::estimatedWidth(const Face& face, std::string_view cp1252) const
{
    double width = 0;
    for (unsigned char b : cp1252)
        width += face.advance[b];
    return width;
}

bool PageText::fitsOnOneLine(const Face& face, std::string_view cp1252, double width) const
{
    return estimatedWidth(face, cp1252) <= width * kFitMargin;
}

int PageText::wrappedLineCount(const QString& text, const QFont& font, double width) const
{
    QTextLayout layout(text, font, m_device);
    layout.setTextOption(wrapOption());
    layout.beginLayout();
    int lines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        ++lines;
    }
    layout.endLayout();
    return std::max(lines, 1);
}

void PageText::paintWrapped(QPainter& painter, const QString& text, const QFont& font, double left, double top,
                            double width) const
{
    QTextLayout layout(text, font, m_device);
    layout.setTextOption(wrapOption());
    const double lineHeight = QFontMetricsF(font, m_device).lineSpacing();
    layout.beginLayout();
    double y = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y)); // the same line pitch as measured
        y += lineHeight;
    }
    layout.endLayout();
    layout.draw(&painter, QPointF(left, top));
}

std::optional<std::string_view> PageText::singleByteForm(std::string_view utf8, std::string& bytes)
{
    if (utf8.find_first_of("\r\n") != std::string_view::npos)
        return std::nullopt;
    if (isAscii(utf8))
        return utf8;
    if (!model::fitsCp1252(utf8))
        return std::nullopt;
    bytes = model::questionForm(utf8);
    return std::string_view(bytes);
}

QString PageText::layoutText(std::string_view utf8)
{
    QString text = QString::fromUtf8(utf8);
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    return text;
}

double PageText::cellTextHeight(const GridCell& cell, double width) const
{
    const Face& f = face(cell.bold ? Style::Bold : Style::Body);
    std::string bytes;
    const std::optional<std::string_view> single = singleByteForm(cell.text, bytes);
    if (single && fitsOnOneLine(f, *single, width))
        return f.metrics.lineSpacing();
    return wrappedLineCount(layoutText(cell.text), f.font, width) * f.metrics.lineSpacing();
}

void PageText::paintCell(QPainter& painter, const GridCell& cell, double left, double top, double width) const
{
    if (cell.text.empty())
        return;
    const Face& f = face(cell.bold ? Style::Bold : Style::Body);
    if (painter.font() != f.font)
        painter.setFont(f.font);
    painter.setPen(colourOf(cell.colour));
    std::string bytes;
    const std::optional<std::string_view> single = singleByteForm(cell.text, bytes);
    if (!single || !fitsOnOneLine(f, *single, width)) {
        paintWrapped(painter, layoutText(cell.text), f.font, left, top, width);
        return;
    }
    const double x = cell.centred ? left + (width - estimatedWidth(f, *single)) / 2 : left;
    const QPointF baseline(x, top + f.metrics.ascent());
    if (!paintGlyphs(painter, f, *single, baseline))
        painter.drawText(baseline, QString::fromUtf8(cell.text));
}

bool PageText::paintGlyphs(QPainter& painter, const Face& face, std::string_view cp1252, QPointF baseline) const
{
    QList<quint32> glyphs(static_cast<qsizetype>(cp1252.size()));
    QList<QPointF> positions(static_cast<qsizetype>(cp1252.size()));
    double x = 0;
    for (std::size_t i = 0; i < cp1252.size(); ++i) {
        const auto b = static_cast<unsigned char>(cp1252[i]);
        if (face.glyph[b] == 0)
            return false;
        glyphs[static_cast<qsizetype>(i)] = face.glyph[b];
        positions[static_cast<qsizetype>(i)] = QPointF(x, 0);
        x += face.advance[b];
    }
    QGlyphRun run;
    run.setRawFont(face.raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(baseline, run);
    return true;
}

double PageText::paragraphHeight(const QString& text, Style style, double width) const
{
    const Face& f = face(style);
    return wrappedLineCount(text, f.font, width) * f.metrics.lineSpacing();
}

void PageText::paintParagraph(QPainter& painter, const QString& text, Style style, double left, double top,
                              double width) const
{
    const Face& f = face(style);
    painter.setFont(f.font);
    painter.setPen(Qt::black);
    paintWrapped(painter, text, f.font, left, top, width);
}

void PageText::paintLine(QPainter& painter, const QString& text, Style style, double left, double top) const
{
    const Face& f = face(style);
    if (painter.font() != f.font)
        painter.setFont(f.font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(left, top + f.metrics.ascent()), text);
}

} // namespace exporting
