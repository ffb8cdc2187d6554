// The flow diagram painted: on any QPainter (the window, the printed pages),
// as an SVG document and as PNG pictures.
#include "export/FlowDiagram.h"

#include "model/UserError.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <array>
#include <cmath>

namespace exporting {
namespace {

const QColor kModuleFill(0xff, 0xfe, 0xf8);
const QColor kModuleLine(0x3a, 0x5a, 0x7a);
const QColor kGroupFills[2] = {QColor(0xf2, 0xf5, 0xf9), QColor(0xe6, 0xec, 0xf3)}; // by depth, alternating
const QColor kGroupLine(0x8a, 0x9b, 0xb0);
const QColor kTitleColour(0x1d, 0x35, 0x57);
const QColor kTextColour(0x20, 0x20, 0x20);
const QColor kFlowColour(0x50, 0x50, 0x50);
const QColor kGreyedText(0xb8, 0xc0, 0xcc);
constexpr double kHeadLength = 7;
constexpr double kHeadHalfWidth = 3.5;
constexpr double kSmallestReadableText = 5; // device pixels of line height
// A PNG of more pixels than this is drawn smaller: the picture of a huge design would not fit in memory.
constexpr double kMostPngPixels = 100e6;
constexpr double kMostPngSide = 32000;

// The pane's colours for the classifications: green, amber, red, grey.
QColor colourOf(Junction kind)
{
    switch (kind) {
    case Junction::Summation:
        return {0x1e, 0x7b, 0x1e};
    case Junction::Control:
        return {0xb2, 0x6b, 0x00};
    case Junction::Feedback:
        return {0xc6, 0x28, 0x28};
    case Junction::Incomplete:
        break;
    }
    return {0x77, 0x77, 0x77};
}

QColor colourOf(FlowArrow::Kind kind)
{
    switch (kind) {
    case FlowArrow::Kind::Order:
        return colourOf(Junction::Control);
    case FlowArrow::Kind::Feedback:
        return colourOf(Junction::Feedback);
    case FlowArrow::Kind::Flow:
        break;
    }
    return kFlowColour;
}

// The arrowhead at the end of an arrow's path.
QPolygonF headOf(const FlowArrow& arrow)
{
    const QPointF tip = arrow.path.back();
    const QPointF from = arrow.path[arrow.path.size() - 2];
    const double length = std::hypot(tip.x() - from.x(), tip.y() - from.y());
    if (length <= 0)
        return {};
    const QPointF along = (tip - from) / length;
    const QPointF across(-along.y(), along.x());
    const QPointF base = tip - along * kHeadLength;
    return QPolygonF({tip, base + across * kHeadHalfWidth, base - across * kHeadHalfWidth});
}

constexpr std::array<FlowArrow::Kind, 3> kArrowKinds = {FlowArrow::Kind::Flow, FlowArrow::Kind::Order,
                                                        FlowArrow::Kind::Feedback};
constexpr std::array<Junction, 4> kJunctions = {Junction::Summation, Junction::Control, Junction::Feedback,
                                                Junction::Incomplete};

// Everything of one look is painted in one run: an SVG writes the look once
// for a run, rather than once for every line and box.
class FlowPainter {
public:
    FlowPainter(QPainter& painter, const FlowLayout& layout, const QRectF& visible)
        : m_painter(painter), m_layout(layout), m_visible(visible)
    {
    }

    // Parents level by level from the top, each inside the one before, then the modules.
    void boxes()
    {
        std::vector<const FlowBox*> parents;
        for (const FlowBox& box : m_layout.boxes)
            if (!box.module && shows(box.rect))
                parents.push_back(&box);
        std::stable_sort(parents.begin(), parents.end(),
                         [](const FlowBox* a, const FlowBox* b) { return a->depth < b->depth; });
        m_painter.setPen(QPen(kGroupLine, 1.0));
        for (std::size_t i = 0; i < parents.size(); ++i) {
            if (i == 0 || parents[i]->depth % 2 != parents[i - 1]->depth % 2)
                m_painter.setBrush(kGroupFills[parents[i]->depth % 2]);
            m_painter.drawRect(parents[i]->rect);
        }
        m_painter.setPen(QPen(kModuleLine, 1.0));
        m_painter.setBrush(kModuleFill);
        for (const FlowBox& box : m_layout.boxes)
            if (box.module && shows(box.rect))
                m_painter.drawRect(box.rect);
    }

    void arrows()
    {
        m_painter.setBrush(Qt::NoBrush);
        for (FlowArrow::Kind kind : kArrowKinds) {
            m_painter.setPen(QPen(colourOf(kind), kind == FlowArrow::Kind::Flow ? 1.0 : 1.3));
            for (const FlowArrow& arrow : m_layout.arrows)
                if (arrow.kind == kind && shows(arrow))
                    m_painter.drawPolyline(arrow.path);
        }
        m_painter.setPen(Qt::NoPen);
        for (FlowArrow::Kind kind : kArrowKinds) {
            m_painter.setBrush(colourOf(kind));
            for (const FlowArrow& arrow : m_layout.arrows)
                if (arrow.kind == kind && arrow.head && arrow.path.size() >= 2 && shows(arrow))
                    m_painter.drawPolygon(headOf(arrow));
        }
    }

