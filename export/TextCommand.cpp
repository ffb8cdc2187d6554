#include "export/TextCommand.h"

#include "export/AtomicFileWriter.h"
#include "export/ExportPath.h"
#include "io/DesignText.h"
#include "io/InputFile.h"
#include "model/UserError.h"

namespace exporting {
namespace {

std::string bytesOf(const std::string& path)
{
    if (path == kStandardStream)
        return readStandardInput();
    io::InputFile file;
    std::string bytes;
    if (!file.open(path) || !file.readAt(0, static_cast<std::size_t>(file.size()), bytes))
        throw model::UserError("Cannot open file " + path);
    return bytes;
}

using Conversion = std::string (*)(std::string_view, const std::string&);

int convert(const std::vector<std::string>& args, std::ostream& err, FileWriter& writer, const char* usage,
            std::string_view extension, Conversion conversion)
{
    if (args.empty() || args.size() > 2 || args[0].empty()) {
        err << usage << '\n';
        return 1;
    }
    try {
        const std::string& in = args[0];
        const std::string out = args.size() == 2         ? args[1]
                                : in == kStandardStream ? std::string(kStandardStream)
                                                        : exportPathFor(in, {}, extension);
        if (out != kStandardStream)
            refuseUnsafeTarget(out, in);
        writer.writeFile(out, conversion(bytesOf(in), in));
        return 0;
    } catch (const std::exception& e) { // UserError, and bad_alloc on a huge file
        err << e.what() << '\n';
        return 1;
    }
}

} // namespace

int runTextExport(const std::vector<std::string>& args, std::ostream& err, FileWriter& writer)
{
    return convert(args, err, writer, "Usage: tessaric --export text DESIGN.vok [OUT]", kTextExtension,
                   io::designTextFromFile);
}

int runTextImport(const std::vector<std::string>& args, std::ostream& err, FileWriter& writer)
{
    return convert(args, err, writer, "Usage: tessaric --import text FILE.txt [OUT.vok]", kDesignExtension,
                   io::designFileFromText);
}

int runTextExport(const std::vector<std::string>& args, std::ostream& err)
{
    AtomicFileWriter writer;
    return runTextExport(args, err, writer);
}

int runTextImport(const std::vector<std::string>& args, std::ostream& err)
{
    AtomicFileWriter writer;
    return runTextImport(args, err, writer);
}

} // namespace exporting
