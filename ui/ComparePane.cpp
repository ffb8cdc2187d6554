#include "ui/ComparePane.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QVBoxLayout>

namespace ui {
namespace {

constexpr int kSwatchSize = 10;
constexpr int kLinesShown = 6;

QIcon swatchOf(RowChange kind)
{
    QPixmap swatch(kSwatchSize, kSwatchSize);
    swatch.fill(changeTint(kind));
    QPainter painter(&swatch);
    painter.setPen(changeBar(kind));
    painter.drawRect(0, 0, kSwatchSize - 1, kSwatchSize - 1);
    return QIcon(swatch);
}

} // namespace

ComparePane::ComparePane(QWidget* parent)
    : QWidget(parent), m_caption(new QLabel(this)), m_list(new QListWidget(this)), m_close(new QToolButton(this))
{
    setObjectName(QStringLiteral("ComparePane"));
    m_caption->setStyleSheet(QStringLiteral("font-weight: bold"));
    m_close->setObjectName(QStringLiteral("CompareCloseBtn"));
    m_close->setText(QStringLiteral("\u00d7"));
    m_close->setToolTip(QStringLiteral("Close (Esc)"));
    m_close->setAutoRaise(true);
    m_list->setObjectName(QStringLiteral("CompareList"));
    m_list->setUniformItemSizes(true); // a long list of changes lays out at once
    m_list->setMinimumHeight(m_list->fontMetrics().lineSpacing() * kLinesShown);
    m_list->installEventFilter(this);

    auto* head = new QHBoxLayout;
    head->setContentsMargins(0, 0, 0, 0);
    head->addWidget(m_caption, 1);
    head->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setSpacing(2);
    layout->addLayout(head);
    layout->addWidget(m_list, 1);

    connect(m_close, &QToolButton::clicked, this, &ComparePane::closeRequested);
    // A click chooses as Enter does: the row is selected, the list keeps the keys.
    connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { emit changeChosen(m_list->row(item)); });
    connect(m_list, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { emit changeChosen(m_list->row(item)); });
}

void ComparePane::showChanges(const QString& caption, const std::vector<Entry>& entries)
{
    m_caption->setText(caption);
    m_list->clear();
    for (const Entry& entry : entries)
        new QListWidgetItem(swatchOf(entry.kind), entry.line, m_list);
}

void ComparePane::step(int direction)
{
    const int n = m_list->count();
    if (n == 0)
        return;
    const int at = m_list->currentRow();
    // The first step forward goes to the first change, the first back to the last.
    const int next = at < 0 ? (direction > 0 ? 0 : n - 1) : (at + direction + n) % n;
    m_list->setCurrentRow(next);
    emit changeChosen(next);
}

bool ComparePane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            emit closeRequested();
            return true;
        }
        // Enter chooses on every platform, not only where it activates an item.
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && m_list->currentRow() >= 0) {
            emit changeChosen(m_list->currentRow());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ui
