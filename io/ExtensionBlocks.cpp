#include "io/ExtensionBlocks.h"

#include "io/DesignFile.h"
#include "io/CrossCellBlock.h"
#include "io/InformationBlock.h"
#include "io/MatrixBlock.h"
#include "io/NoteBlock.h"
#include "io/UnicodeTextBlock.h"

#include <algorithm>
#include <array>
#include <vector>

namespace io {

namespace {

const BlockModule* moduleFor(std::string_view tag)
{
    const std::span<const BlockModule> modules = blockModules();
    const auto it = std::find_if(modules.begin(), modules.end(), [&](const BlockModule& m) { return m.tag == tag; });
    return it == modules.end() ? nullptr : &*it;
}

model::KeptBlock keep(FoundBlock&& block, const BlockModule* module)
{
    if (module)
        return {model::KeptBlock::Why::Unreadable, std::string(module->name), std::move(block.bytes)};
    std::string name = "block " + std::string(block.tag()); // a tag is printable by definition
    return {model::KeptBlock::Why::Unknown, std::move(name), std::move(block.bytes)};
}

} // namespace

std::span<const BlockModule> blockModules()
{
    static const std::array modules = {matrixBlockModule(), crossCellBlockModule(), informationBlockModule(),
                                        unicodeTextBlockModule(), noteBlockModule()};
    return modules;
}

void readBlocks(std::uint64_t behind, const BytesAt& bytesAt, DesignFileContents& into)
{
    std::vector<std::string_view> tried; // tags whose first block was offered to their module
    for (FoundBlock& block : walkBlocks(behind, bytesAt)) {
        const BlockModule* module = moduleFor(block.tag());
        if (module && std::find(tried.begin(), tried.end(), module->tag) == tried.end()) {
            tried.push_back(module->tag);
            if (block.intact() && module->read(block.version(), block.payload(), into))
                continue;
        }
        into.kept.push_back(keep(std::move(block), module));
    }
}

void writeBlocks(const model::Design& design, std::string& out)
{
    for (const BlockModule& module : blockModules())
        module.write(design, out);
}

std::vector<std::string> leftOutMessages(const model::KeptBlocks& kept, const std::string& path)
{
    std::vector<std::string> messages;
    for (const BlockModule& module : blockModules()) {
        const bool leftOut = std::any_of(kept.begin(), kept.end(), [&](const model::KeptBlock& k) {
            return k.why == model::KeptBlock::Why::Unreadable && tagOf(k) == module.tag;
        });
        if (!leftOut)
            continue;
        std::string name(module.name); // "the design matrices": the sentence begins with it
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
        messages.push_back(name + " in " + path + " could not be read and are left out");
    }
    return messages;
}

std::string_view tagOf(const model::KeptBlock& block)
{
    return std::string_view(block.bytes).substr(0, kBlockTagSize);
}

} // namespace io
