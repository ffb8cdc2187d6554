#pragma once
// Shared by the fuzz targets: a property check that stops the run (libFuzzer
// then keeps the input as a crash reproducer), the input as bytes, and a tree
// drawn as its rows for comparing two trees.

#include "model/DesignTree.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace fuzzing {

[[noreturn]] inline void fail(const char* property)
{
    std::fprintf(stderr, "\n*** property broken: %s\n", property);
    std::abort();
}

inline void check(bool holds, const char* property)
{
    if (!holds)
        fail(property);
}

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// One row of a tree: its level (worked out from the parent's row, not asked
// of the tree) and its text.
struct Row {
    std::uint32_t level;
    std::string_view text;
    bool operator==(const Row&) const = default;
};

inline std::vector<Row> rowsOf(const model::DesignTree& tree)
{
    const std::span<const model::Node* const> order = tree.preorder();
    std::vector<Row> rows;
    rows.reserve(order.size());
    for (const model::Node* node : order) {
        const bool top = tree.isTopLevel(node);
        check(top || node->parent->row < rows.size(), "a parent comes before its children");
        const std::uint32_t level = top ? 0 : rows[node->parent->row].level + 1;
        rows.push_back({level, node->text().view()});
    }
    return rows;
}

} // namespace fuzzing
