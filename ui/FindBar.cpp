#include "ui/FindBar.h"

#include "ui/DialogIcons.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace ui {

namespace {

constexpr int kFieldWidth = 220;
constexpr int kCountWidth = 130; // room for "12 of 345, in note"
constexpr int kMargin = 2;
constexpr const char* kCountText = "%1 of %2";
constexpr const char* kNoMatches = "No matches";
constexpr const char* kInNote = "in note";

QToolButton* makeButton(QWidget* parent, const char* name, const QIcon& icon, const char* hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(icon);
    button->setToolTip(QString::fromLatin1(hint));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

FindBar::FindBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FindBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kMargin);

    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("FindEdit"));
    m_field->setPlaceholderText(QStringLiteral("Find in labels"));
    m_field->setClearButtonEnabled(true);
    m_field->setMaximumWidth(kFieldWidth);
    m_field->installEventFilter(this);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("FindCount"));
    m_count->setMinimumWidth(kCountWidth);
    m_previous = makeButton(this, "FindPreviousBtn", icons::themed("go-up", QStyle::SP_ArrowUp),
                            "Previous match (Shift+Enter)");
    m_next = makeButton(this, "FindNextBtn", icons::themed("go-down", QStyle::SP_ArrowDown), "Next match (Enter)");
    m_close = makeButton(this, "FindCloseBtn", icons::themed("window-close", QStyle::SP_TitleBarCloseButton),
                         "Close (Escape)");

    layout->addWidget(m_field, 1);
    layout->addWidget(m_count);
    layout->addWidget(m_previous);
    layout->addWidget(m_next);
    layout->addStretch(1);
    layout->addWidget(m_close);

    connect(m_field, &QLineEdit::textChanged, this, &FindBar::queryChanged);
    connect(m_previous, &QToolButton::clicked, this, &FindBar::previousRequested);
    connect(m_next, &QToolButton::clicked, this, &FindBar::nextRequested);
    connect(m_close, &QToolButton::clicked, this, &FindBar::closeBar);
    hide();
}

QString FindBar::query() const
{
    return m_field->text();
}

void FindBar::open()
{
    show();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void FindBar::closeBar()
{
    hide();
    emit closed();
}

void FindBar::showCount(int current, int total, bool inNote)
{
    if (m_field->text().isEmpty())
        m_count->clear();
    else if (total == 0)
        m_count->setText(QString::fromLatin1(kNoMatches));
    else
        m_count->setText(QString::fromLatin1(kCountText).arg(current).arg(total)
                         + (inNote ? QStringLiteral(", ") + QString::fromLatin1(kInNote) : QString()));
}

bool FindBar::handleKey(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & Qt::ShiftModifier)
            emit previousRequested();
        else
            emit nextRequested();
        return true;
    case Qt::Key_Escape:
        closeBar();
        return true;
    default:
        return false;
    }
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    // The field would take Enter for itself; here it moves between matches.
    if (watched == m_field && event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void FindBar::keyPressEvent(QKeyEvent* event)
{
    // Keys the buttons leave alone, Escape above all, reach the bar.
    if (!handleKey(event))
        QWidget::keyPressEvent(event);
}

} // namespace ui
