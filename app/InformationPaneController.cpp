#include "app/InformationPaneController.h"

#include "app/Commands.h"
#include "app/TreeColumns.h"
#include "app/Workspace.h"
#include "ui/FullText.h"
#include "ui/InformationPane.h"
#include "ui/ToolbarIcons.h"

#include <QAction>
#include <QItemSelectionModel>

#include <cmath>

namespace app {

using model::TreeId;

InformationPaneController::InformationPaneController(Workspace& workspace, TreeColumns& columns, QWidget* window)
    : QObject(window), m_workspace(workspace), m_design(workspace.design()), m_columns(columns),
      m_pane(new ui::InformationPane(window)),
      m_toggle(makeCommand(this, {.caption = "Information content", .icon = ui::informationIcon(),
                                  .key = QKeySequence(Qt::CTRL | Qt::Key_I), .keyWorks = Qt::WindowShortcut,
                                  .toggle = true, .buttonName = "InfoBtn"}))
{
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, &InformationPaneController::refresh);
    m_pane->hide();
    connect(m_toggle, &QAction::toggled, this, [this](bool on) {
        m_pane->setVisible(on);
        refresh();
    });
    for (TreeId id : model::kAllTrees)
        connect(m_columns.view(id)->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &InformationPaneController::scheduleRefresh);
    connect(m_pane, &ui::InformationPane::rangesChangeRequested, this, &InformationPaneController::editRanges);
    if (ui::NodeDelegate* delegate = frDelegate())
        delegate->setAnnotator([this](const QModelIndex& index) { return annotationOf(index); });
    m_design.addObserver(this);
}

InformationPaneController::~InformationPaneController()
{
    if (ui::NodeDelegate* delegate = frDelegate())
        delegate->setAnnotator({});
    m_design.removeObserver(this);
}

ui::NodeDelegate* InformationPaneController::frDelegate() const
{
    return qobject_cast<ui::NodeDelegate*>(m_columns.view(TreeId::FR)->itemDelegate());
}

ui::Annotation InformationPaneController::annotationFor(const model::FrRanges* ranges)
{
    if (!ranges || !ranges->complete())
        return {};
    const double bits = model::informationBits(model::probabilityOfSuccess(*ranges));
    return {QStringLiteral("I = %1 bits").arg(QString::fromStdString(model::bitsText(bits))), std::isinf(bits)};
}

// Asked for each FR row drawn: one look-up, no walk.
ui::Annotation InformationPaneController::annotationOf(const QModelIndex& index) const
{
    if (!index.isValid() || m_design.ranges().empty())
        return {};
    const ui::TreeAdapter* adapter = m_columns.adapter(TreeId::FR);
    return annotationFor(m_design.ranges().find(adapter->tree().nodeAt(adapter->rowOf(index))));
}

void InformationPaneController::editRanges(int row, const model::FrRanges& ranges)
{
    m_workspace.runStep(kStepName, [&] { m_design.setRanges(row, ranges); });
}

void InformationPaneController::stepFinished(const model::StepChanges& changes)
{
    using model::StepChanges;
    // The rows counted and whether their matrices are uncoupled: any of these may change the total.
    if (changes.has(StepChanges::Structure | StepChanges::Aspects | StepChanges::Replaced))
        m_totalStale = true;
    // A range changed draws nothing else anew: the I after the labels must be.
    if (changes.has(StepChanges::Aspects | StepChanges::Replaced))
        m_columns.view(TreeId::FR)->viewport()->update();
    if (changes.has(StepChanges::Structure | StepChanges::Replaced | StepChanges::Texts | StepChanges::Numbers
                    | StepChanges::Aspects))
        scheduleRefresh();
}

void InformationPaneController::scheduleRefresh()
{
    if (m_pane->isVisible())
        m_refresh.start();
}

void InformationPaneController::refresh()
{
    if (!m_pane->isVisible())
        return;
    if (m_totalStale) {
        m_pane->showTotal(model::informationTotal(m_design.tree(TreeId::FR), m_design.matrices(), m_design.ranges()));
        m_totalStale = false;
    }
    const int row = m_columns.selectedRow(TreeId::FR);
    if (m_design.empty() || row < 0 || row >= m_design.rowCount()) {
        m_pane->showNothing();
        return;
    }
    const model::Node* node = m_design.tree(TreeId::FR).nodeAt(row);
    const model::FrRanges* ranges = m_design.ranges().find(node);
    m_pane->showRow(row, node, ui::fullTextOf(m_design, TreeId::FR, node), ranges ? *ranges : model::FrRanges{});
}

} // namespace app
