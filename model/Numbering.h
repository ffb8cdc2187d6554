#pragma once
// Outline numbers at the head of node texts ("2.1.10 Pump flow").

#include <string>
#include <string_view>

namespace model {

class Node;

// Where the label starts once the number is stripped: behind the first space
// when the text begins with a digit 1 to 9 and holds a space, otherwise 0.
std::size_t labelOffset(std::string_view text);

// The text without its outline number.
std::string_view strippedLabel(std::string_view text);

// A node's outline number from its position ("1.2.3"), whatever its text
// says; empty for a tree's hidden root. O(depth).
std::string outlineNumberOf(const Node* node);

} // namespace model
