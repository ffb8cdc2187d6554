// The RTF export of a design read from the input. Property: the document is
// well formed enough for a word processor: one group whose braces balance,
// plain ASCII with no control byte but CR and LF (every byte of 0x80 and
// above escaped), every \' escape followed by two hex digits, and one
// paragraph per line of the export (three titles and every node of the
// three trees).
#include "FuzzSupport.h"

#include "export/RtfExport.h"
#include "io/DesignFile.h"
#include "model/UserError.h"

#include <cctype>

namespace {

// System colours resolve to some fixed colour, as the window's palette would.
std::uint32_t resolve(std::uint32_t colourValue) { return (colourValue * 2654435761u) & 0x00FFFFFFu; }

bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// Walks the document as an RTF reader tokenises it; returns the number of \par.
std::size_t checkedParagraphBreaks(std::string_view rtf)
{
    fuzzing::check(rtf.substr(0, 6) == "{\\rtf1", "the document starts with {\\rtf1");
    std::size_t depth = 0;
    std::size_t pars = 0;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        fuzzing::check(static_cast<unsigned char>(c) < 0x80, "every byte of 0x80 and above is escaped");
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            fuzzing::check(depth > 0, "no closing brace without its opening one");
            if (--depth == 0)
                fuzzing::check(rtf.substr(i + 1).find_first_not_of("\r\n") == std::string_view::npos,
                               "nothing follows the document's group");
        } else if (c == '\\') {
            fuzzing::check(i + 1 < rtf.size(), "no backslash at the very end");
            const char next = rtf[++i];
            if (next == '\'') {
                fuzzing::check(i + 2 < rtf.size() && isHex(rtf[i + 1]) && isHex(rtf[i + 2]),
                               "a \\' escape has two hex digits");
                i += 2;
            } else if (isLetter(next)) {
                const std::size_t start = i;
                while (i + 1 < rtf.size() && isLetter(rtf[i + 1]))
                    ++i;
                pars += rtf.substr(start, i + 1 - start) == "par";
            }
        } else {
            fuzzing::check(static_cast<unsigned char>(c) >= 0x20 || c == '\r' || c == '\n',
                           "no control byte but the line ends");
        }
    }
    fuzzing::check(depth == 0, "the braces balance");
    return pars;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    io::DesignFileContents design;
    try {
        design = io::parseDesignFile(fuzzing::bytesOf(data, size), "fuzz.vok");
    } catch (const model::UserError&) {
        return 0;
    }
    exporting::ExportSource source;
    std::size_t lines = 0;
    for (std::size_t t = 0; t < source.trees.size(); ++t) {
        source.titles[t] = design.titles[t];
        source.trees[t] = &design.trees[t];
        lines += 1 + static_cast<std::size_t>(design.trees[t].size());
    }
    source.levelColours = exporting::levelColourValues(design.header);
    const std::string rtf = exporting::renderRtf(source, resolve);
    fuzzing::check(checkedParagraphBreaks(rtf) + 1 == lines, "one paragraph for each line of the export");
    return 0;
}
