#include "model/RowTexts.h"

#include "model/Cp1252.h"
#include "model/Design.h"
#include "model/RowTextAspect.h"
#include "model/Numbering.h"
#include "model/Utf8.h"

#include <algorithm>

namespace model {

bool RowTextStore::isEmpty(const RowTextArray& texts)
{
    return std::all_of(texts.begin(), texts.end(), [](const std::string& t) { return t.empty(); });
}

std::size_t RowTextStore::bytesOf(const RowTextArray& texts)
{
    std::size_t n = 0;
    for (const std::string& t : texts)
        n += t.capacity();
    return n;
}

const std::string* RowTextStore::find(TreeId id, const Node* frNode) const
{
    const RowTextArray* row = find(frNode);
    if (!row)
        return nullptr;
    const std::string& text = (*row)[static_cast<std::size_t>(index(id))];
    return text.empty() ? nullptr : &text;
}

const RowTextArray* RowTextStore::find(const Node* frNode) const
{
    if (m_rows.empty())
        return nullptr;
    const auto it = m_rows.find(frNode);
    return it == m_rows.end() ? nullptr : &it->second;
}

RowTextArray RowTextStore::set(const Node* frNode, RowTextArray texts)
{
    const auto it = m_rows.find(frNode);
    RowTextArray old;
    if (it != m_rows.end()) {
        old = std::move(it->second);
        if (isEmpty(texts))
            m_rows.erase(it);
        else
            it->second = std::move(texts);
    } else if (!isEmpty(texts)) {
        m_rows.emplace(frNode, std::move(texts));
    }
    return old;
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

void FullLabelAspect::subtreeCopied(const Node* from, const Node* to)
{
    RowTextAspect::subtreeCopied(from, to);
    if (!store().find(to))
        return;
    const int source = frTree().rowOf(from);
    const int copy = frTree().rowOf(to);
    for (TreeId id : kAllTrees) {
        const std::string* label = store().find(id, to);
        if (!label)
            continue;
        const std::string_view was = design().tree(id).nodeAt(source)->text().view();
        const std::string_view now = design().tree(id).nodeAt(copy)->text().view();
        if (now.size() > was.size() && now.starts_with(was))
            setText(id, to, *label + cp1252ToUtf8(now.substr(was.size())));
    }
}

} // namespace model
