#include "io/DesignFile.h"

#include "io/ByteOrder.h"
#include "io/FileBytes.h"
#include "io/TreeText.h"
#include "model/UserError.h"

#include <limits>
#include <utility>
#include <vector>

namespace io {

namespace {

constexpr std::size_t kFrStart = model::kHeaderSize; // the FR start field is not consulted

// Same shape: the same number of children at every row, walked side by side.
bool sameShape(const model::DesignTree& a, const model::DesignTree& b)
{
    if (a.size() != b.size())
        return false;
    std::vector<std::pair<const model::Node*, const model::Node*>> stack{{a.root(), b.root()}};
    while (!stack.empty()) {
        const auto [x, y] = stack.back();
        stack.pop_back();
        if (x->children.size() != y->children.size())
            return false;
        for (std::size_t i = 0; i < x->children.size(); ++i)
            if (!x->children[i]->children.empty() || !y->children[i]->children.empty())
                stack.emplace_back(x->children[i], y->children[i]);
    }
    return true;
}

// The bytes of one section; a section of length 0 is empty wherever it starts.
std::string_view section(std::string_view file, std::uint64_t start, std::uint64_t length)
{
    if (length == 0)
        return {};
    if (start > file.size() || length > file.size() - start)
        throw model::UserError(kStreamReadError);
    return file.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
}

std::uint32_t sectionLength(std::size_t bytes)
{
    if (bytes > std::numeric_limits<std::uint32_t>::max())
        throw model::UserError("Stream write error"); // the length field cannot hold it
    return static_cast<std::uint32_t>(bytes);
}

} // namespace

DesignFileContents parseDesignFile(std::string_view bytes, const std::string& pathForMessages)
{
    if (bytes.size() < 4 || getU32(bytes, 0) != model::kDesignMagic)
        throw model::UserError(pathForMessages + " is not a design file");
    DesignFileContents c;
    c.header = decodeHeader(bytes); // "Stream read error" below 700 bytes
    std::array<std::string_view, model::kTreeCount> texts;
    for (std::size_t i = 0; i < model::kTreeCount; ++i)
        texts[i] = section(bytes, i == 0 ? kFrStart : c.header.starts[i], c.header.lengths[i]);
    for (std::size_t i = 0; i < model::kTreeCount; ++i)
        c.trees[i] = readTreeText(texts[i]);
    if (!sameShape(c.trees[0], c.trees[1]) || !sameShape(c.trees[0], c.trees[2]))
        throw model::UserError("The three trees in " + pathForMessages + " do not have the same shape");
    for (std::size_t i = 0; i < model::kTreeCount; ++i)
        c.titles[i] = model::fieldText(c.header.titles[i]);
    return c;
}

DesignFileContents readDesignFile(const std::string& path)
{
    std::string bytes;
    switch (readFileBytes(path, bytes)) {
    case ReadOutcome::CannotOpen:
        throw model::UserError("Cannot open file " + path);
    case ReadOutcome::ReadFailed:
        throw model::UserError(kStreamReadError);
    case ReadOutcome::Read:
        break;
    }
    return parseDesignFile(bytes, path);
}

std::string encodeDesignFile(const model::Design& design, model::HeaderRecord& current,
                             const std::array<model::LevelStyle, model::kLevelCount>& levelFonts)
{
    std::size_t total = model::kHeaderSize;
    for (model::TreeId id : model::kAllTrees)
        total += treeTextSize(design.tree(id));
    std::string out;
    out.reserve(total);
    out.resize(model::kHeaderSize); // placeholder; the header goes in last
    current.magic = model::kDesignMagic;
    for (model::TreeId id : model::kAllTrees) {
        const auto i = static_cast<std::size_t>(model::index(id));
        current.starts[i] = sectionLength(out.size());
        writeTreeText(design.tree(id), out);
        current.lengths[i] = sectionLength(out.size() - current.starts[i]);
        model::setFieldText(current.titles[i], design.title(id));
    }
    for (std::size_t i = 0; i < model::kLevelCount; ++i)
        model::storeStyle(current.levels[i], levelFonts[i]);
    const std::string header = encodeHeader(current);
    out.replace(0, header.size(), header);
    return out;
}

void writeDesignFile(const std::string& path, const model::Design& design, model::HeaderRecord& current,
                     const std::array<model::LevelStyle, model::kLevelCount>& levelFonts, AtomicWriter& writer)
{
    const std::string bytes = encodeDesignFile(design, current, levelFonts);
    switch (writeAtomically(writer, path, bytes)) {
    case WriteOutcome::CannotCreate:
        throw model::UserError("Cannot create file " + path);
    case WriteOutcome::WriteFailed:
        throw model::UserError("Stream write error");
    case WriteOutcome::Written:
        break;
    }
}

void writeDesignFile(const std::string& path, const model::Design& design, model::HeaderRecord& current,
                     const std::array<model::LevelStyle, model::kLevelCount>& levelFonts)
{
    SaveFileWriter writer;
    writeDesignFile(path, design, current, levelFonts, writer);
}

} // namespace io
