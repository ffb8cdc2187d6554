#pragma once
// The title bar (ToolBar2): the three column titles Edit1..Edit3 over the
// three columns. A title is the design's as the user types it (a save in the
// middle of typing stores what is shown), in any character (what
// Windows-1252 lacks is kept beside the title); a finished edit (Enter, or the
// field losing the focus) is one step of the undo history, run as every
// other step is.

#include "app/StepRecorder.h"
#include "model/TreeId.h"
#include "model/TreeObserver.h"

#include <QWidget>

#include <array>
#include <string>

class QLineEdit;

namespace model { class Design; }

namespace app {

class StepRecorder;

class TitleBar : public QWidget, private model::TreeObserver {
    Q_OBJECT
public:
    static constexpr int kHeight = 22;
    static constexpr int kMargin = 2; // a title is this much narrower than its column
    static constexpr int kGap = 4;    // between titles

    // Title edits are steps of `steps`, the workspace's one step runner.
    TitleBar(model::Design& design, StepRecorder& steps, QWidget* parent);
    ~TitleBar() override;

    QLineEdit* edit(model::TreeId id) const { return m_edits[at(id)]; }
    // Titles over columns `columnWidth` wide.
    void alignTo(int columnWidth);
    // A title edit still being typed becomes its step now.
    void finishEditing();

private:
    static std::size_t at(model::TreeId id) { return static_cast<std::size_t>(model::index(id)); }
    void Edit1Change();
    void titleEdited(model::TreeId id, const QString& text);
    void titleFinished(model::TreeId id);
    void titleChanged(model::TreeId id) override; // undo and redo

    model::Design& m_design;
    StepRecorder& m_steps;
    std::array<QLineEdit*, model::kTreeCount> m_edits{};
    std::array<std::string, model::kTreeCount> m_finished; // each title (UTF-8) as of its last step
    bool m_typing = false;
};

} // namespace app
