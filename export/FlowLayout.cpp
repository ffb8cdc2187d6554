// The flow diagram's layout, in two walks over the rows without recursion, so
// that a design of any depth lays out: children before parents (the rows
// backwards) measure every box from the boxes inside it, then parents before
// children (the rows forwards) place each box inside its parent's and emit
// what is drawn.
#include "export/FlowDiagram.h"

#include "export/TableDocument.h"
#include "export/TableLook.h"
#include "model/DesignTree.h"
#include "model/MatrixClassification.h"

#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>

namespace exporting {
namespace {

constexpr int kFontPixels = 12;
constexpr double kMargin = 12;
constexpr double kTextWidth = 220; // a longer label wraps
constexpr double kModulePadX = 7;
constexpr double kModulePadY = 4;
constexpr double kMinModuleWidth = 64;
constexpr double kGroupPad = 8;
constexpr double kTitleGap = 6;
constexpr double kChildGap = 16;
constexpr double kLoopRoom = 16;   // left of a feedback group's children, for the arrow back
constexpr double kBusGap = 16;     // from the widest child to the line that collects the outputs
constexpr double kJunctionGap = 14;
constexpr double kOutLength = 14;  // from a junction to its parent's edge
constexpr double kSystemOut = 26;  // the whole design's output arrow
constexpr double kOrderInset = 14; // a control arrow's distance from the children's left edge
constexpr double kR = FlowLayout::kJunctionRadius;

Junction junctionOf(model::Coupling coupling)
{
    switch (coupling) {
    case model::Coupling::Uncoupled:
        return Junction::Summation;
    case model::Coupling::Decoupled:
        return Junction::Control;
    case model::Coupling::Coupled:
        return Junction::Feedback;
    case model::Coupling::Incomplete:
        break;
    }
    return Junction::Incomplete;
}

// Greedy word wrap within `width`; a word wider than that keeps a line of its own.
QStringList wrapped(const QFontMetricsF& metrics, const QString& text, double width, double& widest)
{
    const double whole = metrics.horizontalAdvance(text);
    if (whole <= width) {
        widest = whole;
        return {text};
    }
    QStringList lines;
    QString line;
    widest = 0;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            widest = std::max(widest, metrics.horizontalAdvance(line));
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    widest = std::max(widest, metrics.horizontalAdvance(line));
    lines << line;
    return lines;
}

// What the first walk finds out about a row (or the top level), relative to its box's top left.
struct Measure {
    double width = 0;
    double height = 0;
    double port = 0;          // the height of its output on its right edge
    QStringList lines;        // a module's label, a parent's title
    std::vector<const model::Node*> children; // in the order they stand
    std::vector<double> childTops;
    Junction junction = Junction::Incomplete; // with two or more children
    double childLeft = 0;
    double junctionX = 0;     // centre
};

class FlowBuilder {
public:
    explicit FlowBuilder(const ExportSource& source)
        : m_source(source), m_metrics(font()), m_titleMetrics(boldFont())
    {
        m_layout.font = font();
        m_layout.ascent = m_metrics.ascent();
    }

    FlowLayout build()
    {
        const model::DesignTree* fr = m_source.trees[0];
        if (!fr || fr->empty() || !m_source.trees[1])
            return {};
        m_rows = tableRowsOf(m_source, m_texts);
        const std::span<const model::Node* const> order = fr->preorder();
        m_measures.resize(order.size() + 1); // the top level last
        m_origins.resize(order.size());
        for (std::size_t row = order.size(); row-- > 0;)
            measure(order[row], row);
        const Measure& top = measureGroup(fr->root(), order.size(), true);
        const QPointF origin(kMargin, kMargin);
        placeTop(fr->root(), origin);
        for (std::size_t row = 0; row < order.size(); ++row)
            place(order[row], row);
        m_layout.arrows.push_back({QPolygonF({origin + QPointF(top.width, top.port),
                                              origin + QPointF(top.width + kSystemOut, top.port)})});
        m_layout.size = QSizeF(kMargin + top.width + kSystemOut + kMargin, kMargin + top.height + kMargin);
        std::sort(m_layout.breaks.begin(), m_layout.breaks.end());
        return std::move(m_layout);
    }

private:
    static QFont font()
    {
        QFont f(QString::fromLatin1(kTableLook.fontFamily));
        f.setPixelSize(kFontPixels);
        return f;
    }
    static QFont boldFont()
    {
        QFont f = font();
        f.setBold(true);
        return f;
    }
    double lineHeight() const { return m_metrics.height(); }

