#include "export/DesignCheck.h"

#include "export/InformationContent.h"
#include "io/DesignFile.h"
#include "model/FullMatrix.h"
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

// The lines of one classified matrix, each behind `head` ("1.2 FR-DP: "),
// positions named by `numberOf`; true when it needs attention.
template <typename NumberOf>
bool writeClassification(std::string_view head, const model::Classification& c, NumberOf&& numberOf, std::string& out)
{
    switch (c.coupling) {
    case model::Coupling::Uncoupled:
        out.append(head).append("uncoupled\n");
        return false;
    case model::Coupling::Decoupled:
        out.append(head).append("decoupled; order ");
        for (std::size_t i = 0; i < c.order.size(); ++i)
            out.append(i ? ", " : "").append(numberOf(c.order[i]));
        out += '\n';
        return false;
    case model::Coupling::Coupled:
        for (const auto& group : c.groups) {
            out.append(head).append("coupled:");
            for (std::uint32_t member : group)
                out.append(" ").append(numberOf(member));
            out += '\n';
        }
        return true;
    case model::Coupling::Incomplete:
        out.append(head).append("incomplete: ").append(std::to_string(c.notAssessed)).append(" of ");
        out.append(std::to_string(c.offDiagonal)).append(" not assessed\n");
        return true;
    }
    return true;
}

// Where the levels disagree, as lines made once: each goes after the lines of
// the pair's first row, or after the top level's matrices when both rows are
// top-level (a pair of siblings there, like the top level's cells). The model
// orders them by the first row, FR-DP before DP-PV, then by the second row,
// so each row's lines are one run.
struct FindingLines {
    std::string top;
    std::vector<std::pair<std::size_t, std::string>> byRow; // the first row, its lines; in row order
};

FindingLines findingLines(const model::DesignTree& fr, const std::vector<model::Finding>& findings)
{
    FindingLines lines;
    if (findings.empty())
        return lines;
    // The numbers of the rows named, from one walk: the second row may come later.
    const std::size_t rows = fr.preorder().size();
    std::vector<char> named(rows, 0);
    for (const model::Finding& f : findings) {
        named[static_cast<std::size_t>(fr.rowOf(f.a))] = 1;
        named[static_cast<std::size_t>(fr.rowOf(f.b))] = 1;
    }
    std::vector<std::string> numbers(rows);
    std::size_t k = 0;
    model::preOrderNumbered(fr.root(), [&](const model::Node*, std::size_t, const std::string& number) {
        if (named[k])
            numbers[k] = number;
        ++k;
    });
    for (const model::Finding& f : findings) {
        const auto a = static_cast<std::size_t>(fr.rowOf(f.a));
        std::string line = numbers[a] + ' ' + std::string(model::kindName(f.kind)) + ' ' +
                           numbers[static_cast<std::size_t>(fr.rowOf(f.b))] +
                           (f.type == model::Finding::Type::XBelowO ? ": X below an O\n" : ": X not borne out below\n");
        if (fr.isTopLevel(f.a) && fr.isTopLevel(f.b))
            lines.top += line;
        else if (!lines.byRow.empty() && lines.byRow.back().first == a)
            lines.byRow.back().second += line;
        else
            lines.byRow.emplace_back(a, std::move(line));
    }
    return lines;
}

} // namespace

DesignCheck::DesignCheck(const std::array<const model::DesignTree*, model::kTreeCount>& trees,
                         const model::MatrixStore& matrices, const model::CrossCellStore& crossCells,
                         const model::RangeStore& ranges)
    : m_trees(trees), m_matrices(matrices), m_crossCells(crossCells), m_ranges(ranges)
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
        const std::string head = std::string(shown) + ' ' + std::string(model::kindName(kind)) + ": ";
        findings = writeClassification(head, model::classify(m_matrices, parent, kind),
                                       [&](std::uint32_t i) { return model::childNumber(number, i); }, out) ||
                   findings;
    }
    return findings;
}

// The full matrices over the leaf rows, which only cross cells make more than
// the sibling matrices say.
bool DesignCheck::writeFullMatrices(const std::vector<std::string>& leafNumbers, std::string& out) const
{
    const model::LeafIndex leaves(*m_trees[0]);
    bool findings = false;
    for (model::MatrixKind kind : model::kMatrixKinds) {
        const std::string head = "full " + std::string(model::kindName(kind)) + ": ";
        findings = writeClassification(head, model::classifyFull(m_matrices, m_crossCells, kind, leaves),
                                       [&](std::uint32_t i) -> const std::string& { return leafNumbers[i]; }, out) ||
                   findings;
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
    const std::vector<model::Finding> disagreements =
        model::consistencyFindings(*m_trees[0], m_matrices, m_crossCells);
    const FindingLines disagreementLines = findingLines(*m_trees[0], disagreements);
    bool findings = writeMatrices(m_trees[0]->root(), {}, out) || !disagreements.empty();
    out += disagreementLines.top;
    std::array<std::span<const model::Node* const>, model::kTreeCount> rows{};
    for (std::size_t t = 0; t < rows.size(); ++t)
        rows[t] = m_trees[t]->preorder();
    auto nextLines = disagreementLines.byRow.begin();
    const bool full = !m_crossCells.empty();
    std::vector<std::string> leafNumbers; // for the full matrices only
    std::size_t k = 0;
    model::preOrderNumbered(m_trees[0]->root(), [&](const model::Node*, std::size_t, const std::string& number) {
        const std::array<const model::Node*, model::kTreeCount> row{rows[0][k], rows[1][k], rows[2][k]};
        findings = writeLabels(row, number, out) || findings;
        findings = writeMatrices(row[0], number, out) || findings;
        if (!m_ranges.empty())
            findings = writeInformation(row[0], number, out) || findings;
        if (nextLines != disagreementLines.byRow.end() && nextLines->first == k)
            out += (nextLines++)->second;
        if (full && row[0]->children.empty())
            leafNumbers.push_back(number);
        ++k;
    });
    if (full)
        findings = writeFullMatrices(leafNumbers, out) || findings;
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
            DesignCheck({&contents.trees[0], &contents.trees[1], &contents.trees[2]}, contents.matrices,
                        contents.crossCells, contents.ranges)
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
