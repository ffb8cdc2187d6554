#include "ui/NotesPane.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace ui {
namespace {

constexpr const char* kCaption = "Notes";
constexpr const char* kEditorNames[model::kTreeCount] = {"FrNoteEdit", "DpNoteEdit", "PvNoteEdit"};
constexpr int kLinesShown = 4;

// The editor's text as typed: toPlainText would turn a no-break space into a
// plain one, and a note shown unchanged must read back as the same note.
QString typedText(const QPlainTextEdit* editor)
{
    QString text = editor->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

NotesPane::NotesPane(QWidget* parent) : QWidget(parent), m_caption(new QLabel(QString::fromLatin1(kCaption), this))
{
    setObjectName(QStringLiteral("NotesPane"));
    m_caption->setStyleSheet(QStringLiteral("font-weight: bold"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    grid->addWidget(m_caption, 0, 0, 1, model::kTreeCount);
    for (model::TreeId id : model::kAllTrees) {
        const auto i = slot(id);
        auto* head = new QLabel(this);
        // A long label must not widen its column past the others.
        head->setMinimumWidth(1);
        head->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        m_heads[i] = head;
        auto* editor = new QPlainTextEdit(this);
        editor->setObjectName(QString::fromLatin1(kEditorNames[i]));
        editor->setTabChangesFocus(true);
        editor->setMinimumHeight(editor->fontMetrics().lineSpacing() * kLinesShown);
        editor->installEventFilter(this);
        m_editors[i] = editor;
        grid->addWidget(head, 1, static_cast<int>(i));
        grid->addWidget(editor, 2, static_cast<int>(i));
        grid->setColumnStretch(static_cast<int>(i), 1);
    }
    showNothing();
}

void NotesPane::showRow(int row, const Texts& heads, const Texts& notes)
{
    m_caption->setText(QString::fromLatin1(kCaption));
    for (model::TreeId id : model::kAllTrees) {
        const auto i = slot(id);
        m_heads[i]->setText(heads[i]);
        m_heads[i]->setToolTip(heads[i]);
        m_editors[i]->setEnabled(true);
        // Written over only for another row or a note changed elsewhere (an
        // undo, say): never under the user's typing.
        if (row != m_row || notes[i] != m_shown[i]) {
            m_shown[i] = notes[i];
            if (typedText(m_editors[i]) != notes[i])
                m_editors[i]->setPlainText(notes[i]);
        }
    }
    m_row = row;
}

void NotesPane::showNothing()
{
    m_row = kNoRow;
    m_shown = {};
    for (model::TreeId id : model::kAllTrees) {
        m_heads[slot(id)]->clear();
        m_editors[slot(id)]->clear();
        m_editors[slot(id)]->setEnabled(false);
    }
}

void NotesPane::finish()
{
    for (model::TreeId id : model::kAllTrees)
        finishNote(id);
}

void NotesPane::finishNote(model::TreeId id)
{
    const auto i = slot(id);
    if (m_row == kNoRow)
        return;
    QString typed = typedText(m_editors[i]);
    if (typed == m_shown[i])
        return;
    // Taken as asked for before it is asked: the request runs a step, and a
    // step finishes every editor first.
    m_shown[i] = typed;
    emit noteChangeRequested(m_row, id, typed);
}

bool NotesPane::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut)
        for (model::TreeId id : model::kAllTrees)
            if (watched == m_editors[slot(id)])
                finishNote(id);
    return QWidget::eventFilter(watched, event);
}

} // namespace ui