    void junctions()
    {
        const double r = FlowLayout::kJunctionRadius;
        QFont bold = m_layout.font;
        bold.setBold(true);
        m_painter.setFont(bold);
        m_painter.setBrush(Qt::white);
        for (Junction kind : kJunctions) {
            m_painter.setPen(QPen(colourOf(kind), 1.5));
            const QString letter(QChar(static_cast<char>(kind)));
            for (const FlowJunction& junction : m_layout.junctions) {
                const QRectF box(junction.centre - QPointF(r, r), QSizeF(2 * r, 2 * r));
                if (junction.kind != kind || !shows(box))
                    continue;
                m_painter.drawEllipse(box);
                m_painter.drawText(box, Qt::AlignCenter, letter);
            }
        }
    }

    // Texts too small to read, on a screen: a bar where each is, quickly.
    void texts(bool greyed)
    {
        for (bool title : {true, false}) {
            QFont font = m_layout.font;
            font.setBold(title);
            m_painter.setFont(font);
            m_painter.setPen(title ? kTitleColour : kTextColour);
            for (const FlowText& text : m_layout.texts) {
                if (text.title != title || !shows(text.rect))
                    continue;
                if (greyed) {
                    const double h = text.rect.height();
                    m_painter.fillRect(text.rect.adjusted(0, h * 0.3, 0, -h * 0.3), kGreyedText);
                } else {
                    m_painter.drawText(QPointF(text.rect.left(), text.rect.top() + m_layout.ascent), text.text);
                }
            }
        }
    }

private:
    bool shows(const QRectF& rect) const { return !m_visible.isValid() || m_visible.intersects(rect); }
    bool shows(const FlowArrow& arrow) const
    {
        return shows(arrow.path.boundingRect().adjusted(-kHeadLength, -kHeadLength, kHeadLength, kHeadLength));
    }

    QPainter& m_painter;
    const FlowLayout& m_layout;
    QRectF m_visible;
};

} // namespace

void paintFlowDiagram(QPainter& painter, const FlowLayout& layout, const QRectF& visible, bool onScreen)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    FlowPainter paint(painter, layout, visible);
    paint.boxes();
    paint.arrows();
    paint.junctions();
    paint.texts(onScreen && !layout.texts.empty()
                && layout.texts.front().rect.height() * painter.worldTransform().m22() < kSmallestReadableText);
    painter.restore();
}

std::string renderFlowSvg(const FlowLayout& layout)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QSize size(std::max(1, static_cast<int>(std::ceil(layout.size.width()))),
                     std::max(1, static_cast<int>(std::ceil(layout.size.height()))));
    {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setResolution(96);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Flow diagram"));
        svg.setDescription(QString());
        QPainter painter(&svg);
        paintFlowDiagram(painter, layout);
    }
    return buffer.data().toStdString();
}

std::string renderFlowPng(const FlowLayout& layout, double scale, double top, double bottom)
{
    if (bottom < 0)
        bottom = layout.size.height();
    const double width = std::max(layout.size.width(), 1.0);
    const double height = std::max(bottom - top, 1.0);
    scale = std::min({scale, std::sqrt(kMostPngPixels / (width * height)), kMostPngSide / width, kMostPngSide / height});
    QImage image(std::max(1, static_cast<int>(std::ceil(width * scale))),
                 std::max(1, static_cast<int>(std::ceil(height * scale))), QImage::Format_RGB32);
    if (image.isNull())
        throw model::UserError("Not enough memory for the picture");
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        painter.translate(0, -top);
        const QRectF piece(0, top, width, height);
        painter.setClipRect(piece);
        paintFlowDiagram(painter, layout, piece);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data().toStdString();
}

std::optional<PictureFormat> pictureFormatOfPath(std::string_view path)
{
    const QString name = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    const QString file = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    if (file.endsWith(QLatin1String(kSvgExtension), Qt::CaseInsensitive) && file.size() > 4)
        return PictureFormat::Svg;
    if (file.endsWith(QLatin1String(kPngExtension), Qt::CaseInsensitive) && file.size() > 4)
        return PictureFormat::Png;
    return std::nullopt;
}

void writeFlowPicture(const FlowLayout& layout, PictureFormat format, const std::string& path, FileWriter& writer)
{
    const std::string bytes =
        format == PictureFormat::Svg ? renderFlowSvg(layout) : renderFlowPng(layout, kSavedPngScale);
    try {
        writer.writeFile(path, bytes);
    } catch (const model::UserError&) {
        throw model::UserError("Cannot create file " + path);
    }
}

double flowCut(const FlowLayout& layout, double top, double room)
{
    const double end = layout.size.height();
    if (top + room >= end)
        return end;
    // The lowest gap that leaves the piece at least a third full; otherwise through whatever is there.
    const auto after = std::upper_bound(layout.breaks.begin(), layout.breaks.end(), top + room);
    if (after != layout.breaks.begin() && *std::prev(after) > top + room / 3)
        return *std::prev(after);
    return top + room;
}

} // namespace exporting
