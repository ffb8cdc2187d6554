#pragma once
// The "Notes" pane: the notes of one row, FR, DP and PV side by side, each
// plain text of several lines. What is typed stays in the pane until the
// pane is done with it: a note is asked for (noteChangeRequested) when its
// editor loses the focus, or when the pane is told to finish (another row
// is about to show, a command is about to run). The pane never changes the
// design itself.

#include "model/TreeId.h"

#include <QWidget>

#include <array>

class QLabel;
class QPlainTextEdit;

namespace ui {

class NotesPane : public QWidget {
    Q_OBJECT
public:
    using Texts = std::array<QString, model::kTreeCount>; // FR, DP, PV

    explicit NotesPane(QWidget* parent = nullptr);

    // The notes of row `row`, headed by each node's text. While the same row
    // shows the same notes, the editors keep what is typed in them.
    void showRow(int row, const Texts& heads, const Texts& notes);
    // No row to show: the editors are off.
    void showNothing();
    // Asks for every note typed and not yet asked for.
    void finish();

    int row() const { return m_row; }
    QLabel* caption() const { return m_caption; }
    QLabel* head(model::TreeId id) const { return m_heads[slot(id)]; }
    QPlainTextEdit* editor(model::TreeId id) const { return m_editors[slot(id)]; }

signals:
    void noteChangeRequested(int row, model::TreeId id, const QString& note);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static std::size_t slot(model::TreeId id) { return static_cast<std::size_t>(model::index(id)); }
    void finishNote(model::TreeId id);

    static constexpr int kNoRow = -1;
    QLabel* m_caption;
    std::array<QLabel*, model::kTreeCount> m_heads{};
    std::array<QPlainTextEdit*, model::kTreeCount> m_editors{};
    int m_row = kNoRow;
    Texts m_shown; // each note as last shown, or as last asked for
};

} // namespace ui
