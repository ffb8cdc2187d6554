#pragma once
// The main window: it lays out what the features give it (the file and edit
// toolbars, the tree menu and the save menu, the column titles over the three
// tree columns, the find bar, the design matrix and information panes and the
// status bar) and hands the events of its own that a feature owns to that
// feature.

#include "app/Features.h"

#include <QMainWindow>

#include <memory>

class QSplitter;

namespace app {

class Workspace;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kColumns = 3;
    static constexpr int kMinWidth = 300;
    static constexpr int kMinHeight = 440;

    // The workspace outlives the window; the window's size and place are
    // read from its settings file.
    explicit TMainForm(Workspace& workspace, QWidget* parent = nullptr);
    ~TMainForm() override;

    Features& features() { return *m_features; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void layOutBars();
    void layOutMenus();
    void layOutColumns();
    void layOutStatusBar();
    void readGeometry();
    void writeGeometry();

    Workspace& m_workspace;
    std::unique_ptr<Features> m_features;
    QSplitter* m_splitter = nullptr;
    bool m_shown = false;
};

} // namespace app
