#pragma once
// The Qt face of one design tree: a thin QAbstractItemModel over the plain
// model, one instance per view. It keeps no copy of the tree: every index
// points at a model::Node, and every model notification becomes the matching
// begin/end pair, so selection and expansion survive every edit.

#include "model/Design.h"
#include "model/TreeObserver.h"

#include <QAbstractItemModel>

#include <functional>
#include <string>

namespace ui {

class TreeAdapter : public QAbstractItemModel, private model::TreeObserver {
    Q_OBJECT
public:
    // The node's level, for drawing.
    static constexpr int LevelRole = Qt::UserRole + 1;
    static constexpr const char* kRowMimeType = "application/x-tessaric-row";

    TreeAdapter(model::Design& design, model::TreeId tree, QObject* parent = nullptr);
    ~TreeAdapter() override;

    model::TreeId treeId() const { return m_id; }

    // Who carries out a confirmed label edit (the window, as a step of its
    // undo history); without one, an edit is refused. The editor shows and
    // gives the label alone, without its outline number, in UTF-8.
    using LabelEditor = std::function<void(int row, const std::string& text)>;
    void setLabelEditor(LabelEditor editor) { m_labelEditor = std::move(editor); }
    const model::DesignTree& tree() const { return m_design.tree(m_id); }

    // Row index <-> QModelIndex, the partner lookup of the views.
    QModelIndex indexOfRow(int row) const;
    int rowOf(const QModelIndex& index) const;   // -1 for an invalid index

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

signals:
    // Labels changed that no node text tells of: a full label alone (its
    // question form, the node's text, unchanged), by an edit, undo or redo.
    // The views draw what they show again.
    void fullLabelsChanged();
    // So many texts changed at once (a renumbering of a whole large design)
    // that they are not told row by row: the views draw what they show again.
    // Texts never change a row's size, so nothing need be laid out again.
    void manyTextsChanged();

private:
    const model::Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOfNode(const model::Node* node) const; // the hidden root gives {}

    // model::TreeObserver
    void aboutToInsert(model::TreeId, model::Node* parent, int first, int last) override;
    void inserted(model::TreeId, model::Node* parent, int first, int last) override;
    void aboutToRemove(model::TreeId, model::Node* parent, int first, int last) override;
    void removed(model::TreeId, model::Node* parent, int first, int last) override;
    void aboutToMove(model::TreeId, model::Node* srcParent, int srcRow, model::Node* destParent, int destRow) override;
    void moved(model::TreeId, model::Node*, int, model::Node*, int) override;
    void textChanged(model::TreeId, model::Node* node) override;
    void textsChanged(model::TreeId, std::span<const model::TextRun> runs) override;
    void aboutToReset(model::TreeId) override;
    void reset(model::TreeId) override;
    void stepFinished(const model::StepChanges& changes) override;

    model::Design& m_design;
    model::TreeId m_id;
    LabelEditor m_labelEditor;
    bool m_heldFullLabels = false; // as the last step ended
};

} // namespace ui
