#pragma once
// The information axiom's data for one FR row, and what it yields. A design
// range is the tolerance the FR must be met within (a lower bound, an upper
// bound or both, and a unit); a system range is what the chosen parameter
// delivers for it (uniform from a to b, or normal with mean and standard
// deviation). A row with both has a probability of success p, the share of
// the system range inside the design range, and an information content
// I = log2(1/p) bits: 0 for a sure success, infinite when the system range
// misses the design range.
//
// Texts here are Windows-1252 bytes, like the labels.

#include "model/MatrixStore.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace model {

class DesignTree;
class Node;

inline constexpr std::size_t kLongestUnit = 16; // bytes

struct DesignRange {
    bool hasLower = false;
    bool hasUpper = false;
    double lower = 0; // 0 when absent
    double upper = 0;
    std::string unit; // at most kLongestUnit bytes
    bool present() const { return hasLower || hasUpper; }
    bool operator==(const DesignRange&) const = default;
};

enum class SystemKind : std::uint8_t { None = 0, Uniform = 1, Normal = 2 };

struct SystemRange {
    SystemKind kind = SystemKind::None;
    double first = 0;  // uniform: a; normal: the mean
    double second = 0; // uniform: b; normal: the standard deviation
    bool present() const { return kind != SystemKind::None; }
    bool operator==(const SystemRange&) const = default;
};

struct FrRanges {
    DesignRange design;
    SystemRange system;
    // Nothing to keep: no bound and no system range (a unit alone is not kept).
    bool empty() const { return !design.present() && !system.present(); }
    // Both ranges: the row has a p and an I.
    bool complete() const { return design.present() && system.present(); }
    bool operator==(const FrRanges&) const = default;
};

// Why ranges cannot be kept, or nothing when they can: a number that is not
// finite, a lower bound above the upper, a above b, a standard deviation not
// above 0, a unit longer than kLongestUnit, a value kept for an absent bound
// or system range (which must be 0).
std::optional<std::string> problemWith(const FrRanges& ranges);
// The same ranges with what is absent set to 0, and no unit without bounds.
FrRanges normalised(FrRanges ranges);

// p for complete, valid ranges, in [0, 1].
double probabilityOfSuccess(const FrRanges& ranges);
// log2(1/p): 0 for p = 1, infinity for p = 0.
double informationBits(double p);

// The ranges of a design, by FR node; only rows with a range are held.
class RangeStore {
public:
    using Value = FrRanges;
    static bool isEmpty(const FrRanges& ranges) { return ranges.empty(); }
    static std::size_t bytesOf(const FrRanges&) { return 0; } // the unit is short

    const FrRanges* find(const Node* node) const;
    // Puts `ranges` on the node (empty ranges take it off) and returns what it held.
    FrRanges set(const Node* node, FrRanges ranges);
    bool empty() const { return m_ranges.empty(); }
    std::size_t size() const { return m_ranges.size(); }
    void clear() { m_ranges.clear(); }
    void reserve(std::size_t n) { m_ranges.reserve(n); }
    const std::unordered_map<const Node*, FrRanges>& all() const { return m_ranges; }

private:
    std::unordered_map<const Node*, FrRanges> m_ranges;
};

// The design's information content: the sum of I over the rows with both
// ranges and no descendant with both. It is exact only when every FR-DP
// matrix above those rows is uncoupled.
struct InformationTotal {
    double bits = 0;     // infinity when a counted row has p 0
    std::size_t rows = 0; // the rows counted
    bool exact = true;   // false: some matrix above them is decoupled, coupled or incomplete
};
InformationTotal informationTotal(const DesignTree& fr, const MatrixStore& matrices, const RangeStore& ranges);

// --- texts, shared by the window, the check and the documents ---------------
// A number as short as it reads back exactly: "5", "8.5", "1e+20".
std::string numberText(double value);
// "0.415", "inf".
std::string bitsText(double bits);
// "5 to 12 l/min", "at least 5 l/min", "at most 12 l/min"; empty when absent.
std::string designRangeText(const DesignRange& range);
// "uniform 6 to 11", "normal 8.5 \xB1 1.2" (Windows-1252 plus-minus); empty when none.
std::string systemRangeText(const SystemRange& range);
// "sum over FRs that are not independent", said beside an inexact total.
inline constexpr const char* kNotIndependent = "sum over FRs that are not independent";
// "The system range misses the design range", said for p 0.
inline constexpr const char* kRangeMissed = "The system range misses the design range";

} // namespace model
