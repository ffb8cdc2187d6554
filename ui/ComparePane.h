#pragma once
// The list of changes of a comparison with another design, under the tree
// columns: a caption naming the other design, one line per change with a
// colour square of its kind, and a close button. The pane only shows: a
// change chosen (a click, Enter, or a step with F8) is asked for with
// changeChosen, and the controller selects its row.

#include "ui/NodeDelegate.h"

#include <QString>
#include <QWidget>

#include <vector>

class QLabel;
class QListWidget;
class QToolButton;

namespace ui {

class ComparePane : public QWidget {
    Q_OBJECT
public:
    struct Entry {
        QString line;
        RowChange kind = RowChange::Changed;
    };

    explicit ComparePane(QWidget* parent = nullptr);

    void showChanges(const QString& caption, const std::vector<Entry>& entries);
    // The next (+1) or previous (-1) change made current and chosen, round
    // the end of the list.
    void step(int direction);

    QLabel* caption() const { return m_caption; }
    QListWidget* list() const { return m_list; }
    QToolButton* closeButton() const { return m_close; }

signals:
    void changeChosen(int entry);
    // The close button, or Escape in the list.
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_caption;
    QListWidget* m_list;
    QToolButton* m_close;
};

} // namespace ui
