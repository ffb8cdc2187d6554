#pragma once
// Copy, Cut, Paste and Paste as child in the window. They act on the
// selected node row with its whole subtree, in all three trees at once.
//
// A copy puts two forms on the clipboard: our own rows format (the three
// subtrees exactly, see io/RowsFormat.h), which another running instance of
// the program pastes, and the focused column's subtree as tab-indented
// labels in plain text, which any editor or outliner pastes. A paste takes
// our own rows when the clipboard holds them, otherwise its text, which
// fills the focused column (see io/PlainTextRows.h). Cut and paste are one
// undo step each; the pasted rows are renumbered and the first is selected.

#include "model/CopiedRows.h"
#include "model/Design.h"

#include <functional>
#include <memory>

class QAction;
class QClipboard;
class QMimeData;
class QObject;

namespace app {

class TreeColumns;
class Workspace;

class ClipboardCommands {
public:
    // What the editing lends: its selected row, the column with the keys,
    // and the message Delete gives for the first row.
    struct Hooks {
        std::function<int()> selectedRow;
        std::function<model::TreeId()> focusedTree;
        std::function<void()> refuseFirstRow;
        std::function<void()> labelsCut; // a paste cut labels longer than model::kLongestLabel
    };
    // The tree menu's entries, each with its key.
    struct Actions {
        QAction* cut;
        QAction* copy;
        QAction* paste;        // next siblings of the selected row
        QAction* pasteAsChild; // its last children
    };

    // Cut and paste are steps of the workspace's undo history; the actions belong to `owner`.
    ClipboardCommands(Workspace& workspace, TreeColumns& columns, Hooks hooks, QClipboard* clipboard, QObject* owner);

    const Actions& actions() const { return m_actions; }

    void copy();
    void cut();
    void paste(model::PastePlace place);

    // The clipboard's content for copied rows, and the rows of what a
    // clipboard holds (empty for neither rows nor text) to be pasted at level
    // `placeLevel`. rowsFrom throws model::UserError for broken rows, a
    // character Windows-1252 lacks or rows that would lie too deep.
    static std::unique_ptr<QMimeData> mimeDataFor(const model::CopiedRows& rows, model::TreeId focused);
    static model::CopiedRows rowsFrom(const QMimeData* data, model::TreeId focused, std::uint32_t placeLevel = 0);

private:
    void putOnClipboard(const model::CopiedRows& rows);
    std::uint32_t levelOfPlace(int row, model::PastePlace place) const;
    void showPasted(int first, std::size_t tops);

    void makeActions(QObject* owner);

    Workspace& m_workspace;
    model::Design& m_design;
    TreeColumns& m_columns;
    Hooks m_hooks;
    QClipboard* m_clipboard;
    Actions m_actions{};
};

} // namespace app
