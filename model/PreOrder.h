#pragma once
// The one pre-order walk over a tree's nodes: a node, then the subtree of
// each of its children in order, which is row order. Iterative: the walk
// keeps one frame per level on the heap, so a design nested a million deep
// costs memory, never the call stack.

#include <cstddef>
#include <string>
#include <vector>

namespace model {

// visit(node, depth) for every node below `parent`, in row order, going
// below a visited node only where descend(node, depth) says so (the open
// branches a view shows); parent's children are at depth 0.
template <typename NodePtr, typename Descend, typename Visit>
void preOrderBelowWhere(NodePtr parent, Descend&& descend, Visit&& visit)
{
    struct Frame {
        NodePtr node;
        std::size_t next;
    };
    std::vector<Frame> stack{{parent, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == f.node->children.size()) {
            stack.pop_back();
            continue;
        }
        NodePtr child = f.node->children[f.next++];
        const std::size_t depth = stack.size() - 1;
        visit(child, depth);
        if (!child->children.empty() && descend(child, depth))
            stack.push_back({child, 0}); // f is not used past here
    }
}

// visit(node, depth) for every node below `parent`, in row order; its children
// are at depth 0. From a tree's hidden root this is every row of the tree.
template <typename NodePtr, typename Visit>
void preOrderBelow(NodePtr parent, Visit&& visit)
{
    preOrderBelowWhere(parent, [](NodePtr, std::size_t) { return true; }, visit);
}

// visit(node, depth) for `top` itself at depth 0, then every node below it.
template <typename NodePtr, typename Visit>
void preOrder(NodePtr top, Visit&& visit)
{
    visit(top, std::size_t{0});
    preOrderBelow(top, [&](NodePtr node, std::size_t depth) { visit(node, depth + 1); });
}

// visit(node, depth, number) for every node below `parent` in row order, with
// the outline number of its place ("1.2.3", whatever its label says), grown
// and cut back as the walk goes: linear however deep the design, where a
// number made per row from its parents would not be.
template <typename NodePtr, typename Visit>
void preOrderNumbered(NodePtr parent, Visit&& visit)
{
    std::string number;
    std::vector<std::size_t> parentNumberLength{0}; // by depth
    preOrderBelow(parent, [&](NodePtr node, std::size_t depth) {
        number.resize(parentNumberLength[depth]);
        if (!number.empty())
            number += '.';
        number += std::to_string(node->siblingIndex + 1);
        parentNumberLength.resize(depth + 2);
        parentNumberLength[depth + 1] = number.size();
        visit(node, depth, static_cast<const std::string&>(number));
    });
}

} // namespace model
