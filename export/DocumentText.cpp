#include "export/DocumentText.h"

namespace exporting {

void appendEscaped(std::string& out, std::string_view utf8, Escaper escape)
{
    // Runs without anything to escape go over in one piece. A byte of a
    // longer character is never ASCII, so no escaper names one.
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const std::string_view replacement = escape(utf8[i]);
        if (replacement.empty())
            continue;
        out.append(utf8.substr(runStart, i - runStart));
        out.append(replacement);
        runStart = i + 1;
    }
    out.append(utf8.substr(runStart));
}

} // namespace exporting
