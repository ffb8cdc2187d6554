#include "io/MatrixBlock.h"

#include "io/ByteOrder.h"
#include "model/UserError.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <unordered_set>

namespace io {
namespace {

constexpr std::uint64_t kWholeU32 = std::numeric_limits<std::uint32_t>::max();

std::uint32_t crcOf(std::string_view bytes)
{
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib counts in uInt: feed a long payload in pieces.
    while (!bytes.empty()) {
        const std::size_t piece = std::min<std::size_t>(bytes.size(), 1u << 30);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(piece));
        bytes.remove_prefix(piece);
    }
    return static_cast<std::uint32_t>(crc);
}

std::uint32_t fieldValue(std::size_t value)
{
    if (value > kWholeU32)
        throw model::UserError("Stream write error"); // the field cannot hold it
    return static_cast<std::uint32_t>(value);
}

void appendRecord(std::string& out, model::MatrixKind kind, std::uint32_t parentRow, std::uint32_t n,
                  const std::vector<model::IndexedCell>& cells)
{
    out.push_back(static_cast<char>(kind));
    out.append(3, '\0');
    appendU32(out, parentRow);
    appendU32(out, n);
    appendU32(out, fieldValue(cells.size()));
    for (const model::IndexedCell& c : cells) {
        appendU32(out, c.row);
        appendU32(out, c.column);
        out.push_back(static_cast<char>(c.value));
        out.append(3, '\0');
    }
}

// Anything not exactly as the tables say refuses the whole block.
struct Refused {};

void require(bool condition)
{
    if (!condition)
        throw Refused{};
}

// The records of a checked payload, into `store`.
void decodeRecords(std::string_view payload, const model::DesignTree& fr, model::MatrixStore& store)
{
    const std::span<const model::Node* const> rows = fr.preorder();
    std::unordered_set<std::uint64_t> seen; // parent row and kind of every record so far
    std::size_t at = 0;
    while (at < payload.size()) {
        require(payload.size() - at >= kMatrixRecordHeadSize);
        const std::uint8_t kindByte = getU8(payload, at);
        require(kindByte == static_cast<std::uint8_t>(model::MatrixKind::FrDp)
                || kindByte == static_cast<std::uint8_t>(model::MatrixKind::DpPv));
        const auto kind = static_cast<model::MatrixKind>(kindByte);
        const std::uint32_t parentRow = getU32(payload, at + 4);
        const std::uint32_t n = getU32(payload, at + 8);
        const std::uint32_t m = getU32(payload, at + 12);
        at += kMatrixRecordHeadSize;
        require(seen.insert((std::uint64_t{parentRow} << 2) | kindByte).second);
        require(parentRow == kTopLevelParent || parentRow < rows.size());
        const model::Node* parent = parentRow == kTopLevelParent ? fr.root() : rows[parentRow];
        require(parent->children.size() == n);
        require(m <= (payload.size() - at) / kMatrixCellSize);
        if (m > 0)
            store.reserve(parent, kind, m);
        for (std::uint32_t k = 0; k < m; ++k, at += kMatrixCellSize) {
            const std::uint32_t i = getU32(payload, at);
            const std::uint32_t j = getU32(payload, at + 4);
            const std::uint8_t value = getU8(payload, at + 8);
            require(i < n && j < n && i != j);
            require(value == static_cast<std::uint8_t>(model::CellValue::X)
                    || value == static_cast<std::uint8_t>(model::CellValue::O));
            require(store.set(parent, kind, parent->children[i], parent->children[j],
                              static_cast<model::CellValue>(value))
                    == model::CellValue::NotAssessed); // a repeated cell
        }
    }
}

} // namespace

std::string matricesLeftOutMessage(const std::string& path)
{
    return "The design matrices in " + path + " could not be read and are left out";
}

std::string encodeMatrixBlock(const model::DesignTree& fr, const model::MatrixStore& matrices)
{
    if (matrices.empty())
        return {};
    // The top level (the hidden root) first, then by row.
    std::vector<std::pair<std::uint32_t, const model::Node*>> parents;
    for (const model::Node* p : matrices.parents())
        parents.emplace_back(p == fr.root() ? kTopLevelParent : static_cast<std::uint32_t>(fr.rowOf(p)), p);
    const auto order = [](std::uint32_t row) { return row == kTopLevelParent ? -1 : std::int64_t{row}; };
    std::sort(parents.begin(), parents.end(),
              [&](const auto& a, const auto& b) { return order(a.first) < order(b.first); });
    std::string out(kMatrixHeadSize, '\0');
    for (const auto& [row, parent] : parents)
        for (model::MatrixKind kind : model::kMatrixKinds) {
            const std::vector<model::IndexedCell> cells = matrices.indexedCells(parent, kind);
            if (!cells.empty())
                appendRecord(out, kind, row, fieldValue(parent->children.size()), cells);
        }
    const std::string_view payload = std::string_view(out).substr(kMatrixHeadSize);
    out.replace(0, kMatrixTag.size(), kMatrixTag);
    putU32(out, 4, kMatrixBlockVersion);
    putU32(out, 8, fieldValue(payload.size()));
    putU32(out, 12, crcOf(payload));
    return out;
}

MatrixBlockRead readMatrixBlock(std::uint64_t behind,
                                const std::function<std::string(std::uint64_t, std::size_t)>& bytesAt,
                                const model::DesignTree& fr)
{
    MatrixBlockRead result;
    if (behind < kMatrixTag.size() || bytesAt(0, kMatrixTag.size()) != kMatrixTag)
        return result; // no block: whatever lies there is not ours
    try {
        require(behind >= kMatrixHeadSize);
        const std::string head = bytesAt(0, kMatrixHeadSize);
        require(getU32(head, 4) == kMatrixBlockVersion);
        const std::uint32_t length = getU32(head, 8);
        require(length <= behind - kMatrixHeadSize);
        const std::string payload = bytesAt(kMatrixHeadSize, length);
        require(payload.size() == length && crcOf(payload) == getU32(head, 12));
        decodeRecords(payload, fr, result.matrices);
    } catch (const Refused&) {
        result.matrices.clear();
        result.leftOut = true;
    } catch (const model::UserError&) { // a field outside the bytes read
        result.matrices.clear();
        result.leftOut = true;
    }
    return result;
}

} // namespace io
