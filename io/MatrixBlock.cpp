#include "io/MatrixBlock.h"

#include "io/ByteOrder.h"
#include "io/DesignFile.h"
#include "model/Design.h"
#include "model/UserError.h"

#include <algorithm>
#include <limits>

namespace io {
namespace {

constexpr std::uint64_t kWholeU32 = std::numeric_limits<std::uint32_t>::max();

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

// Where a record's parent goes in the written order: the top level first.
std::int64_t parentOrder(std::uint32_t parentRow)
{
    return parentRow == kTopLevelParent ? -1 : std::int64_t{parentRow};
}

bool zeros(std::string_view payload, std::size_t at, std::size_t count)
{
    return payload.substr(at, count).find_first_not_of('\0') == std::string_view::npos;
}

// The records of a checked payload, into `store`, in the order they are
// written and no other: each record after the one before it, each cell after
// the one before it (so nothing comes twice).
void decodeRecords(std::string_view payload, const model::DesignTree& fr, model::MatrixStore& store)
{
    const std::span<const model::Node* const> rows = fr.preorder();
    std::int64_t lastParent = std::numeric_limits<std::int64_t>::min();
    std::uint8_t lastKind = 0;
    std::size_t at = 0;
    require(!payload.empty());
    while (at < payload.size()) {
        require(payload.size() - at >= kMatrixRecordHeadSize);
        const std::uint8_t kindByte = getU8(payload, at);
        require(kindByte == static_cast<std::uint8_t>(model::MatrixKind::FrDp)
                || kindByte == static_cast<std::uint8_t>(model::MatrixKind::DpPv));
        require(zeros(payload, at + 1, 3));
        const auto kind = static_cast<model::MatrixKind>(kindByte);
        const std::uint32_t parentRow = getU32(payload, at + 4);
        const std::uint32_t n = getU32(payload, at + 8);
        const std::uint32_t m = getU32(payload, at + 12);
        at += kMatrixRecordHeadSize;
        require(parentRow == kTopLevelParent || parentRow < rows.size());
        const std::int64_t order = parentOrder(parentRow);
        require(order > lastParent || (order == lastParent && kindByte > lastKind));
        lastParent = order;
        lastKind = kindByte;
        const model::Node* parent = parentRow == kTopLevelParent ? fr.root() : rows[parentRow];
        require(parent->children.size() == n);
        require(m > 0 && m <= (payload.size() - at) / kMatrixCellSize);
        store.reserve(parent, kind, m);
        std::uint64_t lastCell = 0; // row * 2^32 + column + 1 of the cell before; 0 before the first
        for (std::uint32_t k = 0; k < m; ++k, at += kMatrixCellSize) {
            const std::uint32_t i = getU32(payload, at);
            const std::uint32_t j = getU32(payload, at + 4);
            const std::uint8_t value = getU8(payload, at + 8);
            require(i < n && j < n && i != j);
            require(value == static_cast<std::uint8_t>(model::CellValue::X)
                    || value == static_cast<std::uint8_t>(model::CellValue::O));
            require(zeros(payload, at + 9, 3));
            const std::uint64_t place = (std::uint64_t{i} << 32) + j + 1;
            require(place > lastCell);
            lastCell = place;
            store.set(parent, kind, parent->children[i], parent->children[j], static_cast<model::CellValue>(value));
        }
    }
}

bool readMatrices(std::uint32_t version, std::string_view payload, DesignFileContents& into)
{
    if (version != kMatrixBlockVersion)
        return false;
    try {
        decodeRecords(payload, into.trees[0], into.matrices);
        return true;
    } catch (const Refused&) {
    } catch (const model::UserError&) { // a field outside the payload
    }
    into.matrices.clear();
    return false;
}

void writeMatrices(const model::Design& design, std::string& out)
{
    out += encodeMatrixBlock(design.tree(model::TreeId::FR), design.matrices());
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
    std::string out(kBlockHeadSize, '\0');
    for (const auto& [row, parent] : parents)
        for (model::MatrixKind kind : model::kMatrixKinds) {
            const std::vector<model::IndexedCell> cells = matrices.indexedCells(parent, kind);
            if (!cells.empty())
                appendRecord(out, kind, row, fieldValue(parent->children.size()), cells);
        }
    sealBlock(out, 0, kMatrixTag, kMatrixBlockVersion);
    return out;
}

const BlockModule& matrixBlockModule()
{
    static const BlockModule module{kMatrixTag, "the design matrices", readMatrices, writeMatrices};
    return module;
}

} // namespace io
