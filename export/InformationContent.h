#pragma once
// The information content as the documents and the check say it: p and I of
// an FR row, the design's total, and the RTF's section of one line per row
// with both ranges. The figures come from model/InformationRanges.h; only the
// sentences are made here, so that every document says them alike.
//
// The RTF's lines are UTF-8, like every document's text (a normal system
// range holds the plus-minus sign); the figures alone are ASCII.

#include "export/ExportDocument.h"
#include "model/InformationRanges.h"

#include <string>
#include <string_view>
#include <vector>

namespace exporting {

inline constexpr std::string_view kInformationHeading = "Information content";

// p with three decimals: "0.750".
std::string probabilityText(double p);

// "2.830 bits over 4 FRs", "inf bits over 1 FR", followed by
// " (sum over FRs that are not independent)" when the total is not exact.
std::string totalText(const model::InformationTotal& total);

// The source's total; no rows when it holds no ranges.
model::InformationTotal informationTotalOf(const ExportSource& source);

// The lines under kInformationHeading: one per FR row with both ranges, in
// row order, "1.2 Deliver flow: 5 to 12 l/min against uniform 6 to 11:
// p = 0.750, I = 0.415 bits" (the number from the row's position), then
// "Total: ..." (totalText). None when no row has both ranges.
std::vector<std::string> informationLines(const ExportSource& source);

} // namespace exporting
