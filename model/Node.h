#pragma once
// One node of a design tree: its text and its place among its siblings.

#include <cstdint>
#include <string>
#include <vector>

namespace model {

struct Node {
    std::string text;            // single-byte Windows-1252 bytes, kept unchanged
    Node* parent = nullptr;      // the tree's hidden root for top-level nodes
    std::vector<Node*> children; // owned; freed without recursion by DesignTree
    std::uint32_t siblingIndex = 0; // kept up to date by every structural change
    std::uint32_t row = 0;          // pre-order position; valid while the tree's row cache is

    Node() = default;
    explicit Node(std::string t) : text(std::move(t)) {}
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
};

} // namespace model
