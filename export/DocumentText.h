#pragma once
// Windows-1252 texts of the table document on their way out: as Qt strings
// for the documents Qt draws and writes, as UTF-8 for the ones written here.

#include <QString>
#include <string>
#include <string_view>

namespace exporting {

// Every byte decodes, through the same table as the display.
QString qtText(std::string_view cp1252);

// Gives the replacement of an ASCII character that a format must escape, or
// nothing to keep it.
using Escaper = std::string_view (*)(char c);

// Appends the UTF-8 form of `cp1252`, each character `escape` names replaced.
void appendUtf8(std::string& out, std::string_view cp1252, Escaper escape);

} // namespace exporting
