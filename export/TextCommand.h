#pragma once
// `tessaric --export text DESIGN.vok [OUT]` and `tessaric --import text
// FILE.txt [OUT.vok]`: the design's text form (io/DesignText.h) written and
// read back without a window. OUT defaults to the input's name with the
// other extension; "-" reads standard input or writes standard output. A
// text that cannot be read writes nothing.

#include "export/FileWriter.h"

#include <ostream>
#include <string>
#include <vector>

namespace exporting {

inline constexpr std::string_view kTextExtension = ".txt";
inline constexpr std::string_view kDesignExtension = ".vok";

// `args` are the arguments after "--export text" / "--import text". Return
// the exit status: 0, or 1 after one line on `err`.
int runTextExport(const std::vector<std::string>& args, std::ostream& err, FileWriter& writer);
int runTextImport(const std::vector<std::string>& args, std::ostream& err, FileWriter& writer);
int runTextExport(const std::vector<std::string>& args, std::ostream& err);
int runTextImport(const std::vector<std::string>& args, std::ostream& err);

} // namespace exporting
