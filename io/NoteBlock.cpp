#include "io/NoteBlock.h"

#include "io/DesignFile.h"
#include "io/TextRecords.h"
#include "model/Design.h"
#include "model/Limits.h"

#include <algorithm>
#include <vector>

namespace io {
namespace {

constexpr std::size_t kTrees = model::kTreeCount;

bool readNotes(std::uint32_t version, std::string_view payload, DesignFileContents& into)
{
    if (version != kNoteBlockVersion)
        return false;
    const std::span<const model::Node* const> rows = into.trees[0].preorder();
    std::vector<TakenText> notes;
    notes.reserve(payload.size() / (kTextRecordHeadSize + 64)); // a guess: most notes are a line or more
    const bool wellFormed = forEachTextRecord(payload, [&](const TextRecord& r) {
        if (r.tree < 1 || r.tree > kTrees || r.row >= rows.size() || r.text.empty()
            || r.text.size() > model::kLongestNote)
            return false;
        notes.push_back({r.row, r.tree, r.text});
        return true;
    });
    if (!wellFormed)
        return false;
    into.notes = storeOf(notes, rows);
    return true;
}

} // namespace

// In place, the buffer grown once: the notes may be most of the file.
void appendNoteBlock(const model::Design& design, std::string& out)
{
    const model::RowTextStore& store = design.notes();
    if (store.empty())
        return;
    const std::vector<RowTextsAt> rows = rowsInOrder(design.tree(model::TreeId::FR), store);
    std::size_t size = kBlockHeadSize;
    for (const auto& [row, texts] : rows)
        for (const std::string& t : *texts)
            size += t.empty() ? 0 : kTextRecordHeadSize + t.size();
    const std::size_t at = out.size();
    out.reserve(at + size);
    out.append(kBlockHeadSize, '\0');
    for (std::size_t i = 0; i < kTrees; ++i)
        for (const auto& [row, texts] : rows)
            if (const std::string& note = (*texts)[i]; !note.empty())
                appendTextRecord(out, static_cast<std::uint8_t>(i + 1), row, note);
    sealBlock(out, at, kNoteTag, kNoteBlockVersion);
}

const BlockModule& noteBlockModule()
{
    static const BlockModule module{kNoteTag, "the notes", readNotes, appendNoteBlock};
    return module;
}

} // namespace io
