// The settings file. Input: byte 0 picks a section name, byte 1 a key name,
// bytes 2 to 5 the value (little-endian); the rest is the file as found.
// Property: the value written reads back, and every other key of every
// section reads as before (missing stays missing).
#include "FuzzSupport.h"

#include "io/SettingsFile.h"
#include "model/UserError.h"

#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <fstream>
#include <string>

namespace {

// Names the program uses, in more than one letter case.
const char* const kSections[] = {"Settings", "settings", "Print", "Draft"};
const char* const kKeys[] = {"WindowTop", "windowtop", "WindowLeft", "WindowWidth", "WindowHeight", "x"};
constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kMaxNames = 12; // of each kind found in the file, to keep runs fast
constexpr int kMissing[] = {-7, 9}; // two fallbacks tell a missing value from one equal to a fallback

// One folder for the whole run, on a memory file system where there is one.
const std::string& settingsPath()
{
    static QTemporaryDir dir((QDir("/dev/shm").exists() ? QString("/dev/shm") : QDir::tempPath()) +
                             "/tessaric-fuzz-XXXXXX");
    static const std::string path = dir.filePath("Formats.ini").toStdString();
    return path;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

void addName(std::vector<std::string>& names, std::string_view name)
{
    if (!name.empty() && names.size() < kMaxNames &&
        std::none_of(names.begin(), names.end(), [&](const std::string& n) { return sameName(n, name); }))
        names.emplace_back(name);
}

// Candidate keys: what stands before the '=' of any line, blanks trimmed.
std::vector<std::string> keysIn(std::string_view text)
{
    std::vector<std::string> keys(std::begin(kKeys), std::end(kKeys));
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
        const std::string_view line = text.substr(pos, end - pos);
        if (const std::size_t eq = line.find('='); eq != std::string_view::npos) {
            std::string_view key = line.substr(0, eq);
            while (!key.empty() && (key.front() == ' ' || key.front() == '\t'))
                key.remove_prefix(1);
            while (!key.empty() && (key.back() == ' ' || key.back() == '\t'))
                key.remove_suffix(1);
            addName(keys, key);
        }
        pos = end + 1;
    }
    return keys;
}

struct Reading {
    std::string section, key;
    std::array<int, 2> values;
};

std::array<int, 2> valuesOf(const io::SettingsFile& file, const std::string& section, const std::string& key)
{
    return {file.readInteger(section, key, kMissing[0]), file.readInteger(section, key, kMissing[1])};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kHeaderBytes)
        return 0;
    const std::string section = kSections[data[0] % std::size(kSections)];
    const std::string key = kKeys[data[1] % std::size(kKeys)];
    std::int32_t value;
    std::memcpy(&value, data + 2, sizeof value);
    const std::string_view text = fuzzing::bytesOf(data + kHeaderBytes, size - kHeaderBytes);
    {
        std::ofstream out(settingsPath(), std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        fuzzing::check(out.good(), "the settings file can be set up");
    }
    io::SettingsFile file(settingsPath());

    std::vector<std::string> sections(std::begin(kSections), std::end(kSections));
    for (const std::string& name : file.sectionNames())
        addName(sections, name);
    const std::vector<std::string> keys = keysIn(text);
    std::vector<Reading> before;
    for (const std::string& s : sections)
        for (const std::string& k : keys)
            if (!sameName(s, section) || !sameName(k, key))
                before.push_back({s, k, valuesOf(file, s, k)});

    try {
        file.writeInteger(section, key, value);
    } catch (const model::UserError&) {
        fuzzing::fail("a settings file in a writable folder can be written");
    }
    fuzzing::check(valuesOf(file, section, key) == std::array<int, 2>{value, value}, "the value written reads back");
    for (const Reading& r : before)
        fuzzing::check(valuesOf(file, r.section, r.key) == r.values, "every other key keeps its value");
    return 0;
}
