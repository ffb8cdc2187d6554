#include "ui/MatrixPane.h"

#include "model/MatrixClassification.h"
#include "model/Numbering.h"
#include "ui/FullText.h"
#include "ui/MatrixPaneFull.h"

#include <QAction>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QShortcut>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace ui {
namespace {

enum Page { kGridsPage = 0, kMessagePage = 1, kFullPage = 2 };

// The classification's colour: green, amber, red, grey.
QString colourOf(model::Coupling coupling)
{
    switch (coupling) {
    case model::Coupling::Uncoupled:
        return QStringLiteral("#1e7b1e");
    case model::Coupling::Decoupled:
        return QStringLiteral("#b26b00");
    case model::Coupling::Coupled:
        return QStringLiteral("#c62828");
    case model::Coupling::Incomplete:
        break;
    }
    return QStringLiteral("#777777");
}

// The partner of an FR node (or the FR tree's hidden root) in another tree.
const model::Node* partner(const model::Design& design, model::TreeId id, int parentRow)
{
    const model::DesignTree& tree = design.tree(id);
    return parentRow == model::kNoRow ? tree.root() : tree.nodeAt(parentRow);
}


} // namespace

void showClassification(QLabel* line, const model::Classification& c, const QString& sentence)
{
    line->setText(sentence);
    // A coupling already known shows in the coupled colour before the last cell is filled.
    const bool coupledSoFar = c.coupling == model::Coupling::Incomplete && !c.groups.empty();
    line->setStyleSheet(QStringLiteral("color: %1").arg(colourOf(coupledSoFar ? model::Coupling::Coupled : c.coupling)));
}

MatrixPane::MatrixPane(QWidget* parent)
    : QWidget(parent), m_caption(new QLabel(this)), m_up(new QToolButton(this)), m_fullButton(new QToolButton(this)),
      m_pages(new QStackedWidget(this)), m_message(new QLabel(this)), m_full(new FullMatrixView(m_pages))
{
    setObjectName(QStringLiteral("MatrixPane"));
    m_up->setObjectName(QStringLiteral("MatrixUpBtn"));
    m_up->setText(QString::fromLatin1(kUpOneLevel));
    m_up->setToolTip(QStringLiteral("Up one level (Backspace)"));
    m_up->setIcon(QIcon::fromTheme(QStringLiteral("go-up")));
    m_up->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_up->setAutoRaise(true);
    connect(m_up, &QToolButton::clicked, this, &MatrixPane::goUp);
    m_fullButton->setObjectName(QStringLiteral("FullMatrixBtn"));
    m_fullButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_fullButton->setAutoRaise(true);
    // Only while the focus is in the pane: elsewhere Backspace belongs to the editors.
    auto* up = new QShortcut(QKeySequence(Qt::Key_Backspace), this);
    up->setContext(Qt::WidgetWithChildrenShortcut);
    connect(up, &QShortcut::activated, this, &MatrixPane::goUp);
    auto* grids = new QWidget(m_pages);
    auto* side = new QHBoxLayout(grids);
    side->setContentsMargins(0, 0, 0, 0);
    for (model::MatrixKind kind : model::kMatrixKinds) {
        auto* column = new QVBoxLayout;
        auto* heading = new QLabel(QString::fromLatin1(model::kindName(kind).data()), grids);
        heading->setStyleSheet(QStringLiteral("font-weight: bold"));
        auto* grid = new MatrixGrid(grids);
        grid->setObjectName(kind == model::MatrixKind::FrDp ? QStringLiteral("FrDpGrid") : QStringLiteral("DpPvGrid"));
        auto* line = new QLabel(grids);
        line->setWordWrap(true);
        column->addWidget(heading);
        column->addWidget(grid, 1);
        column->addWidget(line);
        side->addLayout(column, 1);
        m_grids[model::slot(kind)] = grid;
        m_classifications[model::slot(kind)] = line;
        connect(grid, &MatrixGrid::cellRequested, this, [this, kind](int row, int column, model::CellValue value) {
            emit cellChangeRequested(m_parentRow, kind, row, column, value);
        });
        connect(grid, &MatrixGrid::rowOpened, this, &MatrixPane::openRow);
    }
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setStyleSheet(QStringLiteral("color: #777777"));
    m_pages->addWidget(grids);
    m_pages->addWidget(m_message);
    m_pages->addWidget(m_full);
    auto* head = new QHBoxLayout;
    head->addWidget(m_caption, 1);
    head->addWidget(m_fullButton);
    head->addWidget(m_up);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(head);
    layout->addWidget(m_pages, 1);
    showNothing();
}

QSize MatrixPane::sizeHint() const
{
    return {QWidget::sizeHint().width(), kPreferredHeight};
}

QString MatrixPane::message() const
{
    if (showsFull())
        return m_full->message();
    return m_pages->currentIndex() == kMessagePage ? m_message->text() : QString();
}

