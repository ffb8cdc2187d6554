#include "export/DesignDiffCommand.h"

#include "io/DesignFile.h"
#include "model/Design.h"
#include "model/DesignDiff.h"

#include <exception>

namespace exporting {

namespace {

constexpr const char* kUsage = "Usage: tessaric --diff OLD.vok NEW.vok";
constexpr const char* kNoFile = "/dev/null";
constexpr std::size_t kGitArguments = 7;

void open(const std::string& path, model::Design& design, bool missingIsEmpty)
{
    if (missingIsEmpty && path == kNoFile)
        return;
    io::openInto(design, io::readDesignFile(path));
}

} // namespace

int runDesignDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    const bool git = args.size() == kGitArguments;
    if (!git && args.size() != 2) {
        err << kUsage << '\n';
        return kDiffTrouble;
    }
    const std::string& oldPath = git ? args[1] : args[0];
    const std::string& newPath = git ? args[4] : args[1];
    model::Design older, newer;
    try {
        open(oldPath, older, git);
        open(newPath, newer, git);
    } catch (const std::exception& e) { // UserError, and bad_alloc on a huge file
        err << e.what() << '\n';
        return kDiffTrouble;
    }
    const model::DesignDiff diff = model::compareDesigns(older, newer);
    std::string text;
    if (git && !diff.same())
        text += "diff " + args[0] + '\n';
    for (const model::DesignChange& change : diff.changes) {
        text += change.line;
        text += '\n';
    }
    out << text;
    out.flush();
    if (!out) {
        err << "Cannot write the differences\n";
        return kDiffTrouble;
    }
    return diff.same() || git ? kDiffSame : kDiffDiffers;
}

} // namespace exporting
