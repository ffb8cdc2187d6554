#include "export/DesignCheck.h"

#include "export/InformationContent.h"
#include "io/DesignFile.h"
#include "model/MatrixClassification.h"
#include "model/Numbering.h"
#include "model/PreOrder.h"

#include <algorithm>
#include <span>

namespace exporting {
namespace {

constexpr const char* kUsage = "Usage: tessaric --check DESIGN.vok";
constexpr std::string_view kTopLevel = "top";
constexpr std::array<std::string_view, model::kTreeCount> kTreeNames = {"FR", "DP", "PV"};

// Empty, or nothing but the underscores a new row starts with.
bool missingLabel(const model::Node* node)
{
    const std::string_view label = model::strippedLabel(node->text());
    return std::all_of(label.begin(), label.end(), [](char c) { return c == '_'; });
}

} // namespace

DesignCheck::DesignCheck(const std::array<const model::DesignTree*, model::kTreeCount>& trees,
                         const model::MatrixStore& matrices, const model::RangeStore& ranges)
    : m_trees(trees), m_matrices(matrices), m_ranges(ranges)
{
}

bool DesignCheck::writeMatrices(const model::Node* parent, const std::string& number, std::string& out) const
{
    const auto n = static_cast<std::uint32_t>(parent->children.size());
    if (n < 2)
        return false;
    bool findings = false;
    const std::string_view shown = number.empty() ? kTopLevel : std::string_view(number);
    for (model::MatrixKind kind : model::kMatrixKinds) {
        const model::Classification c = model::classify(m_matrices, parent, kind);
        const auto head = [&] {
            out.append(shown).append(" ").append(model::kindName(kind)).append(": ");
        };
        switch (c.coupling) {
        case model::Coupling::Uncoupled:
            head();
            out += "uncoupled\n";
            break;
        case model::Coupling::Decoupled:
            head();
            out += "decoupled; order ";
            for (std::size_t i = 0; i < c.order.size(); ++i)
                out.append(i ? ", " : "").append(model::childNumber(number, c.order[i]));
            out += '\n';
            break;
        case model::Coupling::Coupled:
            for (const auto& group : c.groups) {
                head();
                out += "coupled:";
                for (std::uint32_t member : group)
                    out.append(" ").append(model::childNumber(number, member));
                out += '\n';
            }
            findings = true;
            break;
        case model::Coupling::Incomplete:
            head();
            out.append("incomplete: ").append(std::to_string(c.notAssessed)).append(" of ");
            out.append(std::to_string(c.offDiagonal)).append(" not assessed\n");
            findings = true;
            break;
        }
    }
    return findings;
}

bool DesignCheck::writeLabels(const std::array<const model::Node*, model::kTreeCount>& row,
                              const std::string& number, std::string& out) const
{
    bool findings = false;
    for (std::size_t t = 0; t < row.size(); ++t)
        if (missingLabel(row[t])) {
            out.append(number).append(" ").append(kTreeNames[t]).append(": no label\n");
            findings = true;
        }
    return findings;
}

// A requirement that cannot be met (p 0) needs attention; any other p is a figure.
bool DesignCheck::writeInformation(const model::Node* fr, const std::string& number, std::string& out) const
{
    const model::FrRanges* ranges = m_ranges.find(fr);
    if (!ranges || !ranges->complete())
        return false;
    const double p = model::probabilityOfSuccess(*ranges);
    out.append(number).append(" FR: p ").append(probabilityText(p));
    out.append(", I ").append(model::bitsText(model::informationBits(p))).append(" bits\n");
    return p == 0;
}

void DesignCheck::writeTotal(std::string& out) const
{
    const model::InformationTotal total = model::informationTotal(*m_trees[0], m_matrices, m_ranges);
    if (total.rows > 0)
        out.append("total: I ").append(totalText(total)).append("\n");
}

// Row by row with one growing number, the three trees in step (they have the
// same shape, so row k of each is a partner): linear, and no recursion
// however deep the design.
bool DesignCheck::write(std::string& out) const
{
    bool findings = writeMatrices(m_trees[0]->root(), {}, out);
    std::array<std::span<const model::Node* const>, model::kTreeCount> rows{};
    for (std::size_t t = 0; t < rows.size(); ++t)
        rows[t] = m_trees[t]->preorder();
    std::size_t k = 0;
    model::preOrderNumbered(m_trees[0]->root(), [&](const model::Node*, std::size_t, const std::string& number) {
        const std::array<const model::Node*, model::kTreeCount> row{rows[0][k], rows[1][k], rows[2][k]};
        ++k;
        findings = writeLabels(row, number, out) || findings;
        findings = writeMatrices(row[0], number, out) || findings;
        if (!m_ranges.empty())
            findings = writeInformation(row[0], number, out) || findings;
    });
    if (!m_ranges.empty())
        writeTotal(out);
    return findings;
}

int runDesignCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.size() != 1 || args[0].empty()) {
        err << kUsage << '\n';
        return kCheckUnreadable;
    }
    try {
        io::DesignFileContents contents = io::readDesignFile(args[0]);
        for (const std::string& message : io::leftOutMessages(contents.kept, args[0]))
            err << message << '\n';
        for (const model::KeptBlock& block : contents.kept)
            if (block.why == model::KeptBlock::Why::Unknown)
                err << args[0] << " holds data this version does not know (" << block.name << ")\n";
        std::string lines;
        const bool findings =
            DesignCheck({&contents.trees[0], &contents.trees[1], &contents.trees[2]}, contents.matrices, contents.ranges)
                .write(lines);
        out << lines;
        out.flush();
        // A block the check could not look into leaves the design unchecked in part.
        return findings || !contents.kept.empty() ? kCheckFindings : kCheckPassed;
    } catch (const std::exception& e) { // UserError, and bad_alloc on a huge file
        err << e.what() << '\n';
        return kCheckUnreadable;
    }
}

} // namespace exporting
