#include "model/InformationRanges.h"

#include "model/DesignTree.h"
#include "model/MatrixClassification.h"
#include "model/PreOrder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace model {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool finite(double v)
{
    return std::isfinite(v);
}

// The standard normal distribution's upper tail, 1 - Phi(z), exact far out.
double upperTail(double z)
{
    return 0.5 * std::erfc(z / std::sqrt(2.0));
}

double normalShare(double lower, double upper, double mean, double sigma)
{
    const double l = (lower - mean) / sigma;
    const double u = (upper - mean) / sigma;
    // Phi(u) - Phi(l), taken from the tails that are small, so that two
    // values near 1 are never subtracted from each other.
    if (l > 0)
        return upperTail(l) - upperTail(u);
    if (u < 0)
        return upperTail(-u) - upperTail(-l);
    return 1.0 - upperTail(-l) - upperTail(u);
}

} // namespace

std::optional<std::string> problemWith(const FrRanges& r)
{
    const DesignRange& d = r.design;
    const SystemRange& s = r.system;
    if (!finite(d.lower) || !finite(d.upper) || !finite(s.first) || !finite(s.second))
        return "A value is not a finite number";
    if ((!d.hasLower && d.lower != 0) || (!d.hasUpper && d.upper != 0) || (!s.present() && (s.first != 0 || s.second != 0)))
        return "An absent value is not zero";
    if (d.hasLower && d.hasUpper && d.lower > d.upper)
        return "The lower bound is above the upper bound";
    if (s.kind == SystemKind::Uniform && s.first > s.second)
        return "The start of the system range is above its end";
    if (s.kind == SystemKind::Normal && !(s.second > 0))
        return "The standard deviation must be above 0";
    if (s.kind != SystemKind::None && s.kind != SystemKind::Uniform && s.kind != SystemKind::Normal)
        return "Unknown kind of system range";
    if (d.unit.size() > kLongestUnit)
        return "The unit is longer than 16 characters";
    return std::nullopt;
}

FrRanges normalised(FrRanges r)
{
    if (!r.design.hasLower)
        r.design.lower = 0;
    if (!r.design.hasUpper)
        r.design.upper = 0;
    if (!r.design.present())
        r.design.unit.clear();
    if (!r.system.present())
        r.system.first = r.system.second = 0;
    return r;
}

double probabilityOfSuccess(const FrRanges& r)
{
    const double lower = r.design.hasLower ? r.design.lower : -kInfinity;
    const double upper = r.design.hasUpper ? r.design.upper : kInfinity;
    const SystemRange& s = r.system;
    if (s.kind == SystemKind::Normal)
        return std::clamp(normalShare(lower, upper, s.first, s.second), 0.0, 1.0);
    if (s.first == s.second) // a point: inside or not, bounds included
        return s.first >= lower && s.first <= upper ? 1.0 : 0.0;
    const double overlap = std::min(s.second, upper) - std::max(s.first, lower);
    return std::clamp(overlap / (s.second - s.first), 0.0, 1.0);
}

double informationBits(double p)
{
    if (p <= 0)
        return kInfinity;
    return p >= 1 ? 0.0 : -std::log2(p);
}

const FrRanges* RangeStore::find(const Node* node) const
{
    const auto it = m_ranges.find(node);
    return it == m_ranges.end() ? nullptr : &it->second;
}

FrRanges RangeStore::set(const Node* node, FrRanges ranges)
{
    const auto it = m_ranges.find(node);
    FrRanges old = it == m_ranges.end() ? FrRanges{} : std::move(it->second);
    if (ranges.empty()) {
        if (it != m_ranges.end())
            m_ranges.erase(it);
    } else if (it != m_ranges.end()) {
        it->second = std::move(ranges);
    } else {
        m_ranges.emplace(node, std::move(ranges));
    }
    return old;
}

// One walk in pre-order; a row counts when it is complete and no row below it
// is, which is known once its subtree is walked: a stack of open rows keeps,
// for each, whether a complete row was seen below it. The matrices above a
// counted row are classified once each.
InformationTotal informationTotal(const DesignTree& fr, const MatrixStore& matrices, const RangeStore& ranges)
{
    InformationTotal total;
    if (ranges.empty())
        return total;
    struct Open {
        const Node* node;
        std::size_t depth;
        bool completeBelow;
    };
    std::vector<Open> open;
    std::vector<const Node*> counted;
    const auto close = [&](std::size_t depth) {
        while (!open.empty() && open.back().depth >= depth) {
            const Open o = open.back();
            open.pop_back();
            const FrRanges* r = ranges.find(o.node);
            const bool complete = r && r->complete();
            if (complete && !o.completeBelow)
                counted.push_back(o.node);
            if (!open.empty())
                open.back().completeBelow = open.back().completeBelow || complete || o.completeBelow;
        }
    };
    preOrderBelow(fr.root(), [&](const Node* n, std::size_t depth) {
        close(depth);
        open.push_back({n, depth, false});
    });
    close(0);
    std::unordered_map<const Node*, bool> uncoupled; // by matrix parent
    for (const Node* n : counted) {
        total.bits += informationBits(probabilityOfSuccess(*ranges.find(n)));
        ++total.rows;
        for (const Node* p = n->parent; p && total.exact; p = p->parent) {
            auto [it, fresh] = uncoupled.try_emplace(p, true);
            if (fresh && p->children.size() >= 2)
                it->second = classify(matrices, p, MatrixKind::FrDp).coupling == Coupling::Uncoupled;
            if (!fresh && it->second)
                break; // the matrices above were looked at with it
            total.exact = it->second;
        }
    }
    return total;
}

std::string numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string bitsText(double bits)
{
    if (std::isinf(bits))
        return "inf";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, bits, std::chars_format::fixed, 3);
    return std::string(buffer, result.ptr);
}

std::string designRangeText(const DesignRange& range)
{
    std::string text;
    if (range.hasLower && range.hasUpper)
        text = numberText(range.lower) + " to " + numberText(range.upper);
    else if (range.hasLower)
        text = "at least " + numberText(range.lower);
    else if (range.hasUpper)
        text = "at most " + numberText(range.upper);
    else
        return text;
    if (!range.unit.empty())
        text.append(" ").append(range.unit);
    return text;
}

std::string systemRangeText(const SystemRange& range)
{
    switch (range.kind) {
    case SystemKind::Uniform:
        return "uniform " + numberText(range.first) + " to " + numberText(range.second);
    case SystemKind::Normal:
        return "normal " + numberText(range.first) + " \xB1 " + numberText(range.second);
    case SystemKind::None:
        break;
    }
    return {};
}

} // namespace model
