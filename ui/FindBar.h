#pragma once
// The find bar under the three columns: a text field searched as the user
// types, where the current match stands ("3 of 17", and whether it is in a
// note), arrows to the previous
// and next match and a close button. Enter goes to the next match,
// Shift+Enter to the previous one, Escape closes the bar. The bar only
// reports; the window does the finding.

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace ui {

class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    QString query() const;
    // Shows the bar with the focus in its field, the text selected so that
    // typing replaces it.
    void open();
    // "3 of 17" (current counted from 1; "3 of 17, in note" when the current
    // match is in a note), "No matches", or nothing for an empty query.
    void showCount(int current, int total, bool inNote = false);

    QLineEdit* field() const { return m_field; }
    QLabel* countLabel() const { return m_count; }
    QToolButton* previousButton() const { return m_previous; }
    QToolButton* nextButton() const { return m_next; }
    QToolButton* closeButton() const { return m_close; }

public slots:
    void closeBar(); // hides the bar and says so

signals:
    void queryChanged(const QString& query);
    void nextRequested();
    void previousRequested();
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool handleKey(const QKeyEvent* event);

    QLineEdit* m_field = nullptr;
    QLabel* m_count = nullptr;
    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
    QToolButton* m_close = nullptr;
};

} // namespace ui
