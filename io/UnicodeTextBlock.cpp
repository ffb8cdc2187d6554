#include "io/UnicodeTextBlock.h"

#include "io/DesignFile.h"
#include "io/TextRecords.h"
#include "model/Design.h"
#include "model/Numbering.h"
#include "model/Utf8.h"

#include <algorithm>
#include <vector>

namespace io {
namespace {

constexpr std::uint8_t kTitleRecord = 4;
constexpr std::size_t kTrees = model::kTreeCount;
constexpr auto kTitleFieldSize = static_cast<std::size_t>(model::kTitleFieldSize);

// Whether a title's question form, cut to the header's field, is the title the field holds.
bool titleFormIs(std::string_view utf8, std::string_view title)
{
    const std::string form = model::questionForm(utf8);
    return std::string_view(form).substr(0, kTitleFieldSize) == title;
}

// The label a node's record gives, once its question form is the section's
// text: the record behind as many characters as the section's number takes.
std::string_view fullLabelOf(std::string_view record, std::string_view sectionText)
{
    return record.substr(model::utf8Offset(record, model::labelOffset(sectionText)));
}

bool readUnicodeTexts(std::uint32_t version, std::string_view payload, DesignFileContents& into)
{
    if (version != kUnicodeTextBlockVersion)
        return false;
    std::array<std::span<const model::Node* const>, kTrees> rows;
    for (std::size_t i = 0; i < kTrees; ++i)
        rows[i] = into.trees[i].preorder();
    std::vector<TakenText> labels;
    std::array<std::string, kTrees> titles;
    const bool wellFormed = forEachTextRecord(payload, [&](const TextRecord& r) {
        if (r.tree == kTitleRecord) {
            if (r.row >= kTrees)
                return false;
            if (titleFormIs(r.text, into.titles[r.row]))
                titles[r.row].assign(r.text);
            return true;
        }
        if (r.tree < 1 || r.tree > kTrees || r.row >= rows[0].size())
            return false;
        const std::string_view section = rows[r.tree - 1u][r.row]->text().view();
        if (!model::questionFormIs(r.text, section))
            return true; // changed by a program that knows no full text: the section stands
        const std::string_view label = fullLabelOf(r.text, section);
        if (!model::fitsCp1252(label)) // the code page says it all otherwise
            labels.push_back({r.row, r.tree, label});
        return true;
    });
    if (!wellFormed)
        return false;
    into.fullLabels = storeOf(labels, rows[0]);
    into.fullTitles = std::move(titles);
    return true;
}

} // namespace

void appendUnicodeTextBlock(const model::Design& design, std::string& out)
{
    const std::vector<RowTextsAt> rows = rowsInOrder(design.tree(model::TreeId::FR), design.fullLabels());
    const std::size_t at = out.size();
    std::size_t size = kBlockHeadSize; // about: a number for each label
    for (const auto& [row, texts] : rows)
        for (const std::string& t : *texts)
            size += t.empty() ? 0 : kTextRecordHeadSize + 16 + t.size();
    out.reserve(at + size);
    out.append(kBlockHeadSize, '\0');
    for (model::TreeId id : model::kAllTrees) {
        const auto i = static_cast<std::size_t>(model::index(id));
        const model::DesignTree& tree = design.tree(id);
        for (const auto& [row, texts] : rows) {
            const std::string& label = (*texts)[i];
            const std::string_view nodeText = tree.nodeAt(static_cast<int>(row))->text().view();
            if (!label.empty() && !model::fitsCp1252(label) && model::fullLabelStands(nodeText, label))
                appendTextRecord(out, static_cast<std::uint8_t>(i + 1), row, model::fullNodeText(nodeText, &label));
        }
    }
    for (model::TreeId id : model::kAllTrees)
        if (const std::string& title = design.unicodeTitle(id); !title.empty())
            appendTextRecord(out, kTitleRecord, static_cast<std::uint32_t>(model::index(id)), title);
    if (out.size() == at + kBlockHeadSize)
        out.resize(at);
    else
        sealBlock(out, at, kUnicodeTextTag, kUnicodeTextBlockVersion);
}

const BlockModule& unicodeTextBlockModule()
{
    static const BlockModule module{kUnicodeTextTag, "the Unicode texts", readUnicodeTexts, appendUnicodeTextBlock};
    return module;
}

} // namespace io
