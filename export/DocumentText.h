#pragma once
// The UTF-8 texts of the documents written here on their way out, each
// format's markup escaped (see FullText.h for where they come from).

#include <string>
#include <string_view>

namespace exporting {

// Gives the replacement of an ASCII character that a format must escape, or
// nothing to keep it.
using Escaper = std::string_view (*)(char c);

// Appends `utf8`, each character `escape` names replaced.
void appendEscaped(std::string& out, std::string_view utf8, Escaper escape);

// Calls `line` with each line of a text (a note's), in order, whichever of
// "\r\n", "\n" or "\r" ends it; a text without a break is one line.
template <typename Line>
void forEachLine(std::string_view text, Line&& line)
{
    for (;;) {
        const std::size_t end = text.find_first_of("\r\n");
        line(text.substr(0, end));
        if (end == std::string_view::npos)
            return;
        const std::size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        text.remove_prefix(next);
    }
}

} // namespace exporting
