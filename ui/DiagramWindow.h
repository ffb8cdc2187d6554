#pragma once
// A window of its own beside the main window, for a picture of the design:
// a "Save as…" button over a zoomable view. Not modal: the design goes on
// being edited while it is open, and whoever owns it keeps the picture up to
// date.

#include "ui/ZoomView.h"

#include <QWidget>

class QPushButton;

namespace ui {

class DiagramWindow : public QWidget {
    Q_OBJECT
public:
    DiagramWindow(const QString& title, QWidget* owner);

    ZoomView* view() const { return m_view; }
    QPushButton* saveButton() const { return m_save; }

signals:
    void saveRequested();

private:
    ZoomView* m_view;
    QPushButton* m_save;
};

} // namespace ui
