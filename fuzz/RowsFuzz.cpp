// What the clipboard hands a paste: our own rows format, and text from
// anywhere. Properties: bytes that decode are well-formed rows and encode
// back to the very same bytes, and paste into a design with every matrix
// cell they carry; any text pastes as well-formed rows whose texts hold no
// line break, tab or NUL, each full label standing for its row's label, or
// is refused with a message.
#include "FuzzSupport.h"

#include "io/PlainTextRows.h"
#include "io/RowsFormat.h"
#include "model/Design.h"
#include "model/UserError.h"

#include <QString>

namespace {

bool oneLine(const std::string& text)
{
    return text.find_first_of(std::string_view("\r\n\t\0", 4)) == std::string::npos;
}

void checkRowsFormat(std::string_view bytes)
{
    model::CopiedRows rows;
    try {
        rows = io::decodeRows(bytes);
    } catch (const model::UserError&) {
        return;
    }
    fuzzing::check(rows.wellFormed(), "decoded rows are well-formed");
    fuzzing::check(rows.labelsCut > 0 || io::encodeRows(rows) == bytes, "decoded rows encode to the same bytes");
    if (rows.matrices.empty())
        return;
    std::size_t cells = 0;
    for (const model::CopiedMatrix& m : rows.matrices)
        cells += m.cells.size();
    model::Design design;
    design.paste(model::kNoRow, rows, model::PastePlace::NextSiblings);
    fuzzing::check(design.matrices().cellCount() == cells, "a paste puts in every cell the rows carry");
}

void checkPlainText(std::string_view bytes)
{
    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    model::CopiedRows rows;
    try {
        rows = io::rowsFromPlainText(text, model::TreeId::DP);
    } catch (const model::UserError&) {
        return;
    }
    fuzzing::check(rows.wellFormed(), "pasted text gives well-formed rows");
    fuzzing::check(rows.size() <= static_cast<std::size_t>(text.count(u'\n') + text.count(u'\r') + 1),
                   "no more rows than lines");
    for (const auto& texts : rows.texts)
        for (const std::string& t : texts)
            fuzzing::check(oneLine(t), "a pasted text cannot cut a saved tree apart");
    for (const model::CopiedRowTexts& full : rows.fullLabels)
        fuzzing::check(model::fullLabelStands(rows.textsOf(model::TreeId::DP)[full.row], full.texts[1]),
                       "a pasted full label stands for its row's label");
    const model::CopiedRows again = io::decodeRows(io::encodeRows(rows));
    fuzzing::check(again.levels == rows.levels && again.texts == rows.texts && again.fullLabels == rows.fullLabels,
                   "pasted rows go through the clipboard");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzzing::bytesOf(data, size);
    checkRowsFormat(bytes);
    checkPlainText(bytes);
    return 0;
}
