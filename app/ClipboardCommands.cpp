#include "app/ClipboardCommands.h"

#include "app/Commands.h"
#include "app/TreeColumns.h"
#include "app/Workspace.h"
#include "io/PlainTextRows.h"
#include "io/RowsFormat.h"
#include "ui/DialogIcons.h"
#include "ui/ToolbarIcons.h"

#include <QAction>
#include <QClipboard>
#include <QMimeData>
#include <algorithm>
#include <vector>

namespace app {

using model::TreeId;

namespace {
// Each command's caption, also the name of its step.
constexpr const char* kCutStep = "Cut";
constexpr const char* kCopy = "Copy";
constexpr const char* kPasteStep = "Paste";
constexpr const char* kPasteAsChildStep = "Paste as child";
} // namespace

// One key each: the platform's standard sequences add Shift+Del, which is Delete's.
void ClipboardCommands::makeActions(QObject* owner)
{
    const QIcon pasteIcon = ui::icons::themed("edit-paste", QStyle::SP_DialogApplyButton);
    m_actions.cut = makeCommand(owner, {.name = "Cut1", .caption = kCutStep,
                                        .icon = ui::icons::themed("edit-cut", QStyle::SP_DialogDiscardButton),
                                        .hint = "Cut this (and all sub-nodes) to the clipboard",
                                        .key = QKeySequence(Qt::CTRL | Qt::Key_X)});
    m_actions.copy = makeCommand(owner, {.name = "Copy1", .caption = kCopy, .icon = ui::toolbarIcon(7),
                                         .hint = "Copy this (and all sub-nodes) to the clipboard",
                                         .key = QKeySequence(Qt::CTRL | Qt::Key_C)});
    m_actions.paste = makeCommand(owner, {.name = "Paste1", .caption = kPasteStep, .icon = pasteIcon,
                                          .hint = "Paste below this, as its next siblings",
                                          .key = QKeySequence(Qt::CTRL | Qt::Key_V)});
    m_actions.pasteAsChild = makeCommand(owner, {.name = "PasteAsChild1", .caption = kPasteAsChildStep,
                                                 .icon = pasteIcon, .hint = "Paste as the last children of this",
                                                 .key = QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V)});
    QObject::connect(m_actions.copy, &QAction::triggered, owner, [this] { m_workspace.run([&] { copy(); }); });
    QObject::connect(m_actions.cut, &QAction::triggered, owner, [this] { cut(); });
    QObject::connect(m_actions.paste, &QAction::triggered, owner, [this] { paste(model::PastePlace::NextSiblings); });
    QObject::connect(m_actions.pasteAsChild, &QAction::triggered, owner,
                     [this] { paste(model::PastePlace::LastChildren); });
}

ClipboardCommands::ClipboardCommands(Workspace& workspace, TreeColumns& columns, Hooks hooks, QClipboard* clipboard,
                                     QObject* owner)
    : m_workspace(workspace), m_design(workspace.design()), m_columns(columns), m_hooks(std::move(hooks)),
      m_clipboard(clipboard)
{
    makeActions(owner);
}

std::unique_ptr<QMimeData> ClipboardCommands::mimeDataFor(const model::CopiedRows& rows, TreeId focused)
{
    const std::string own = io::encodeRows(rows);
    auto data = std::make_unique<QMimeData>();
    data->setData(QString::fromLatin1(io::kRowsMimeType), QByteArray(own.data(), static_cast<qsizetype>(own.size())));
    data->setText(QString::fromStdString(io::plainTextOf(rows, focused)));
    return data;
}

model::CopiedRows ClipboardCommands::rowsFrom(const QMimeData* data, TreeId focused, std::uint32_t placeLevel)
{
    if (!data)
        return {};
    const QString own = QString::fromLatin1(io::kRowsMimeType);
    if (data->hasFormat(own)) {
        const QByteArray bytes = data->data(own);
        return io::decodeRows(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), placeLevel);
    }
    return data->hasText() ? io::rowsFromPlainText(data->text(), focused, placeLevel) : model::CopiedRows{};
}

void ClipboardCommands::putOnClipboard(const model::CopiedRows& rows)
{
    m_clipboard->setMimeData(mimeDataFor(rows, m_hooks.focusedTree()).release());
}

void ClipboardCommands::copy()
{
    const model::CopiedRows rows = model::copySubtree(m_design, m_hooks.selectedRow());
    if (!rows.empty())
        putOnClipboard(rows);
}

void ClipboardCommands::cut()
{
    m_workspace.runStep(kCutStep, [&] {
        model::CopiedRows rows;
        const model::DeleteResult result = m_design.cut(m_hooks.selectedRow(), rows);
        if (result.refused) {
            m_hooks.refuseFirstRow();
            return;
        }
        putOnClipboard(rows);
        m_columns.selectRow(result.selectRow);
    });
}

void ClipboardCommands::paste(model::PastePlace place)
{
    const bool asChild = place == model::PastePlace::LastChildren;
    m_workspace.runStep(asChild ? kPasteAsChildStep : kPasteStep, [&] {
        // Read (and refused, when it must be) before the design changes at all.
        const int row = m_hooks.selectedRow();
        const model::CopiedRows rows =
            rowsFrom(m_clipboard->mimeData(), m_hooks.focusedTree(), levelOfPlace(row, place));
        const int first = m_design.paste(row, rows, place);
        if (first == model::kNoRow)
            return;
        if (asChild)
            m_columns.setExpanded(row, true);
        showPasted(first, static_cast<std::size_t>(std::count(rows.levels.begin(), rows.levels.end(), 0u)));
        if (rows.labelsCut > 0)
            m_hooks.labelsCut();
    });
}

// The level the pasted top rows take: the selected row's, or one below it.
std::uint32_t ClipboardCommands::levelOfPlace(int row, model::PastePlace place) const
{
    const model::DesignTree& fr = m_design.tree(TreeId::FR);
    if (row < 0 || row >= fr.size())
        return 0; // an empty design: the pasted rows are its top rows
    const auto level = static_cast<std::uint32_t>(fr.levelOf(fr.nodeAt(row)));
    return place == model::PastePlace::LastChildren ? level + 1 : level;
}

// The pasted subtrees open, as a duplicate does, and the first is selected.
void ClipboardCommands::showPasted(int first, std::size_t tops)
{
    const model::DesignTree& fr = m_design.tree(TreeId::FR);
    const model::Node* top = fr.nodeAt(first);
    std::vector<int> withChildren; // opened together: each view lays itself out once
    for (std::size_t i = 0; i < tops && top; ++i, top = model::DesignTree::nextSibling(top))
        if (!top->children.empty())
            withChildren.push_back(fr.rowOf(top));
    if (!withChildren.empty())
        m_columns.expandSubtrees(withChildren);
    m_columns.selectRow(first);
}

} // namespace app
