#pragma once
// `tessaric --export FORMAT DESIGN.vok [OUT]`: the table export without a
// window. FORMAT is odt, html, pdf, csv or md, or svg for the flow diagram;
// OUT defaults to the design file's path with the format's extension. Colours
// come from the level styles stored in the design file.

#include "export/HeadlessExport.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

inline constexpr std::string_view kTableExportOption = "--export";

// `args` are the arguments after "--export". Returns the exit status: 0 on
// success, 1 after writing the error message (one line) to `err`.
int runTableExport(const std::vector<std::string>& args, std::ostream& err, const ColourResolver& resolver,
                   const DesignLoader& load, FileWriter& writer);

// The same with the design file reader and the atomic writer.
int runTableExport(const std::vector<std::string>& args, std::ostream& err, const ColourResolver& resolver);

} // namespace exporting
