#include "io/InformationBlock.h"

#include "io/ByteOrder.h"
#include "io/DesignFile.h"
#include "model/Design.h"

#include <algorithm>
#include <vector>

namespace io {
namespace {

constexpr std::uint8_t kLowerBit = 1;
constexpr std::uint8_t kUpperBit = 2;

bool readRanges(std::uint32_t version, std::string_view payload, DesignFileContents& into)
{
    if (version != kInformationBlockVersion || payload.empty())
        return false;
    const std::span<const model::Node* const> rows = into.trees[0].preorder();
    model::RangeStore store;
    store.reserve(payload.size() / (4 + kRangeFieldsSize));
    std::size_t at = 0;
    std::int64_t lastRow = -1;
    while (at < payload.size()) {
        if (payload.size() - at < 4)
            return false;
        const std::uint32_t row = getU32(payload, at);
        at += 4;
        if (row >= rows.size() || std::int64_t{row} <= lastRow)
            return false;
        lastRow = row;
        const std::optional<model::FrRanges> ranges = readRangeFields(payload, at);
        if (!ranges)
            return false;
        store.set(rows[row], *ranges);
    }
    into.ranges = std::move(store);
    return true;
}

void writeRanges(const model::Design& design, std::string& out)
{
    out += encodeInformationBlock(design.tree(model::TreeId::FR), design.ranges());
}

} // namespace

void appendRangeFields(std::string& out, const model::FrRanges& r)
{
    out.push_back(static_cast<char>((r.design.hasLower ? kLowerBit : 0) | (r.design.hasUpper ? kUpperBit : 0)));
    out.push_back(static_cast<char>(r.system.kind));
    out.push_back(static_cast<char>(r.design.unit.size()));
    out.push_back('\0');
    appendF64(out, r.design.lower);
    appendF64(out, r.design.upper);
    appendF64(out, r.system.first);
    appendF64(out, r.system.second);
    out += r.design.unit;
}

std::optional<model::FrRanges> readRangeFields(std::string_view bytes, std::size_t& at)
{
    if (at > bytes.size() || bytes.size() - at < kRangeFieldsSize)
        return std::nullopt;
    const std::uint8_t bounds = getU8(bytes, at);
    const std::uint8_t kind = getU8(bytes, at + 1);
    const std::uint8_t unitLength = getU8(bytes, at + 2);
    if ((bounds & ~(kLowerBit | kUpperBit)) != 0 || kind > static_cast<std::uint8_t>(model::SystemKind::Normal)
        || unitLength > model::kLongestUnit || getU8(bytes, at + 3) != 0)
        return std::nullopt;
    model::FrRanges r;
    r.design.hasLower = bounds & kLowerBit;
    r.design.hasUpper = bounds & kUpperBit;
    r.design.lower = getF64(bytes, at + 4);
    r.design.upper = getF64(bytes, at + 12);
    r.system.kind = static_cast<model::SystemKind>(kind);
    r.system.first = getF64(bytes, at + 20);
    r.system.second = getF64(bytes, at + 28);
    at += kRangeFieldsSize;
    if (bytes.size() - at < unitLength)
        return std::nullopt;
    r.design.unit.assign(bytes.substr(at, unitLength));
    at += unitLength;
    // Only what a writer of ranges can write: absent values 0, no unit without
    // bounds, valid, not empty; so a block read is the block written again.
    if (r.empty() || r != model::normalised(r) || model::problemWith(r))
        return std::nullopt;
    return r;
}

std::string encodeInformationBlock(const model::DesignTree& fr, const model::RangeStore& ranges)
{
    if (ranges.empty())
        return {};
    std::vector<std::pair<std::uint32_t, const model::FrRanges*>> records;
    records.reserve(ranges.size());
    for (const auto& [node, r] : ranges.all())
        records.emplace_back(static_cast<std::uint32_t>(fr.rowOf(node)), &r);
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out(kBlockHeadSize, '\0');
    out.reserve(kBlockHeadSize + records.size() * (4 + kRangeFieldsSize + model::kLongestUnit));
    for (const auto& [row, r] : records) {
        appendU32(out, row);
        appendRangeFields(out, *r);
    }
    sealBlock(out, 0, kInformationTag, kInformationBlockVersion);
    return out;
}

const BlockModule& informationBlockModule()
{
    static const BlockModule module{kInformationTag, "the information ranges", readRanges, writeRanges};
    return module;
}

} // namespace io
