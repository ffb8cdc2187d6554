#pragma once
// The settings file Formats.ini, in the common initialisation-file format:
// "[Section]" lines, "Key=Value" lines, anything else ignored and kept. Lines
// end at CR LF, LF or a CR alone; new lines end as the file's first line does.
//
// Nothing is cached: every read and every write goes to the file as it is at
// that moment, through the path as given (a relative path is resolved against
// the current directory at each access). Names compare without letter case.

#include "io/AtomicWriter.h"

#include <string>
#include <vector>

namespace io {

inline constexpr const char* kSettingsPath = "./Formats.ini";

class SettingsFile {
public:
    explicit SettingsFile(std::string path = kSettingsPath);

    const std::string& path() const { return m_path; }

    // The value as a decimal integer with an optional sign, or "0x"/"0X" and
    // hexadecimal digits; a missing, empty or malformed value (or one out of
    // the int range) gives `fallback`.
    int readInteger(const std::string& section, const std::string& key, int fallback) const;

    // Writes the value in decimal: in place of an existing value, else as a
    // new key at the end of its section, else as a new section at the end of
    // the file, else as a new file. Every other byte stays as it was. The file
    // is replaced atomically; failure throws "Unable to write to %s".
    void writeInteger(const std::string& section, const std::string& key, int value);
    void writeInteger(const std::string& section, const std::string& key, int value, AtomicWriter& writer);

    // The names of all sections in file order, each once; an empty list for a
    // missing file. At most 16384 bytes of names, each with a terminator.
    std::vector<std::string> sectionNames() const;

private:
    std::string m_path;
};

} // namespace io
