#pragma once
// The flow diagram window: FlowBtn (and Ctrl+Shift+F) opens it, or raises it
// when it is open already. While it is shown it follows the design, laid out
// again once per step that may change it (rows, labels, numbers, matrix
// cells), from the event loop; while it is hidden a step only marks it stale,
// and it is laid out again when it opens. "Save as…" writes the picture as
// SVG or PNG, by the chosen file's extension.

#include "export/FileWriter.h"
#include "export/FlowDiagram.h"
#include "model/TreeObserver.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QWidget;

namespace ui { class DiagramWindow; }

namespace model { class Design; }

namespace app {

class Workspace;

class FlowDiagramController : public QObject, private model::TreeObserver {
    Q_OBJECT
public:
    inline static constexpr const char* kTitle = "Flow diagram";
    inline static constexpr const char* kSavedMessage = "Flow diagram saved to %1";

    // The window is made here, a window of its own owned by `window`.
    FlowDiagramController(Workspace& workspace, QWidget* window);
    ~FlowDiagramController() override;

    // FlowBtn and Ctrl+Shift+F: the window opened.
    QAction* open() const { return m_open; }
    ui::DiagramWindow* window() const { return m_window; }
    // What the window shows (as of the last step it was laid out for).
    const exporting::FlowLayout& layout() const { return m_layout; }

    // Asks where, presetting `suggested`; nothing when the user cancelled.
    using FileChooser = std::function<std::optional<QString>(const QString& suggested)>;
    // Tests answer the file dialog and make writes fail.
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setWriter(std::unique_ptr<exporting::FileWriter> writer) { m_writer = std::move(writer); }

    // Lays the design out again now, when the window is shown.
    void redraw();

private:
    void openWindow();
    void saveAs();
    std::optional<QString> chooseFileInDialog(const QString& suggested);

    // model::TreeObserver: anything that may change the picture.
    void stepFinished(const model::StepChanges& changes) override;

    Workspace& m_workspace;
    model::Design& m_design;
    ui::DiagramWindow* m_window;
    QAction* m_open;
    QTimer m_redraw;
    bool m_stale = true;
    exporting::FlowLayout m_layout;
    FileChooser m_chooseFile;
    std::unique_ptr<exporting::FileWriter> m_writer;
};

} // namespace app
