#include "export/DocumentText.h"

#include "model/Cp1252.h"

namespace exporting {

void appendUtf8(std::string& out, std::string_view cp1252, Escaper escape)
{
    // Runs without anything to escape go over in one piece.
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < cp1252.size(); ++i) {
        const std::string_view replacement = escape(cp1252[i]);
        if (replacement.empty())
            continue;
        model::appendCp1252AsUtf8(out, cp1252.substr(runStart, i - runStart));
        out.append(replacement);
        runStart = i + 1;
    }
    model::appendCp1252AsUtf8(out, cp1252.substr(runStart));
}

} // namespace exporting
