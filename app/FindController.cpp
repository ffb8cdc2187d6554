#include "app/FindController.h"

#include "app/Commands.h"

#include "app/TreeColumns.h"
#include "model/Design.h"
#include "model/Numbering.h"
#include "model/Utf8.h"
#include "ui/FindBar.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>

namespace app {

using model::FoundLabel;
using model::TreeId;

namespace {

const auto before = model::foundBefore;

ui::NodeDelegate* delegateOf(TreeColumns& columns, TreeId id)
{
    return qobject_cast<ui::NodeDelegate*>(columns.view(id)->itemDelegate());
}

} // namespace

FindController::FindController(model::Design& design, TreeColumns& columns, ui::FindBar& bar,
                               SelectAsClick selectAsClick, QObject* parent)
    : QObject(parent),
      m_findAction(makeCommand(this, {.name = "Find1", .caption = "Find", .key = QKeySequence(Qt::CTRL | Qt::Key_F),
                                      .keyWorks = Qt::WindowShortcut})),
      m_design(design), m_columns(columns), m_bar(bar), m_selectAsClick(std::move(selectAsClick))
{
    connect(m_findAction, &QAction::triggered, this, &FindController::open);
    m_design.addObserver(this);
    connect(&m_bar, &ui::FindBar::queryChanged, this, &FindController::search);
    connect(&m_bar, &ui::FindBar::nextRequested, this, &FindController::next);
    connect(&m_bar, &ui::FindBar::previousRequested, this, &FindController::previous);
    connect(&m_bar, &ui::FindBar::closed, this, &FindController::closed);
    for (TreeId id : model::kAllTrees)
        if (ui::NodeDelegate* delegate = delegateOf(m_columns, id))
            delegate->setMarkFinder([this, id](const QModelIndex& index) { return markOf(id, index); });
}

// Goes before the columns: their delegates stop asking for marks here.
FindController::~FindController()
{
    for (TreeId id : model::kAllTrees)
        if (ui::NodeDelegate* delegate = delegateOf(m_columns, id))
            delegate->setMarkFinder({});
    m_design.removeObserver(this);
}

void FindController::open()
{
    if (!m_bar.isVisible())
        m_focusBefore = QApplication::focusWidget();
    m_bar.open();
    search(m_bar.query());
}

void FindController::search(const QString& query)
{
    model::LabelSearch search = model::LabelSearch::ofUtf8(query.toStdString());
    if (search.empty())
        m_matches.clear();
    else if (!m_stale && search.narrows(m_search))
        m_matches = search.findAmong(m_design, m_matches);
    else
        m_matches = search.findAll(m_design);
    m_search = std::move(search);
    m_stale = false;
    m_active = !query.isEmpty();
    m_visited = false;
    pickCurrentNearSelection();
    showCount();
    repaint();
}

int FindController::firstMatchFrom(const FoundLabel& place) const
{
    const auto at = std::lower_bound(m_matches.begin(), m_matches.end(), place, before);
    return m_matches.empty() ? -1 : at == m_matches.end() ? 0 : static_cast<int>(at - m_matches.begin());
}

void FindController::pickCurrentNearSelection()
{
    m_current = firstMatchFrom({std::max(0, m_columns.selectedRow(TreeId::FR)), TreeId::FR});
}

void FindController::stepFinished(const model::StepChanges& changes)
{
    using model::StepChanges;
    // Aspects: a note or a full label may have changed.
    if (changes.has(StepChanges::Structure | StepChanges::Texts | StepChanges::Replaced | StepChanges::Aspects))
        researchSoon();
}

void FindController::researchSoon()
{
    m_stale = true;
    if (!m_active || m_researchQueued)
        return;
    // From the event loop: the step that changed the labels selects its row
    // only after the design has told of it, and the current match starts there.
    m_researchQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_researchQueued = false;
        if (!m_active || !m_stale)
            return;
        // The current match stays where it was, or moves to the next one.
        const std::optional<FoundLabel> was =
            m_current >= 0 ? std::optional(m_matches[static_cast<std::size_t>(m_current)]) : std::nullopt;
        m_matches = m_search.findAll(m_design);
        m_stale = false;
        if (was)
            m_current = firstMatchFrom(*was);
        else
            pickCurrentNearSelection();
        showCount();
        repaint();
    });
}

