#pragma once
// The record both text blocks of the design file share (see
// UnicodeTextBlock.h and NoteBlock.h): which node, and its text in UTF-8.
// Little-endian:
//
//   0 tree (1 FR, 2 DP, 3 PV; 4 a column title)   1 zero (3)   4 row index   8 byte length n   12 n bytes of UTF-8
//
// Records go by tree, then row, each place once, so that a block read is the
// block written again.

#include "model/DesignTree.h"
#include "model/RowTexts.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace io {

inline constexpr std::size_t kTextRecordHeadSize = 12;

struct TextRecord {
    std::uint8_t tree = 0;
    std::uint32_t row = 0;
    std::string_view text; // valid UTF-8 without a NUL
};

void appendTextRecord(std::string& out, std::uint8_t tree, std::uint32_t row, std::string_view text);

// Hands `take` every record of `payload` in turn, and is false (at the first
// that fails) when a record is cut short, its padding is not zero, it does
// not follow the one before in order, its text is not valid UTF-8, or `take`
// refuses it. An empty payload holds no record.
template <typename Take>
bool forEachTextRecord(std::string_view payload, Take&& take);

// A text taken for the node of `tree` (1 to 3) in row `row`.
struct TakenText {
    std::uint32_t row;
    std::uint8_t tree;
    std::string_view text;
};

// The texts taken, keyed by the FR nodes of their rows; `taken` is sorted.
model::RowTextStore storeOf(std::vector<TakenText>& taken, std::span<const model::Node* const> frRows);

// The rows of `store` that hold texts, with them, in row order.
using RowTextsAt = std::pair<std::uint32_t, const model::RowTextArray*>;
std::vector<RowTextsAt> rowsInOrder(const model::DesignTree& fr, const model::RowTextStore& store);

// One record at `at`, `at` moved past it; false as above, the order aside.
bool readTextRecord(std::string_view payload, std::size_t& at, TextRecord& record);

template <typename Take>
bool forEachTextRecord(std::string_view payload, Take&& take)
{
    std::size_t at = 0;
    std::uint64_t last = 0; // tree and row as one number, so that order is one comparison
    for (bool first = true; at < payload.size(); first = false) {
        TextRecord record;
        if (!readTextRecord(payload, at, record))
            return false;
        const std::uint64_t place = (std::uint64_t{record.tree} << 32) | record.row;
        if ((!first && place <= last) || !take(record))
            return false;
        last = place;
    }
    return true;
}

} // namespace io