    QString labelOf(std::size_t row) const
    {
        const TableRow& r = m_rows[row];
        QString text = QString::fromUtf8(r.number);
        if (!r.labels[1].empty())
            text += QLatin1Char(' ') + QString::fromUtf8(r.labels[1]);
        return text;
    }

    void measure(const model::Node* node, std::size_t row)
    {
        if (!node->children.empty()) {
            measureGroup(node, row, false);
            return;
        }
        Measure& m = m_measures[row];
        double widest = 0;
        m.lines = wrapped(m_metrics, labelOf(row), kTextWidth, widest);
        m.width = std::max(widest + 2 * kModulePadX, kMinModuleWidth);
        m.height = lineHeight() * static_cast<double>(m.lines.size()) + 2 * kModulePadY;
        m.port = m.height / 2;
    }

    // The children one under another, in the order the junction asks for.
    const Measure& measureGroup(const model::Node* parent, std::size_t row, bool top)
    {
        Measure& m = m_measures[row];
        const auto n = static_cast<std::uint32_t>(parent->children.size());
        std::vector<std::uint32_t> order;
        if (n >= 2) {
            const model::Classification c = m_source.matrices
                                                ? model::classify(*m_source.matrices, parent, model::MatrixKind::FrDp)
                                                : model::classify(n, {});
            m.junction = junctionOf(c.coupling);
            if (m.junction == Junction::Control)
                order = c.order;
        }
        if (order.empty())
            for (std::uint32_t i = 0; i < n; ++i)
                order.push_back(i);
        double titleWidth = 0;
        if (!top)
            m.lines = wrapped(m_titleMetrics, labelOf(row), kTextWidth, titleWidth);
        m.childLeft = (top ? 0 : kGroupPad) + (n >= 2 && m.junction == Junction::Feedback ? kLoopRoom : 0);
        double y = top ? 0 : kGroupPad / 2 + m_titleMetrics.height() * static_cast<double>(m.lines.size()) + kTitleGap;
        double widest = 0;
        for (std::uint32_t i : order) {
            const model::Node* child = parent->children[i];
            const Measure& c = m_measures[child->row];
            m.children.push_back(child);
            m.childTops.push_back(y);
            widest = std::max(widest, c.width);
            y += c.height + kChildGap;
        }
        const double bottom = y - kChildGap;
        const Measure& first = m_measures[m.children.front()->row];
        const Measure& last = m_measures[m.children.back()->row];
        double right = 0;
        if (n == 1) {
            m.port = m.childTops.front() + first.port;
            right = m.childLeft + first.width + (top ? 0 : kGroupPad);
        } else {
            m.port = (m.childTops.front() + first.port + m.childTops.back() + last.port) / 2;
            m.junctionX = m.childLeft + widest + kBusGap + kJunctionGap + kR;
            right = m.junctionX + kR + kOutLength;
        }
        m.width = top ? right : std::max(right, titleWidth + 2 * kGroupPad);
        m.height = top ? bottom : bottom + kGroupPad;
        return m;
    }

    void placeTop(const model::Node* root, QPointF origin)
    {
        const Measure& m = m_measures.back();
        if (m.children.size() >= 2)
            placeChildren(m, origin, -1); // the top level
        else
            m_origins[root->children.front()->row] = origin;
    }

