#include "export/InformationContent.h"

#include "export/FullText.h"
#include "model/Cp1252.h"
#include "model/DesignTree.h"
#include "model/Numbering.h"
#include "model/PreOrder.h"

#include <charconv>

namespace exporting {

std::string probabilityText(double p)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, p, std::chars_format::fixed, 3);
    return std::string(buffer, result.ptr);
}

std::string totalText(const model::InformationTotal& total)
{
    std::string text = model::bitsText(total.bits) + " bits over " + std::to_string(total.rows);
    text += total.rows == 1 ? " FR" : " FRs";
    if (!total.exact)
        text.append(" (").append(model::kNotIndependent).append(")");
    return text;
}

model::InformationTotal informationTotalOf(const ExportSource& source)
{
    if (!source.ranges || source.ranges->empty() || !source.trees[0])
        return {};
    static const model::MatrixStore kNoMatrices;
    return model::informationTotal(*source.trees[0], source.matrices ? *source.matrices : kNoMatrices, *source.ranges);
}

std::vector<std::string> informationLines(const ExportSource& source)
{
    std::vector<std::string> lines;
    const model::InformationTotal total = informationTotalOf(source);
    if (total.rows == 0)
        return lines;
    model::preOrderNumbered(source.trees[0]->root(), [&](const model::Node* node, std::size_t,
                                                         const std::string& number) {
        const model::FrRanges* ranges = source.ranges->find(node);
        if (!ranges || !ranges->complete())
            return;
        const double p = model::probabilityOfSuccess(*ranges);
        std::string line = number;
        const std::string* full = standingFullLabel(source, 0, node, node);
        const std::string_view label = full ? std::string_view(*full) : model::strippedLabel(node->text());
        if (!label.empty()) {
            line.append(" ");
            if (full)
                line.append(label);
            else
                model::appendCp1252AsUtf8(line, label);
        }
        line.append(": ");
        model::appendCp1252AsUtf8(line, model::designRangeText(ranges->design));
        line.append(" against ");
        model::appendCp1252AsUtf8(line, model::systemRangeText(ranges->system));
        line.append(": p = ").append(probabilityText(p));
        line.append(", I = ").append(model::bitsText(model::informationBits(p))).append(" bits");
        lines.push_back(std::move(line));
    });
    lines.push_back("Total: " + totalText(total));
    return lines;
}

} // namespace exporting
