#include "io/RowsFormat.h"

#include "io/ByteOrder.h"
#include "io/InformationBlock.h"
#include "io/MatrixBlock.h"
#include "model/Limits.h"

namespace io {

namespace {

constexpr std::string_view kMagic = "TSRW";
constexpr std::size_t kVersionOffset = 4;
constexpr std::size_t kCountOffset = 8;
constexpr std::size_t kLevelsOffset = 12;
constexpr std::size_t kFieldSize = 4;
constexpr std::string_view kLineBreaks{"\r\n\0", 3};
constexpr const char* kNewerVersion = "The clipboard holds rows of a newer version";

std::uint32_t checkedSize(std::size_t n)
{
    if (n > UINT32_MAX)
        throw model::UserError("Stream write error"); // a field cannot hold it
    return static_cast<std::uint32_t>(n);
}

constexpr std::size_t kPadding = 3; // zero bytes behind a record's kind and a cell's value
constexpr std::uint8_t kRangeRecord = 3; // a record's kind: the ranges of a row
constexpr std::size_t kRangeHeadSize = 8; // kind, padding, the row's place
constexpr std::uint8_t kCrossRecord = 4;  // a record's kind: a cross cell
constexpr std::size_t kCrossRecordSize = 12;
constexpr std::uint8_t kFullLabelRecord = 5; // a record's kind: a full label of a row
constexpr std::uint8_t kNoteRecord = 6;      // a record's kind: a note of a row
constexpr std::size_t kTextRecordHeadSize = 12;

std::uint32_t versionFor(const model::CopiedRows& rows)
{
    if (!rows.notes.empty() || !rows.fullLabels.empty())
        return kRowsFormatVersion;
    if (!rows.ranges.empty() || !rows.crossCells.empty())
        return kRowsWithRanges;
    return rows.matrices.empty() ? kRowsWithoutMatrices : kRowsWithMatrices;
}

std::size_t recordBytes(const model::CopiedRows& rows)
{
    std::size_t size = 0;
    for (const model::CopiedMatrix& m : rows.matrices)
        size += kMatrixRecordHeadSize + m.cells.size() * kMatrixCellSize;
    for (const model::CopiedRanges& r : rows.ranges)
        size += kRangeHeadSize + kRangeFieldsSize + r.ranges.design.unit.size();
    for (const auto* texts : {&rows.fullLabels, &rows.notes})
        for (const model::CopiedRowTexts& t : *texts)
            for (const std::string& text : t.texts)
                size += text.empty() ? 0 : kTextRecordHeadSize + text.size();
    return size + rows.crossCells.size() * kCrossRecordSize;
}

void appendRowTexts(std::string& out, std::uint8_t kind, const std::vector<model::CopiedRowTexts>& rowTexts)
{
    for (const model::CopiedRowTexts& t : rowTexts)
        for (std::size_t i = 0; i < t.texts.size(); ++i) {
            if (t.texts[i].empty())
                continue;
            out.push_back(static_cast<char>(kind));
            out.push_back(static_cast<char>(i + 1));
            out.append(2, '\0');
            appendU32(out, t.row);
            appendU32(out, checkedSize(t.texts[i].size()));
            out.append(t.texts[i]);
        }
}

void appendCrossCells(std::string& out, const model::CopiedRows& rows)
{
    for (const model::CopiedCrossCell& c : rows.crossCells) {
        out.push_back(static_cast<char>(kCrossRecord));
        out.push_back(static_cast<char>(c.kind));
        out.push_back(static_cast<char>(c.value));
        out.push_back('\0');
        appendU32(out, c.a);
        appendU32(out, c.b);
    }
}

void appendRanges(std::string& out, const model::CopiedRows& rows)
{
    for (const model::CopiedRanges& r : rows.ranges) {
        out.push_back(static_cast<char>(kRangeRecord));
        out.append(kPadding, '\0');
        appendU32(out, r.row);
        appendRangeFields(out, r.ranges);
    }
}

void appendMatrices(std::string& out, const model::CopiedRows& rows)
{
    const std::vector<std::uint32_t> counts = rows.childCounts();
    for (const model::CopiedMatrix& m : rows.matrices) {
        out.push_back(static_cast<char>(m.kind));
        out.append(kPadding, '\0');
        appendU32(out, m.parent);
        appendU32(out, counts[m.parent]);
        appendU32(out, checkedSize(m.cells.size()));
        for (const model::IndexedCell& c : m.cells) {
            appendU32(out, c.row);
            appendU32(out, c.column);
            out.push_back(static_cast<char>(c.value));
            out.append(kPadding, '\0');
        }
    }
}

// The padding is zero: the bytes of a record are exactly what the encoder writes.
void requireZeros(std::string_view bytes, std::size_t at)
{
    requireRange(bytes, at, kPadding);
    if (bytes.substr(at, kPadding).find_first_not_of('\0') != std::string_view::npos)
        throw model::UserError(kStreamReadError);
}

// Kind and value are checked with the rows (CopiedRows::wellFormed).
void readCrossCell(std::string_view bytes, std::size_t& at, model::CopiedRows& rows)
{
    requireRange(bytes, at, kCrossRecordSize);
    if (getU8(bytes, at + 3) != 0)
        throw model::UserError(kStreamReadError);
    rows.crossCells.push_back({static_cast<model::MatrixKind>(getU8(bytes, at + 1)), getU32(bytes, at + 4),
                               getU32(bytes, at + 8), static_cast<model::CellValue>(getU8(bytes, at + 2))});
    at += kCrossRecordSize;
}

bool isTextRecord(std::string_view bytes, std::size_t at)
{
    const std::uint8_t kind = getU8(bytes, at);
    return kind == kFullLabelRecord || kind == kNoteRecord;
}

// A full label or a note, joined to the row's texts read before it. Records
// go by kind, row and tree, each text once, so that the bytes read are the
// bytes written; the texts themselves are checked with the rows.
void readRowText(std::string_view bytes, std::size_t& at, model::CopiedRows& rows)
{
    requireRange(bytes, at, kTextRecordHeadSize);
    const std::uint8_t kind = getU8(bytes, at);
    const std::uint8_t tree = getU8(bytes, at + 1);
    const std::uint32_t row = getU32(bytes, at + 4);
    const std::uint32_t n = getU32(bytes, at + 8);
    if (tree < 1 || tree > model::kTreeCount || getU8(bytes, at + 2) != 0 || getU8(bytes, at + 3) != 0 || n == 0)
        throw model::UserError(kStreamReadError);
    at += kTextRecordHeadSize;
    requireRange(bytes, at, n);
    std::vector<model::CopiedRowTexts>& into = kind == kFullLabelRecord ? rows.fullLabels : rows.notes;
    if (kind == kFullLabelRecord && !rows.notes.empty()) // the notes come last
        throw model::UserError(kStreamReadError);
    if (into.empty() || into.back().row != row)
        into.push_back({row, {}});
    model::RowTextArray& texts = into.back().texts;
    for (std::size_t later = tree - 1u; later < texts.size(); ++later)
        if (!texts[later].empty()) // repeated, or behind a later tree of its row
            throw model::UserError(kStreamReadError);
    texts[tree - 1u].assign(bytes.substr(at, n));
    at += n;
}

void readRange(std::string_view bytes, std::size_t& at, model::CopiedRows& rows)
{
    requireRange(bytes, at, kRangeHeadSize);
    requireZeros(bytes, at + 1);
    const std::uint32_t row = getU32(bytes, at + 4);
    at += kRangeHeadSize;
    const std::optional<model::FrRanges> ranges = readRangeFields(bytes, at);
    if (!ranges)
        throw model::UserError(kStreamReadError);
    rows.ranges.push_back({row, *ranges});
}

// The records behind the last text, at least one, up to the end: the
// matrices, then (version 3) the ranges and cross cells, then (version 4) the
// full labels and notes. Their order, cells and rows are
// checked with the rows (CopiedRows::wellFormed); here every field's place,
// and every count before anything is reserved for it.
void readRecords(std::string_view bytes, std::size_t at, std::uint32_t version, model::CopiedRows& rows)
{
    if (at == bytes.size())
        throw model::UserError(kStreamReadError);
    const std::vector<std::uint32_t> counts = rows.childCounts();
    while (at < bytes.size()) {
        if (version >= kRowsFormatVersion && isTextRecord(bytes, at)) {
            readRowText(bytes, at, rows);
            continue;
        }
        if (!rows.notes.empty() || !rows.fullLabels.empty()) // the texts come last
            throw model::UserError(kStreamReadError);
        if (version >= kRowsWithRanges && getU8(bytes, at) == kCrossRecord) {
            readCrossCell(bytes, at, rows);
            continue;
        }
        if (!rows.crossCells.empty()) // the cross cells come last
            throw model::UserError(kStreamReadError);
        if (version >= kRowsWithRanges && getU8(bytes, at) == kRangeRecord) {
            readRange(bytes, at, rows);
            continue;
        }
        if (!rows.ranges.empty()) // the ranges come after the matrices
            throw model::UserError(kStreamReadError);
        requireRange(bytes, at, kMatrixRecordHeadSize);
        const auto kind = static_cast<model::MatrixKind>(getU8(bytes, at));
        requireZeros(bytes, at + 1);
        const std::uint32_t parent = getU32(bytes, at + 4);
        const std::uint32_t n = getU32(bytes, at + 8);
        const std::uint32_t m = getU32(bytes, at + 12);
        at += kMatrixRecordHeadSize;
        const std::uint64_t offDiagonal = n < 2 ? 0 : std::uint64_t{n} * (n - 1);
        if (parent >= counts.size() || n != counts[parent] || m == 0 || m > offDiagonal
            || m > (bytes.size() - at) / kMatrixCellSize)
            throw model::UserError(kStreamReadError);
        model::CopiedMatrix matrix{parent, kind, {}};
        matrix.cells.reserve(m);
        for (std::uint32_t k = 0; k < m; ++k, at += kMatrixCellSize) {
            matrix.cells.push_back({getU32(bytes, at), getU32(bytes, at + 4),
                                    static_cast<model::CellValue>(getU8(bytes, at + 8))});
            requireZeros(bytes, at + 9);
        }
        rows.matrices.push_back(std::move(matrix));
    }
}

} // namespace

std::string encodeRows(const model::CopiedRows& rows)
{
    std::size_t size = kLevelsOffset + rows.size() * kFieldSize * (1 + model::kTreeCount);
    for (const auto& texts : rows.texts)
        for (const std::string& t : texts)
            size += t.size();
    std::string out;
    out.reserve(size + recordBytes(rows));
    out.append(kMagic);
    appendU32(out, versionFor(rows));
    appendU32(out, checkedSize(rows.size()));
    for (std::uint32_t level : rows.levels)
        appendU32(out, level);
    for (const auto& texts : rows.texts)
        for (const std::string& t : texts) {
            appendU32(out, checkedSize(t.size()));
            out.append(t);
        }
    appendMatrices(out, rows);
    appendRanges(out, rows);
    appendCrossCells(out, rows);
    appendRowTexts(out, kFullLabelRecord, rows.fullLabels);
    appendRowTexts(out, kNoteRecord, rows.notes);
    return out;
}

model::CopiedRows decodeRows(std::string_view bytes, std::uint32_t placeLevel)
{
    requireRange(bytes, 0, kLevelsOffset);
    if (bytes.substr(0, kMagic.size()) != kMagic)
        throw model::UserError(kStreamReadError);
    const std::uint32_t version = getU32(bytes, kVersionOffset);
    if (version > kRowsFormatVersion)
        throw model::UserError(kNewerVersion);
    if (version == 0)
        throw model::UserError(kStreamReadError);
    const std::uint32_t n = getU32(bytes, kCountOffset);
    // Every row takes a level and three lengths: a count that cannot fit is
    // refused before anything is reserved for it.
    if (n > (bytes.size() - kLevelsOffset) / (kFieldSize * (1 + model::kTreeCount)))
        throw model::UserError(kStreamReadError);
    model::CopiedRows rows;
    rows.levels.reserve(n);
    std::size_t at = kLevelsOffset;
    for (std::uint32_t i = 0; i < n; ++i, at += kFieldSize) {
        const std::uint32_t level = getU32(bytes, at);
        if (i == 0 ? level != 0 : level > rows.levels.back() + 1)
            throw model::UserError(kStreamReadError);
        // Refused here, before a single text is copied.
        if (!model::fitsBelow(placeLevel, level))
            throw model::UserError(model::tooDeepToPaste());
        rows.levels.push_back(level);
    }
    for (auto& texts : rows.texts) {
        texts.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            const std::uint32_t length = getU32(bytes, at);
            at += kFieldSize;
            requireRange(bytes, at, length);
            const std::string_view text = bytes.substr(at, length);
            // A line break or a NUL would cut the saved tree apart.
            if (text.find_first_of(kLineBreaks) != std::string_view::npos)
                throw model::UserError(kStreamReadError);
            const std::string_view kept = model::withLabelCut(text);
            rows.labelsCut += kept.size() < text.size();
            texts.emplace_back(kept);
            at += length;
        }
    }
    if (version > kRowsWithoutMatrices)
        readRecords(bytes, at, version, rows);
    else if (at != bytes.size())
        throw model::UserError(kStreamReadError);
    // Only what a writer of rows writes: the lowest version that holds them,
    // so rows read are the bytes written again.
    if (!rows.wellFormed() || versionFor(rows) != version)
        throw model::UserError(kStreamReadError);
    return rows;
}

} // namespace io
