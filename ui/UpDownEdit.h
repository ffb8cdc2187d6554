#pragma once
// A text field with a pair of arrow buttons that step the number in it
// within a range. Any text can be typed; a step starts from the typed number,
// or from the last stepped one when the text is not a number.

#include <QWidget>

class QLineEdit;

namespace ui {

class UpDownEdit : public QWidget {
    Q_OBJECT
public:
    UpDownEdit(int minimum, int maximum, int increment, QWidget* parent = nullptr);

    QLineEdit* edit() const { return m_edit; }
    int position() const { return m_position; }
    // Steps `count` increments up (negative: down) and shows the number.
    void step(int count);

private:
    QLineEdit* m_edit;
    int m_minimum;
    int m_maximum;
    int m_increment;
    int m_position;
};

} // namespace ui
