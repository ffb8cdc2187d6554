#include "ui/NodeDelegate.h"

#include "model/LevelStyle.h"
#include "model/Utf8.h"
#include "ui/Cp1252Validator.h"
#include "ui/TreeAdapter.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>

namespace ui {

namespace {
constexpr qreal kBandStrength = 0.4; // share of the highlight colour in the band

QColor systemHighlight()
{
    return QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
}
} // namespace

QColor selectionBand()
{
    const QColor h = systemHighlight();
    auto mix = [](int over, int under) { return qRound(kBandStrength * over + (1 - kBandStrength) * under); };
    return QColor(mix(h.red(), kCream.red()), mix(h.green(), kCream.green()), mix(h.blue(), kCream.blue()));
}

QColor selectionEdge()
{
    return systemHighlight();
}

QColor changeTint(RowChange change)
{
    switch (change) {
    case RowChange::Added: return {218, 242, 218};
    case RowChange::Moved: return {218, 230, 250};
    case RowChange::Changed: return {252, 234, 200};
    case RowChange::Removed: return {250, 218, 218};
    case RowChange::None: break;
    }
    return kCream;
}

QColor changeBar(RowChange change)
{
    switch (change) {
    case RowChange::Added: return {40, 160, 60};
    case RowChange::Moved: return {50, 105, 205};
    case RowChange::Changed: return {225, 140, 20};
    case RowChange::Removed: return {200, 50, 50};
    case RowChange::None: break;
    }
    return kCream;
}

NodeDelegate::NodeDelegate(LevelColour levelColour, QObject* parent)
    : QStyledItemDelegate(parent), m_levelColour(std::move(levelColour))
{
}

QStyleOptionViewItem NodeDelegate::nodeOption(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option; // a fresh copy of the view's font for every node
    initStyleOption(&opt, index);
    const int level = index.data(TreeAdapter::LevelRole).toInt();
    const QColor text = level < model::kLevelCount ? m_levelColour(level) : QColor(Qt::black);
    if (level == 0)
        opt.font.setBold(true);
    opt.backgroundBrush = kCream;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        opt.palette.setColor(group, QPalette::Text, text);
        opt.palette.setColor(group, QPalette::HighlightedText, text);
        opt.palette.setColor(group, QPalette::Highlight, kCream);
    }
    return opt;
}

const QStaticText& NodeDelegate::laidOut(const QString& text, const QFont& font) const
{
    // Shaping a line of text costs far more than drawing it; the rows on
    // screen are drawn again at every click, so their layouts are kept.
    const QString key = font.bold() ? text + QChar(1) : text;
    if (auto it = m_layouts.find(key); it != m_layouts.end())
        return *it;
    if (m_layouts.size() >= kMaxLayouts) {
        m_layouts.clear();
        m_shifts.clear();
    }
    QStaticText laid(text);
    laid.setTextFormat(Qt::PlainText);
    laid.prepare(QTransform(), font);
    return *m_layouts.insert(key, laid);
}

// How far a line drawn centred in the row must move so that its baseline
// meets the row font's. A line with characters the font lacks is laid out
// with a fallback font (a CJK one is much taller), which would set it lower
// than its neighbours and the notes behind it; Latin-1 text needs no shift.
qreal NodeDelegate::baselineShift(const QString& text, const QFont& font, const QStaticText& laid) const
{
    if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; }))
        return 0;
    const QString key = font.bold() ? text + QChar(1) : text;
    if (auto it = m_shifts.find(key); it != m_shifts.end())
        return *it;
    QTextLayout layout(text, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e9); // one line, however long
    layout.endLayout();
    const QFontMetricsF metrics(font);
    const qreal shift = (laid.size().height() - metrics.height()) / 2 + metrics.ascent() - line.ascent();
    return *m_shifts.insert(key, shift);
}

void NodeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QStyleOptionViewItem opt = nodeOption(option, index);
    // Focus and hover change nothing; a selected row lies on the band (the
    // view draws the band's edges across the whole row).
    const bool selected = opt.state & QStyle::State_Selected;
    painter->save();
    const RowChange change = changeOf(index);
    painter->fillRect(opt.rect, selected ? selectionBand() : changeTint(change));
    if (change != RowChange::None)
        painter->fillRect(QRect(opt.rect.left(), opt.rect.top(), kChangeBarWidth, opt.rect.height()), changeBar(change));
    painter->setClipRect(opt.rect);
    painter->setFont(opt.font);
    const QColor text = opt.palette.color(QPalette::Text);
    painter->setPen(text);
    const QStaticText& laid = laidOut(opt.text, opt.font);
    const int margin = opt.widget ? opt.widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, &opt, opt.widget) + 1 : 3;
    // The notes behind the label are laid out in the row's own font, centred.
    const auto centred = [&](const QStaticText& line) { return opt.rect.top() + (opt.rect.height() - line.size().height()) / 2; };
    const qreal top = centred(laid) + baselineShift(opt.text, opt.font, laid);
    if (rowMarked(index))
        painter->fillRect(QRectF(opt.rect.left() + margin - 2, opt.rect.top() + 1, laid.size().width() + 4,
                                 opt.rect.height() - 2),
                          kRowMark);
    const TextMark found = markOf(index);
    paintMark(painter, opt, found, opt.rect.left() + margin);
    painter->drawStaticText(QPointF(opt.rect.left() + margin, top), laid);
    const Annotation note = annotationOf(index);
    qreal end = opt.rect.left() + margin + laid.size().width();
    QFont plain = opt.font;
    plain.setBold(false); // a note, not part of a level-0 label
    if (note.present()) {
        painter->setFont(plain);
        painter->setPen(note.warning ? kAnnotationWarning : kAnnotationGrey);
        const QString drawn = QString::fromLatin1(kAnnotationGap) + note.text;
        const QStaticText& after = laidOut(drawn, plain);
        painter->drawStaticText(QPointF(end, centred(after)), after);
        end += after.size().width();
    }
    if (found.inNote) {
        painter->setFont(plain);
        const QStaticText& said = laidOut(QString::fromLatin1(kFoundInNote), plain);
        const QStaticText& gap = laidOut(QString::fromLatin1(kAnnotationGap), plain);
        const qreal x = end + gap.size().width();
        painter->fillRect(QRectF(x - 1, opt.rect.top() + 1, said.size().width() + 2, opt.rect.height() - 2),
                          found.noteCurrent ? kCurrentFoundMark : kFoundMark);
        painter->setPen(text); // grey would not read on the stronger mark
        painter->drawStaticText(QPointF(x, centred(said)), said);
    }
    if (hasNote(index))
        paintNoteMarker(painter, opt.rect);
    if (m_paintHook)
        m_paintHook(index, opt.text, note.text);
    painter->restore();
}

void NodeDelegate::paintNoteMarker(QPainter* painter, const QRect& row) const
{
    const QPointF corner(row.right() + 1, row.top());
    const QPointF points[] = {corner - QPointF(kNoteMarkerSize, 0), corner, corner + QPointF(0, kNoteMarkerSize)};
    painter->setPen(Qt::NoPen);
    painter->setBrush(kNoteMarker);
    painter->drawPolygon(points, 3);
}

QString NodeDelegate::noteLineOf(const QModelIndex& index) const
{
    const std::string* note = m_noteFinder ? m_noteFinder(index) : nullptr;
    if (!note)
        return {};
    // A note may be a megabyte on one line: only what the hint shows is decoded.
    std::string_view line(*note);
    line = line.substr(0, line.find('\n'));
    const std::size_t shown = model::utf8Offset(line, kNoteHintLength);
    QString text = QString::fromUtf8(line.data(), static_cast<qsizetype>(shown));
    if (shown < line.size())
        text += QChar(0x2026);
    if (text.endsWith(QLatin1Char('\r')))
        text.chop(1);
    return text;
}

void NodeDelegate::paintMark(QPainter* painter, const QStyleOptionViewItem& opt, const TextMark& mark, qreal left) const
{
    if (!mark.marked() || mark.start >= opt.text.size())
        return;
    const QFontMetricsF metrics(opt.font);
    const qreal x = left + metrics.horizontalAdvance(opt.text.left(mark.start));
    const qreal width = metrics.horizontalAdvance(opt.text.mid(mark.start, mark.length));
    painter->fillRect(QRectF(x, opt.rect.top() + 1, width, opt.rect.height() - 2),
                      mark.current ? kCurrentFoundMark : kFoundMark);
}

QWidget* NodeDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setMaxLength(LabelValidator::kEditorLength);
        line->setValidator(new LabelValidator([this] { emit labelCut(); }, line));
        // White with a frame: an open editor must not pass for a row.
        line->setStyleSheet(QStringLiteral("QLineEdit { background: white; border: 1px solid %1; padding: 0px; }")
                                .arg(selectionEdge().name()));
    }
    return editor;
}

void NodeDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    editor->setGeometry(option.rect); // the whole row's height, so the frame shows all round
}

} // namespace ui
