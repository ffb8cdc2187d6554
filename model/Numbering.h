#pragma once
// Outline numbers at the head of node texts ("2.1.10 Pump flow").

#include <string>
#include <string_view>

namespace model {

class Node;

// Where the label starts once the number is stripped: behind the first space
// when the text begins with a digit 1 to 9 and holds a space, otherwise 0.
// Inline, with a plain loop: a renumbering asks it of every text, and the
// space is a few bytes in.
inline std::size_t labelOffset(std::string_view text)
{
    if (text.empty() || text.front() < '1' || text.front() > '9')
        return 0;
    for (std::size_t i = 1; i < text.size(); ++i)
        if (text[i] == ' ')
            return i + 1;
    return 0;
}

// Whether `text` begins with `prefix`; a plain loop for the same reason.
inline bool startsWithNumber(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (text[i] != prefix[i])
            return false;
    return true;
}

// The text without its outline number.
std::string_view strippedLabel(std::string_view text);

// A node's outline number from its position ("1.2.3"), whatever its text
// says; empty for a tree's hidden root. O(depth).
std::string outlineNumberOf(const Node* node);

} // namespace model
