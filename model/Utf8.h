#pragma once
// UTF-8, the encoding of the texts that go beyond Windows-1252: a label's
// full text and a note. The trees keep each label in Windows-1252, with "?"
// for every character that code page lacks (its question form); the full
// text lives beside them (see RowTexts.h).

#include <cstddef>
#include <string>
#include <string_view>

namespace model {

// Well-formed UTF-8 (no overlong form, no surrogate, nothing past U+10FFFF)
// without a NUL.
bool validUtf8(std::string_view text);

// The Windows-1252 bytes of valid UTF-8, one byte per character: "?" for a
// character the code page lacks. Equal to the text's own bytes when it is ASCII.
std::string questionForm(std::string_view utf8);

// Whether questionForm(utf8) == bytes, without building it.
bool questionFormIs(std::string_view utf8, std::string_view bytes);

// Whether every character of valid UTF-8 has a Windows-1252 byte, so the
// question form says it all.
bool fitsCp1252(std::string_view utf8);

// The byte offset of character `characters` in valid UTF-8 (its size when
// the text is shorter).
std::size_t utf8Offset(std::string_view utf8, std::size_t characters);

} // namespace model
