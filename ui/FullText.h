#pragma once
// A node's text as the user typed it, for display: the tree keeps each label
// in Windows-1252, and a label beyond it in full beside the tree (see
// model/RowTexts.h). A design without such labels shows its node texts as
// they are, at the cost it always had.

#include "model/Design.h"
#include "model/Numbering.h"
#include "model/Utf8.h"
#include "ui/Cp1252.h"

#include <QString>

namespace ui {

// The whole text, outline number included.
inline QString fullTextOf(const model::Design& design, model::TreeId id, const model::Node* node)
{
    if (design.fullLabels().empty())
        return decodeCp1252(node->text());
    return QString::fromStdString(design.fullText(id, node));
}

// The label alone, without its outline number: each byte of the node text
// is one character of its UTF-8 form.
inline QString fullLabelOf(const model::Design& design, model::TreeId id, const model::Node* node)
{
    if (design.fullLabels().empty())
        return decodeCp1252(model::strippedLabel(node->text()));
    const std::string full = design.fullText(id, node);
    return QString::fromStdString(full.substr(model::utf8Offset(full, model::labelOffset(node->text()))));
}

} // namespace ui
