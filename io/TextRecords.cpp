#include "io/TextRecords.h"

#include "io/ByteOrder.h"
#include "model/Utf8.h"

#include <algorithm>

namespace io {

void appendTextRecord(std::string& out, std::uint8_t tree, std::uint32_t row, std::string_view text)
{
    out.push_back(static_cast<char>(tree));
    out.append(3, '\0');
    appendU32(out, row);
    appendU32(out, static_cast<std::uint32_t>(text.size())); // a text is at most a few MB
    out.append(text);
}

bool readTextRecord(std::string_view payload, std::size_t& at, TextRecord& record)
{
    if (payload.size() - at < kTextRecordHeadSize)
        return false;
    if (payload[at + 1] != '\0' || payload[at + 2] != '\0' || payload[at + 3] != '\0')
        return false;
    const std::uint32_t length = getU32(payload, at + 8);
    if (payload.size() - at - kTextRecordHeadSize < length)
        return false;
    record.tree = getU8(payload, at);
    record.row = getU32(payload, at + 4);
    record.text = payload.substr(at + kTextRecordHeadSize, length);
    at += kTextRecordHeadSize + length;
    return model::validUtf8(record.text);
}

std::vector<RowTextsAt> rowsInOrder(const model::DesignTree& fr, const model::RowTextStore& store)
{
    std::vector<RowTextsAt> rows;
    rows.reserve(store.size());
    for (const auto& [node, texts] : store.all())
        rows.emplace_back(static_cast<std::uint32_t>(fr.rowOf(node)), &texts);
    std::sort(rows.begin(), rows.end(), [](const RowTextsAt& a, const RowTextsAt& b) { return a.first < b.first; });
    return rows;
}

// By row, so that each row's texts go into the store at once: records come
// by tree, and filling a row tree by tree would copy its texts again.
model::RowTextStore storeOf(std::vector<TakenText>& taken, std::span<const model::Node* const> frRows)
{
    std::stable_sort(taken.begin(), taken.end(), [](const TakenText& a, const TakenText& b) { return a.row < b.row; });
    model::RowTextStore store;
    store.reserve(taken.size());
    for (std::size_t k = 0; k < taken.size();) {
        model::RowTextArray texts;
        const std::uint32_t row = taken[k].row;
        for (; k < taken.size() && taken[k].row == row; ++k)
            texts[taken[k].tree - 1u].assign(taken[k].text);
        store.set(frRows[row], std::move(texts));
    }
    return store;
}

} // namespace io
