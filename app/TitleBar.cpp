#include "app/TitleBar.h"

#include "model/Design.h"

#include <QLineEdit>

#include <utility>

namespace app {

using model::TreeId;

namespace {
constexpr int kEditHeight = 19;
constexpr int kMaxLength = 32;
constexpr const char* kNames[model::kTreeCount] = {"Edit1", "Edit2", "Edit3"};
constexpr const char* kDefaults[model::kTreeCount] = {"Functional Requirements", "Design Parameters",
                                                      "Process Variables"};
constexpr const char* kStepName = "Edit title";
} // namespace

TitleBar::TitleBar(model::Design& design, StepRecorder& steps, QWidget* parent)
    : QWidget(parent), m_design(design), m_steps(steps)
{
    // Laid out by hand in alignTo: the titles line up with the columns below.
    setObjectName(QStringLiteral("ToolBar2"));
    setFixedHeight(kHeight);
    for (TreeId id : model::kAllTrees) {
        auto* edit = new QLineEdit(QString::fromLatin1(kDefaults[at(id)]), this);
        edit->setObjectName(QString::fromLatin1(kNames[at(id)]));
        edit->setMaxLength(kMaxLength);
        edit->setFixedHeight(kEditHeight);
        edit->setStyleSheet(QStringLiteral("QLineEdit { background: rgb(255,251,240); border: 1px solid #a0a0a0; }"));
        connect(edit, &QLineEdit::textChanged, this, [this] { Edit1Change(); });
        connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) { titleEdited(id, text); });
        connect(edit, &QLineEdit::editingFinished, this, [this, id] { titleFinished(id); });
        m_edits[at(id)] = edit;
        m_design.setTitle(id, kDefaults[at(id)]);
        m_finished[at(id)] = kDefaults[at(id)];
    }
    m_design.addObserver(this);
    Edit1Change(); // the hints follow the titles from the start
}

TitleBar::~TitleBar()
{
    m_design.removeObserver(this);
}

void TitleBar::alignTo(int columnWidth)
{
    const int width = columnWidth - kMargin;
    int left = 0;
    for (QLineEdit* edit : m_edits) {
        edit->setGeometry(left, (kHeight - kEditHeight) / 2, width, kEditHeight);
        left += width + kGap;
    }
}

void TitleBar::Edit1Change()
{
    // Each title's hint is its whole text, for a title too long for its field.
    for (QLineEdit* edit : m_edits)
        edit->setToolTip(edit->text());
}

void TitleBar::titleEdited(TreeId id, const QString& text)
{
    m_typing = true;
    m_design.typeFullTitle(id, text.toStdString());
    m_typing = false;
}

void TitleBar::titleFinished(TreeId id)
{
    const std::string now = m_design.fullTitle(id);
    if (now == m_finished[at(id)])
        return;
    const std::string before = std::exchange(m_finished[at(id)], now);
    // What was typed is not recorded: the title goes back to where the edit
    // began, and the step puts in what the edit ended with.
    m_typing = true;
    m_design.typeFullTitle(id, before);
    m_typing = false;
    m_steps.runOnRow(kStepName, -1, // a title step selects no row
                      [&] { m_design.setFullTitle(id, now); });
}

void TitleBar::finishEditing()
{
    for (TreeId id : model::kAllTrees)
        titleFinished(id);
}

void TitleBar::titleChanged(TreeId id)
{
    // Opening, undo or redo put another title in the design: show it, and it
    // counts as finished.
    if (m_typing)
        return;
    m_finished[at(id)] = m_design.fullTitle(id);
    const QString text = QString::fromStdString(m_finished[at(id)]);
    if (edit(id)->text() != text)
        edit(id)->setText(text);
}

} // namespace app
