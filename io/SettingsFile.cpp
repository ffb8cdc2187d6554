#include "io/SettingsFile.h"

#include "io/InputFile.h"
#include "model/UserError.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include <sys/stat.h>

namespace io {

namespace {

constexpr std::size_t kMaxValueLength = 2047;
constexpr std::size_t kSectionNamesBuffer = 16384;

// One line of the file: its text [begin, end) and where the next line starts.
// A line ends at CR LF, LF or a CR alone; the last line may have no end.
struct Line {
    std::size_t begin;
    std::size_t end;
    std::size_t next;
    bool ended() const { return next > end; }
};

std::vector<Line> splitLines(std::string_view text)
{
    std::vector<Line> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        std::size_t next = end;
        if (end < text.size())
            next = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? end + 2 : end + 1;
        lines.push_back({pos, end, next});
        pos = next;
    }
    return lines;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b)
{
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::optional<std::string_view> sectionOf(std::string_view line)
{
    const std::string_view t = trim(line);
    if (t.size() < 2 || t.front() != '[')
        return std::nullopt;
    const std::size_t close = t.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trim(t.substr(1, close - 1));
}

// A "key = value" line: the key, and where the value stands in the line.
struct KeyLine {
    std::string_view key;
    std::size_t valueBegin;
    std::size_t valueEnd;
};

std::optional<KeyLine> keyOf(std::string_view line)
{
    const std::string_view t = trim(line);
    if (t.empty() || t.front() == ';' || t.front() == '#' || t.front() == '[')
        return std::nullopt; // comments and section lines are never keys
    const std::size_t eq = line.find('=');
    const std::string_view key = trim(line.substr(0, eq == std::string_view::npos ? 0 : eq));
    if (eq == std::string_view::npos || key.empty())
        return std::nullopt;
    std::size_t begin = eq + 1;
    while (begin < line.size() && isBlank(line[begin]))
        ++begin;
    const std::size_t end = begin + trim(line.substr(begin)).size();
    return KeyLine{key, begin, end};
}

std::optional<int> toInt(long long v)
{
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(v);
}

// Decimal with an optional sign, or 0x and hexadecimal digits; nothing else.
std::optional<int> parseInteger(std::string_view v)
{
    v = v.substr(0, std::min(v.size(), kMaxValueLength));
    int base = 10;
    bool minusAllowed = true;
    if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
        v.remove_prefix(2);
        base = 16;
        minusAllowed = false;
    } else if (!v.empty() && v[0] == '+') {
        v.remove_prefix(1);
        minusAllowed = false;
    }
    if (v.empty() || v[0] == '+' || (v[0] == '-' && !minusAllowed))
        return std::nullopt;
    long long n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n, base);
    if (ec != std::errc() || end != v.data() + v.size())
        return std::nullopt;
    return toInt(n);
}

std::string readOrEmpty(const std::string& path)
{
    std::string text;
    if (readFileBytes(path, text) != ReadOutcome::Read)
        text.clear();
    return text;
}

std::string_view lineText(std::string_view text, const Line& l) { return text.substr(l.begin, l.end - l.begin); }

// New lines end as the file's first line does; LF in a file without one.
std::string lineEndOf(std::string_view text)
{
    const std::size_t at = text.find_first_of("\r\n");
    if (at == std::string_view::npos || text[at] == '\n')
        return "\n";
    return text.substr(at, 2) == "\r\n" ? "\r\n" : "\r";
}

bool endsWithLineEnd(std::string_view text)
{
    return !text.empty() && (text.back() == '\n' || text.back() == '\r');
}

// The new content of the file with key = value set; every other byte kept.
std::string withValue(const std::string& text, std::string_view section, std::string_view key,
                      const std::string& value)
{
    const std::vector<Line> lines = splitLines(text);
    const std::string eol = lineEndOf(text);
    std::optional<std::size_t> header;   // the section's line
    std::size_t lastContent = 0;         // its last line that is not blank
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lineText(text, lines[i]);
        if (const auto name = sectionOf(line)) {
            if (header)
                break; // the section ends here
            if (sameName(*name, section))
                header = lastContent = i;
            continue;
        }
        if (!header)
            continue;
        if (const auto k = keyOf(line); k && sameName(k->key, key)) {
            const std::size_t at = lines[i].begin + k->valueBegin;
            return text.substr(0, at) + value + text.substr(lines[i].begin + k->valueEnd);
        }
        if (!trim(line).empty())
            lastContent = i;
    }
    const std::string keyLine = std::string(key) + "=" + value;
    if (header) {
        const Line& l = lines[lastContent];
        return text.substr(0, l.next) + (l.ended() ? keyLine + eol : eol + keyLine) + text.substr(l.next);
    }
    const bool needsEol = !text.empty() && !endsWithLineEnd(text);
    return text + (needsEol ? eol : "") + "[" + std::string(section) + "]" + eol + keyLine + eol;
}

} // namespace

SettingsFile::SettingsFile(std::string path) : m_path(std::move(path)) {}

int SettingsFile::readInteger(const std::string& section, const std::string& key, int fallback) const
{
    const std::string text = readOrEmpty(m_path);
    bool inSection = false;
    for (const Line& l : splitLines(text)) {
        const std::string_view line = lineText(text, l);
        if (const auto name = sectionOf(line)) {
            inSection = sameName(*name, section);
        } else if (const auto k = keyOf(line); inSection && k && sameName(k->key, key)) {
            return parseInteger(line.substr(k->valueBegin, k->valueEnd - k->valueBegin)).value_or(fallback);
        }
    }
    return fallback;
}

void SettingsFile::writeInteger(const std::string& section, const std::string& key, int value,
                                AtomicWriter& writer)
{
    std::string text;
    const ReadOutcome read = readFileBytes(m_path, text);
    struct stat st {};
    if (read == ReadOutcome::ReadFailed || (read == ReadOutcome::CannotOpen && ::stat(m_path.c_str(), &st) == 0))
        throw model::UserError("Unable to write to " + m_path); // never replace what could not be read
    if (read != ReadOutcome::Read)
        text.clear();
    if (writeAtomically(writer, m_path, withValue(text, section, key, std::to_string(value))) !=
        WriteOutcome::Written)
        throw model::UserError("Unable to write to " + m_path);
}

void SettingsFile::writeInteger(const std::string& section, const std::string& key, int value)
{
    SaveFileWriter writer;
    writeInteger(section, key, value, writer);
}

std::vector<std::string> SettingsFile::sectionNames() const
{
    const std::string text = readOrEmpty(m_path);
    std::vector<std::string> names;
    std::size_t used = 1; // the terminator of the whole list
    for (const Line& l : splitLines(text)) {
        const auto name = sectionOf(lineText(text, l));
        if (!name || name->empty())
            continue;
        if (std::any_of(names.begin(), names.end(), [&](const std::string& n) { return sameName(n, *name); }))
            continue;
        used += name->size() + 1;
        if (used > kSectionNamesBuffer)
            break; // the names that no longer fit are dropped
        names.emplace_back(*name);
    }
    return names;
}

} // namespace io
