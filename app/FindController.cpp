#include "app/FindController.h"

#include "app/Commands.h"

#include "app/TreeColumns.h"
#include "model/Design.h"
#include "ui/Cp1252.h"
#include "ui/FindBar.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>

namespace app {

using model::FoundLabel;
using model::TreeId;

namespace {

// Row order, and FR before DP before PV within a row.
bool before(const FoundLabel& a, const FoundLabel& b)
{
    return a.row != b.row ? a.row < b.row : model::index(a.tree) < model::index(b.tree);
}

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
    // A character Windows-1252 cannot hold is in no label: nothing is found.
    const auto bytes = ui::encodeCp1252(query);
    model::LabelSearch search(bytes ? *bytes : std::string());
    if (!bytes || search.empty())
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
    if (changes.has(StepChanges::Structure | StepChanges::Texts | StepChanges::Replaced))
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
    const std::size_t at = m_search.findIn(adapter->tree().nodeAt(row)->text());
    if (at == std::string_view::npos)
        return {};
    const bool current = m_current >= 0 && !m_stale && m_matches[static_cast<std::size_t>(m_current)] == FoundLabel{row, tree};
    return {static_cast<int>(at), static_cast<int>(m_search.querySize()), current};
}

void FindController::showCount()
{
    m_bar.showCount(m_current + 1, static_cast<int>(m_matches.size()));
}

void FindController::repaint()
{
    for (TreeId id : model::kAllTrees)
        m_columns.view(id)->viewport()->update();
}

} // namespace app
