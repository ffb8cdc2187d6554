#include "io/PlainTextRows.h"

#include "model/Cp1252.h"
#include "model/Design.h"
#include "model/Limits.h"
#include "model/Numbering.h"
#include "model/UserError.h"

#include <QString>
#include <algorithm>

namespace io {

namespace {

constexpr char16_t kBullet = 0x2022; // •
constexpr int kWideIndent = 4;
constexpr int kNarrowIndent = 2;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// One line that holds more than blanks: its indentation and what follows.
struct Line {
    int tabs = 0;
    int spaces = 0;
    QStringView content; // blanks at the end dropped
};

Line measure(QStringView raw)
{
    Line line;
    qsizetype i = 0;
    for (; i < raw.size() && isBlank(raw[i]); ++i)
        ++(raw[i] == u'\t' ? line.tabs : line.spaces);
    qsizetype end = raw.size();
    while (end > i && raw[end - 1].isSpace())
        --end;
    line.content = raw.sliced(i, end - i);
    return line;
}

std::vector<Line> splitLines(QStringView text)
{
    std::vector<Line> lines;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\n' && text[end] != u'\r')
            ++end;
        if (Line line = measure(text.sliced(start, end - start)); !line.content.isEmpty())
            lines.push_back(line);
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

QStringView dropLeadingBlanks(QStringView s)
{
    qsizetype i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return s.sliced(i);
}

QStringView dropBullet(QStringView s)
{
    const bool bullet = !s.isEmpty() && (s[0] == u'-' || s[0] == u'*' || s[0] == kBullet);
    return bullet && (s.size() == 1 || isBlank(s[1])) ? dropLeadingBlanks(s.sliced(1)) : s;
}

// The length of the outline number in front of `s` with the blanks behind
// it ("1.2 ", "3. ", "2) ", "7 "), or 0. `marked`: it has a full stop or a
// parenthesis, so it cannot be a count that begins a label.
qsizetype numberLength(QStringView s, bool& marked)
{
    marked = false;
    qsizetype i = 0;
    auto digits = [&] {
        const qsizetype from = i;
        while (i < s.size() && s[i].isDigit() && s[i].unicode() < 0x80)
            ++i;
        return i > from;
    };
    if (!digits())
        return 0;
    while (i + 1 < s.size() && s[i] == u'.' && s[i + 1].isDigit() && s[i + 1].unicode() < 0x80) {
        ++i;
        digits();
        marked = true;
    }
    if (i < s.size() && (s[i] == u'.' || s[i] == u')')) {
        ++i;
        marked = true;
    }
    if (i == s.size() || !isBlank(s[i]))
        return 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return i;
}

// How many spaces make one level: 4 or 2 when every line keeps to it,
// otherwise the smallest indentation.
int spacesPerLevel(const std::vector<Line>& lines)
{
    int smallest = 0;
    bool wide = true;
    bool narrow = true;
    for (const Line& l : lines) {
        wide = wide && l.spaces % kWideIndent == 0;
        narrow = narrow && l.spaces % kNarrowIndent == 0;
        if (l.spaces > 0)
            smallest = smallest == 0 ? l.spaces : std::min(smallest, l.spaces);
    }
    if (smallest == 0)
        return 1;
    return wide ? kWideIndent : narrow ? kNarrowIndent : smallest;
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A label as the tree keeps it (Windows-1252, "?" for each character the
// code page lacks) and, only when it lacks one, the whole label in UTF-8.
struct PastedLabel {
    std::string cp1252;
    std::string full;
};

// Tabs and NULs inside the label become blanks; half a surrogate pair, which
// no text can hold, becomes U+FFFD.
PastedLabel encodeLabel(QStringView label)
{
    PastedLabel out;
    out.cp1252.reserve(static_cast<std::size_t>(label.size()));
    std::string utf8;
    bool beyond = false;
    for (qsizetype i = 0; i < label.size(); ++i) {
        char32_t c = label[i].unicode();
        if (c == u'\t' || c == u'\0')
            c = u' ';
        if (label[i].isSurrogate()) {
            const bool pair = label[i].isHighSurrogate() && i + 1 < label.size() && label[i + 1].isLowSurrogate();
            c = pair ? QChar::surrogateToUcs4(label[i], label[i + 1]) : char32_t{0xFFFD};
            i += pair;
        }
        const auto byte = c <= 0xFFFF ? model::unicodeToCp1252(static_cast<char16_t>(c)) : std::nullopt;
        out.cp1252.push_back(byte ? static_cast<char>(*byte) : '?');
        beyond = beyond || !byte;
        appendUtf8(utf8, c);
    }
    if (beyond)
        out.full = std::move(utf8);
    return out;
}

// The label cut to model::kLongestLabel characters (each one byte in the
// design), never between the halves of a surrogate pair.
QStringView cutLabel(QStringView label)
{
    constexpr auto longest = static_cast<qsizetype>(model::kLongestLabel);
    if (label.size() <= longest)
        return label;
    return label.first(label[longest - 1].isHighSurrogate() ? longest - 1 : longest);
}

// "1", "1.1", "2": the outline number of the next row at `level`.
std::string nextNumber(std::vector<int>& counters, std::size_t level)
{
    counters.resize(level + 1);
    ++counters[level];
    std::string number;
    for (std::size_t i = 0; i <= level; ++i) {
        if (i > 0)
            number += '.';
        number += std::to_string(counters[i]);
    }
    return number;
}

} // namespace

std::string plainTextOf(const model::CopiedRows& rows, model::TreeId tree)
{
    std::string out;
    const auto& texts = rows.textsOf(tree);
    const auto slot = static_cast<std::size_t>(model::index(tree));
    auto full = rows.fullLabels.begin(); // by row, like the rows
    for (std::size_t i = 0; i < rows.size(); ++i) {
        out.append(rows.levels[i], '\t');
        while (full != rows.fullLabels.end() && full->row < i)
            ++full;
        const std::string* label = full != rows.fullLabels.end() && full->row == i ? &full->texts[slot] : nullptr;
        if (label && !label->empty() && model::fullLabelStands(texts[i], *label))
            out += *label;
        else
            model::appendCp1252AsUtf8(out, model::strippedLabel(texts[i]));
        out += '\n';
    }
    return out;
}

model::CopiedRows rowsFromPlainText(QStringView text, model::TreeId into, std::uint32_t placeLevel)
{
    const std::vector<Line> lines = splitLines(text);
    const bool tabs = std::any_of(lines.begin(), lines.end(), [](const Line& l) { return l.tabs > 0; });
    const int unit = tabs ? 1 : spacesPerLevel(lines);

    // The levels first: a text too deep is refused before any label is made.
    model::CopiedRows rows;
    rows.levels.reserve(lines.size());
    const int top = lines.empty() ? 0 : (tabs ? lines.front().tabs : lines.front().spaces / unit);
    for (const Line& l : lines) {
        const int raw = tabs ? l.tabs : l.spaces / unit;
        const int previous = rows.levels.empty() ? -1 : static_cast<int>(rows.levels.back());
        rows.levels.push_back(static_cast<std::uint32_t>(std::clamp(raw - top, 0, previous + 1)));
        if (!model::fitsBelow(placeLevel, rows.levels.back()))
            throw model::UserError(model::tooDeepToPaste());
    }

    std::vector<QStringView> labels;
    labels.reserve(lines.size());
    bool everyLineNumbered = true;
    for (const Line& l : lines) {
        labels.push_back(dropBullet(l.content));
        bool marked = false;
        everyLineNumbered = everyLineNumbered && numberLength(labels.back(), marked) > 0;
    }

    std::vector<int> counters;
    const auto tree = static_cast<std::size_t>(model::index(into));
    for (auto& texts : rows.texts)
        texts.resize(lines.size(), std::string(model::kNewNodeLabel));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        bool marked = false;
        const qsizetype number = numberLength(labels[i], marked);
        const QStringView label = (marked || everyLineNumbered) ? labels[i].sliced(number) : labels[i];
        const QStringView kept = cutLabel(label);
        rows.labelsCut += kept.size() < label.size();
        PastedLabel pasted = encodeLabel(kept);
        rows.texts[tree][i] = nextNumber(counters, rows.levels[i]) + ' ' + pasted.cp1252;
        if (!pasted.full.empty()) {
            rows.fullLabels.push_back({static_cast<std::uint32_t>(i), {}});
            rows.fullLabels.back().texts[tree] = std::move(pasted.full);
        }
    }
    return rows;
}

} // namespace io
