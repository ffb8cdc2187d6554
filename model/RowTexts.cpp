#include "model/RowTexts.h"

#include "model/CopiedRows.h"
#include "model/Cp1252.h"
#include "model/Design.h"
#include "model/Numbering.h"
#include "model/PreOrder.h"
#include "model/Utf8.h"

#include <algorithm>

namespace model {
namespace {

bool allEmpty(const RowTextArray& texts)
{
    return std::all_of(texts.begin(), texts.end(), [](const std::string& t) { return t.empty(); });
}

} // namespace

const std::string* RowTextStore::find(TreeId id, const Node* frNode) const
{
    const RowTextArray* row = findRow(frNode);
    if (!row)
        return nullptr;
    const std::string& text = (*row)[static_cast<std::size_t>(index(id))];
    return text.empty() ? nullptr : &text;
}

const RowTextArray* RowTextStore::findRow(const Node* frNode) const
{
    if (m_rows.empty())
        return nullptr;
    const auto it = m_rows.find(frNode);
    return it == m_rows.end() ? nullptr : &it->second;
}

RowTextArray RowTextStore::setRow(const Node* frNode, RowTextArray texts)
{
    const auto it = m_rows.find(frNode);
    RowTextArray old;
    if (it != m_rows.end()) {
        old = std::move(it->second);
        if (allEmpty(texts))
            m_rows.erase(it);
        else
            it->second = std::move(texts);
    } else if (!allEmpty(texts)) {
        m_rows.emplace(frNode, std::move(texts));
    }
    return old;
}

// Nodes, each with the texts it held before (or after): swapping them with
// the store undoes and redoes alike.
class RowTextAspect::TextsChange final : public AspectChange {
public:
    TextsChange(RowTextAspect& aspect, std::vector<Held>&& held) : m_aspect(aspect), m_held(std::move(held)) {}
    void apply() override { m_aspect.swapTexts(m_held); }
    std::size_t bytes() const override
    {
        std::size_t n = m_held.size() * sizeof(Held);
        for (const Held& h : m_held)
            for (const std::string& t : h.second)
                n += t.capacity();
        return n;
    }

private:
    RowTextAspect& m_aspect;
    std::vector<Held> m_held;
};

bool RowTextAspect::setText(TreeId id, const Node* frNode, std::string text)
{
    const std::string* now = m_store.find(id, frNode);
    if (now ? *now == text : text.empty())
        return false;
    RowTextArray row;
    if (const RowTextArray* held = m_store.findRow(frNode))
        row = *held;
    row[static_cast<std::size_t>(index(id))] = std::move(text);
    RowTextArray old = m_store.setRow(frNode, std::move(row));
    changed({{frNode, std::move(old)}});
    return true;
}

void RowTextAspect::replace(RowTextStore&& store)
{
    if (m_store.empty() && store.empty())
        return;
    m_store = std::move(store);
    noteChanged();
}

void RowTextAspect::swapTexts(std::span<Held> held)
{
    for (Held& h : held)
        h.second = m_store.setRow(h.first, std::move(h.second));
    noteChanged();
}

void RowTextAspect::changed(std::vector<Held>&& before)
{
    if (before.empty())
        return;
    if (recording())
        record(std::make_unique<TextsChange>(*this, std::move(before)));
    noteChanged();
}

// Found by whichever is shorter: the rows with texts, or the subtree.
void RowTextAspect::subtreeLeaving(const Node* top)
{
    if (m_store.empty())
        return;
    std::vector<Held> taken;
    const DesignTree& fr = design().tree(TreeId::FR);
    if (m_store.size() < static_cast<std::size_t>(fr.subtreeSize(top))) {
        for (const auto& [node, texts] : m_store.all())
            if (node == top || fr.isInSubtree(node, top))
                taken.emplace_back(node, RowTextArray{});
    } else {
        preOrder(top, [&](const Node* n, std::size_t) {
            if (m_store.findRow(n))
                taken.emplace_back(n, RowTextArray{});
        });
    }
    for (Held& h : taken)
        h.second = m_store.setRow(h.first, {});
    changed(std::move(taken));
}

void RowTextAspect::subtreeCopied(const Node* from, const Node* to)
{
    if (m_store.empty())
        return;
    std::vector<Held> added;
    std::vector<std::pair<const Node*, const Node*>> stack{{from, to}};
    while (!stack.empty()) {
        const auto [src, dst] = stack.back();
        stack.pop_back();
        if (const RowTextArray* t = m_store.findRow(src))
            added.emplace_back(dst, m_store.setRow(dst, *t));
        for (std::size_t i = 0; i < src->children.size(); ++i)
            stack.emplace_back(src->children[i], dst->children[i]);
    }
    changed(std::move(added));
}

void RowTextAspect::copyRows(std::span<const Node* const> nodes, CopiedRows& rows) const
{
    if (m_store.empty())
        return;
    std::vector<CopiedRowTexts>& copied = rows.*m_member;
    for (std::size_t i = 0; i < nodes.size(); ++i)
        if (const RowTextArray* t = m_store.findRow(nodes[i]))
            copied.push_back({static_cast<std::uint32_t>(i), *t});
}

// The copy is well-formed (the paste checked it), so every place is a pasted row.
void RowTextAspect::pasteRows(std::span<const Node* const> nodes, const CopiedRows& rows)
{
    const std::vector<CopiedRowTexts>& copied = rows.*m_member;
    if (copied.empty())
        return;
    std::vector<Held> added;
    added.reserve(copied.size());
    for (const CopiedRowTexts& t : copied)
        added.emplace_back(nodes[t.row], m_store.setRow(nodes[t.row], t.texts));
    changed(std::move(added));
}

bool fullLabelStands(std::string_view nodeText, std::string_view fullLabel)
{
    return questionFormIs(fullLabel, nodeText.substr(labelOffset(nodeText)));
}

std::string fullNodeText(std::string_view nodeText, const std::string* fullLabel)
{
    if (!fullLabel || !fullLabelStands(nodeText, *fullLabel))
        return cp1252ToUtf8(nodeText);
    std::string out = cp1252ToUtf8(nodeText.substr(0, labelOffset(nodeText)));
    out += *fullLabel;
    return out;
}

} // namespace model