    void place(const model::Node* node, std::size_t row)
    {
        const Measure& m = m_measures[row];
        const QPointF origin = m_origins[row];
        const QRectF box(origin, QSizeF(m.width, m.height));
        const int level = m_rows[row].level;
        m_layout.boxes.push_back({box, static_cast<int>(row), level, node->children.empty()});
        if (node->children.empty()) {
            addLines(m.lines, origin + QPointF(kModulePadX, kModulePadY), false);
            return;
        }
        addLines(m.lines, origin + QPointF(kGroupPad, kGroupPad / 2), true);
        if (m.children.size() >= 2) {
            placeChildren(m, origin, static_cast<int>(row));
            m_layout.arrows.push_back({QPolygonF({origin + QPointF(m.junctionX + kR, m.port),
                                                  QPointF(box.right(), origin.y() + m.port)}),
                                       FlowArrow::Kind::Flow, false});
            return;
        }
        // One child: no junction, its output runs on to the edge.
        const Measure& child = m_measures[m.children.front()->row];
        const QPointF childOrigin = origin + QPointF(m.childLeft, m.childTops.front());
        m_origins[m.children.front()->row] = childOrigin;
        m_layout.arrows.push_back({QPolygonF({childOrigin + QPointF(child.width, child.port),
                                              QPointF(box.right(), childOrigin.y() + child.port)}),
                                   FlowArrow::Kind::Flow, false});
    }

    // Two or more children: their outputs collected into the junction, and the arrows its letter asks for.
    void placeChildren(const Measure& m, QPointF origin, int parentRow)
    {
        const double busX = origin.x() + m.junctionX - kR - kJunctionGap;
        const double left = origin.x() + m.childLeft;
        std::vector<QPointF> ports;
        for (std::size_t i = 0; i < m.children.size(); ++i) {
            const Measure& c = m_measures[m.children[i]->row];
            const QPointF at(left, origin.y() + m.childTops[i]);
            m_origins[m.children[i]->row] = at;
            ports.push_back(at + QPointF(0, c.port));
            m_layout.arrows.push_back({QPolygonF({at + QPointF(c.width, c.port), QPointF(busX, at.y() + c.port)}),
                                       FlowArrow::Kind::Flow, false});
            if (i + 1 < m.children.size()) {
                const double bottom = at.y() + c.height;
                const double next = origin.y() + m.childTops[i + 1];
                m_layout.breaks.push_back((bottom + next) / 2);
                if (m.junction == Junction::Control)
                    m_layout.arrows.push_back({QPolygonF({QPointF(left + kOrderInset, bottom),
                                                          QPointF(left + kOrderInset, next)}),
                                               FlowArrow::Kind::Order});
            }
        }
        const QPointF centre = origin + QPointF(m.junctionX, m.port);
        m_layout.arrows.push_back({QPolygonF({QPointF(busX, ports.front().y()), QPointF(busX, ports.back().y())}),
                                   FlowArrow::Kind::Flow, false});
        m_layout.arrows.push_back({QPolygonF({QPointF(busX, centre.y()), centre - QPointF(kR, 0)})});
        if (m.junction == Junction::Feedback) {
            const double loopX = left - kLoopRoom / 2;
            m_layout.arrows.push_back({QPolygonF({ports.back(), QPointF(loopX, ports.back().y()),
                                                  QPointF(loopX, ports.front().y()), ports.front()}),
                                       FlowArrow::Kind::Feedback});
        }
        m_layout.junctions.push_back({centre, parentRow, m.junction});
    }

    void addLines(const QStringList& lines, QPointF at, bool title)
    {
        const QFontMetricsF& metrics = title ? m_titleMetrics : m_metrics;
        for (const QString& line : lines) {
            m_layout.texts.push_back({QRectF(at, QSizeF(metrics.horizontalAdvance(line), metrics.height())), line, title});
            at.ry() += metrics.height();
        }
    }

    const ExportSource& m_source;
    QFontMetricsF m_metrics;
    QFontMetricsF m_titleMetrics;
    std::vector<TableRow> m_rows;
    TextKeeper m_texts; // the labels that are not viewed where the design holds them
    std::vector<Measure> m_measures;
    std::vector<QPointF> m_origins; // by row
    FlowLayout m_layout;
};

} // namespace

FlowLayout layoutFlowDiagram(const ExportSource& source)
{
    return FlowBuilder(source).build();
}

} // namespace exporting
