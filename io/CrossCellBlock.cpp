#include "io/CrossCellBlock.h"

#include "io/ByteOrder.h"
#include "io/DesignFile.h"
#include "model/Design.h"

#include <algorithm>
#include <tuple>
#include <vector>

namespace io {
namespace {

bool knownKind(std::uint8_t k)
{
    return k == static_cast<std::uint8_t>(model::MatrixKind::FrDp) || k == static_cast<std::uint8_t>(model::MatrixKind::DpPv);
}

bool knownValue(std::uint8_t v)
{
    return v == static_cast<std::uint8_t>(model::CellValue::X) || v == static_cast<std::uint8_t>(model::CellValue::O);
}

bool readCrossCells(std::uint32_t version, std::string_view payload, DesignFileContents& into)
{
    if (version != kCrossCellBlockVersion || payload.empty() || payload.size() % kCrossCellSize != 0)
        return false;
    const model::DesignTree& fr = into.trees[0];
    const std::span<const model::Node* const> rows = fr.preorder();
    model::CrossCellStore store;
    store.reserve(payload.size() / kCrossCellSize);
    std::tuple<std::uint8_t, std::uint32_t, std::uint32_t> last{0, 0, 0};
    for (std::size_t at = 0; at < payload.size(); at += kCrossCellSize) {
        const std::uint8_t kind = getU8(payload, at);
        const std::uint8_t value = getU8(payload, at + 1);
        const std::uint32_t a = getU32(payload, at + 4);
        const std::uint32_t b = getU32(payload, at + 8);
        if (!knownKind(kind) || !knownValue(value) || getU8(payload, at + 2) != 0 || getU8(payload, at + 3) != 0)
            return false;
        if (a >= rows.size() || b >= rows.size() || !model::crossPair(fr, rows[a], rows[b]))
            return false;
        const std::tuple<std::uint8_t, std::uint32_t, std::uint32_t> place{kind, a, b};
        if (at > 0 && !(last < place)) // in order, so no pair twice
            return false;
        last = place;
        store.set(static_cast<model::MatrixKind>(kind), rows[a], rows[b], static_cast<model::CellValue>(value));
    }
    into.crossCells = std::move(store);
    return true;
}

void writeCrossCells(const model::Design& design, std::string& out)
{
    out += encodeCrossCellBlock(design.tree(model::TreeId::FR), design.crossCells());
}

} // namespace

std::string encodeCrossCellBlock(const model::DesignTree& fr, const model::CrossCellStore& cells)
{
    if (cells.empty())
        return {};
    struct Cell {
        std::uint8_t kind;
        std::uint32_t a, b;
        std::uint8_t value;
    };
    std::vector<Cell> sorted;
    sorted.reserve(cells.size());
    for (const auto& [key, value] : cells.all())
        sorted.push_back({static_cast<std::uint8_t>(key.kind), static_cast<std::uint32_t>(fr.rowOf(key.a)),
                          static_cast<std::uint32_t>(fr.rowOf(key.b)), static_cast<std::uint8_t>(value)});
    std::sort(sorted.begin(), sorted.end(),
              [](const Cell& x, const Cell& y) { return std::tie(x.kind, x.a, x.b) < std::tie(y.kind, y.a, y.b); });
    std::string out(kBlockHeadSize, '\0');
    out.reserve(kBlockHeadSize + sorted.size() * kCrossCellSize);
    for (const Cell& c : sorted) {
        out.push_back(static_cast<char>(c.kind));
        out.push_back(static_cast<char>(c.value));
        out.append(2, '\0');
        appendU32(out, c.a);
        appendU32(out, c.b);
    }
    sealBlock(out, 0, kCrossCellTag, kCrossCellBlockVersion);
    return out;
}

const BlockModule& crossCellBlockModule()
{
    static const BlockModule module{kCrossCellTag, "the cross-level cells", readCrossCells, writeCrossCells};
    return module;
}

} // namespace io