void FindController::next()
{
    go(+1);
}

void FindController::previous()
{
    go(-1);
}

void FindController::go(int step)
{
    if (m_stale)
        search(m_bar.query());
    if (m_matches.empty())
        return;
    // The first Enter after typing goes to the current match itself; the
    // first Shift+Enter to the one before it.
    const int n = static_cast<int>(m_matches.size());
    if (m_visited || step < 0)
        m_current = (m_current + step + n) % n;
    m_visited = true;
    const FoundLabel match = m_matches[static_cast<std::size_t>(m_current)];
    // A click selects only rows on screen: open the branches above the match first.
    const model::DesignTree& fr = m_design.tree(TreeId::FR);
    std::vector<int> ancestors;
    for (const model::Node* p = fr.parentOf(fr.nodeAt(match.row)); p; p = fr.parentOf(p))
        ancestors.push_back(fr.rowOf(p));
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        m_columns.setExpanded(*it, true);
    m_selectAsClick(match.tree, match.row);
    showCount();
    repaint();
}

void FindController::closed()
{
    m_active = false;
    m_search = model::LabelSearch(); // nothing left to narrow: opened again, the bar searches anew
    m_matches.clear();
    m_current = -1;
    repaint();
    // The keys go back where they went before the bar opened.
    QWidget* back = m_focusBefore ? m_focusBefore.data() : m_columns.view(TreeId::FR);
    back->setFocus(Qt::OtherFocusReason);
}

ui::TextMark FindController::markOf(TreeId tree, const QModelIndex& index) const
{
    if (!m_active || m_search.empty() || !index.isValid())
        return {};
    const ui::TreeAdapter* adapter = m_columns.adapter(tree);
    const int row = adapter->rowOf(index);
    const auto isCurrent = [&](bool inNote) {
        return m_current >= 0 && !m_stale && m_matches[static_cast<std::size_t>(m_current)] == FoundLabel{row, tree, inNote};
    };
    ui::TextMark mark = labelMarkOf(tree, adapter->tree().nodeAt(row));
    mark.current = mark.start >= 0 && isCurrent(false);
    // The notes are not searched again for every row drawn: a note may be a
    // megabyte. The last search says which hold the query.
    if (!m_design.notes().empty() && !m_stale)
        mark.inNote = std::binary_search(m_matches.begin(), m_matches.end(), FoundLabel{row, tree, true}, before);
    mark.noteCurrent = mark.inNote && isCurrent(true);
    return mark;
}

// Where the label as shown holds the query, in the characters of the text shown.
ui::TextMark FindController::labelMarkOf(TreeId tree, const model::Node* node) const
{
    if (m_design.fullLabels().empty()) { // one character a byte, as ever
        const std::size_t at = m_search.findIn(node->text());
        if (at == std::string_view::npos)
            return {};
        return {static_cast<int>(at), static_cast<int>(m_search.querySize())};
    }
    const std::string full = m_design.fullText(tree, node);
    const std::size_t at = m_search.findInUtf8(full, model::utf8Offset(full, model::labelOffset(node->text())));
    if (at == std::string_view::npos)
        return {};
    const auto start = QString::fromUtf8(full.data(), static_cast<qsizetype>(at)).size();
    const auto length = QString::fromUtf8(full.data() + at, static_cast<qsizetype>(m_search.utf8Size())).size();
    return {static_cast<int>(start), static_cast<int>(length)};
}

void FindController::showCount()
{
    const bool inNote = m_current >= 0 && m_matches[static_cast<std::size_t>(m_current)].inNote;
    m_bar.showCount(m_current + 1, static_cast<int>(m_matches.size()), inNote);
}

void FindController::repaint()
{
    for (TreeId id : model::kAllTrees)
        m_columns.view(id)->viewport()->update();
}

} // namespace app
