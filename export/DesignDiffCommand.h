#pragma once
// `tessaric --diff OLD.vok NEW.vok`: what changed from one design file to
// another, one line per change in the design's own terms (see
// model/DesignDiff.h), beside the other commands without a window.
// Exit status as `diff` has it: 0 when the designs are the same, 1 when they
// differ, 2 when a file cannot be read (the reason on the error output).
//
// Git's form: a `diff` driver is called with seven arguments, PATH OLD-FILE
// OLD-HEX OLD-MODE NEW-FILE NEW-HEX NEW-MODE, so `git config
// diff.tessaric.command "tessaric --diff"` is the whole driver. Then the
// lines come under a "diff PATH" head, a side that git gives as /dev/null
// (a design added or deleted) is an empty design, and a difference exits
// with 0: git stops at the first driver that exits with anything else.

#include <ostream>
#include <string>
#include <vector>

namespace exporting {

inline constexpr int kDiffSame = 0;
inline constexpr int kDiffDiffers = 1;
inline constexpr int kDiffTrouble = 2;

// `args` are the arguments after "--diff": two files, or git's seven.
int runDesignDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace exporting