bool MatrixPane::showsFull() const
{
    return m_pages->currentIndex() == kFullPage;
}

void MatrixPane::setFullViewCommand(QAction* command)
{
    m_fullButton->setDefaultAction(command);
}

void MatrixPane::showMessage(const QString& text)
{
    m_message->setText(text);
    m_pages->setCurrentIndex(kMessagePage);
}

void MatrixPane::goUp()
{
    if (m_up->isEnabled())
        emit levelRequested(m_upRow);
}

void MatrixPane::openRow(int row)
{
    const auto i = static_cast<std::size_t>(row);
    if (row >= 0 && i < m_childLevels.size() && m_childLevels[i] != kNoLevel)
        emit levelRequested(m_childLevels[i]);
}

void MatrixPane::showNothing()
{
    m_parentRow = model::kNoRow;
    m_up->setEnabled(false);
    m_up->show();
    m_childLevels.clear();
    m_caption->setText(QStringLiteral("Design matrix"));
    showMessage(QString::fromLatin1(kNoMatrix));
}

void MatrixPane::showMatrices(const model::Design& design, int parentRow)
{
    if (parentRow != model::kNoRow && (parentRow < 0 || parentRow >= design.rowCount())) {
        showNothing();
        return;
    }
    m_parentRow = parentRow;
    const model::DesignTree& fr = design.tree(model::TreeId::FR);
    const model::Node* parent = design.matrixParent(parentRow);
    m_up->show();
    m_up->setEnabled(parentRow != model::kNoRow);
    if (const model::Node* above = parentRow == model::kNoRow ? nullptr : fr.parentOf(parent))
        m_upRow = fr.rowOf(above);
    else
        m_upRow = model::kNoRow;
    m_childLevels.clear();
    const std::string number = model::outlineNumberOf(parent);
    m_caption->setText(parentRow == model::kNoRow
                           ? QStringLiteral("Design matrix of the top level")
                           : QStringLiteral("Design matrix of %1 %2")
                                 .arg(QString::fromStdString(number), fullLabelOf(design, model::TreeId::FR, parent)));
    const int n = static_cast<int>(parent->children.size());
    if (n < 2) {
        showMessage(QString::fromLatin1(kNoMatrix));
        return;
    }
    if (n > kMostRows) {
        showMessage(QString::fromLatin1(kTooManyRows));
        return;
    }
    for (const model::Node* child : parent->children)
        m_childLevels.push_back(child->children.size() >= 2 ? fr.rowOf(child) : kNoLevel);
    for (model::MatrixKind kind : model::kMatrixKinds)
        showGrid(design, parent, kind, number);
    m_pages->setCurrentIndex(kGridsPage);
}

// FR-DP: rows FR, columns DP; DP-PV: rows DP, columns PV.
void MatrixPane::showGrid(const model::Design& design, const model::Node* parent, model::MatrixKind kind,
                          const std::string& number)
{
    const bool frDp = kind == model::MatrixKind::FrDp;
    const model::TreeId rowTree = frDp ? model::TreeId::FR : model::TreeId::DP;
    const model::TreeId columnTree = frDp ? model::TreeId::DP : model::TreeId::PV;
    const model::Node* rows = partner(design, rowTree, m_parentRow);
    const model::Node* columns = partner(design, columnTree, m_parentRow);
    const auto n = static_cast<std::uint32_t>(parent->children.size());
    MatrixSnapshot snapshot;
    for (std::uint32_t i = 0; i < n; ++i) {
        const QString child = QString::fromStdString(model::childNumber(number, i));
        snapshot.rowHeads << child + QLatin1Char(' ') + fullLabelOf(design, rowTree, rows->children[i]);
        snapshot.columnHeads << child;
        snapshot.columnHints << fullLabelOf(design, columnTree, columns->children[i]);
    }
    snapshot.cells.assign(std::size_t{n} * n, model::CellValue::NotAssessed);
    for (const model::IndexedCell& c : design.matrices().indexedCells(parent, kind, model::MatrixStore::Order::Any))
        snapshot.cells[std::size_t{c.row} * n + c.column] = c.value;
    grid(kind)->grid().setSnapshot(std::move(snapshot));

    const model::Classification c = model::classify(design.matrices(), parent, kind);
    showClassification(classification(kind), c, QString::fromStdString(model::describe(c, kind, number)));
}

// The up button has nowhere to go over the whole design: it gives way, and
// Backspace with it.
void MatrixPane::showFull(const model::Design& design)
{
    m_up->setEnabled(false);
    m_up->hide();
    m_childLevels.clear();
    m_full->showDesign(design);
    const std::size_t n = m_full->leafCount();
    m_caption->setText(
        QStringLiteral("Full design matrix over %1 %2").arg(n).arg(QLatin1String(n == 1 ? "leaf" : "leaves")));
    m_pages->setCurrentIndex(kFullPage);
}

} // namespace ui
