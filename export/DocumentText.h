#pragma once
// Windows-1252 texts of the table document on their way out as UTF-8, for
// the documents written here (the ones Qt draws take io::decodeCp1252).

#include <string>
#include <string_view>

namespace exporting {

// Gives the replacement of an ASCII character that a format must escape, or
// nothing to keep it.
using Escaper = std::string_view (*)(char c);

// Appends the UTF-8 form of `cp1252`, each character `escape` names replaced.
void appendUtf8(std::string& out, std::string_view cp1252, Escaper escape);

} // namespace exporting
