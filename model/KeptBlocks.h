#pragma once
// Blocks of a design file that the program found but did not take in: a
// block of a kind it knows that could not be read (a damaged one, a second
// one of the same kind) or a block of a kind this version does not know. The
// design keeps them as the bytes they were, so that a save, which cannot
// write them back meaningfully, asks before it leaves them out, and so that a
// recovery copy holds them as the file did. What the bytes mean is the file
// format's business; here they are opaque.

#include <string>
#include <vector>

namespace model {

struct KeptBlock {
    enum class Why { Unreadable, Unknown };
    Why why = Why::Unknown;
    std::string name;  // for the question: "the design matrices", "block ABCD"
    std::string bytes; // the whole block as it lay in the file
    bool operator==(const KeptBlock&) const = default;
};

using KeptBlocks = std::vector<KeptBlock>;

} // namespace model
